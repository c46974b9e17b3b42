#include "ScenarioCheck.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstring>
#include <string_view>
#include <unordered_map>

#include "ScenarioListing.h"
#include "WoxText.h"

namespace
{
std::string Field(const char* pField, size_t nWidth) { return std::string(pField, WoxTextLength(pField, nWidth)); }

class CChecker
{
public:
    CChecker(const CScenarioDocument& document, const SScenarioCheckContext& context) : m_document(document), m_context(context) {}

    std::vector<SScenarioFinding> Run()
    {
        for (size_t i = 0; i < m_document.records.size(); ++i)
        {
            m_nRecord = i + 1;
            const SScenarioTreatment& record = m_document.records[i];
            CheckYears(record);
            CheckNames(record, m_document.blocks[i]);
            CheckDuplicate(i);
            if (record.nTriggers < 0 || record.nTriggers > WOX_SCENARIO_MAX_TRIGGERS)
                Add(true, "damaged", FormatText("holds %d conditions where at most %d fit: damaged", record.nTriggers, WOX_SCENARIO_MAX_TRIGGERS));
            if (record.bTriggered)
                CheckConditions(record);
        }
        return std::move(m_findings);
    }

private:
    void Add(bool bError, const char* pszKind, std::string message) { m_findings.push_back({bError, pszKind, m_nRecord, std::move(message)}); }

    void CheckYears(const SScenarioTreatment& record)
    {
        const int nEnd = m_document.header.info.nEndYear;
        if (record.nYear > nEnd)
            Add(true, "after-end-year", FormatText("year %d is after the scenario's end year %d: never applied, and left out by the next save", record.nYear, nEnd));
        // An end year below 100 is unset: the scenario's end year stands in for it.
        if (!record.bTriggered || record.nEndYear < 100)
            return;
        if (record.nEndYear < record.nYear)
            Add(true, "end-year-before-year", FormatText("end year %d is before its first year %d: never tried", record.nEndYear, record.nYear));
        else if (record.nEndYear > nEnd)
            Add(false, "end-year-after-scenario", FormatText("end year %d is after the scenario's end year %d: not tried after %d", record.nEndYear, nEnd, nEnd));
    }

    void CheckNames(const SScenarioTreatment& record, const CByteVector& block)
    {
        if (!m_context.stands.empty() && !m_context.stands.count(Field(record.szStand, sizeof record.szStand)))
            Add(true, "unknown-stand", "stand \"" + ShownText(record.szStand, sizeof record.szStand) + "\" is not in the project");
        const GUID& guid = record.treatment.guidComponent;
        if (!m_context.components.empty() &&
            std::none_of(m_context.components.begin(), m_context.components.end(),
                         [&](const GUID& known) { return std::memcmp(&known, &guid, sizeof guid) == 0; }))
        {
            Add(true, "unknown-component", "treatment component " + GuidToText(guid) + " is not one of the host's");
            return;
        }
        std::string why;
        if (m_context.fnCheckParameters && !m_context.fnCheckParameters(guid, block, why))
            Add(true, "parameters", "its treatment component refuses the parameters: " + why);
    }

    // Exact duplicates: the same record bytes and the same parameter block as an earlier record.
    void CheckDuplicate(size_t i)
    {
        const SScenarioTreatment& record = m_document.records[i];
        const CByteVector& block = m_document.blocks[i];
        const size_t nHash = std::hash<std::string_view>()(std::string_view(reinterpret_cast<const char*>(&record), sizeof record)) ^
                             (std::hash<std::string_view>()(std::string_view(reinterpret_cast<const char*>(block.data()), block.size())) * 31);
        auto [first, last] = m_seen.equal_range(nHash);
        for (auto it = first; it != last; ++it)
        {
            const size_t j = it->second;
            if (std::memcmp(&m_document.records[j], &record, sizeof record) == 0 && m_document.blocks[j] == block)
            {
                Add(false, "duplicate", FormatText("the same as record %zu: applied twice", j + 1));
                return;
            }
        }
        m_seen.emplace(nHash, i);
    }

    void CheckConditions(const SScenarioTreatment& record)
    {
        const int nTriggers = ScenarioTriggerCount(record);
        for (int j = 0; j < nTriggers; ++j)
        {
            const SScenarioTriggerSpec& spec = record.triggers[j];
            const std::string condition = FormatText("condition %d", j + 1);
            if (spec.nSpecies < 0 || spec.nSpecies > WOX_SCENARIO_MAX_SPECIES)
                Add(true, "damaged", FormatText("%s lists %d species where at most %d fit: damaged", condition.c_str(), spec.nSpecies, WOX_SCENARIO_MAX_SPECIES));
            if (spec.nOperator < TRIGGER_LESS || spec.nOperator > TRIGGER_GREATER)
                Add(true, "damaged", FormatText("%s has operator %d, which is none of <, = and >: damaged", condition.c_str(), spec.nOperator));
            for (int k = 0; m_context.fnKnownSpecies && k < ScenarioSpeciesCount(spec); ++k)
            {
                const std::string code = Field(spec.szSpecies[k], sizeof spec.szSpecies[k]);
                if (m_context.fnKnownSpecies(code))
                    continue;
                // An unknown code in an include list takes trees away; in an exclude list it does nothing.
                const std::string shown = ShownText(spec.szSpecies[k], sizeof spec.szSpecies[k]);
                if (spec.bInclude)
                    Add(true, "unknown-species", condition + " includes species \"" + shown + "\", which the species map does not know: no tree of it counts");
                else
                    Add(false, "unknown-species", condition + " excludes species \"" + shown + "\", which the species map does not know");
            }
            if (!(spec.dDbhMin <= spec.dDbhMax))
                Add(true, "crossed-bounds", FormatText("%s counts trees of DBH %.2f to %.2f cm: no tree passes", condition.c_str(), spec.dDbhMin, spec.dDbhMax));
            if (!(spec.dHeightMin <= spec.dHeightMax))
                Add(true, "crossed-bounds", FormatText("%s counts trees of height %.2f to %.2f m: no tree passes", condition.c_str(), spec.dHeightMin, spec.dHeightMax));
            double dMin = 0.0, dMax = 0.0;
            const std::string variable = Field(spec.szVariable, sizeof spec.szVariable);
            if (!std::isfinite(spec.dValue))
                Add(true, "implausible-threshold", FormatText("%s compares with %g, which is not a finite threshold", condition.c_str(), spec.dValue));
            else if (m_context.fnPlausibleRange && m_context.fnPlausibleRange(variable, dMin, dMax) && (spec.dValue < dMin || spec.dValue > dMax))
                Add(false, "implausible-threshold",
                    FormatText("%s compares %s with %.2f, outside its plausible range %g to %g", condition.c_str(),
                           ShownText(spec.szVariable, sizeof spec.szVariable).c_str(), spec.dValue, dMin, dMax));
        }
        CheckContradictions(record, nTriggers);
    }

    // Conditions on the same variable over the same filter compare one value: ">" bounds it from
    // below, "<" from above, "=" pins it. When no value satisfies them all, the record never fires.
    void CheckContradictions(const SScenarioTreatment& record, int nTriggers)
    {
        std::vector<bool> done(static_cast<size_t>(nTriggers), false);
        for (int j = 0; j < nTriggers; ++j)
        {
            if (done[j])
                continue;
            double dAbove = -INFINITY, dBelow = INFINITY;
            std::vector<double> equals;
            std::string numbers, bounds;
            int nInGroup = 0;
            for (int k = j; k < nTriggers; ++k)
            {
                const SScenarioTriggerSpec& spec = record.triggers[k];
                if (done[k] || !SameValue(record.triggers[j], spec))
                    continue;
                done[k] = true;
                ++nInGroup;
                numbers += (numbers.empty() ? "" : ", ") + std::to_string(k + 1);
                bounds += FormatText("%s%s %.2f", bounds.empty() ? "" : ", ", TriggerOperatorText(spec.nOperator), spec.dValue);
                if (spec.nOperator == TRIGGER_GREATER)
                    dAbove = std::max(dAbove, spec.dValue);
                else if (spec.nOperator == TRIGGER_LESS)
                    dBelow = std::min(dBelow, spec.dValue);
                else if (spec.nOperator == TRIGGER_EQUAL)
                    equals.push_back(spec.dValue);
            }
            bool bNever = nInGroup > 1 && dAbove >= dBelow;
            for (double dEqual : equals)
                bNever = bNever || dEqual != equals.front() || dEqual <= dAbove || dEqual >= dBelow;
            if (bNever)
                Add(true, "contradictory-conditions",
                    "conditions " + numbers + " on " + ShownText(record.triggers[j].szVariable, sizeof record.triggers[j].szVariable) +
                        " over the same trees can never all hold (" + bounds + "): never applied");
        }
    }

    // The same variable (descriptor) computed over the same filtered trees.
    static bool SameValue(const SScenarioTriggerSpec& a, const SScenarioTriggerSpec& b)
    {
        if (WoxCompareText(a.szVariable, b.szVariable, sizeof a.szVariable) != 0 || WoxCompareText(a.szLibrary, b.szLibrary, sizeof a.szLibrary) != 0 ||
            a.nFunction != b.nFunction || (a.bInclude != 0) != (b.bInclude != 0) || ScenarioSpeciesCount(a) != ScenarioSpeciesCount(b) ||
            a.dDbhMin != b.dDbhMin || a.dDbhMax != b.dDbhMax || a.dHeightMin != b.dHeightMin || a.dHeightMax != b.dHeightMax)
            return false;
        for (int k = 0; k < ScenarioSpeciesCount(a); ++k)
            if (WoxCompareText(a.szSpecies[k], b.szSpecies[k], sizeof a.szSpecies[k]) != 0)
                return false;
        return true;
    }

    const CScenarioDocument& m_document;
    const SScenarioCheckContext& m_context;
    size_t m_nRecord = 0;
    std::vector<SScenarioFinding> m_findings;
    std::unordered_multimap<size_t, size_t> m_seen;   // hash of record and block -> record index
};
}

std::vector<SScenarioFinding> CheckScenario(const CScenarioDocument& document, const SScenarioCheckContext& context)
{
    if (document.blocks.size() != document.records.size())
        return {{true, "damaged", 0, "the records and their parameter blocks do not match"}};
    return CChecker(document, context).Run();
}

std::string FindingRecordText(const CScenarioDocument& document, size_t nRecord)
{
    if (nRecord == 0 || nRecord > document.records.size())
        return "scenario";
    const SScenarioTreatment& record = document.records[nRecord - 1];
    return FormatText("record %zu (stand \"%s\", %d, \"%s\")", nRecord, ShownText(record.szStand, sizeof record.szStand).c_str(), record.nYear,
                  ShownText(record.treatment.szName, sizeof record.treatment.szName).c_str());
}

std::string FindingsToText(const std::string& path, const CScenarioDocument& document, const std::vector<SScenarioFinding>& findings)
{
    std::string text;
    for (const SScenarioFinding& finding : findings)
        text += path + ": " + (finding.bError ? "error: " : "warning: ") + FindingRecordText(document, finding.nRecord) + ": " + finding.message + "\n";
    return text;
}

std::string FindingsToJson(const std::vector<SCheckedScenario>& scenarios)
{
    nlohmann::ordered_json root = {{"scenarios", nlohmann::ordered_json::array()}};
    int nErrors = 0, nWarnings = 0;
    for (const SCheckedScenario& scenario : scenarios)
    {
        const CScenarioDocument& document = *scenario.pDocument;
        nlohmann::ordered_json findings = nlohmann::ordered_json::array();
        for (const SScenarioFinding& finding : scenario.findings)
        {
            (finding.bError ? nErrors : nWarnings) += 1;
            nlohmann::ordered_json item = {{"severity", finding.bError ? "error" : "warning"}, {"kind", finding.pszKind}, {"record", finding.nRecord}};
            if (finding.nRecord > 0 && finding.nRecord <= document.records.size())
            {
                const SScenarioTreatment& record = document.records[finding.nRecord - 1];
                item["stand"] = Latin1ToUtf8(record.szStand, sizeof record.szStand);
                item["year"] = record.nYear;
                item["treatment"] = Latin1ToUtf8(record.treatment.szName, sizeof record.treatment.szName);
            }
            item["message"] = finding.message;
            findings.push_back(std::move(item));
        }
        root["scenarios"].push_back({{"path", scenario.path},
                                     {"name", Latin1ToUtf8(document.header.info.szName, sizeof document.header.info.szName)},
                                     {"records", document.records.size()},
                                     {"findings", std::move(findings)}});
    }
    root["errors"] = nErrors;
    root["warnings"] = nWarnings;
    // Texts from a file are Latin-1 turned UTF-8; a message may still quote odd bytes: replace them.
    return root.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}
