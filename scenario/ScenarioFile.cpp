#include "ScenarioFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "AtomicFile.h"
#include "HostObject.h"
#include "MemoryVolume.h"
#include "WoxText.h"

namespace
{
constexpr int kOpenMode = 2;
constexpr int64_t kHeaderSize = sizeof(SScenarioHeader);
constexpr uint32_t kReservedSize = WOX_SCENARIO_RECORDS_POSITION - sizeof(SScenarioHeader);
constexpr const char* kConvertedPath = "/memory/converted.scenario";
constexpr const char* kSavedPath = "/memory/saved.scenario";
// Records read or written at once, and the largest run of data blocks read or written through one
// buffer.
constexpr int32_t kRecordBatch = 64;
constexpr int64_t kMaxBufferedSpan = 16 << 20;

// Saves the binary file's position and returns to it at scope end.
class CPositionGuard
{
public:
    explicit CPositionGuard(IWoxBinary* pBinary) : m_pBinary(pBinary), m_nPosition(pBinary->Tell()) {}
    // The caller knows the position already (saves a Tell in record loops).
    CPositionGuard(IWoxBinary* pBinary, int64_t nPosition) : m_pBinary(pBinary), m_nPosition(nPosition) {}
    ~CPositionGuard() { m_pBinary->Seek(m_nPosition, 0); }
    bool Valid() const { return m_nPosition >= 0; }
    CPositionGuard(const CPositionGuard&) = delete;
    CPositionGuard& operator=(const CPositionGuard&) = delete;

private:
    IWoxBinary* m_pBinary;
    int64_t m_nPosition;
};

bool ReadBytes(IWoxBinary* pBinary, void* pBuffer, uint32_t nSize)
{
    uint32_t nDone = 0;
    return pBinary->Read(pBuffer, &nDone, nSize) != 0;
}

bool WriteBytes(IWoxBinary* pBinary, const void* pBuffer, uint32_t nSize)
{
    uint32_t nDone = 0;
    return pBinary->Write(pBuffer, &nDone, nSize) != 0;
}

// The write side of a binary file over the temporary file of a CAtomicFile, so that a save
// streams through the same record writer as a write in place. Lives on the stack of Save, which
// outlives every reference to it.
class CReplacementBinary final : public IWoxBinary
{
public:
    explicit CReplacementBinary(CAtomicFile& file) : m_file(file) {}

    void AddReference() override {}
    void Release() override {}
    int Initialize(IWoxErrorReporter*) override { return 1; }
    void Close() override {}
    int64_t Tell() override { return m_nPosition; }
    int Open(const char*, int, int) override { return 0; }
    int Read(void*, uint32_t* pnDone, uint32_t) override
    {
        if (pnDone)
            *pnDone = 0;
        return 0;
    }
    int Seek(int64_t nPosition, int nOrigin) override
    {
        if (nOrigin != 0 || nPosition < 0)
            return 0;
        m_nPosition = nPosition;
        return 1;
    }
    int Write(const void* pBuffer, uint32_t* pnDone, uint32_t nSize) override
    {
        if (pnDone)
            *pnDone = 0;
        if (!m_file.WriteAt(static_cast<uint64_t>(m_nPosition), pBuffer, nSize))
            return 0;
        m_nPosition += nSize;
        m_nLength = std::max(m_nLength, m_nPosition);
        if (pnDone)
            *pnDone = nSize;
        return 1;
    }
    int64_t GetLength() override { return m_nLength; }

private:
    CAtomicFile& m_file;
    int64_t m_nPosition = 0;
    int64_t m_nLength = 0;
};
}

CScenarioFile::CScenarioFile(HWOXHEAP hHeap, IScenarioStorage* pStorage) : m_hHeap(hHeap), m_pStorage(pStorage) {}

CScenarioFile::~CScenarioFile() = default;

bool CScenarioFile::Initialize(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter)
{
    m_pLibMgr = pLibMgr;
    m_pRegistry = pRegistry;
    m_pErrorReporter = pErrorReporter;

    if (m_pStorage)
    {
        m_pBinary = m_pStorage->CreateBinary();
    }
    else if (!WoxLoadHostLibrary(m_pLibMgr, m_pRegistry, "Data Controller Library", m_szDataControllerPath, m_hDataController) ||
             !WoxLoadHostLibrary(m_pLibMgr, m_pRegistry, "IO Library", m_szIoLibraryPath, m_hIoLibrary) ||
             !WoxCreateHostObject<PFN_CreateWoxBinary>(m_hIoLibrary, "CreateWoxBinary", m_pBinary))
    {
        return false;
    }
    if (!m_pBinary)
        return false;
    return m_pBinary->Initialize(m_pErrorReporter) > 0;
}

bool CScenarioFile::CreateTreatmentArray(IDynamicPtrTemplate<IArrayExt2>& pArray)
{
    pArray.Clear();
    bool bMade = false;
    if (m_pStorage)
    {
        pArray = m_pStorage->CreateArray(m_hHeap);
        bMade = pArray && pArray->Initialize(m_pLibMgr, m_pRegistry, m_pErrorReporter, sizeof(SScenarioTreatment));
    }
    else
    {
        bMade = WoxCreateArrayExt2(m_hDataController, m_hHeap, m_pLibMgr, m_pRegistry, m_pErrorReporter, sizeof(SScenarioTreatment), pArray);
    }
    if (!bMade)
        pArray.Clear();
    return bMade;
}

bool CScenarioFile::Create(const char* pszPath)
{
    if (m_bOpen)
        Close();
    EndConvertedCopy();
    if (!m_pBinary || !pszPath)
        return false;

    StartHeader();
    if (!m_pBinary->Open(pszPath, kOpenMode, 1))
        return false;
    if (!WriteHeader() || !ReadHeader())
    {
        m_pBinary->Close();
        return false;
    }
    m_bOpen = true;
    return true;
}

void CScenarioFile::StartHeader()
{
    std::memset(&m_header, 0, sizeof m_header);
    WoxCopyText(m_header.szSignature, "ScenarioFile");
    m_header.dVersion = WOX_SCENARIO_VERSION;
    m_header.nReserved = 0;
}

bool CScenarioFile::Open(const char* pszPath)
{
    if (m_bOpen)
        Close();
    EndConvertedCopy();
    // A path that does not fit the 260-character field could not be converted in place.
    if (!m_pBinary || !pszPath || std::strlen(pszPath) >= WOX_MAX_PATH)
        return false;
    if (!m_pBinary->Open(pszPath, kOpenMode, 0))
        return false;
    WoxCopyText(m_szPath, pszPath);

    // A 3.1 file must also hold the records its header counts; a 3.0 file is checked by Convert.
    if (!ReadHeader() || !CheckVersion(true) || !RecordsFit(m_header.nRecords, sizeof(SScenarioTreatment)))
    {
        m_pBinary->Close();
        EndConvertedCopy();
        return false;
    }
    m_bOpen = true;
    return true;
}

bool CScenarioFile::Close()
{
    if (m_bOpen && m_pBinary)
        m_pBinary->Close();
    m_bOpen = false;
    EndConvertedCopy();
    return true;
}

bool CScenarioFile::ReadHeader()
{
    CPositionGuard position(m_pBinary.Get());
    // A file shorter than its header fails here: the read answers 0 when it cannot read all bytes.
    return position.Valid() && m_pBinary->Seek(0, 0) && ReadBytes(m_pBinary.Get(), &m_header, sizeof m_header);
}

bool CScenarioFile::WriteHeader()
{
    CPositionGuard position(m_pBinary.Get());
    uint32_t hZeros = m_hHeap->Alloc(kReservedSize);
    const void* pZeros = m_hHeap->Data(hZeros);
    bool bOk = pZeros && position.Valid() && m_pBinary->Seek(0, 0) && WriteBytes(m_pBinary.Get(), &m_header, sizeof m_header) &&
               WriteBytes(m_pBinary.Get(), pZeros, kReservedSize);
    m_hHeap->Free(hZeros);
    return bOk;
}

bool CScenarioFile::CheckVersion(bool bAllowConversion)
{
    if (m_header.dVersion == WOX_SCENARIO_VERSION)
        return true;
    return bAllowConversion && Convert();
}

bool CScenarioFile::RecordsFit(int32_t nRecords, int64_t nRecordSize)
{
    // Guards against negative counts and counts the file cannot hold (the division keeps
    // nRecords * nRecordSize from ever being computed for a count that does not fit).
    int64_t nLength = m_pBinary->GetLength();
    if (nRecords < 0 || nLength < kHeaderSize)
        return false;
    if (nRecords == 0)
        return true;
    return nLength >= WOX_SCENARIO_RECORDS_POSITION && nRecords <= (nLength - WOX_SCENARIO_RECORDS_POSITION) / nRecordSize;
}

uint32_t CScenarioFile::ReadBlock(int64_t nPosition, uint32_t nSize, int64_t nLength, int64_t nReturnTo)
{
    // Guards against data sizes larger than what is left of the file: checked before the block is
    // allocated, so a damaged size never makes a large allocation.
    if (nPosition < 0 || nPosition > nLength || static_cast<int64_t>(nSize) > nLength - nPosition)
        return 0;
    uint32_t hBlock = m_hHeap->Alloc(nSize);
    void* pBlock = m_hHeap->Data(hBlock);
    if (!pBlock)
        return 0;
    CPositionGuard position(m_pBinary.Get(), nReturnTo);
    if (!m_pBinary->Seek(nPosition, 0) || !ReadBytes(m_pBinary.Get(), pBlock, nSize))
    {
        m_hHeap->Free(hBlock);
        return 0;
    }
    return hBlock;
}

bool CScenarioFile::ReadRecords(SScenarioData* pData)
{
    if (!m_bOpen || !pData || !pData->pTreatments)
        return false;
    if (!RecordsFit(m_header.nRecords, sizeof(SScenarioTreatment)) || !m_pBinary->Seek(WOX_SCENARIO_RECORDS_POSITION, 0))
        return false;

    // Records and their blocks are read a batch at a time (one read for the records, one for the
    // blocks behind them) instead of two reads and two seeks per record. The outcome is that of a
    // record-by-record pass: records whose blocks lie inside the file are appended in order, and
    // the first record whose block does not ends the read with false.
    const int64_t nLength = m_pBinary->GetLength();
    const int32_t nRecords = m_header.nRecords;
    const int64_t nDataArea = WOX_SCENARIO_RECORDS_POSITION + int64_t{nRecords} * int64_t{sizeof(SScenarioTreatment)};
    int64_t nDataOffset = 0;
    std::vector<SScenarioTreatment> batch;
    std::vector<uint8_t> blocks;
    for (int32_t nFirst = 0; nFirst < nRecords;)
    {
        const int32_t nCount = std::min(kRecordBatch, nRecords - nFirst);
        const int64_t nNext = WOX_SCENARIO_RECORDS_POSITION + (int64_t{nFirst} + nCount) * int64_t{sizeof(SScenarioTreatment)};
        batch.resize(static_cast<size_t>(nCount));
        if (!ReadBytes(m_pBinary.Get(), batch.data(), static_cast<uint32_t>(batch.size() * sizeof(SScenarioTreatment))))
            return false;

        // The blocks of the batch that lie inside the file (a prefix), and their total size.
        int32_t nInside = nCount;
        int64_t nSpan = 0;
        for (int32_t k = 0; k < nCount; ++k)
        {
            int64_t nLeft = nLength - (nDataArea + nDataOffset + nSpan);
            if (int64_t{batch[static_cast<size_t>(k)].treatment.nDataSize} > nLeft)
            {
                nInside = k;
                break;
            }
            nSpan += batch[static_cast<size_t>(k)].treatment.nDataSize;
        }
        // The span is file bytes, so never more than the file holds; very large spans are read
        // block by block instead of in one buffer.
        const bool bBuffered = nSpan <= kMaxBufferedSpan;
        if (bBuffered && nSpan > 0)
        {
            blocks.resize(static_cast<size_t>(nSpan));
            if (!m_pBinary->Seek(nDataArea + nDataOffset, 0) || !ReadBytes(m_pBinary.Get(), blocks.data(), static_cast<uint32_t>(nSpan)) ||
                !m_pBinary->Seek(nNext, 0))
                return false;
        }

        int64_t nSpanOffset = 0;
        for (int32_t k = 0; k < nInside; ++k)
        {
            SScenarioTreatment& record = batch[static_cast<size_t>(k)];
            const uint32_t nSize = record.treatment.nDataSize;
            record.treatment.pData = 0;
            if (nSize != 0)
            {
                if (bBuffered)
                {
                    record.treatment.pData = m_hHeap->Alloc(nSize);
                    if (void* pBlock = m_hHeap->Data(record.treatment.pData))
                        std::memcpy(pBlock, blocks.data() + nSpanOffset, nSize);
                }
                else
                {
                    record.treatment.pData = ReadBlock(nDataArea + nDataOffset + nSpanOffset, nSize, nLength, nNext);
                }
                if (!record.treatment.pData)
                    return false;
                nSpanOffset += nSize;
            }
            if (!pData->pTreatments->Add(&record))
            {
                m_hHeap->Free(record.treatment.pData);
                return false;
            }
        }
        if (nInside < nCount)
            return false;
        nDataOffset += nSpan;
        nFirst += nCount;
    }
    pData->info = m_header.info;
    return true;
}

bool CScenarioFile::WriteRecords(SScenarioData* pData)
{
    if (!m_bOpen || !pData || !pData->pTreatments)
        return false;
    if (!m_pBinary->Seek(WOX_SCENARIO_RECORDS_POSITION, 0))
        return false;

    // Records later than the end year are left out; the header counts what is written.
    std::vector<const SScenarioTreatment*> records;
    int nSize = pData->pTreatments->GetSize();
    records.reserve(nSize > 0 ? static_cast<size_t>(nSize) : 0);
    for (int i = 0; i < nSize; ++i)
    {
        auto pRecord = static_cast<const SScenarioTreatment*>(pData->pTreatments->GetAt(i, 0));
        if (pRecord && pRecord->nYear <= pData->info.nEndYear)
            records.push_back(pRecord);
    }
    if (records.size() > static_cast<size_t>(INT32_MAX / sizeof(SScenarioTreatment)))
        return false;

    // Records and their blocks are written a batch at a time: one write for the batch's records
    // and one for its blocks, which lie back to back in the data-block area, instead of a write
    // per record and per block. The file is the same; only a save that fails part-way leaves
    // less of it written. The header comes last, so a failed save never describes new records.
    const int64_t nDataArea = WOX_SCENARIO_RECORDS_POSITION + static_cast<int64_t>(records.size() * sizeof(SScenarioTreatment));
    int64_t nDataOffset = 0;
    std::vector<uint8_t> recordBytes;
    std::vector<uint8_t> blockBytes;
    // Writes the blocks gathered so far at the current end of the data-block area.
    auto flushBlocks = [&]() {
        if (blockBytes.empty())
            return true;
        if (!m_pBinary->Seek(nDataArea + nDataOffset, 0) || !WriteBytes(m_pBinary.Get(), blockBytes.data(), static_cast<uint32_t>(blockBytes.size())))
            return false;
        nDataOffset += static_cast<int64_t>(blockBytes.size());
        blockBytes.clear();
        return true;
    };
    for (size_t nFirst = 0; nFirst < records.size(); nFirst += kRecordBatch)
    {
        const size_t nCount = std::min(records.size() - nFirst, static_cast<size_t>(kRecordBatch));
        recordBytes.resize(nCount * sizeof(SScenarioTreatment));
        for (size_t k = 0; k < nCount; ++k)
        {
            const SScenarioTreatment* pRecord = records[nFirst + k];
            std::memcpy(recordBytes.data() + k * sizeof(SScenarioTreatment), pRecord, sizeof(SScenarioTreatment));
            const uint32_t nBlockSize = pRecord->treatment.nDataSize;
            if (nBlockSize == 0)
                continue;  // a 0-byte block changes nothing in the file
            // A handle that does not resolve to a block of at least nDataSize bytes cannot be written.
            const auto* pBlock = static_cast<const uint8_t*>(m_hHeap->Data(pRecord->treatment.pData));
            if (!pBlock || m_hHeap->Size(pRecord->treatment.pData) < nBlockSize)
                return false;
            // Very large blocks are written from where they are instead of being copied.
            if (blockBytes.size() + nBlockSize > static_cast<uint64_t>(kMaxBufferedSpan))
            {
                if (!flushBlocks())
                    return false;
                if (nBlockSize > static_cast<uint64_t>(kMaxBufferedSpan))
                {
                    if (!m_pBinary->Seek(nDataArea + nDataOffset, 0) || !WriteBytes(m_pBinary.Get(), pBlock, nBlockSize))
                        return false;
                    nDataOffset += nBlockSize;
                    continue;
                }
            }
            blockBytes.insert(blockBytes.end(), pBlock, pBlock + nBlockSize);
        }
        const int64_t nAt = WOX_SCENARIO_RECORDS_POSITION + static_cast<int64_t>(nFirst * sizeof(SScenarioTreatment));
        if (!m_pBinary->Seek(nAt, 0) || !WriteBytes(m_pBinary.Get(), recordBytes.data(), static_cast<uint32_t>(recordBytes.size())) ||
            !flushBlocks())
            return false;
    }

    m_header.info = pData->info;
    m_header.nRecords = static_cast<int32_t>(records.size());
    return WriteHeader();
}

bool CScenarioFile::Convert()
{
    if (m_header.dVersion != WOX_SCENARIO_VERSION_30)
        return false;
    std::vector<uint8_t> converted;
    if (!ConvertFrom30(converted))
        return false;
    m_pBinary->Close();
    if (!ReplaceFile(m_szPath, converted))
        return OpenConvertedCopy(std::move(converted));
    return m_pBinary->Open(m_szPath, kOpenMode, 0) && ReadHeader();
}

bool CScenarioFile::OpenConvertedCopy(std::vector<uint8_t> converted)
{
    auto pVolume = std::make_unique<CMemoryVolume>();
    pVolume->SetFile(m_szPath, std::move(converted));
    pVolume->AddLockedName(m_szPath);  // the copy is read-only: a save into it would be lost
    IDynamicPtrTemplate<IWoxBinary> pCopy = pVolume->CreateBinary();
    if (!pCopy || !pCopy->Initialize(m_pErrorReporter) || !pCopy->Open(m_szPath, kOpenMode, 0))
        return false;
    m_pFileBinary = m_pBinary;
    m_pBinary = pCopy;
    m_pConvertedCopy = std::move(pVolume);
    return ReadHeader();
}

void CScenarioFile::EndConvertedCopy()
{
    if (!m_pConvertedCopy)
        return;
    m_pBinary = m_pFileBinary;
    m_pFileBinary.Clear();
    m_pConvertedCopy.reset();
}

bool CScenarioFile::ConvertFrom30(std::vector<uint8_t>& bytes)
{
    SScenarioData converted;
    if (!CreateTreatmentArray(converted.pTreatments))
        return false;
    CMemoryVolume volume;
    CScenarioFile target(m_hHeap, &volume);
    if (!target.Initialize(m_pLibMgr, m_pRegistry, m_pErrorReporter) || !target.Create(kConvertedPath))
        return false;

    const int32_t nRecords = m_header.nRecords;
    if (!RecordsFit(nRecords, sizeof(SScenarioTreatment30)) || !m_pBinary->Seek(WOX_SCENARIO_RECORDS_POSITION, 0))
        return false;
    // The old data blocks follow the old records directly, in record order.
    const int64_t nDataArea = WOX_SCENARIO_RECORDS_POSITION + int64_t{nRecords} * int64_t{sizeof(SScenarioTreatment30)};
    int64_t nDataOffset = 0;

    SScenarioTreatment record;
    std::memset(&record, 0, sizeof record);
    ResetTriggerPart(record);
    SScenarioTreatment30 old;
    const int64_t nLength = m_pBinary->GetLength();
    bool bOk = true;
    for (int32_t i = 0; bOk && i < nRecords; ++i)
    {
        if (!ReadBytes(m_pBinary.Get(), &old, sizeof old))
        {
            bOk = false;
            break;
        }
        old.treatment.pData = 0;
        if (old.treatment.nDataSize != 0)
        {
            const int64_t nNext = WOX_SCENARIO_RECORDS_POSITION + (int64_t{i} + 1) * int64_t{sizeof old};
            old.treatment.pData = ReadBlock(nDataArea + nDataOffset, old.treatment.nDataSize, nLength, nNext);
            if (!old.treatment.pData)
            {
                bOk = false;
                break;
            }
            nDataOffset += old.treatment.nDataSize;
        }
        record.nYear = old.nYear;
        WoxCopyText(record.szStand, sizeof record.szStand, old.szStand);
        record.bTriggered = old.bTriggered;
        record.treatment = old.treatment;
        if (!converted.pTreatments->Add(&record))
        {
            m_hHeap->Free(old.treatment.pData);
            bOk = false;
        }
    }
    if (bOk)
    {
        converted.info = m_header.info;
        bOk = target.WriteRecords(&converted);
    }
    target.Close();
    FreeTreatmentBlocks(m_hHeap, converted.pTreatments.Get());
    if (bOk)
        bytes = *volume.File(kConvertedPath);
    return bOk;
}

bool CScenarioFile::WriteToMemory(SScenarioData* pData, std::vector<uint8_t>& bytes)
{
    if (!m_pBinary || !pData || !pData->pTreatments)
        return false;
    CMemoryVolume volume;
    CScenarioFile target(m_hHeap, &volume);
    if (!target.Initialize(m_pLibMgr, m_pRegistry, m_pErrorReporter) || !target.Create(kSavedPath))
        return false;
    const bool bWritten = target.WriteRecords(pData);
    target.Close();
    std::shared_ptr<CByteVector> pBytes = volume.Find(kSavedPath);
    if (!bWritten || !pBytes)
        return false;
    bytes = std::move(*pBytes);
    return true;
}

bool CScenarioFile::Save(const char* pszPath, SScenarioData* pData, std::string* pError)
{
    auto fail = [pError](const std::string& reason) {
        if (pError)
            *pError = reason;
        return false;
    };
    if (!pszPath || !*pszPath || std::strlen(pszPath) >= WOX_MAX_PATH)
        return fail("no valid scenario file path");
    if (!m_pBinary || !pData || !pData->pTreatments)
        return fail(std::string("cannot build the scenario for ") + pszPath);
    if (m_pStorage)
    {
        std::vector<uint8_t> bytes;
        if (!WriteToMemory(pData, bytes))
            return fail(std::string("cannot build the scenario for ") + pszPath);
        return m_pStorage->ReplaceFile(pszPath, bytes) || fail(std::string("cannot write ") + pszPath);
    }

    // The records go straight into the temporary file, a batch at a time, as WriteRecords writes
    // them in place; the header comes last. Nothing reaches the target before Commit.
    CAtomicFile file;
    if (!file.Open(pszPath))
        return fail(file.Error());
    CReplacementBinary binary(file);
    CScenarioFile target(m_hHeap);
    target.m_pBinary = &binary;
    target.StartHeader();
    target.m_bOpen = true;
    const bool bWritten = target.WriteRecords(pData);
    target.m_bOpen = false;
    if (!bWritten)
    {
        const std::string reason = file.Error().empty() ? std::string("cannot build the scenario for ") + pszPath : file.Error();
        file.Discard();
        return fail(reason);
    }
    return file.Commit() || fail(file.Error());
}

bool CScenarioFile::ReplaceFile(const char* pszPath, const std::vector<uint8_t>& bytes)
{
    return m_pStorage ? m_pStorage->ReplaceFile(pszPath, bytes) : WoxReplaceFile(pszPath, bytes.data(), bytes.size(), nullptr);
}

void FreeTreatmentBlocks(HWOXHEAP hHeap, IArrayExt2* pTreatments)
{
    if (!hHeap || !pTreatments)
        return;
    int nSize = pTreatments->GetSize();
    for (int i = 0; i < nSize; ++i)
    {
        auto pRecord = static_cast<SScenarioTreatment*>(pTreatments->GetAt(i, 0));
        if (pRecord && pRecord->treatment.pData)
        {
            hHeap->Free(pRecord->treatment.pData);
            pRecord->treatment.pData = 0;
        }
    }
}

uint32_t CopyTreatmentBlock(HWOXHEAP hHeap, uint32_t pData)
{
    const void* pSource = hHeap && pData ? hHeap->Data(pData) : nullptr;
    if (!pSource)
        return 0;
    const size_t nSize = hHeap->Size(pData);
    const uint32_t pCopy = hHeap->Alloc(static_cast<uint32_t>(nSize));
    void* pTarget = hHeap->Data(pCopy);
    if (!pTarget)
        return 0;
    std::memcpy(pTarget, pSource, nSize);
    return pCopy;
}
