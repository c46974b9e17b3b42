#pragma once
// A project: a folder holding project.db (SQLite) and a scenarios/ folder. The database has the
// tables project (name, first year, period length in years), stands (identifier of at most 30
// characters, area in ha, site index in m at 50 years, and optionally the inventory year and
// the stand's age then) and trees (stand, tree identifier, species
// plant symbol, diameter at breast height in cm, height in m, stems per hectare it represents).

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "Containers.h"

struct SProjectStand
{
    std::string id;
    double dArea = 0.0;        // ha
    double dSiteIndex = 0.0;   // m at 50 years
    std::vector<SInventory> trees;
    int nInventoryYear = 0;    // year the trees were measured; 0 = the project's first year
    double dStandAge = -1.0;   // years at the inventory; negative = not known
};

struct SProject
{
    std::string name;
    int nFirstYear = 0;
    int nPeriodLength = 0;   // years
    std::vector<SProjectStand> stands;
};

constexpr const char* WOX_PROJECT_DATABASE = "project.db";
constexpr const char* WOX_PROJECT_SCENARIOS = "scenarios";
// Species the project adds to the host's catalogue (same columns as the catalogue).
constexpr const char* WOX_PROJECT_SPECIES = "species.csv";

// Creates the project folder (if needed), its scenarios/ folder and project.db. Refuses a folder
// that already holds a project. project.db is written whole as the last step (also when another
// import into the folder runs at the same time, one of them wins); false with *pError on
// failure, in which case no database is left behind.
bool WriteProject(const std::string& folder, const SProject& project, std::string* pError);

// Reads a whole project; false with one line in *pError when the folder holds no readable
// project: a missing table or column is named, and so is a value out of the limits of
// ForestLimits.h (with its stand and tree).
bool ReadProject(const std::string& folder, SProject& project, std::string* pError);

// Rewrites every tree's species code in the spelling canonicalSpecies answers; false with the
// tree named when it answers "" (an unknown species).
bool CanonicalSpecies(SProject& project, const std::function<std::string(const char*)>& canonicalSpecies, std::string* pError);

// Fills a tree record (stand, tree, species text fields are copied with bounded copies).
SInventory MakeTree(std::string_view stand, std::string_view tree, std::string_view species, double dDbh, double dHeight, double dTpha);
// The same in place, into a record that is all zeros (as one just added to a list is).
void FillTree(SInventory& record, std::string_view stand, std::string_view tree, std::string_view species, double dDbh, double dHeight,
              double dTpha);
