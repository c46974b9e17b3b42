#include "DemoProjectCommand.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "DemoForest.h"
#include "Files.h"
#include "HostContext.h"
#include "ScenarioCommand.h"
#include "StandFuncEnum.h"

namespace
{
// The demo scenarios: JSON file in examples/ and scenario file name.
const char* const kScenarios[][2] = {
    {"fixed-thinning.json", "fixed-thinning.scenario"},
    {"triggered-thinning.json", "triggered-thinning.scenario"},
    {"clearcut-planting.json", "clearcut-planting.scenario"},
};
// Stands in for the function library's path in the JSON files.
constexpr const char* kLibraryPlaceholder = "@STAND_VARIABLES_LIBRARY@";
}

std::string DemoExamplesFolder() { return WOX_EXAMPLES_DIR; }

int RunDemoProjectCommand(CHostContext& host, int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: wox demo-project DIR\n");
        return 2;
    }
    const std::string folder = argv[1];
    std::string error;
    if (!WriteProject(folder, MakeDemoForest(SDemoForestOptions{}), &error))
    {
        std::fprintf(stderr, "wox demo-project: %s\n", error.c_str());
        return 1;
    }
    const std::string library = host.Registry()->Get("General", "Function Directory") + "/" WOX_STAND_VARIABLES_LIBRARY;
    const std::string temp = WoxMakeTempFolder("wox-demo");
    for (const auto& scenario : kScenarios)
    {
        std::ifstream in(DemoExamplesFolder() + "/" + scenario[0], std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        if (!in)
        {
            std::fprintf(stderr, "wox demo-project: cannot read %s/%s\n", DemoExamplesFolder().c_str(), scenario[0]);
            return 1;
        }
        std::string json = text.str();
        for (size_t nAt = json.find(kLibraryPlaceholder); nAt != std::string::npos; nAt = json.find(kLibraryPlaceholder, nAt))
            json.replace(nAt, std::strlen(kLibraryPlaceholder), library);
        const std::string jsonPath = temp + "/" + scenario[0];
        std::ofstream(jsonPath, std::ios::binary) << json;
        std::string out = folder + "/scenarios/" + scenario[1];
        char szScenario[] = "scenario", szImport[] = "import";
        char* args[] = {szScenario, szImport, const_cast<char*>(jsonPath.c_str()), out.data(), nullptr};
        int nResult = RunScenarioCommand(host, 4, args);
        WoxDeleteFile(jsonPath.c_str());
        if (nResult != 0)
        {
            std::fprintf(stderr, "wox demo-project: cannot import %s\n", scenario[0]);
            return 1;
        }
    }
    std::error_code ec;
    std::filesystem::remove(temp, ec);
    std::printf("Demo project %s: 50 stands, scenarios Fixed Thinning, Triggered Thinning, Clearcut and Planting\n", folder.c_str());
    return 0;
}
