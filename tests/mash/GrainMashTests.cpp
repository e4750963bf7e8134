#include "GrainMash.h"
#include "TestSupport.h"

#include <QtTest>

namespace {

// The nine labels in their order of writing, paired with the given texts.
QStringList inOrder(const QStringList& texts)
{
    static const QStringList labels = {"Label11", "Label13", "Label54", "Label12", "Label14",
                                       "Label15", "Label17", "Label52", "Label53"};
    QStringList list;
    for (qsizetype i = 0; i < texts.size(); ++i)
        list.append(labels.at(i) + QLatin1Char('=') + texts.at(i));
    return list;
}

} // namespace

class GrainMashTests : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { UseRussianLocale(); }

    void calculation_data();
    void calculation();
};

void GrainMashTests::calculation_data()
{
    QTest::addColumn<QString>("vKub");
    QTest::addColumn<QString>("vVod");
    QTest::addColumn<QString>("sDr");
    QTest::addColumn<QString>("pDr");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("error"); // empty: no failure

    // Grain shown as 6 while malt and yeast follow from 5.9393…; the yield shown as 3 while
    // the real yield follows from 2.9696….
    QTest::newRow("built-in texts") << "40" << "4" << "2.74" << "15"
        << inOrder({"28", "4.71", "6", "0.89", "16.27", "89.09", "0.3", "3", "2.52"}) << "";
    QTest::newRow("50 3 2 20") << "50" << "3" << "2" << "20"
        << inOrder({"35", "3.71", "9", "1.41", "18.85", "188.46", "0.47", "5", "4"}) << "";
    QTest::newRow("no still") << "0" << "4" << "2.74" << "15"
        << inOrder({"0", "4.71", "0", "0", "0", "0", "0", "0", "0"}) << "";
    // A missing key reads as "0": only the grain's own volume per kilogram remains.
    QTest::newRow("no water") << "40" << "0" << "2.74" << "15"
        << inOrder({"28", "0.71", "39", "5.88", "107.41", "588", "1.96", "20", "16.66"}) << "";

    // A text that does not convert ends the calculation at the step that converts it.
    QTest::newRow("empty still") << "" << "4" << "2.74" << "15"
        << QStringList() << "'' is not a valid floating point value";
    QTest::newRow("still in words") << "Ошибка при чтении!" << "4" << "2.74" << "15"
        << QStringList() << "'Ошибка при чтении!' is not a valid floating point value";
    QTest::newRow("water with a comma") << "40" << "4,5" << "2.74" << "15"
        << inOrder({"28"}) << "'4,5' is not a valid floating point value";
    QTest::newRow("dry yeast in words") << "40" << "4" << "Ошибка при чтении!" << "15"
        << inOrder({"28", "4.71", "6", "0.89"}) << "'Ошибка при чтении!' is not a valid floating point value";
    QTest::newRow("pressed yeast with two points") << "40" << "4" << "2.74" << "1..5"
        << inOrder({"28", "4.71", "6", "0.89", "16.27"}) << "'1..5' is not a valid floating point value";
    QTest::newRow("pressed yeast empty") << "40" << "4" << "2.74" << ""
        << inOrder({"28", "4.71", "6", "0.89", "16.27"}) << "'' is not a valid floating point value";

    // Arithmetic failures, with the same partial update.
    QTest::newRow("still beyond the double range") << "1e400" << "4" << "2.74" << "15"
        << QStringList() << "Floating point overflow";
    QTest::newRow("mash too large to round") << "2e19" << "4" << "2.74" << "15"
        << QStringList() << "Invalid floating point operation";
    // 2.74 × 1.48e17 g in hundredths leaves the 64-bit integer range; the malt still fits.
    QTest::newRow("dry yeast too large to round") << "1e18" << "4" << "2.74" << "15"
        << inOrder({"7E17", "4.71", "1.48484848484848E17", "2.22727272727273E16"})
        << "Invalid floating point operation";
}

void GrainMashTests::calculation()
{
    QFETCH(QString, vKub);
    QFETCH(QString, vVod);
    QFETCH(QString, sDr);
    QFETCH(QString, pDr);
    QFETCH(QStringList, expected);
    QFETCH(QString, error);

    const Outcome outcome = CalculateGrainMash({vKub, vVod, sDr, pDr});

    QCOMPARE(deliveriesOf(outcome), expected);
    QVERIFY(!outcome.warning);
    if (error.isEmpty()) {
        QVERIFY2(!outcome.error, qPrintable(outcome.error ? outcome.error->message() : QString()));
    } else {
        QVERIFY(outcome.error);
        QCOMPARE(outcome.error->message(), error);
    }
}

QTEST_GUILESS_MAIN(GrainMashTests)
#include "GrainMashTests.moc"
