#pragma once
// The About window: the program's name, version and who made it.

#include "ui_Help.h"

#include <QDialog>

class TForm4 : public QDialog {
    Q_OBJECT

public:
    explicit TForm4(QWidget* parent = nullptr);

private:
    Ui::TForm4 ui;
};
