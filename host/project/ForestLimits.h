#pragma once
// What a forest can hold. Values outside these ranges are mistakes (wrong units, typing errors,
// damaged files), not forests: they are refused where they enter (CSV import, the project
// database, treatment parameter blocks) before the growth model or the chart meet them.

#include <cmath>

#include "SiteCurves.h"

constexpr double kMaxDbhCm = 500.0;
constexpr double kMaxHeightM = 150.0;
constexpr double kMaxStemsPerHa = 1e6;
constexpr double kMaxStandAreaHa = 1e6;
constexpr double kMaxBasalAreaM2Ha = 500.0;
// The growth model's site index range (m of top height at 50 years).
constexpr double kMinSiteIndexM = kSiteIndexMin;
constexpr double kMaxSiteIndexM = kSiteIndexMax;
constexpr int kFirstCalendarYear = 1000;
constexpr int kLastCalendarYear = 3000;
constexpr int kMinPeriodLength = 1;
constexpr int kMaxPeriodLength = 50;

// A finite number from dMin to dMax.
inline bool WithinLimits(double dValue, double dMin, double dMax) { return std::isfinite(dValue) && dValue >= dMin && dValue <= dMax; }
