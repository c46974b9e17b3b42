// CWoxBinary: file operations on real files in a temporary folder, and error reports.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "WoxBinary.h"

namespace
{
using BinaryPtr = IDynamicPtrTemplate<IWoxBinary>;

class CRecordingReporter final : public IWoxErrorReporter
{
public:
    void ReportError(const char* /*pszSource*/, const char* pszMessage) override { messages.emplace_back(pszMessage); }
    std::vector<std::string> messages;
};

class WoxBinaryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_folder = std::filesystem::temp_directory_path() /
                   ("wox-binary-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
        m_path = (m_folder / "data.bin").string();
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    BinaryPtr NewFile()
    {
        BinaryPtr pFile(WoxCreateWoxBinary());
        EXPECT_TRUE(pFile->Initialize(&m_reporter));
        return pFile;
    }
    std::string ReadAll() const
    {
        std::ifstream in(m_path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::filesystem::path m_folder;
    std::string m_path;
    CRecordingReporter m_reporter;
};
}

TEST_F(WoxBinaryTest, WriteSeekAndReadBack)
{
    BinaryPtr pFile = NewFile();
    ASSERT_TRUE(pFile->Open(m_path.c_str(), 2, 1));
    EXPECT_EQ(pFile->GetLength(), 0);
    uint32_t nDone = 0;
    ASSERT_TRUE(pFile->Write("ScenarioFile", &nDone, 12));
    EXPECT_EQ(nDone, 12u);
    EXPECT_TRUE(pFile->Write("", &nDone, 0)) << "a write of nothing succeeds";
    EXPECT_EQ(pFile->Tell(), 12);
    EXPECT_EQ(pFile->GetLength(), 12);

    ASSERT_TRUE(pFile->Seek(8, 0));
    EXPECT_EQ(pFile->Tell(), 8);
    char buffer[8] = {};
    ASSERT_TRUE(pFile->Read(buffer, &nDone, 4));
    EXPECT_EQ(std::string(buffer, 4), "File");

    // Overwrite in the middle, then read everything from the start.
    ASSERT_TRUE(pFile->Seek(0, 0));
    ASSERT_TRUE(pFile->Write("scen", nullptr, 4));
    pFile->Close();
    EXPECT_EQ(pFile->GetLength(), -1);
    EXPECT_EQ(ReadAll(), "scenarioFile");
    EXPECT_TRUE(m_reporter.messages.empty());
}

TEST_F(WoxBinaryTest, ReadingPastTheEndFailsAndSaysSo)
{
    BinaryPtr pFile = NewFile();
    ASSERT_TRUE(pFile->Open(m_path.c_str(), 2, 1));
    ASSERT_TRUE(pFile->Write("abc", nullptr, 3));
    ASSERT_TRUE(pFile->Seek(1, 0));
    char buffer[8];
    uint32_t nDone = 99;
    EXPECT_FALSE(pFile->Read(buffer, &nDone, 8));
    EXPECT_EQ(nDone, 2u);
    ASSERT_EQ(m_reporter.messages.size(), 1u);
    EXPECT_NE(m_reporter.messages[0].find(m_path), std::string::npos);
}

TEST_F(WoxBinaryTest, OpeningAMissingFileFailsWithTheReason)
{
    BinaryPtr pFile = NewFile();
    EXPECT_FALSE(pFile->Open(m_path.c_str(), 2, 0));
    EXPECT_EQ(pFile->GetLength(), -1);
    EXPECT_EQ(pFile->Tell(), -1);
    EXPECT_FALSE(pFile->Read(nullptr, nullptr, 0)) << "nothing is open";
    ASSERT_FALSE(m_reporter.messages.empty());
    EXPECT_NE(m_reporter.messages[0].find(m_path), std::string::npos);
    EXPECT_NE(m_reporter.messages[0].find("No such file"), std::string::npos);
}

TEST_F(WoxBinaryTest, OpenExistingKeepsContentCreateEmptiesIt)
{
    {
        BinaryPtr pFile = NewFile();
        ASSERT_TRUE(pFile->Open(m_path.c_str(), 2, 1));
        ASSERT_TRUE(pFile->Write("12345", nullptr, 5));
    } // the last release closes the file
    EXPECT_EQ(ReadAll(), "12345");

    BinaryPtr pFile = NewFile();
    ASSERT_TRUE(pFile->Open(m_path.c_str(), 2, 0));
    EXPECT_EQ(pFile->GetLength(), 5);
    EXPECT_EQ(pFile->Tell(), 0);
    ASSERT_TRUE(pFile->Seek(5, 0));
    ASSERT_TRUE(pFile->Write("67", nullptr, 2));
    ASSERT_TRUE(pFile->Open(m_path.c_str(), 2, 1)); // closes the first, empties the file
    EXPECT_EQ(pFile->GetLength(), 0);
    pFile->Close();
    EXPECT_EQ(ReadAll(), "");
}

TEST_F(WoxBinaryTest, ReleaseClosesAnOpenFile)
{
    const std::filesystem::path descriptors("/proc/self/fd");
    if (!std::filesystem::exists(descriptors))
        GTEST_SKIP() << "no descriptor listing on this system";
    auto countOpen = [&] {
        return std::distance(std::filesystem::directory_iterator(descriptors), std::filesystem::directory_iterator());
    };
    auto nBefore = countOpen();
    {
        BinaryPtr pFile = NewFile();
        ASSERT_TRUE(pFile->Open(m_path.c_str(), 2, 1));
        EXPECT_EQ(countOpen(), nBefore + 1);
    }
    EXPECT_EQ(countOpen(), nBefore);
}
