#include "Numbers.h"

#include "Error.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace {

QChar g_decimalSeparator = QLatin1Char('.');

bool isDigit(QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

} // namespace

QChar DecimalSeparator() { return g_decimalSeparator; }

void SetDecimalSeparator(QChar separator) { g_decimalSeparator = separator; }

Extended ParseDecimal(const QString& text)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    auto skipBlanks = [&] {
        while (i < n && text[i].unicode() == ' ')
            ++i;
    };

    skipBlanks();
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }

    Extended accumulator = 0;
    bool readSomething = false;
    while (i < n && isDigit(text[i])) {
        accumulator = accumulator * 10 + (text[i].unicode() - '0');
        readSomething = true;
        ++i;
    }
    long long fractionCount = 0;
    if (i < n && text[i] == g_decimalSeparator) {
        readSomething = true;
        ++i;
        while (i < n && isDigit(text[i])) {
            accumulator = accumulator * 10 + (text[i].unicode() - '0');
            ++fractionCount;
            ++i;
        }
    }
    if (!readSomething)
        throw InvalidFloatValue(text);

    long long exponent = 0;
    if (i < n && (text[i] == QLatin1Char('E') || text[i] == QLatin1Char('e'))) {
        ++i;
        bool negativeExponent = false;
        if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
            negativeExponent = text[i] == QLatin1Char('-');
            ++i;
        }
        // Reading stops once the exponent reaches 500; a digit after that stays unread.
        while (i < n && isDigit(text[i]) && exponent < 500) {
            exponent = exponent * 10 + (text[i].unicode() - '0');
            ++i;
        }
        if (negativeExponent)
            exponent = -exponent;
    }
    skipBlanks();
    if (i != n)
        throw InvalidFloatValue(text);

    // 10^10000 is already beyond the extended range, so larger powers change nothing.
    const long long power = exponent - fractionCount;
    const auto magnitude = static_cast<unsigned>(std::min<long long>(power < 0 ? -power : power, 10000));
    Extended value = power >= 0 ? accumulator * Power10(magnitude) : accumulator / Power10(magnitude);
    if (negative)
        value = -value;
    if (!std::isfinite(value))
        throw InvalidFloatValue(text);
    return value;
}

std::int32_t ParseInteger(const QString& text)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && text[i].unicode() == ' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }

    bool hex = false;
    if (i < n && (text[i] == QLatin1Char('$') || text[i] == QLatin1Char('x') || text[i] == QLatin1Char('X'))) {
        hex = true;
        ++i;
    } else if (i + 1 < n && text[i] == QLatin1Char('0')
               && (text[i + 1] == QLatin1Char('x') || text[i + 1] == QLatin1Char('X'))) {
        hex = true;
        i += 2;
    }

    std::uint64_t value = 0;
    qsizetype digits = 0;
    if (hex) {
        for (; i < n; ++i) {
            const int h = hexValue(text[i]);
            if (h < 0)
                break;
            value = value * 16 + static_cast<unsigned>(h);
            if (value > 0xFFFFFFFFu)
                throw InvalidIntegerValue(text);
            ++digits;
        }
    } else {
        const std::uint64_t limit = negative ? 2147483648u : 2147483647u;
        for (; i < n && isDigit(text[i]); ++i) {
            value = value * 10 + (text[i].unicode() - '0');
            if (value > limit)
                throw InvalidIntegerValue(text);
            ++digits;
        }
    }
    if (digits == 0 || i != n)
        throw InvalidIntegerValue(text);

    // A hexadecimal value is a 32-bit pattern: from 80000000 upwards it is negative.
    const auto pattern = static_cast<std::uint32_t>(value);
    const std::uint32_t result = negative ? 0u - pattern : pattern;
    return static_cast<std::int32_t>(result);
}

namespace {

constexpr int kMaxDigit = 37;

using DigitFactors = std::array<double, 2 * kMaxDigit + 1>;

// The factor of each digit as a stored double, worked out once instead of on every call (on
// first use, so that a caller's own static initialisation finds it ready).
const DigitFactors& digitFactors()
{
    static const DigitFactors table = [] {
        DigitFactors factors{};
        for (int digit = -kMaxDigit; digit <= kMaxDigit; ++digit) {
            const unsigned magnitude = static_cast<unsigned>(digit < 0 ? -digit : digit);
            double factor = 1;
            if (digit > 0)
                factor = store(Power10(magnitude));
            else if (digit < 0)
                factor = store(1.0L / Power10(magnitude));
            factors[static_cast<std::size_t>(digit + kMaxDigit)] = factor;
        }
        return factors;
    }();
    return table;
}

} // namespace

double RoundToDigit(double x, int digit)
{
    if (digit < -kMaxDigit || digit > kMaxDigit)
        RaiseInvalidOperation();
    const double factor = digitFactors()[static_cast<std::size_t>(digit + kMaxDigit)];

    const Extended quotient = Extended(x) / factor; // every factor of the table is above zero
    // The current mode: nearest, ties to even. rint, not nearbyint: the two differ only in the
    // inexact flag, which nothing reads, and nearbyint saves and restores the whole x87
    // environment around the rounding, which costs more than the rest of this function.
    const Extended rounded = std::rint(quotient);
    if (!(rounded >= -0x1p63L && rounded < 0x1p63L))
        RaiseInvalidOperation();
    return store(rounded * factor);
}

QString FormatNumber(Extended x)
{
    if (std::isnan(x))
        RaiseInvalidOperation();
    if (std::isinf(x))
        RaiseOverflow();
    if (x == 0)
        return QStringLiteral("0");

    // The decimal expansion of |x| to 18 significant digits, rounded to nearest.
    char buffer[64];
    const int length = std::snprintf(buffer, sizeof buffer, "%.17Le", std::fabs(x));
    char digits[19];
    int count = 0;
    int p = 0;
    for (; p < length && buffer[p] != 'e'; ++p) {
        if (buffer[p] >= '0' && buffer[p] <= '9' && count < 18)
            digits[count++] = buffer[p];
    }
    // printf writes d.ddd…e±X, that is 0.dddd × 10^(X+1).
    int exponent = std::atoi(buffer + p + 1) + 1;

    // 15 significant digits, rounding half up on the 18-digit expansion.
    count = 15;
    if (digits[15] >= '5') {
        int k = 14;
        while (k >= 0 && digits[k] == '9') {
            digits[k] = '0';
            --k;
        }
        if (k < 0) {
            digits[0] = '1';
            count = 1;
            ++exponent;
        } else {
            ++digits[k];
        }
    }
    while (count > 1 && digits[count - 1] == '0')
        --count;

    QString text;
    text.reserve(32);
    if (x < 0)
        text += QLatin1Char('-');
    const QChar separator = g_decimalSeparator;
    if (exponent >= -3 && exponent <= 15) {
        if (exponent > 0) {
            for (int k = 0; k < exponent; ++k)
                text += k < count ? QLatin1Char(digits[k]) : QLatin1Char('0');
            if (count > exponent) {
                text += separator;
                for (int k = exponent; k < count; ++k)
                    text += QLatin1Char(digits[k]);
            }
        } else {
            text += QLatin1Char('0');
            text += separator;
            for (int k = 0; k < -exponent; ++k)
                text += QLatin1Char('0');
            for (int k = 0; k < count; ++k)
                text += QLatin1Char(digits[k]);
        }
    } else {
        text += QLatin1Char(digits[0]);
        if (count > 1) {
            text += separator;
            for (int k = 1; k < count; ++k)
                text += QLatin1Char(digits[k]);
        }
        text += QLatin1Char('E');
        const int shown = exponent - 1;
        if (shown < 0)
            text += QLatin1Char('-');
        text += QString::number(shown < 0 ? -shown : shown);
    }
    return text;
}

QString IntToStr(std::int32_t value) { return QString::number(value); }

bool IsMissingInput(const QString& text) { return text.isEmpty() || text == QLatin1String("0"); }
