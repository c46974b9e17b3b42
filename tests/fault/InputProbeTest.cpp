// Inputs that are no files or no sane files, given to the wox program: a folder, a FIFO without a
// writer, /dev/zero, a sparse file of 256 MiB, a JSON list of many empty records, and a run that
// would need a display. Each command must end by itself, with exit 1 and one line, within a
// memory bound far below what reading such an input without care would take.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "ChildProcess.h"
#include "TestHost.h"

namespace
{
namespace fs = std::filesystem;

constexpr long kSparseBytes = 256L << 20;

class InputProbe : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_pRoot = new CTempFolder;
        fs::create_directory(File("folder"));
        ::mkfifo(File("fifo").c_str(), 0600);
        std::ofstream(File("sparse")).close();
        fs::resize_file(File("sparse"), kSparseBytes);
        std::ofstream json(File("empty-records.json"));
        json << R"({"format": "wox-scenario", "formatVersion": 1, "info": {"name": "", "description": "", "endYear": 2050}, "records": [)";
        for (int i = 0; i < 60000; ++i)
            json << (i ? ",{}" : "{}");
        json << "]}";
        json.close();
        RunChild({WOX_PROGRAM, "--registry", WOX_BIN_REGISTRY, "demo-project", File("demo")});
    }
    static void TearDownTestSuite()
    {
        delete s_pRoot;
        s_pRoot = nullptr;
    }
    static std::string File(const std::string& name) { return s_pRoot->File(name); }

    static CTempFolder* s_pRoot;
};
CTempFolder* InputProbe::s_pRoot = nullptr;

struct SProbe
{
    const char* pszName;
    std::vector<std::string> args;  // "@name" is a file of the fixture folder
    std::vector<std::string> env;
    const char* pszLine;            // what the last line on stderr says
    bool bOneLine = true;           // false: refusals come first, one per line
    long nMaxKiB = 160 << 10;
};

void PrintTo(const SProbe& probe, std::ostream* pStream) { *pStream << probe.pszName; }

class InputProbeTest : public InputProbe, public testing::WithParamInterface<SProbe>
{
};

TEST_P(InputProbeTest, EndsWithOneLineAndExitOne)
{
    std::vector<std::string> argv = {WOX_PROGRAM};
    for (const std::string& arg : GetParam().args)
        argv.push_back(arg[0] == '@' ? File(arg.substr(1)) : arg);
    SChildResult run = RunChild(argv, GetParam().env, 20000);
    ASSERT_FALSE(run.bTimedOut);
    EXPECT_EQ(run.nExitCode, 1) << run.err;
    ASSERT_FALSE(run.err.empty());
    const size_t nLastLine = run.err.find_last_of('\n', run.err.size() - 2) + 1;
    EXPECT_EQ(run.err.back(), '\n');
    EXPECT_TRUE(!GetParam().bOneLine || nLastLine == 0) << run.err;
    EXPECT_NE(run.err.find(GetParam().pszLine, nLastLine), std::string::npos) << run.err;
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    // Sanitizer allocators keep freed blocks in quarantine and add shadow memory, so the bound
    // holds only for the program as it ships.
    EXPECT_LT(run.nPeakKiB, GetParam().nMaxKiB);
#endif
}

const std::string kRegistry = WOX_BIN_REGISTRY;

INSTANTIATE_TEST_SUITE_P(
    Inputs, InputProbeTest,
    testing::Values(
        SProbe{"ShowFolder", {"scenario", "show", "@folder"}, {}, "is a folder, not a file"},
        SProbe{"ShowFifo", {"scenario", "show", "@fifo"}, {}, "is a pipe, not a file"},
        SProbe{"ExportDevZero", {"scenario", "export", "/dev/zero"}, {}, "is a device, not a file"},
        // Read once (256 MiB), not three times over.
        SProbe{"ShowSparseFile", {"scenario", "show", "@sparse"}, {}, "not a scenario file", true, (256 + 192) << 10},
        SProbe{"ImportFolder", {"scenario", "import", "@folder", "@out.scenario"}, {}, "is a folder, not a file"},
        SProbe{"ImportFifo", {"scenario", "import", "@fifo", "@out.scenario"}, {}, "is a pipe, not a file"},
        // 60,000 empty records: refused at the first, before 8888 bytes each are taken.
        SProbe{"ImportEmptyRecords", {"scenario", "import", "@empty-records.json", "@out.scenario"}, {}, "records[0].year: missing"},
        SProbe{"RegistryFifo", {"--registry", "@fifo", "info"}, {}, "is a pipe, not a file"},
        SProbe{"RegistryDevZero", {"--registry", "/dev/zero", "info"}, {}, "is a device, not a file"},
        SProbe{"ProjectStandsFifo", {"--registry", kRegistry, "project", "import", "@fifo", "@fifo", "@p"}, {}, "nothing imported", false},
        // No scenario name and no display: the scenarios are listed on stdout instead of a dialog
        // that no one could answer.
        SProbe{"RunWithoutDisplay", {"--registry", kRegistry, "run", "@demo"}, {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM=offscreen"},
               "name one with --scenario (3 scenario(s)"}),
    [](const testing::TestParamInfo<SProbe>& info) { return std::string(info.param.pszName); });
}
