#pragma once
// Where the scenario file tests keep their files: an in-memory volume, or real files through the
// host's IO and Data Controller libraries loaded from the test registry. File tests run on both.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "Files.h"
#include "Heap.h"
#include "MemoryVolume.h"
#include "ScenarioBytes.h"
#include "ScenarioFile.h"
#include "TestHost.h"

// A heap that remembers the largest block asked for (damaged files must not cause large ones).
class CWatchedHeap final : public IWoxHeap
{
public:
    uint32_t Alloc(uint32_t nSize) override
    {
        m_nLargest = std::max(m_nLargest, nSize);
        return m_heap.Alloc(nSize);
    }
    void* Data(uint32_t hBlock) override { return m_heap.Data(hBlock); }
    void Free(uint32_t hBlock) override { m_heap.Free(hBlock); }
    uint32_t Size(uint32_t hBlock) override { return m_heap.Size(hBlock); }

    uint32_t Largest() const { return m_nLargest; }
    size_t BlockCount() { return m_heap.BlockCount(); }

private:
    CWoxHeap m_heap;
    uint32_t m_nLargest = 0;
};

enum class EBackend
{
    Memory,
    Host
};

inline std::string BackendName(const testing::TestParamInfo<EBackend>& info)
{
    return info.param == EBackend::Memory ? "Memory" : "Host";
}

// Files, scenario file objects and the temporary folder of one backend.
class CScenarioBackend
{
public:
    explicit CScenarioBackend(EBackend kind) : m_kind(kind)
    {
        if (m_kind == EBackend::Host)
        {
            m_pHost = std::make_unique<CTestHost>();
            m_pFolder = std::make_unique<CTempFolder>();
            m_pTemp = std::make_unique<CTempFolder>();
            // Every test has its own temporary folder, so that nothing there is shared.
            const char* pszOld = std::getenv("TMPDIR");
            m_oldTemp = pszOld ? pszOld : "";
            m_bHadTemp = pszOld != nullptr;
            setenv("TMPDIR", m_pTemp->Path().c_str(), 1);
        }
    }
    ~CScenarioBackend()
    {
        if (m_kind == EBackend::Host)
        {
            if (m_bHadTemp)
                setenv("TMPDIR", m_oldTemp.c_str(), 1);
            else
                unsetenv("TMPDIR");
        }
    }

    bool Ready() const { return m_kind == EBackend::Memory || (m_pHost && m_pHost->Loaded()); }
    CMemoryVolume& Volume() { return m_volume; }
    IWoxHeap* Heap() { return &m_heap; }
    CWatchedHeap& WatchedHeap() { return m_heap; }

    std::string Path(const std::string& name) const
    {
        return m_kind == EBackend::Memory ? "/memory/scenarios/" + name : m_pFolder->File(name);
    }
    std::string TempFolder() const { return m_kind == EBackend::Memory ? "/memory/tmp" : m_pTemp->Path(); }

    // A new, initialised scenario file object.
    std::unique_ptr<CScenarioFile> NewFile()
    {
        auto pFile = std::make_unique<CScenarioFile>(&m_heap, m_kind == EBackend::Memory ? &m_volume : nullptr);
        bool bOk = m_kind == EBackend::Memory ? pFile->Initialize(nullptr, nullptr, nullptr)
                                              : pFile->Initialize(m_pHost->LibMgr(), m_pHost->Registry(), m_pHost->ErrorReporter());
        EXPECT_TRUE(bOk);
        return pFile;
    }

    void Put(const std::string& path, const CBytes& bytes)
    {
        if (m_kind == EBackend::Memory)
        {
            m_volume.SetFile(path, bytes);
            return;
        }
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    CBytes Get(const std::string& path)
    {
        if (m_kind == EBackend::Memory)
        {
            const CByteVector* p = m_volume.File(path);
            return p ? *p : CBytes();
        }
        std::ifstream in(path, std::ios::binary);
        return CBytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    bool Exists(const std::string& path) { return m_kind == EBackend::Memory ? m_volume.FileExists(path.c_str()) : WoxFileExists(path.c_str()); }

    // A file that may be read but not replaced or written: a file without write permission on
    // disk (refused even where root could write it).
    void MakeReadOnly(const std::string& path)
    {
        if (m_kind == EBackend::Memory)
            m_volume.AddLockedName(path);
        else
            std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    }

    // Names in the scenario folder (conversion must leave none of its own).
    std::vector<std::string> FolderNames()
    {
        std::vector<std::string> names;
        if (m_kind == EBackend::Memory)
        {
            const std::string folder = Path("");
            for (const std::string& name : m_volume.FileNames())
                if (name.rfind(folder, 0) == 0)
                    names.push_back(name.substr(folder.size()));
        }
        else
        {
            for (const auto& entry : std::filesystem::directory_iterator(m_pFolder->Path()))
                names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    EBackend m_kind;
    CWatchedHeap m_heap;
    CMemoryVolume m_volume;
    std::unique_ptr<CTestHost> m_pHost;
    std::unique_ptr<CTempFolder> m_pFolder;
    std::unique_ptr<CTempFolder> m_pTemp;
    std::string m_oldTemp;
    bool m_bHadTemp = false;
};

// A record built from fixture bytes (so the test's expectations never come from the structs).
inline SScenarioTreatment RecordFrom(const CBytes& bytes)
{
    SScenarioTreatment record;
    EXPECT_EQ(bytes.size(), sizeof record);
    std::memcpy(&record, bytes.data(), sizeof record);
    return record;
}

inline CBytes BytesOf(const void* p, size_t n)
{
    auto pBytes = static_cast<const uint8_t*>(p);
    return CBytes(pBytes, pBytes + n);
}

// Zeroes the pData bytes of every record in a file image of nRecords 8888-byte records.
inline CBytes WithoutDataHandles(CBytes file, size_t nRecords)
{
    for (size_t i = 0; i < nRecords; ++i)
    {
        size_t at = ScenarioLayout::kRecords + i * ScenarioLayout::kRecord + ScenarioLayout::kTreatment + ScenarioLayout::kData;
        if (at + 4 <= file.size())
            std::fill_n(file.begin() + static_cast<long>(at), 4, 0);
    }
    return file;
}
