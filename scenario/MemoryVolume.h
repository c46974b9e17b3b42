#pragma once
// An in-memory volume of files with binary-file objects and arrays that behave like the host's:
// lets the scenario file logic run without disk, host libraries or registry. Used by one thread.

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ScenarioStorage.h"

typedef std::vector<uint8_t> CByteVector;

class CMemoryVolume final : public IScenarioStorage
{
public:
    CMemoryVolume() = default;
    CMemoryVolume(const CMemoryVolume&) = delete;
    CMemoryVolume& operator=(const CMemoryVolume&) = delete;
    ~CMemoryVolume() = default;

    void SetFile(const std::string& path, CByteVector bytes);
    // The file's bytes, or none.
    const CByteVector* File(const std::string& path) const;
    // A name that cannot be created, replaced or written (like a read-only file or folder).
    void AddLockedName(const std::string& path);
    bool IsLocked(const std::string& path) const { return m_locked.count(path) != 0; }
    std::vector<std::string> FileNames() const;
    // Writes that would make a file longer than this fail, as on a full disk.
    void SetFileSizeLimit(uint64_t nBytes) { m_nFileSizeLimit = nBytes; }
    uint64_t FileSizeLimit() const { return m_nFileSizeLimit; }

    IWoxBinary* CreateBinary() override;
    IArrayExt2* CreateArray(HWOXHEAP hHeap) override;
    bool ReplaceFile(const char* pszPath, const std::vector<uint8_t>& bytes) override;
    bool FileExists(const char* pszPath) const;

    // Shared with open binary objects so a deleted file stays valid for them.
    std::shared_ptr<CByteVector> Find(const std::string& path) const;
    std::shared_ptr<CByteVector> CreateEmpty(const std::string& path);

private:
    std::map<std::string, std::shared_ptr<CByteVector>> m_files;
    std::set<std::string> m_locked;
    uint64_t m_nFileSizeLimit = UINT64_MAX;
};
