// The water dilution calculator: the computation on the worked examples with their
// illustrative reference rows, the checks and lookups around it, and the real table.

#include "DilutionCases.h"
#include "ReferenceDatabase.h"
#include "TestSupport.h"
#include "WaterDilution.h"

#include <QMap>
#include <QtTest>

#include <cmath>

namespace {

// The illustrative rows of the worked examples: inputs for the examples, not table data.
const QMap<QString, ReferenceRow> kIllustrative = {
    {QStringLiteral("70"), {62.39, 0.8856}},
    {QStringLiteral("40"), {33.39, 0.948}},
    {QStringLiteral("96"), {93.84, 0.8074}},
};

// A lookup over a fixed set of rows that records every strength it is asked for. A text
// starting with "!" raises an Error with the rest as message, as a failing database would.
struct RecordingLookup {
    QMap<QString, ReferenceRow> rows;
    QStringList asked;

    ReferenceLookup function()
    {
        return [this](const QString& text) -> std::optional<ReferenceRow> {
            asked.append(text);
            if (text.startsWith(QLatin1Char('!')))
                throw Error(text.mid(1));
            const auto found = rows.constFind(text);
            if (found == rows.constEnd())
                return std::nullopt;
            return *found;
        };
    }
};

} // namespace

class DilutionTests : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void workedExamples_data();
    void workedExamples();
    void equalStrengthsLeaveARoundingResidue();

    void press_data();
    void press();

    void realTable_data() { cases::WaterDilutionRealTableRows(); }
    void realTable();
};

void DilutionTests::initTestCase()
{
    UseRussianLocale();
    qputenv("FIREBIRD", FERLUND_TEST_FIREBIRD_ROOT);
}

void DilutionTests::workedExamples_data()
{
    QTest::addColumn<QString>("volume");
    QTest::addColumn<QString>("strength");
    QTest::addColumn<QString>("required");
    QTest::addColumn<double>("waterToAdd");
    QTest::addColumn<double>("newVolume");
    QTest::addColumn<QString>("label13");
    QTest::addColumn<QString>("label14");

    QTest::newRow("1000 ml of 70 % to 40 %")
        << "1000" << "70" << "40" << 769.1644205 << 1745.5320891 << "769.16 мл." << "1745.53 мл.";
    QTest::newRow("equal strengths") << "1000" << "40" << "40" << 0.0 << 1000.0 << "0 мл." << "1000 мл.";
    QTest::newRow("required above the spirit")
        << "1000" << "40" << "70" << -440.6475397 << 572.8912154 << "-440.65 мл." << "572.89 мл.";
    QTest::newRow("500 ml of 96 % to 40 %, no trailing zero")
        << "500" << "96" << "40" << 730.8674753 << 1196.8011343 << "730.87 мл." << "1196.8 мл.";
}

void DilutionTests::workedExamples()
{
    QFETCH(QString, volume);
    QFETCH(QString, strength);
    QFETCH(QString, required);
    QFETCH(double, waterToAdd);
    QFETCH(double, newVolume);
    QFETCH(QString, label13);
    QFETCH(QString, label14);

    const WaterDilution result = CalculateWaterDilution(volume, kIllustrative[strength], kIllustrative[required]);
    // The examples print seven decimals.
    QVERIFY2(std::fabs(result.waterToAdd - waterToAdd) < 5e-8, qPrintable(QString::number(result.waterToAdd, 'g', 17)));
    QVERIFY2(std::fabs(result.newVolume - newVolume) < 5e-8, qPrintable(QString::number(result.newVolume, 'g', 17)));

    RecordingLookup lookup{kIllustrative, {}};
    const Outcome outcome = RunWaterDilution(volume, strength, required, lookup.function());
    QCOMPARE(deliveriesOf(outcome), (QStringList{QStringLiteral("Label13=") + label13, QStringLiteral("Label14=") + label14}));
    QVERIFY(!outcome.warning && !outcome.error);
    QCOMPARE(lookup.asked, (QStringList{strength, required}));
}

void DilutionTests::equalStrengthsLeaveARoundingResidue()
{
    // Each step rounded to a double: 316.5372 ÷ 0.3339 × 0.6661 lands just below 631.4628, so
    // the water to add is a tiny negative amount that the display rounds to "0".
    const WaterDilution result = CalculateWaterDilution(QStringLiteral("1000"), kIllustrative[QStringLiteral("40")],
                                                        kIllustrative[QStringLiteral("40")]);
    QVERIFY2(result.waterToAdd < 0 && result.waterToAdd > -2e-13, qPrintable(QString::number(result.waterToAdd, 'g', 17)));
    QCOMPARE(result.newVolume, 1000.0);
}

void DilutionTests::press_data()
{
    using cases::kMissing;
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QStringList>("rows"); // "strength=P_MAS/PL" for the rows the lookup knows
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QStringList>("deliveries");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<QString>("error");

    const QStringList rows{"70=62.39/0.8856", "40=33.39/0.948", "96=93.84/0.8074"};
    auto row = [&](const char* name, const QStringList& inputs, const QStringList& asked,
                   const QStringList& deliveries, const QString& warning = {}, const QString& error = {},
                   const QStringList& known = {}) {
        QTest::newRow(name) << inputs << (known.isEmpty() ? rows : known) << asked << deliveries << warning << error;
    };

    // The six checks: a field empty or exactly "0" stops before any lookup.
    row("volume 0", {"0", "70", "40"}, {}, {}, kMissing);
    row("strength 0", {"1000", "0", "40"}, {}, {}, kMissing);
    row("required strength 0", {"1000", "70", "0"}, {}, {}, kMissing);
    row("volume empty", {"", "70", "40"}, {}, {}, kMissing);
    row("strength empty", {"1000", "", "40"}, {}, {}, kMissing);
    row("required strength empty", {"1000", "70", ""}, {}, {}, kMissing);
    row("all empty", {"", "", ""}, {}, {}, kMissing);
    // Texts that only look like zero pass the checks and go to the lookups.
    row("strength 00 has no row", {"1000", "00", "40"}, {"00"}, {}, kMissing);
    row("required 0.0 has no row", {"1000", "70", "0.0"}, {"70", "0.0"}, {}, cases::kNoSuchData);
    row("blank and 0 passes the checks", {" 0", "70", "40"}, {"70", "40"}, cases::Dilution("0", "0"));

    // The lookups and their warnings.
    row("no row for the spirit", {"1000", "55", "40"}, {"55"}, {}, kMissing);
    row("no row for the required strength", {"1000", "70", "55"}, {"70", "55"}, {}, cases::kNoSuchData);
    row("the first lookup fails", {"1000", "!Token unknown", "40"}, {"!Token unknown"}, {}, {}, "Token unknown");
    row("the second lookup fails", {"1000", "70", "!Token unknown"}, {"70", "!Token unknown"}, {}, {}, "Token unknown");

    // The volume is converted only after both lookups.
    row("a volume that is no number", {"1.2.3", "70", "40"}, {"70", "40"}, {}, {}, cases::NotAFloat("1.2.3"));
    row("a volume of only the separator", {".", "70", "40"}, {"70", "40"}, cases::Dilution("0", "0"));

    // Arithmetic failures, and what was written before them.
    row("target strength by mass 0", {"1000", "70", "5"}, {"70", "5"}, {}, {}, cases::kZeroDivide,
        {"70=62.39/0.8856", "5=0/0.9"});
    row("target density 0", {"1000", "70", "5"}, {"70", "5"}, {}, {}, cases::kZeroDivide,
        {"70=62.39/0.8856", "5=33.39/0"});
    row("spirit and target without alcohol", {"1000", "3", "5"}, {"3", "5"}, {}, {}, cases::kInvalidOp,
        {"3=0/0.99", "5=0/0.9"});
    row("water too large to round: nothing written", {"1e18", "70", "40"}, {"70", "40"}, {}, {}, cases::kInvalidOp);
    row("new volume too large to round: the water stays written", {"1000", "70", "5"}, {"70", "5"},
        {"Label13=769.16 мл."}, {}, cases::kInvalidOp, {"70=62.39/0.8856", "5=33.39/1e-15"});
    row("a volume beyond the double range", {cases::Huge(), "70", "40"}, {"70", "40"}, {}, {}, cases::kOverflow);
}

void DilutionTests::press()
{
    QFETCH(QStringList, inputs);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, asked);

    RecordingLookup lookup;
    for (const QString& entry : rows) {
        const QStringList parts = entry.split(QLatin1Char('='));
        const QStringList values = parts[1].split(QLatin1Char('/'));
        lookup.rows.insert(parts[0], {values[0].toDouble(), values[1].toDouble()});
    }
    compareOutcome(RunWaterDilution(inputs[0], inputs[1], inputs[2], lookup.function()));
    QCOMPARE(lookup.asked, asked);
}

void DilutionTests::realTable()
{
    QFETCH(QStringList, inputs);
    ReferenceDatabase database;
    database.setDatabaseName(QStringLiteral(FERLUND_TEST_ALC_FDB));
    database.open();
    const Outcome outcome = RunWaterDilution(inputs[0], inputs[1], inputs[2],
                                             [&](const QString& text) { return database.lookup(text); });
    compareOutcome(outcome);
}

QTEST_GUILESS_MAIN(DilutionTests)
#include "DilutionTests.moc"
