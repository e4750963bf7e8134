#include "GrainMash.h"

#include "Extended.h"
#include "Numbers.h"

namespace {

// What one kilogram of grain adds to the volume of the mixture, in litres: five sevenths,
// kept in extended precision.
constexpr Extended GrainVolumePerKg = 5.0L / 7;

} // namespace

GrainSettingsTexts GrainSettingsTexts::fromList(const QStringList& values)
{
    if (values.size() != 4)
        return {};
    return {values.at(0), values.at(1), values.at(2), values.at(3)};
}

QString GrainSettingsSection() { return QStringLiteral("Options_1"); }

QStringList GrainSettingsKeys()
{
    return {QStringLiteral("V_kub"), QStringLiteral("V_vod"), QStringLiteral("S_dr"), QStringLiteral("P_dr")};
}

Outcome CalculateGrainMash(const GrainSettingsTexts& settings)
{
    return RunCalculation([&](Outcome& out) {
        // The still is filled to seven tenths.
        const double stillVolume = ParseStored(settings.vKub);
        const double mash = store(Extended(stillVolume) * 7 / 10);
        out.deliver(QStringLiteral("Label11"), FormatRounded(mash, 0));

        const double waterPerKg = ParseStored(settings.vVod);
        const double volumePerKg = store(waterPerKg + GrainVolumePerKg);
        out.deliver(QStringLiteral("Label13"), FormatRounded(volumePerKg, -2));

        const double grain = store(divide(mash, volumePerKg));
        out.deliver(QStringLiteral("Label54"), FormatRounded(grain, 0));

        const double malt = store(0.15L * grain);
        out.deliver(QStringLiteral("Label12"), FormatRounded(malt, -2));

        const double dryPerKg = ParseStored(settings.sDr);
        const double dryYeast = store(Extended(dryPerKg) * grain);
        out.deliver(QStringLiteral("Label14"), FormatRounded(dryYeast, -2));

        const double pressedPerKg = ParseStored(settings.pDr);
        const double pressedYeast = store(Extended(pressedPerKg) * grain);
        out.deliver(QStringLiteral("Label15"), FormatRounded(pressedYeast, -2));

        // 0.2 g to 4 kg of grain.
        const double permanganate = store(0.2L * grain / 4);
        out.deliver(QStringLiteral("Label17"), FormatRounded(permanganate, -2));

        // Half a litre of 50 % spirit per kilogram in theory, 85 % of that in practice.
        const double theoretical = store(Extended(grain) * 1 / 2);
        out.deliver(QStringLiteral("Label52"), FormatRounded(theoretical, 0));

        const double real = store(0.85L * theoretical);
        out.deliver(QStringLiteral("Label53"), FormatRounded(real, -2));
    });
}
