#pragma once
// CScenarioFile: the only access to a scenario file. Creates a file with a fresh header, opens an
// existing one (converting a version 3.0 file to 3.1 on the way), reads all records into an
// SScenarioData and writes one back. Every byte goes through the host's binary-file object;
// parameter data blocks live on the component heap. Used by one thread from construction to
// destruction; no operation shows a message.
//
// File layout: the 368-byte header at 0, 144 zero bytes, nRecords records of 8888 bytes from 512,
// then the data-block area: the parameter block of every record with a non-zero nDataSize, in
// record order, back to back. Readers ignore whatever follows the data-block area.
//
// Damaged files. Nothing read from a file is trusted:
// - Open refuses a file shorter than its header, a version other than 3.1 or 3.0, a negative
//   record count and a count whose records would not fit in the file (checked by division, so
//   count * 8888 cannot overflow). A failed Open or Convert never writes to the file.
// - ReadRecords and the conversion refuse a data block that reaches past the end of the file
//   before allocating it, so nothing larger than the file itself is ever allocated.
// - Records are read as they are: texts without terminators stay in their fields, and nTriggers /
//   nSpecies keep whatever the file held. Readers of those counts clamp them
//   (ScenarioTriggerCount, ScenarioSpeciesCount); texts are read with the WoxText.h helpers.
//
// Conversion of a 3.0 file. The converted 3.1 file is built in memory (in a second CScenarioFile
// on a private in-memory volume) and then replaces the old file in one atomic step: the
// platform's CAtomicFile writes a temporary file created exclusively beside the old one, flushes
// it and renames it over the old one. A kill, a full disk or a conversion running in another
// project therefore leaves the old file or the converted one, never a mix, and no temporary file
// is shared with anyone. When the file cannot be replaced (read-only file or folder, full disk)
// it stays exactly as it was and the object reads the converted copy from memory instead: such
// a file still opens and reads, and WriteRecords on it fails.
//
// WriteRecords itself writes in place through the binary-file object. Save streams the same bytes
// that Create and WriteRecords would write, batch by batch, into CAtomicFile's temporary file and
// commits it, so a failed or killed save leaves the old file exactly as it was and no copy of the
// whole file is ever held in memory.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Containers.h"
#include "HostServices.h"
#include "ScenarioRecords.h"
#include "ScenarioStorage.h"
#include "WoxTypes.h"

class CMemoryVolume;

class CScenarioFile
{
public:
    // pStorage replaces the host libraries and platform file operations (none = use the host).
    explicit CScenarioFile(HWOXHEAP hHeap, IScenarioStorage* pStorage = nullptr);
    CScenarioFile(const CScenarioFile&) = delete;
    CScenarioFile& operator=(const CScenarioFile&) = delete;
    // Releases the binary-file object without calling Close (the host closes the file).
    ~CScenarioFile();

    // Loads the Data Controller and IO libraries named in the registry and makes the binary-file
    // object. Must succeed before any other operation.
    bool Initialize(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter);

    // Creates a new file with a fresh header and no records.
    bool Create(const char* pszPath);
    // Opens an existing file for reading and writing; a version 3.0 file is converted first.
    bool Open(const char* pszPath);
    bool Close();

    // Appends every record of the file, each with its own data block, to pData->pTreatments and
    // copies the header's info into pData->info. Records appended before a failure stay.
    bool ReadRecords(SScenarioData* pData);
    // Writes the records not later than pData->info.nEndYear with their data blocks, then the
    // header with pData->info.
    bool WriteRecords(SScenarioData* pData);

    // Replaces the file at pszPath (or creates it) with pData in one step. On failure the file is
    // as it was and *pError (when given) holds the reason.
    bool Save(const char* pszPath, SScenarioData* pData, std::string* pError = nullptr);

    // A new, initialised array of 8888-byte treatment records from the Data Controller Library.
    bool CreateTreatmentArray(IDynamicPtrTemplate<IArrayExt2>& pArray);

    bool IsOpen() const { return m_bOpen; }
    // True while the object reads a converted copy from memory (the file could not be replaced).
    bool IsConvertedCopy() const { return m_pConvertedCopy != nullptr; }
    const SScenarioHeader& Header() const { return m_header; }

private:
    // A fresh 3.1 header with no records.
    void StartHeader();
    // The bytes of a new file holding pData as WriteRecords writes it (a fresh 3.1 header, the
    // records not later than the end year, their data blocks), built in memory: a save through a
    // storage hands them over whole.
    bool WriteToMemory(SScenarioData* pData, std::vector<uint8_t>& bytes);
    bool ReadHeader();
    bool WriteHeader();
    bool CheckVersion(bool bAllowConversion);
    bool Convert();
    bool ConvertFrom30(std::vector<uint8_t>& converted);
    // Reads the converted bytes from memory from now on; the host's binary-file object waits.
    bool OpenConvertedCopy(std::vector<uint8_t> converted);
    void EndConvertedCopy();
    // Non-zero when nRecords records of nRecordSize bytes fit between 512 and the end of the file.
    bool RecordsFit(int32_t nRecords, int64_t nRecordSize);
    // Reads a data block of nSize bytes at nPosition of a file of nLength bytes into a new heap
    // block, then seeks back to nReturnTo; 0 on failure.
    uint32_t ReadBlock(int64_t nPosition, uint32_t nSize, int64_t nLength, int64_t nReturnTo);

    bool ReplaceFile(const char* pszPath, const std::vector<uint8_t>& bytes);

    bool m_bOpen = false;
    char m_szPath[WOX_MAX_PATH] = {};
    HWOXHEAP m_hHeap;
    HWOXMODULE m_hDataController = nullptr;
    HWOXMODULE m_hIoLibrary = nullptr;
    IDynamicPtrTemplate<IWoxBinary> m_pBinary;
    IWoxErrorReporter* m_pErrorReporter = nullptr;
    IWoxLibMgr* m_pLibMgr = nullptr;
    IWoxRegistry* m_pRegistry = nullptr;
    SScenarioHeader m_header = {};
    char m_szDataControllerPath[WOX_MAX_PATH] = {};
    char m_szIoLibraryPath[WOX_MAX_PATH] = {};
    IScenarioStorage* m_pStorage;
    // While a converted copy is read from memory: its volume, and the binary-file object that
    // m_pBinary held before (back in place at the next Close, Create or Open).
    std::unique_ptr<CMemoryVolume> m_pConvertedCopy;
    IDynamicPtrTemplate<IWoxBinary> m_pFileBinary;
};

// Frees the parameter block of every record in the array and clears its pData (the caller knows
// that no other copy of these records still uses the blocks).
void FreeTreatmentBlocks(HWOXHEAP hHeap, IArrayExt2* pTreatments);
// A copy of a parameter block in the same heap, so that each record owns its own; 0 when there
// is nothing to copy or no room.
uint32_t CopyTreatmentBlock(HWOXHEAP hHeap, uint32_t pData);
