#pragma once
// The cases of the cut and blending calculators, shared by the tests of the computations and
// the tests that press the buttons of the real main window.
//
// Columns of every table:
//   inputs      the field texts, in the order the computation takes them
//   deliveries  "Label=text" for each text written, in the order written
//   warning     the warning box's text, or empty
//   error       the message of the error that ends the calculation, or empty

#include <QString>
#include <QStringList>
#include <QTest>

namespace cases {

inline const QString kMissing = QStringLiteral("Введите данные!");
inline const QString kInvalidOp = QStringLiteral("Invalid floating point operation");
inline const QString kZeroDivide = QStringLiteral("Floating point division by zero");
inline const QString kOverflow = QStringLiteral("Floating point overflow");
inline QString NotAFloat(const QString& text) { return QStringLiteral("'%1' is not a valid floating point value").arg(text); }

// A text too long for a double: 1 followed by 400 zeros.
inline QString Huge() { return QStringLiteral("1") + QString(400, QLatin1Char('0')); }

inline void Columns()
{
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QStringList>("deliveries");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<QString>("error");
}

inline void Row(const char* name, const QStringList& inputs, const QStringList& deliveries,
                const QString& warning = {}, const QString& error = {})
{
    QTest::newRow(name) << inputs << deliveries << warning << error;
}

// Volume (Edit1) and strength (Edit2) → Label3, Label4, Label37, Label38.
inline void RawSpiritCutRows()
{
    Columns();
    // body == nullptr: the body's label is never reached.
    auto cut = [](const char* a, const char* h, const char* i, const char* b) {
        QStringList texts{QStringLiteral("Label3=") + QString::fromUtf8(a) + QStringLiteral(" лит."),
                          QStringLiteral("Label4=") + QString::fromUtf8(h) + QStringLiteral("  мл."),
                          QStringLiteral("Label37=") + QString::fromUtf8(i) + QStringLiteral("  мл.")};
        if (b != nullptr)
            texts.append(QStringLiteral("Label38=") + QString::fromUtf8(b) + QStringLiteral(" лит."));
        return texts;
    };
    Row("built-in texts", {"0", "0"}, {}, kMissing);
    Row("strength empty", {"10", ""}, {}, kMissing);
    Row("volume empty", {"", "40"}, {}, kMissing);
    Row("volume zero", {"0", "40"}, {}, kMissing);
    Row("strength zero", {"10", "0"}, {}, kMissing);
    Row("10 l at 40", {"10", "40"}, cut("4", "400", "200", "3.4"));
    Row("5 l at 96", {"5", "96"}, cut("4.8", "480", "240", "4.08"));
    Row("1.5 l at 96.6", {"1.5", "96.6"}, cut("1.449", "144.9", "72.45", "1.23"));
    Row("12.5 l at 45.5", {"12.5", "45.5"}, cut("5.6875", "568.75", "284.375", "4.83"));
    Row("tiny volume", {"0.0001", "1"}, cut("1E-6", "0.0001", "5E-5", "0"));
    Row("long result", {"10000000000000", "100"},
        cut("10000000000000", "1E15", "500000000000000", "8500000000000"));
    Row("body beyond rounding", {"1000000000000000000", "100"}, cut("1E18", "1E20", "5E19", nullptr), {},
        kInvalidOp);
    Row("point alone", {".", "40"}, cut("0", "0", "0", "0"));
    Row("double zero", {"00", "40"}, cut("0", "0", "0", "0"));
    Row("volume not a number", {"1.2.3", "40"}, {}, {}, NotAFloat("1.2.3"));
    Row("strength not a number", {"10", "1..2"}, {}, {}, NotAFloat("1..2"));
    Row("volume beyond double", {Huge(), "40"}, {}, {}, kOverflow);
    Row("product beyond double", {"1e300", "1e300"}, {}, {}, kOverflow);
}

// Sugar (Edit3) → Label7.
inline void MashHeadsRows()
{
    Columns();
    auto heads = [](const char* ml) {
        return QStringList{"Label7=0", QStringLiteral("Label7=") + QString::fromUtf8(ml) + QStringLiteral("  мл.")};
    };
    Row("built-in text", {"0"}, {}, kMissing);
    Row("empty", {""}, {}, kMissing);
    Row("3 kg", {"3"}, heads("150"));
    Row("1.23 kg", {"1.23"}, heads("61.5"));
    Row("half below the tie", {"12.345"}, heads("617.2"));
    Row("0.15 below its decimal", {"0.003"}, heads("0.1"));
    Row("exact tie to even", {"0.001"}, heads("0"));
    Row("point alone", {"."}, heads("0"));
    Row("two points", {"1..2"}, {"Label7=0"}, {}, NotAFloat("1..2"));
    Row("beyond rounding", {"200000000000000000"}, {"Label7=0"}, {}, kInvalidOp);
    Row("sugar beyond double", {Huge()}, {"Label7=0"}, {}, kOverflow);
    Row("heads beyond double", {"1e308"}, {"Label7=0"}, {}, kOverflow);
}

// First volume (Edit7), first strength (Edit8), second volume (Edit9), second strength
// (Edit10) → Label30.
inline void MixStrengthRows()
{
    Columns();
    auto mix = [](const char* strength) {
        return QStringList{"Label30=0", QStringLiteral("Label30=") + QString::fromUtf8(strength) + QStringLiteral("  %об.")};
    };
    const QStringList reset{"Label30=0"};
    Row("built-in texts", {"0", "0", "0", "0"}, reset, kMissing);
    Row("1 l at 96 with 2 l at 40", {"1", "96", "2", "40"}, mix("58.7"));
    Row("3 l at 40 with 1 l at 0.5", {"3", "40", "1", "0.5"}, mix("30.1"));
    Row("water as 0", {"1", "96", "1", "0"}, reset, kMissing);
    Row("water as 0.0", {"1", "96", "1", "0.0"}, mix("48"));
    Row("second volume empty", {"1", "96", "", "40"}, reset, kMissing);
    Row("first strength empty", {"1", "", "2", "40"}, reset, kMissing);
    Row("first volume zero", {"0", "96", "2", "40"}, reset, kMissing);
    Row("volumes 0.0 and 0.0", {"0.0", "96", "0.0", "40"}, reset, {}, kInvalidOp);
    Row("two points", {"1", "96", "2", "4..0"}, reset, {}, NotAFloat("4..0"));
    Row("strength beyond rounding", {"1", "1e18", "1", "1e18"}, reset, {}, kInvalidOp);
    Row("volume beyond double", {Huge(), "96", "1", "40"}, reset, {}, kOverflow);
}

// Initial strength (Edit12), final strength (Edit11), required volume (Edit14) → Label46,
// Label52.
inline void SpiritAndWaterRows()
{
    Columns();
    // water == nullptr: the water's label is never reached.
    auto made = [](const char* spirit, const char* water) {
        QStringList texts{QStringLiteral("Label46=") + QString::fromUtf8(spirit) + QStringLiteral("  мл.")};
        if (water != nullptr)
            texts.append(QStringLiteral("Label52=") + QString::fromUtf8(water) + QStringLiteral("  мл."));
        return texts;
    };
    Row("1000 ml at 40 from 96", {"96", "40", "1000"}, made("416.67", "583.33"));
    Row("500 ml at 45 from 70", {"70", "45", "500"}, made("321.43", "178.57"));
    Row("same strength", {"40", "40", "1000"}, made("1000", "0"));
    Row("final above initial", {"40", "96", "1000"}, made("2400", "-1400"));
    Row("built-in texts", {"0", "0", "1000"}, {}, {}, kInvalidOp);
    Row("initial strength zero", {"0", "40", "1000"}, {}, {}, kZeroDivide);
    Row("initial strength empty", {"", "40", "1000"}, {}, {}, NotAFloat(""));
    Row("final before volume", {"96", "1.2.3", ""}, {}, {}, NotAFloat("1.2.3"));
    Row("volume empty", {"96", "40", ""}, {}, {}, NotAFloat(""));
    Row("spirit beyond rounding", {"1", "1e17", "1000"}, {}, {}, kInvalidOp);
    Row("water beyond rounding", {"96", "1", "100000000000000000"}, made("1.04166666666667E15", nullptr),
        {}, kInvalidOp);
}

} // namespace cases
