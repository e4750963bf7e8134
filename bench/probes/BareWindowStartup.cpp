// The floor of the start-up: a bare window of the main window's size, shown on the same
// platform and closed after its first paint in the same way.
#include "FirstPaint.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>
#include <cstdio>
#include <cstring>

using BareWindow = ClosedAfterFirstPaint<QWidget>;

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    BareWindow window;
    window.setFixedSize(882, 548);
    if (argc > 1 && std::strcmp(argv[1], "text") == 0) {
        auto* label = new QLabel(QStringLiteral("Расcчитать ВОДУ"), &window);
        label->move(16, 16);
        label->adjustSize();
    }
    window.show();
    return application.exec();
}
