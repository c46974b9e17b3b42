// CScenarioFile on an in-memory volume and on real files through the host libraries: byte-exact
// new and saved files, which records a save keeps, data blocks, conversion and refused versions.

#include <gtest/gtest.h>

#include <cmath>

#include "ScenarioSeeds.h"
#include "ScenarioTestSupport.h"
#include "WoxText.h"

namespace
{
using namespace ScenarioLayout;

class ScenarioFileTest : public testing::TestWithParam<EBackend>
{
protected:
    void SetUp() override
    {
        m_pBackend = std::make_unique<CScenarioBackend>(GetParam());
        if (!m_pBackend->Ready())
            GTEST_SKIP() << "host not loaded";
    }

    // Records from fixture bytes with their blocks on the heap; pDataBytes is set to the handle.
    SScenarioData MakeData(const SInfoBytes& info, std::vector<SRecordBytes>& records, const std::vector<CBytes>& blocks)
    {
        SScenarioData data;
        EXPECT_TRUE(m_pBackend->NewFile()->CreateTreatmentArray(data.pTreatments));
        std::memcpy(&data.info, HeaderBytes(info, 0).data() + kInfo, sizeof data.info);
        size_t nBlock = 0;
        for (SRecordBytes& r : records)
        {
            if (r.nDataSize)
            {
                const CBytes& block = blocks.at(nBlock++);
                r.pDataBytes = m_pBackend->Heap()->Alloc(r.nDataSize);
                std::memcpy(m_pBackend->Heap()->Data(r.pDataBytes), block.data(), block.size());
            }
            SScenarioTreatment record = RecordFrom(RecordBytes(r));
            EXPECT_TRUE(data.pTreatments->Add(&record));
        }
        return data;
    }

    // Reads the file back: each record's bytes (pData zeroed) and its block.
    std::vector<std::pair<CBytes, CBytes>> ReadBack(const std::string& path, SScenarioData* pData = nullptr)
    {
        auto pFile = m_pBackend->NewFile();
        EXPECT_TRUE(pFile->Open(path.c_str()));
        SScenarioData local;
        SScenarioData& data = pData ? *pData : local;
        EXPECT_TRUE(pFile->CreateTreatmentArray(data.pTreatments));
        EXPECT_TRUE(pFile->ReadRecords(&data));
        std::vector<std::pair<CBytes, CBytes>> result;
        for (int i = 0; i < data.pTreatments->GetSize(); ++i)
        {
            auto pRecord = static_cast<SScenarioTreatment*>(data.pTreatments->GetAt(i, 0));
            CBytes block;
            if (pRecord->treatment.nDataSize)
                block = BytesOf(m_pBackend->Heap()->Data(pRecord->treatment.pData), pRecord->treatment.nDataSize);
            else
                EXPECT_EQ(pRecord->treatment.pData, 0u);
            SScenarioTreatment copy = *pRecord;
            copy.treatment.pData = 0;
            result.emplace_back(BytesOf(&copy, sizeof copy), block);
        }
        FreeTreatmentBlocks(m_pBackend->Heap(), data.pTreatments.Get());
        return result;
    }

    std::unique_ptr<CScenarioBackend> m_pBackend;
};

TEST_P(ScenarioFileTest, CreateWritesAFreshHeaderAndAnEmptySaveOnlyTheHeader)
{
    std::string path = m_pBackend->Path("new.scenario");
    auto pFile = m_pBackend->NewFile();
    ASSERT_TRUE(pFile->Create(path.c_str()));
    EXPECT_TRUE(pFile->IsOpen());
    CBytes bytes = m_pBackend->Get(path);
    EXPECT_EQ(bytes, HeaderBytes({}, 0));
    EXPECT_EQ(CBytes(bytes.begin() + kVersion, bytes.begin() + kVersion + 8), (CBytes{0xCD, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0x08, 0x40}));

    std::vector<SRecordBytes> none;
    SInfoBytes info{"Empty plan", "nothing yet", 2050};
    SScenarioData data = MakeData(info, none, {});
    ASSERT_TRUE(pFile->WriteRecords(&data));
    pFile->Close();
    EXPECT_EQ(m_pBackend->Get(path), HeaderBytes(info, 0));
}

TEST_P(ScenarioFileTest, SaveWritesRecordsThenBlocksAndLeavesOutLaterYears)
{
    std::string path = m_pBackend->Path("save.scenario");
    SInfoBytes info{"Plan", "desc", 2050};
    std::vector<SRecordBytes> records = SampleRecords();
    std::vector<CBytes> blocks = {BlockBytes(24, 1), BlockBytes(8, 2), BlockBytes(40, 3)};
    SRecordBytes late = records[0];
    late.nYear = 2051;
    late.nDataSize = 40;
    records.insert(records.begin() + 1, late);  // between blocks 1 and 2 in the array
    std::swap(blocks[1], blocks[2]);
    SScenarioData data = MakeData(info, records, blocks);

    auto pFile = m_pBackend->NewFile();
    ASSERT_TRUE(pFile->Create(path.c_str()));
    ASSERT_TRUE(pFile->WriteRecords(&data));
    pFile->Close();

    std::vector<SRecordBytes> kept = {records[0], records[2], records[3], records[4]};
    EXPECT_EQ(m_pBackend->Get(path), FileBytes(info, kept, {blocks[0], blocks[2]}));
    // A save makes the same file through its replacement.
    const std::string saved = m_pBackend->Path("saved.scenario");
    ASSERT_TRUE(pFile->Save(saved.c_str(), &data));
    EXPECT_EQ(m_pBackend->Get(saved), m_pBackend->Get(path));
    FreeTreatmentBlocks(m_pBackend->Heap(), data.pTreatments.Get());

    // Reading gives exactly the records written, each with its own block.
    SScenarioData back;
    auto result = ReadBack(path, &back);
    ASSERT_EQ(result.size(), 4u);
    for (size_t i = 0; i < kept.size(); ++i)
    {
        SRecordBytes expected = kept[i];
        expected.pDataBytes = 0;
        EXPECT_EQ(result[i].first, RecordBytes(expected)) << i;
    }
    EXPECT_EQ(result[0].second, blocks[0]);
    EXPECT_TRUE(result[1].second.empty());
    EXPECT_TRUE(result[2].second.empty());
    EXPECT_EQ(result[3].second, blocks[2]);
    EXPECT_EQ(std::memcmp(&back.info, HeaderBytes(info, 0).data() + kInfo, sizeof back.info), 0);
}

TEST_P(ScenarioFileTest, BlocksAreFoundBehindRecordsWithoutBlocks)
{
    std::string path = m_pBackend->Path("blocks.scenario");
    std::vector<SRecordBytes> records(5, SampleRecords()[0]);
    records[0].nDataSize = 3;
    records[1].nDataSize = 0;
    records[1].pDataBytes = 0xDEADBEEF;  // meaningless in the file: a reader replaces it
    records[2].nDataSize = 0;
    records[3].nDataSize = 5;
    records[4].nDataSize = 1;
    std::vector<CBytes> blocks = {BlockBytes(3, 10), BlockBytes(5, 20), BlockBytes(1, 30)};
    m_pBackend->Put(path, FileBytes({"B", "", 2100}, records, blocks));

    auto result = ReadBack(path);
    ASSERT_EQ(result.size(), 5u);
    EXPECT_EQ(result[0].second, blocks[0]);
    EXPECT_TRUE(result[1].second.empty());
    EXPECT_TRUE(result[2].second.empty());
    EXPECT_EQ(result[3].second, blocks[1]);
    EXPECT_EQ(result[4].second, blocks[2]);
}

TEST_P(ScenarioFileTest, ShorterScenarioSavedOverALongerOneReadsBackShort)
{
    std::string path = m_pBackend->Path("shrink.scenario");
    SInfoBytes info{"Plan", "", 2050};
    std::vector<SRecordBytes> records = SampleRecords();
    SScenarioData longer = MakeData(info, records, {BlockBytes(24, 1), BlockBytes(8, 2)});
    auto pFile = m_pBackend->NewFile();
    ASSERT_TRUE(pFile->Create(path.c_str()));
    ASSERT_TRUE(pFile->WriteRecords(&longer));
    pFile->Close();

    std::vector<SRecordBytes> one = {records[3]};
    SScenarioData shorter = MakeData(info, one, {BlockBytes(8, 9)});
    ASSERT_TRUE(pFile->Open(path.c_str()));
    ASSERT_TRUE(pFile->WriteRecords(&shorter));
    pFile.reset();  // the editor saves without Close

    auto result = ReadBack(path);
    ASSERT_EQ(result.size(), 1u);
    one[0].pDataBytes = 0;
    EXPECT_EQ(result[0].first, RecordBytes(one[0]));
    EXPECT_EQ(result[0].second, BlockBytes(8, 9));
    FreeTreatmentBlocks(m_pBackend->Heap(), longer.pTreatments.Get());
    FreeTreatmentBlocks(m_pBackend->Heap(), shorter.pTreatments.Get());
}

TEST_P(ScenarioFileTest, StandOfThirtyCharactersHasNoTerminator)
{
    std::string path = m_pBackend->Path("stand.scenario");
    std::vector<SRecordBytes> records = {SampleRecords()[2]};
    records[0].stand = std::string(30, 'Z');
    SScenarioData data = MakeData({"S", "", 2050}, records, {});
    auto pFile = m_pBackend->NewFile();
    ASSERT_TRUE(pFile->Create(path.c_str()));
    ASSERT_TRUE(pFile->WriteRecords(&data));
    pFile->Close();
    CBytes bytes = m_pBackend->Get(path);
    EXPECT_EQ(CBytes(bytes.begin() + kRecords + kStand, bytes.begin() + kRecords + kStand + 31), [] {
        CBytes b(30, 'Z');
        b.push_back(0);  // padding at 34
        return b;
    }());
    SScenarioData back;
    ReadBack(path, &back);
    auto pRecord = static_cast<SScenarioTreatment*>(back.pTreatments->GetAt(0, 0));
    EXPECT_EQ(WoxTextLength(pRecord->szStand), 30u);
    EXPECT_EQ(WoxCompareText(pRecord->szStand, std::string(30, 'Z').c_str(), 30), 0);
}

// The records of a 3.0 file as they must look after conversion.
std::vector<SRecordBytes> Converted(std::vector<SRecordBytes> records)
{
    for (SRecordBytes& r : records)
    {
        r.bDefaultTriggerPart = true;
        r.triggers.clear();
        r.nEndYear = 0;  // keeps -1 of the default part
        r.nFlags = 0;
        r.pDataBytes = 0;
    }
    return records;
}

TEST_P(ScenarioFileTest, Version30FileIsConvertedInPlace)
{
    std::string path = m_pBackend->Path("old.scenario");
    SInfoBytes info{"Old plan", "from 3.0", 2042};  // the 2045 record is later than the end year
    std::vector<SRecordBytes> records = SampleRecords();
    std::vector<CBytes> blocks = {BlockBytes(24, 1), BlockBytes(8, 2)};
    m_pBackend->Put(path, FileBytes(info, records, blocks, 3.0));

    auto pFile = m_pBackend->NewFile();
    ASSERT_TRUE(pFile->Open(path.c_str()));
    EXPECT_EQ(pFile->Header().dVersion, 3.1);
    EXPECT_EQ(pFile->Header().nRecords, 3);
    pFile.reset();

    std::vector<SRecordBytes> expected = Converted({records[0], records[1], records[2]});
    EXPECT_EQ(WithoutDataHandles(m_pBackend->Get(path), 3), FileBytes(info, expected, {blocks[0]}));
    EXPECT_EQ(m_pBackend->FolderNames(), std::vector<std::string>{"old.scenario"});

    auto result = ReadBack(path);
    ASSERT_EQ(result.size(), 3u);
    EXPECT_EQ(result[0].second, blocks[0]);
    EXPECT_EQ(result[1].first, RecordBytes(expected[1]));
}

// A 3.0 file that cannot be replaced still opens and reads, from a converted copy in memory; the
// file stays as it was and a save into the copy is refused rather than lost.
TEST_P(ScenarioFileTest, ReadOnly30FileOpensFromAConvertedCopy)
{
    std::string path = m_pBackend->Path("old.scenario");
    std::vector<SRecordBytes> records = SampleRecords();
    const CBytes old = FileBytes({"Old", "", 2050}, records, {BlockBytes(24, 1), BlockBytes(8, 2)}, 3.0);
    m_pBackend->Put(path, old);
    m_pBackend->MakeReadOnly(path);

    auto pFile = m_pBackend->NewFile();
    for (int nTimes = 0; nTimes < 2; ++nTimes)  // and again after Close: the object is whole
    {
        ASSERT_TRUE(pFile->Open(path.c_str()));
        EXPECT_TRUE(pFile->IsConvertedCopy());
        EXPECT_EQ(pFile->Header().dVersion, 3.1);
        SScenarioData data;
        ASSERT_TRUE(pFile->CreateTreatmentArray(data.pTreatments));
        ASSERT_TRUE(pFile->ReadRecords(&data));
        EXPECT_EQ(data.pTreatments->GetSize(), 4);
        EXPECT_FALSE(pFile->WriteRecords(&data));
        FreeTreatmentBlocks(m_pBackend->Heap(), data.pTreatments.Get());
        pFile->Close();
    }
    EXPECT_EQ(m_pBackend->Get(path), old);
    EXPECT_EQ(m_pBackend->FolderNames(), std::vector<std::string>{"old.scenario"});
}

// The conversion never writes through a name in the shared temporary folder: a link planted there
// (by another user, or left by a run in another project) points at nothing afterwards.
TEST(ScenarioConversionTest, NoFileIsWrittenThroughTheTemporaryFolder)
{
    CScenarioBackend backend(EBackend::Host);
    if (!backend.Ready())
        GTEST_SKIP() << "host not loaded";
    const std::string victim = backend.TempFolder() + "/victim";
    std::filesystem::create_symlink(victim, backend.TempFolder() + "/ConvertedScenario.scn");
    const std::string path = backend.Path("old.scenario");
    backend.Put(path, FileBytes({"Old", "", 2050}, SampleRecords(), {BlockBytes(24, 1), BlockBytes(8, 2)}, 3.0));
    EXPECT_TRUE(backend.NewFile()->Open(path.c_str()));
    EXPECT_FALSE(std::filesystem::exists(victim));
}

class ScenarioVersionTest : public testing::TestWithParam<std::tuple<EBackend, double>>
{
};

TEST_P(ScenarioVersionTest, OtherVersionsAreRefusedAndTheFileIsUnchanged)
{
    CScenarioBackend backend(std::get<0>(GetParam()));
    if (!backend.Ready())
        GTEST_SKIP() << "host not loaded";
    std::string path = backend.Path("version.scenario");
    CBytes original = FileBytes({"V", "", 2050}, SampleRecords(), {BlockBytes(24, 1), BlockBytes(8, 2)}, std::get<1>(GetParam()));
    backend.Put(path, original);
    auto pFile = backend.NewFile();
    EXPECT_FALSE(pFile->Open(path.c_str()));
    EXPECT_FALSE(pFile->IsOpen());
    pFile.reset();
    EXPECT_EQ(backend.Get(path), original);
    EXPECT_EQ(backend.FolderNames(), std::vector<std::string>{"version.scenario"});
}

// 3.1 in another bit pattern is not version 3.1.
INSTANTIATE_TEST_SUITE_P(Versions, ScenarioVersionTest,
                         testing::Combine(testing::Values(EBackend::Memory, EBackend::Host),
                                          testing::Values(2.0, 3.2, 0.0, -3.1, std::nextafter(3.1, 4.0), std::nextafter(3.0, 4.0))));

TEST_P(ScenarioFileTest, FailedCreateOrOpenLeavesTheObjectClosedButUsable)
{
    auto pFile = m_pBackend->NewFile();
    EXPECT_FALSE(pFile->Open(m_pBackend->Path("missing.scenario").c_str()));
    EXPECT_FALSE(pFile->IsOpen());
    SScenarioData data;
    EXPECT_FALSE(pFile->ReadRecords(&data));
    std::string path = m_pBackend->Path("later.scenario");
    EXPECT_TRUE(pFile->Create(path.c_str()));
    EXPECT_TRUE(pFile->IsOpen());
}

TEST_P(ScenarioFileTest, SaveThatFailsPartWayLeavesTheOldHeader)
{
    if (GetParam() != EBackend::Memory)
        GTEST_SKIP() << "a full disk is simulated on the memory volume";
    std::string path = m_pBackend->Path("full.scenario");
    const CBytes original = FileBytes({"Old", "", 2050}, SampleRecords(), {BlockBytes(24, 1), BlockBytes(8, 2)});
    m_pBackend->Put(path, original);
    std::vector<SRecordBytes> records(300, SampleRecords()[0]);
    SScenarioData data = MakeData({"New", "", 2050}, records, std::vector<CBytes>(300, BlockBytes(24, 3)));
    m_pBackend->Volume().SetFileSizeLimit(original.size() + 100 * kRecord);

    auto pFile = m_pBackend->NewFile();
    ASSERT_TRUE(pFile->Open(path.c_str()));
    EXPECT_FALSE(pFile->WriteRecords(&data));
    pFile.reset();
    FreeTreatmentBlocks(m_pBackend->Heap(), data.pTreatments.Get());

    // The header is written last: the file still describes the old scenario.
    const CBytes after = m_pBackend->Get(path);
    ASSERT_GE(after.size(), original.size());
    EXPECT_EQ(CBytes(after.begin(), after.begin() + kRecords), CBytes(original.begin(), original.begin() + kRecords));
}

INSTANTIATE_TEST_SUITE_P(Backends, ScenarioFileTest, testing::Values(EBackend::Memory, EBackend::Host), BackendName);

// Initialize fails when a library or the binary-file object cannot be had, and the object then
// makes no file.
struct SInitCase
{
    const char* pszName;
    const char* pszValue;    // the registry value under "Libraries" that is changed
    const char* pszLibrary;  // "" = empty, "missing" = a file that does not exist, "data" = the Data Controller
};

class ScenarioFileInitTest : public testing::TestWithParam<SInitCase>
{
};

TEST_P(ScenarioFileInitTest, FailsAndMakesNoFile)
{
    CTestHost host;
    ASSERT_TRUE(host.Loaded());
    CTempFolder folder;
    const std::string library = GetParam().pszLibrary;
    std::string value = library == "missing" ? folder.File("libMissing.so") : "";
    if (library == "data")
        value = host.Registry()->Get("Libraries", "Data Controller Library");
    host.Registry()->SetString("Libraries", GetParam().pszValue, value);

    CScenarioFile file(host.Heap());
    EXPECT_FALSE(file.Initialize(host.LibMgr(), host.Registry(), host.ErrorReporter()));
    const std::string path = folder.File("new.scenario");
    EXPECT_FALSE(file.Create(path.c_str()));
    EXPECT_FALSE(WoxFileExists(path.c_str()));
}

INSTANTIATE_TEST_SUITE_P(Failures, ScenarioFileInitTest,
                         testing::Values(SInitCase{"NoDataController", "Data Controller Library", ""},
                                         SInitCase{"NoIoLibrary", "IO Library", ""},
                                         SInitCase{"DataControllerMissing", "Data Controller Library", "missing"},
                                         SInitCase{"IoLibraryMissing", "IO Library", "missing"},
                                         SInitCase{"IoLibraryWithoutBinaryFactory", "IO Library", "data"}),
                         [](const auto& info) { return std::string(info.param.pszName); });
}
