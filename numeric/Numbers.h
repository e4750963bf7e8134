#pragma once
// Field text to number and number to result text, by the program's own rules:
// never the user's regional settings, never a thousands separator.

#include "Extended.h"

#include <QString>
#include <cstdint>

// The one process-wide decimal separator used by ParseDecimal and FormatNumber.
QChar DecimalSeparator();
void SetDecimalSeparator(QChar separator);

// Field text → extended value, or Error "'%s' is not a valid floating point value".
// The caller stores the value as a double (store()), which may raise "Floating point overflow".
Extended ParseDecimal(const QString& text);

// Field text → signed 32-bit integer (decimal, or hexadecimal after "$", "x", "0x"),
// or Error "'%s' is not a valid integer value".
std::int32_t ParseInteger(const QString& text);

// x rounded to a multiple of 10^digit, ties to even, through a 64-bit integer;
// digit from -37 to 37. A quotient outside the int64 range raises the invalid-operation error.
double RoundToDigit(double x, int digit);

// The general number format with 15 significant digits ("0.3", "1E-5", "1E15").
QString FormatNumber(Extended x);

// A signed 32-bit integer as decimal text, no grouping.
QString IntToStr(std::int32_t value);

// A field counts as missing when its text is empty or exactly "0".
bool IsMissingInput(const QString& text);

// Convenience for the calculators: ParseDecimal then store as a double.
inline double ParseStored(const QString& text) { return store(ParseDecimal(text)); }

// FormatNumber(RoundToDigit(x, digit)).
inline QString FormatRounded(double x, int digit) { return FormatNumber(RoundToDigit(x, digit)); }
