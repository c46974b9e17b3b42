// Writers killed, or failing as on a full disk, at every write step of the platform's file layer
// (WOX_FILE_FAULT), each time in a child process: afterwards the scenario, the JSON, the project
// and the results are the old ones or the new ones, whole, and nothing else is visible beside
// them. And two conversions in two projects at the same time keep their own files.

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>

#include "ChildProcess.h"
#include "ProjectDatabase.h"
#include "ScenarioSeeds.h"
#include "TestHost.h"

namespace
{
namespace fs = std::filesystem;

std::string Read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Write(const std::string& path, const CBytes& bytes) { std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size()); }

CBytes Scenario30(const std::string& name) { return FileBytes({name, "old", 2050}, SampleRecords(), {BlockBytes(24, 1), BlockBytes(8, 2)}, 3.0); }

std::string ScenarioJson(const std::string& name)
{
    return R"({"format": "wox-scenario", "formatVersion": 1, "info": {"name": ")" + name + R"(", "description": "", "endYear": 2050},
      "records": [{"year": 2030, "stand": "A", "triggered": 0, "endYear": -1, "flags": 0, "triggerPartDefaults": true,
        "triggerCount": 0, "triggers": [], "treatment": {"component": "{6A1D2F01-5C3B-4E7A-9B10-3C2F00000001}", "name": "Thin",
        "description": "", "data": "0000000000003440"}}]})";
}

// What a reader sees of a folder: its visible names and the bytes of each regular file in it
// (hidden leftovers of a killed writer do not count; they are never read).
std::string Visible(const std::string& folder)
{
    std::map<std::string, std::string> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
    {
        std::string name = entry.path().filename().string();
        if (name[0] != '.')
            files[name] = entry.is_regular_file() ? Read(entry.path().string()) : std::string("(folder)");
    }
    std::string text;
    for (const auto& [name, bytes] : files)
        text += name + "=" + std::to_string(std::hash<std::string>()(bytes)) + ";";
    return text;
}

// One writing operation: its old state, the command that writes the new one, and what a reader
// sees afterwards.
struct SWriter
{
    const char* pszName;
    int nSteps;  // write steps of a whole run: a fault at a later step never fires
    std::function<void(const std::string& root)> prepare;
    std::function<std::vector<std::string>(const std::string& root)> command;
    std::function<std::string(const std::string& root)> state;
};

std::vector<std::string> Wox(std::vector<std::string> args)
{
    args.insert(args.begin(), {WOX_PROGRAM, "--registry", WOX_BIN_REGISTRY});
    return args;
}

const SWriter kWriters[] = {
    {"Conversion", 5, [](const std::string& root) { Write(root + "/plan.scenario", Scenario30("Plan")); },
     [](const std::string& root) { return std::vector<std::string>{WOX_FAULT_CHILD, "convert", WOX_BIN_REGISTRY, root + "/plan.scenario"}; },
     [](const std::string& root) { return Visible(root); }},
    {"ScenarioImport", 5,
     [](const std::string& root) {
         std::ofstream(root + "/new.json") << ScenarioJson("New");
         std::ofstream(root + "/old.json") << ScenarioJson("Old");
         ASSERT_TRUE(ExitedWith(RunChild(Wox({"scenario", "import", root + "/old.json", root + "/out/plan.scenario"})), 0));
     },
     [](const std::string& root) { return Wox({"scenario", "import", root + "/new.json", root + "/out/plan.scenario"}); },
     [](const std::string& root) { return Visible(root + "/out"); }},
    {"ScenarioExport", 5,
     [](const std::string& root) {
         Write(root + "/plan.scenario", FileBytes({"Plan", "", 2050}, SampleRecords(), {BlockBytes(24, 1), BlockBytes(8, 2)}));
         std::ofstream(root + "/out/plan.json") << "{\"an older export\": true}\n";
     },
     [](const std::string& root) { return Wox({"scenario", "export", root + "/plan.scenario", root + "/out/plan.json"}); },
     [](const std::string& root) { return Visible(root + "/out"); }},
    {"ProjectImport", 5,
     [](const std::string& root) {
         std::ofstream(root + "/stands.csv") << "stand_id,area_ha,site_index\nA,2,30\nB,3,28\n";
         std::ofstream(root + "/trees.csv") << "stand_id,tree_id,species,dbh_cm,height_m,tpha\nA,1,PSME,20,18,100\nB,1,TSHE,25,20,80\n";
     },
     [](const std::string& root) { return Wox({"project", "import", root + "/stands.csv", root + "/trees.csv", root + "/out/forest"}); },
     [](const std::string& root) {
         // A project that is there must read whole; one that is not must not block a new import.
         SProject project;
         std::string error;
         if (!fs::exists(root + "/out/forest/project.db"))
             return std::string("none");
         return ReadProject(root + "/out/forest", project, &error) ? std::to_string(project.stands.size()) + " stands" : error;
     }},
    {"Results", 29,
     [](const std::string& root) { ASSERT_TRUE(ExitedWith(RunChild({WOX_FAULT_CHILD, "results", root + "/out", "old"}), 0)); },
     [](const std::string& root) { return std::vector<std::string>{WOX_FAULT_CHILD, "results", root + "/out", "new"}; },
     [](const std::string& root) { return Visible(root + "/out"); }},
};

struct SFaultCase
{
    const SWriter* pWriter;
    bool bKill;
};

class FaultTest : public testing::TestWithParam<SFaultCase>
{
protected:
    // A fresh root with the old state; answers what a reader sees of it.
    std::string Prepare()
    {
        fs::remove_all(m_root.Path() + "/run");
        fs::create_directories(m_root.Path() + "/run/out");
        GetParam().pWriter->prepare(Root());
        return GetParam().pWriter->state(Root());
    }
    std::string Root() const { return m_root.Path() + "/run"; }

    CTempFolder m_root;
};

TEST_P(FaultTest, LeavesTheOldOrTheNewStateWhole)
{
    const SWriter& writer = *GetParam().pWriter;
    const std::string old = Prepare();
    ASSERT_TRUE(ExitedWith(RunChild(writer.command(Root())), 0));
    const std::string fresh = writer.state(Root());
    ASSERT_NE(old, fresh);

    // One step past the last one the fault never fires: the run must then end normally. Long
    // writers are sampled: their first and last steps, and every sixth between.
    for (int nStep = 1; nStep <= writer.nSteps + 1; ++nStep)
    {
        if (nStep > 2 && nStep < writer.nSteps - 2 && nStep % 6 != 0)
            continue;
        Prepare();
        const std::string fault = std::string(GetParam().bKill ? "kill:" : "fail:") + std::to_string(nStep);
        SChildResult run = RunChild(writer.command(Root()), {"WOX_FILE_FAULT=" + fault});
        ASSERT_FALSE(run.bTimedOut) << fault;
        const std::string now = writer.state(Root());
        EXPECT_TRUE(now == old || now == fresh) << fault << ": " << now << "\nold:   " << old << "\nnew:   " << fresh;
        if (nStep > writer.nSteps)
        {
            EXPECT_EQ(run.nExitCode, 0) << fault << " " << run.err;
            EXPECT_EQ(now, fresh) << fault;
        }
        else if (GetParam().bKill)
        {
            EXPECT_EQ(run.nSignal, SIGKILL) << fault << ": the run has fewer write steps than expected";
        }
        // After a failed project import the same import must go through.
        if (now == "none")
        {
            EXPECT_TRUE(ExitedWith(RunChild(writer.command(Root())), 0)) << fault;
        }
    }
}

std::vector<SFaultCase> AllCases()
{
    std::vector<SFaultCase> cases;
    for (const SWriter& writer : kWriters)
        for (bool bKill : {false, true})
            cases.push_back({&writer, bKill});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Writers, FaultTest, testing::ValuesIn(AllCases()), [](const testing::TestParamInfo<SFaultCase>& info) {
    return std::string(info.param.pWriter->pszName) + (info.param.bKill ? "Killed" : "Failing");
});

// Two runs converting 3.0 files in two projects at the same time: each file keeps its own scenario.
TEST(ConcurrentConversionTest, EachProjectKeepsItsOwnScenario)
{
    CTempFolder root;
    const std::string first = root.File("first.scenario"), second = root.File("second.scenario");
    for (int nRound = 0; nRound < 20; ++nRound)
    {
        Write(first, Scenario30("First"));
        Write(second, Scenario30("Second"));
        CChildProcess a, b;
        ASSERT_TRUE(a.Start({WOX_FAULT_CHILD, "convert", WOX_BIN_REGISTRY, first}));
        ASSERT_TRUE(b.Start({WOX_FAULT_CHILD, "convert", WOX_BIN_REGISTRY, second}));
        SChildResult resultA = a.Wait(20000), resultB = b.Wait(20000);
        ASSERT_EQ(resultA.out, "First\n") << nRound;
        ASSERT_EQ(resultB.out, "Second\n") << nRound;
        // On disk too: each file is now the 3.1 file of its own scenario.
        for (const auto& [path, name] : {std::pair(first, "First"), std::pair(second, "Second")})
        {
            CBytes bytes = HeaderBytes({name, "old", 2050}, 4);
            std::string file = Read(path);
            ASSERT_GE(file.size(), bytes.size()) << nRound;
            EXPECT_EQ(file.substr(0, ScenarioLayout::kHeader), std::string(bytes.begin(), bytes.begin() + ScenarioLayout::kHeader)) << nRound;
        }
    }
}
}
