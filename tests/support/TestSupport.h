#pragma once
// Shared by the test executables: the Russian locale every test runs under, so that the
// program's "." is shown not to come from the user's regional settings.

#include "Error.h"
#include "Outcome.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

void UseRussianLocale();

// A text of n copies of c.
QString Repeated(QChar c, qsizetype n);

// A file's bytes, or "(unreadable)".
QByteArray readBytes(const QString& path);

// Writes bytes to a file, failing the test when it cannot.
void writeBytes(const QString& path, const QByteArray& bytes);

// Names in a directory, hidden ones included: a temporary file left behind shows here.
QStringList entriesOf(const QString& directory);

// Sets or clears a file's immutable attribute: the one thing that stops even a privileged
// process from creating, renaming or replacing a file, so refusal tests stay honest as root.
// False where the filesystem or the process cannot set it.
bool setImmutable(const QString& path, bool on);

// The message of the Error that f raises, or "(no error)".
template <class F>
QString errorOf(F&& f)
{
    try {
        f();
    } catch (const Error& e) {
        return e.message();
    }
    return QStringLiteral("(no error)");
}

// An outcome's deliveries as "Label=text" lines, in order.
QStringList deliveriesOf(const Outcome& outcome);

// Compares an outcome with the current data row's columns deliveries, warning and error.
void compareOutcome(const Outcome& outcome);
