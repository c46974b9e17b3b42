#include "DemoForest.h"

#include <cmath>
#include <cstdio>

#include "GrowthModel.h"

namespace
{
// A small portable generator (64-bit LCG, top bits): std distributions differ between libraries.
class CDemoRandom
{
public:
    explicit CDemoRandom(uint32_t nSeed) : m_nState(nSeed * 6364136223846793005ull + 1442695040888963407ull) {}
    double Uniform()
    {
        m_nState = m_nState * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<double>(m_nState >> 11) / 9007199254740992.0;
    }
    double Between(double a, double b) { return a + (b - a) * Uniform(); }

private:
    uint64_t m_nState;
};

struct SStandType
{
    const char* pszName;
    const char* pszSpecies[3];
    double dShare[3];
};

const SStandType kTypes[] = {
    {"DF", {"PSME", "TSHE", "THPL"}, {0.70, 0.20, 0.10}},
    {"WH", {"TSHE", "PSME", "ABAM"}, {0.60, 0.25, 0.15}},
    {"MX", {"PSME", "ALRU2", "ACMA3"}, {0.50, 0.35, 0.15}},
    {"PP", {"PIPO", "PSME", "PICO"}, {0.65, 0.20, 0.15}},
    {"LP", {"PICO", "PIPO", "ABGR"}, {0.70, 0.15, 0.15}},
};
}

SProject MakeDemoForest(const SDemoForestOptions& options)
{
    CDemoRandom random(options.nSeed);
    SProject project;
    project.name = "Demo Forest";
    project.nFirstYear = options.nFirstYear;
    project.nPeriodLength = options.nPeriodLength;
    for (int nStand = 0; nStand < options.nStands; ++nStand)
    {
        const SStandType& type = kTypes[static_cast<size_t>(nStand) % (sizeof kTypes / sizeof kTypes[0])];
        char szId[32];
        std::snprintf(szId, sizeof szId, "%s-%03d", type.pszName, nStand + 1);
        SProjectStand stand;
        stand.id = szId;
        stand.dArea = std::round(random.Between(2.0, 40.0) * 10.0) / 10.0;
        stand.dSiteIndex = std::round(random.Between(22.0, 38.0));
        const double dQmd = random.Between(12.0, 30.0);            // cm
        const double dBasalArea = random.Between(18.0, 42.0);      // m2/ha
        const double dStems = dBasalArea / (3.14159265358979 / 4.0 * (dQmd / 100.0) * (dQmd / 100.0));
        const double dTpha = dStems / options.nTreesPerStand;
        for (int nTree = 0; nTree < options.nTreesPerStand; ++nTree)
        {
            double dPick = random.Uniform();
            int nSpecies = dPick < type.dShare[0] ? 0 : dPick < type.dShare[0] + type.dShare[1] ? 1 : 2;
            const char* pszSpecies = type.pszSpecies[nSpecies];
            // Diameters spread around the quadratic mean: a gamma-like skew from two uniforms.
            double dDbh = dQmd * (0.45 + 0.8 * (random.Uniform() + random.Uniform()) / 2.0 + 0.25 * random.Uniform() * random.Uniform());
            dDbh = std::round(dDbh * 10.0) / 10.0;
            double dHeight = CGrowthModel::EstimateHeight(pszSpecies, dDbh, stand.dSiteIndex) * random.Between(0.9, 1.1);
            dHeight = std::round(dHeight * 10.0) / 10.0;
            char szTree[24];
            std::snprintf(szTree, sizeof szTree, "%d", nTree + 1);
            stand.trees.push_back(MakeTree(stand.id, szTree, pszSpecies, dDbh, dHeight, std::round(dTpha * 1000.0) / 1000.0));
        }
        project.stands.push_back(std::move(stand));
    }
    return project;
}
