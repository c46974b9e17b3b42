#pragma once
// The demo forest: a deterministic synthetic project of mixed-species stands (the same seed
// always gives the same forest, on every platform).

#include <cstdint>

#include "ProjectDatabase.h"

struct SDemoForestOptions
{
    int nStands = 50;
    int nTreesPerStand = 240;
    uint32_t nSeed = 20250101;
    int nFirstYear = 2025;
    int nPeriodLength = 5;
};

SProject MakeDemoForest(const SDemoForestOptions& options);
