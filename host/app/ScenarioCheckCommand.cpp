#include "ScenarioCheckCommand.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <unordered_map>

#include "Files.h"
#include "HostContext.h"
#include "InputFile.h"
#include "ProjectDatabase.h"
#include "ScenarioList.h"
#include "StandVariables.h"
#include "Treatments.h"
#include "WoxText.h"

namespace
{
constexpr size_t kMaxScenarioBytes = size_t{512} << 20;   // as the other scenario commands

struct SVariableRange
{
    ENStandVariable nVariable;
    double dMin, dMax;
};
// Values a stand can reach at all, generous on purpose: beyond them a threshold is a slip (a
// negative basal area, a height in centimetres), not a plan.
constexpr SVariableRange kRanges[] = {
    {STAND_BASAL_AREA, 0.0, 150.0},     {STAND_STEMS, 0.0, 100000.0},      {STAND_QMD, 0.0, 300.0},
    {STAND_MEAN_HEIGHT, 0.0, 120.0},    {STAND_TOP_HEIGHT, 0.0, 120.0},    {STAND_VOLUME, 0.0, 5000.0},
    {STAND_DENSITY_INDEX, 0.0, 5000.0}, {STAND_MERCHANTABLE_VOLUME, 0.0, 5000.0},
};

bool SameGuid(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Reads a scenario file without touching it (a 3.0 file is converted in memory only).
bool LoadScenario(CHostContext& host, const std::string& path, CScenarioDocument& document, std::string& error)
{
    CByteVector bytes;
    if (!WoxReadFile(path, kMaxScenarioBytes, bytes, &error))
        return false;
    if (ReadScenarioBytes(host.Heap(), std::move(bytes), document, &error))
        return true;
    error = path + ": " + error;
    return false;
}

bool WriteOut(std::FILE* pOut, const std::string& text) { return std::fwrite(text.data(), 1, text.size(), pOut) == text.size() && std::fflush(pOut) == 0; }

// The scenario files to check: FILE itself, the files of the project named NAME, or all of them.
bool ChooseFiles(CHostContext& host, const std::string& project, const std::string& which, std::vector<std::string>& files, std::string& error)
{
    const std::string folder = (std::filesystem::path(project) / WOX_PROJECT_SCENARIOS).string();
    if (which.empty())
    {
        for (const std::string& name : WoxFindFiles(folder.c_str(), "*.scenario"))
            files.push_back(folder + "/" + name);
        std::sort(files.begin(), files.end());
        return true;
    }
    std::error_code ec;
    if (std::filesystem::exists(which, ec) || which.find('/') != std::string::npos || which.ends_with(".scenario"))
    {
        files.push_back(which);
        return true;
    }
    const std::vector<SScenarioListEntry> all = ListScenarioFiles(host.Heap(), folder);
    for (const SScenarioListEntry& entry : ScenariosNamed(all, which))
        files.push_back(entry.path);
    if (files.empty())
        error = "no scenario named \"" + which + "\" in " + folder + " (" + std::to_string(all.size()) + " scenario(s) listed)";
    return !files.empty();
}
}

bool StandVariableRange(const std::string& variable, double& dMin, double& dMax)
{
    for (const SStandVariableInfo& info : StandVariables())
    {
        if (variable != info.pszName)
            continue;
        for (const SVariableRange& range : kRanges)
            if (range.nVariable == info.nVariable)
            {
                dMin = range.dMin;
                dMax = range.dMax;
                return true;
            }
    }
    return false;
}

std::string TreatmentParameterText(const GUID& guid, const CByteVector& block)
{
    char szText[256] = {};
    double d[7] = {};
    std::memcpy(d, block.data(), std::min(block.size(), sizeof d));
    if (SameGuid(guid, g_guidThinBelow) && block.size() == sizeof(SThinBelowParameters))
        std::snprintf(szText, sizeof szText, "residual basal area %.2f m2/ha", d[0]);
    else if (SameGuid(guid, g_guidThinAbove) && block.size() == sizeof(SThinAboveParameters))
        std::snprintf(szText, sizeof szText, "removed share %.2f", d[0]);
    else if (SameGuid(guid, g_guidClearcut) && block.size() == sizeof(SClearcutParameters))
        std::snprintf(szText, sizeof szText, "from DBH %.2f cm", d[0]);
    else if (SameGuid(guid, g_guidPlanting) && (block.size() == sizeof(SPlantingParameters) || block.size() == kPlantingParametersFirstSize))
    {
        SPlantingParameters planting = {};
        std::memcpy(&planting, block.data(), block.size());
        char szSpecies[sizeof planting.szSpecies + 1];
        WoxFieldToString(szSpecies, sizeof szSpecies, planting.szSpecies, sizeof planting.szSpecies);
        int n = std::snprintf(szText, sizeof szText, "%s, %.0f stems/ha, DBH %.2f cm, height %.2f m", szSpecies, planting.dStemsPerHa, planting.dDbh,
                              planting.dHeight);
        if (block.size() == sizeof(SPlantingParameters))
            std::snprintf(szText + n, sizeof szText - static_cast<size_t>(n), ", seedling age %g, survival %.2f", planting.dSeedlingAge,
                          planting.dSurvival);
    }
    if (szText[0])
        return szText;
    std::string hex = block.empty() ? "(none)" : "";
    for (uint8_t byte : block)
    {
        std::snprintf(szText, sizeof szText, "%02X", byte);
        hex += szText;
    }
    return hex;
}

bool MakeCheckContext(CHostContext& host, const std::string& project, SScenarioCheckContext& context, std::string& error)
{
    SProject data;
    if (!ReadProject(project, data, &error))
        return false;
    for (const SProjectStand& stand : data.stands)
        context.stands.insert(stand.id);
    const std::string extraSpecies = (std::filesystem::path(project) / WOX_PROJECT_SPECIES).string();
    std::error_code ec;
    if (std::filesystem::exists(extraSpecies, ec) && !host.SpeciesMap()->Extend(extraSpecies.c_str(), &error))
        return false;
    auto pKnown = std::make_shared<std::unordered_map<std::string, bool>>();
    context.fnKnownSpecies = [&host, pKnown](const std::string& code) {
        auto [it, bNew] = pKnown->try_emplace(code, false);
        if (bNew)
            it->second = !host.SpeciesMap()->Canonical(code.c_str()).empty();
        return it->second;
    };
    host.LoadComponents();
    for (int i = 0; i < host.CompMgr()->GetComponentCount(); ++i)
        if (auto* pComponent = static_cast<IComponent*>(host.CompMgr()->GetComponentAt(i)); pComponent && pComponent->GetType() == WOX_DESIGNATOR_TREATMENT)
            context.components.push_back(pComponent->GetGUID());
    if (context.components.empty())
    {
        error = "the host has no treatment components (see [General] Component Directory of " + host.Registry()->Path() + ")";
        return false;
    }
    context.fnPlausibleRange = StandVariableRange;
    context.fnCheckParameters = [&host](const GUID& guid, const CByteVector& block, std::string& why) {
        return CheckTreatmentBlock(guid, block.data(), static_cast<uint32_t>(block.size()), host.SpeciesMap(), why);
    };
    return true;
}

int RunScenarioCheck(CHostContext& host, int argc, char** argv, std::FILE* pOut, std::FILE* pErr)
{
    std::vector<std::string> positionals;
    bool bJson = false;
    for (int i = 1; i < argc; ++i)
        std::strcmp(argv[i], "--json") == 0 ? void(bJson = true) : positionals.push_back(argv[i]);
    if (positionals.empty() || positionals.size() > 2)
    {
        std::fputs("usage: wox scenario check PROJECT [NAME|FILE] [--json]\n", pErr);
        return 2;
    }
    std::string error;
    std::vector<std::string> files;
    SScenarioCheckContext context;
    if (!MakeCheckContext(host, positionals[0], context, error) || !ChooseFiles(host, positionals[0], positionals.size() > 1 ? positionals[1] : "", files, error))
    {
        std::fprintf(pErr, "wox scenario check: %s\n", error.c_str());
        return 2;
    }
    // Every file is checked; one that cannot be read is named and makes the status 2.
    std::vector<std::unique_ptr<CScenarioDocument>> documents;
    std::vector<SCheckedScenario> checked;
    bool bUnreadable = false;
    size_t nErrors = 0, nWarnings = 0;
    std::string text;
    for (const std::string& path : files)
    {
        auto pDocument = std::make_unique<CScenarioDocument>();
        if (!LoadScenario(host, path, *pDocument, error))
        {
            std::fprintf(pErr, "wox scenario check: %s\n", error.c_str());
            bUnreadable = true;
            continue;
        }
        SCheckedScenario scenario{path, pDocument.get(), CheckScenario(*pDocument, context)};
        for (const SScenarioFinding& finding : scenario.findings)
            (finding.bError ? nErrors : nWarnings) += 1;
        if (!bJson)
            text += FindingsToText(path, *pDocument, scenario.findings);
        checked.push_back(std::move(scenario));
        documents.push_back(std::move(pDocument));
    }
    if (bJson)
        text = FindingsToJson(checked);
    else
        text += std::to_string(checked.size()) + " scenario(s) checked: " + std::to_string(nErrors) + " error(s), " + std::to_string(nWarnings) + " warning(s)\n";
    if (!WriteOut(pOut, text))
    {
        std::fprintf(pErr, "wox scenario check: cannot write the output\n");
        return 2;
    }
    return bUnreadable ? 2 : nErrors + nWarnings > 0 ? 1 : 0;
}

int RunScenarioDiff(CHostContext& host, int argc, char** argv, std::FILE* pOut, std::FILE* pErr)
{
    std::vector<std::string> positionals;
    bool bJson = false;
    for (int i = 1; i < argc; ++i)
        std::strcmp(argv[i], "--json") == 0 ? void(bJson = true) : positionals.push_back(argv[i]);
    if (positionals.size() != 2)
    {
        std::fputs("usage: wox scenario diff A B [--json]\n", pErr);
        return 2;
    }
    CScenarioDocument a, b;
    std::string error;
    if (!LoadScenario(host, positionals[0], a, error) || !LoadScenario(host, positionals[1], b, error))
    {
        std::fprintf(pErr, "wox scenario diff: %s\n", error.c_str());
        return 2;
    }
    const SScenarioDiff diff = DiffScenarios(a, b, TreatmentParameterText);
    const std::string text = bJson ? DiffToJson(diff, positionals[0], positionals[1]) : DiffToText(diff, positionals[0], positionals[1]);
    if (!WriteOut(pOut, text))
    {
        std::fprintf(pErr, "wox scenario diff: cannot write the output\n");
        return 2;
    }
    return diff.Equal() ? 0 : 1;
}
