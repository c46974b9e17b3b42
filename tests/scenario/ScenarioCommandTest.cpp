// "wox scenario show|export|import" against the host loaded from the test registry.

#include <gtest/gtest.h>

#include <cstdio>

#include "HostContext.h"
#include "ScenarioCommand.h"
#include "ScenarioSeeds.h"
#include "ScenarioTestSupport.h"

namespace
{
class ScenarioCommandTest : public testing::Test
{
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(m_host.Load(CTestHost::RegistryPath(), &error)) << error;
        m_host.ErrorReporter()->SetQuiet(true);
    }

    // Runs the command; the streams' texts land in m_out and m_err. pOut replaces the output.
    int Run(std::vector<std::string> args, std::FILE* pFullOut = nullptr)
    {
        args.insert(args.begin(), "scenario");
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        std::FILE* pOut = pFullOut ? pFullOut : std::tmpfile();
        std::FILE* pErr = std::tmpfile();
        int nResult = RunScenarioCommand(m_host, static_cast<int>(argv.size()), argv.data(), pOut, pErr);
        m_out = pFullOut ? (std::fclose(pFullOut), std::string()) : Slurp(pOut);
        m_err = Slurp(pErr);
        return nResult;
    }

    static std::string Slurp(std::FILE* pFile)
    {
        std::string text;
        std::rewind(pFile);
        for (int c; (c = std::fgetc(pFile)) != EOF;)
            text += static_cast<char>(c);
        std::fclose(pFile);
        return text;
    }

    void Put(const std::string& path, const CBytes& bytes)
    {
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    CBytes Get(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return CBytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    CHostContext m_host;
    CTempFolder m_folder;
    std::string m_out, m_err;
};

TEST_F(ScenarioCommandTest, ShowReadsA30FileWithoutChangingIt)
{
    std::string path = m_folder.File("old.scenario");
    CBytes old = FileBytes({"Old plan", "", 2050}, SampleRecords(), {BlockBytes(24, 1), BlockBytes(8, 2)}, 3.0);
    Put(path, old);
    EXPECT_EQ(Run({"show", path}), 0) << m_err;
    EXPECT_NE(m_out.find("version 3.0 file"), std::string::npos);
    EXPECT_NE(m_out.find("Name:        Old plan\n"), std::string::npos);
    EXPECT_NE(m_out.find("Records:     4\n"), std::string::npos);
    EXPECT_EQ(Get(path), old);
}

TEST_F(ScenarioCommandTest, ExportThenImportGivesTheSameFile)
{
    std::string path = m_folder.File("plan.scenario"), json = m_folder.File("plan.json"), out = m_folder.File("copy.scenario");
    CBytes file = FileBytes({"Plan", "both kinds", 2050}, SampleRecords(), {BlockBytes(24, 1), BlockBytes(8, 2)});
    file[ScenarioLayout::kRecords + 34] = 0x5A;  // a padding byte, carried too
    Put(path, file);
    ASSERT_EQ(Run({"export", path, json}), 0) << m_err;
    ASSERT_EQ(Run({"import", json, out}), 0) << m_err;
    EXPECT_EQ(WithoutDataHandles(Get(out), 4), WithoutDataHandles(file, 4));
}

// Outputs replace their file whole: a link waiting at a temporary name beside the output is never
// written through, and the output is not left half written behind.
TEST_F(ScenarioCommandTest, OutputsNeverFollowALinkBesideThem)
{
    std::string path = m_folder.File("plan.scenario"), json = m_folder.File("plan.json"), out = m_folder.File("copy.scenario");
    Put(path, FileBytes({"Plan", "", 2050}, SampleRecords(), {BlockBytes(24, 1), BlockBytes(8, 2)}));
    const std::string victim = m_folder.File("victim");
    std::filesystem::create_symlink(victim, json + ".partial");
    std::filesystem::create_symlink(victim, out + ".partial");
    ASSERT_EQ(Run({"export", path, json}), 0) << m_err;
    ASSERT_EQ(Run({"import", json, out}), 0) << m_err;
    EXPECT_FALSE(std::filesystem::exists(victim));
    EXPECT_EQ(Run({"show", out}), 0) << m_err;
}

// A full output (> /dev/full) is a failure with one line, never exit 0 with the text cut off.
TEST_F(ScenarioCommandTest, FullOutputFails)
{
    std::string path = m_folder.File("plan.scenario");
    Put(path, FileBytes({"Plan", "", 2050}, SampleRecords(), {BlockBytes(24, 1), BlockBytes(8, 2)}));
    for (const char* pszCommand : {"show", "export"})
    {
        EXPECT_EQ(Run({pszCommand, path}, std::fopen("/dev/full", "w")), 1) << pszCommand;
        EXPECT_EQ(m_err, std::string("wox scenario ") + pszCommand + ": cannot write the output: No space left on device\n");
    }
}

// Control characters in names reach the terminal escaped, so a name cannot fake lines or move
// the cursor.
TEST_F(ScenarioCommandTest, ShowEscapesControlCharacters)
{
    std::string path = m_folder.File("odd.scenario");
    std::vector<SRecordBytes> records = {SampleRecords()[0]};
    records[0].stand = "A\x1b[2J";
    records[0].nDataSize = 0;
    Put(path, FileBytes({"Plan\nRecords:     99", "\x9b", 2050}, records, {}));
    ASSERT_EQ(Run({"show", path}), 0) << m_err;
    EXPECT_NE(m_out.find("Name:        Plan\\x0ARecords:     99\n"), std::string::npos) << m_out;
    EXPECT_NE(m_out.find("Description: \\x9B\n"), std::string::npos) << m_out;
    EXPECT_NE(m_out.find("Stand:       A\\x1B[2J\n"), std::string::npos) << m_out;
}

struct SBadImport
{
    const char* name;
    std::string json;
    std::string errorEnd;
};

class ScenarioImportError : public ScenarioCommandTest, public testing::WithParamInterface<SBadImport>
{
};

TEST_P(ScenarioImportError, FailsWithOneLineAndNoOutput)
{
    std::string json = m_folder.File("bad.json"), out = m_folder.File("bad.scenario");
    std::ofstream(json) << GetParam().json;
    EXPECT_EQ(Run({"import", json, out}), 1);
    ASSERT_FALSE(m_err.empty());
    EXPECT_EQ(m_err.find('\n'), m_err.size() - 1) << m_err;
    EXPECT_NE(m_err.find(GetParam().errorEnd), std::string::npos) << m_err;
    EXPECT_FALSE(WoxFileExists(out.c_str()));
    // Nothing beside the input, not even a hidden temporary file.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_folder.Path()), std::filesystem::directory_iterator()), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, ScenarioImportError,
    testing::Values(SBadImport{"NotJson", "{\"format\": [", "invalid JSON"},
                    SBadImport{"MissingInfo", R"({"format": "wox-scenario", "formatVersion": 1, "records": []})", "info: missing"},
                    SBadImport{"LateRecord",
                               R"({"format": "wox-scenario", "formatVersion": 1, "info": {"name": "", "description": "", "endYear": 2000},
                                   "records": [{"year": 2001, "stand": "S", "triggered": 0, "endYear": 0, "flags": 0, "triggerCount": 0,
                                   "triggers": [], "treatment": {"component": "{00000000-0000-0000-0000-000000000000}", "name": "",
                                   "description": "", "data": ""}}]})",
                               "records[0].year: 2001 is later than info.endYear 2000"}),
    [](const testing::TestParamInfo<SBadImport>& info) { return std::string(info.param.name); });

TEST_F(ScenarioCommandTest, DamagedFilesAndWrongUsageFail)
{
    std::string path = m_folder.File("short.scenario");
    Put(path, CBytes(100, 0));
    EXPECT_EQ(Run({"show", path}), 1);
    EXPECT_EQ(Run({"export", m_folder.File("missing.scenario")}), 1);
    EXPECT_EQ(Run({"show"}), 2);
    EXPECT_EQ(Run({"frobnicate", path}), 2);
    EXPECT_EQ(Get(path), CBytes(100, 0));
}
}
