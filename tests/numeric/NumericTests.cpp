#include "Error.h"
#include "ErrorDispatch.h"
#include "Extended.h"
#include "KeyFilter.h"
#include "MessageBoxes.h"
#include "Numbers.h"
#include "Outcome.h"
#include "TestSupport.h"

#include <QLocale>
#include <QtTest>
#include <cmath>
#include <limits>

class NumericTests : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        UseRussianLocale();
        QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));
    }

    void parseDecimal_data();
    void parseDecimal();
    void parseDecimalRefuses_data();
    void parseDecimalRefuses();
    void parseDecimalHostile_data();
    void parseDecimalHostile();
    void storeOverflowAfterConversion();

    void parseInteger_data();
    void parseInteger();
    void parseIntegerRefuses_data();
    void parseIntegerRefuses();

    void roundToDigit_data();
    void roundToDigit();
    void roundToDigitOutOfRange();

    void formatNumber_data();
    void formatNumber();
    void intToStr();

    void arithmeticErrors();
    void extendedEvaluation();

    void keyFilter_data();
    void keyFilter();
    void missingInput_data();
    void missingInput();

    void applicationTitle_data();
    void applicationTitle();
    void errorBoxText_data();
    void errorBoxText();
    void applicationErrorText();
    void boxesThroughTheSeam();
    void guardedEndsTheHandler();
    void outcomeKeepsEarlierResults();
};

void NumericTests::parseDecimal_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("1.5") << "1.5" << 1.5;
    QTest::newRow("5.") << "5." << 5.0;
    QTest::newRow(".5") << ".5" << 0.5;
    QTest::newRow("dot alone") << "." << 0.0;
    QTest::newRow("blanks around") << " 2 " << 2.0;
    QTest::newRow("plus sign") << "+7" << 7.0;
    QTest::newRow("minus sign") << "-2.25" << -2.25;
    QTest::newRow("exponent") << "1e3" << 1000.0;
    QTest::newRow("empty exponent") << "1E" << 1.0;
    QTest::newRow("negative exponent") << "25e-2" << 0.25;
    QTest::newRow("exponent 500 is read whole") << QString("0." + QString(499, '0') + "1e500") << 1.0;
    QTest::newRow("double zero") << "00" << 0.0;
    QTest::newRow("zero point zero") << "0.0" << 0.0;
    QTest::newRow("tiny underflows silently") << "1e-400" << 0.0;
    QTest::newRow("many zeros after the point") << QString("0." + QString(100000, '0')) << 0.0;
    QTest::newRow("12.345") << "12.345" << 12.345;
}

void NumericTests::parseDecimal()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(store(ParseDecimal(text)), expected);
}

void NumericTests::parseDecimalRefuses_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("comma") << "1,5";
    QTest::newRow("two points") << "1.2.3";
    QTest::newRow("minus alone") << "-";
    QTest::newRow("plus alone") << "+";
    QTest::newRow("double minus") << "--1";
    QTest::newRow("exponent past 500") << "1e5000";
    QTest::newRow("exponent 99999") << "1e99999";
    QTest::newRow("letters") << "abc";
    QTest::newRow("cyrillic") << "ю";
    QTest::newRow("full-width digit") << QString(QChar(0xFF17));
    QTest::newRow("tab is not a blank") << "\t1";
    QTest::newRow("NUL character") << QString(QChar(0)) + "1";
    QTest::newRow("sql") << "70); delete from alc; --";
    QTest::newRow("exponent alone") << "E5";
    QTest::newRow("blank inside") << "1 2";
}

void NumericTests::parseDecimalRefuses()
{
    QFETCH(QString, text);
    QCOMPARE(errorOf([&] { ParseDecimal(text); }),
             QStringLiteral("'%1' is not a valid floating point value").arg(text));
}

void NumericTests::parseDecimalHostile_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    const QString digits(100000, '7');
    QTest::newRow("100000 digits") << digits << QStringLiteral("'%1' is not a valid floating point value").arg(digits);
    const QString fraction = "0." + digits;
    QTest::newRow("100000 fraction digits") << fraction << QStringLiteral("'%1' is not a valid floating point value").arg(fraction);
    QTest::newRow("1 MB of letters") << QString(1 << 20, 'x') << QStringLiteral("'%1' is not a valid floating point value").arg(QString(1 << 20, 'x'));
    QTest::newRow("1e400 overflows the double") << "1e400" << "Floating point overflow";
    QTest::newRow("-1e400 overflows the double") << "-1e400" << "Floating point overflow";
    QTest::newRow("exponent 0500 reaches 500 and is read") << "1e0500" << "Floating point overflow";
    QTest::newRow("exponent 5000 leaves a digit unread") << "1e5000" << "'1e5000' is not a valid floating point value";
    QTest::newRow("control characters") << QString("\x01\x02\x7f") << QStringLiteral("'%1' is not a valid floating point value").arg(QString("\x01\x02\x7f"));
}

void NumericTests::parseDecimalHostile()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    QCOMPARE(errorOf([&] { store(ParseDecimal(text)); }), message);
}

void NumericTests::storeOverflowAfterConversion()
{
    const QString big = "1" + QString(400, '0');
    const Extended value = ParseDecimal(big);
    QVERIFY(std::isfinite(value));
    QVERIFY(value > 1e399L);
    QCOMPARE(errorOf([&] { store(value); }), QStringLiteral("Floating point overflow"));
}

void NumericTests::parseInteger_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("1000") << "1000" << 1000;
    QTest::newRow("leading blank") << " 42" << 42;
    QTest::newRow("leading zeros") << "007" << 7;
    QTest::newRow("$FF") << "$FF" << 255;
    QTest::newRow("0xff") << "0xff" << 255;
    QTest::newRow("xFF") << "xFF" << 255;
    QTest::newRow("0XfF") << "0XfF" << 255;
    QTest::newRow("$FFFFFFFF") << "$FFFFFFFF" << -1;
    QTest::newRow("$80000000") << "$80000000" << int(0x80000000u);
    QTest::newRow("-$FF") << "-$FF" << -255;
    QTest::newRow("minimum") << "-2147483648" << std::numeric_limits<int>::min();
    QTest::newRow("maximum") << "2147483647" << std::numeric_limits<int>::max();
    QTest::newRow("plus") << "+5" << 5;
    QTest::newRow("negative") << "-1500" << -1500;
    QTest::newRow("zero") << "0" << 0;
}

void NumericTests::parseInteger()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(ParseInteger(text), expected);
}

void NumericTests::parseIntegerRefuses_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("just above the range") << "2147483648";
    QTest::newRow("just below the range") << "-2147483649";
    QTest::newRow("trailing blank") << "42 ";
    QTest::newRow("decimal point") << "1.5";
    QTest::newRow("empty") << "";
    QTest::newRow("plus alone") << "+";
    QTest::newRow("two signs") << "--1";
    QTest::newRow("$ alone") << "$";
    QTest::newRow("hex too long") << "$100000000";
    QTest::newRow("hex digit missing") << "0x";
    QTest::newRow("100000 digits") << QString(100000, '9');
    QTest::newRow("full-width digit") << QString(QChar(0xFF17));
    QTest::newRow("cyrillic") << "ю";
    QTest::newRow("NUL") << QString(QChar(0));
}

void NumericTests::parseIntegerRefuses()
{
    QFETCH(QString, text);
    QCOMPARE(errorOf([&] { ParseInteger(text); }), QStringLiteral("'%1' is not a valid integer value").arg(text));
}

void NumericTests::roundToDigit_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<int>("digit");
    QTest::addColumn<double>("expected");
    QTest::newRow("3.4 hundredths") << 3.4 << -2 << 3.4;
    QTest::newRow("2.675 hundredths") << 2.675 << -2 << 2.67;
    QTest::newRow("1.005 hundredths") << 1.005 << -2 << 1.0;
    QTest::newRow("0.125 hundredths") << 0.125 << -2 << 0.12;
    QTest::newRow("0.05 tenths, exact tie") << 0.05 << -1 << 0.0;
    QTest::newRow("0.15 tenths") << 0.15 << -1 << 0.1;
    QTest::newRow("0.35 tenths") << 0.35 << -1 << 0.30000000000000004;
    QTest::newRow("2.5 units") << 2.5 << 0 << 2.0;
    QTest::newRow("3.5 units") << 3.5 << 0 << 4.0;
    QTest::newRow("-2.5 units") << -2.5 << 0 << -2.0;
    QTest::newRow("617.25 tenths") << 617.25 << -1 << 617.2;
    QTest::newRow("hundreds") << 1250.0 << 2 << 1200.0;
}

void NumericTests::roundToDigit()
{
    QFETCH(double, x);
    QFETCH(int, digit);
    QFETCH(double, expected);
    QCOMPARE(RoundToDigit(x, digit), expected);
}

void NumericTests::roundToDigitOutOfRange()
{
    QCOMPARE(errorOf([] { RoundToDigit(1e17, -2); }), QStringLiteral("Invalid floating point operation"));
    QCOMPARE(errorOf([] { RoundToDigit(-1e17, -2); }), QStringLiteral("Invalid floating point operation"));
    QCOMPARE(errorOf([] { RoundToDigit(9.3e18, 0); }), QStringLiteral("Invalid floating point operation"));
    QCOMPARE(errorOf([] { RoundToDigit(1.0, 38); }), QStringLiteral("Invalid floating point operation"));
    QCOMPARE(RoundToDigit(9.2e18, 0), 9.2e18);
}

void NumericTests::formatNumber_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("100") << 100.0 << "100";
    QTest::newRow("0.7") << 0.7 << "0.7";
    QTest::newRow("-2.5") << -2.5 << "-2.5";
    QTest::newRow("1/3") << 1.0 / 3 << "0.333333333333333";
    QTest::newRow("2/3") << 2.0 / 3 << "0.666666666666667";
    QTest::newRow("0.0001") << 0.0001 << "0.0001";
    QTest::newRow("0.00001") << 0.00001 << "1E-5";
    QTest::newRow("0.00000015") << 0.00000015 << "1.5E-7";
    QTest::newRow("999999999999999") << 999999999999999.0 << "999999999999999";
    QTest::newRow("123456789012345.6") << 123456789012345.6 << "123456789012346";
    QTest::newRow("1E15") << 1e15 << "1E15";
    QTest::newRow("1E20") << 1e20 << "1E20";
    QTest::newRow("0.30000000000000004") << 0.30000000000000004 << "0.3";
    QTest::newRow("carry out of the first digit") << 9.9999999999999995 << "10";
    QTest::newRow("1E-6") << 1e-6 << "1E-6";
    QTest::newRow("largest double") << std::numeric_limits<double>::max() << "1.79769313486232E308";
    QTest::newRow("smallest subnormal") << std::numeric_limits<double>::denorm_min() << "4.94065645841247E-324";
    QTest::newRow("10000000000000") << 1e13 << "10000000000000";
    QTest::newRow("-945") << -945.0 << "-945";
    QTest::newRow("1745.53") << 1745.53 << "1745.53";
}

void NumericTests::formatNumber()
{
    QFETCH(double, x);
    QFETCH(QString, text);
    QCOMPARE(FormatNumber(x), text);
}

void NumericTests::intToStr()
{
    QCOMPARE(IntToStr(1), QStringLiteral("1"));
    QCOMPARE(IntToStr(-12), QStringLiteral("-12"));
    QCOMPARE(IntToStr(0), QStringLiteral("0"));
    QCOMPARE(IntToStr(std::numeric_limits<int>::min()), QStringLiteral("-2147483648"));
}

void NumericTests::arithmeticErrors()
{
    QCOMPARE(errorOf([] { divide(1, 0); }), QStringLiteral("Floating point division by zero"));
    QCOMPARE(errorOf([] { divide(-1, 0); }), QStringLiteral("Floating point division by zero"));
    QCOMPARE(errorOf([] { divide(0, 0); }), QStringLiteral("Invalid floating point operation"));
    QCOMPARE(errorOf([] { store(Extended(1e308) * 10); }), QStringLiteral("Floating point overflow"));
    QCOMPARE(errorOf([] { store(std::numeric_limits<Extended>::quiet_NaN()); }),
             QStringLiteral("Invalid floating point operation"));
    QCOMPARE(store(Extended(1e-308) / 1e100), 0.0); // underflow is no error
    QCOMPARE(errorOf([] { FormatNumber(std::numeric_limits<Extended>::infinity()); }),
             QStringLiteral("Floating point overflow"));
}

void NumericTests::extendedEvaluation()
{
    // 0.538 × 7250 lies just below 3900.5 in extended and is stored as exactly 3900.5;
    // in double arithmetic it would be 3900.5000000000005.
    const double weight = 7250;
    QCOMPARE(store(0.538L * weight), 3900.5);
    QVERIFY(0.538 * weight != 3900.5);
    QCOMPARE(RoundToDigit(store(0.538L * weight), 0), 3900.0);

    // 12.345 × 50 is stored as exactly 617.25, which rounds to tenths as 617.2.
    const double sugar = ParseStored(QStringLiteral("12.345"));
    QCOMPARE(FormatRounded(store(Extended(sugar) * 50), -1), QStringLiteral("617.2"));

    QCOMPARE(Power10(27), 1e27L);
    QCOMPARE(FormatNumber(ParseDecimal(QStringLiteral("0.1"))), QStringLiteral("0.1"));
}

void NumericTests::keyFilter_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("passes");
    QTest::newRow("7") << int('7') << true;
    QTest::newRow("0") << int('0') << true;
    QTest::newRow("9") << int('9') << true;
    QTest::newRow("point") << int('.') << true;
    QTest::newRow("backspace") << 8 << true;
    QTest::newRow("line feed") << 10 << true;
    QTest::newRow("carriage return") << 13 << true;
    QTest::newRow("a") << int('a') << false;
    QTest::newRow("comma") << int(',') << false;
    QTest::newRow("minus") << int('-') << false;
    QTest::newRow("blank") << int(' ') << false;
    QTest::newRow("yu") << int(0x044E) << false;
    QTest::newRow("tab") << 9 << false;
    QTest::newRow("ctrl-c") << 3 << false;
    QTest::newRow("ctrl-v") << 22 << false;
    QTest::newRow("ctrl-x") << 24 << false;
    QTest::newRow("slash") << int('/') << false;
    QTest::newRow("colon") << int(':') << false;
    QTest::newRow("full-width seven") << 0xFF17 << false;
}

void NumericTests::keyFilter()
{
    QFETCH(int, code);
    QFETCH(bool, passes);
    RecordingMessageBoxes recorder;
    QChar key(static_cast<char16_t>(code));
    QCOMPARE(IsNumericKey(key), passes);
    FilterNumericKey(key);
    if (passes) {
        QCOMPARE(key.unicode(), char16_t(code));
        QVERIFY(recorder.boxes.isEmpty());
    } else {
        QCOMPARE(key.unicode(), char16_t(0));
        QCOMPARE(recorder.boxes.size(), 1);
        QCOMPARE(recorder.boxes[0].kind, BoxKind::Plain);
        QCOMPARE(recorder.boxes[0].text, QStringLiteral("Нет такой цыфры!"));
    }
}

void NumericTests::missingInput_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("missing");
    QTest::newRow("zero") << "0" << true;
    QTest::newRow("empty") << "" << true;
    QTest::newRow("00") << "00" << false;
    QTest::newRow("0.0") << "0.0" << false;
    QTest::newRow("0.") << "0." << false;
    QTest::newRow("dot") << "." << false;
    QTest::newRow("blank zero") << " 0" << false;
}

void NumericTests::missingInput()
{
    QFETCH(QString, text);
    QFETCH(bool, missing);
    QCOMPARE(IsMissingInput(text), missing);
}

void NumericTests::applicationTitle_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("title");
    QTest::newRow("windows") << "C:\\Prog\\MYCALC.EXE" << "Mycalc";
    QTest::newRow("linux") << "/usr/bin/Ferlund" << "Ferlund";
    QTest::newRow("first dot") << "/opt/a/ferLUND.bin.old" << "ferlund";
    QTest::newRow("cyrillic") << "/opt/ФЕРЛУНД" << "Ферлунд";
    QTest::newRow("bare") << "X" << "X";
}

void NumericTests::applicationTitle()
{
    QFETCH(QString, path);
    QFETCH(QString, title);
    QCOMPARE(ApplicationTitleFor(path), title);
}

void NumericTests::errorBoxText_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << "Floating point overflow" << "Floating point overflow.";
    QTest::newRow("quote") << "'1.2.3' is not a valid floating point value" << "'1.2.3' is not a valid floating point value.";
    QTest::newRow("ends with dot") << "Done." << "Done.";
    QTest::newRow("ends with !") << "Нет таких данных!" << "Нет таких данных!";
    QTest::newRow("ends with parenthesis") << "(x)" << "(x)";
    QTest::newRow("ends with slash") << "a/" << "a/.";
    QTest::newRow("ends with digit") << "code 7" << "code 7.";
    QTest::newRow("cyrillic") << "Ошибка" << "Ошибка.";
    QTest::newRow("empty") << "" << "";
}

void NumericTests::errorBoxText()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(ErrorBoxText(message), shown);
}

void NumericTests::applicationErrorText()
{
    const Error error(QStringLiteral("Firebird library libfbclient.so.2 not found in the path"), "EIBClientError");
    const QString text = ApplicationErrorText(error, QStringLiteral("Ferlund"));
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines[2].isEmpty());
    QVERIFY2(QRegularExpression(QStringLiteral("^Exception EIBClientError in module Ferlund at [0-9A-F]{8}\\.$"))
                 .match(lines[0]).hasMatch(), qPrintable(lines[0]));
    QCOMPARE(lines[1], QStringLiteral("Firebird library libfbclient.so.2 not found in the path."));
    QCOMPARE(ApplicationErrorText(Error(QStringLiteral("x.")), "m").split("\r\n")[1], QStringLiteral("x."));
}

void NumericTests::boxesThroughTheSeam()
{
    RecordingMessageBoxes recorder;
    ShowWarningBox(QStringLiteral("Введите данные!"));
    ShowPlainMessage(QStringLiteral("Файл example.ini не найден!"));
    ShowErrorBox(Error(QStringLiteral("Floating point overflow")));
    QCOMPARE(recorder.boxes.size(), 3);
    QCOMPARE(recorder.boxes[0].kind, BoxKind::Warning);
    QCOMPARE(recorder.boxes[0].caption, QStringLiteral("ФЕРЛУНД!"));
    QCOMPARE(recorder.boxes[1].kind, BoxKind::Plain);
    QCOMPARE(recorder.boxes[1].caption, ApplicationTitle());
    QCOMPARE(recorder.boxes[2].kind, BoxKind::Error);
    QCOMPARE(recorder.boxes[2].caption, ApplicationTitle());
    QCOMPARE(recorder.boxes[2].text, QStringLiteral("Floating point overflow."));
    QCOMPARE(ApplicationTitle(), QStringLiteral("numeric_tests")); // first character unchanged
}

void NumericTests::guardedEndsTheHandler()
{
    RecordingMessageBoxes recorder;
    int steps = 0;
    Guarded([&] {
        ++steps;
        ParseStored(QStringLiteral("1..2"));
        ++steps;
    });
    QCOMPARE(steps, 1);
    QCOMPARE(recorder.texts(), QStringList{QStringLiteral("'1..2' is not a valid floating point value.")});
}

void NumericTests::outcomeKeepsEarlierResults()
{
    const Outcome outcome = RunCalculation([](Outcome& out) {
        out.deliver(QStringLiteral("Label1"), QStringLiteral("1"));
        ParseStored(QStringLiteral("x"));
        out.deliver(QStringLiteral("Label2"), QStringLiteral("2"));
    });
    QCOMPARE(outcome.results.size(), 1);
    QCOMPARE(outcome.textOf(QStringLiteral("Label1")), QStringLiteral("1"));
    QVERIFY(outcome.textOf(QStringLiteral("Label2")).isNull());
    QVERIFY(outcome.error.has_value());
    QCOMPARE(outcome.error->message(), QStringLiteral("'x' is not a valid floating point value"));
}

QTEST_GUILESS_MAIN(NumericTests)
#include "NumericTests.moc"
