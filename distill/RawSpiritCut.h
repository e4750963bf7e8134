#pragma once
// Planning the cuts of a distillation run: heads, intermediate fraction and body from the
// raw spirit, and the heads to take off a sugar mash.

#include "Outcome.h"

#include <QString>

// Volume of raw spirit (litres) and its strength (% by volume) → Label3 (absolute alcohol,
// litres), Label4 (heads, ml), Label37 (intermediate, ml), Label38 (body, litres, to
// hundredths); or the warning "Введите данные!" when either text is empty or exactly "0".
Outcome CalculateRawSpiritCut(const QString& volume, const QString& strength);

// Sugar in the mash (kg) → Label7 (heads, ml, to tenths: 50 ml per kg); Label7 reads "0"
// before the text is converted. Warning "Введите данные!" when the text is empty or "0".
Outcome CalculateMashHeads(const QString& sugar);
