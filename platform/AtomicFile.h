#pragma once
// CAtomicFile: replaces a file as a whole or not at all. The new bytes go to a temporary file
// created exclusively beside the target (never through a symbolic link, never under a fixed
// name), every write is checked, and Commit flushes the file to disk, renames it over the target
// and flushes the folder. While the bytes are written, every few megabytes written are handed to
// the disk at once (writeback starts in the background), so that the flush in Commit finds little
// left to do on a large file. Until Commit the target is untouched; an object destroyed without
// Commit deletes its temporary file, and a process killed before Commit leaves the target as it
// was (plus, at worst, a hidden ".NAME.*.tmp" file beside it).
//
// Every replace of a file in the project goes through here: scenario conversion, JSON import and
// export, results, project import. Used by one thread at a time.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CAtomicFile
{
public:
    enum class ECommit
    {
        Replace,     // an existing target is replaced
        CreateOnly,  // fails when the target exists by then (a concurrent creator wins)
    };

    CAtomicFile() = default;
    ~CAtomicFile();
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    // Starts the new content of target. Refuses a target that exists and is not a regular file,
    // or that is read-only (no write permission, or no write bit at all). A target that is a
    // symbolic link is resolved: the file it names is replaced and the link stays.
    bool Open(const std::string& target);
    // Appends after the bytes Write wrote so far.
    bool Write(const void* pData, size_t nSize);
    // Writes at nOffset of the new content (a gap reads as zeros); does not move where Write
    // appends.
    bool WriteAt(uint64_t nOffset, const void* pData, size_t nSize);
    bool Write(std::string_view text) { return Write(text.data(), text.size()); }
    bool Commit(ECommit mode = ECommit::Replace);
    // Deletes the temporary file; the target stays as it was.
    void Discard();

    // The reason of the last failure, e.g. "cannot write /x/a.scenario: No space left on device".
    const std::string& Error() const { return m_error; }
    // The file that Commit replaces (the resolved target).
    const std::string& Target() const { return m_target; }

private:
    bool Fail(const std::string& what, const std::string& path, int nError);
    // Starts writeback of the bytes written since the last start once there are enough of them.
    void NoteWritten(uint64_t nOffset, size_t nSize);

    int m_fd = -1;
    uint64_t m_nAppendAt = 0;
    // The span written since writeback was last started (empty when begin == end).
    uint64_t m_nDirtyBegin = 0;
    uint64_t m_nDirtyEnd = 0;
    std::string m_target;
    std::string m_temp;
    std::string m_error;
};

// One whole replace: target's content becomes the bytes. False with one line in *pError.
bool WoxReplaceFile(const std::string& target, const void* pData, size_t nSize, std::string* pError);
inline bool WoxReplaceFile(const std::string& target, std::string_view text, std::string* pError)
{
    return WoxReplaceFile(target, text.data(), text.size(), pError);
}

// Flushes a file's bytes to disk, e.g. to compare a plain write with a replace that flushes.
bool WoxSyncFile(const std::string& path);

// Flushes a folder's entries (after a rename into it) to disk; folders that cannot be flushed
// on this file system count as flushed.
bool WoxSyncFolder(const std::string& folder);

// The folder and the last part of a path ("." when there is no folder).
std::string WoxFolderOf(const std::string& path);
std::string WoxNameOf(const std::string& path);

// A fresh name for a temporary entry beside path: "FOLDER/.NAME.XXXXXXXX<suffix>". Names are
// never reused within a process and unlikely to repeat across processes; callers still create
// them exclusively.
std::string WoxSiblingName(const std::string& path, const char* pszSuffix);
