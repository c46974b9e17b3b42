#pragma once
// Builds a project from a stands file and a trees file (CSV, see README.md beside this file for
// every column, its unit and default). Columns are found by their header names; unknown ones are
// ignored with one notice. Per stand the trees carry stems per hectare directly or come from a
// plot design (fixed-area plots with an optional smaller plot below a breakpoint diameter, or
// variable-radius plots with a basal area factor) that the import expands to per hectare.
// Missing heights are filled from the growth model; unknown species codes fall to the catalogue's
// "other conifer" / "other broadleaf" classes or to the class a species map names.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ProjectDatabase.h"

struct SImportOptions
{
    std::string name;
    int nFirstYear = 2025;
    int nPeriodLength = 5;
    bool bSkipBadRows = false;                     // import the good rows, answer the bad ones in rejects
    std::map<std::string, std::string> speciesMap; // upper-case code -> catalogue code
    std::function<void(const std::string& file, double dShare)> progress;
};

// A refused row of one file, with the fields the import read from it (in the file's requested
// column order) for a rejects file.
struct SRejectedRow
{
    size_t nLine = 0;
    std::string reason;
    std::vector<std::string> fields;
};

struct SImportReport
{
    std::vector<std::string> refusals;   // "FILE:LINE: reason", the first 50
    size_t nRefused = 0;
    std::map<std::string, std::map<std::string, size_t>> causes;   // cause -> offending code -> rows
    std::vector<std::string> notices;    // unknown columns, mapped species, filled heights
    size_t nHeightsFilled = 0;
    // Per file (stands, trees): its header names and refused rows.
    std::vector<std::string> standColumns, treeColumns;
    std::vector<SRejectedRow> standRejects, treeRejects;

    // "N rows refused: ..." with counts per cause and code.
    std::string Summary() const;
};

// Parses and checks both files into project. canonicalSpecies answers a plant symbol in the
// catalogue's spelling, "" for one it lacks. Answers false when a file cannot be read or a row
// was refused (unless options.bSkipBadRows, where refused rows are only reported).
bool ParseProjectCsv(const std::string& standsPath, const std::string& treesPath, const std::function<std::string(const char*)>& canonicalSpecies,
                     const SImportOptions& options, SProject& project, SImportReport& report);

// Reads a species map file with the columns code and species: each code (any case) maps to the
// catalogue code in species. False with "FILE:LINE: reason" in *pError.
bool ReadSpeciesMap(const std::string& path, const std::function<std::string(const char*)>& canonicalSpecies, std::map<std::string, std::string>& map,
                    std::string* pError);

// The class an unknown species code falls to: a numeric code (the usual numeric species codes of
// national inventories) is a conifer below 300 and a broadleaf from 300; a plant symbol whose
// genus prefix is a broadleaf one is "other broadleaf"; every other code "other conifer".
const char* UnknownSpeciesClass(const std::string& code);

// Writes rejected rows as CSV (line, reason, then the columns) to path, replacing it whole.
bool WriteRejects(const std::string& path, const std::vector<std::string>& columns, const std::vector<SRejectedRow>& rows, std::string* pError);
