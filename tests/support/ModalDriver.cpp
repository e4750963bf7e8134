#include "ModalDriver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <memory>

void WhenModalShown(std::function<void(QWidget*)> action, int timeoutMs)
{
    QPointer<QWidget> before = QApplication::activeModalWidget();
    auto* timer = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, before, clock, action, timeoutMs] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal != before.data() && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            action(modal);
            return;
        }
        if (clock->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
            qWarning("WhenModalShown: no modal window appeared");
        }
    });
    timer->start();
}

struct ModalWatchdog::State {
    QTimer timer;
    QStringList failures;
    QPointer<QWidget> current;
    QElapsedTimer openFor;
};

ModalWatchdog::ModalWatchdog(int timeoutMs) : state_(new State)
{
    state_->timer.setInterval(50);
    QObject::connect(&state_->timer, &QTimer::timeout, [this, timeoutMs] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            state_->current = nullptr;
            return;
        }
        if (modal != state_->current.data()) {
            state_->current = modal;
            state_->openFor.start();
            return;
        }
        if (state_->openFor.elapsed() > timeoutMs) {
            state_->failures.append(QStringLiteral("modal window left open: %1 (%2)")
                                        .arg(modal->objectName(), modal->windowTitle()));
            modal->close();
            state_->current = nullptr;
        }
    });
    state_->timer.start();
}

ModalWatchdog::~ModalWatchdog() { delete state_; }

QStringList ModalWatchdog::failures() const { return state_->failures; }
