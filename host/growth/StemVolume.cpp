#include "StemVolume.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr double kPi = 3.14159265358979323846;

// Squared relative diameter g(x) = b1 (x - 1) + b2 (x^2 - 1) at relative height x = h / H, and
// its integral G(x) = b1 (x^2/2 - x) + b2 (x^3/3 - x).
double Profile(const SSpeciesGrowth& s, double x) { return s.dTaperB1 * (x - 1.0) + s.dTaperB2 * (x * x - 1.0); }
double ProfileIntegral(const SSpeciesGrowth& s, double x)
{
    return s.dTaperB1 * (x * x / 2.0 - x) + s.dTaperB2 * (x * x * x / 3.0 - x);
}

bool Measurable(double dDbh, double dHeight)
{
    return dDbh > 0.0 && dHeight > 1.3 && std::isfinite(dDbh) && std::isfinite(dHeight);
}

// Volume between relative heights x0 < x1 outside bark, m3: the profile is scaled to pass
// through the diameter at breast height.
double SectionVolume(const SSpeciesGrowth& s, double dDbh, double dHeight, double x0, double x1)
{
    const double dAtBreast = Profile(s, 1.3 / dHeight);
    const double dBasal = kPi / 4.0 * (dDbh / 100.0) * (dDbh / 100.0);
    return dBasal * dHeight * (ProfileIntegral(s, x1) - ProfileIntegral(s, x0)) / dAtBreast;
}
}

double TotalStemVolume(const SSpeciesGrowth& species, double dDbh, double dHeight, ENBark nBark)
{
    if (!Measurable(dDbh, dHeight))
        return 0.0;
    const double dVolume = SectionVolume(species, dDbh, dHeight, 0.0, 1.0);
    return nBark == BARK_INSIDE ? dVolume * species.dBarkRatio * species.dBarkRatio : dVolume;
}

double StemDiameter(const SSpeciesGrowth& species, double dDbh, double dHeight, double dAt, ENBark nBark)
{
    if (!Measurable(dDbh, dHeight) || dAt >= dHeight)
        return 0.0;
    const double x = std::max(0.0, dAt) / dHeight;
    const double dDiameter = dDbh * std::sqrt(std::max(0.0, Profile(species, x) / Profile(species, 1.3 / dHeight)));
    return nBark == BARK_INSIDE ? dDiameter * species.dBarkRatio : dDiameter;
}

double MerchantableVolume(const SSpeciesGrowth& species, double dDbh, double dHeight)
{
    if (!Measurable(dDbh, dHeight) || dDbh < kMerchantableMinDbh || dHeight <= kStumpHeight)
        return 0.0;
    // Relative height of the top: g(x) = g(xb) (top / dbh)^2 outside bark, a quadratic in x.
    const double dTop = kMerchantableTop / species.dBarkRatio;
    const double dTarget = Profile(species, 1.3 / dHeight) * (dTop / dDbh) * (dTop / dDbh);
    const double a = species.dTaperB2, b = species.dTaperB1, c = -species.dTaperB1 - species.dTaperB2 - dTarget;
    double xTop;
    if (std::fabs(a) < 1e-12)
        xTop = -c / b;
    else
    {
        const double dDiscriminant = b * b - 4.0 * a * c;
        if (dDiscriminant < 0.0)
            return 0.0;
        // The profile falls from the ground to the tip: the root inside [0, 1] is the smaller one.
        xTop = (-b - std::sqrt(dDiscriminant)) / (2.0 * a);
    }
    const double xStump = kStumpHeight / dHeight;
    if (!(xTop > xStump))
        return 0.0;
    xTop = std::min(xTop, 1.0);
    return SectionVolume(species, dDbh, dHeight, xStump, xTop) * species.dBarkRatio * species.dBarkRatio;
}
