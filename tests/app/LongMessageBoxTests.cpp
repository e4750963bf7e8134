// Messages far longer than a box can show, as when a pasted megabyte ends up inside
// "'%s' is not a valid floating point value": every box stays on the screen with its OK
// button in reach, and shows the message's beginning and its end.

#include "MessageBoxes.h"
#include "ModalDriver.h"
#include "QtMessageBoxes.h"
#include "TestSupport.h"
#include "Windows.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include <memory>

class LongMessageBoxTests : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ModalWatchdog> watchdog;
    std::unique_ptr<QtMessageBoxes> boxes;

private slots:
    void initTestCase()
    {
        UseRussianLocale();
        InstallFontSubstitutions();
    }
    void init()
    {
        watchdog = std::make_unique<ModalWatchdog>(60000);
        boxes = std::make_unique<QtMessageBoxes>();
    }
    void cleanup()
    {
        boxes.reset();
        const QStringList failures = watchdog->failures();
        watchdog.reset();
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
    }

    void boxStaysOnScreen_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("message");
        const QString digits = Repeated(QLatin1Char('9'), 100000);
        QString words;
        while (words.size() < (1 << 20))
            words += QStringLiteral("1.5ю x; ");
        words.truncate(1 << 20);
        const QString megabyte = Repeated(QLatin1Char('7'), 1 << 20);
        const QString floating = QStringLiteral("'%1' is not a valid floating point value");
        for (auto [kind, name] : {std::pair{BoxKind::Error, "error"}, {BoxKind::Warning, "warning"}, {BoxKind::Plain, "plain"}}) {
            QTest::addRow("%s, 100000 digits", name) << int(kind) << floating.arg(digits);
            QTest::addRow("%s, 1 MB of one word", name) << int(kind) << floating.arg(megabyte);
            QTest::addRow("%s, 1 MB of words", name) << int(kind) << floating.arg(words);
            QTest::addRow("%s, 200 digits", name) << int(kind) << floating.arg(Repeated(QLatin1Char('5'), 200));
        }
    }
    void boxStaysOnScreen()
    {
        QFETCH(int, kind);
        QFETCH(QString, message);
        QRect frame;
        QRect screen;
        QRect ok;
        QString shown;
        WhenModalShown(
            [&](QWidget* modal) {
                frame = modal->frameGeometry();
                screen = modal->screen()->availableGeometry();
                QAbstractButton* button = nullptr;
                if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                    shown = box->text();
                    button = box->button(QMessageBox::Ok);
                } else {
                    if (auto* label = modal->findChild<QLabel*>(QStringLiteral("Text")))
                        shown = label->text();
                    button = modal->findChild<QPushButton*>(QStringLiteral("OK"));
                }
                if (button != nullptr) {
                    ok = QRect(button->mapToGlobal(QPoint(0, 0)), button->size());
                    button->click();
                } else {
                    modal->close();
                }
            },
            60000);
        const BoxRequest request{BoxKind(kind), ApplicationTitle(),
                                 BoxKind(kind) == BoxKind::Error ? ErrorBoxText(message) : message};
        boxes->show(request);

        QVERIFY2(screen.contains(frame), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height())));
        QVERIFY(ok.isValid());
        QVERIFY(screen.contains(ok));
        // What the box shows begins and ends as the message does.
        QVERIFY2(shown.startsWith(request.text.left(20)), qPrintable(shown.left(40)));
        QVERIFY2(shown.endsWith(request.text.right(30)), qPrintable(shown.right(40)));
        if (request.text.size() <= 300)
            QCOMPARE(QString(shown).remove(QLatin1Char('\n')), request.text);
    }
};

QTEST_MAIN(LongMessageBoxTests)
#include "LongMessageBoxTests.moc"
