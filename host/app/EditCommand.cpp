#include "EditCommand.h"

#include <QApplication>
#include <cstdio>
#include <filesystem>

#include "Display.h"
#include "Files.h"
#include "Forest.h"
#include "ProjectDatabase.h"
#include "ProjectPortData.h"
#include "ReplaySession.h"
#include "RunCommand.h"
#include "WoxHost.h"

namespace
{
constexpr int kPlannedPeriods = 10;   // the periods a run plans by default
}

bool WoxRunScenarioEditor(CWoxHost& host, const std::string& project, std::string* pError)
{
    SProject data;
    if (!ReadProject(project, data, pError))
        return false;
    std::string why;
    if (!CanonicalSpecies(data, [&](const char* pszCode) { return host.SpeciesMap()->Canonical(pszCode); }, &why))
    {
        *pError = (std::filesystem::path(project) / WOX_PROJECT_DATABASE).string() + ": " + why;
        return false;
    }
    const std::string scenarioFolder = WoxRealPath((std::filesystem::path(project) / WOX_PROJECT_SCENARIOS).string().c_str());
    if (scenarioFolder.empty())
    {
        *pError = "the project " + project + " has no scenarios folder";
        return false;
    }
    IScenarioComponent* pComponent = WoxLoadHostComponents(host, pError);
    if (!pComponent)
        return false;
    CForest forest(std::move(data));
    CProjectPortData portData(forest, host.CompMgr(), scenarioFolder, kPlannedPeriods);
    SComponentData componentData = {};
    componentData.pPortData = &portData;
    if (!pComponent->ShowComponentTool(&componentData))
    {
        *pError = "the Scenario Editor could not be started (see the messages above)";
        return false;
    }
    return true;
}

int RunEditCommand(CWoxHost& host, int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "wox edit: a project folder is needed\n");
        return 2;
    }
    const std::string project = argv[1];
    std::string replay;
    std::string screens;
    for (int i = 2; i + 1 < argc; i += 2)
    {
        const std::string option = argv[i];
        (option == "--replay" ? replay : screens) = argv[i + 1];
    }
    // The project must be readable before a window is made.
    std::string error;
    SProject data;
    if (!ReadProject(project, data, &error))
    {
        std::fprintf(stderr, "wox edit: %s\n", error.c_str());
        return 1;
    }
    CReplaySession session;
    if (!replay.empty() && !session.Load(replay, error))
    {
        std::fprintf(stderr, "wox edit: %s\n", error.c_str());
        return 1;
    }
    if (!WoxHasDisplay())
    {
        if (replay.empty())
        {
            std::fprintf(stderr, "wox edit: the Scenario Editor needs a display (none is set)\n");
            return 1;
        }
        qputenv("QT_QPA_PLATFORM", "offscreen");   // a replayed session needs no screen
    }
    int nQtArgc = 1;
    char szProgram[] = "wox";
    char* qtArgv[] = {szProgram, nullptr};
    QApplication application(nQtArgc, qtArgv);
    if (replay.empty())
    {
        if (!WoxRunScenarioEditor(host, project, &error))
        {
            std::fprintf(stderr, "wox edit: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    if (!screens.empty())
        session.SetScreens(screens);
    bool bOpened = false;
    const int nResult = session.Run([&]() { bOpened = WoxRunScenarioEditor(host, project, &error); });
    if (!bOpened)
    {
        std::fprintf(stderr, "wox edit: %s\n", error.c_str());
        return 1;
    }
    if (nResult != 0)
    {
        std::fprintf(stderr, "wox edit: %s: %s\n", replay.c_str(), session.Error().c_str());
        return 1;
    }
    return 0;
}
