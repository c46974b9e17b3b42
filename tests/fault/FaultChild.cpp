// The writing operations that the fault tests kill or fail at every write step, each run alone:
//   wox_fault_child convert REGISTRY FILE   opens a scenario file through the host (a 3.0 file is
//                                           converted) and prints the scenario's name
//   wox_fault_child results FOLDER TAG      writes a small results set tagged TAG into FOLDER
// Exit 0 when the operation succeeded, 1 when it failed.

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <string>

#include "Results.h"
#include "ScenarioFile.h"
#include "WoxHost.h"
#include "WoxText.h"

namespace
{
int Convert(const char* pszRegistry, const char* pszPath)
{
    CWoxHost host;
    std::string error;
    if (!host.Load(pszRegistry, &error))
    {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    CScenarioFile file(host.Heap());
    if (!file.Initialize(host.LibMgr(), host.Registry(), host.ErrorReporter()) || !file.Open(pszPath))
        return 1;
    char szName[sizeof file.Header().info.szName + 1];
    WoxFieldToString(szName, sizeof szName, file.Header().info.szName, sizeof file.Header().info.szName);
    std::printf("%s\n", szName);
    return 0;
}

int Results(const char* pszFolder, const char* pszTag)
{
    int argc = 1;
    char szName[] = "wox_fault_child";
    char* argv[] = {szName, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    SRunResults results;
    results.project = pszTag;
    results.scenario = pszTag;
    for (int nYear = 2025; nYear <= 2040; nYear += 5)
        for (const char* pszStand : {"A", "B"})
            results.standYears.push_back({nYear, pszStand, 20.0 + nYear % 7, 18.0 + nYear % 5, 400.0, 25.0, 22.0, 210.0, 0.0, 0.0});
    results.treatments.push_back({2030, "A", pszTag, "Thinning from below", 50.0, 20.0});
    std::string error;
    if (!WriteResults(pszFolder, results, &error))
    {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}
}

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "convert") == 0)
        return Convert(argv[2], argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "results") == 0)
        return Results(argv[2], argv[3]);
    std::fprintf(stderr, "usage: wox_fault_child convert REGISTRY FILE | results FOLDER TAG\n");
    return 2;
}
