// The reference table: the formula against the published points, the table's agreement with
// itself, and the database file built from it.

#include "AlcoholTable.h"
#include "TestSupport.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

class AlcoholTableTests : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { UseRussianLocale(); }

    void publishedDensity_data();
    void publishedDensity();
    void publishedStrengthByMass_data();
    void publishedStrengthByMass();
    void tableAgreesWithItself();
    void builtDatabase();
};

void AlcoholTableTests::publishedDensity_data()
{
    QTest::addColumn<double>("byVolume");
    QTest::addColumn<double>("density"); // kg/m³ at 20 °C
    const double points[][2] = {
        {10, 984.71}, {20, 973.56}, {30, 962.21}, {40, 948.05}, {50, 930.14}, {60, 909.11}, {70, 885.56},
        {80, 859.27}, {90, 829.18}, {91, 825.83}, {92, 822.39}, {93, 818.85}, {94, 815.18}, {95, 811.38},
        {96, 807.42}, {97, 803.27}, {98, 798.90}, {99, 794.25}, {100, 789.24},
    };
    for (const auto& point : points)
        QTest::addRow("%g %% vol", point[0]) << point[0] << point[1];
}

void AlcoholTableTests::publishedDensity()
{
    QFETCH(double, byVolume);
    QFETCH(double, density);
    const AlcoholRow row = AlcoholAtStrength(byVolume);
    QCOMPARE(row.byVolume, byVolume);
    QVERIFY2(std::fabs(row.density * 1000 - density) <= 0.01, qPrintable(QString::number(row.density * 1000, 'f', 6)));
}

void AlcoholTableTests::publishedStrengthByMass_data()
{
    QTest::addColumn<double>("byVolume");
    QTest::addColumn<double>("byMass");
    QTest::newRow("40 % vol") << 40.0 << 33.30;
    QTest::newRow("70 % vol") << 70.0 << 62.39;
    QTest::newRow("96 % vol") << 96.0 << 93.84;
    QTest::newRow("100 % vol") << 100.0 << 100.00;
    QTest::newRow("0 % vol") << 0.0 << 0.0;
}

void AlcoholTableTests::publishedStrengthByMass()
{
    QFETCH(double, byVolume);
    QFETCH(double, byMass);
    const AlcoholRow row = AlcoholAtStrength(byVolume);
    QVERIFY2(std::fabs(row.byMass - byMass) <= 0.01, qPrintable(QString::number(row.byMass, 'f', 6)));
    QVERIFY(row.byMass >= 0 && row.byMass <= 100);
}

void AlcoholTableTests::tableAgreesWithItself()
{
    const std::vector<AlcoholRow> table = AlcoholTable();
    QCOMPARE(table.size(), std::size_t(1001));
    for (std::size_t i = 0; i < table.size(); ++i) {
        const AlcoholRow& row = table[i];
        QCOMPARE(row.byVolume, double(i) / 10);
        if (i > 0) {
            QVERIFY(row.byMass > table[i - 1].byMass);
            QVERIFY(row.density < table[i - 1].density);
        }
        // Strength by mass times density is the ethanol per volume: it must follow the strength
        // by volume exactly (0.78924 g/ml of pure ethanol), or a dilution's new volume drifts
        // from volume × strength ÷ required strength. A table rounded to 4 decimals is off by
        // up to 1e-4 here.
        if (i > 0 && i < 1000) {
            const double ethanolPerMl = row.byMass / 100 * row.density / (row.byVolume / 100);
            QVERIFY2(std::fabs(ethanolPerMl - 0.78924) < 1e-13,
                     qPrintable(QStringLiteral("%1 %% vol: %2").arg(row.byVolume).arg(ethanolPerMl, 0, 'g', 17)));
        }
    }
    QCOMPARE(table.front().byMass, 0.0);
    QCOMPARE(table.back().byMass, 100.0);
}

void AlcoholTableTests::builtDatabase()
{
    // On a copy, with a lock directory of its own, so that nothing here meets another test.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString copy = dir.filePath(QStringLiteral("ALC.FDB"));
    QVERIFY(QFile::copy(QStringLiteral(FERLUND_TEST_ALC_FDB), copy));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("FIREBIRD"), QStringLiteral(FERLUND_TEST_FIREBIRD_ROOT));
    environment.insert(QStringLiteral("FIREBIRD_LOCK"), dir.filePath(QStringLiteral("lock")));
    QProcess isql;
    isql.setProcessEnvironment(environment);
    isql.setProcessChannelMode(QProcess::MergedChannels);
    isql.start(QStringLiteral(FERLUND_TEST_ISQL), {QStringLiteral("-user"), QStringLiteral("SYSDBA"),
                                                   QStringLiteral("-q"), copy});
    QVERIFY(isql.waitForStarted());
    isql.write("set list on;\n"
               "select count(*) as alc_rows from alc;\n"
               "select mon$read_only as read_only, mon$sql_dialect as dialect from mon$database;\n"
               "select count(*) as null_rows from sp_pr_ob(null);\n"
               "select p_ob as half from sp_pr_ob(70.5);\n"
               "select count(*) as outside from sp_pr_ob(-0.05);\n"
               "delete from alc;\n"
               "select count(*) as alc_rows_after from alc;\n"
               "quit;\n");
    isql.closeWriteChannel();
    QVERIFY(isql.waitForFinished(60000));
    const QString output = QString::fromLocal8Bit(isql.readAll());
    auto value = [&](const QString& name) {
        const QRegularExpression line(QStringLiteral("^%1\\s+(\\S+)$").arg(name.toUpper()),
                                      QRegularExpression::MultilineOption);
        return line.match(output).captured(1);
    };
    QCOMPARE(value(QStringLiteral("alc_rows")), QStringLiteral("1001"));
    QCOMPARE(value(QStringLiteral("read_only")), QStringLiteral("1"));
    QCOMPARE(value(QStringLiteral("dialect")), QStringLiteral("3"));
    QCOMPARE(value(QStringLiteral("null_rows")), QStringLiteral("0"));
    QCOMPARE(value(QStringLiteral("half")).toDouble(), 70.5);
    QCOMPARE(value(QStringLiteral("outside")), QStringLiteral("0"));
    QVERIFY2(output.contains(QStringLiteral("attempted update on read-only database")), qPrintable(output));
    QCOMPARE(value(QStringLiteral("alc_rows_after")), QStringLiteral("1001"));
}

QTEST_GUILESS_MAIN(AlcoholTableTests)
#include "AlcoholTableTests.moc"
