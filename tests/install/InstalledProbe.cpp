// Copied by the installation test into an installed application directory, beside the
// installed program, and run there as the user who owns it: the main window is created as the
// program creates it (so the database opens by its built-in name, through the installed
// Firebird root), the water is calculated, and both settings windows save.
// Prints what it saw, one "name=value" a line; every message box shown is a "box=" line.

#include "MessageBoxes.h"
#include "Nastroyka.h"
#include "Nastroyka_1.h"
#include "Numbers.h"
#include "TForm1.h"
#include "Windows.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextStream>

namespace {

void fill(QWidget* window, const QStringList& texts)
{
    for (int i = 0; i < texts.size(); ++i)
        window->findChild<QLineEdit*>(QStringLiteral("Edit%1").arg(i + 1))->setText(texts[i]);
}

void press(QWidget* window, const char* button) { window->findChild<QPushButton*>(QLatin1String(button))->click(); }

} // namespace

int main(int argc, char* argv[])
{
    SetDecimalSeparator(QLatin1Char('.'));
    QApplication application(argc, argv);
    InstallFontSubstitutions();
    RecordingMessageBoxes boxes;
    QTextStream out(stdout);
    out << "directory=" << QCoreApplication::applicationDirPath() << '\n';
    {
        TForm1 form;
        out << "quit=" << (form.QuitRequested() ? 1 : 0) << '\n';
        if (!form.QuitRequested()) {
            form.show();
            press(&form, "Button4"); // the default 1000 ml of 70 % to 40 %
            out << "Label13=" << form.findChild<QLabel*>(QStringLiteral("Label13"))->text() << '\n'
                << "Label14=" << form.findChild<QLabel*>(QStringLiteral("Label14"))->text() << '\n';
        }
        {
            TForm3 sugar;
            sugar.show();
            fill(&sugar, {QStringLiteral("5"), QStringLiteral("21"), QStringLiteral("101"), QStringLiteral("1.6"),
                          QStringLiteral("3")});
            press(&sugar, "Button1");
        }
        {
            TForm6 grain;
            grain.show();
            fill(&grain, {QStringLiteral("41"), QStringLiteral("5"), QStringLiteral("2.75"), QStringLiteral("16")});
            press(&grain, "Button1");
        }
        form.close();
    }
    for (const BoxRequest& box : boxes.boxes)
        out << "box=" << box.text << '\n';
    out << "end\n";
    return 0;
}
