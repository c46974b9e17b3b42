#pragma once
// The text forms of a scenario: a listing for people ("wox scenario show") and JSON for tools
// ("wox scenario export" / "import").
//
// JSON format ("format": "wox-scenario", "formatVersion": 1):
//   {"file": {"signature", "version", "recordCount"}          -- informational, not read back
//    "info": {"name", "description", "endYear", ["extraBytes"]},
//    "records": [{"year", "stand", "triggered", "endYear", "flags", "triggerPartDefaults",
//                 "triggerCount", "triggers": [{"variable", "descriptorA", "descriptorB",
//                   "descriptorC", "library", "function", "value", "operator", "include",
//                   "speciesCount", "species": [..], "dbhMax", "dbhMin", "heightMax",
//                   "heightMin"}],
//                 "treatment": {"component": "{GUID}", "name", "description", "data": "hex"},
//                 ["extraBytes"]}]}
// Texts are Latin-1 bytes written as UTF-8 strings. Doubles that JSON cannot carry are written as
// "nan", "inf", "-inf". "triggers" lists the first triggerCount conditions (clamped to 15),
// "species" the first speciesCount codes; the raw counts are kept as they are.
//
// Byte exactness: a record is rebuilt from a zero-filled record (with the default trigger part
// when "triggerPartDefaults" is true), then its named fields, then "extraBytes": a list of
// {"offset", "hex"} runs holding every byte that the named fields do not reproduce (padding,
// bytes behind a text's terminator, szReserved, unused trigger conditions, NaN payloads). Export
// computes the runs by rebuilding each record, so import gives back the same 8888 bytes. The one
// exception is pData (bytes 8880..8883): in a file those bytes carry no meaning, a reader
// replaces them and a writer stores the block handle it holds.

#include <cstdint>
#include <string>
#include <vector>

#include "MemoryVolume.h"
#include "ScenarioFile.h"
#include "ScenarioRecords.h"

// A scenario as plain values: the header as read, every record (pData 0) and its data block.
struct CScenarioDocument
{
    SScenarioHeader header = {};
    std::vector<SScenarioTreatment> records;
    std::vector<CByteVector> blocks;  // one per record, nDataSize bytes each
};

// Copies what ReadRecords produced into a document; false when a block handle does not resolve.
bool DocumentFromData(HWOXHEAP hHeap, const SScenarioData& data, const SScenarioHeader& header, CScenarioDocument& document);

// Reads a scenario file held in memory (converting a 3.0 file in memory only). On failure
// *pError says why.
bool ReadScenarioBytes(HWOXHEAP hHeap, const CByteVector& bytes, CScenarioDocument& document, std::string* pError);

// Writes the document through an open (e.g. just created) scenario file. The parameter blocks are
// allocated for the write and freed afterwards.
bool WriteScenarioDocument(CScenarioFile& file, HWOXHEAP hHeap, const CScenarioDocument& document);

// The file bytes of the document as CScenarioFile writes them (on an in-memory volume).
bool ScenarioDocumentBytes(HWOXHEAP hHeap, const CScenarioDocument& document, CByteVector& bytes);

std::string ScenarioToText(const CScenarioDocument& document);
std::string ScenarioToJson(const CScenarioDocument& document);
// Parses JSON into a document. On failure error holds one line naming the field at fault, e.g.
// "records[2].treatment.name: missing".
bool ScenarioFromJson(const std::string& text, CScenarioDocument& document, std::string& error);

// Equal info, records (pData ignored) and data blocks.
bool SameScenario(const CScenarioDocument& a, const CScenarioDocument& b);

std::string GuidToText(const GUID& guid);
bool GuidFromText(const std::string& text, GUID& guid);
