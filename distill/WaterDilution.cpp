#include "WaterDilution.h"

#include "Extended.h"
#include "Numbers.h"

WaterDilution CalculateWaterDilution(const QString& volumeText, const ReferenceRow& spirit,
                                     const ReferenceRow& target)
{
    const double spiritFraction = store(Extended(spirit.P_MAS) / 100);
    const double targetFraction = store(Extended(target.P_MAS) / 100);
    const double volume = ParseStored(volumeText);
    const double spiritMass = store(Extended(volume) * spirit.PL);
    const double alcoholMass = store(Extended(spiritMass) * spiritFraction);
    const double waterInSpirit = store(Extended(spiritMass) - alcoholMass);
    const double targetWaterShare = store(1 - Extended(targetFraction));
    // The quotient first, then the product, in one extended step.
    const double waterAtTarget = store(divide(alcoholMass, targetFraction) * targetWaterShare);
    const double waterToAdd = store(Extended(waterAtTarget) - waterInSpirit);
    const double totalMass = store(Extended(alcoholMass) + waterAtTarget);
    const double newVolume = store(divide(totalMass, target.PL));
    return {waterToAdd, newVolume};
}

Outcome RunWaterDilution(const QString& volumeText, const QString& strengthText, const QString& requiredText,
                         const ReferenceLookup& lookup)
{
    return RunCalculation([&](Outcome& outcome) {
        const QString* const fields[] = {&volumeText, &strengthText, &requiredText};
        for (const QString* text : fields) {
            if (*text == QLatin1String("0")) {
                outcome.warning = QStringLiteral("Введите данные!");
                return;
            }
        }
        for (const QString* text : fields) {
            if (text->isEmpty()) {
                outcome.warning = QStringLiteral("Введите данные!");
                return;
            }
        }

        const std::optional<ReferenceRow> spirit = lookup(strengthText);
        if (!spirit) {
            outcome.warning = QStringLiteral("Введите данные!");
            return;
        }
        const std::optional<ReferenceRow> target = lookup(requiredText);
        if (!target) {
            outcome.warning = QStringLiteral("Нет таких данных!");
            return;
        }

        const WaterDilution result = CalculateWaterDilution(volumeText, *spirit, *target);
        outcome.deliver(QStringLiteral("Label13"), FormatRounded(result.waterToAdd, -2) + QStringLiteral(" мл."));
        outcome.deliver(QStringLiteral("Label14"), FormatRounded(result.newVolume, -2) + QStringLiteral(" мл."));
    });
}
