#pragma once
// Driving modal windows from a test: the action runs once the next modal window is up
// (inside its exec()), and a watchdog closes and reports any modal window left open.

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// Arranges for action(modal) to run when a modal window (other than those already open)
// becomes active; returns at once. The action usually clicks a button that ends the run.
void WhenModalShown(std::function<void(QWidget* modal)> action, int timeoutMs = 5000);

// Checks every 50 ms for modal windows that stay open past timeoutMs, closes them and
// remembers their titles. Tests call failures() in cleanup().
class ModalWatchdog {
public:
    explicit ModalWatchdog(int timeoutMs = 5000);
    ~ModalWatchdog();
    QStringList failures() const;

private:
    struct State;
    State* state_;
};

// Finds a child of window by objectName and type, failing the test if there is none.
template <class T>
T* Child(QWidget* window, const QString& name);

#include <QTest>
#include <QWidget>

template <class T>
T* Child(QWidget* window, const QString& name)
{
    T* child = window->findChild<T*>(name);
    if (child == nullptr)
        QTest::qFail(qPrintable(QStringLiteral("no child %1").arg(name)), __FILE__, __LINE__);
    return child;
}
