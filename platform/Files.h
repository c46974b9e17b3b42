#pragma once
// File operations of the platform: search by pattern, copy, delete, existence, the temporary
// folder and a short sleep. Paths use '/'; a pattern written with '\' is accepted and converted.

#include <cstdio>
#include <string>
#include <vector>

// File names (not paths) in pszFolder matching a pattern such as "*.scenario" ('*' and '?'),
// in the order the file system returns them. A "*.dll" pattern matches this platform's shared
// libraries. Only regular files are listed.
std::vector<std::string> WoxFindFiles(const char* pszFolder, const char* pszPattern);

// Copies the regular file pszFrom over pszTo (overwriting) as one atomic replace: on any failure
// pszTo is as it was.
bool WoxCopyFile(const char* pszFrom, const char* pszTo);
bool WoxDeleteFile(const char* pszPath);
bool WoxFileExists(const char* pszPath);
// The size of a regular file in bytes, -1 when it does not exist.
long long WoxFileSize(const char* pszPath);

// The folder for temporary files, without a trailing separator.
std::string WoxTempFolder();

// Makes a new, empty, uniquely named folder in the temporary folder; "" on failure.
std::string WoxMakeTempFolder(const char* pszPrefix);

// The canonical absolute form of an existing path, "" when it does not exist.
std::string WoxRealPath(const char* pszPath);

// Path text written with '\' separators converted to this platform's '/'.
std::string WoxNativePath(const char* pszPath);

// The folder of the running program.
std::string WoxExecutableFolder();

void WoxSleep(unsigned int nMilliseconds);

// The largest resident size this process has had so far, in KiB (0 when unknown).
long WoxPeakResidentKiB();

// True when the stream writes to a terminal (so that a line may be redrawn in place).
bool WoxIsTerminal(std::FILE* pStream);
