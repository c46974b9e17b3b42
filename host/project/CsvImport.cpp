#include "CsvImport.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>
#include <unordered_map>

#include "ForestLimits.h"
#include "InputFile.h"

namespace
{
constexpr size_t kMaxStandId = 30;
constexpr size_t kMaxTreeId = 23;     // the tree record's field keeps a terminator
constexpr size_t kMaxSpecies = 10;
constexpr size_t kMaxRefusals = 50;
constexpr size_t kMaxLine = 4096;     // longer lines are refused, never buffered whole

class CRefusals
{
public:
    explicit CRefusals(std::vector<std::string>& out) : m_out(out) {}
    void Add(const std::string& file, size_t nLine, const std::string& reason)
    {
        if (m_out.size() < kMaxRefusals)
            m_out.push_back(file + ":" + std::to_string(nLine) + ": " + reason);
        ++m_nTotal;
    }
    // A refusal of a whole file; the reason names the file.
    void AddFile(const std::string& reason)
    {
        if (m_out.size() < kMaxRefusals)
            m_out.push_back(reason);
        ++m_nTotal;
    }
    void Finish()
    {
        if (m_nTotal > m_out.size())
            m_out.push_back("... " + std::to_string(m_nTotal - m_out.size()) + " more refusals");
    }
    size_t Total() const { return m_nTotal; }

private:
    std::vector<std::string>& m_out;
    size_t m_nTotal = 0;
};

std::vector<std::string> SplitFields(const std::string& line)
{
    std::vector<std::string> fields;
    std::string field;
    std::istringstream stream(line);
    while (std::getline(stream, field, ','))
    {
        size_t nBegin = field.find_first_not_of(" \t\r");
        size_t nEnd = field.find_last_not_of(" \t\r");
        fields.push_back(nBegin == std::string::npos ? "" : field.substr(nBegin, nEnd - nBegin + 1));
    }
    if (!line.empty() && line.back() == ',')
        fields.push_back("");
    return fields;
}

// A number within limits, the whole field; false otherwise.
bool ParseNumber(const std::string& text, double dMin, double dMax, double& dValue)
{
    if (text.empty())
        return false;
    char* pEnd = nullptr;
    dValue = std::strtod(text.c_str(), &pEnd);
    return pEnd && *pEnd == 0 && WithinLimits(dValue, dMin, dMax);
}

std::string Number(double dValue)
{
    char szText[32];
    std::snprintf(szText, sizeof szText, "%g", dValue);
    return szText;
}

std::string Range(double dMin, double dMax, const char* pszUnit) { return Number(dMin) + " to " + Number(dMax) + pszUnit; }

// Reads the file's lines; the first must be the header. Calls row(lineNumber, fields).
bool ReadCsv(const std::string& path, const std::vector<std::string>& header, CRefusals& refusals,
             const std::function<void(size_t, const std::vector<std::string>&)>& row)
{
    CWoxLineReader file;
    std::string error;
    if (!file.Open(path, &error))
    {
        refusals.AddFile(error);
        return false;
    }
    std::string line;
    size_t nLine = 0;
    bool bHeader = true;
    bool bTooLong = false;
    while (file.Next(line, kMaxLine, bTooLong))
    {
        ++nLine;
        if (bTooLong)
        {
            refusals.Add(path, nLine, "line longer than " + std::to_string(kMaxLine) + " characters");
            continue;
        }
        std::vector<std::string> fields = SplitFields(line);
        if (fields.empty() || (fields.size() == 1 && fields[0].empty()))
            continue;   // blank line
        if (bHeader)
        {
            bHeader = false;
            if (fields != header)
            {
                std::string expected;
                for (const auto& name : header)
                    expected += (expected.empty() ? "" : ",") + name;
                refusals.Add(path, nLine, "header must be " + expected);
                return false;
            }
            continue;
        }
        if (fields.size() != header.size())
        {
            refusals.Add(path, nLine, "expected " + std::to_string(header.size()) + " columns, found " + std::to_string(fields.size()));
            continue;
        }
        row(nLine, fields);
    }
    if (file.Failed())
        refusals.Add(path, nLine + 1, "cannot read the file");
    else if (bHeader)
        refusals.Add(path, 1, "the file is empty (no header line)");
    return true;
}
}

bool ParseProjectCsv(const std::string& standsPath, const std::string& treesPath, const std::function<std::string(const char*)>& canonicalSpecies,
                     const SImportOptions& options, SProject& project, std::vector<std::string>& out)
{
    CRefusals refusals(out);
    project = SProject{};
    project.name = options.name;
    project.nFirstYear = options.nFirstYear;
    project.nPeriodLength = options.nPeriodLength;
    std::unordered_map<std::string, size_t> standIndex;

    ReadCsv(standsPath, {"stand_id", "area_ha", "site_index"}, refusals, [&](size_t nLine, const std::vector<std::string>& f) {
        double dArea = 0.0, dSite = 0.0;
        if (f[0].empty())
            refusals.Add(standsPath, nLine, "empty stand identifier");
        else if (f[0].size() > kMaxStandId)
            refusals.Add(standsPath, nLine, "stand identifier " + f[0] + " is longer than 30 characters");
        else if (standIndex.count(f[0]))
            refusals.Add(standsPath, nLine, "stand " + f[0] + " is listed twice");
        else if (!ParseNumber(f[1], 0.0, kMaxStandAreaHa, dArea) || dArea <= 0.0)
            refusals.Add(standsPath, nLine, "area_ha must be a positive number up to " + Number(kMaxStandAreaHa) + ", not '" + f[1] + "'");
        else if (!ParseNumber(f[2], kMinSiteIndexM, kMaxSiteIndexM, dSite))
            refusals.Add(standsPath, nLine, "site_index must be a number from " + Range(kMinSiteIndexM, kMaxSiteIndexM, " m") + ", not '" + f[2] + "'");
        else
        {
            standIndex.emplace(f[0], project.stands.size());
            project.stands.push_back({f[0], dArea, dSite, {}});
        }
    });

    std::set<std::pair<std::string, std::string>> treeIds;
    ReadCsv(treesPath, {"stand_id", "tree_id", "species", "dbh_cm", "height_m", "tpha"}, refusals,
            [&](size_t nLine, const std::vector<std::string>& f) {
                double dDbh = 0.0, dHeight = 0.0, dTpha = 0.0;
                auto stand = standIndex.find(f[0]);
                const std::string species = f[2].empty() || f[2].size() > kMaxSpecies ? std::string() : canonicalSpecies(f[2].c_str());
                if (stand == standIndex.end())
                    refusals.Add(treesPath, nLine,
                                 f[0].size() > kMaxStandId ? "stand identifier " + f[0] + " is longer than 30 characters"
                                                           : "unknown stand '" + f[0] + "'");
                else if (f[1].empty() || f[1].size() > kMaxTreeId)
                    refusals.Add(treesPath, nLine, "tree identifier must have 1 to 23 characters");
                else if (!treeIds.emplace(f[0], f[1]).second)
                    refusals.Add(treesPath, nLine, "tree " + f[1] + " of stand " + f[0] + " is listed twice");
                else if (species.empty())
                    refusals.Add(treesPath, nLine, "unknown species '" + f[2] + "'");
                else if (!ParseNumber(f[3], 0.0, kMaxDbhCm, dDbh))
                    refusals.Add(treesPath, nLine, "dbh_cm must be a number from " + Range(0, kMaxDbhCm, " cm") + ", not '" + f[3] + "'");
                else if (!ParseNumber(f[4], 0.0, kMaxHeightM, dHeight))
                    refusals.Add(treesPath, nLine, "height_m must be a number from " + Range(0, kMaxHeightM, " m") + ", not '" + f[4] + "'");
                else if (!ParseNumber(f[5], 0.0, kMaxStemsPerHa, dTpha) || dTpha <= 0.0)
                    refusals.Add(treesPath, nLine, "tpha must be a positive number up to " + Number(kMaxStemsPerHa) + ", not '" + f[5] + "'");
                else
                    project.stands[stand->second].trees.push_back(MakeTree(f[0], f[1], species, dDbh, dHeight, dTpha));
            });
    if (refusals.Total() == 0 && project.stands.empty())
        refusals.Add(standsPath, 1, "no stands");
    refusals.Finish();
    return refusals.Total() == 0;
}
