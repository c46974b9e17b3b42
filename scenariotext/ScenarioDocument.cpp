#include "ScenarioDocument.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <utility>

#include "MemoryVolume.h"
#include "ScenarioFile.h"
#include "WoxText.h"

std::string Latin1ToUtf8(const char* pField, size_t nWidth)
{
    std::string text;
    size_t n = WoxTextLength(pField, nWidth);
    for (size_t i = 0; i < n; ++i)
    {
        auto c = static_cast<unsigned char>(pField[i]);
        if (c < 0x80)
        {
            text += static_cast<char>(c);
        }
        else
        {
            text += static_cast<char>(0xC0 | (c >> 6));
            text += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return text;
}

std::string GuidToText(const GUID& guid)
{
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", guid.Data1, guid.Data2, guid.Data3,
                  guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return buffer;
}

bool DocumentFromData(HWOXHEAP hHeap, const SScenarioData& data, const SScenarioHeader& header, CScenarioDocument& document)
{
    document = CScenarioDocument();
    document.header = header;
    document.header.info = data.info;
    if (!data.pTreatments)
        return false;
    int nSize = data.pTreatments->GetSize();
    // Records are large (8,888 bytes): growing the vector step by step would copy every one
    // again and touch twice the memory.
    document.records.reserve(static_cast<size_t>(std::max(nSize, 0)));
    document.blocks.reserve(static_cast<size_t>(std::max(nSize, 0)));
    for (int i = 0; i < nSize; ++i)
    {
        auto pRecord = static_cast<const SScenarioTreatment*>(data.pTreatments->GetAt(i, 0));
        if (!pRecord)
            continue;
        CByteVector block;
        if (uint32_t nSize = pRecord->treatment.nDataSize)
        {
            auto pBlock = static_cast<const uint8_t*>(hHeap->Data(pRecord->treatment.pData));
            if (!pBlock || hHeap->Size(pRecord->treatment.pData) < nSize)
                return false;
            block.assign(pBlock, pBlock + nSize);
        }
        document.records.push_back(*pRecord);
        document.records.back().treatment.pData = 0;
        document.blocks.push_back(std::move(block));
    }
    return true;
}

namespace
{
// The treatment array a whole-file read fills: records go straight into the document's vector,
// so each 8,888-byte record is copied once instead of into a host array first and then again.
// Lives on the reader's stack for one read; one thread.
class CDocumentRecords final : public IArrayExt2
{
public:
    explicit CDocumentRecords(std::vector<SScenarioTreatment>& records) : m_records(records) {}

    void AddReference() override {}
    void Release() override {}
    int Initialize(IWoxLibMgr*, IWoxRegistry*, IWoxErrorReporter*, int nElementSize) override
    {
        return nElementSize == static_cast<int>(sizeof(SScenarioTreatment)) ? 1 : 0;
    }
    int Add(const void* pElement, int, WoxStopEvent) override
    {
        if (!pElement || m_records.size() >= static_cast<size_t>(INT_MAX))
            return 0;
        m_records.push_back(*static_cast<const SScenarioTreatment*>(pElement));
        return 1;
    }
    int Copy(IArrayExt2* pSource, int, int, WoxStopEvent) override
    {
        if (!pSource)
            return 0;
        for (int i = 0, n = pSource->GetSize(); i < n; ++i)
            if (!Add(pSource->GetAt(i, 0), -1, {}))
                return 0;
        return 1;
    }
    int RemoveAt(int nIndex, int nCount, int, WoxStopEvent) override
    {
        if (nIndex < 0 || nCount < 0 || static_cast<size_t>(nIndex) + static_cast<size_t>(nCount) > m_records.size())
            return 0;
        m_records.erase(m_records.begin() + nIndex, m_records.begin() + nIndex + nCount);
        return 1;
    }
    void* GetAt(int nIndex, int, int, WoxStopEvent) override
    {
        return nIndex >= 0 && static_cast<size_t>(nIndex) < m_records.size() ? &m_records[static_cast<size_t>(nIndex)] : nullptr;
    }
    int GetSize(int, WoxStopEvent) override { return static_cast<int>(m_records.size()); }
    int SetAt(int nIndex, int, const void* pElement, int, WoxStopEvent) override
    {
        void* pTarget = GetAt(nIndex, 0, -1, {});
        if (!pTarget || !pElement)
            return 0;
        std::memcpy(pTarget, pElement, sizeof(SScenarioTreatment));
        return 1;
    }
    int RemoveAll(int, int, WoxStopEvent) override
    {
        m_records.clear();
        return 1;
    }

private:
    std::vector<SScenarioTreatment>& m_records;
};
}

bool ReadScenarioBytes(HWOXHEAP hHeap, CByteVector bytes, CScenarioDocument& document, std::string* pError,
                       bool* pbConverted)
{
    if (pbConverted)
    {
        double dVersion = 0;
        if (bytes.size() >= offsetof(SScenarioHeader, dVersion) + sizeof dVersion)
            std::memcpy(&dVersion, bytes.data() + offsetof(SScenarioHeader, dVersion), sizeof dVersion);
        *pbConverted = dVersion == WOX_SCENARIO_VERSION_30;
    }
    auto fail = [&](const char* pszWhy) {
        if (pError)
            *pError = pszWhy;
        return false;
    };
    const char* pszPath = "/memory/input.scenario";
    const size_t nBytes = bytes.size();
    CMemoryVolume volume;
    volume.SetFile(pszPath, std::move(bytes));
    CScenarioFile file(hHeap, &volume);
    if (!file.Initialize(nullptr, nullptr, nullptr))
        return fail("cannot make an in-memory file");
    if (!file.Open(pszPath))
        return fail("not a scenario file of version 3.1 or 3.0, or damaged");
    document = CScenarioDocument();
    document.header = file.Header();
    // Never more records than the file could hold.
    document.records.reserve(std::min<size_t>(static_cast<size_t>(std::max(file.Header().nRecords, 0)),
                                              nBytes / sizeof(SScenarioTreatment)));
    CDocumentRecords records(document.records);
    SScenarioData data;
    data.pTreatments = &records;
    bool bOk = file.ReadRecords(&data);
    document.header.info = data.info;
    // Each record's parameter block moves into the document; every block the read made is freed.
    document.blocks.reserve(document.records.size());
    for (SScenarioTreatment& record : document.records)
    {
        CByteVector block;
        if (const uint32_t nSize = record.treatment.nDataSize; bOk && nSize != 0)
        {
            auto pBlock = static_cast<const uint8_t*>(hHeap->Data(record.treatment.pData));
            bOk = pBlock && hHeap->Size(record.treatment.pData) >= nSize;
            if (bOk)
                block.assign(pBlock, pBlock + nSize);
        }
        hHeap->Free(record.treatment.pData);
        record.treatment.pData = 0;
        document.blocks.push_back(std::move(block));
    }
    if (!bOk)
        document = CScenarioDocument();
    return bOk ? true : fail("damaged records or data blocks");
}

bool WriteScenarioDocument(CScenarioFile& file, HWOXHEAP hHeap, const CScenarioDocument& document)
{
    SScenarioData data;
    if (document.blocks.size() != document.records.size() || !file.CreateTreatmentArray(data.pTreatments))
        return false;
    data.info = document.header.info;
    bool bOk = true;
    for (size_t i = 0; bOk && i < document.records.size(); ++i)
    {
        SScenarioTreatment record = document.records[i];
        const CByteVector& block = document.blocks[i];
        record.treatment.nDataSize = static_cast<uint32_t>(block.size());
        record.treatment.pData = 0;
        if (!block.empty())
        {
            record.treatment.pData = hHeap->Alloc(record.treatment.nDataSize);
            void* p = hHeap->Data(record.treatment.pData);
            if (!p)
            {
                bOk = false;
                break;
            }
            std::memcpy(p, block.data(), block.size());
        }
        if (!data.pTreatments->Add(&record))
        {
            hHeap->Free(record.treatment.pData);
            bOk = false;
        }
    }
    bOk = bOk && file.WriteRecords(&data);
    FreeTreatmentBlocks(hHeap, data.pTreatments.Get());
    return bOk;
}

bool WriteScenarioFile(const char* pszPath, HWOXHEAP hHeap, IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry,
                       IWoxErrorReporter* pErrorReporter, const CScenarioDocument& document)
{
    CScenarioFile file(hHeap);
    const bool bOk = file.Initialize(pLibMgr, pRegistry, pErrorReporter) && file.Create(pszPath) && WriteScenarioDocument(file, hHeap, document);
    file.Close();
    return bOk;
}

bool ScenarioDocumentBytes(HWOXHEAP hHeap, const CScenarioDocument& document, CByteVector& bytes)
{
    const char* pszPath = "/memory/output.scenario";
    CMemoryVolume volume;
    CScenarioFile file(hHeap, &volume);
    if (!file.Initialize(nullptr, nullptr, nullptr) || !file.Create(pszPath) || !WriteScenarioDocument(file, hHeap, document))
        return false;
    file.Close();
    bytes = *volume.File(pszPath);
    return true;
}

bool SameScenario(const CScenarioDocument& a, const CScenarioDocument& b)
{
    if (std::memcmp(&a.header.info, &b.header.info, sizeof a.header.info) != 0 || a.records.size() != b.records.size() || a.blocks != b.blocks)
        return false;
    for (size_t i = 0; i < a.records.size(); ++i)
    {
        SScenarioTreatment x = a.records[i], y = b.records[i];
        x.treatment.pData = y.treatment.pData = 0;
        if (std::memcmp(&x, &y, sizeof x) != 0)
            return false;
    }
    return true;
}
