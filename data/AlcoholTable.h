#pragma once
// Water–ethanol mixtures at 20 °C by the international formula of the alcoholometric tables:
// density as a polynomial in the mass fraction of ethanol, and strength by volume from it.
// Everything here is computed; nothing is typed in from a printed table.

#include <vector>

struct AlcoholRow {
    double byVolume; // strength, % vol at 20 °C
    double byMass;   // strength, % mass
    double density;  // g/ml at 20 °C
};

// Density in kg/m³ at 20 °C of a mixture whose ethanol mass fraction is p (0 to 1).
long double DensityAt20(long double massFraction);

// Ethanol volume fraction (0 to 1) at 20 °C of a mixture of mass fraction p.
long double VolumeFractionAt20(long double massFraction);

// The mixture of the given strength by volume (0 to 100): the mass fraction is solved for by
// bisection to the last bit of a double.
AlcoholRow AlcoholAtStrength(double byVolume);

// The reference table: 0.0 to 100.0 % vol in steps of 0.1, 1001 rows, unrounded.
std::vector<AlcoholRow> AlcoholTable();
