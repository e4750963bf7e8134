#pragma once
// The sugar mash calculator window (Form2) and the settings texts it keeps for the whole run.

#include "SugarMash.h"
#include "Windows.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TForm2;
}

// The five texts of the last successful reading of section Options. Empty at program start,
// replaced as a whole at each "Расчитать" that finds the settings file, and outliving every
// window. Tests reset them to the start-of-run state.
SugarSettings& KeptSugarSettings();

class TForm2 : public FixedDialog {
    Q_OBJECT

public:
    TForm2();
    ~TForm2() override;

private:
    void FormCreate();
    void Button3Click();
    void Button2Click();
    void BitBtn1Click();

    std::unique_ptr<Ui::TForm2> ui;
    ResultLabels resultLabels_;
};
