// The sugar mash calculator and its settings window, driven through the real windows with a
// settings file in a temporary directory.

#include "BrKalkuljtor.h"
#include "MessageBoxes.h"
#include "ModalDriver.h"
#include "Nastroyka.h"
#include "Numbers.h"
#include "Settings.h"
#include "TestSupport.h"
#include "Windows.h"

#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

const QByteArray kSample = "[Options]\r\nkolvo1=4\r\nkolvo2=20\r\nkolvo3=100\r\nkolvo4=1.5\r\nkolvo5=2\r\n"
                           "[Options_1]\r\nV_kub=40\r\nV_vod=4\r\nS_dr=2.74\r\nP_dr=15\r\n"
                           "[Base]\r\npath=D:\\Calc\\ALC.FDB\r\n";

// Form2's result labels in delivery order, and what the sample settings give at 1000 g.
const QStringList kResults{"Label13", "Label14", "Label15", "Label16", "Label17", "Label18",
                           "Label46", "Label45", "Label37", "Label41", "Label38", "Label42",
                           "Label39", "Label43", "Label40", "Label44"};
const QStringList k1000{"630", "4000", "4630", "20", "100", "2", "2", "4  гр.",
                        "515", "489", "538", "457", "682", "579", "1599", "1359"};
const QStringList k5000{"3151", "20000", "23151", "100", "500", "8", "10", "18  гр.",
                        "2575", "2446", "2690", "2286", "3408", "2897", "7996", "6796"};
const QStringList kZeros{"0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0"};

const QString kNotFound = QStringLiteral("Файл example.ini не найден!");
const QString kReadError = QStringLiteral("Ошибка при чтении!");

QString text(QWidget* window, const QString& name) { return Child<QLabel>(window, name)->text(); }

// Every value is wholly visible and stops before the next column.
void checkValuesFitTheirColumns(QWidget* form)
{
    auto fits = [&](const char* name, int nextColumn) {
        QLabel* label = Child<QLabel>(form, name);
        const int needed = label->fontMetrics().horizontalAdvance(label->text());
        QVERIFY2(label->width() >= needed, name);
        QVERIFY2(label->geometry().right() < nextColumn, name);
    };
    for (const char* name : {"Label13", "Label14", "Label15", "Label16", "Label17", "Label18", "Label46"})
        fits(name, 272);
    for (const char* name : {"Label37", "Label38", "Label39", "Label40"})
        fits(name, 384);
    for (const char* name : {"Label41", "Label42", "Label43", "Label44"})
        fits(name, Child<QWidget>(form, "GroupBox2")->width() - 2);
    fits("Label45", 432);
    fits("Label55", 632);
    for (const char* name : {"Label9", "Label10"}) // the longest captions end before the results
        fits(name, 200);
}

QStringList results(QWidget* window)
{
    QStringList texts;
    for (const QString& name : kResults)
        texts.append(text(window, name));
    return texts;
}

void press(QWidget* window, const QString& button)
{
    QTest::mouseClick(Child<QPushButton>(window, button), Qt::LeftButton);
}

void type(QWidget* window, const QString& field, const QString& value)
{
    QLineEdit* edit = Child<QLineEdit>(window, field);
    edit->selectAll();
    if (value.isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    for (const QChar c : value) {
        if (c.unicode() < 128) {
            QTest::keyClick(edit, c.toLatin1());
        } else { // QTest types Latin-1 only; a Cyrillic key arrives with its text alone
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(edit, &press);
        }
    }
    QCOMPARE(edit->text(), value);
}

QStringList fieldsOf(QWidget* window)
{
    QStringList texts;
    for (const char* name : {"Edit1", "Edit2", "Edit3", "Edit4", "Edit5"})
        texts.append(Child<QLineEdit>(window, name)->text());
    return texts;
}

QStringList optionsInFile()
{
    QStringList values;
    for (const QString& key : SugarSettingsKeys())
        values.append(ReadSetting("Options", key, "(absent)"));
    return values;
}

// The widgets a user can reach with Tab, in order, starting from first.
QStringList focusChain(QWidget* first, int count)
{
    QStringList names;
    QWidget* w = first;
    for (int i = 0; i < count; ++i) {
        names.append(w->objectName());
        do
            w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus) || !w->isEnabled());
    }
    return names;
}

} // namespace

class SugarWindowTests : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void form2Layout_data();
    void form2Layout();
    void form2Frame();
    void form2CreateSetsDecimalSeparator();
    void form2IgnoresEnterAndEscape();
    void fiveDigitResultsFit();
    void heavyBatchResultsFit();

    void firstPressWithoutSettingsFile();
    void fileRemovedAfterSuccessfulPress();
    void weightNotWhole_data();
    void weightNotWhole();
    void badSettingKeepsLaterResults();
    void defaultsForMissingKeys_data();
    void defaultsForMissingKeys();

    void form3Layout_data();
    void form3Layout();
    void form3Frame();
    void form3ShowsAndSavesSampleUnchanged();
    void form3WritesWhatWasTyped_data();
    void form3WritesWhatWasTyped();
    void form3WithoutFileCreatesIt();
    void form3CancelWritesNothing();
    void form3MissingKey();
    void form3WriteFailureKeepsItOpen();
    void savedValueShowsAtNextCalculation();

private:
    void writeSettings(const QByteArray& bytes);
    QByteArray settingsBytes() const;

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<ModalWatchdog> watchdog_;
    RecordingMessageBoxes boxes_;
};

void SugarWindowTests::initTestCase()
{
    UseRussianLocale();
    InstallFontSubstitutions();
}

void SugarWindowTests::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    SetSettingsDirectory(dir_->path());
    KeptSugarSettings() = SugarSettings{}; // as at program start
    boxes_.clear();
    boxes_.onShow = nullptr;
    watchdog_ = std::make_unique<ModalWatchdog>();
}

void SugarWindowTests::cleanup()
{
    const QStringList failures = watchdog_->failures();
    watchdog_.reset();
    SetSettingsDirectory(QString());
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join("; ")));
}

void SugarWindowTests::writeSettings(const QByteArray& bytes)
{
    QFile file(dir_->filePath("example.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray SugarWindowTests::settingsBytes() const
{
    QFile file(dir_->filePath("example.ini"));
    if (!file.open(QIODevice::ReadOnly))
        return "(no file)";
    return file.readAll();
}

// ---- Form2: its look ---------------------------------------------------------------

void SugarWindowTests::form2Layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QPoint>("position");
    QTest::addColumn<QSize>("size"); // invalid: sized by its text
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("points");
    QTest::addColumn<bool>("bold");

    auto row = [](const char* name, const char* parent, QPoint at, QSize size, const QString& caption,
                  int points, bool bold) {
        QTest::newRow(name) << QString(name) << QString(parent) << at << size << caption << points << bold;
    };
    const QSize free;
    row("Label1", "Form2", {208, 8}, free, "Состав смеси питательных солей ", 14, true);
    row("Label2", "Form2", {264, 32}, free, "     и выход продукта", 14, true);
    row("Panel1", "Form2", {1, 72}, {793, 321}, "", 8, false);
    row("Label3", "Panel1", {16, 27}, free, "Вес сахара:", 10, true);
    row("Edit1", "Panel1", {112, 24}, {65, 21}, "1000", 10, true);
    row("Label4", "Panel1", {184, 30}, free, "гр.", 10, true);
    row("Label55", "Panel1", {224, 24}, free, "", 10, true);
    row("BitBtn1", "Panel1", {632, 8}, {153, 25}, "Настройка данных", 8, false);
    row("GroupBox1", "Panel1", {16, 56}, {305, 201}, " Исходные данные", 10, true);
    row("GroupBox2", "Panel1", {328, 56}, {457, 201}, "Выход продукта:", 10, true);
    row("Label12", "Panel1", {17, 276}, free, "Всего солей:", 12, true);
    row("Label45", "Panel1", {135, 277}, free, "0", 12, true);
    row("Button3", "Panel1", {432, 274}, {265, 33}, "Расчитать", 8, false);
    row("Button2", "Panel1", {711, 273}, {74, 32}, "Закрыть", 8, false);

    const char* captions[][4] = {{"Label5", "Объем сахара:", "Label13", "Label54"},
                                 {"Label6", "Объем воды:", "Label14", "Label53"},
                                 {"Label7", "Общий объем:", "Label15", "Label52"},
                                 {"Label8", "Сухих дрожжей:", "Label16", "Label51"},
                                 {"Label9", "Прессованных дрожжей:", "Label17", "Label50"},
                                 {"Label10", "Карбамид (Мочевина):", "Label18", "Label49"},
                                 {"Label11", "Суперфосфат:", "Label46", "Label48"}};
    for (int i = 0; i < 7; ++i) {
        const int y = 24 + 24 * i;
        row(captions[i][0], "GroupBox1", {8, y}, free, QString::fromUtf8(captions[i][1]), 10, true);
        row(captions[i][2], "GroupBox1", {200, y}, free, "0", 10, true);
        row(captions[i][3], "GroupBox1", {272, y}, free, i < 3 ? "мл." : "гр.", 10, true);
    }

    row("Label35", "GroupBox2", {240, 16}, free, "Теоретич.:", 10, true);
    row("Label36", "GroupBox2", {352, 16}, free, "Реальный:", 10, true);
    // The formulas' letters are Cyrillic: С (U+0421), О (U+041E), Н (U+041D).
    row("Label19", "GroupBox2", {24, 48}, free, "Выделится \u0421\u041E", 10, true);
    row("Label22", "GroupBox2", {24, 80}, free, "Выработка \u0421", 10, true);
    row("Label28", "GroupBox2", {24, 112}, free, "Выработка \u0421", 10, true);
    row("Label34", "GroupBox2", {24, 144}, free, "или 40% \u0421\u0421", 10, true);
    const char* yields[][4] = {{"Label21", "гр.", "Label37", "Label41"},
                               {"Label27", "гр.", "Label38", "Label42"},
                               {"Label33", "мл.", "Label39", "Label43"},
                               {"Label47", "мл.", "Label40", "Label44"}};
    for (int i = 0; i < 4; ++i) {
        const int y = 48 + 32 * i;
        row(yields[i][0], "GroupBox2", {192, y}, free, QString::fromUtf8(yields[i][1]), 10, true);
        row(yields[i][2], "GroupBox2", {272, y}, free, "0", 10, true);
        row(yields[i][3], "GroupBox2", {384, y}, free, "0", 10, true);
    }
}

void SugarWindowTests::form2Layout()
{
    QFETCH(QString, name);
    QFETCH(QString, parent);
    QFETCH(QPoint, position);
    QFETCH(QSize, size);
    QFETCH(QString, caption);
    QFETCH(int, points);
    QFETCH(bool, bold);

    TForm2 form;
    QWidget* widget = Child<QWidget>(&form, name);
    QCOMPARE(widget->parentWidget()->objectName(), parent);
    QCOMPARE(widget->pos(), position);
    if (size.isValid())
        QCOMPARE(widget->size(), size);
    QCOMPARE(widget->font().pointSize(), points);
    QCOMPARE(widget->font().bold(), bold);
    if (auto* label = qobject_cast<QLabel*>(widget))
        QCOMPARE(label->text(), caption);
    else if (auto* edit = qobject_cast<QLineEdit*>(widget))
        QCOMPARE(edit->text(), caption);
    else if (auto* button = qobject_cast<QPushButton*>(widget))
        QCOMPARE(button->text(), caption);
    else if (auto* box = qobject_cast<QGroupBox*>(widget))
        QCOMPARE(box->title(), caption);
}

void SugarWindowTests::form2Frame()
{
    TForm2 form;
    QCOMPARE(form.objectName(), QStringLiteral("Form2"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Сахарный калькулятор"));
    QCOMPARE(form.minimumSize(), QSize(797, 397));
    QCOMPARE(form.maximumSize(), QSize(797, 397));
    const Qt::WindowFlags flags = form.windowFlags();
    QVERIFY(!(flags & (Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint
                       | Qt::WindowMaximizeButtonHint)));
    QVERIFY(!form.windowIcon().isNull());
    QVERIFY(!Child<QPushButton>(&form, "BitBtn1")->icon().isNull());
    QCOMPARE(qobject_cast<QFrame*>(Child<QWidget>(&form, "Panel1"))->frameShadow(), QFrame::Sunken);

    for (const char* name : {"Button2", "Button3", "BitBtn1"}) {
        auto* button = Child<QPushButton>(&form, name);
        QVERIFY2(!button->autoDefault() && !button->isDefault(), name);
    }
    QCOMPARE(focusChain(Child<QWidget>(&form, "Edit1"), 5),
             QStringList({"Edit1", "Button2", "Button3", "BitBtn1", "Edit1"}));

    // Index digits: bold, 11 px (8 pt), 8 px below their letters, just after them.
    const char* formulas[][2] = {{"Label19", "Label20"}, {"Label22", "Label23"}, {"Label24", "Label25"},
                                 {"Label28", "Label29"}, {"Label32", "Label30"}};
    for (const auto& pair : formulas) {
        QLabel* letters = Child<QLabel>(&form, pair[0]);
        QLabel* index = Child<QLabel>(&form, pair[1]);
        QVERIFY2(index->font().bold() && index->font().pointSize() == 8, pair[1]);
        QCOMPARE(index->y(), letters->y() + 8);
        QVERIFY2(index->x() > letters->geometry().right(), pair[1]);
        QVERIFY2(index->x() - letters->geometry().right() <= 3, pair[1]);
    }
    QCOMPARE(text(&form, "Label20") + text(&form, "Label23") + text(&form, "Label25"), QStringLiteral("225"));
    QCOMPARE(text(&form, "Label24") + text(&form, "Label26"), QStringLiteral("\u041D\u041E\u041D"));
    QCOMPARE(text(&form, "Label29") + text(&form, "Label32") + text(&form, "Label30") + text(&form, "Label31"),
             QStringLiteral("2\u041D5\u041E\u041D"));
    // Each formula ends before the unit column.
    for (const char* last : {"Label20", "Label26", "Label31", "Label34"})
        QVERIFY2(Child<QLabel>(&form, last)->geometry().right() < 192, last);
}

void SugarWindowTests::form2CreateSetsDecimalSeparator()
{
    SetDecimalSeparator(QLatin1Char(','));
    TForm2 form;
    QCOMPARE(DecimalSeparator(), QLatin1Char('.'));
}

void SugarWindowTests::form2IgnoresEnterAndEscape()
{
    writeSettings(kSample);
    QPointer<QWidget> shown;
    bool stayedOpen = false;
    QString kilograms = "(not run)";
    WhenModalShown([&](QWidget* modal) {
        shown = modal;
        QTest::keyClick(Child<QLineEdit>(modal, "Edit1"), Qt::Key_Return);
        QTest::keyClick(modal, Qt::Key_Escape);
        auto* calculate = Child<QPushButton>(modal, "Button3");
        calculate->setFocus();
        QTest::keyClick(calculate, Qt::Key_Enter);
        QTest::keyClick(calculate, Qt::Key_Escape);
        QApplication::processEvents();
        stayedOpen = modal->isVisible();
        kilograms = text(modal, "Label55");
        press(modal, "Button2");
    });
    RunModal<TForm2>();
    QCOMPARE(shown.isNull(), true); // destroyed when the run ended
    QVERIFY(stayedOpen);
    QCOMPARE(kilograms, QString()); // nothing was calculated
    QVERIFY(boxes_.boxes.isEmpty());
}

void SugarWindowTests::fiveDigitResultsFit()
{
    writeSettings(kSample);
    TForm2 form;
    form.show();
    type(&form, "Edit1", "20000");
    press(&form, "Button3");
    QVERIFY(boxes_.boxes.isEmpty());
    QCOMPARE(results(&form),
             QStringList({"12602", "80000", "92602", "400", "2000", "30", "40", "70  гр.", "10300", "9785",
                          "10760", "9146", "13633", "11588", "31983", "27186"}));
    QCOMPARE(text(&form, "Label55"), QStringLiteral("=  20кг."));

    checkValuesFitTheirColumns(&form);
}

void SugarWindowTests::heavyBatchResultsFit()
{
    writeSettings(kSample);
    TForm2 form;
    form.show();
    type(&form, "Edit1", "2000000000");
    press(&form, "Button3");
    QVERIFY(boxes_.boxes.isEmpty());
    QCOMPARE(text(&form, "Label13"), QStringLiteral("1260239445"));
    checkValuesFitTheirColumns(&form);
    // Drawn smaller, the whole text is in the tool tip too.
    auto* smaller = Child<QLabel>(&form, "Label13");
    QCOMPARE(smaller->toolTip(), smaller->text());

    // A light batch afterwards is shown at the designed size again.
    type(&form, "Edit1", "1000");
    press(&form, "Button3");
    QCOMPARE(results(&form), k1000);
    QVERIFY(smaller->toolTip().isEmpty());
    checkValuesFitTheirColumns(&form);
}

// ---- Form2: "Расчитать" --------------------------------------------------------------

void SugarWindowTests::firstPressWithoutSettingsFile()
{
    TForm2 form;
    form.show();
    press(&form, "Button3");

    QCOMPARE(boxes_.texts(), QStringList({kNotFound, "'' is not a valid floating point value."}));
    QCOMPARE(boxes_.boxes[0].kind, BoxKind::Plain);
    QCOMPARE(boxes_.boxes[1].kind, BoxKind::Error);
    QCOMPARE(text(&form, "Label55"), QStringLiteral("=  1кг."));
    QStringList expected = kZeros;
    expected[0] = "630";
    QCOMPARE(results(&form), expected);
    QVERIFY(form.isVisible());
}

void SugarWindowTests::fileRemovedAfterSuccessfulPress()
{
    writeSettings(kSample);
    {
        TForm2 form;
        form.show();
        press(&form, "Button3");
        QVERIFY(boxes_.boxes.isEmpty());
        QCOMPARE(results(&form), k1000);

        QVERIFY(QFile::remove(dir_->filePath("example.ini")));
        press(&form, "Button3");
        QCOMPARE(boxes_.texts(), QStringList({kNotFound}));
        QCOMPARE(results(&form), k1000);
    }
    // A window opened later in the run still has the texts read before.
    boxes_.clear();
    TForm2 later;
    later.show();
    QCOMPARE(results(&later), kZeros);
    press(&later, "Button3");
    QCOMPARE(boxes_.texts(), QStringList({kNotFound}));
    QCOMPARE(text(&later, "Label55"), QStringLiteral("=  1кг."));
    QCOMPARE(results(&later), k1000);
}

void SugarWindowTests::weightNotWhole_data()
{
    QTest::addColumn<QString>("weight");
    QTest::newRow("decimal point") << "1.5";
    QTest::newRow("empty") << "";
    QTest::newRow("letters") << "кило";
    QTest::newRow("beyond 32 bits") << "2147483648";
    QTest::newRow("trailing blank") << "1000 ";
}

void SugarWindowTests::weightNotWhole()
{
    QFETCH(QString, weight);
    writeSettings(kSample);
    TForm2 form;
    form.show();
    press(&form, "Button3");
    QCOMPARE(results(&form), k1000);

    // With the file gone, any reading would tell; the weight's error comes first and alone.
    QVERIFY(QFile::remove(dir_->filePath("example.ini")));
    KeptSugarSettings() = SugarSettings{"7", "7", "7", "7", "7"};
    type(&form, "Edit1", weight);
    press(&form, "Button3");
    QCOMPARE(boxes_.texts(), QStringList({QStringLiteral("'%1' is not a valid integer value.").arg(weight)}));
    QCOMPARE(text(&form, "Label55"), QStringLiteral("=  1кг."));
    QCOMPARE(results(&form), k1000);
    QCOMPARE(KeptSugarSettings().water, QStringLiteral("7"));
}

void SugarWindowTests::badSettingKeepsLaterResults()
{
    writeSettings(kSample);
    TForm2 form;
    form.show();
    press(&form, "Button3");
    QCOMPARE(results(&form), k1000);

    QByteArray bad = kSample;
    bad.replace("kolvo3=100", "kolvo3=abc");
    writeSettings(bad);
    type(&form, "Edit1", "5000");
    press(&form, "Button3");
    QCOMPARE(boxes_.texts(), QStringList({"'abc' is not a valid floating point value."}));
    QCOMPARE(text(&form, "Label55"), QStringLiteral("=  5кг."));
    QCOMPARE(results(&form), k5000.mid(0, 4) + k1000.mid(4));
    // The texts were replaced as a whole, the bad one included.
    QCOMPARE(KeptSugarSettings().pressedYeast, QStringLiteral("abc"));
}

void SugarWindowTests::defaultsForMissingKeys_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("no section Options")
        << QByteArray("[Options_1]\r\nV_kub=40\r\n[Base]\r\npath=x\r\n")
        << QStringList{"630", "0", "630", "0", "0", "0", "0", "0  гр.",
                       "515", "489", "538", "457", "682", "579", "1599", "1359"};
    QByteArray noKolvo3 = kSample;
    noKolvo3.replace("kolvo3=100\r\n", "");
    QStringList pressedZero = k1000;
    pressedZero[4] = "0";
    QTest::newRow("no kolvo3") << noKolvo3 << pressedZero;
    QByteArray noKolvo4 = kSample;
    noKolvo4.replace("kolvo4=1.5\r\n", "");
    QStringList ureaZero = k1000;
    ureaZero[5] = "0";
    ureaZero[7] = "2  гр.";
    QTest::newRow("no kolvo4") << noKolvo4 << ureaZero;
}

void SugarWindowTests::defaultsForMissingKeys()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, expected);
    writeSettings(file);
    TForm2 form;
    form.show();
    press(&form, "Button3");
    QVERIFY(boxes_.boxes.isEmpty());
    QCOMPARE(results(&form), expected);
}

// ---- Form3 ----------------------------------------------------------------------------

void SugarWindowTests::form3Layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("geometry"); // width 0: sized by its text
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("points");
    QTest::addColumn<bool>("bold");

    QTest::newRow("Panel1") << "Panel1" << "Form3" << QRect(5, 4, 380, 221) << "" << 8 << false;
    const char* rows[][3] = {{"Объем воды: ", "лит.", nullptr}, {"Сухих дрожжей: ", "гр.", nullptr},
                             {"Прессованный дрожжей: ", "гр.", nullptr}, {"Карбамид (Мочевина): ", "гр.", nullptr},
                             {"Суперфосфат: ", "гр.", nullptr}};
    const int captionY[] = {24, 64, 104, 136, 176}, fieldY[] = {24, 58, 98, 130, 170},
              unitY[] = {32, 64, 104, 136, 176};
    for (int i = 0; i < 5; ++i) {
        const QString n = QString::number(i + 1), u = QString::number(i + 6);
        QTest::newRow(qPrintable("Label" + n)) << "Label" + n << "Panel1" << QRect(16, captionY[i], 0, 0)
                                               << QString::fromUtf8(rows[i][0]) << 10 << true;
        QTest::newRow(qPrintable("Edit" + n)) << "Edit" + n << "Panel1" << QRect(256, fieldY[i], 81, 21)
                                              << "" << 8 << false;
        QTest::newRow(qPrintable("Label" + u)) << "Label" + u << "Panel1" << QRect(344, unitY[i], 0, 0)
                                               << QString::fromUtf8(rows[i][1]) << 8 << false;
    }
    QTest::newRow("Button1") << "Button1" << "Form3" << QRect(8, 232, 209, 25) << "Сохранить" << 8 << false;
    QTest::newRow("Button2") << "Button2" << "Form3" << QRect(240, 232, 145, 25) << "Отменить" << 8 << false;
}

void SugarWindowTests::form3Layout()
{
    QFETCH(QString, name);
    QFETCH(QString, parent);
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);
    QFETCH(int, points);
    QFETCH(bool, bold);

    writeSettings(""); // an empty file: every field reads the default
    TForm3 form;
    QWidget* widget = Child<QWidget>(&form, name);
    QCOMPARE(widget->parentWidget()->objectName(), parent);
    QCOMPARE(widget->pos(), geometry.topLeft());
    if (geometry.width() > 0)
        QCOMPARE(widget->size(), geometry.size());
    QCOMPARE(widget->font().pointSize(), points);
    QCOMPARE(widget->font().bold(), bold);
    if (auto* label = qobject_cast<QLabel*>(widget))
        QCOMPARE(label->text(), caption);
    else if (auto* button = qobject_cast<QPushButton*>(widget))
        QCOMPARE(button->text(), caption);
}

void SugarWindowTests::form3Frame()
{
    writeSettings(kSample);
    TForm3 form;
    QCOMPARE(form.objectName(), QStringLiteral("Form3"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Настройка"));
    QCOMPARE(form.minimumSize(), QSize(393, 262));
    QCOMPARE(form.maximumSize(), QSize(393, 262));
    QVERIFY(!(form.windowFlags() & (Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                                    | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QCOMPARE(qobject_cast<QFrame*>(Child<QWidget>(&form, "Panel1"))->frameShadow(), QFrame::Sunken);
    for (const char* name : {"Button1", "Button2"})
        QVERIFY2(!Child<QPushButton>(&form, name)->autoDefault(), name);
    QCOMPARE(focusChain(Child<QWidget>(&form, "Edit1"), 8),
             QStringList({"Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "Button1", "Button2", "Edit1"}));

    // Enter and Escape neither save nor close.
    bool stayedOpen = false;
    WhenModalShown([&](QWidget* modal) {
        Child<QLineEdit>(modal, "Edit1")->setText("9");
        QTest::keyClick(Child<QLineEdit>(modal, "Edit1"), Qt::Key_Return);
        QTest::keyClick(modal, Qt::Key_Escape);
        auto* save = Child<QPushButton>(modal, "Button1");
        save->setFocus();
        QTest::keyClick(save, Qt::Key_Return);
        QApplication::processEvents();
        stayedOpen = modal->isVisible();
        press(modal, "Button2");
    });
    RunModal<TForm3>();
    QVERIFY(stayedOpen);
    QCOMPARE(settingsBytes(), kSample);
    QVERIFY(boxes_.boxes.isEmpty());
}

void SugarWindowTests::form3ShowsAndSavesSampleUnchanged()
{
    writeSettings(kSample);
    TForm3 form;
    QCOMPARE(fieldsOf(&form), QStringList({"4", "20", "100", "1.5", "2"}));
    form.show();
    press(&form, "Button1");
    QVERIFY(boxes_.boxes.isEmpty());
    QVERIFY(!form.isVisible());
    QCOMPARE(settingsBytes(), kSample);
}

void SugarWindowTests::form3WritesWhatWasTyped_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("key");

    QTest::newRow("decimal comma") << "Edit2" << "2,5" << 1;
    QTest::newRow("words") << "Edit3" << "две ложки" << 2;
    QTest::newRow("emptied") << "Edit1" << "" << 0;
    QTest::newRow("blanks inside") << "Edit5" << "1 5" << 4;
}

void SugarWindowTests::form3WritesWhatWasTyped()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(int, key);

    writeSettings(kSample);
    TForm3 form;
    form.show();
    type(&form, field, typed);
    press(&form, "Button1");
    QVERIFY(boxes_.boxes.isEmpty());
    QVERIFY(!form.isVisible());

    QStringList expected{"4", "20", "100", "1.5", "2"};
    expected[key] = typed;
    QCOMPARE(optionsInFile(), expected);
    // The other sections stay byte for byte.
    const QByteArray tail = kSample.mid(kSample.indexOf("[Options_1]"));
    QVERIFY(settingsBytes().endsWith(tail));

    // The calculator takes the text as it stands, and none of these is a number.
    TForm2 calculator;
    calculator.show();
    press(&calculator, "Button3");
    QCOMPARE(boxes_.texts(), QStringList({QStringLiteral("'%1' is not a valid floating point value.").arg(typed)}));
}

void SugarWindowTests::form3WithoutFileCreatesIt()
{
    TForm3 form;
    QCOMPARE(boxes_.texts(), QStringList({kNotFound}));
    QCOMPARE(boxes_.boxes[0].kind, BoxKind::Plain);
    QCOMPARE(fieldsOf(&form), QStringList({"", "", "", "", ""}));
    form.show();
    type(&form, "Edit1", "5");
    type(&form, "Edit4", "1.5");
    press(&form, "Button1");
    QCOMPARE(boxes_.boxes.size(), 1);
    QVERIFY(!form.isVisible());
    QCOMPARE(settingsBytes(), QByteArray("[Options]\r\nkolvo1=5\r\nkolvo2=\r\nkolvo3=\r\nkolvo4=1.5\r\nkolvo5=\r\n"));
}

void SugarWindowTests::form3CancelWritesNothing()
{
    writeSettings(kSample);
    {
        TForm3 form;
        form.show();
        type(&form, "Edit1", "7");
        type(&form, "Edit5", "");
        press(&form, "Button2");
        QVERIFY(!form.isVisible());
    }
    QCOMPARE(settingsBytes(), kSample);
    TForm3 again;
    QCOMPARE(fieldsOf(&again), QStringList({"4", "20", "100", "1.5", "2"}));
    QVERIFY(boxes_.boxes.isEmpty());
}

void SugarWindowTests::form3MissingKey()
{
    QByteArray noKolvo4 = kSample;
    noKolvo4.replace("kolvo4=1.5\r\n", "");
    writeSettings(noKolvo4);
    {
        TForm3 form;
        QCOMPARE(fieldsOf(&form), QStringList({"4", "20", "100", kReadError, "2"}));
        QVERIFY(boxes_.boxes.isEmpty());
        form.show();
        press(&form, "Button1"); // saved unchanged, the default becomes the value
    }
    QCOMPARE(ReadSetting("Options", "kolvo4", "(absent)"), kReadError);
    TForm2 calculator;
    calculator.show();
    press(&calculator, "Button3");
    QCOMPARE(boxes_.texts(), QStringList({QStringLiteral("'%1' is not a valid floating point value.").arg(kReadError)}));
    QCOMPARE(text(&calculator, "Label17"), QStringLiteral("100"));
    QCOMPARE(text(&calculator, "Label18"), QStringLiteral("0"));
}

void SugarWindowTests::form3WriteFailureKeepsItOpen()
{
    // The settings directory lies under a regular file, so nothing can be written there.
    writeSettings(kSample);
    SetSettingsDirectory(dir_->filePath("example.ini") + "/beneath");
    const QString path = SettingsPath();

    bool stayedOpen = false;
    QStringList seen;
    WhenModalShown([&](QWidget* modal) {
        type(modal, "Edit1", "5");
        press(modal, "Button1");
        QApplication::processEvents();
        stayedOpen = modal->isVisible();
        seen = boxes_.texts();
        press(modal, "Button2");
    });
    RunModal<TForm3>();
    QVERIFY(stayedOpen);
    QCOMPARE(seen, QStringList({kNotFound, QStringLiteral("Unable to write to %1.").arg(path)}));
    QCOMPARE(boxes_.boxes.last().kind, BoxKind::Error);
    QCOMPARE(settingsBytes(), kSample);
}

void SugarWindowTests::savedValueShowsAtNextCalculation()
{
    writeSettings(kSample);
    TForm2 form;
    form.show();
    press(&form, "Button3");
    QCOMPARE(text(&form, "Label16"), QStringLiteral("20"));

    QPointer<QWidget> settings;
    QStringList shownFields;
    WhenModalShown([&](QWidget* modal) {
        settings = modal;
        shownFields = fieldsOf(modal);
        type(modal, "Edit2", "30");
        press(modal, "Button1");
    });
    press(&form, "BitBtn1"); // returns when the settings window's run has ended
    QCOMPARE(shownFields, QStringList({"4", "20", "100", "1.5", "2"}));
    QVERIFY(settings.isNull()); // destroyed with the end of its run
    QCOMPARE(ReadSetting("Options", "kolvo2", "(absent)"), QStringLiteral("30"));
    QCOMPARE(text(&form, "Label16"), QStringLiteral("20")); // nothing recalculated yet
    QCOMPARE(KeptSugarSettings().dryYeast, QStringLiteral("20"));

    press(&form, "Button3");
    QCOMPARE(text(&form, "Label16"), QStringLiteral("30"));
    QVERIFY(boxes_.boxes.isEmpty());
}

QTEST_MAIN(SugarWindowTests)
#include "SugarWindowTests.moc"
