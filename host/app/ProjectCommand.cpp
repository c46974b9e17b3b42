#include "ProjectCommand.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>

#include "CsvImport.h"
#include "Files.h"
#include "ForestLimits.h"
#include "WoxHost.h"

namespace
{
bool ParseInt(const char* pszText, int nMin, int nMax, int& nValue)
{
    char* pEnd = nullptr;
    long n = std::strtol(pszText, &pEnd, 10);
    if (!pEnd || *pEnd || n < nMin || n > nMax)
        return false;
    nValue = static_cast<int>(n);
    return true;
}

// NAME.rejects.csv beside NAME.csv.
std::string RejectsPath(const std::string& input)
{
    std::filesystem::path path(input);
    return (path.parent_path() / (path.stem().string() + ".rejects.csv")).string();
}
}

int RunProjectCommand(CWoxHost& host, int argc, char** argv, std::FILE* pErr)
{
    if (argc < 5 || std::string(argv[1]) != "import")
    {
        std::fprintf(pErr, "usage: wox project import STANDS.csv TREES.csv PROJECT [--name NAME] [--first-year Y] [--period-length N] "
                           "[--species-map FILE] [--skip-bad-rows]\n");
        return 2;
    }
    const std::string standsPath = argv[2], treesPath = argv[3], folder = argv[4];
    SImportOptions options;
    options.name = std::filesystem::path(folder).filename().string();
    std::string speciesMap;
    for (int i = 5; i < argc; i += 2)
    {
        std::string option = argv[i];
        if (option == "--skip-bad-rows")
        {
            options.bSkipBadRows = true;
            --i;
            continue;
        }
        if (i + 1 >= argc)
        {
            std::fprintf(pErr, "wox project: %s needs a value\n", option.c_str());
            return 2;
        }
        if (option == "--name")
            options.name = argv[i + 1];
        else if (option == "--species-map")
            speciesMap = argv[i + 1];
        else if (option == "--first-year" && ParseInt(argv[i + 1], kFirstCalendarYear, kLastCalendarYear, options.nFirstYear))
            continue;
        else if (option == "--period-length" && ParseInt(argv[i + 1], kMinPeriodLength, kMaxPeriodLength, options.nPeriodLength))
            continue;
        else
        {
            std::fprintf(pErr, "wox project: bad option %s %s\n", option.c_str(), argv[i + 1]);
            return 2;
        }
    }
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::path(folder) / WOX_PROJECT_DATABASE, ec))
    {
        std::fprintf(pErr, "wox project: %s already holds a project; nothing imported\n", folder.c_str());
        return 1;
    }
    std::string error;
    // Species the project folder's own catalogue file adds (see the README).
    const std::string extraSpecies = (std::filesystem::path(folder) / WOX_PROJECT_SPECIES).string();
    if (std::filesystem::exists(extraSpecies, ec) && !host.SpeciesMap()->Extend(extraSpecies.c_str(), &error))
    {
        std::fprintf(pErr, "wox project: %s\n", error.c_str());
        return 1;
    }
    auto canonical = [&](const char* pszCode) { return host.SpeciesMap()->Canonical(pszCode); };
    if (!speciesMap.empty() && !ReadSpeciesMap(speciesMap, canonical, options.speciesMap, &error))
    {
        std::fprintf(pErr, "wox project: %s\n", error.c_str());
        return 1;
    }
    // On a terminal, large files show how far the reading is.
    const bool bTerminal = WoxIsTerminal(pErr);
    bool bShown = false;
    std::string shownFile;
    if (bTerminal)
        options.progress = [&](const std::string& file, double dShare) {
            // One line per file, rewritten in place as the reading goes on.
            if (bShown && file != shownFile)
                std::fprintf(pErr, "\n");
            shownFile = file;
            std::fprintf(pErr, "\rreading %s %3d%%", std::filesystem::path(file).filename().c_str(), static_cast<int>(dShare * 100.0 + 0.5));
            std::fflush(pErr);
            bShown = true;
        };

    SProject project;
    SImportReport report;
    const bool bParsed = ParseProjectCsv(standsPath, treesPath, canonical, options, project, report);
    if (bShown)
        std::fprintf(pErr, "\n");
    for (const std::string& notice : report.notices)
        std::fprintf(pErr, "wox project: %s\n", notice.c_str());
    for (const std::string& refusal : report.refusals)
        std::fprintf(pErr, "%s\n", refusal.c_str());
    if (report.nRefused > report.refusals.size())
        std::fprintf(pErr, "... %zu more refusals\n", report.nRefused - report.refusals.size());
    if (report.nRefused)
        std::fprintf(pErr, "wox project: %s\n", report.Summary().c_str());
    if (!bParsed)
    {
        std::fprintf(pErr, "wox project: nothing imported%s\n", report.nRefused && !options.bSkipBadRows ? " (--skip-bad-rows imports the good rows)" : "");
        return 1;
    }
    if (options.bSkipBadRows)
    {
        for (auto [pInput, pColumns, pRows] : {std::tuple{&standsPath, &report.standColumns, &report.standRejects},
                                               std::tuple{&treesPath, &report.treeColumns, &report.treeRejects}})
        {
            if (pRows->empty())
                continue;
            const std::string rejects = RejectsPath(*pInput);
            if (!WriteRejects(rejects, *pColumns, *pRows, &error))
            {
                std::fprintf(pErr, "wox project: %s; nothing imported\n", error.c_str());
                return 1;
            }
            std::fprintf(pErr, "wox project: %zu refused rows written to %s\n", pRows->size(), rejects.c_str());
        }
    }
    if (!WriteProject(folder, project, &error))
    {
        std::fprintf(pErr, "wox project: %s\n", error.c_str());
        return 1;
    }
    size_t nTrees = 0;
    for (const auto& stand : project.stands)
        nTrees += stand.trees.size();
    std::printf("Project %s: %zu stands, %zu tree records\n", folder.c_str(), project.stands.size(), nTrees);
    return 0;
}
