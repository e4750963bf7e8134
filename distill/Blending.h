#pragma once
// Blending: the strength of a mix of two liquids, and the spirit and water that make up a
// required volume at a required strength (by simple proportion, without contraction).

#include "Outcome.h"

#include <QString>

// Volumes (litres) and strengths (% by volume) of two liquids → Label30 (the strength of the
// mix, to tenths, "  %об."). Label30 reads "0" first; the warning "Введите данные!" follows
// when any text is exactly "0" or empty.
Outcome CalculateMixStrength(const QString& volume1, const QString& strength1, const QString& volume2,
                             const QString& strength2);

// Initial strength, final strength (% by volume) and required volume (ml) → Label46 (spirit,
// ml, to hundredths) and Label52 (water, ml, to hundredths). No missing-input test.
Outcome CalculateSpiritAndWater(const QString& initialStrength, const QString& finalStrength,
                                const QString& requiredVolume);
