#include "AlcoholTable.h"

#include <cmath>

namespace {

// A1..A12 of the 20 °C density polynomial, kg/m³.
constexpr long double kA[12] = {
    9.982012300e2L,  -1.929769495e2L, 3.891238958e2L,  -1.668103923e3L,
    1.352215441e4L,  -8.829278388e4L, 3.062874042e5L,  -6.138381234e5L,
    7.470172998e5L,  -5.478461354e5L, 2.234460334e5L,  -3.903285426e4L,
};

// Density of pure ethanol at 20 °C that defines strength by volume, kg/m³.
constexpr long double kEthanolDensity = 789.24L;

} // namespace

long double DensityAt20(long double p)
{
    long double sum = 0;
    for (int k = 11; k >= 0; --k)
        sum = sum * p + kA[k];
    return sum;
}

long double VolumeFractionAt20(long double p) { return p * DensityAt20(p) / kEthanolDensity; }

AlcoholRow AlcoholAtStrength(double byVolume)
{
    const long double target = static_cast<long double>(byVolume) / 100;
    // The volume fraction rises monotonically with the mass fraction. The polynomial's pure
    // ethanol (789.2391 kg/m³) sits a hair below the defining 789.24, so 100 % vol is reached
    // only at p = 1 and the search keeps to [0, 1].
    double lo = 0;
    double hi = 1;
    if (target <= 0) {
        hi = 0;
    } else {
        for (;;) {
            const double mid = lo + (hi - lo) / 2;
            if (mid <= lo || mid >= hi)
                break;
            if (VolumeFractionAt20(mid) < target)
                lo = mid;
            else
                hi = mid;
        }
    }
    const long double errorLo = std::fabs(VolumeFractionAt20(lo) - target);
    const long double errorHi = std::fabs(VolumeFractionAt20(hi) - target);
    const double p = errorLo < errorHi ? lo : hi;
    return {byVolume, static_cast<double>(100.0L * p), static_cast<double>(DensityAt20(p) / 1000)};
}

std::vector<AlcoholRow> AlcoholTable()
{
    std::vector<AlcoholRow> rows;
    rows.reserve(1001);
    for (int tenths = 0; tenths <= 1000; ++tenths)
        rows.push_back(AlcoholAtStrength(tenths / 10.0));
    return rows;
}
