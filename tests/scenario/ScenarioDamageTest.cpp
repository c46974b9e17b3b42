// Damaged scenario files: exact outcomes (open / read fail or succeed, file unchanged, nothing
// allocated beyond the file's size), and the replay of the fuzz corpus.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "ScenarioInputCheck.h"
#include "ScenarioSeeds.h"
#include "ScenarioTestSupport.h"

namespace
{
using namespace ScenarioLayout;

enum class EOutcome
{
    OpenFails,
    ReadFails,
    Reads
};

struct SDamageCase
{
    const char* name;
    std::function<CBytes()> make;
    EOutcome outcome;
    int nRecords;  // records in the array afterwards
};

CBytes Sample31() { return FileBytes({"D", "", 2050}, SampleRecords(), {BlockBytes(24, 1), BlockBytes(8, 2)}); }
CBytes Sample30() { return FileBytes({"D", "", 2050}, SampleRecords(), {BlockBytes(24, 1), BlockBytes(8, 2)}, 3.0); }

// 70 records with one-byte blocks: more than one read batch.
CBytes Many()
{
    std::vector<SRecordBytes> records(70, SampleRecords()[0]);
    std::vector<CBytes> blocks;
    for (SRecordBytes& r : records)
    {
        r.nDataSize = 1;
        blocks.push_back(BlockBytes(1, static_cast<uint8_t>(blocks.size())));
    }
    return FileBytes({"M", "", 2050}, records, blocks);
}

CBytes Patched(CBytes bytes, size_t at, uint32_t value)
{
    CByteWriter w(bytes.size());
    w.Bytes(0, bytes).U32(at, value);
    return w.Get();
}

CBytes Cut(CBytes bytes, size_t n)
{
    bytes.resize(n);
    return bytes;
}

const size_t kSize0 = kRecords + kTreatment + kDataSize;               // first record's nDataSize
const size_t kSize0Old = kRecords + kTreatment30 + kDataSize;          // same in a 3.0 file
const size_t kSize3 = kRecords + 3 * kRecord + kTreatment + kDataSize;  // fourth record's

class ScenarioDamageTest : public testing::TestWithParam<SDamageCase>
{
};

TEST_P(ScenarioDamageTest, HasItsExactOutcome)
{
    CScenarioBackend backend(EBackend::Memory);
    const std::string path = backend.Path("damaged.scenario");
    const CBytes original = GetParam().make();
    backend.Put(path, original);

    auto pFile = backend.NewFile();
    bool bOpened = pFile->Open(path.c_str());
    EXPECT_EQ(bOpened, GetParam().outcome != EOutcome::OpenFails);
    int nRecords = 0;
    if (bOpened)
    {
        SScenarioData data;
        ASSERT_TRUE(pFile->CreateTreatmentArray(data.pTreatments));
        EXPECT_EQ(pFile->ReadRecords(&data), GetParam().outcome == EOutcome::Reads);
        nRecords = data.pTreatments->GetSize();
        FreeTreatmentBlocks(backend.Heap(), data.pTreatments.Get());
    }
    else
    {
        pFile.reset();
        EXPECT_EQ(backend.Get(path), original);
        EXPECT_EQ(backend.FolderNames(), std::vector<std::string>{"damaged.scenario"});
    }
    EXPECT_EQ(nRecords, GetParam().nRecords);
    EXPECT_LE(backend.WatchedHeap().Largest(), std::max<size_t>(original.size(), 144));
    EXPECT_EQ(backend.WatchedHeap().BlockCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ScenarioDamageTest,
    testing::Values(
        SDamageCase{"Empty", [] { return CBytes(); }, EOutcome::OpenFails, 0},
        SDamageCase{"ShorterThanHeader", [] { return Cut(HeaderBytes({}, 0), 367); }, EOutcome::OpenFails, 0},
        SDamageCase{"HeaderOnly", [] { return Cut(HeaderBytes({}, 0), 368); }, EOutcome::Reads, 0},
        SDamageCase{"NegativeCount", [] { return Patched(Sample31(), kRecordCount, 0xFFFFFFFFu); }, EOutcome::OpenFails, 0},
        SDamageCase{"HugeCount", [] { return Patched(Sample31(), kRecordCount, 0x7FFFFFFFu); }, EOutcome::OpenFails, 0},
        SDamageCase{"CountOneMoreThanFile", [] { return Patched(Sample31(), kRecordCount, 5); }, EOutcome::OpenFails, 0},
        SDamageCase{"RecordCut", [] { return Cut(Sample31(), kRecords + 4 * kRecord - 1); }, EOutcome::OpenFails, 0},
        SDamageCase{"BlockCut", [] { return Cut(Sample31(), Sample31().size() - 1); }, EOutcome::ReadFails, 3},
        SDamageCase{"HugeDataSize", [] { return Patched(Sample31(), kSize0, 0xFFFFFFFFu); }, EOutcome::ReadFails, 0},
        SDamageCase{"DataSizeOneOverTheFile", [] { return Patched(Sample31(), kSize3, 9); }, EOutcome::ReadFails, 3},
        SDamageCase{"DataSizesSummingPast4GiB",
                    [] { return Patched(Patched(Sample31(), kSize0, 0x80000000u), kSize3, 0x80000000u); }, EOutcome::ReadFails, 0},
        SDamageCase{"ManyRecords", [] { return Many(); }, EOutcome::Reads, 70},
        SDamageCase{"BlockCutInSecondBatch", [] { return Cut(Many(), Many().size() - 5); }, EOutcome::ReadFails, 65},
        SDamageCase{"TrailingBytesIgnored", [] { CBytes b = Sample31(); b.resize(b.size() + 100, 0x55); return b; }, EOutcome::Reads, 4},
        SDamageCase{"CountsAndTextsUnchecked",
                    [] {
                        CBytes b = Patched(Sample31(), kRecords + kRecord + kTriggerCount, 99);
                        b = Patched(b, kRecords + kRecord + kTriggers + kSpeciesCount, 0xFFFFFFFDu);
                        std::fill_n(b.begin() + kInfo, 306, 'x');             // name and description unterminated
                        std::fill_n(b.begin() + kRecords + kStand, 30, 's');  // stand unterminated
                        return b;
                    },
                    EOutcome::Reads, 4},
        SDamageCase{"Old_NegativeCount", [] { return Patched(Sample30(), kRecordCount, 0x80000000u); }, EOutcome::OpenFails, 0},
        SDamageCase{"Old_HugeCount", [] { return Patched(Sample30(), kRecordCount, 0x7FFFFFFFu); }, EOutcome::OpenFails, 0},
        SDamageCase{"Old_RecordCut", [] { return Cut(Sample30(), kRecords + 4 * kRecord30 - 1); }, EOutcome::OpenFails, 0},
        SDamageCase{"Old_HugeDataSize", [] { return Patched(Sample30(), kSize0Old, 0xFFFFFFF0u); }, EOutcome::OpenFails, 0},
        SDamageCase{"Old_BlockCut", [] { return Cut(Sample30(), Sample30().size() - 1); }, EOutcome::OpenFails, 0}),
    [](const testing::TestParamInfo<SDamageCase>& info) { return std::string(info.param.name); });

// Every committed corpus file (seeds and former findings) keeps every promise, with the exact
// outcome recorded here for the named ones.
TEST(ScenarioFuzzCorpus, ReplaysWithExactOutcomes)
{
    struct SExpected
    {
        bool bOpened;
        bool bRead;
        int nRecords;
    };
    const std::map<std::string, SExpected> expected = {
        {"empty-31.scenario", {true, true, 0}},        {"sample-31.scenario", {true, true, 4}},
        {"sample-30.scenario", {true, true, 4}},       {"version-20.scenario", {false, false, 0}},
        {"truncated-31.scenario", {false, false, 0}},  {"huge-count.scenario", {false, false, 0}},
        {"huge-data-size.scenario", {true, false, 0}}, {"unterminated-31.scenario", {true, true, 1}},
        // Runs of no bytes in extraBytes (once a copy from no buffer): imported, opened and read.
        {"extra-bytes-empty-runs.json", {true, true, 1}},
    };
    size_t nFiles = 0;
    for (const auto& entry : std::filesystem::directory_iterator(WOX_FUZZ_CORPUS))
    {
        // Scenario files and JSON inputs here; project databases are replayed with the project.
        const std::string extension = entry.path().extension().string();
        if (extension != ".scenario" && extension != ".json")
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        CBytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const bool bJson = extension == ".json";
        SScenarioJsonOutcome json = bJson ? CheckScenarioJsonInput(bytes.data(), bytes.size()) : SScenarioJsonOutcome{};
        SScenarioInputOutcome outcome = bJson ? json.file : CheckScenarioInput(bytes.data(), bytes.size());
        std::string name = entry.path().filename().string();
        EXPECT_EQ(outcome.broken, "") << name;
        auto it = expected.find(name);
        if (it != expected.end())
        {
            EXPECT_EQ(outcome.bOpened, it->second.bOpened) << name;
            EXPECT_EQ(outcome.bRead, it->second.bRead) << name;
            EXPECT_EQ(outcome.nRecords, it->second.nRecords) << name;
        }
        ++nFiles;
    }
    EXPECT_GE(nFiles, expected.size());
}
}
