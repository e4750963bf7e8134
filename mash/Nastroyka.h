#pragma once
// The sugar mash settings window (Form3): the five quantities per kilogram of sugar as free
// text, read from section Options when the window is created and written back on "Сохранить".

#include "Windows.h"
#include <QDialog>
#include <memory>

namespace Ui {
class TForm3;
}

class QLineEdit;

class TForm3 : public FixedDialog {
    Q_OBJECT

public:
    TForm3();
    ~TForm3() override;

private:
    void FormCreate();
    void Button1Click();
    void Button2Click();

    // Edit1 … Edit5, bound to kolvo1 … kolvo5.
    QList<QLineEdit*> fields() const;

    std::unique_ptr<Ui::TForm3> ui;
};
