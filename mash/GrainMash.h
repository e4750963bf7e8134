#pragma once
// The grain mash recipe: from the four quantities of the grain settings to the mash volume,
// grain, malt, yeast, permanganate and the yield of 50 % raw spirit. No widgets.

#include "Outcome.h"

#include <QString>
#include <QStringList>

// The texts of section Options_1 as the calculator last read them.
struct GrainSettingsTexts {
    QString vKub; // V_kub: volume of the still, litres
    QString vVod; // V_vod: water per kilogram of grain, litres
    QString sDr;  // S_dr: dry yeast per kilogram of grain, grams
    QString pDr;  // P_dr: pressed yeast per kilogram of grain, grams

    // From the four values in key order; a list of any other length gives empty texts.
    static GrainSettingsTexts fromList(const QStringList& values);
};

// Section Options_1 of the settings file and its keys, in the order they are read and written.
QString GrainSettingsSection();
QStringList GrainSettingsKeys();

// The nine result texts in the order they are written: Label11 (mash), Label13 (volume per
// kilogram), Label54 (grain), Label12 (malt), Label14 (dry yeast), Label15 (pressed yeast),
// Label17 (permanganate), Label52 (theoretical yield), Label53 (real yield). A conversion or
// arithmetic failure ends it, with the texts before it delivered.
Outcome CalculateGrainMash(const GrainSettingsTexts& settings);
