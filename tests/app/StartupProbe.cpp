// The program's start-up with a main window whose creation fails before the event loop, as
// when the database client library cannot be loaded. It reports the box that appears (and
// presses its OK) on standard output, then ends with the start-up's exit code.
// With the argument "main-window" the real TForm1 is started instead (run where its client
// library cannot be loaded), and the handlers that ran are reported too.

#include "Error.h"
#include "ModalDriver.h"
#include "Startup.h"
#include "TForm1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTextStream>
#include <QWidget>

namespace {

class FailingWindow : public QWidget {
public:
    FailingWindow() { throw Error(QStringLiteral("Unable to load the database client library"), "EDatabaseError"); }
    bool QuitRequested() const { return false; }
};

QString visibleControls(QString text)
{
    return text.replace(QLatin1Char('\r'), QStringLiteral("\\r")).replace(QLatin1Char('\n'), QStringLiteral("\\n"));
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    WhenModalShown([](QWidget* modal) {
        QTextStream out(stdout);
        auto* box = qobject_cast<QMessageBox*>(modal);
        out << "caption=" << modal->windowTitle() << '\n'
            << "owner=" << (modal->parentWidget() != nullptr ? "window" : "none") << '\n'
            << "modality=" << static_cast<int>(modal->windowModality()) << '\n';
        if (box != nullptr) {
            out << "icon=" << static_cast<int>(box->icon()) << '\n'
                << "text=" << visibleControls(box->text()) << '\n';
            out.flush();
            box->button(QMessageBox::Ok)->click();
        } else {
            out.flush();
            modal->close();
        }
    });
    if (application.arguments().contains(QStringLiteral("main-window"))) {
        const int exitCode = RunProgram<TForm1>(application);
        QTextStream(stdout) << "handlers=" << TForm1::LifecycleTrace().join(QLatin1Char(',')) << '\n';
        return exitCode;
    }
    return RunProgram<FailingWindow>(application);
}
