#include "Windows.h"

#include "ErrorDispatch.h"

#include <QDialog>
#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QScreen>
#include <algorithm>
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

QSize ResultRoom(const QLabel& label)
{
    const QWidget* container = label.parentWidget();
    QRect inside = container->rect().adjusted(0, 0, -3, -3); // a group box's own frame line
    if (const auto* frame = qobject_cast<const QFrame*>(container))
        inside = frame->contentsRect();
    int right = inside.right() + 1;
    int bottom = inside.bottom() + 1;
    const QRect line = label.geometry();
    const QList<QWidget*> siblings = container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (const QWidget* sibling : siblings) {
        if (sibling == &label || sibling->isHidden())
            continue;
        const QRect other = sibling->geometry();
        if (other.left() > line.left() && other.top() < line.bottom() + 1 && other.bottom() >= line.top())
            right = std::min(right, other.left() - 4);
    }
    for (const QWidget* sibling : siblings) {
        if (sibling == &label || sibling->isHidden())
            continue;
        const QRect other = sibling->geometry();
        if (other.top() > line.top() && other.left() < right && other.right() >= line.left())
            bottom = std::min(bottom, other.top() - 1);
    }
    return QSize(right - line.left(), bottom - line.top());
}

void FitResultLabel(QLabel* label, const QFont& builtFont, const RoomRule& roomOf)
{
    // Only what a previous fitting changed is put back: each of these setters throws away the
    // label's measured size, and measuring it again is most of the cost of a click.
    if (label->font() != builtFont)
        label->setFont(builtFont);
    if (label->wordWrap())
        label->setWordWrap(false);
    if (label->alignment() != (Qt::AlignLeft | Qt::AlignVCenter))
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->adjustSize();
    label->setToolTip(QString());
    const QSize room = roomOf(*label);
    if (label->width() <= room.width())
        return;

    const QString text = label->text();
    const int lineHeight = std::min(label->height(), room.height());
    QFont smaller = builtFont;
    bool fitted = false;
    for (qreal size = builtFont.pointSizeF() - 0.5; size >= 6 && !fitted; size -= 0.5) {
        smaller.setPointSizeF(size);
        const QFontMetrics metrics(smaller);
        label->setFont(smaller);
        if (metrics.horizontalAdvance(text) + 2 <= room.width()) {
            label->adjustSize();
            label->resize(label->width(), std::max(label->height(), lineHeight));
            fitted = true;
            break;
        }
        const QRect wrapped =
            metrics.boundingRect(QRect(0, 0, room.width() - 2, 10000), Qt::TextWordWrap | Qt::AlignLeft, text);
        if (text.contains(QLatin1Char(' ')) && wrapped.width() + 2 <= room.width() &&
            wrapped.height() <= room.height()) {
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->resize(room.width(), wrapped.height());
            fitted = true;
        }
    }
    // Below the smallest readable size, only on one line: smaller still rather than cut off.
    for (qreal size = smaller.pointSizeF(); !fitted && size >= 1; size -= 0.25) {
        smaller.setPointSizeF(size);
        label->setFont(smaller);
        label->adjustSize();
        fitted = label->width() <= room.width();
        if (fitted)
            label->resize(label->width(), std::max(label->height(), lineHeight));
    }
    label->setToolTip(text);
}

void ResultLabels::add(QLabel* label, RoomRule room) { entries_.push_back({label, label->font(), std::move(room)}); }

void ResultLabels::fit() const
{
    for (const Entry& entry : entries_)
        FitResultLabel(entry.label, entry.builtFont, entry.room);
}

void DeliverFitted(QWidget* window, const Outcome& outcome, const ResultLabels& results)
{
    const auto fit = qScopeGuard([&results] { results.fit(); });
    Deliver(window, outcome);
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

void FixedDialog::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
