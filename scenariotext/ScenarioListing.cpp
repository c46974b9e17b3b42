#include "ScenarioListing.h"

#include <cstdarg>
#include <cstdio>

#include "WoxText.h"

std::string ShownText(const char* pField, size_t nWidth)
{
    std::string text;
    const size_t n = WoxTextLength(pField, nWidth);
    for (size_t i = 0; i < n; ++i)
    {
        auto c = static_cast<unsigned char>(pField[i]);
        if (c < 0x20 || (c >= 0x7F && c < 0xA0))
        {
            char szEscape[8];
            std::snprintf(szEscape, sizeof szEscape, "\\x%02X", c);
            text += szEscape;
        }
        else
        {
            text += Latin1ToUtf8(pField + i, 1);
        }
    }
    return text;
}

const char* TriggerOperatorText(int32_t nOperator)
{
    switch (nOperator)
    {
    case TRIGGER_LESS: return "<";
    case TRIGGER_EQUAL: return "=";
    case TRIGGER_GREATER: return ">";
    default: return "?";
    }
}

namespace
{
void Append(std::string& text, const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));
void Append(std::string& text, const char* pszFormat, ...)
{
    char buffer[1024];
    va_list args;
    va_start(args, pszFormat);
    std::vsnprintf(buffer, sizeof buffer, pszFormat, args);
    va_end(args);
    text += buffer;
}
}

std::string ScenarioToText(const CScenarioDocument& document)
{
    const SScenarioHeader& header = document.header;
    std::string text;
    Append(text, "Signature:   %s\n", ShownText(header.szSignature, sizeof header.szSignature).c_str());
    Append(text, "Version:     %.15g\n", header.dVersion);
    Append(text, "Name:        %s\n", ShownText(header.info.szName, sizeof header.info.szName).c_str());
    Append(text, "Description: %s\n", ShownText(header.info.szDescription, sizeof header.info.szDescription).c_str());
    Append(text, "End year:    %d\n", header.info.nEndYear);
    Append(text, "Records:     %zu\n", document.records.size());

    for (size_t i = 0; i < document.records.size(); ++i)
    {
        const SScenarioTreatment& record = document.records[i];
        const STreatmentDataTreatment& t = record.treatment;
        Append(text, "\nRecord %zu\n", i + 1);
        Append(text, "  Year:        %d\n", record.nYear);
        Append(text, "  End year:    %d\n", record.nEndYear);
        Append(text, "  Stand:       %s\n", ShownText(record.szStand, sizeof record.szStand).c_str());
        Append(text, "  Kind:        %s\n", record.bTriggered ? "triggered" : "normal");
        Append(text, "  Flags:       0x%08X%s\n", record.nFlags, (record.nFlags & WOX_TREATMENT_ALLOW_MULTIPLE) ? " (allow multiple occurrences)" : "");
        Append(text, "  Treatment:   %s\n", ShownText(t.szName, sizeof t.szName).c_str());
        Append(text, "  Description: %s\n", ShownText(t.szDescription, sizeof t.szDescription).c_str());
        Append(text, "  Component:   %s\n", GuidToText(t.guidComponent).c_str());
        Append(text, "  Data size:   %u bytes\n", t.nDataSize);
        if (!record.bTriggered)
            continue;
        if (record.nTriggers != ScenarioTriggerCount(record))
            Append(text, "  Triggers:    %d in the file, %d usable\n", record.nTriggers, ScenarioTriggerCount(record));
        for (int j = 0; j < ScenarioTriggerCount(record); ++j)
        {
            const SScenarioTriggerSpec& spec = record.triggers[j];
            Append(text, "  Trigger %d:   %s %s %.2lf\n", j + 1, ShownText(spec.szVariable, sizeof spec.szVariable).c_str(), TriggerOperatorText(spec.nOperator), spec.dValue);
            std::string species;
            for (int k = 0; k < ScenarioSpeciesCount(spec); ++k)
                species += (k ? ", " : "") + ShownText(spec.szSpecies[k], sizeof spec.szSpecies[k]);
            Append(text, "    Species:   %s %s\n", spec.bInclude ? "include" : "exclude", species.empty() ? "(none)" : species.c_str());
            Append(text, "    Diameter:  %.2lf to %.2lf\n", spec.dDbhMin, spec.dDbhMax);
            Append(text, "    Height:    %.2lf to %.2lf\n", spec.dHeightMin, spec.dHeightMax);
            Append(text, "    Function:  %d in %s\n", spec.nFunction, ShownText(spec.szLibrary, sizeof spec.szLibrary).c_str());
        }
    }
    return text;
}

std::string FormatText(const char* pszFormat, ...)
{
    char buffer[512];
    va_list args;
    va_start(args, pszFormat);
    std::vsnprintf(buffer, sizeof buffer, pszFormat, args);
    va_end(args);
    return buffer;
}
