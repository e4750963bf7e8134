#pragma once
// The sugar mash recipe and its yield: from the sugar weight and the five quantities per
// kilogram of sugar (texts, converted only where each is first used) to the result texts.

#include "Outcome.h"

#include <QString>
#include <QStringList>
#include <cstdint>

// The five settings texts, as read from section Options (kolvo1 … kolvo5).
struct SugarSettings {
    QString water;          // k1, litres of water per kilogram of sugar
    QString dryYeast;       // k2, grams per kilogram
    QString pressedYeast;   // k3, grams per kilogram
    QString urea;           // k4, grams per kilogram
    QString superphosphate; // k5, grams per kilogram

    // From the five values in key order; a list of any other length gives empty texts.
    static SugarSettings fromList(const QStringList& values);
};

// The keys of section Options, in the order they are read and written.
QStringList SugarSettingsKeys();

// "=  " + whole kilograms (toward zero) + "кг.": 1999 → "=  1кг.", -1500 → "=  -1кг.".
QString SugarKilogramsText(std::int32_t grams);

// Delivers, in this order: Label13 sugar volume, Label14 water, Label15 total volume,
// Label16 dry yeast, Label17 pressed yeast, Label18 urea, Label46 superphosphate,
// Label45 salts total ("  гр." appended), Label37/Label41 carbon dioxide, Label38/Label42
// ethanol mass, Label39/Label43 ethanol volume, Label40/Label44 40 % product — each
// theoretical, then real. Every value is rounded to units for display only; later steps
// use the unrounded doubles. A failing conversion or arithmetic step ends it there, with
// the earlier results kept.
Outcome CalculateSugarMash(const QString& weightText, const SugarSettings& settings);
