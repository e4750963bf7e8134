#include "SugarMash.h"

#include "Extended.h"
#include "Numbers.h"

SugarSettings SugarSettings::fromList(const QStringList& values)
{
    if (values.size() != 5)
        return {};
    return {values[0], values[1], values[2], values[3], values[4]};
}

QStringList SugarSettingsKeys()
{
    return {QStringLiteral("kolvo1"), QStringLiteral("kolvo2"), QStringLiteral("kolvo3"),
            QStringLiteral("kolvo4"), QStringLiteral("kolvo5")};
}

QString SugarKilogramsText(std::int32_t grams)
{
    // Integer division truncates toward zero, as the kilograms are meant to.
    return QStringLiteral("=  ") + IntToStr(grams / 1000) + QStringLiteral("кг.");
}

Outcome CalculateSugarMash(const QString& weightText, const SugarSettings& settings)
{
    return RunCalculation([&](Outcome& out) {
        auto show = [&out](const char* label, double value, const char* suffix = "") {
            out.deliver(QString::fromLatin1(label), FormatRounded(value, 0) + QString::fromUtf8(suffix));
        };

        const double W = ParseInteger(weightText);

        const double S = store(Extended(W) / 1.587L);
        show("Label13", S);
        const double k1 = ParseStored(settings.water);
        const double V = store(Extended(W) * k1);
        show("Label14", V);
        show("Label15", store(Extended(S) + V));

        const double k2 = ParseStored(settings.dryYeast);
        show("Label16", store(Extended(W) * k2 / 1000));
        const double k3 = ParseStored(settings.pressedYeast);
        show("Label17", store(Extended(W) * k3 / 1000));
        const double k4 = ParseStored(settings.urea);
        const double U = store(Extended(W) * k4 / 1000);
        show("Label18", U);
        const double k5 = ParseStored(settings.superphosphate);
        const double P = store(Extended(W) * k5 / 1000);
        show("Label46", P);
        show("Label45", store(Extended(U) + P), "  гр.");

        const double D = store(0.515L * W);
        show("Label37", D);
        show("Label41", store(0.95L * D));
        const double E = store(0.538L * W);
        show("Label38", E);
        show("Label42", store(0.85L * E));
        const double F = store(Extended(E) / 0.78927L);
        show("Label39", F);
        show("Label43", store(0.85L * F));
        const double Q = store(1.59915L * W);
        show("Label40", Q);
        show("Label44", store(0.85L * Q));
    });
}
