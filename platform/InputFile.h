#pragma once
// Reading input files that nobody vouches for. Only regular files are read: a folder, a FIFO, a
// device (/dev/zero) or a socket is refused before anything is read, so nothing blocks and
// nothing grows without bound. Whole reads take the file's size once and never more than a
// stated limit; line reads stream and refuse a line longer than their limit without keeping it.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Reads a whole regular file of at most nLimit bytes into bytes. False with one line in *pError
// ("is a folder, not a file", "is larger than 256 MiB", ...).
bool WoxReadFile(const std::string& path, size_t nLimit, std::string& bytes, std::string* pError);
bool WoxReadFile(const std::string& path, size_t nLimit, std::vector<uint8_t>& bytes, std::string* pError);

// Lines of a regular file, one at a time, without their line ends ("\n" or "\r\n").
class CWoxLineReader
{
public:
    CWoxLineReader() = default;
    ~CWoxLineReader();
    CWoxLineReader(const CWoxLineReader&) = delete;
    CWoxLineReader& operator=(const CWoxLineReader&) = delete;

    bool Open(const std::string& path, std::string* pError);
    // The next line; false at the end of the file or on a read error (see Failed). A line
    // longer than nMaxLine characters comes back empty with bTooLong set, and its rest is
    // skipped.
    bool Next(std::string& line, size_t nMaxLine, bool& bTooLong);
    bool Failed() const { return m_bFailed; }

private:
    std::FILE* m_pFile = nullptr;
    bool m_bFailed = false;
};
