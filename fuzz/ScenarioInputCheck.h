#pragma once
// One scenario file input run through open (with conversion), read and the text forms, all on an
// in-memory volume, with the promises a damaged file must not break; and one JSON input through
// import and then the same. Shared by the fuzz targets and the corpus replay test.

#include <cstdint>
#include <string>

#include "Heap.h"
#include "MemoryVolume.h"
#include "ScenarioFile.h"
#include "ScenarioJson.h"
#include "ScenarioListing.h"

struct SScenarioInputOutcome
{
    bool bOpened = false;
    bool bRead = false;
    int nRecords = 0;        // records read (also those appended before a failed read)
    std::string broken;      // a broken promise; empty when all held
};

inline SScenarioInputOutcome CheckScenarioInput(const uint8_t* pData, size_t nSize)
{
    SScenarioInputOutcome outcome;
    const char* pszPath = "/memory/input.scenario";
    CByteVector original(pData, pData + nSize);
    CMemoryVolume volume;
    volume.SetFile(pszPath, original);
    CWoxHeap heap;
    {
        CScenarioFile file(&heap, &volume);
        if (!file.Initialize(nullptr, nullptr, nullptr))
        {
            outcome.broken = "initialize failed";
            return outcome;
        }
        outcome.bOpened = file.Open(pszPath);
        if (!outcome.bOpened)
        {
            const CByteVector* pAfter = volume.File(pszPath);
            if (!pAfter || *pAfter != original)
                outcome.broken = "failed open changed the file";
            if (volume.FileNames().size() != 1)
                outcome.broken = "failed open left a file behind";
            return outcome;
        }
        SScenarioData data;
        if (!file.CreateTreatmentArray(data.pTreatments))
        {
            outcome.broken = "no array";
            return outcome;
        }
        outcome.bRead = file.ReadRecords(&data);
        outcome.nRecords = data.pTreatments->GetSize();
        // Blocks come out of the file's own bytes: together never more than the file.
        uint64_t nBlockBytes = 0;
        for (int i = 0; i < outcome.nRecords; ++i)
            nBlockBytes += static_cast<const SScenarioTreatment*>(data.pTreatments->GetAt(i, 0))->treatment.nDataSize;
        if (nBlockBytes > volume.File(pszPath)->size())
            outcome.broken = "blocks larger than the file";
        if (outcome.bRead)
        {
            CScenarioDocument document;
            if (!DocumentFromData(&heap, data, file.Header(), document))
                outcome.broken = "blocks do not resolve";
            (void)ScenarioToText(document);
            CScenarioDocument back;
            std::string error;
            if (!ScenarioFromJson(ScenarioToJson(document), back, error) || !SameScenario(document, back))
                outcome.broken = "JSON round trip differs: " + error;
        }
        FreeTreatmentBlocks(&heap, data.pTreatments.Get());
    }
    if (heap.BlockCount() != 0)
        outcome.broken = "heap blocks leaked";
    return outcome;
}

// A JSON input: parsed (bParsed) and, when it parses, made into a scenario file that goes through
// CheckScenarioInput.
struct SScenarioJsonOutcome
{
    bool bParsed = false;
    SScenarioInputOutcome file;
};

inline SScenarioJsonOutcome CheckScenarioJsonInput(const uint8_t* pData, size_t nSize)
{
    SScenarioJsonOutcome outcome;
    CScenarioDocument document;
    std::string error;
    outcome.bParsed = ScenarioFromJson(std::string(reinterpret_cast<const char*>(pData), nSize), document, error);
    if (!outcome.bParsed)
        return outcome;
    CWoxHeap heap;
    CByteVector bytes;
    if (!ScenarioDocumentBytes(&heap, document, bytes))
    {
        outcome.file.broken = "parsed JSON makes no scenario file";
        return outcome;
    }
    outcome.file = CheckScenarioInput(bytes.data(), bytes.size());
    return outcome;
}
