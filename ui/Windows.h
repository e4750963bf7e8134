#pragma once
// What every window of the program shares: its fixed frame, labels that size themselves,
// the key-press hook of the edit fields, results written label by label, the modal run.

#include "Outcome.h"

#include <QChar>
#include <QDialog>
#include <QFont>
#include <QSize>
#include <functional>
#include <memory>
#include <vector>

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

// The area a result label may take inside its container: to the right up to the container's
// inner edge or the next control on its row, downwards up to the next control below it.
QSize ResultRoom(const QLabel& label);

// Where a result label may extend, asked once the label is back at its built font and size.
using RoomRule = std::function<QSize(const QLabel& label)>;

// A result label that must never be cut off: back at its built font, on one line, at its
// natural size, without a tool tip. A text too long for its room is drawn at the largest
// smaller size that fits, on one line or (where the room is high enough) wrapped at a blank,
// and its whole text is in its tool tip; on one line it keeps its built line's height, so the
// text stays centred on its row.
void FitResultLabel(QLabel* label, const QFont& builtFont, const RoomRule& room = ResultRoom);

// The result labels of a window that must never be cut off, each with its built font.
class ResultLabels {
public:
    // Takes the label's current font as its built one.
    void add(QLabel* label, RoomRule room = ResultRoom);
    void fit() const;

private:
    struct Entry {
        QLabel* label;
        QFont builtFont;
        RoomRule room;
    };
    std::vector<Entry> entries_;
};

// Deliver, then every one of the result labels fitted: also when the outcome ends in a warning
// or an error, the texts written before it are fitted.
void DeliverFitted(QWidget* window, const Outcome& outcome, const ResultLabels& results);

// The key-press hook of an edit field: each typed character is handed, by reference, to
// handler; a character that comes back as the null character is discarded. Keys that type
// nothing (arrows, Delete, Tab) pass untouched; Ctrl+letter arrives as its control
// character (Ctrl+V as 22), as the platform delivers the clipboard shortcuts elsewhere.
void InstallKeyPressHandler(QLineEdit* edit, std::function<void(QChar&)> handler);

// Substitutes installed faces for the specified ones ("MS Sans Serif", "Segoe Script",
// "Segoe Print") so that the windows keep their proportions on this desktop.
void InstallFontSubstitutions();

// A modal window that only its own buttons close: Escape does not close it and Enter presses
// no button, as QDialog would have them do.
class FixedDialog : public QDialog {
public:
    using QDialog::QDialog;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// The modal window run: a new instance with no owner, shown modally, destroyed as soon as
// the run ends, also when it ends through an error.
template <class Window>
void RunModal()
{
    auto window = std::make_unique<Window>();
    window->exec();
}
