#include "SpeciesParameters.h"

#include <cstring>

namespace
{
// Taper b1 values give total-stem form factors (outside bark, 30 m tree) of 0.38 (-2.106),
// 0.40 (-2.279), 0.42 (-2.52), 0.44 (-2.877) and 0.45 (-3.13) with b2 = 1.
constexpr SSpeciesGrowth s_rows[] = {
    // code    name                   broad  curve                  k      c     SIr   Ybh  tol   SDImax  b0    CRo   Hs    Hb     b1      b2   bark
    {"PSME", "Douglas-fir", false, SITE_CURVE_KING_1966, 0.0, 0.0, 1.00, 6.0, 0.35, 1470.0, 1.44, 0.85, 1.15, -13.4, -3.13, 1.0, 0.90},
    {"TSHE", "western hemlock", false, SITE_CURVE_WILEY_1978, 0.0, 0.0, 0.95, 8.0, 0.90, 1730.0, 1.36, 0.90, 1.12, -12.5, -2.877, 1.0, 0.93},
    {"THPL", "western redcedar", false, SITE_CURVE_WILEY_1978, 0.0, 0.0, 0.80, 9.0, 0.85, 1730.0, 1.26, 0.90, 1.10, -12.0, -2.279, 1.0, 0.93},
    {"ABAM", "Pacific silver fir", false, SITE_CURVE_GUIDE, 0.020, 1.35, 0.85, 9.0, 0.90, 1600.0, 1.26, 0.90, 1.12, -13.0, -3.13, 1.0, 0.93},
    {"ABGR", "grand fir", false, SITE_CURVE_GUIDE, 0.022, 1.30, 0.95, 8.0, 0.70, 1550.0, 1.36, 0.90, 1.12, -13.0, -3.13, 1.0, 0.91},
    {"PICO", "lodgepole pine", false, SITE_CURVE_GUIDE, 0.035, 1.15, 0.65, 6.0, 0.10, 1730.0, 1.10, 0.80, 1.05, -10.5, -2.877, 1.0, 0.95},
    {"PIPO", "ponderosa pine", false, SITE_CURVE_GUIDE, 0.025, 1.20, 0.75, 7.0, 0.20, 1110.0, 1.20, 0.80, 1.10, -12.0, -2.52, 1.0, 0.87},
    {"PISI", "Sitka spruce", false, SITE_CURVE_GUIDE, 0.022, 1.30, 1.00, 7.0, 0.70, 1730.0, 1.40, 0.90, 1.15, -13.4, -2.877, 1.0, 0.95},
    {"ALRU2", "red alder", true, SITE_CURVE_GUIDE, 0.060, 1.00, 0.85, 2.0, 0.10, 1110.0, 1.55, 0.75, 1.00, -8.5, -2.279, 1.0, 0.95},
    {"ACMA3", "bigleaf maple", true, SITE_CURVE_GUIDE, 0.040, 1.00, 0.70, 4.0, 0.60, 1000.0, 1.30, 0.80, 1.00, -9.0, -2.106, 1.0, 0.94},
    {"2TN", "other conifer", false, SITE_CURVE_GUIDE, 0.022, 1.25, 0.85, 7.0, 0.50, 1450.0, 1.30, 0.85, 1.10, -12.5, -2.877, 1.0, 0.92},
    {"2TB", "other broadleaf", true, SITE_CURVE_GUIDE, 0.045, 1.00, 0.70, 4.0, 0.40, 1000.0, 1.30, 0.80, 1.00, -9.0, -2.279, 1.0, 0.94},
};
constexpr size_t kRows = sizeof s_rows / sizeof s_rows[0];
constexpr size_t kConiferClass = kRows - 2;
constexpr size_t kBroadleafClass = kRows - 1;

// Two-letter genus prefixes of broadleaf plant symbols; every other symbol counts as a conifer.
constexpr const char* kBroadleafGenera[] = {"AC", "AE", "AI", "AL", "AM", "AR", "BE", "CO", "CR", "FA", "FR", "GL", "IL", "LI",
                                            "MA", "NY", "OS", "PL", "PO", "PR", "QU", "RO", "SA", "TI", "UL", "UM"};

// The symbol as an upper-case, terminated string of at most 10 characters.
void Normalise(const char* pszCode, char (&szCode)[11])
{
    std::memset(szCode, 0, sizeof szCode);
    for (size_t i = 0; pszCode && i < 10 && pszCode[i]; ++i)
        szCode[i] = (pszCode[i] >= 'a' && pszCode[i] <= 'z') ? static_cast<char>(pszCode[i] - 'a' + 'A') : pszCode[i];
}

const SSpeciesGrowth* FindRow(const char (&szCode)[11])
{
    for (const SSpeciesGrowth& row : s_rows)
        if (std::strcmp(row.pszCode, szCode) == 0)
            return &row;
    return nullptr;
}
}

const SSpeciesGrowth& SpeciesGrowth(const char* pszCode)
{
    char szCode[11];
    Normalise(pszCode, szCode);
    if (const SSpeciesGrowth* pRow = FindRow(szCode))
        return *pRow;
    for (const char* pszGenus : kBroadleafGenera)
        if (szCode[0] == pszGenus[0] && szCode[1] == pszGenus[1])
            return s_rows[kBroadleafClass];
    return s_rows[kConiferClass];
}

bool IsModelledSpecies(const char* pszCode)
{
    char szCode[11];
    Normalise(pszCode, szCode);
    const SSpeciesGrowth* pRow = FindRow(szCode);
    return pRow && pRow != &s_rows[kConiferClass] && pRow != &s_rows[kBroadleafClass];
}

const SSpeciesGrowth* SpeciesGrowthTable(size_t& nRows)
{
    nRows = kRows;
    return s_rows;
}
