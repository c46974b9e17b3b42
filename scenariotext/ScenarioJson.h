#pragma once
// The JSON form of a scenario, for tools ("wox scenario export" / "import").
//
// Format ("format": "wox-scenario", "formatVersion": 1):
//   {"file": {"signature", "version", "recordCount"}          -- informational, not read back
//    "info": {"name", "description", "endYear", ["extraBytes"]},
//    "records": [{"year", "stand", "triggered", "endYear", "flags", "triggerPartDefaults",
//                 "triggerCount", "triggers": [{"variable", "descriptorA", "descriptorB",
//                   "descriptorC", "library", "function", "value", "operator", "include",
//                   "speciesCount", "species": [..], "dbhMax", "dbhMin", "heightMax",
//                   "heightMin"}],
//                 "treatment": {"component": "{GUID}", "name", "description", "data": "hex",
//                               ["parameters": {"name": value, ...}]},
//                 ["extraBytes"]}]}
// Texts are Latin-1 bytes written as UTF-8 strings. Doubles that JSON cannot carry are written as
// "nan", "inf", "-inf". "triggers" lists the first triggerCount conditions (clamped to 15),
// "species" the first speciesCount codes; the raw counts are kept as they are.
//
// "parameters" holds the block decoded by the parameter codec, for the components it knows. On
// import a record needs "data", "parameters" or both; with both, the parameters are written over
// the bytes of "data" (so an edited parameter takes effect and untouched bytes stay as they were).
//
// Byte exactness: a record is rebuilt from a zero-filled record (with the default trigger part
// when "triggerPartDefaults" is true), then its named fields, then "extraBytes": a list of
// {"offset", "hex"} runs holding every byte that the named fields do not reproduce (padding,
// bytes behind a text's terminator, szReserved, unused trigger conditions, NaN payloads). Export
// computes the runs by rebuilding each record, so import gives back the same 8888 bytes. The one
// exception is pData (bytes 8880..8883): in a file those bytes carry no meaning, a reader
// replaces them and a writer stores the block handle it holds.

#include <string>

#include "ScenarioDocument.h"
#include "ScenarioParameters.h"

std::string ScenarioToJson(const CScenarioDocument& document, const IParameterCodec* pCodec = nullptr);
// Parses JSON into a document. On failure error holds one line naming the field at fault, e.g.
// "records[2].treatment.name: missing". Without a codec, "parameters" are refused.
bool ScenarioFromJson(const std::string& text, CScenarioDocument& document, std::string& error, const IParameterCodec* pCodec = nullptr);

bool GuidFromText(const std::string& text, GUID& guid);
