#pragma once
// What every window of the program shares: its fixed frame, labels that size themselves,
// the key-press hook of the edit fields, results written label by label, the modal run.

#include "Outcome.h"

#include <QChar>
#include <QSize>
#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QWidget;

enum class TitleButtons {
    None,      // no system menu, no minimise, maximise or close button
    CloseOnly, // the system menu and its close button
};

// A fixed, non-resizable client area and the chosen title-bar buttons.
void SetupFixedWindow(QWidget* window, QSize clientArea, TitleButtons buttons);

// Moves a top-level window to the centre of its screen's available area.
void CentreOnScreen(QWidget* window);

// Sets a label's text and lets it grow to fit.
void SetLabelText(QLabel* label, const QString& text);

// Writes each delivered text into the window's label of that name, in order, then shows
// the outcome's warning, then raises its error (for the handler's Guarded to show).
void Deliver(QWidget* window, const Outcome& outcome);

// The key-press hook of an edit field: each typed character is handed, by reference, to
// handler; a character that comes back as the null character is discarded. Keys that type
// nothing (arrows, Delete, Tab) pass untouched; Ctrl+letter arrives as its control
// character (Ctrl+V as 22), as the platform delivers the clipboard shortcuts elsewhere.
void InstallKeyPressHandler(QLineEdit* edit, std::function<void(QChar&)> handler);

// Substitutes installed faces for the specified ones ("MS Sans Serif", "Segoe Script",
// "Segoe Print") so that the windows keep their proportions on this desktop.
void InstallFontSubstitutions();

// The modal window run: a new instance with no owner, shown modally, destroyed as soon as
// the run ends, also when it ends through an error.
template <class Window>
void RunModal()
{
    auto window = std::make_unique<Window>();
    window->exec();
}
