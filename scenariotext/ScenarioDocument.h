#pragma once
// A scenario as plain values, read from and written to scenario file bytes through the
// component's scenario file on an in-memory volume, so that a file shown is never touched.

#include <cstdint>
#include <string>
#include <vector>

#include "HostServices.h"
#include "MemoryVolume.h"
#include "ScenarioRecords.h"

class CScenarioFile;

// The header as read, every record (pData 0) and its data block.
struct CScenarioDocument
{
    SScenarioHeader header = {};
    std::vector<SScenarioTreatment> records;
    std::vector<CByteVector> blocks;  // one per record, nDataSize bytes each
};

// Copies what ReadRecords produced into a document; false when a block handle does not resolve.
bool DocumentFromData(HWOXHEAP hHeap, const SScenarioData& data, const SScenarioHeader& header, CScenarioDocument& document);

// Reads a scenario file held in memory (converting a 3.0 file in memory only; *pbConverted then
// says so). On failure *pError says why.
bool ReadScenarioBytes(HWOXHEAP hHeap, CByteVector bytes, CScenarioDocument& document, std::string* pError,
                       bool* pbConverted = nullptr);

// Writes the document through an open (e.g. just created) scenario file. The parameter blocks are
// allocated for the write and freed afterwards.
bool WriteScenarioDocument(CScenarioFile& file, HWOXHEAP hHeap, const CScenarioDocument& document);

// Creates a scenario file at pszPath through the host's IO and Data Controller libraries and
// writes the document into it. A failure can leave a partial file at pszPath.
bool WriteScenarioFile(const char* pszPath, HWOXHEAP hHeap, IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry,
                       IWoxErrorReporter* pErrorReporter, const CScenarioDocument& document);

// The file bytes of the document as CScenarioFile writes them (on an in-memory volume).
bool ScenarioDocumentBytes(HWOXHEAP hHeap, const CScenarioDocument& document, CByteVector& bytes);

// Equal info, records (pData ignored) and data blocks.
bool SameScenario(const CScenarioDocument& a, const CScenarioDocument& b);

// Texts of fields as both text forms write them: a Latin-1 field (up to its terminator or nWidth
// bytes) as UTF-8, a GUID as {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}.
std::string Latin1ToUtf8(const char* pField, size_t nWidth);
std::string GuidToText(const GUID& guid);
