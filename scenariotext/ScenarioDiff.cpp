#include "ScenarioDiff.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <unordered_map>

#include "ScenarioListing.h"
#include "WoxText.h"

namespace
{
template <size_t N>
std::string Shown(const char (&field)[N])
{
    return ShownText(field, N);
}

// Year, end year, stand, treatment name and component: what makes two records the same record.
std::string Identity(const SScenarioTreatment& record)
{
    std::string key(reinterpret_cast<const char*>(&record.nYear), sizeof record.nYear);
    key.append(reinterpret_cast<const char*>(&record.nEndYear), sizeof record.nEndYear);
    key.append(record.szStand, WoxTextLength(record.szStand)).push_back('\0');
    key.append(record.treatment.szName, WoxTextLength(record.treatment.szName)).push_back('\0');
    key.append(reinterpret_cast<const char*>(&record.treatment.guidComponent), sizeof(GUID));
    return key;
}

bool SameRecord(const CScenarioDocument& a, size_t i, const CScenarioDocument& b, size_t j)
{
    return std::memcmp(&a.records[i], &b.records[j], sizeof(SScenarioTreatment)) == 0 && a.blocks[i] == b.blocks[j];
}

std::string HexText(const CByteVector& block)
{
    if (block.empty())
        return "(none)";
    std::string text;
    for (uint8_t byte : block)
        text += FormatText("%02X", byte);
    return text;
}

std::string ConditionText(const SScenarioTriggerSpec& spec)
{
    std::string species;
    for (int k = 0; k < ScenarioSpeciesCount(spec); ++k)
        species += (k ? " " : "") + ShownText(spec.szSpecies[k], sizeof spec.szSpecies[k]);
    std::string text = Shown(spec.szVariable) + " " + TriggerOperatorText(spec.nOperator) + FormatText(" %.10g", spec.dValue);
    text += species.empty() ? ", all species" : (spec.bInclude ? ", species " : ", all species but ") + species;
    return text + FormatText(", DBH %.10g to %.10g cm, height %.10g to %.10g m", spec.dDbhMin, spec.dDbhMax, spec.dHeightMin, spec.dHeightMax);
}

std::string FlagsText(uint32_t nFlags)
{
    if (nFlags == 0)
        return "none";
    return nFlags == WOX_TREATMENT_ALLOW_MULTIPLE ? "allow multiple occurrences" : FormatText("0x%08X", nFlags);
}

std::vector<SFieldChange> ChangedFields(const CScenarioDocument& a, size_t i, const CScenarioDocument& b, size_t j, const FnParameterText& fnParameters)
{
    const SScenarioTreatment &x = a.records[i], &y = b.records[j];
    std::vector<SFieldChange> fields;
    auto add = [&](const char* pszField, std::string before, std::string after) {
        if (before != after)
            fields.push_back({pszField, std::move(before), std::move(after)});
    };
    add("kind", x.bTriggered ? "triggered" : "normal", y.bTriggered ? "triggered" : "normal");
    add("description", Shown(x.treatment.szDescription), Shown(y.treatment.szDescription));
    add("flags", FlagsText(x.nFlags), FlagsText(y.nFlags));
    if (a.blocks[i] != b.blocks[j])
    {
        auto text = [&](const GUID& guid, const CByteVector& block) { return fnParameters ? fnParameters(guid, block) : HexText(block); };
        std::string before = text(x.treatment.guidComponent, a.blocks[i]), after = text(y.treatment.guidComponent, b.blocks[j]);
        // Decoded texts may round away the difference; the bytes then say it.
        if (before == after)
            before = HexText(a.blocks[i]), after = HexText(b.blocks[j]);
        fields.push_back({"parameters", before, after});
    }
    if (x.bTriggered || y.bTriggered)
    {
        add("conditions", std::to_string(x.nTriggers), std::to_string(y.nTriggers));
        for (int k = 0, n = std::max(ScenarioTriggerCount(x), ScenarioTriggerCount(y)); k < n; ++k)
        {
            const bool bInX = k < ScenarioTriggerCount(x), bInY = k < ScenarioTriggerCount(y);
            if (bInX && bInY && std::memcmp(&x.triggers[k], &y.triggers[k], sizeof x.triggers[k]) == 0)
                continue;
            std::string before = bInX ? ConditionText(x.triggers[k]) : "(none)", after = bInY ? ConditionText(y.triggers[k]) : "(none)";
            if (before == after)
                after += " (other bytes of the condition)";
            fields.push_back({FormatText("condition %d", k + 1), before, after});
        }
    }
    // Bytes no field above shows (reserved text, unused conditions, padding).
    if (fields.empty())
        fields.push_back({"other bytes", "", "differ"});
    return fields;
}

// Stand identifiers in the order people count them: "9" before "10".
bool StandLess(const std::string& a, const std::string& b)
{
    const bool bDigitsA = !a.empty() && a.find_first_not_of("0123456789") == std::string::npos;
    const bool bDigitsB = !b.empty() && b.find_first_not_of("0123456789") == std::string::npos;
    if (bDigitsA && bDigitsB && a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

std::string StandOf(const SScenarioTreatment& record) { return std::string(record.szStand, WoxTextLength(record.szStand)); }

const char* KindText(SRecordChange::EKind kind) { return kind == SRecordChange::Added ? "added" : kind == SRecordChange::Removed ? "removed" : "changed"; }
}

SScenarioDiff DiffScenarios(const CScenarioDocument& a, const CScenarioDocument& b, const FnParameterText& fnParameters)
{
    SScenarioDiff diff;
    const SScenarioInfo &infoA = a.header.info, &infoB = b.header.info;
    auto addInfo = [&](const char* pszField, std::string before, std::string after) {
        if (before != after)
            diff.info.push_back({pszField, std::move(before), std::move(after)});
    };
    addInfo("name", Shown(infoA.szName), Shown(infoB.szName));
    addInfo("description", Shown(infoA.szDescription), Shown(infoB.szDescription));
    addInfo("end year", std::to_string(infoA.nEndYear), std::to_string(infoB.nEndYear));

    // B's records by identity, each list in file order; matched ones are taken out.
    std::unordered_map<std::string, std::vector<size_t>> inB;
    inB.reserve(b.records.size());
    for (size_t j = 0; j < b.records.size(); ++j)
        inB[Identity(b.records[j])].push_back(j);
    std::vector<bool> matchedB(b.records.size(), false);
    std::vector<size_t> unmatchedA;
    std::vector<std::vector<size_t>*> candidatesOfA;
    // Equal records first, so that reordering duplicates never pairs one with a changed twin.
    for (size_t i = 0; i < a.records.size(); ++i)
    {
        auto it = inB.find(Identity(a.records[i]));
        std::vector<size_t>* pCandidates = it == inB.end() ? nullptr : &it->second;
        auto equal = pCandidates ? std::find_if(pCandidates->begin(), pCandidates->end(), [&](size_t j) { return SameRecord(a, i, b, j); })
                                 : std::vector<size_t>::iterator();
        if (pCandidates && equal != pCandidates->end())
        {
            matchedB[*equal] = true;
            pCandidates->erase(equal);
            continue;
        }
        unmatchedA.push_back(i);
        candidatesOfA.push_back(pCandidates);
    }
    for (size_t n = 0; n < unmatchedA.size(); ++n)
    {
        const size_t i = unmatchedA[n];
        std::vector<size_t>* pCandidates = candidatesOfA[n];
        if (!pCandidates || pCandidates->empty())
        {
            diff.records.push_back({SRecordChange::Removed, i + 1, 0, &a.records[i], {}});
            continue;
        }
        const size_t j = pCandidates->front();
        pCandidates->erase(pCandidates->begin());
        matchedB[j] = true;
        diff.records.push_back({SRecordChange::Changed, i + 1, j + 1, &b.records[j], ChangedFields(a, i, b, j, fnParameters)});
    }
    for (size_t j = 0; j < b.records.size(); ++j)
        if (!matchedB[j])
            diff.records.push_back({SRecordChange::Added, 0, j + 1, &b.records[j], {}});

    std::stable_sort(diff.records.begin(), diff.records.end(), [](const SRecordChange& x, const SRecordChange& y) {
        const std::string standX = StandOf(*x.pRecord), standY = StandOf(*y.pRecord);
        if (standX != standY)
            return StandLess(standX, standY);
        if (x.pRecord->nYear != y.pRecord->nYear)
            return x.pRecord->nYear < y.pRecord->nYear;
        return (x.nRecordB ? x.nRecordB : x.nRecordA) < (y.nRecordB ? y.nRecordB : y.nRecordA);
    });
    return diff;
}

std::string DiffToText(const SScenarioDiff& diff, const std::string& pathA, const std::string& pathB)
{
    std::string text = "--- " + pathA + "\n+++ " + pathB + "\n";
    for (const SFieldChange& field : diff.info)
        text += "scenario " + field.field + ": " + field.before + " -> " + field.after + "\n";
    size_t nCounts[3] = {};
    std::string group;
    for (const SRecordChange& change : diff.records)
    {
        ++nCounts[change.kind];
        const SScenarioTreatment& record = *change.pRecord;
        const std::string heading = FormatText("stand %s, %d\n", Shown(record.szStand).c_str(), record.nYear);
        if (heading != group)
            text += group = heading;
        const char cMark = change.kind == SRecordChange::Added ? '+' : change.kind == SRecordChange::Removed ? '-' : '~';
        text += FormatText("  %c %s (%s", cMark, Shown(record.treatment.szName).c_str(), record.bTriggered ? "triggered" : "normal");
        if (record.bTriggered && record.nEndYear >= 100)
            text += FormatText(" to %d", record.nEndYear);
        text += ", " + GuidToText(record.treatment.guidComponent) + ")";
        text += change.kind == SRecordChange::Removed ? FormatText(", record %zu of A\n", change.nRecordA) : FormatText(", record %zu of B\n", change.nRecordB);
        for (const SFieldChange& field : change.fields)
            text += "      " + field.field + ": " + field.before + " -> " + field.after + "\n";
    }
    text += diff.Equal() ? "the scenarios are equal\n"
                         : FormatText("%zu added, %zu removed, %zu changed%s\n", nCounts[SRecordChange::Added], nCounts[SRecordChange::Removed],
                                  nCounts[SRecordChange::Changed], diff.info.empty() ? "" : ", scenario information changed");
    return text;
}

std::string DiffToJson(const SScenarioDiff& diff, const std::string& pathA, const std::string& pathB)
{
    using json = nlohmann::ordered_json;
    auto fieldsJson = [](const std::vector<SFieldChange>& fields) {
        json list = json::array();
        for (const SFieldChange& field : fields)
            list.push_back({{"field", field.field}, {"a", field.before}, {"b", field.after}});
        return list;
    };
    json records = json::array();
    size_t nCounts[3] = {};
    for (const SRecordChange& change : diff.records)
    {
        ++nCounts[change.kind];
        const SScenarioTreatment& record = *change.pRecord;
        json item = {{"change", KindText(change.kind)},
                     {"stand", Latin1ToUtf8(record.szStand, sizeof record.szStand)},
                     {"year", record.nYear},
                     {"endYear", record.nEndYear},
                     {"treatment", Latin1ToUtf8(record.treatment.szName, sizeof record.treatment.szName)},
                     {"component", GuidToText(record.treatment.guidComponent)},
                     {"recordA", change.nRecordA},
                     {"recordB", change.nRecordB}};
        if (change.kind == SRecordChange::Changed)
            item["fields"] = fieldsJson(change.fields);
        records.push_back(std::move(item));
    }
    json root = {{"a", pathA},
                 {"b", pathB},
                 {"equal", diff.Equal()},
                 {"scenario", fieldsJson(diff.info)},
                 {"records", std::move(records)},
                 {"added", nCounts[SRecordChange::Added]},
                 {"removed", nCounts[SRecordChange::Removed]},
                 {"changed", nCounts[SRecordChange::Changed]}};
    return root.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}
