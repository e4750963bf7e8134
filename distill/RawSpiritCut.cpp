#include "RawSpiritCut.h"

#include "Extended.h"
#include "Numbers.h"

namespace {

const QString kMissingInput = QStringLiteral("Введите данные!");

Outcome Missing()
{
    Outcome outcome;
    outcome.warning = kMissingInput;
    return outcome;
}

} // namespace

Outcome CalculateRawSpiritCut(const QString& volume, const QString& strength)
{
    // Edit3 plays no part here: only the two texts of this calculation are tested.
    if (IsMissingInput(volume) || IsMissingInput(strength))
        return Missing();

    return RunCalculation([&](Outcome& outcome) {
        const double V = ParseStored(volume);
        const double S = ParseStored(strength);
        const double A = store(Extended(V) * S / 100);
        const double M = store(Extended(A) * 1000);
        const double H = store(Extended(M) * 10 / 100);
        const double I = store(Extended(M) * 5 / 100);
        const double B = store((Extended(M) - H - I) / 1000);

        // Everything is computed before the first label is written; only the rounding of the
        // body can still fail, after the three texts before it.
        outcome.deliver(QStringLiteral("Label3"), FormatNumber(A) + QStringLiteral(" лит."));
        outcome.deliver(QStringLiteral("Label4"), FormatNumber(H) + QStringLiteral("  мл."));
        outcome.deliver(QStringLiteral("Label37"), FormatNumber(I) + QStringLiteral("  мл."));
        outcome.deliver(QStringLiteral("Label38"), FormatRounded(B, -2) + QStringLiteral(" лит."));
    });
}

Outcome CalculateMashHeads(const QString& sugar)
{
    if (IsMissingInput(sugar))
        return Missing();

    return RunCalculation([&](Outcome& outcome) {
        // Reset first, so that a text that fails to convert leaves "0", not an old result.
        outcome.deliver(QStringLiteral("Label7"), QStringLiteral("0"));
        double X = ParseStored(sugar);
        X = store(Extended(X) * 50);
        outcome.deliver(QStringLiteral("Label7"), FormatRounded(X, -1) + QStringLiteral("  мл."));
    });
}
