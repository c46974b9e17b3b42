#pragma once
// Stem volume of one tree from its species' stem profile (taper) equation, in m3. Diameters in
// cm at breast height (1.3 m) outside bark, heights in m. Conventions and the profile are in
// README.md beside this file.

#include "SpeciesParameters.h"

// Merchantable volume: inside bark, from a 0.3 m stump to a 10 cm top inside bark, trees of at
// least 15 cm diameter.
constexpr double kStumpHeight = 0.3;            // m
constexpr double kMerchantableTop = 10.0;       // cm inside bark
constexpr double kMerchantableMinDbh = 15.0;    // cm

enum ENBark : int
{
    BARK_OUTSIDE,
    BARK_INSIDE,
};

// Whole stem from the ground to the tip; 0 for a tree below breast height or without diameter.
double TotalStemVolume(const SSpeciesGrowth& species, double dDbh, double dHeight, ENBark nBark);

// Merchantable volume (inside bark); 0 below the merchantable diameter.
double MerchantableVolume(const SSpeciesGrowth& species, double dDbh, double dHeight);

// Diameter at a height on the stem, cm (0 at and above the tip).
double StemDiameter(const SSpeciesGrowth& species, double dDbh, double dHeight, double dAt, ENBark nBark);
