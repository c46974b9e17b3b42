#include "ProjectCommand.h"

#include <cstdlib>
#include <filesystem>
#include <string>

#include "CsvImport.h"
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
}

int RunProjectCommand(CWoxHost& host, int argc, char** argv, std::FILE* pErr)
{
    if (argc < 5 || std::string(argv[1]) != "import")
    {
        std::fprintf(pErr, "usage: wox project import STANDS.csv TREES.csv PROJECT [--name NAME] [--first-year Y] [--period-length N]\n");
        return 2;
    }
    SImportOptions options;
    options.name = std::filesystem::path(argv[4]).filename().string();
    for (int i = 5; i < argc; i += 2)
    {
        std::string option = argv[i];
        if (i + 1 >= argc)
        {
            std::fprintf(pErr, "wox project: %s needs a value\n", option.c_str());
            return 2;
        }
        if (option == "--name")
            options.name = argv[i + 1];
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
    SProject project;
    std::vector<std::string> refusals;
    auto canonical = [&](const char* pszCode) { return host.SpeciesMap()->Canonical(pszCode); };
    if (!ParseProjectCsv(argv[2], argv[3], canonical, options, project, refusals))
    {
        for (const std::string& refusal : refusals)
            std::fprintf(pErr, "%s\n", refusal.c_str());
        std::fprintf(pErr, "wox project: nothing imported\n");
        return 1;
    }
    std::string error;
    if (!WriteProject(argv[4], project, &error))
    {
        std::fprintf(pErr, "wox project: %s\n", error.c_str());
        return 1;
    }
    size_t nTrees = 0;
    for (const auto& stand : project.stands)
        nTrees += stand.trees.size();
    std::printf("Project %s: %zu stands, %zu tree records\n", argv[4], project.stands.size(), nTrees);
    return 0;
}
