#pragma once
// The grain mash settings window: the four quantities of section Options_1, shown as they
// are stored and written back as they stand on "Сохранить".

#include "Windows.h"
#include <QChar>
#include <QDialog>
#include <memory>

namespace Ui {
class TForm6;
}

class TForm6 : public FixedDialog {
    Q_OBJECT

public:
    explicit TForm6(QWidget* parent = nullptr);
    ~TForm6() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void Button1Click(); // "Сохранить"
    void Button2Click(); // "Отменить"
    void Edit1KeyPress(QChar& key);
    void Edit2KeyPress(QChar& key);
    void Edit3KeyPress(QChar& key);
    void Edit4KeyPress(QChar& key);

    std::unique_ptr<Ui::TForm6> ui;
};
