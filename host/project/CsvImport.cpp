#include "CsvImport.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <numbers>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "AtomicFile.h"
#include "CsvTable.h"
#include "ForestLimits.h"
#include "GrowthModel.h"
#include "HeapReserve.h"
#include "SpeciesParameters.h"
#include "WoxText.h"

namespace
{
constexpr size_t kMaxStandId = 30;
constexpr size_t kMaxTreeId = 23;     // the tree record's field keeps a terminator
constexpr size_t kMaxSpecies = 10;
constexpr size_t kMaxRefusals = 50;
constexpr size_t kShortestTreeRow = 20;   // bytes of a plausible tree row, for reserving memory
constexpr double kMaxPlotAreaM2 = 10000.0;
constexpr double kMaxBafM2Ha = 100.0;
constexpr double kMaxPlots = 10000.0;
constexpr double kMinBaseAge = 10.0, kMaxBaseAge = 200.0;
constexpr double kMaxStandAge = 1000.0;
constexpr const char* kSiteSpeciesDefault = "PSME";

// Columns of the stands file, in this order.
enum { S_ID, S_AREA, S_SITE, S_SITE_SPECIES, S_BASE_AGE, S_YEAR, S_AGE, S_PLOT_AREA, S_SUBPLOT_AREA, S_BREAKPOINT, S_BAF, S_PLOTS };
const std::vector<SCsvColumn> kStandColumns = {
    {"stand_id", true},         {"area_ha", true},        {"site_index", true},      {"site_species", false},
    {"site_base_age", false},   {"inventory_year", false}, {"stand_age", false},     {"plot_area_m2", false},
    {"subplot_area_m2", false}, {"breakpoint_dbh_cm", false}, {"baf_m2ha", false},   {"plots", false},
};
// Columns of the trees file, in this order.
enum { T_STAND, T_TREE, T_SPECIES, T_DBH, T_HEIGHT, T_TPHA };
const std::vector<SCsvColumn> kTreeColumns = {
    {"stand_id", true}, {"tree_id", true}, {"species", true}, {"dbh_cm", true}, {"height_m", false}, {"tpha", false},
};

// How a stand's tree records become stems per hectare.
struct SDesign
{
    enum EKind { Direct, Fixed, Variable } nKind = Direct;
    double dPlotArea = 0.0, dSubplotArea = 0.0, dBreakpoint = 0.0, dBaf = 0.0, dPlots = 1.0;
};

std::string Number(double dValue)
{
    char szText[32];
    std::snprintf(szText, sizeof szText, "%g", dValue);
    return szText;
}

std::string Range(double dMin, double dMax, const char* pszUnit) { return Number(dMin) + " to " + Number(dMax) + pszUnit; }

// Reads digits with an optional decimal point and at most 15 digits in all, the way measurements
// are written: such a number is an integer below 2^53 divided by an exact power of ten, which one
// division rounds correctly, as std::from_chars would. False for any other spelling.
bool ParsePlainDecimal(const char* pBegin, const char* pEnd, double& dValue)
{
    static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const size_t nSize = static_cast<size_t>(pEnd - pBegin);
    if (nSize == 0 || nSize > 16)
        return false;
    uint64_t nMantissa = 0;
    const char* pPoint = nullptr;
    for (const char* p = pBegin; p != pEnd; ++p)
    {
        const unsigned nDigit = static_cast<unsigned char>(*p) - unsigned{'0'};
        if (nDigit < 10)
            nMantissa = nMantissa * 10 + nDigit;
        else if (*p == '.' && !pPoint)
            pPoint = p;
        else
            return false;
    }
    const size_t nDigits = nSize - (pPoint != nullptr);
    if (nDigits == 0 || nDigits > 15)
        return false;
    dValue = static_cast<double>(nMantissa) / kPowersOfTen[pPoint ? pEnd - pPoint - 1 : 0];
    return true;
}

// A number within limits, the whole field; false otherwise.
bool ParseNumber(std::string_view text, double dMin, double dMax, double& dValue)
{
    const char* pBegin = text.data();
    const char* pEnd = pBegin + text.size();
    if (pBegin != pEnd && *pBegin == '+')
        ++pBegin;
    if (!ParsePlainDecimal(pBegin, pEnd, dValue))
    {
        auto [pStop, error] = std::from_chars(pBegin, pEnd, dValue);
        if (pBegin == pEnd || error != std::errc() || pStop != pEnd)
            return false;
    }
    return WithinLimits(dValue, dMin, dMax);
}

// Hashes codes and identifiers so that maps keyed on text are searched with a view of a field.
struct SViewHash
{
    using is_transparent = void;
    size_t operator()(std::string_view text) const noexcept
    {
        uint64_t h = 0xcbf29ce484222325ull;
        for (char c : text)
            h = (h ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
        // The multiplications carry only upwards: fold the high bits into the low ones a mask keeps.
        return static_cast<size_t>(h ^ (h >> 32));
    }
};

// Equal texts, compared in line: the identifiers and codes compared on every row are short.
bool SameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            return false;
    return true;
}

std::string Upper(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string ColumnList(const std::vector<std::string>& names)
{
    std::string list;
    for (const auto& name : names)
        list += (list.empty() ? "" : ", ") + name;
    return list;
}

std::vector<std::string> Names(const std::vector<SCsvColumn>& columns)
{
    std::vector<std::string> names;
    for (const auto& column : columns)
        names.emplace_back(column.pszName);
    return names;
}

class CRefusals
{
public:
    explicit CRefusals(SImportReport& report) : m_report(report) {}

    void Add(const std::string& file, size_t nLine, const std::string& cause, std::string_view code, const std::string& reason,
             const std::vector<std::string_view>& fields, std::vector<SRejectedRow>& rejects)
    {
        if (m_report.refusals.size() < kMaxRefusals)
            m_report.refusals.push_back(file + ":" + std::to_string(nLine) + ": " + reason);
        ++m_report.causes[cause][std::string(code)];
        ++m_report.nRefused;
        rejects.push_back({nLine, reason, {fields.begin(), fields.end()}});
    }
    // A refusal of a whole file.
    void AddFile(const std::string& file, const std::string& reason)
    {
        m_report.refusals.push_back(file + ": " + reason);
        ++m_report.causes["unreadable file"][file];
        ++m_report.nRefused;
        m_bFileFailed = true;
    }
    bool FileFailed() const { return m_bFileFailed; }

private:
    SImportReport& m_report;
    bool m_bFileFailed = false;
};

// The tree identifiers each stand holds so far, so that a tree listed twice is refused. A table
// holds positions in a stand's tree list and compares against the identifier the record itself
// carries: a row costs one hash and no allocation. Rows of a stand usually come together: they
// share one table, cleared when the next stand begins, so that it and the records it points to
// stay in the cache; a stand whose rows come back later gets a table of its own.
class CTreeIds
{
public:
    // False when the stand already holds the id; otherwise the tree about to be appended to trees
    // (the stand's list) is entered under it, and the caller appends it at once.
    bool Insert(size_t nStand, const std::vector<SInventory>& trees, std::string_view id)
    {
        id = id.substr(0, WoxTextLength(id.data(), id.size()));   // as the record keeps it
        if (nStand == m_nCurrent)
            return m_current.Insert(trees, id);
        if (trees.empty())
        {
            m_nCurrent = nStand;
            m_current.Clear(trees);
            return m_current.Insert(trees, id);
        }
        auto [own, bNew] = m_returning.try_emplace(nStand);
        if (bNew)
            own->second.Clear(trees);
        return own->second.Insert(trees, id);
    }

private:
    // Open addressing over positions + 1 in the stand's list (0 = free), each beside the upper half
    // of its identifier's hash, so that a probe reads a record only when the halves match; a power
    // of two, at most half used.
    class CTable
    {
    public:
        // Empties the table and enters the trees the list already holds.
        void Clear(const std::vector<SInventory>& trees)
        {
            m_slots.assign(std::max({size_t{16}, std::bit_ceil(2 * trees.capacity()), std::bit_ceil(4 * trees.size())}), 0);
            const size_t nMask = m_slots.size() - 1;
            for (size_t nTree = 0; nTree < trees.size(); ++nTree)
            {
                const uint64_t nHash = Hash(Id(trees[nTree]));
                size_t i = nHash & nMask;
                while (m_slots[i] != 0)
                    i = (i + 1) & nMask;
                m_slots[i] = Slot(nHash, nTree);
            }
        }
        bool Insert(const std::vector<SInventory>& trees, std::string_view id)
        {
            if (2 * (trees.size() + 1) > m_slots.size())
                Clear(trees);
            const size_t nMask = m_slots.size() - 1;
            const uint64_t nHash = Hash(id);
            for (size_t i = nHash & nMask;; i = (i + 1) & nMask)
            {
                const uint64_t nSlot = m_slots[i];
                if (nSlot == 0)
                {
                    m_slots[i] = Slot(nHash, trees.size());
                    return true;
                }
                if ((nSlot >> 32) == (nHash >> 32) && SameText(Id(trees[(nSlot & 0xffffffffu) - 1]), id))
                    return false;
            }
        }

    private:
        static uint64_t Slot(uint64_t nHash, size_t nTree) { return (nHash & ~uint64_t{0xffffffffu}) | (nTree + 1); }

        std::vector<uint64_t> m_slots;
    };

    static uint64_t Hash(std::string_view id) { return SViewHash{}(id); }
    static std::string_view Id(const SInventory& tree) { return {tree.szTree, WoxTextLength(tree.szTree)}; }

    CTable m_current;
    size_t m_nCurrent = SIZE_MAX;
    std::unordered_map<size_t, CTable> m_returning;
};

// Reads the stand's plot design; "" or the reason it is refused.
std::string ParseDesign(const std::vector<std::string>& f, SDesign& design)
{
    const bool bPlot = !f[S_PLOT_AREA].empty(), bBaf = !f[S_BAF].empty();
    const bool bSubplot = !f[S_SUBPLOT_AREA].empty(), bBreakpoint = !f[S_BREAKPOINT].empty();
    if (bPlot && bBaf)
        return "give plot_area_m2 (fixed-area plots) or baf_m2ha (variable-radius plots), not both";
    if ((bSubplot || bBreakpoint) && !bPlot)
        return "subplot_area_m2 and breakpoint_dbh_cm need plot_area_m2";
    if (bSubplot != bBreakpoint)
        return "subplot_area_m2 and breakpoint_dbh_cm come together";
    if (!f[S_PLOTS].empty() && !bPlot && !bBaf)
        return "plots needs plot_area_m2 or baf_m2ha";
    if (!f[S_PLOTS].empty() && (!ParseNumber(f[S_PLOTS], 1.0, kMaxPlots, design.dPlots) || design.dPlots != std::floor(design.dPlots)))
        return "plots must be a whole number from 1 to " + Number(kMaxPlots) + ", not '" + f[S_PLOTS] + "'";
    if (bPlot)
    {
        design.nKind = SDesign::Fixed;
        if (!ParseNumber(f[S_PLOT_AREA], 0.0, kMaxPlotAreaM2, design.dPlotArea) || design.dPlotArea <= 0.0)
            return "plot_area_m2 must be a positive number up to " + Number(kMaxPlotAreaM2) + ", not '" + f[S_PLOT_AREA] + "'";
        if (bSubplot && (!ParseNumber(f[S_SUBPLOT_AREA], 0.0, design.dPlotArea, design.dSubplotArea) || design.dSubplotArea <= 0.0))
            return "subplot_area_m2 must be a positive number up to plot_area_m2, not '" + f[S_SUBPLOT_AREA] + "'";
        if (bBreakpoint && (!ParseNumber(f[S_BREAKPOINT], 0.0, kMaxDbhCm, design.dBreakpoint) || design.dBreakpoint <= 0.0))
            return "breakpoint_dbh_cm must be a positive number up to " + Number(kMaxDbhCm) + ", not '" + f[S_BREAKPOINT] + "'";
    }
    else if (bBaf)
    {
        design.nKind = SDesign::Variable;
        if (!ParseNumber(f[S_BAF], 0.0, kMaxBafM2Ha, design.dBaf) || design.dBaf <= 0.0)
            return "baf_m2ha must be a positive number up to " + Number(kMaxBafM2Ha) + ", not '" + f[S_BAF] + "'";
    }
    return {};
}

// The stand's Douglas-fir site index at 50 years; "" or the reason it is refused.
std::string ParseSite(const std::vector<std::string>& f, const std::function<std::string(const char*)>& canonicalSpecies, double& dSite)
{
    const std::string range = Range(kMinSiteIndexM, kMaxSiteIndexM, " m");
    double dValue = 0.0, dBaseAge = 50.0;
    if (!ParseNumber(f[S_SITE], 0.0, kMaxHeightM, dValue) || dValue <= 0.0)
        return "site_index must be a positive number of m, not '" + f[S_SITE] + "'";
    if (!f[S_BASE_AGE].empty() && !ParseNumber(f[S_BASE_AGE], kMinBaseAge, kMaxBaseAge, dBaseAge))
        return "site_base_age must be a number of years from " + Range(kMinBaseAge, kMaxBaseAge, "") + ", not '" + f[S_BASE_AGE] + "'";
    std::string species = f[S_SITE_SPECIES].empty() ? kSiteSpeciesDefault : canonicalSpecies(f[S_SITE_SPECIES].c_str());
    if (species.empty() || !IsModelledSpecies(species.c_str()))
        return "site_species '" + f[S_SITE_SPECIES] + "' has no site curve of its own in the growth model";
    if (species == kSiteSpeciesDefault && dBaseAge == 50.0)
    {
        if (!WithinLimits(dValue, kMinSiteIndexM, kMaxSiteIndexM))
            return "site_index " + f[S_SITE] + " m is outside the growth model's range of " + range;
        dSite = dValue;
        return {};
    }
    dSite = StandSiteIndex(SpeciesGrowth(species.c_str()), dValue, dBaseAge);
    if (!std::isfinite(dSite))
        return "site_index " + f[S_SITE] + " m of " + species + " at " + Number(dBaseAge) +
               " years is outside the growth model's range (Douglas-fir site index " + range + " at 50 years)";
    return {};
}
}

std::string SImportReport::Summary() const
{
    if (nRefused == 0)
        return {};
    std::string text = std::to_string(nRefused) + (nRefused == 1 ? " row" : " rows") + " refused:";
    bool bFirst = true;
    for (const auto& [cause, codes] : causes)
    {
        size_t nTotal = 0;
        std::string detail;
        size_t nShown = 0;
        for (const auto& [code, nCount] : codes)
        {
            nTotal += nCount;
            if (!code.empty() && nShown++ < 10)
                detail += (detail.empty() ? "" : ", ") + code + " " + std::to_string(nCount);
        }
        if (nShown > 10)
            detail += ", ...";
        text += std::string(bFirst ? " " : "; ") + cause + " " + std::to_string(nTotal) + (detail.empty() ? "" : " (" + detail + ")");
        bFirst = false;
    }
    return text;
}

const char* UnknownSpeciesClass(const std::string& code)
{
    int nNumber = 0;
    auto [pStop, error] = std::from_chars(code.data(), code.data() + code.size(), nNumber);
    if (!code.empty() && error == std::errc() && pStop == code.data() + code.size())
        return nNumber < 300 ? "2TN" : "2TB";
    return SpeciesGrowth(code.substr(0, kMaxSpecies).c_str()).pszCode;
}

bool ReadSpeciesMap(const std::string& path, const std::function<std::string(const char*)>& canonicalSpecies, std::map<std::string, std::string>& map,
                    std::string* pError)
{
    std::string failure, error;
    std::vector<std::string> unknown;
    bool bRead = CCsvTable::Read(
        path, {{"code", true}, {"species", true}},
        [&](size_t nLine, const std::vector<std::string_view>& fields, const char* pszProblem) {
            if (!failure.empty())
                return;
            const std::vector<std::string> f(fields.begin(), fields.end());
            std::string target = pszProblem || f[1].size() > kMaxSpecies ? std::string() : canonicalSpecies(f[1].c_str());
            if (pszProblem)
                failure = path + ":" + std::to_string(nLine) + ": " + pszProblem;
            else if (f[0].empty())
                failure = path + ":" + std::to_string(nLine) + ": empty code";
            else if (target.empty())
                failure = path + ":" + std::to_string(nLine) + ": '" + f[1] + "' is not a species of the catalogue";
            else
                map[Upper(f[0])] = target;
        },
        unknown, &error);
    if (!bRead)
        failure = path + ": " + error;
    if (!failure.empty() && pError)
        *pError = failure;
    return failure.empty();
}

bool WriteRejects(const std::string& path, const std::vector<std::string>& columns, const std::vector<SRejectedRow>& rows, std::string* pError)
{
    std::string text;
    auto field = [&](const std::string& value, bool bLast) {
        if (value.find_first_of(",\"\r\n") == std::string::npos)
            text += value;
        else
        {
            text += '"';
            for (char c : value)
                text += c == '"' ? std::string("\"\"") : std::string(1, c);
            text += '"';
        }
        text += bLast ? "\n" : ",";
    };
    field("line", false);
    field("reason", columns.empty());
    for (size_t i = 0; i < columns.size(); ++i)
        field(columns[i], i + 1 == columns.size());
    for (const SRejectedRow& row : rows)
    {
        field(std::to_string(row.nLine), false);
        field(row.reason, columns.empty());
        for (size_t i = 0; i < columns.size(); ++i)
            field(i < row.fields.size() ? row.fields[i] : std::string(), i + 1 == columns.size());
    }
    return WoxReplaceFile(path, text, pError);
}

bool ParseProjectCsv(const std::string& standsPath, const std::string& treesPath, const std::function<std::string(const char*)>& canonicalSpecies,
                     const SImportOptions& options, SProject& project, SImportReport& report)
{
    report = SImportReport{};
    report.standColumns = Names(kStandColumns);
    report.treeColumns = Names(kTreeColumns);
    CRefusals refusals(report);
    project = SProject{};
    project.name = options.name;
    project.nFirstYear = options.nFirstYear;
    project.nPeriodLength = options.nPeriodLength;
    std::unordered_map<std::string, size_t> standIndex;
    std::unordered_set<std::string> refusedStands;
    std::vector<SDesign> designs;
    std::vector<std::string> unknownColumns;
    std::string error;
    auto progress = [&](const std::string& file) {
        return options.progress ? CCsvTable::Progress([&, file](double dShare) { options.progress(file, dShare); }) : CCsvTable::Progress();
    };
    auto noteUnknownColumns = [&](const std::string& file) {
        if (!unknownColumns.empty())
            report.notices.push_back(file + ": ignored the column" + (unknownColumns.size() == 1 ? " " : "s ") + ColumnList(unknownColumns));
    };

    bool bStands = CCsvTable::Read(
        standsPath, kStandColumns,
        [&](size_t nLine, const std::vector<std::string_view>& fields, const char* pszProblem) {
            // A file holds far fewer stands than trees: the checks work on copies.
            const std::vector<std::string> f(fields.begin(), fields.end());
            auto refuse = [&](const std::string& cause, const std::string& reason) {
                refusals.Add(standsPath, nLine, cause, "", reason, fields, report.standRejects);
                if (!f.empty() && !f[S_ID].empty())
                    refusedStands.insert(f[S_ID]);
            };
            SDesign design;
            double dArea = 0.0, dSite = 0.0, dYear = project.nFirstYear, dAge = -1.0;
            std::string why;
            if (pszProblem)
                return refuse("wrong column count", pszProblem);
            if (f[S_ID].empty())
                return refuse("empty stand identifier", "empty stand identifier");
            if (f[S_ID].size() > kMaxStandId)
                return refuse("stand identifier too long", "stand identifier " + f[S_ID] + " is longer than 30 characters");
            if (standIndex.count(f[S_ID]))
                return refuse("stand listed twice", "stand " + f[S_ID] + " is listed twice");
            if (!ParseNumber(f[S_AREA], 0.0, kMaxStandAreaHa, dArea) || dArea <= 0.0)
                return refuse("bad area_ha", "area_ha must be a positive number up to " + Number(kMaxStandAreaHa) + ", not '" + f[S_AREA] + "'");
            if (!(why = ParseSite(f, canonicalSpecies, dSite)).empty())
                return refuse("site index refused", why);
            if (!f[S_YEAR].empty() && (!ParseNumber(f[S_YEAR], kFirstCalendarYear, project.nFirstYear, dYear) || dYear != std::floor(dYear)))
                return refuse("bad inventory_year", "inventory_year must be a year from " + std::to_string(kFirstCalendarYear) + " to the first year " +
                                                        std::to_string(project.nFirstYear) + ", not '" + f[S_YEAR] + "'");
            if (!f[S_AGE].empty() && !ParseNumber(f[S_AGE], 0.0, kMaxStandAge, dAge))
                return refuse("bad stand_age", "stand_age must be a number of years from 0 to " + Number(kMaxStandAge) + ", not '" + f[S_AGE] + "'");
            if (!(why = ParseDesign(f, design)).empty())
                return refuse("bad plot design", why);
            standIndex.emplace(f[S_ID], project.stands.size());
            SProjectStand stand{f[S_ID], dArea, dSite, {}};
            stand.nInventoryYear = static_cast<int>(dYear);
            stand.dStandAge = dAge;
            project.stands.push_back(std::move(stand));
            designs.push_back(design);
        },
        unknownColumns, &error, progress(standsPath));
    if (!bStands)
        refusals.AddFile(standsPath, error);
    noteUnknownColumns(standsPath);

    struct SUnknownSpecies
    {
        std::string target;
        size_t nRecords = 0;
    };
    std::map<std::string, SUnknownSpecies> unknownSpecies;   // as written
    struct SSpecies
    {
        std::string code;                    // in the catalogue's spelling
        SUnknownSpecies* pUnknown = nullptr; // its entry when the catalogue lacks it
    };
    using TSpeciesCache = std::unordered_map<std::string, SSpecies, SViewHash, std::equal_to<>>;
    TSpeciesCache speciesCache;   // as written
    // Rows name a handful of codes over and over: the last one met per slot (by length, the first
    // three letters and the last) is tried before the hashing. Entries of the cache stay where
    // they are.
    TSpeciesCache::value_type* recentSpecies[256] = {};
    auto recentSlot = [](std::string_view code) {
        const size_t nLast = code.size() - 1;
        auto letter = [&](size_t i) { return uint64_t{static_cast<unsigned char>(code[std::min(i, nLast)])}; };
        const uint64_t nKey = letter(0) | letter(1) << 8 | letter(2) << 16 | letter(nLast) << 24 | uint64_t{code.size()} << 32;
        return static_cast<size_t>((nKey * 0x9E3779B97F4A7C15ull) >> 56);
    };
    CTreeIds treeIds;
    // Most rows repeat the stand of the row before: those skip the hashing.
    std::string lastStand;
    size_t nLastStand = 0;
    std::vector<char> heightsMissing(project.stands.size(), 0);   // for each stand
    // A stand's tree list is reserved, on its first tree, for as many trees as the stand begun
    // before it holds by then: inventories' stands are of a size, and a list that grows by
    // doubling copies and touches about three times the memory it keeps. A wrong guess costs
    // at most that stand's memory once more, never touched.
    size_t nFilling = SIZE_MAX;
    // The tree lists are written once, record by record, and kept: room for as many records as
    // the file could hold, made when the first row arrives (the file has been read by then),
    // spares the first writes a trip to the system for every small page.
    std::error_code sizeError;
    const uintmax_t nTreeFileBytes = std::filesystem::file_size(treesPath, sizeError);
    const size_t nTreeRoom = sizeError ? 0 : static_cast<size_t>(std::min<uintmax_t>(nTreeFileBytes, CCsvTable::kMaxFileBytes)) / kShortestTreeRow * sizeof(SInventory);
    bool bRoomMade = false;
    bool bTrees = bStands && CCsvTable::Read(
        treesPath, kTreeColumns,
        [&](size_t nLine, const std::vector<std::string_view>& f, const char* pszProblem) {
            // Texts for messages are made only on the way to a refusal.
            auto refuse = [&](const std::string& cause, std::string_view code, const std::string& reason) {
                refusals.Add(treesPath, nLine, cause, code, reason, f, report.treeRejects);
            };
            auto text = [&](size_t nColumn) { return std::string(f[nColumn]); };
            if (!bRoomMade)
            {
                WoxReserveHeap(nTreeRoom);
                bRoomMade = true;
            }
            if (pszProblem)
                return refuse("wrong column count", "", pszProblem);
            if (lastStand.empty() || !SameText(f[T_STAND], lastStand))
            {
                auto stand = standIndex.find(text(T_STAND));
                if (stand == standIndex.end())
                {
                    if (refusedStands.count(text(T_STAND)))
                        return refuse("stand refused", f[T_STAND], "stand '" + text(T_STAND) + "' was refused in " + standsPath);
                    return refuse("unknown stand", f[T_STAND],
                                  f[T_STAND].size() > kMaxStandId ? "stand identifier " + text(T_STAND) + " is longer than 30 characters"
                                                                  : "unknown stand '" + text(T_STAND) + "'");
                }
                lastStand = f[T_STAND];
                nLastStand = stand->second;
            }
            const size_t nStand = nLastStand;
            if (f[T_TREE].empty() || f[T_TREE].size() > kMaxTreeId)
                return refuse("bad tree_id", "", "tree identifier must have 1 to 23 characters");
            if (f[T_SPECIES].empty())
                return refuse("empty species", "", "empty species code");
            const std::string_view code = f[T_SPECIES];
            TSpeciesCache::value_type*& pRecent = recentSpecies[recentSlot(code)];
            if (!pRecent || !SameText(pRecent->first, code))
            {
                auto cached = speciesCache.find(code);
                if (cached == speciesCache.end())
                {
                    const std::string written = text(T_SPECIES);
                    SSpecies species{written.size() > kMaxSpecies ? std::string() : canonicalSpecies(written.c_str())};
                    if (species.code.empty())
                    {
                        auto mapped = options.speciesMap.find(Upper(written));
                        species.code = mapped != options.speciesMap.end() ? mapped->second : canonicalSpecies(UnknownSpeciesClass(written));
                        if (species.code.empty())
                            return refuse("unknown species", written, "unknown species '" + written + "' and the catalogue has no class for it");
                        species.pUnknown = &unknownSpecies[written];
                        species.pUnknown->target = species.code;
                    }
                    cached = speciesCache.emplace(written, std::move(species)).first;
                }
                pRecent = &*cached;
            }
            const SSpecies& species = pRecent->second;
            const SDesign& design = designs[nStand];
            double dDbh = 0.0, dHeight = 0.0, dTpha = 0.0;
            if (!ParseNumber(f[T_DBH], 0.0, kMaxDbhCm, dDbh))
                return refuse("bad dbh_cm", "", "dbh_cm must be a number from " + Range(0, kMaxDbhCm, " cm") + ", not '" + text(T_DBH) + "'");
            if (!f[T_HEIGHT].empty() && !ParseNumber(f[T_HEIGHT], 0.0, kMaxHeightM, dHeight))
                return refuse("bad height_m", "", "height_m must be a number from " + Range(0, kMaxHeightM, " m") + " or empty, not '" + text(T_HEIGHT) + "'");
            if (dDbh <= 0.0 && dHeight <= 0.0)
                return refuse("no size", "", "a tree needs a diameter or a height");
            if (design.nKind == SDesign::Direct)
            {
                if (!ParseNumber(f[T_TPHA], 0.0, kMaxStemsPerHa, dTpha) || dTpha <= 0.0)
                    return refuse("bad tpha", "", "tpha must be a positive number up to " + Number(kMaxStemsPerHa) + ", not '" + text(T_TPHA) + "'");
            }
            else if (!f[T_TPHA].empty())
                return refuse("tpha with a plot design", f[T_STAND], "tpha is given, but stand " + text(T_STAND) + " has a plot design; leave one of them empty");
            else if (design.nKind == SDesign::Fixed)
                dTpha = 10000.0 / ((design.dBreakpoint > 0.0 && dDbh < design.dBreakpoint ? design.dSubplotArea : design.dPlotArea) * design.dPlots);
            else if (dDbh <= 0.0)
                return refuse("no diameter on a variable-radius plot", "", "a tree of a variable-radius plot needs a positive dbh_cm");
            else
            {
                const double dBasalArea = std::numbers::pi / 4.0 * (dDbh / 100.0) * (dDbh / 100.0);
                dTpha = design.dBaf / dBasalArea / design.dPlots;
                if (dTpha > kMaxStemsPerHa)
                    return refuse("bad tpha", "", "dbh_cm " + text(T_DBH) + " on a variable-radius plot stands for more than " + Number(kMaxStemsPerHa) + " stems/ha");
            }
            std::vector<SInventory>& trees = project.stands[nStand].trees;
            if (trees.capacity() == 0)
            {
                if (nFilling != SIZE_MAX)
                    trees.reserve(project.stands[nFilling].trees.size());
                nFilling = nStand;
            }
            if (!treeIds.Insert(nStand, trees, f[T_TREE]))
                return refuse("tree listed twice", f[T_STAND], "tree " + text(T_TREE) + " of stand " + text(T_STAND) + " is listed twice");
            if (species.pUnknown)
                ++species.pUnknown->nRecords;
            if (dHeight <= 0.0)
                heightsMissing[nStand] = 1;
            // The list is written once, front to back, and outgrows the cache: ask for the lines of
            // a record a few rows ahead, so that they are there when that row comes.
            constexpr size_t kAhead = 4;
            if (trees.size() + kAhead < trees.capacity())
                __builtin_prefetch(trees.data() + trees.size() + kAhead, 1);
            FillTree(trees.emplace_back(), f[T_STAND], f[T_TREE], species.code, dDbh, dHeight, dTpha);
        },
        unknownColumns, &error, progress(treesPath));
    if (bStands && !bTrees)
        refusals.AddFile(treesPath, error);
    if (bStands)
        noteUnknownColumns(treesPath);

    if (!unknownSpecies.empty())
    {
        std::string text;
        for (const auto& [code, unknown] : unknownSpecies)
            text += (text.empty() ? "" : ", ") + code + " -> " + unknown.target + " (" + std::to_string(unknown.nRecords) + ")";
        report.notices.push_back("species not in the catalogue, grown as the class or species given (records): " + text);
    }
    for (size_t nStand = 0; nStand < project.stands.size(); ++nStand)
        if (heightsMissing[nStand])
            report.nHeightsFilled += CGrowthModel::FillMissingHeights(project.stands[nStand].trees, project.stands[nStand].dSiteIndex);
    if (report.nHeightsFilled)
        report.notices.push_back("filled " + std::to_string(report.nHeightsFilled) + " missing heights from the growth model's height-diameter curves");
    if (refusals.FileFailed())
        return false;
    if (project.stands.empty())
    {
        if (report.nRefused == 0)
            refusals.AddFile(standsPath, "no stands");
        return false;
    }
    return report.nRefused == 0 || options.bSkipBadRows;
}
