#include "CutsCases.h"
#include "DilutionCases.h"
#include "Help.h"
#include "MessageBoxes.h"
#include "ModalDriver.h"
#include "Startup.h"
#include "TForm1.h"
#include "TestSupport.h"
#include "Windows.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

namespace {

const QString kRefused = QStringLiteral("Нет такой цыфры!");

// The fields of Form1 that take the key filter.
const QStringList kFilteredFields{"Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "Edit6", "Edit7",
                                  "Edit8", "Edit9", "Edit10", "Edit11", "Edit12", "Edit14"};

QString describe(const BoxRequest& box)
{
    static const char* const kinds[] = {"warning", "plain", "error", "application error"};
    return QStringLiteral("%1 [%2] %3").arg(QLatin1String(kinds[static_cast<int>(box.kind)]), box.caption, box.text);
}

QStringList describe(const QList<BoxRequest>& boxes)
{
    QStringList texts;
    for (const BoxRequest& box : boxes)
        texts.append(describe(box));
    return texts;
}

// Catches what the help button hands to the desktop, instead of a real viewer.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.append(url); }
};

// A main window whose creation handler asked for the run to end.
class QuitAtCreation : public QWidget {
public:
    static QStringList& trace()
    {
        static QStringList events;
        return events;
    }
    QuitAtCreation() { trace().append(QStringLiteral("created")); }
    ~QuitAtCreation() override { trace().append(QStringLiteral("destroyed")); }
    bool QuitRequested() const { return true; }

protected:
    void showEvent(QShowEvent*) override { trace().append(QStringLiteral("shown")); }
    void closeEvent(QCloseEvent* event) override
    {
        trace().append(QStringLiteral("closed"));
        event->accept();
    }
};

} // namespace

class MainWindowTests : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<RecordingMessageBoxes> boxes;
    std::unique_ptr<ModalWatchdog> watchdog;
    std::unique_ptr<TForm1> form;

    // Sets the fields, marks the result labels, presses the button, then compares the labels
    // and the boxes with the row of the shared cases.
    void pressThroughWindow(const QStringList& fields, const char* button, const QStringList& labels);

private slots:
    void initTestCase()
    {
        UseRussianLocale();
        InstallFontSubstitutions();
    }

    void init()
    {
        boxes = std::make_unique<RecordingMessageBoxes>();
        watchdog = std::make_unique<ModalWatchdog>(3000);
        form = std::make_unique<TForm1>();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }

    void cleanup()
    {
        form.reset();
        const QStringList failures = watchdog->failures();
        watchdog.reset();
        boxes.reset();
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
    }

    void frame();
    void controls_data();
    void controls();
    void tabOrder();

    void rawSpiritCut_data() { cases::RawSpiritCutRows(); }
    void rawSpiritCut() { pressThroughWindow({"Edit1", "Edit2"}, "Button1", {"Label3", "Label4", "Label37", "Label38"}); }
    void mashHeads_data() { cases::MashHeadsRows(); }
    void mashHeads() { pressThroughWindow({"Edit3"}, "Button3", {"Label7"}); }
    void mixStrength_data() { cases::MixStrengthRows(); }
    void mixStrength() { pressThroughWindow({"Edit7", "Edit8", "Edit9", "Edit10"}, "Button5", {"Label30"}); }
    void spiritAndWater_data() { cases::SpiritAndWaterRows(); }
    void spiritAndWater() { pressThroughWindow({"Edit12", "Edit11", "Edit14"}, "Button7", {"Label46", "Label52"}); }
    // On the real ALC.FDB beside the tests.
    void waterDilution_data() { cases::WaterDilutionRealTableRows(); }
    void waterDilution() { pressThroughWindow({"Edit4", "Edit5", "Edit6"}, "Button4", {"Label13", "Label14"}); }
    void waterDilutionStepOrder_data();
    void waterDilutionStepOrder() { pressThroughWindow({"Edit4", "Edit5", "Edit6"}, "Button4", {"Label13", "Label14"}); }

    void sugarFieldPlaysNoPartInTheCut();
    void mixResetBeforeTheWarning();
    void resultsFitTheirPanels_data();
    void resultsFitTheirPanels();

    void keyFilter_data();
    void keyFilter();
    void keyFilterOnEveryField_data();
    void keyFilterOnEveryField();
    void doublePointTypedThenRefusedByConversion();

    void aboutTwice();
    void mashWindowsRunModally_data();
    void mashWindowsRunModally();
    void helpWithoutHelpFile();
    void helpLooksInTheCurrentDirectory();
    void exitButtonClosesBeforeDestroy();

    void startupRunsAndShutsDown();
    void quitAtCreationNeverShowsTheWindow();
    void errorBeforeTheEventLoopEndsWithExitCode1();
};

void MainWindowTests::frame()
{
    QCOMPARE(form->objectName(), QStringLiteral("Form1"));
    const QString caption = form->windowTitle();
    QCOMPARE(caption, QString(54, QLatin1Char(' ')) + QStringLiteral("Ферлунд"));
    QCOMPARE(form->size(), QSize(882, 548));
    QCOMPARE(form->minimumSize(), QSize(882, 548));
    QCOMPARE(form->maximumSize(), QSize(882, 548));
    const Qt::WindowFlags flags = form->windowFlags();
    QVERIFY(flags & Qt::CustomizeWindowHint);
    for (Qt::WindowType button : {Qt::WindowSystemMenuHint, Qt::WindowCloseButtonHint, Qt::WindowMinimizeButtonHint,
                                  Qt::WindowMaximizeButtonHint})
        QVERIFY2(!(flags & button), qPrintable(QString::number(button, 16)));
    QCOMPARE(form->palette().color(QPalette::Window), form->palette().color(QPalette::Button));
    QVERIFY(!form->windowIcon().isNull());

    // Centred on first show.
    const QRect screen = form->screen()->availableGeometry();
    QVERIFY2((form->frameGeometry().center() - screen.center()).manhattanLength() <= 2,
             qPrintable(QStringLiteral("%1,%2").arg(form->frameGeometry().center().x()).arg(form->frameGeometry().center().y())));

    // The picture keeps the proportions of 300 × 240 and sits in the middle of its box.
    auto* image = Child<QLabel>(form.get(), "Image1");
    QCOMPARE(image->geometry(), QRect(632, 24, 241, 249));
    const QPixmap picture = image->pixmap();
    QCOMPARE(picture.deviceIndependentSize().toSize(), QSize(300, 240).scaled(241, 249, Qt::KeepAspectRatio));
    QVERIFY(image->alignment() & Qt::AlignHCenter);
    QVERIFY(image->alignment() & Qt::AlignVCenter);

    for (const char* name : {"BitBtn1", "BitBtn2"}) {
        auto* button = Child<QPushButton>(form.get(), name);
        QVERIFY(!button->icon().isNull());
        QCOMPARE(button->iconSize(), QSize(32, 32));
        QVERIFY(button->font().bold());
        QCOMPARE(button->font().pointSize(), 10);
    }
    QCOMPARE(Child<QPushButton>(form.get(), "BitBtn1")->palette().color(QPalette::ButtonText), QColor(0, 128, 0));
    QCOMPARE(Child<QPushButton>(form.get(), "BitBtn2")->palette().color(QPalette::ButtonText), QColor(128, 0, 128));
    auto* exit = Child<QPushButton>(form.get(), "BitBtn3");
    QVERIFY(exit->text().isEmpty());
    QCOMPARE(exit->iconSize(), QSize(89, 41));
}

void MainWindowTests::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry"); // width and height -1 where the control sizes itself
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("look"); // "", "b13", "b11", then a colour

    const QString c = QStringLiteral("Рас") + QLatin1Char('c') + QStringLiteral("читать");
    auto row = [](const char* name, QRect geometry, const QString& text, const char* look = "") {
        QTest::newRow(name) << QString::fromLatin1(name) << geometry << text << QString::fromLatin1(look);
    };
    auto at = [](int x, int y) { return QRect(x, y, -1, -1); };

    row("GroupBox1", {3, 16, 390, 257}, QStringLiteral("Отбор голов с СС и с браги  "));
    row("GroupBox2", {400, 16, 225, 257}, QStringLiteral("Расчёт к-во воды добавляемый  в спирт"));
    row("GroupBox3", {4, 280, 389, 211}, QStringLiteral("Расчет градуса в смеси двух жидкостей"));
    row("GroupBox4", {400, 280, 473, 211}, QStringLiteral("Расчет спирта и воды для  заданного объема и градуса: "));
    row("Button2", {707, 16, 75, 17}, QStringLiteral("СПРАВКА"));
    row("Button6", {789, 16, 83, 18}, QStringLiteral("О программе"));
    row("BitBtn1", {5, 498, 260, 42}, QStringLiteral("Сахарный калькулятор "));
    row("BitBtn2", {279, 499, 258, 41}, QStringLiteral("Зерновой калькулятор"));
    row("BitBtn3", {779, 498, 93, 42}, QString());

    row("Label1", at(16, 40), QStringLiteral("Объём"));
    row("Edit1", {72, 37, 73, 21}, QStringLiteral("0"));
    row("Label16", at(152, 40), QStringLiteral("литр"));
    row("Label2", at(16, 88), QStringLiteral("Градус"));
    row("Edit2", {72, 84, 73, 21}, QStringLiteral("0"));
    row("Label18", at(152, 88), QStringLiteral("% об."));
    row("Label5", at(16, 136), QStringLiteral("Сахар"));
    row("Edit3", {73, 133, 72, 21}, QStringLiteral("0"));
    row("Label6", at(154, 136), QStringLiteral("кг."));
    row("Button1", {15, 224, 137, 25}, c + QStringLiteral(" с СС"));
    row("Button3", {240, 224, 137, 25}, c + QStringLiteral(" с БРАГИ"));
    row("Panel1", {184, 8, 201, 193}, QString());
    row("Label31", at(11, 8), QStringLiteral("Абс. спирт:"), "b13");
    row("Label3", at(112, 9), QStringLiteral("0"), "b13 red");
    row("Label32", at(10, 38), QStringLiteral("Головы с СС:"), "b13");
    row("Label4", at(112, 38), QStringLiteral("0"), "b13 green");
    row("Label22", at(10, 68), QStringLiteral("Промежуточ:"), "b13");
    row("Label37", at(112, 68), QStringLiteral("0"), "b13 green");
    row("Label36", at(11, 98), QStringLiteral("Тело с СС:"), "b13");
    row("Label38", at(112, 98), QStringLiteral("0"), "b13 green");
    row("Panel2", {8, 136, 185, 49}, QString());
    row("Label33", at(6, 17), QStringLiteral("Го-вы с браги:"), "b13");
    row("Label7", at(114, 18), QStringLiteral("0"), "b13 blue");

    row("Label8", at(16, 40), QStringLiteral("Объём"));
    row("Edit4", {104, 35, 73, 21}, QStringLiteral("1000"));
    row("Label15", at(192, 40), QStringLiteral("мл."));
    row("Label9", at(16, 80), QStringLiteral("Крепость"));
    row("Edit5", {104, 75, 73, 21}, QStringLiteral("70"));
    row("Label17", at(184, 80), QStringLiteral("% об."));
    row("Label10", at(16, 120), QStringLiteral("Треб.крепость"));
    row("Edit6", {104, 116, 73, 21}, QStringLiteral("40"));
    row("Label19", at(184, 120), QStringLiteral("% об."));
    row("Label11", at(16, 152), QStringLiteral("Надо добавить:"), "b13");
    row("Label13", at(136, 152), QStringLiteral("0"), "b13 red");
    row("Label12", at(16, 192), QStringLiteral("Новый объем:"), "b13");
    row("Label14", at(123, 192), QStringLiteral("0"), "b13 red");
    row("Button4", {48, 224, 153, 25}, c + QStringLiteral(" ВОДУ"));

    row("Label23", at(8, 24), QStringLiteral("Жидкость первая:"), "b13 blue");
    row("Label26", at(224, 24), QStringLiteral("Жидкость вторая:"), "b13 navy");
    row("Label24", at(16, 64), QStringLiteral("Объём"), "b11 blue");
    row("Edit7", {80, 60, 73, 21}, QStringLiteral("0"));
    row("Label34", at(160, 64), QStringLiteral("литр"));
    row("Label27", at(208, 64), QStringLiteral("Объём"), "b11 navy");
    row("Edit9", {264, 60, 73, 21}, QStringLiteral("0"));
    row("Label35", at(344, 64), QStringLiteral("литр"));
    row("Label25", at(16, 104), QStringLiteral("Градус"), "b11 blue");
    row("Edit8", {80, 99, 73, 21}, QStringLiteral("0"));
    row("Label20", at(160, 104), QStringLiteral("% об."));
    row("Label28", at(208, 104), QStringLiteral("Градус"), "b11 navy");
    row("Edit10", {264, 100, 73, 21}, QStringLiteral("0"));
    row("Label21", at(344, 104), QStringLiteral("% об."));
    row("Label29", at(16, 176), QStringLiteral("Градус в смеси:"), "b13");
    row("Label30", at(140, 177), QStringLiteral("0"), "b13 red");
    row("Button5", {224, 172, 129, 25}, c);

    row("Label44", at(16, 48), QStringLiteral("Требуемый объем"), "b11 blue");
    row("Edit14", {136, 44, 73, 21}, QStringLiteral("1000"));
    row("Label42", at(216, 48), QStringLiteral("мл."));
    row("Label41", at(16, 104), QStringLiteral("Градус нач."), "b11 blue");
    row("Edit12", {96, 99, 73, 21}, QStringLiteral("0"));
    row("Label49", at(176, 104), QStringLiteral("% об."));
    row("Label40", at(240, 104), QStringLiteral("Градус кон."), "b11 blue");
    row("Edit11", {328, 100, 73, 21}, QStringLiteral("0"));
    row("Label43", at(416, 104), QStringLiteral("% об."));
    row("Label39", at(16, 144), QStringLiteral("Объем спирта:"), "b13");
    row("Label46", at(140, 145), QStringLiteral("0"), "b13 red");
    row("Label51", at(16, 176), QStringLiteral("Объем воды:"), "b13");
    row("Label52", at(116, 177), QStringLiteral("0"), "b13 red");
    row("Button7", {304, 172, 129, 25}, QStringLiteral("Рассчитать"));
}

void MainWindowTests::controls()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    QFETCH(QString, look);

    auto* control = Child<QWidget>(form.get(), name);
    QCOMPARE(control->pos(), geometry.topLeft());
    if (geometry.width() > 0)
        QCOMPARE(control->size(), geometry.size());

    if (auto* box = qobject_cast<QGroupBox*>(control))
        QCOMPARE(box->title(), text);
    else if (auto* button = qobject_cast<QPushButton*>(control))
        QCOMPARE(button->text(), text);
    else if (auto* edit = qobject_cast<QLineEdit*>(control))
        QCOMPARE(edit->text(), text);
    else if (auto* label = qobject_cast<QLabel*>(control)) {
        QCOMPARE(label->text(), text);
        // Sized to its text, never cut off by it.
        QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(text));
        const QRect room = qobject_cast<QFrame*>(label->parentWidget()) != nullptr
                               ? static_cast<QFrame*>(label->parentWidget())->contentsRect()
                               : label->parentWidget()->rect();
        QVERIFY2(room.contains(label->geometry()), qPrintable(name));
    }

    const QFont font = control->font();
    if (look.startsWith(QLatin1String("b13"))) {
        QVERIFY(font.bold());
        QCOMPARE(font.pointSize(), 10);
    } else if (look.startsWith(QLatin1String("b11"))) {
        QVERIFY(font.bold());
        QCOMPARE(font.pointSize(), 8);
    } else if (qobject_cast<QLabel*>(control) != nullptr) {
        QVERIFY(!font.bold());
        QCOMPARE(font.pointSize(), 8);
    }
    QCOMPARE(font.family(), QStringLiteral("MS Sans Serif"));

    static const QMap<QString, QColor> colours{{"red", QColor(255, 0, 0)},
                                               {"green", QColor(0, 128, 0)},
                                               {"blue", QColor(0, 0, 255)},
                                               {"navy", QColor(0, 0, 128)}};
    const QString colour = look.section(QLatin1Char(' '), 1);
    if (!colour.isEmpty())
        QCOMPARE(control->palette().color(QPalette::WindowText), colours.value(colour));
    else if (qobject_cast<QLabel*>(control) != nullptr)
        QCOMPARE(control->palette().color(QPalette::WindowText), form->palette().color(QPalette::WindowText));
}

void MainWindowTests::tabOrder()
{
    const QStringList expected{"Edit1",   "Edit2",  "Edit3",  "Button3", "Button1", "Edit4",   "Edit5",   "Edit6",
                               "Button4", "Edit7",  "Edit8",  "Edit9",   "Edit10",  "Button5", "BitBtn1", "BitBtn2",
                               "BitBtn3", "Button2", "Button6", "Edit11", "Edit12", "Edit14", "Button7"};
    QStringList order;
    QWidget* start = Child<QLineEdit>(form.get(), "Edit1");
    QWidget* widget = start;
    do {
        if (widget->focusPolicy() & Qt::TabFocus)
            order.append(widget->objectName());
        widget = widget->nextInFocusChain();
    } while (widget != start && order.size() <= expected.size());
    QCOMPARE(order, expected);
}

void MainWindowTests::pressThroughWindow(const QStringList& fields, const char* button, const QStringList& labels)
{
    QFETCH(QStringList, inputs);
    QFETCH(QStringList, deliveries);
    QFETCH(QString, warning);
    QFETCH(QString, error);
    QCOMPARE(inputs.size(), fields.size());

    for (int i = 0; i < fields.size(); ++i)
        Child<QLineEdit>(form.get(), fields[i])->setText(inputs[i]);
    // An earlier result in every label, so that "unchanged" can be told from a reset.
    const QString earlier = QStringLiteral("earlier");
    QMap<QString, QString> expected;
    for (const QString& label : labels) {
        SetLabelText(Child<QLabel>(form.get(), label), earlier);
        expected[label] = earlier;
    }
    for (const QString& delivery : deliveries)
        expected[delivery.section(QLatin1Char('='), 0, 0)] = delivery.section(QLatin1Char('='), 1);

    QTest::mouseClick(Child<QPushButton>(form.get(), button), Qt::LeftButton);

    for (const QString& label : labels)
        QCOMPARE(Child<QLabel>(form.get(), label)->text(), expected[label]);
    QStringList expectedBoxes;
    if (!warning.isEmpty())
        expectedBoxes.append(describe({BoxKind::Warning, QStringLiteral("ФЕРЛУНД!"), warning}));
    if (!error.isEmpty())
        expectedBoxes.append(describe({BoxKind::Error, ApplicationTitle(), ErrorBoxText(error)}));
    QCOMPARE(describe(boxes->boxes), expectedBoxes);
    for (int i = 0; i < fields.size(); ++i)
        QCOMPARE(Child<QLineEdit>(form.get(), fields[i])->text(), inputs[i]);
    QVERIFY(form->isVisible());
}

void MainWindowTests::waterDilutionStepOrder_data()
{
    using namespace cases;
    // A strength that the lookup refuses with an error: where a step must not be reached, its
    // field holds one, so that a lookup run too early shows in the boxes.
    const char* refused = "70); --";
    const QString refusedError = NotAFloat(QString::fromUtf8(refused));
    Columns();
    Row("check 1: Edit4 is 0", {"0", refused, refused}, {}, kMissing);
    Row("check 2: Edit5 is 0", {"1000", "0", refused}, {}, kMissing);
    Row("check 3: Edit6 is 0", {"1000", refused, "0"}, {}, kMissing);
    Row("check 4: Edit4 empty", {"", refused, refused}, {}, kMissing);
    Row("check 5: Edit5 empty", {"1000", "", refused}, {}, kMissing);
    Row("check 6: Edit6 empty", {"1000", refused, ""}, {}, kMissing);
    Row("all checks pass, then the spirit's lookup", {"1000", refused, "40"}, {}, {}, refusedError);
    Row("the required strength's lookup second", {"1000", "70", refused}, {}, {}, refusedError);
    Row("no row for the spirit at -1", {"1000", "-1", "40"}, {}, kMissing);
    Row("no row for the required strength at -1", {"1000", "70", "-1"}, {}, kNoSuchData);
    Row("no row for the spirit: the second lookup never runs", {"1000", "-1", refused}, {}, kMissing);
    // "." alone converts to 0, as in every field: after both lookups, nothing to dilute.
    Row("volume . is converted after both lookups", {".", "70", "40"}, Dilution("0", "0"));
    Row("volume ., no row for the required strength", {".", "70", "100.1"}, {}, kNoSuchData);
    Row("volume 1.2.3, no row for the spirit", {"1.2.3", "100.1", "40"}, {}, kMissing);
    Row("volume 1.2.3, no row for the required strength", {"1.2.3", "70", "100.1"}, {}, kNoSuchData);
}

void MainWindowTests::sugarFieldPlaysNoPartInTheCut()
{
    Child<QLineEdit>(form.get(), "Edit1")->setText("10");
    Child<QLineEdit>(form.get(), "Edit2")->setText("40");
    Child<QLineEdit>(form.get(), "Edit3")->setText("1..2");
    QTest::mouseClick(Child<QPushButton>(form.get(), "Button1"), Qt::LeftButton);
    QCOMPARE(Child<QLabel>(form.get(), "Label38")->text(), QStringLiteral("3.4 лит."));
    QCOMPARE(Child<QLabel>(form.get(), "Label7")->text(), QStringLiteral("0"));
    QVERIFY(boxes->boxes.isEmpty());
}

void MainWindowTests::mixResetBeforeTheWarning()
{
    auto* result = Child<QLabel>(form.get(), "Label30");
    const QStringList fields{"Edit7", "Edit8", "Edit9", "Edit10"};
    const QStringList texts{"1", "96", "2", "40"};
    for (int i = 0; i < 4; ++i)
        Child<QLineEdit>(form.get(), fields[i])->setText(texts[i]);
    QTest::mouseClick(Child<QPushButton>(form.get(), "Button5"), Qt::LeftButton);
    QCOMPARE(result->text(), QStringLiteral("58.7  %об."));

    // While the warning is up, the earlier result is already gone.
    QString shownDuringWarning;
    boxes->onShow = [&](const BoxRequest&) { shownDuringWarning = result->text(); };
    Child<QLineEdit>(form.get(), "Edit9")->clear();
    QTest::mouseClick(Child<QPushButton>(form.get(), "Button5"), Qt::LeftButton);
    QCOMPARE(shownDuringWarning, QStringLiteral("0"));
    QCOMPARE(result->text(), QStringLiteral("0"));
    QCOMPARE(boxes->texts(), QStringList{cases::kMissing});
}

void MainWindowTests::resultsFitTheirPanels_data()
{
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("labels");

    QTest::newRow("cut, 10000000000000 l") << QStringList{"Edit1", "Edit2"} << QStringList{"10000000000000", "100"}
                                            << "Button1" << QStringList{"Label3", "Label4", "Label37", "Label38"};
    QTest::newRow("cut, fifteen digits") << QStringList{"Edit1", "Edit2"} << QStringList{"1", "33.3333333333333"}
                                          << "Button1" << QStringList{"Label3", "Label4", "Label37", "Label38"};
    QTest::newRow("mash heads") << QStringList{"Edit3"} << QStringList{"123456789012"} << "Button3"
                                << QStringList{"Label7"};
    QTest::newRow("mix") << QStringList{"Edit7", "Edit8", "Edit9", "Edit10"}
                         << QStringList{"1", "123456789012", "1", "123456789012"} << "Button5" << QStringList{"Label30"};
    QTest::newRow("spirit and water") << QStringList{"Edit12", "Edit11", "Edit14"}
                                      << QStringList{"1", "123456789", "1000"} << "Button7"
                                      << QStringList{"Label46", "Label52"};
}

void MainWindowTests::resultsFitTheirPanels()
{
    QFETCH(QStringList, fields);
    QFETCH(QStringList, inputs);
    QFETCH(QString, button);
    QFETCH(QStringList, labels);

    for (int i = 0; i < fields.size(); ++i)
        Child<QLineEdit>(form.get(), fields[i])->setText(inputs[i]);
    QTest::mouseClick(Child<QPushButton>(form.get(), button), Qt::LeftButton);
    QVERIFY(boxes->boxes.isEmpty());

    for (const QString& name : labels) {
        auto* label = Child<QLabel>(form.get(), name);
        // The whole text is drawn inside the label, the label inside its container, and
        // nothing else covers it.
        const int flags = label->wordWrap() ? int(Qt::TextWordWrap) : 0;
        const QRect drawn = label->fontMetrics().boundingRect(label->contentsRect(), flags | Qt::AlignLeft, label->text());
        QVERIFY2(drawn.width() <= label->width() && drawn.height() <= label->height(),
                 qPrintable(name + QLatin1Char(' ') + label->text()));
        const QWidget* container = label->parentWidget();
        const QRect room = qobject_cast<const QFrame*>(container) != nullptr
                               ? static_cast<const QFrame*>(container)->contentsRect()
                               : container->rect();
        QVERIFY2(room.contains(label->geometry()), qPrintable(name + QLatin1Char(' ') + label->text()));
        for (const QWidget* sibling : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (sibling != label)
                QVERIFY2(!sibling->geometry().intersects(label->geometry()),
                         qPrintable(name + QStringLiteral(" under ") + sibling->objectName()));
        QVERIFY(label->font().bold());
        QVERIFY(label->font().pointSizeF() >= 6);
    }

    // A short result afterwards is shown at full size again.
    if (button == u"Button1") {
        Child<QLineEdit>(form.get(), "Edit1")->setText("10");
        Child<QLineEdit>(form.get(), "Edit2")->setText("40");
        QTest::mouseClick(Child<QPushButton>(form.get(), button), Qt::LeftButton);
        for (const QString& name : labels) {
            QCOMPARE(Child<QLabel>(form.get(), name)->font().pointSize(), 10);
            QVERIFY(Child<QLabel>(form.get(), name)->toolTip().isEmpty());
        }
    }
}

void MainWindowTests::keyFilter_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("typed"); // the text the key types
    QTest::addColumn<QString>("after"); // the field's text afterwards (it starts as "10")

    const int none = Qt::NoModifier;
    const int ctrl = Qt::ControlModifier;
    QTest::newRow("7") << int(Qt::Key_7) << none << "7" << "107";
    QTest::newRow("point") << int(Qt::Key_Period) << none << "." << "10.";
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << none << "\b" << "1";
    QTest::newRow("return") << int(Qt::Key_Return) << none << "\r" << "10";
    QTest::newRow("a") << int(Qt::Key_A) << none << "a" << "10";
    QTest::newRow("comma") << int(Qt::Key_Comma) << none << "," << "10";
    QTest::newRow("minus") << int(Qt::Key_Minus) << none << "-" << "10";
    QTest::newRow("blank") << int(Qt::Key_Space) << none << " " << "10";
    QTest::newRow("yu") << 0x42E << none << "ю" << "10";
    QTest::newRow("Ctrl+V") << int(Qt::Key_V) << ctrl << "\x16" << "10";
    QTest::newRow("Ctrl+C") << int(Qt::Key_C) << ctrl << "\x03" << "10";
    QTest::newRow("Ctrl+X") << int(Qt::Key_X) << ctrl << "\x18" << "10";
}

void MainWindowTests::keyFilter()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, typed);
    QFETCH(QString, after);

    QGuiApplication::clipboard()->setText(QStringLiteral("99"));
    auto* edit = Child<QLineEdit>(form.get(), "Edit1");
    edit->setText(QStringLiteral("10"));
    edit->selectAll(); // what Ctrl+C and Ctrl+X would take; the text is typed over otherwise
    edit->end(false);
    if (modifiers != Qt::NoModifier)
        edit->selectAll();

    if (typed.size() == 1 && typed[0].unicode() < 0x80 && modifiers == Qt::NoModifier && typed[0].isPrint())
        QTest::keyClick(edit, typed[0].toLatin1());
    else if (modifiers != Qt::NoModifier || key == Qt::Key_Backspace || key == Qt::Key_Return)
        QTest::keyClick(edit, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    else
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key(key), typed, Qt::KeyboardModifiers(modifiers));

    QCOMPARE(edit->text(), after);
    const bool refused = after == u"10" && key != Qt::Key_Return;
    QCOMPARE(describe(boxes->boxes),
             refused ? QStringList{describe({BoxKind::Plain, ApplicationTitle(), kRefused})} : QStringList{});
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("99"));
}

void MainWindowTests::keyFilterOnEveryField_data()
{
    QTest::addColumn<QString>("field");
    for (const QString& field : kFilteredFields)
        QTest::newRow(qPrintable(field)) << field;
}

void MainWindowTests::keyFilterOnEveryField()
{
    QFETCH(QString, field);
    auto* edit = Child<QLineEdit>(form.get(), field);
    edit->setText(QStringLiteral("1"));
    edit->end(false);
    QTest::keyClick(edit, 'x');
    QCOMPARE(edit->text(), QStringLiteral("1"));
    QCOMPARE(boxes->texts(), QStringList{kRefused});
    QTest::keyClick(edit, '5');
    QCOMPARE(edit->text(), QStringLiteral("15"));
    QCOMPARE(boxes->boxes.size(), 1);

    // Every field of the window is one of them.
    QStringList all;
    for (QLineEdit* any : form->findChildren<QLineEdit*>())
        all.append(any->objectName());
    all.sort();
    QStringList filtered = kFilteredFields;
    filtered.sort();
    QCOMPARE(all, filtered);
}

void MainWindowTests::doublePointTypedThenRefusedByConversion()
{
    auto* edit = Child<QLineEdit>(form.get(), "Edit3");
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("1..2"));
    QCOMPARE(edit->text(), QStringLiteral("1..2"));
    QVERIFY(boxes->boxes.isEmpty());

    QString shownDuringError;
    boxes->onShow = [&](const BoxRequest&) { shownDuringError = Child<QLabel>(form.get(), "Label7")->text(); };
    QTest::mouseClick(Child<QPushButton>(form.get(), "Button3"), Qt::LeftButton);
    QCOMPARE(boxes->texts(), QStringList{QStringLiteral("'1..2' is not a valid floating point value.")});
    QCOMPARE(shownDuringError, QStringLiteral("0"));
}

void MainWindowTests::aboutTwice()
{
    QList<QPointer<QWidget>> opened;
    QStringList problems;
    auto inspectAndClose = [&](QWidget* modal) {
        opened.append(modal);
        auto* about = qobject_cast<TForm4*>(modal);
        if (about == nullptr) {
            problems.append(QStringLiteral("not the About window: ") + modal->objectName());
            modal->close();
            return;
        }
        if (opened.size() == 2 && !opened[0].isNull())
            problems.append(QStringLiteral("the first About window still exists"));
        if (about->objectName() != u"Form4" || about->windowTitle() != u"О программе")
            problems.append(QStringLiteral("name or caption"));
        if (about->size() != QSize(356, 115) || about->minimumSize() != about->maximumSize())
            problems.append(QStringLiteral("size"));
        const Qt::WindowFlags flags = about->windowFlags();
        if (!(flags & Qt::WindowCloseButtonHint) || !(flags & Qt::WindowSystemMenuHint) ||
            (flags & Qt::WindowMinimizeButtonHint) || (flags & Qt::WindowMaximizeButtonHint))
            problems.append(QStringLiteral("title-bar buttons"));
        if (about->parentWidget() != nullptr)
            problems.append(QStringLiteral("has an owner"));
        if (about->palette().color(QPalette::Window) != QColor(0, 255, 255) || !about->autoFillBackground())
            problems.append(QStringLiteral("background"));
        const auto* label1 = about->findChild<QLabel*>("Label1");
        const auto* label2 = about->findChild<QLabel*>("Label2");
        const auto* label3 = about->findChild<QLabel*>("Label3");
        if (label1 == nullptr || label1->text() != u"Программа: Ферлунд  " || label1->pos() != QPoint(32, 16) ||
            label1->font().family() != u"Segoe Script" || !label1->font().bold() || label1->font().pointSize() != 10)
            problems.append(QStringLiteral("Label1"));
        if (label2 == nullptr || label2->text() != u"v.3.0.2016" || label2->pos() != QPoint(128, 40) ||
            label2->font().family() != u"Segoe Script" || !label2->font().bold() || label2->font().pointSize() != 8)
            problems.append(QStringLiteral("Label2"));
        if (label3 == nullptr || label3->text().isEmpty() || label3->pos() != QPoint(16, 72) ||
            label3->font().family() != u"Segoe Print" || label3->font().bold() || label3->font().pointSize() != 12 ||
            label3->geometry().right() >= 356)
            problems.append(QStringLiteral("Label3"));
        about->close(); // the title bar's close button
    };

    for (int run = 0; run < 2; ++run) {
        WhenModalShown(inspectAndClose);
        QTest::mouseClick(Child<QPushButton>(form.get(), "Button6"), Qt::LeftButton);
        QCOMPARE(opened.size(), run + 1);
        QVERIFY2(opened.last().isNull(), "the About window outlived its modal run");
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
    QVERIFY(boxes->boxes.isEmpty());
    QVERIFY(form->isVisible());
}

void MainWindowTests::mashWindowsRunModally_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("windowClass");
    QTest::addColumn<QString>("windowName");
    QTest::newRow("sugar") << "BitBtn1" << "TForm2" << "Form2";
    QTest::newRow("grain") << "BitBtn2" << "TForm5" << "Form5";
}

void MainWindowTests::mashWindowsRunModally()
{
    QFETCH(QString, button);
    QFETCH(QString, windowClass);
    QFETCH(QString, windowName);

    QPointer<QWidget> opened;
    QString className;
    QString objectName;
    bool owned = true;
    WhenModalShown([&](QWidget* modal) {
        opened = modal;
        className = QString::fromLatin1(modal->metaObject()->className());
        objectName = modal->objectName();
        owned = modal->parentWidget() != nullptr;
        modal->close();
    });
    QTest::mouseClick(Child<QPushButton>(form.get(), button), Qt::LeftButton);
    QCOMPARE(className, windowClass);
    QCOMPARE(objectName, windowName);
    QVERIFY(!owned);
    QVERIFY2(opened.isNull(), "the window outlived its modal run");
    QVERIFY(form->isVisible());
    for (const BoxRequest& box : boxes->boxes) // only what the window itself may tell at creation
        QCOMPARE(box.kind, BoxKind::Plain);
}

void MainWindowTests::helpWithoutHelpFile()
{
    QTemporaryDir elsewhere;
    QVERIFY(elsewhere.isValid());
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(elsewhere.path()));
    QTest::mouseClick(Child<QPushButton>(form.get(), "Button2"), Qt::LeftButton);
    QTest::qWait(50);
    QVERIFY(QDir::setCurrent(previous));

    QVERIFY(boxes->boxes.isEmpty());
    QVERIFY(form->isVisible());
    // Still usable.
    Child<QLineEdit>(form.get(), "Edit3")->setText("3");
    QTest::mouseClick(Child<QPushButton>(form.get(), "Button3"), Qt::LeftButton);
    QCOMPARE(Child<QLabel>(form.get(), "Label7")->text(), QStringLiteral("150  мл."));
}

void MainWindowTests::helpLooksInTheCurrentDirectory()
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    auto restore = qScopeGuard([] { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); });

    QTemporaryDir elsewhere;
    QVERIFY(elsewhere.isValid());
    QVERIFY(QDir(elsewhere.path()).canonicalPath() != QDir(QCoreApplication::applicationDirPath()).canonicalPath());
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(elsewhere.path()));
    QTest::mouseClick(Child<QPushButton>(form.get(), "Button2"), Qt::LeftButton);
    const QString expected = QDir::current().filePath(QStringLiteral("help.chm"));
    QVERIFY(QDir::setCurrent(previous));

    QCOMPARE(catcher.urls, QList<QUrl>{QUrl::fromLocalFile(expected)});
    QVERIFY(boxes->boxes.isEmpty());
}

void MainWindowTests::exitButtonClosesBeforeDestroy()
{
    TForm1::LifecycleTrace().clear();
    QTest::mouseClick(Child<QPushButton>(form.get(), "BitBtn3"), Qt::LeftButton);
    QVERIFY(!form->isVisible());
    QCOMPARE(TForm1::LifecycleTrace(), QStringList{"FormClose"});
    form.reset();
    QCOMPARE(TForm1::LifecycleTrace(), (QStringList{"FormClose", "FormDestroy"}));
    QVERIFY(boxes->boxes.isEmpty());
}

void MainWindowTests::startupRunsAndShutsDown()
{
    form.reset(); // the run's own window must be the last one to close
    TForm1::LifecycleTrace().clear();
    bool sawItCentred = false;
    QTimer::singleShot(0, [&] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->objectName() != u"Form1" || !window->isVisible())
                continue;
            const QRect screen = window->screen()->availableGeometry();
            sawItCentred = (window->frameGeometry().center() - screen.center()).manhattanLength() <= 2;
            QTest::mouseClick(window->findChild<QPushButton*>("BitBtn3"), Qt::LeftButton);
            return;
        }
        QApplication::quit();
    });
    const int exitCode = RunProgram<TForm1>(*qApp);
    QCOMPARE(exitCode, 0);
    QVERIFY(sawItCentred);
    QCOMPARE(TForm1::LifecycleTrace(), (QStringList{"FormCreate", "FormClose", "FormDestroy"}));
    QCOMPARE(CurrentMessageBoxes(), boxes.get()); // the real boxes were installed only for the run
}

void MainWindowTests::quitAtCreationNeverShowsTheWindow()
{
    QuitAtCreation::trace().clear();
    QCOMPARE(RunProgram<QuitAtCreation>(*qApp), 0);
    QCOMPARE(QuitAtCreation::trace(), (QStringList{"created", "closed", "destroyed"}));
}

void MainWindowTests::errorBeforeTheEventLoopEndsWithExitCode1()
{
    QProcess probe;
    probe.start(QCoreApplication::applicationDirPath() + QStringLiteral("/startup_probe"), {});
    QVERIFY2(probe.waitForFinished(60000), qPrintable(probe.errorString()));
    QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
    QCOMPARE(probe.exitCode(), 1);

    QMap<QString, QString> shown;
    for (const QString& line : QString::fromUtf8(probe.readAllStandardOutput()).split(QLatin1Char('\n')))
        if (line.contains(QLatin1Char('=')))
            shown[line.section(QLatin1Char('='), 0, 0)] = line.section(QLatin1Char('='), 1);
    QCOMPARE(shown.value("caption"), QStringLiteral("Application Error"));
    QCOMPARE(shown.value("owner"), QStringLiteral("none"));
    QCOMPARE(shown.value("modality"), QString::number(Qt::ApplicationModal));
    QCOMPARE(shown.value("icon"), QString::number(QMessageBox::Critical));
    const QRegularExpression text(QStringLiteral(
        "^Exception EDatabaseError in module startup_probe at [0-9A-F]{8}\\.\\\\r\\\\n"
        "Unable to load the database client library\\.\\\\r\\\\n$"));
    QVERIFY2(text.match(shown.value("text")).hasMatch(), qPrintable(shown.value("text")));
}

QTEST_MAIN(MainWindowTests)
#include "MainWindowTests.moc"
