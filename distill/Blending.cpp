#include "Blending.h"

#include "Extended.h"
#include "Numbers.h"

Outcome CalculateMixStrength(const QString& volume1, const QString& strength1, const QString& volume2,
                             const QString& strength2)
{
    return RunCalculation([&](Outcome& outcome) {
        const QString result = QStringLiteral("Label30");
        outcome.deliver(result, QStringLiteral("0"));

        // Only the exact text "0" counts as missing, so "0.0" is converted (and two such
        // volumes end in 0/0).
        if (IsMissingInput(volume1) || IsMissingInput(strength1) || IsMissingInput(volume2) ||
            IsMissingInput(strength2)) {
            outcome.warning = QStringLiteral("Введите данные!");
            return;
        }

        const double V1 = ParseStored(volume1);
        const double S1 = ParseStored(strength1);
        const double V2 = ParseStored(volume2);
        const double S2 = ParseStored(strength2);
        const double strength = store(divide(Extended(V1) * S1 + Extended(V2) * S2, Extended(V1) + V2));
        outcome.deliver(result, FormatRounded(strength, -1) + QStringLiteral("  %об."));
    });
}

Outcome CalculateSpiritAndWater(const QString& initialStrength, const QString& finalStrength,
                                const QString& requiredVolume)
{
    return RunCalculation([&](Outcome& outcome) {
        const double Si = ParseStored(initialStrength);
        const double Sf = ParseStored(finalStrength);
        const double V = ParseStored(requiredVolume);

        const double spirit = store(divide(Extended(V) * Sf, Si));
        outcome.deliver(QStringLiteral("Label46"), FormatRounded(spirit, -2) + QStringLiteral("  мл."));

        // The water is what the unrounded spirit leaves of the required volume.
        const double water = store(Extended(V) - spirit);
        outcome.deliver(QStringLiteral("Label52"), FormatRounded(water, -2) + QStringLiteral("  мл."));
    });
}
