#pragma once
// Start-up and shutdown around the main window, shared by main and by the checks of its
// failure path (which put a window that fails in place of TForm1).

#include "Error.h"
#include "MessageBoxes.h"
#include "QtMessageBoxes.h"
#include "TerminationSignals.h"
#include "Windows.h"

#include <QApplication>
#include <exception>
#include <memory>

// MainWindow: a QWidget whose constructor runs its creation handler, with QuitRequested().
// Returns the process's exit code.
template <class MainWindow>
int RunProgram(QApplication& application)
{
    InstallFontSubstitutions();
    QtMessageBoxes boxes;

    // Nothing catches an error this early but this: the window never got to its event loop.
    std::unique_ptr<MainWindow> window;
    try {
        window = std::make_unique<MainWindow>();
    } catch (const Error& error) {
        ShowApplicationErrorBox(error);
        return 1;
    } catch (const std::exception& error) {
        ShowApplicationErrorBox(Error(QString::fromLocal8Bit(error.what())));
        return 1;
    }

    if (window->QuitRequested()) {
        // The user has been told why; the shutdown still runs, without the window ever shown.
        window->close();
    } else {
        CloseOnTerminationSignals(window.get());
        window->show();
        application.exec(); // until the main window closes (its FormClose has run then)
    }
    window.reset(); // FormDestroy
    return 0;
}
