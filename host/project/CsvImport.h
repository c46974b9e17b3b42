#pragma once
// Builds a project from two CSV files:
//   stands: stand_id,area_ha,site_index
//   trees:  stand_id,tree_id,species,dbh_cm,height_m,tpha
// Each file starts with that header line. Every bad row is refused with "FILE:LINE: reason";
// one refusal means no project is written.

#include <functional>
#include <string>
#include <vector>

#include "ProjectDatabase.h"

struct SImportOptions
{
    std::string name;
    int nFirstYear = 2025;
    int nPeriodLength = 5;
};

// Parses and checks both files into project. canonicalSpecies answers a plant symbol in the
// catalogue's spelling, "" for an unknown one; trees keep that spelling. Answers false with the
// refusals (at most 50 are kept, then a count line). Only regular files are read, line by line.
bool ParseProjectCsv(const std::string& standsPath, const std::string& treesPath, const std::function<std::string(const char*)>& canonicalSpecies,
                     const SImportOptions& options, SProject& project, std::vector<std::string>& refusals);
