#include "Help.h"

#include "Pictures.h"
#include "Windows.h"

TForm4::TForm4(QWidget* parent) : QDialog(parent)
{
    ui.setupUi(this);
    SetupFixedWindow(this, QSize(356, 115), TitleButtons::CloseOnly);
    setWindowIcon(WindowIcon());
    for (QLabel* label : {ui.Label1, ui.Label2, ui.Label3})
        label->adjustSize();
}
