#include "Blending.h"
#include "CutsCases.h"
#include "RawSpiritCut.h"
#include "TestSupport.h"

#include <QtTest>

class CutsTests : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { UseRussianLocale(); }

    void rawSpiritCut_data() { cases::RawSpiritCutRows(); }
    void rawSpiritCut()
    {
        QFETCH(QStringList, inputs);
        compareOutcome(CalculateRawSpiritCut(inputs[0], inputs[1]));
    }

    void mashHeads_data() { cases::MashHeadsRows(); }
    void mashHeads()
    {
        QFETCH(QStringList, inputs);
        compareOutcome(CalculateMashHeads(inputs[0]));
    }

    void mixStrength_data() { cases::MixStrengthRows(); }
    void mixStrength()
    {
        QFETCH(QStringList, inputs);
        compareOutcome(CalculateMixStrength(inputs[0], inputs[1], inputs[2], inputs[3]));
    }

    void spiritAndWater_data() { cases::SpiritAndWaterRows(); }
    void spiritAndWater()
    {
        QFETCH(QStringList, inputs);
        compareOutcome(CalculateSpiritAndWater(inputs[0], inputs[1], inputs[2]));
    }
};

QTEST_GUILESS_MAIN(CutsTests)
#include "CutsTests.moc"
