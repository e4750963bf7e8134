#pragma once
// The three message boxes (and the start-up "Application Error" box) behind one seam.
// The program installs the real Qt boxes; tests install a recorder.

#include "Error.h"

#include <QList>
#include <QString>
#include <functional>

enum class BoxKind {
    Warning,          // caption "ФЕРЛУНД!", no icon, OK
    Plain,            // caption the application title, no icon, one "OK" button (Enter and Escape)
    Error,            // caption the application title, stop icon, OK
    ApplicationError, // caption "Application Error", stop icon, OK; before the event loop
};

struct BoxRequest {
    BoxKind kind;
    QString caption;
    QString text;
};

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows the box modally and returns when the user has closed it.
    virtual void show(const BoxRequest& request) = 0;
};

// Installs the seam's implementation (not owned); nullptr restores the fallback,
// which writes the box to standard error.
void SetMessageBoxes(MessageBoxes* boxes);
MessageBoxes* CurrentMessageBoxes();

void ShowWarningBox(const QString& text);
void ShowPlainMessage(const QString& text);
void ShowErrorBox(const Error& error);
void ShowApplicationErrorBox(const Error& error);

// The application title: the executable's file name without directory and extension,
// first character unchanged, the rest in lower case ("MYCALC.EXE" → "Mycalc").
QString ApplicationTitleFor(const QString& executablePath);
QString ApplicationTitle();   // for the running executable

// The error box's text: a "." is appended when the message is not empty and its last
// character is above "." (so "!" and "." end it as they are).
QString ErrorBoxText(const QString& message);

// The two lines of the start-up failure box, each ending in CR LF.
QString ApplicationErrorText(const Error& error, const QString& moduleName);

// Records every box instead of showing it; installs itself for its lifetime.
class RecordingMessageBoxes : public MessageBoxes {
public:
    RecordingMessageBoxes();
    ~RecordingMessageBoxes() override;
    void show(const BoxRequest& request) override;

    QList<BoxRequest> boxes;
    // Called for each box after it is recorded (a test may act "while the box is open").
    std::function<void(const BoxRequest&)> onShow;

    QStringList texts() const;
    void clear() { boxes.clear(); }

private:
    MessageBoxes* previous_;
};
