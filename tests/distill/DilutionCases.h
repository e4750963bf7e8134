#pragma once
// The cases of the water dilution calculator on the real reference table (ALC.FDB), shared by
// the test of the computation and the tests that press Button4 of the real main window.
//
// Columns (as in CutsCases.h):
//   inputs      Edit4 (volume, ml), Edit5 (strength, % vol), Edit6 (required strength, % vol)
//   deliveries  "Label=text" for each text written, in the order written
//   warning     the warning box's text, or empty
//   error       the message of the error that ends the calculation, or empty

#include "CutsCases.h"

namespace cases {

inline const QString kNoSuchData = QStringLiteral("Нет таких данных!");

inline QStringList Dilution(const char* water, const char* volume)
{
    return {QStringLiteral("Label13=") + QString::fromUtf8(water) + QStringLiteral(" мл."),
            QStringLiteral("Label14=") + QString::fromUtf8(volume) + QStringLiteral(" мл.")};
}

inline void WaterDilutionRealTableRows()
{
    Columns();
    // The table holds strength by mass and density unrounded, so the new volume is exactly
    // volume × strength ÷ required strength; the water is what calculators built on the same
    // standard give (773.5 g).
    Row("1000 ml of 70 % to 40 %", {"1000", "70", "40"}, Dilution("773.52", "1750"));
    Row("1000 ml of 96 % to 40 %", {"1000", "96", "40"}, Dilution("1467.89", "2400"));
    Row("500 ml of 96 % to 40 %", {"500", "96", "40"}, Dilution("733.94", "1200"));
    Row("equal strengths", {"1000", "40", "40"}, Dilution("0", "1000"));
    Row("required above the spirit", {"1000", "40", "70"}, Dilution("-442.01", "571.43"));
    Row("strengths with tenths", {"250", "55.5", "38.2"}, Dilution("115.65", "363.22"));
    Row("0.0 passes the checks, then divides by zero", {"1000", "70", "0.0"}, {}, {}, kZeroDivide);
    Row("spirit strength above the table", {"1000", "100.1", "40"}, {}, kMissing);
    Row("required strength above the table", {"1000", "70", "100.1"}, {}, kNoSuchData);
    Row("pasted SQL as the strength", {"1000", "70); delete from alc; --", "40"}, {}, {},
        NotAFloat(QStringLiteral("70); delete from alc; --")));
    Row("pasted SQL as the required strength", {"1000", "70", "40); delete from alc; --"}, {}, {},
        NotAFloat(QStringLiteral("40); delete from alc; --")));
    Row("a volume that is no number", {"1.2.3", "70", "40"}, {}, {}, NotAFloat(QStringLiteral("1.2.3")));
    Row("volume 0", {"0", "70", "40"}, {}, kMissing);
    Row("required strength empty", {"1000", "70", ""}, {}, kMissing);
}

} // namespace cases
