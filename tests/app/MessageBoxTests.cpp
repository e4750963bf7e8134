#include "Error.h"
#include "MessageBoxes.h"
#include "ModalDriver.h"
#include "QtMessageBoxes.h"
#include "TForm1.h"
#include "TestSupport.h"
#include "Windows.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <memory>

namespace {

// What the test saw of the box while it was open.
struct Seen {
    QString className;
    QString caption;
    QString text;
    int icon = -1;
    QStringList buttons;
    Qt::WindowModality modality = Qt::NonModal;
    bool owned = false;
};

Seen look(QWidget* modal)
{
    Seen seen;
    seen.className = QString::fromLatin1(modal->metaObject()->className());
    seen.caption = modal->windowTitle();
    seen.modality = modal->windowModality();
    seen.owned = modal->parentWidget() != nullptr;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton* button : box->buttons())
            seen.buttons.append(box->standardButton(button) == QMessageBox::Ok ? QStringLiteral("Ok") : button->text());
    } else {
        if (auto* label = modal->findChild<QLabel*>(QStringLiteral("Text")))
            seen.text = label->text();
        for (QPushButton* button : modal->findChildren<QPushButton*>())
            seen.buttons.append(button->text());
    }
    return seen;
}

void pressOk(QWidget* modal)
{
    if (auto* box = qobject_cast<QMessageBox*>(modal))
        box->button(QMessageBox::Ok)->click();
    else
        modal->close();
}

} // namespace

class MessageBoxTests : public QObject {
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
        watchdog = std::make_unique<ModalWatchdog>(3000);
        boxes = std::make_unique<QtMessageBoxes>();
    }
    void cleanup()
    {
        boxes.reset();
        const QStringList failures = watchdog->failures();
        watchdog.reset();
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
    }

    void plainBoxAnswersEnterAndEscape_data();
    void plainBoxAnswersEnterAndEscape();
    void plainBoxWrapsAtHalfTheScreen();
    void errorBox_data();
    void errorBox();
    void warningBox();
    void applicationErrorBox();
    void refusedKeyShowsThePlainBox();
};

void MessageBoxTests::plainBoxAnswersEnterAndEscape_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
    QTest::newRow("Escape") << int(Qt::Key_Escape);
}

void MessageBoxTests::plainBoxAnswersEnterAndEscape()
{
    QFETCH(int, key);
    Seen seen;
    int okPressed = 0;
    WhenModalShown([&](QWidget* modal) {
        seen = look(modal);
        auto* ok = modal->findChild<QPushButton*>(QStringLiteral("OK"));
        if (ok == nullptr) {
            modal->close();
            return;
        }
        QObject::connect(ok, &QPushButton::clicked, [&] { ++okPressed; });
        QTest::keyClick(modal, Qt::Key(key));
    });
    ShowPlainMessage(QStringLiteral("Нет такой цыфры!"));

    QCOMPARE(okPressed, 1);
    QCOMPARE(seen.caption, ApplicationTitle());
    QCOMPARE(seen.caption, QStringLiteral("message_box_tests"));
    QCOMPARE(seen.text, QStringLiteral("Нет такой цыфры!"));
    QCOMPARE(seen.buttons, QStringList{"OK"});
    QCOMPARE(seen.modality, Qt::ApplicationModal);
}

void MessageBoxTests::plainBoxWrapsAtHalfTheScreen()
{
    const QString longText = QStringLiteral("Ошибка: ") + QStringList(60, QStringLiteral("слово")).join(QLatin1Char(' '));
    QRect label;
    QRect dialog;
    QRect screen;
    int lineHeight = 0;
    WhenModalShown([&](QWidget* modal) {
        if (auto* text = modal->findChild<QLabel*>(QStringLiteral("Text"))) {
            label = text->geometry();
            lineHeight = text->fontMetrics().height();
        }
        dialog = modal->frameGeometry();
        screen = modal->screen()->geometry();
        pressOk(modal);
    });
    ShowPlainMessage(longText);

    QVERIFY(label.isValid());
    QVERIFY2(label.width() <= screen.width() / 2 + 1, qPrintable(QString::number(label.width())));
    QVERIFY(label.width() > screen.width() / 3);
    QVERIFY(label.height() >= 3 * lineHeight);
    QVERIFY2((dialog.center() - screen.center()).manhattanLength() <= 2, "not centred on the screen");
}

void MessageBoxTests::errorBox_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("dot appended") << "Floating point overflow" << "Floating point overflow.";
    QTest::newRow("after a quote") << "'1.2.3' is not a valid floating point value"
                                   << "'1.2.3' is not a valid floating point value.";
    QTest::newRow("ends with a dot") << "Unable to write." << "Unable to write.";
    QTest::newRow("ends with !") << "Нет таких данных!" << "Нет таких данных!";
    QTest::newRow("markup stays text") << "'<b>1</b>' is not a valid integer value"
                                       << "'<b>1</b>' is not a valid integer value.";
}

void MessageBoxTests::errorBox()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    Seen seen;
    Qt::TextFormat format = Qt::AutoText;
    WhenModalShown([&](QWidget* modal) {
        seen = look(modal);
        if (auto* box = qobject_cast<QMessageBox*>(modal))
            format = box->textFormat();
        pressOk(modal);
    });
    ShowErrorBox(Error(message));

    QCOMPARE(seen.className, QStringLiteral("QMessageBox"));
    QCOMPARE(seen.caption, ApplicationTitle());
    QCOMPARE(seen.text, shown);
    QCOMPARE(seen.icon, int(QMessageBox::Critical));
    QCOMPARE(seen.buttons, QStringList{"Ok"});
    QCOMPARE(seen.modality, Qt::ApplicationModal);
    QCOMPARE(format, Qt::PlainText);
}

void MessageBoxTests::warningBox()
{
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QApplication::setActiveWindow(&form);

    Seen seen;
    QWidget* owner = nullptr;
    WhenModalShown([&](QWidget* modal) {
        seen = look(modal);
        owner = modal->parentWidget();
        pressOk(modal);
    });
    ShowWarningBox(QStringLiteral("Введите данные!"));

    QCOMPARE(seen.caption, QStringLiteral("ФЕРЛУНД!"));
    QCOMPARE(seen.text, QStringLiteral("Введите данные!"));
    QCOMPARE(seen.icon, int(QMessageBox::NoIcon));
    QCOMPARE(seen.buttons, QStringList{"Ok"});
    QCOMPARE(seen.modality, Qt::ApplicationModal);
    QCOMPARE(owner, &form); // so that the window gets the focus back
}

void MessageBoxTests::applicationErrorBox()
{
    TForm1 form;
    form.show();
    QApplication::setActiveWindow(&form);
    Seen seen;
    WhenModalShown([&](QWidget* modal) {
        seen = look(modal);
        pressOk(modal);
    });
    ShowApplicationErrorBox(Error(QStringLiteral("Unable to load the database client library"), "EDatabaseError"));

    QCOMPARE(seen.caption, QStringLiteral("Application Error"));
    QCOMPARE(seen.icon, int(QMessageBox::Critical));
    QVERIFY(!seen.owned);
    QCOMPARE(seen.modality, Qt::ApplicationModal);
    QVERIFY2(seen.text.startsWith(QStringLiteral("Exception EDatabaseError in module message_box_tests at ")),
             qPrintable(seen.text));
    QVERIFY(seen.text.endsWith(QStringLiteral(".\r\nUnable to load the database client library.\r\n")));
}

void MessageBoxTests::refusedKeyShowsThePlainBox()
{
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto* edit = Child<QLineEdit>(&form, "Edit5");
    edit->end(false);
    Seen seen;
    WhenModalShown([&](QWidget* modal) {
        seen = look(modal);
        QTest::keyClick(modal, Qt::Key_Return);
    });
    QTest::keyClick(edit, 'a');
    QCOMPARE(seen.text, QStringLiteral("Нет такой цыфры!"));
    QCOMPARE(edit->text(), QStringLiteral("70"));
    QVERIFY(QApplication::activeModalWidget() == nullptr);
}

QTEST_MAIN(MessageBoxTests)
#include "MessageBoxTests.moc"
