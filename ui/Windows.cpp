#include "Windows.h"

#include "ErrorDispatch.h"

#include <QDialog>
#include <QEvent>
#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <optional>

namespace {

// The character a key press types, as the desktop delivers it to a key-press handler,
// or nothing for keys that only move or edit (they never reach the handler).
std::optional<QChar> typedCharacter(const QKeyEvent& event)
{
    const int key = event.key();
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Delete)
        return std::nullopt;
    if (modifiers & Qt::AltModifier)
        return std::nullopt;
    if ((modifiers & Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z)
        return QChar(static_cast<char16_t>(key - Qt::Key_A + 1));
    const QString text = event.text();
    if (text.isEmpty())
        return std::nullopt;
    return text.front();
}

class KeyPressHook : public QObject {
public:
    KeyPressHook(QLineEdit* edit, std::function<void(QChar&)> handler)
        : QObject(edit), handler_(std::move(handler))
    {
        edit->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const std::optional<QChar> typed = typedCharacter(*static_cast<QKeyEvent*>(event));
        if (!typed)
            return false;
        QChar key = *typed;
        Guarded([&] { handler_(key); });
        return key.isNull(); // a discarded character never reaches the field
    }

private:
    std::function<void(QChar&)> handler_;
};

} // namespace

void SetupFixedWindow(QWidget* window, QSize clientArea, TitleButtons buttons)
{
    Qt::WindowFlags flags = qobject_cast<QDialog*>(window) != nullptr ? Qt::Dialog : Qt::Window;
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (buttons == TitleButtons::CloseOnly)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    window->setWindowFlags(flags);
    window->setFixedSize(clientArea);
}

void CentreOnScreen(QWidget* window)
{
    QScreen* screen = window->screen() != nullptr ? window->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

void SetLabelText(QLabel* label, const QString& text)
{
    label->setText(text);
    label->adjustSize();
}

void Deliver(QWidget* window, const Outcome& outcome)
{
    for (const Delivery& delivery : outcome.results) {
        auto* label = window->findChild<QLabel*>(delivery.label);
        if (label == nullptr)
            throw Error(QStringLiteral("No label %1").arg(delivery.label));
        SetLabelText(label, delivery.text);
    }
    if (outcome.warning)
        ShowWarningBox(*outcome.warning);
    if (outcome.error)
        throw *outcome.error;
}

void InstallKeyPressHandler(QLineEdit* edit, std::function<void(QChar&)> handler)
{
    new KeyPressHook(edit, std::move(handler));
}

void InstallFontSubstitutions()
{
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Segoe Script"),
                               {QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")});
    QFont::insertSubstitutions(QStringLiteral("Segoe Print"),
                               {QStringLiteral("Liberation Sans Narrow"), QStringLiteral("Liberation Sans"),
                                QStringLiteral("DejaVu Sans")});
}
