#pragma once
// Water dilution by mass fraction: the water to add to a spirit to bring it down to a required
// strength, and the volume that results, from the strengths by mass and densities of the
// reference table. Volumes are never simply added.

#include "Outcome.h"
#include "ReferenceDatabase.h"

#include <QString>
#include <functional>
#include <optional>

struct WaterDilution {
    double waterToAdd; // grams, shown as millilitres
    double newVolume;  // millilitres
};

// The volume text (ml) is converted here, after both rows have been fetched; results unrounded.
WaterDilution CalculateWaterDilution(const QString& volumeText, const ReferenceRow& spirit,
                                     const ReferenceRow& target);

// The reference lookup for a strength text: a row, no row, or an Error.
using ReferenceLookup = std::function<std::optional<ReferenceRow>(const QString&)>;

// The whole press of "Расcчитать ВОДУ": the missing-input checks, the lookup for the spirit's
// strength, then for the required strength, the calculation, then Label13 and Label14 (each
// to hundredths with " мл."). A missing field or no row for the spirit: warning
// "Введите данные!"; no row for the required strength: "Нет таких данных!"; nothing is
// delivered before both results exist.
Outcome RunWaterDilution(const QString& volumeText, const QString& strengthText, const QString& requiredText,
                         const ReferenceLookup& lookup);
