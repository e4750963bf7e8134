#pragma once
// The grain mash calculator window: no fields of its own; each "Расчитать" reads the four
// quantities of section Options_1 afresh and shows the recipe and the yield.

#include "GrainMash.h"
#include "Windows.h"

#include <QDialog>
#include <memory>

class QLabel;

namespace Ui {
class TForm5;
}

// The texts last read from the settings file by "Расчитать". They outlive the window, so a
// missing file later in the run still calculates from them; empty until the first reading.
GrainSettingsTexts& GrainSettings();

class TForm5 : public FixedDialog {
    Q_OBJECT

public:
    explicit TForm5(QWidget* parent = nullptr);
    ~TForm5() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Button1Click(); // "Расчитать"
    void BitBtn1Click(); // "Настройка данных"
    void Button2Click(); // "Закрыть"

    std::unique_ptr<Ui::TForm5> ui;
    ResultLabels resultLabels_; // each stops before the label to its right
};
