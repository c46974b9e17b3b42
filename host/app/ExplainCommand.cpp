#include "ExplainCommand.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "Results.h"

namespace
{
// A bound or threshold without needless decimals: 10, 12.5, 999.
std::string Short(double dValue)
{
    char szText[64];
    std::snprintf(szText, sizeof szText, "%.3f", dValue);
    std::string text = szText;
    if (text.find('.') != std::string::npos)
    {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.')
            text.pop_back();
    }
    return text;
}

std::string Fixed(double dValue)
{
    if (std::isnan(dValue))
        return "not a number";
    char szText[64];
    std::snprintf(szText, sizeof szText, "%.2f", dValue);
    return szText;
}

// A default bound (0 to 999) filters nothing and is left out.
std::string Range(const char* pszName, double dMin, double dMax, const char* pszUnit)
{
    if (dMin == 0.0 && dMax == 999.0)
        return "";
    return std::string(pszName) + " " + Short(dMin) + "\u2013" + Short(dMax) + " " + pszUnit + ", ";
}

std::string Condition(const STriggerCheckRow& row)
{
    std::string filter;
    if (!row.species.empty())
        filter += (row.bInclude ? "" : "not ") + row.species + ", ";
    filter += Range("DBH", row.dDbhMin, row.dDbhMax, "cm") + Range("height", row.dHeightMin, row.dHeightMax, "m");
    filter += std::to_string(row.nTrees) + (row.nTrees == 1 ? " tree" : " trees");
    std::string value = Fixed(row.dValue);
    if (!row.valueText.empty())
        value = "\"" + row.valueText + "\" (" + value + ")";
    const std::string comparison = row.op == "any" ? "(any value)" : row.op + " " + Fixed(row.dThreshold);
    return row.variable + " (" + filter + ") = " + value + " " + comparison + "  " + (row.bHolds ? "holds" : "fails");
}

// What became of the record, after its check's last line.
std::string Result(const STriggerCheckRow& last)
{
    const std::string arrow = "  \u2192 " + last.treatment;
    if (last.outcome == "fired")
    {
        if (last.treatmentResult == "applied")
            return arrow + " applied";
        if (last.treatmentResult == "not applied")
            return arrow + " fired, not applied by its treatment component";
        return arrow + " fired, the run stopped before it was applied";
    }
    std::string result = arrow + " not fired";
    if (last.outcome == "condition failed" && last.nCondition < last.nConditions)
        result += last.nCondition + 1 == last.nConditions
                      ? " (condition " + std::to_string(last.nConditions) + " not checked)"
                      : " (conditions " + std::to_string(last.nCondition + 1) + "\u2013" + std::to_string(last.nConditions) + " not checked)";
    return result;
}

// A line of its own for a check that ended without a condition failing.
std::string Failure(const STriggerCheckRow& last)
{
    if (last.outcome == "no tree list")
        return "no tree list for the stand";
    if (last.outcome == "no function")
        return "condition " + std::to_string(last.nCondition + 1) + ": its function library did not answer";
    if (last.outcome == "damaged")
        return "the record is damaged (" + std::to_string(last.nConditions) + " conditions)";
    return "";
}
}

std::string FormatTriggerChecks(const std::vector<STriggerCheckRow>& rows)
{
    std::string text;
    int nYearShown = 0;
    auto line = [&](int nYear, const std::string& body) {
        char szYear[16];
        std::snprintf(szYear, sizeof szYear, "%-6d", nYear);
        text += (nYear != nYearShown ? std::string(szYear) : std::string(6, ' ')) + body + "\n";
        nYearShown = nYear;
    };
    for (size_t i = 0; i < rows.size(); ++i)
    {
        const STriggerCheckRow& row = rows[i];
        const bool bLast = i + 1 == rows.size() || rows[i + 1].nCheck != row.nCheck || rows[i + 1].nYear != row.nYear;
        const std::string failure = bLast ? Failure(row) : "";
        if (row.nCondition > 0)
            line(row.nYear, Condition(row) + (bLast && failure.empty() ? Result(row) : ""));
        if (!failure.empty())
            line(row.nYear, failure + Result(row));
    }
    return text;
}

int RunExplainCommand(CHostContext&, int argc, char** argv)
{
    std::string results, stand;
    int nYear = 0;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if (arg == "--stand" && i + 1 < argc)
            stand = argv[++i];
        else if (arg == "--year" && i + 1 < argc)
            nYear = std::atoi(argv[++i]);
        else if (arg.rfind("--", 0) != 0 && results.empty())
            results = arg;
        else
        {
            std::fprintf(stderr, "usage: wox explain RESULTS --stand ID [--year Y]\n");
            return 2;
        }
    }
    if (results.empty() || stand.empty())
    {
        std::fprintf(stderr, "usage: wox explain RESULTS --stand ID [--year Y]\n");
        return 2;
    }
    // RESULTS is the results folder of a run or its database.
    std::error_code ec;
    const std::string database = std::filesystem::is_directory(results, ec) ? results + "/" + kResultsDatabase : results;
    if (!std::filesystem::exists(database, ec))
    {
        std::fprintf(stderr, "wox explain: %s does not exist\n", database.c_str());
        return 1;
    }
    std::vector<STriggerCheckRow> rows;
    std::string error;
    if (!ReadTriggerChecks(database, stand, nYear, rows, &error))
    {
        std::fprintf(stderr, "wox explain: %s\n", error.c_str());
        return 1;
    }
    if (rows.empty())
    {
        std::fprintf(stderr, "wox explain: no triggered record was tried for stand \"%s\"%s: %s\n", stand.c_str(),
                     nYear ? (" in " + std::to_string(nYear)).c_str() : "", database.c_str());
        return 1;
    }
    std::fputs(FormatTriggerChecks(rows).c_str(), stdout);
    return 0;
}
