#pragma once
#include <QChar>

// True for the characters a numeric field accepts: backspace, line feed, carriage return,
// "." and the digits.
bool IsNumericKey(QChar key);

// The key filter of the numeric fields: a refused character is replaced by the null
// character (so the field never receives it), then "Нет такой цыфры!" is shown.
void FilterNumericKey(QChar& key);
