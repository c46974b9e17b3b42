// wox: the stand-in host program of the Wox Suite scenario component.

#include <cstdio>
#include <cstring>
#include <string>

#include "HostContext.h"
#include "InfoCommand.h"
#include "DemoProjectCommand.h"
#include "ProjectCommand.h"
#include "RunCommand.h"
#include "ScenarioCommand.h"

namespace
{
void PrintHelp()
{
    std::printf(
        "Usage: wox [--registry FILE] COMMAND [ARGUMENTS]\n"
        "\n"
        "Commands:\n"
        "  info                       load the scenario component and print its identity\n"
        "  scenario show FILE         print a scenario file as text\n"
        "  scenario export FILE       write a scenario file as JSON to standard output\n"
        "  scenario import JSON OUT   write a scenario file from JSON\n"
        "  project import STANDS.csv TREES.csv PROJECT [--name NAME] [--first-year Y] [--period-length N]\n"
        "                             create a project from two CSV files\n"
        "  demo-project DIR           write the demo forest and its three scenarios\n"
        "  run PROJECT [--scenario NAME] [--periods N] [--out DIR]\n"
        "                             simulate the project with a scenario; results in DIR\n"
        "                             (default PROJECT/results)\n"
        "  --help                     this text\n"
        "\n"
        "The host registry is FILE, else $WOX_REGISTRY, else wox.ini beside the program.\n");
}
}

int main(int argc, char** argv)
{
    const char* pszRegistry = nullptr;
    int nArg = 1;
    while (nArg < argc && argv[nArg][0] == '-')
    {
        if (std::strcmp(argv[nArg], "--help") == 0 || std::strcmp(argv[nArg], "-h") == 0)
        {
            PrintHelp();
            return 0;
        }
        if (std::strcmp(argv[nArg], "--registry") == 0 && nArg + 1 < argc)
        {
            pszRegistry = argv[nArg + 1];
            nArg += 2;
            continue;
        }
        std::fprintf(stderr, "wox: unknown option %s (see wox --help)\n", argv[nArg]);
        return 2;
    }
    if (nArg >= argc)
    {
        PrintHelp();
        return 2;
    }
    const char* pszCommand = argv[nArg];
    bool bKnown = std::strcmp(pszCommand, "info") == 0;
    bKnown = bKnown || std::strcmp(pszCommand, "scenario") == 0;
    bKnown = bKnown || std::strcmp(pszCommand, "project") == 0 || std::strcmp(pszCommand, "demo-project") == 0 ||
             std::strcmp(pszCommand, "run") == 0;
    if (!bKnown)
    {
        std::fprintf(stderr, "wox: unknown command %s (see wox --help)\n", pszCommand);
        return 2;
    }

    CHostContext host;
    std::string error;
    if (!host.Load(CWoxHost::FindRegistry(pszRegistry), &error))
    {
        std::fprintf(stderr, "wox: %s\n", error.c_str());
        return 1;
    }
    if (std::strcmp(pszCommand, "scenario") == 0)
        return RunScenarioCommand(host, argc - nArg, argv + nArg);
    if (std::strcmp(pszCommand, "project") == 0)
        return RunProjectCommand(host, argc - nArg, argv + nArg);
    if (std::strcmp(pszCommand, "demo-project") == 0)
        return RunDemoProjectCommand(host, argc - nArg, argv + nArg);
    if (std::strcmp(pszCommand, "run") == 0)
        return RunRunCommand(host, argc - nArg, argv + nArg);
    return RunInfoCommand(host);
}
