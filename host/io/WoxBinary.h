#pragma once
// CWoxBinary: a binary file over a POSIX file descriptor. Used by one thread at a time. Failures
// are reported, with the path and the system's reason, to the error reporter given to Initialize
// (when there is one).

#include <atomic>
#include <string>

#include "Containers.h"

class CWoxBinary final : public IWoxBinary
{
public:
    CWoxBinary() = default;
    CWoxBinary(const CWoxBinary&) = delete;
    CWoxBinary& operator=(const CWoxBinary&) = delete;

    void AddReference() override;
    // The last reference closes the file if it is still open.
    void Release() override;

    int Initialize(IWoxErrorReporter* pErrorReporter) override;
    void Close() override;
    int64_t Tell() override;
    // nMode is the access: 0 reading, 1 writing, 2 reading and writing. bCreate 1 makes a new
    // empty file (an existing one is emptied), 0 opens an existing file. A file already open is
    // closed first.
    int Open(const char* pszPath, int nMode, int bCreate) override;
    int Read(void* pBuffer, uint32_t* pnDone, uint32_t nSize) override;
    // nOrigin 0 from the start, 1 from the current position, 2 from the end.
    int Seek(int64_t nPosition, int nOrigin) override;
    int Write(const void* pBuffer, uint32_t* pnDone, uint32_t nSize) override;
    int64_t GetLength() override;

private:
    ~CWoxBinary();

    // Reports "<what> '<path>': <reason>".
    void Report(const char* pszWhat, const std::string& reason);
    void ReportErrno(const char* pszWhat, int nError);

    std::atomic<int> m_nReferences{0};
    IWoxErrorReporter* m_pErrorReporter = nullptr;
    int m_fd = -1;
    // The file position is kept here and every transfer is positioned (pread/pwrite), so Tell
    // and Seek cost no system call: a save asks for them around every record.
    int64_t m_nPosition = 0;
    std::string m_path;
};

// The IO Library's factory: a new file object with a reference count of 0, or none.
IWoxBinary* WoxCreateWoxBinary();
