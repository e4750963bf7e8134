// The sugar mash computation as a pure function: texts in, the delivered texts out.

#include "Numbers.h"
#include "SugarMash.h"
#include "TestSupport.h"

#include <QtTest>

namespace {

const SugarSettings kSample{"4", "20", "100", "1.5", "2"};

// The labels in the order the results are delivered.
const QStringList kOrder{"Label13", "Label14", "Label15", "Label16", "Label17", "Label18",
                         "Label46", "Label45", "Label37", "Label41", "Label38", "Label42",
                         "Label39", "Label43", "Label40", "Label44"};

QStringList labelsOf(const Outcome& outcome)
{
    QStringList labels;
    for (const Delivery& d : outcome.results)
        labels.append(d.label);
    return labels;
}

QStringList textsOf(const Outcome& outcome)
{
    QStringList texts;
    for (const Delivery& d : outcome.results)
        texts.append(d.text);
    return texts;
}

SugarSettings withKey(SugarSettings s, int index, const QString& value)
{
    QString* keys[] = {&s.water, &s.dryYeast, &s.pressedYeast, &s.urea, &s.superphosphate};
    *keys[index] = value;
    return s;
}

} // namespace

Q_DECLARE_METATYPE(SugarSettings)

class SugarMashTests : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { UseRussianLocale(); }

    void wholeRecipe_data();
    void wholeRecipe();
    void singleResult_data();
    void singleResult();
    void failureKeepsEarlierResults_data();
    void failureKeepsEarlierResults();
    void kilograms_data();
    void kilograms();
    void settingsFromList();
};

void SugarMashTests::wholeRecipe_data()
{
    QTest::addColumn<QString>("weight");
    QTest::addColumn<SugarSettings>("settings");
    QTest::addColumn<QString>("kilograms");
    QTest::addColumn<QStringList>("results");

    QTest::newRow("1000 g") << "1000" << kSample << "=  1кг."
        << QStringList{"630", "4000", "4630", "20", "100", "2", "2", "4  гр.",
                       "515", "489", "538", "457", "682", "579", "1599", "1359"};
    QTest::newRow("1500 g") << "1500" << kSample << "=  1кг."
        << QStringList{"945", "6000", "6945", "30", "150", "2", "3", "5  гр.",
                       "772", "734", "807", "686", "1022", "869", "2399", "2039"};
    QTest::newRow("5000 g") << "5000" << kSample << "=  5кг."
        << QStringList{"3151", "20000", "23151", "100", "500", "8", "10", "18  гр.",
                       "2575", "2446", "2690", "2286", "3408", "2897", "7996", "6796"};
    QTest::newRow("999 g") << "999" << kSample << "=  0кг."
        << QStringList{"629", "3996", "4625", "20", "100", "1", "2", "3  гр.",
                       "514", "489", "537", "457", "681", "579", "1598", "1358"};
    QTest::newRow("0 g") << "0" << kSample << "=  0кг."
        << QStringList{"0", "0", "0", "0", "0", "0", "0", "0  гр.",
                       "0", "0", "0", "0", "0", "0", "0", "0"};
    QTest::newRow("-1500 g") << "-1500" << kSample << "=  -1кг."
        << QStringList{"-945", "-6000", "-6945", "-30", "-150", "-2", "-3", "-5  гр.",
                       "-772", "-734", "-807", "-686", "-1022", "-869", "-2399", "-2039"};
    // A file without section Options reads "0" for every key.
    QTest::newRow("no Options section") << "1000" << SugarSettings{"0", "0", "0", "0", "0"} << "=  1кг."
        << QStringList{"630", "0", "630", "0", "0", "0", "0", "0  гр.",
                       "515", "489", "538", "457", "682", "579", "1599", "1359"};
}

void SugarMashTests::wholeRecipe()
{
    QFETCH(QString, weight);
    QFETCH(SugarSettings, settings);
    QFETCH(QString, kilograms);
    QFETCH(QStringList, results);

    QCOMPARE(SugarKilogramsText(ParseInteger(weight)), kilograms);
    const Outcome outcome = CalculateSugarMash(weight, settings);
    QVERIFY2(!outcome.error, outcome.error ? qPrintable(outcome.error->message()) : "");
    QVERIFY(!outcome.warning);
    QCOMPARE(labelsOf(outcome), kOrder);
    QCOMPARE(textsOf(outcome), results);
}

void SugarMashTests::singleResult_data()
{
    QTest::addColumn<QString>("weight");
    QTest::addColumn<SugarSettings>("settings");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("expected");

    // Ties go to the even neighbour.
    QTest::newRow("tie: urea 1.5") << "1000" << kSample << "Label18" << "2";
    QTest::newRow("tie: salts 3.5") << "1000" << kSample << "Label45" << "4  гр.";
    QTest::newRow("tie: real ethanol 2286.5") << "5000" << kSample << "Label42" << "2286";
    QTest::newRow("tie: urea 7.5") << "5000" << kSample << "Label18" << "8";
    QTest::newRow("tie: salts 17.5") << "5000" << kSample << "Label45" << "18  гр.";
    QTest::newRow("tie: dry yeast 2.5") << "1000" << withKey(kSample, 1, "2.5") << "Label16" << "2";
    QTest::newRow("tie: dry yeast 3.5") << "1000" << withKey(kSample, 1, "3.5") << "Label16" << "4";

    // 0.538 × 7250 is just below 3900.5 in extended precision and stores as exactly 3900.5;
    // a double-only evaluation would land above the tie and show 3901.
    QTest::newRow("7250 g: ethanol mass") << "7250" << kSample << "Label38" << "3900";
    QTest::newRow("7250 g: real ethanol mass") << "7250" << kSample << "Label42" << "3315";
    QTest::newRow("7250 g: superphosphate 14.5") << "7250" << kSample << "Label46" << "14";

    // Totals add the unrounded parts.
    const SugarSettings fractions{"4.0004", "20", "100", "1.4", "1.4"};
    QTest::newRow("unrounded: sugar") << "1000" << fractions << "Label13" << "630";
    QTest::newRow("unrounded: water") << "1000" << fractions << "Label14" << "4000";
    QTest::newRow("unrounded: total") << "1000" << fractions << "Label15" << "4631";
    QTest::newRow("unrounded: urea") << "1000" << fractions << "Label18" << "1";
    QTest::newRow("unrounded: superphosphate") << "1000" << fractions << "Label46" << "1";
    QTest::newRow("unrounded: salts") << "1000" << fractions << "Label45" << "3  гр.";

    // A missing key reads as "0".
    QTest::newRow("missing kolvo3: pressed yeast") << "1000" << withKey(kSample, 2, "0") << "Label17" << "0";
    QTest::newRow("missing kolvo4: salts are superphosphate")
        << "5000" << withKey(kSample, 3, "0") << "Label45" << "10  гр.";
    QTest::newRow("missing kolvo5: salts are urea")
        << "5000" << withKey(kSample, 4, "0") << "Label45" << "8  гр.";

    // Other spellings the conversions accept.
    QTest::newRow("hexadecimal weight") << "$3E8" << kSample << "Label13" << "630";
    QTest::newRow("weight with leading blanks") << "  1000" << kSample << "Label14" << "4000";
    QTest::newRow("setting with exponent") << "1000" << withKey(kSample, 0, "4e0") << "Label14" << "4000";
}

void SugarMashTests::singleResult()
{
    QFETCH(QString, weight);
    QFETCH(SugarSettings, settings);
    QFETCH(QString, label);
    QFETCH(QString, expected);

    const Outcome outcome = CalculateSugarMash(weight, settings);
    QVERIFY2(!outcome.error, outcome.error ? qPrintable(outcome.error->message()) : "");
    QCOMPARE(outcome.results.size(), kOrder.size());
    QCOMPARE(outcome.textOf(label), expected);
}

void SugarMashTests::failureKeepsEarlierResults_data()
{
    QTest::addColumn<QString>("weight");
    QTest::addColumn<SugarSettings>("settings");
    QTest::addColumn<QStringList>("earlier"); // the results delivered before the failure
    QTest::addColumn<QString>("message");

    const QStringList sugarOnly{"630"};
    QTest::newRow("never read: empty k1") << "1000" << SugarSettings{} << sugarOnly
                                          << "'' is not a valid floating point value";
    QTest::newRow("k1 with a comma") << "1000" << withKey(kSample, 0, "2,5") << sugarOnly
                                     << "'2,5' is not a valid floating point value";
    QTest::newRow("k2 empty") << "1000" << withKey(kSample, 1, "") << QStringList{"630", "4000", "4630"}
                              << "'' is not a valid floating point value";
    QTest::newRow("k3 = abc") << "1000" << withKey(kSample, 2, "abc") << QStringList{"630", "4000", "4630", "20"}
                              << "'abc' is not a valid floating point value";
    QTest::newRow("k4 saved from a failed reading")
        << "1000" << withKey(kSample, 3, "Ошибка при чтении!") << QStringList{"630", "4000", "4630", "20", "100"}
        << "'Ошибка при чтении!' is not a valid floating point value";
    QTest::newRow("k5 words") << "1000" << withKey(kSample, 4, "две ложки")
                              << QStringList{"630", "4000", "4630", "20", "100", "2"}
                              << "'две ложки' is not a valid floating point value";
    QTest::newRow("weight 1.5") << "1.5" << kSample << QStringList{} << "'1.5' is not a valid integer value";
    QTest::newRow("weight empty") << "" << kSample << QStringList{} << "'' is not a valid integer value";
    QTest::newRow("weight beyond 32 bits") << "2147483648" << kSample << QStringList{}
                                           << "'2147483648' is not a valid integer value";
    QTest::newRow("water beyond the double range") << "1000" << withKey(kSample, 0, "1e308") << sugarOnly
                                                   << "Floating point overflow";
    QTest::newRow("water beyond a 64-bit integer") << "1000" << withKey(kSample, 0, "1e16") << sugarOnly
                                                   << "Invalid floating point operation";
    QTest::newRow("salts total beyond a 64-bit integer")
        << "1000" << SugarSettings{"4", "20", "100", "5e18", "5e18"}
        << QStringList{"630", "4000", "4630", "20", "100", "5E18", "5E18"} << "Invalid floating point operation";
}

void SugarMashTests::failureKeepsEarlierResults()
{
    QFETCH(QString, weight);
    QFETCH(SugarSettings, settings);
    QFETCH(QStringList, earlier);
    QFETCH(QString, message);

    const Outcome outcome = CalculateSugarMash(weight, settings);
    QVERIFY(outcome.error);
    QCOMPARE(outcome.error->message(), message);
    QCOMPARE(labelsOf(outcome), kOrder.mid(0, earlier.size()));
    QCOMPARE(textsOf(outcome), earlier);
}

void SugarMashTests::kilograms_data()
{
    QTest::addColumn<int>("grams");
    QTest::addColumn<QString>("text");
    QTest::newRow("1000") << 1000 << "=  1кг.";
    QTest::newRow("1999") << 1999 << "=  1кг.";
    QTest::newRow("999") << 999 << "=  0кг.";
    QTest::newRow("-999") << -999 << "=  0кг.";
    QTest::newRow("-1500") << -1500 << "=  -1кг.";
    QTest::newRow("largest") << 2147483647 << "=  2147483кг.";
    QTest::newRow("smallest") << (-2147483647 - 1) << "=  -2147483кг.";
}

void SugarMashTests::kilograms()
{
    QFETCH(int, grams);
    QFETCH(QString, text);
    QCOMPARE(SugarKilogramsText(grams), text);
}

void SugarMashTests::settingsFromList()
{
    const SugarSettings s = SugarSettings::fromList({"a", "b", "c", "d", "e"});
    QCOMPARE(QStringList({s.water, s.dryYeast, s.pressedYeast, s.urea, s.superphosphate}),
             QStringList({"a", "b", "c", "d", "e"}));
    QCOMPARE(SugarSettingsKeys(), QStringList({"kolvo1", "kolvo2", "kolvo3", "kolvo4", "kolvo5"}));
}

QTEST_GUILESS_MAIN(SugarMashTests)
#include "SugarMashTests.moc"
