#include "QtMessageBoxes.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QShowEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

// The window the box belongs to, so that it gets the focus back when the box closes.
QWidget* owner()
{
    QWidget* active = QApplication::activeModalWidget();
    return active != nullptr ? active : QApplication::activeWindow();
}

// What a box shows of a text. A field's whole text can end up in a message (a pasted
// megabyte inside "'%s' is not a valid floating point value"); laid out whole, it would make
// the box far larger than the screen, with its OK button out of reach, and take seconds to
// lay out. So a very long text keeps its beginning and its end with the middle elided, and
// a run without blanks too long for one line is broken into lines, as it could not wrap.
QString displayedText(const QString& text)
{
    constexpr qsizetype kHead = 400;
    constexpr qsizetype kTail = 200;
    constexpr qsizetype kRun = 80;
    QString shown = text;
    if (shown.size() > kHead + kTail + 100) {
        qsizetype head = kHead;
        if (shown[head - 1].isHighSurrogate())
            --head;
        qsizetype tail = kTail;
        if (shown[shown.size() - tail].isLowSurrogate())
            --tail;
        shown = shown.left(head) + QStringLiteral(" … ") + shown.right(tail);
    }
    QString broken;
    broken.reserve(shown.size() + shown.size() / kRun);
    qsizetype run = 0;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const QChar c = shown[i];
        if (c.isSpace()) {
            run = 0;
        } else if (run == kRun && !c.isLowSurrogate()) {
            broken += QLatin1Char('\n');
            run = 0;
        }
        broken += c;
        if (!c.isSpace() && !c.isLowSurrogate())
            ++run;
    }
    return broken;
}

// The system-style box: caption, text, optional stop icon, one OK button.
void showStandardBox(const BoxRequest& request, QMessageBox::Icon icon, QWidget* parent)
{
    QMessageBox box(icon, request.caption, displayedText(request.text), QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("MessageBox"));
    box.setTextFormat(Qt::PlainText); // field texts end up in messages: never read them as markup
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

// The toolkit's small message dialog: the text wrapped at half the screen's width, one "OK"
// button that both Enter and Escape press, the dialog centred on the screen.
QRect screenOf(const QWidget* window)
{
    QScreen* screen = window != nullptr && window->screen() != nullptr ? window->screen()
                                                                        : QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry() : QRect(0, 0, 1024, 768);
}

class PlainMessageDialog : public QDialog {
public:
    PlainMessageDialog(const BoxRequest& request, QWidget* parent) : QDialog(parent)
    {
        setObjectName(QStringLiteral("PlainMessage"));
        setWindowTitle(request.caption);
        setWindowModality(Qt::ApplicationModal);
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                       Qt::WindowCloseButtonHint);

        const QRect desktop = screenOf(parent);

        auto* text = new QLabel(this);
        text->setObjectName(QStringLiteral("Text"));
        text->setTextFormat(Qt::PlainText);
        const QString shown = displayedText(request.text);
        text->setText(shown);
        text->setWordWrap(true);
        const QRect bounds = QFontMetrics(text->font())
                                 .boundingRect(QRect(0, 0, desktop.width() / 2, 0),
                                               Qt::TextWordWrap | Qt::AlignLeft, shown);
        text->setFixedSize(bounds.width() + 1, bounds.height());

        ok_ = new QPushButton(QStringLiteral("OK"), this);
        ok_->setObjectName(QStringLiteral("OK"));
        ok_->setDefault(true);
        ok_->setAutoDefault(true);
        connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

        auto* layout = new QVBoxLayout(this);
        layout->setSizeConstraint(QLayout::SetFixedSize);
        layout->setContentsMargins(16, 14, 16, 12);
        layout->setSpacing(14);
        layout->addWidget(text);
        layout->addWidget(ok_, 0, Qt::AlignHCenter);

    }

protected:
    void showEvent(QShowEvent* event) override
    {
        // Only now is the size final.
        QDialog::showEvent(event);
        QRect frame = frameGeometry();
        frame.moveCenter(screenOf(parentWidget()).center());
        move(frame.topLeft());
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
            ok_->click();
            return;
        }
        QDialog::keyPressEvent(event);
    }

private:
    QPushButton* ok_;
};

} // namespace

QtMessageBoxes::QtMessageBoxes() : previous_(CurrentMessageBoxes()) { SetMessageBoxes(this); }

QtMessageBoxes::~QtMessageBoxes() { SetMessageBoxes(previous_); }

void QtMessageBoxes::show(const BoxRequest& request)
{
    switch (request.kind) {
    case BoxKind::Warning:
        showStandardBox(request, QMessageBox::NoIcon, owner());
        return;
    case BoxKind::Error:
        showStandardBox(request, QMessageBox::Critical, owner());
        return;
    case BoxKind::ApplicationError:
        // No window of the program is trusted at this point: the box has no owner.
        showStandardBox(request, QMessageBox::Critical, nullptr);
        return;
    case BoxKind::Plain: {
        PlainMessageDialog dialog(request, owner());
        dialog.exec();
        return;
    }
    }
}
