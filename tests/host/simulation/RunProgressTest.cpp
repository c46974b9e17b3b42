// The run's progress display: the bar's fill follows the periods, and a stream that is not a
// terminal gets plain lines without control characters.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "RunProgress.h"

namespace
{
std::string ReadAll(std::FILE* pFile)
{
    std::rewind(pFile);
    std::string text;
    for (int c; (c = std::fgetc(pFile)) != EOF;)
        text.push_back(static_cast<char>(c));
    return text;
}

size_t Count(const std::string& text, char c)
{
    size_t n = 0;
    for (char x : text)
        n += x == c;
    return n;
}
}

TEST(RunProgressTest, BarFillsInProportionAndStaysOneWidth)
{
    const std::string empty = CRunProgress::BarLine(0, 10, 2025, 0, 0);
    const std::string half = CRunProgress::BarLine(5, 10, 2045, 3, 7);
    const std::string full = CRunProgress::BarLine(10, 10, 2070, 1, 12);
    EXPECT_EQ(Count(empty.substr(0, empty.find(']')), '#'), 0u);
    EXPECT_EQ(Count(half.substr(0, half.find(']')), '#'), 15u);
    EXPECT_EQ(Count(full.substr(0, full.find(']')), '#'), 30u);
    EXPECT_EQ(empty.find(']'), full.find(']')) << "the bar must not change width";
    EXPECT_NE(half.find("5/10 periods, 2045: 3 treatment(s), 7 in all"), std::string::npos) << half;
    // A period number out of range (a caller's slip) never draws past the bar.
    EXPECT_EQ(CRunProgress::BarLine(12, 10, 2080, 0, 0).find(']'), full.find(']'));
}

TEST(RunProgressTest, PlainLinesWhenNotATerminalAndBarRedrawnOnOne)
{
    std::FILE* pLog = std::tmpfile();
    std::FILE* pTerminal = std::tmpfile();
    ASSERT_TRUE(pLog && pTerminal);
    {
        CRunProgress log(pLog, false, 2);
        CRunProgress terminal(pTerminal, true, 2);
        for (CRunProgress* p : {&log, &terminal})
        {
            p->PeriodDone(1, 2025, 4);
            p->PeriodDone(2, 2030, 0);
        }
    }
    const std::string logText = ReadAll(pLog);
    EXPECT_EQ(logText, "wox run: period 1/2 (2025): 4 treatment(s) applied\n"
                       "wox run: period 2/2 (2030): 0 treatment(s) applied\n");
    const std::string terminalText = ReadAll(pTerminal);
    EXPECT_EQ(Count(terminalText, '\r'), 2u);
    EXPECT_EQ(Count(terminalText, '\n'), 1u) << "one line, ended when the run ends";
    EXPECT_NE(terminalText.find("2030: 0 treatment(s), 4 in all"), std::string::npos) << "the total carries over periods";
    std::fclose(pLog);
    std::fclose(pTerminal);
}
