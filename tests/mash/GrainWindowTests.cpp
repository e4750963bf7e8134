// The grain mash calculator and its settings window, driven offscreen as the user drives them,
// with the settings file in a temporary directory.

#include "BrZerno.h"
#include "MessageBoxes.h"
#include "ModalDriver.h"
#include "Nastroyka_1.h"
#include "Settings.h"
#include "TestSupport.h"
#include "Windows.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

const QStringList ResultLabels = {"Label11", "Label13", "Label54", "Label12", "Label14",
                                  "Label15", "Label17", "Label52", "Label53"};
const QStringList BuiltInResults = {"28", "4.71", "6", "0.89", "16.27", "89.09", "0.3", "3", "2.52"};
const QStringList AllZero = {"0", "0", "0", "0", "0", "0", "0", "0", "0"};
const QString NoFile = QStringLiteral("Файл example.ini не найден!");
const QString ReadError = QStringLiteral("Ошибка при чтении!");

QStringList resultTexts(QWidget* form5)
{
    QStringList texts;
    for (const QString& name : ResultLabels)
        texts.append(Child<QLabel>(form5, name)->text());
    return texts;
}

QStringList fieldTexts(QWidget* form6)
{
    QStringList texts;
    for (const char* name : {"Edit1", "Edit2", "Edit3", "Edit4"})
        texts.append(Child<QLineEdit>(form6, QLatin1String(name))->text());
    return texts;
}

void click(QWidget* window, const char* button) { Child<QPushButton>(window, QLatin1String(button))->click(); }

// "Kind: text" for each box shown, in order.
QStringList shown(const RecordingMessageBoxes& boxes)
{
    QStringList list;
    for (const BoxRequest& box : boxes.boxes) {
        const char* kind = box.kind == BoxKind::Plain ? "plain" : box.kind == BoxKind::Error ? "error" : "other";
        list.append(QLatin1String(kind) + QStringLiteral(": ") + box.text);
    }
    return list;
}

// The file's non-empty lines.
QStringList fileLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("(cannot open %1)").arg(path)};
    QStringList lines = QString::fromLatin1(file.readAll()).split(QRegularExpression(QStringLiteral("\r?\n")));
    lines.removeAll(QString());
    return lines;
}

// Runs Window as the program does (new instance, modal, destroyed at the end), with script
// acting inside the run; the script ends the run.
template <class Window>
void runModally(std::function<void(QWidget*)> script)
{
    WhenModalShown(std::move(script));
    RunModal<Window>();
}

} // namespace

class GrainWindowTests : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void frames_data();
    void frames();
    void layout_data();
    void layout();
    void tabOrder_data();
    void tabOrder();
    void escapeAndEnterDoNothing_data();
    void escapeAndEnterDoNothing();

    void noFileAtFirstPress();
    void fileRemovedAfterSuccessfulPress();
    void fileWithOnlyStillVolume();
    void settingsWindowWithoutFile_data();
    void settingsWindowWithoutFile();
    void savedChangeShowsAtNextPress();
    void emptiedFieldIsSavedAndFailsConversion();
    void longResultsStayInTheirRows();
    void refusedKeyInSettingsField_data();
    void refusedKeyInSettingsField();
    void writeFailureKeepsSettingsWindowOpen();

private:
    void writeSettingsFile(const QByteArray& content);
    QString settingsFile() const { return directory_->filePath(QStringLiteral("example.ini")); }

    std::unique_ptr<ModalWatchdog> watchdog_;
    std::unique_ptr<QTemporaryDir> directory_;
    std::unique_ptr<RecordingMessageBoxes> boxes_;
};

void GrainWindowTests::initTestCase()
{
    // The kept texts are empty when the program starts.
    const GrainSettingsTexts& atStart = GrainSettings();
    QCOMPARE((QStringList{atStart.vKub, atStart.vVod, atStart.sDr, atStart.pDr}), QStringList(4, QString()));

    UseRussianLocale();
    InstallFontSubstitutions();
    watchdog_ = std::make_unique<ModalWatchdog>();
}

void GrainWindowTests::init()
{
    directory_ = std::make_unique<QTemporaryDir>();
    QVERIFY(directory_->isValid());
    SetSettingsDirectory(directory_->path());
    boxes_ = std::make_unique<RecordingMessageBoxes>();
    GrainSettings() = {}; // as at the start of the program
}

void GrainWindowTests::cleanup()
{
    boxes_.reset();
    SetSettingsDirectory(QString());
    directory_.reset();
    QCOMPARE(watchdog_->failures(), QStringList());
}

void GrainWindowTests::writeSettingsFile(const QByteArray& content)
{
    QFile file(settingsFile());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
}

void GrainWindowTests::frames_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("caption");
    QTest::newRow("Form5") << "Form5" << QSize(789, 436) << "Зерновой калькулятор";
    QTest::newRow("Form6") << "Form6" << QSize(315, 202) << "Настройка";
}

void GrainWindowTests::frames()
{
    QFETCH(QString, window);
    QFETCH(QSize, size);
    QFETCH(QString, caption);

    std::unique_ptr<QDialog> form;
    if (window == QLatin1String("Form5"))
        form = std::make_unique<TForm5>();
    else
        form = std::make_unique<TForm6>();
    QCOMPARE(form->objectName(), window);
    QCOMPARE(form->windowTitle(), caption);
    QCOMPARE(form->minimumSize(), size);
    QCOMPARE(form->maximumSize(), size);
    const Qt::WindowFlags flags = form->windowFlags();
    QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
    QVERIFY(!flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinMaxButtonsHint));
    QVERIFY(form->parent() == nullptr);
}

void GrainWindowTests::layout_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("geometry"); // width and height 0: the label sizes itself
    QTest::addColumn<QString>("text");

    auto row = [](const char* window, const char* name, const char* parent, QRect geometry, const QString& text) {
        QTest::addRow("%s %s", window, name) << window << name << parent << geometry << text;
    };
    row("Form5", "Label1", "Form5", {216, 8, 321, 24}, "Состав смеси и выход продукта");
    row("Form5", "Panel1", "Form5", {5, 40, 777, 337}, "");
    row("Form5", "Label2", "Panel1", {24, 30, 0, 0}, "Потребуется:");
    row("Form5", "Label54", "Panel1", {136, 31, 0, 0}, "0");
    row("Form5", "Label3", "Panel1", {168, 30, 0, 0}, "кг. зерна (муки, крупы, дробленки)");
    row("Form5", "GroupBox1", "Panel1", {16, 56, 297, 217}, "Исходные данные:");
    row("Form5", "Label11", "GroupBox1", {200, 24, 0, 0}, "0");
    row("Form5", "Label12", "GroupBox1", {200, 48, 0, 0}, "0");
    row("Form5", "Label13", "GroupBox1", {200, 72, 0, 0}, "0");
    row("Form5", "Label14", "GroupBox1", {200, 96, 0, 0}, "0");
    row("Form5", "Label15", "GroupBox1", {200, 120, 0, 0}, "0");
    row("Form5", "Panel2", "GroupBox1", {4, 144, 285, 65}, "");
    row("Form5", "Label17", "Panel2", {197, 9, 0, 0}, "0");
    row("Form5", "GroupBox2", "Panel1", {328, 56, 441, 217}, "");
    row("Form5", "Image1", "GroupBox2", {48, 8, 313, 209}, "");
    row("Form5", "Label35", "Panel1", {400, 280, 0, 0}, "Теоретич.:");
    row("Form5", "Label36", "Panel1", {587, 280, 0, 0}, "Реальный:");
    row("Form5", "Label50", "Panel1", {24, 304, 0, 0}, "Выход 50% СС:");
    row("Form5", "Label52", "Panel1", {424, 304, 0, 0}, "0");
    row("Form5", "Label53", "Panel1", {616, 304, 0, 0}, "0");
    row("Form5", "Label51", "Panel1", {688, 304, 0, 0}, "лит.");
    row("Form5", "BitBtn1", "Form5", {8, 392, 161, 25}, "Настройка данных");
    row("Form5", "Button1", "Form5", {432, 392, 265, 33}, "Расчитать");
    row("Form5", "Button2", "Form5", {712, 392, 73, 33}, "Закрыть");
    row("Form6", "Panel1", "Form6", {8, 8, 297, 145}, "");
    row("Form6", "Label2", "Panel1", {16, 16, 0, 0}, "Объем куба:");
    row("Form6", "Edit1", "Panel1", {200, 16, 73, 21}, "40");
    row("Form6", "Label1", "Panel1", {16, 48, 0, 0}, "Объем воды:");
    row("Form6", "Edit2", "Panel1", {200, 48, 73, 21}, "4");
    row("Form6", "Label3", "Panel1", {16, 80, 0, 0}, "Сухих дрожжей:");
    row("Form6", "Edit3", "Panel1", {200, 80, 73, 21}, "2.74");
    row("Form6", "Label4", "Panel1", {16, 112, 0, 0}, "Пресованных дрожжей:");
    row("Form6", "Edit4", "Panel1", {200, 112, 73, 21}, "15");
    row("Form6", "Button1", "Form6", {8, 168, 185, 25}, "Сохранить");
    row("Form6", "Button2", "Form6", {208, 168, 99, 25}, "Отменить");
}

void GrainWindowTests::layout()
{
    QFETCH(QString, window);
    QFETCH(QString, name);
    QFETCH(QString, parent);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);

    // Without a settings file the settings window shows its built-in texts.
    std::unique_ptr<QDialog> form;
    if (window == QLatin1String("Form5"))
        form = std::make_unique<TForm5>();
    else
        form = std::make_unique<TForm6>();
    QWidget* control = Child<QWidget>(form.get(), name);
    QVERIFY(control);
    QCOMPARE(control->parentWidget()->objectName(), parent);
    if (geometry.width() == 0) {
        QCOMPARE(control->pos(), geometry.topLeft());
        QCOMPARE(control->size(), control->sizeHint()); // fits its text
    } else {
        QCOMPARE(control->geometry(), geometry);
    }
    QString actual;
    if (auto* label = qobject_cast<QLabel*>(control); label && name != QLatin1String("Image1"))
        actual = label->text();
    else if (auto* button = qobject_cast<QPushButton*>(control))
        actual = button->text();
    else if (auto* box = qobject_cast<QGroupBox*>(control))
        actual = box->title();
    else if (auto* edit = qobject_cast<QLineEdit*>(control))
        actual = edit->text();
    QCOMPARE(actual, text);
}

void GrainWindowTests::tabOrder_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QStringList>("order");
    QTest::newRow("Form5") << "Form5" << QStringList{"Button1", "Button2", "BitBtn1", "Button1"};
    QTest::newRow("Form6") << "Form6" << QStringList{"Edit1", "Edit2", "Edit3", "Edit4", "Button1", "Button2", "Edit1"};
}

void GrainWindowTests::tabOrder()
{
    QFETCH(QString, window);
    QFETCH(QStringList, order);

    std::unique_ptr<QDialog> form;
    if (window == QLatin1String("Form5"))
        form = std::make_unique<TForm5>();
    else
        form = std::make_unique<TForm6>();
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));

    QStringList visited;
    for (qsizetype i = 0; i < order.size(); ++i) {
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus);
        visited.append(focus->objectName());
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    QCOMPARE(visited, order);
}

void GrainWindowTests::escapeAndEnterDoNothing_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("key");
    QTest::addColumn<QStringList>("boxes");
    QTest::newRow("Form5 Escape") << "Form5" << int(Qt::Key_Escape) << QStringList();
    QTest::newRow("Form5 Enter") << "Form5" << int(Qt::Key_Return) << QStringList();
    // Escape types a control character into Edit1, which the key filter refuses.
    QTest::newRow("Form6 Escape") << "Form6" << int(Qt::Key_Escape)
        << QStringList{"plain: " + NoFile, "plain: Нет такой цыфры!"};
    QTest::newRow("Form6 Enter") << "Form6" << int(Qt::Key_Return) << QStringList{"plain: " + NoFile};
}

void GrainWindowTests::escapeAndEnterDoNothing()
{
    QFETCH(QString, window);
    QFETCH(int, key);
    QFETCH(QStringList, boxes);

    // The key goes to the widget that has the focus at opening ("Расчитать", Edit1); neither
    // window closes, calculates or saves on it.
    bool openAfterKey = false;
    QStringList resultsAfterKey;
    auto script = [&](QWidget* form) {
        if (!QTest::qWaitForWindowActive(form) || QApplication::focusWidget() == nullptr) {
            click(form, "Button2");
            return;
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        QTest::keyClick(form, Qt::Key(key));
        openAfterKey = form->isVisible();
        if (form->objectName() == QLatin1String("Form5"))
            resultsAfterKey = resultTexts(form);
        click(form, "Button2");
    };
    if (window == QLatin1String("Form5"))
        runModally<TForm5>(script);
    else
        runModally<TForm6>(script);

    QVERIFY(openAfterKey);
    if (window == QLatin1String("Form5"))
        QCOMPARE(resultsAfterKey, AllZero);
    QCOMPARE(shown(*boxes_), boxes);
    QVERIFY(!QFile::exists(settingsFile()));
}

void GrainWindowTests::noFileAtFirstPress()
{
    QStringList results;
    runModally<TForm5>([&](QWidget* form) {
        click(form, "Button1");
        results = resultTexts(form);
        click(form, "Button2");
    });

    // The texts are still the empty ones of the start of the program.
    QCOMPARE(shown(*boxes_), (QStringList{"plain: " + NoFile, "error: '' is not a valid floating point value."}));
    QCOMPARE(results, AllZero);
}

void GrainWindowTests::fileRemovedAfterSuccessfulPress()
{
    writeSettingsFile("[Options_1]\r\nV_kub=40\r\nV_vod=4\r\nS_dr=2.74\r\nP_dr=15\r\n");
    QStringList first;
    runModally<TForm5>([&](QWidget* form) {
        click(form, "Button1");
        first = resultTexts(form);
        click(form, "Button2");
    });
    QCOMPARE(first, BuiltInResults);
    QCOMPARE(shown(*boxes_), QStringList());

    // A new opening starts from "0"; the kept texts give the same results without the file.
    QVERIFY(QFile::remove(settingsFile()));
    QStringList opened, second;
    runModally<TForm5>([&](QWidget* form) {
        opened = resultTexts(form);
        click(form, "Button1");
        second = resultTexts(form);
        click(form, "Button2");
    });
    QCOMPARE(opened, AllZero);
    QCOMPARE(shown(*boxes_), QStringList{"plain: " + NoFile});
    QCOMPARE(second, BuiltInResults);
}

void GrainWindowTests::fileWithOnlyStillVolume()
{
    writeSettingsFile("[Options_1]\r\nV_kub=40\r\n");

    // The calculator reads "0" for the missing keys: no water, no yeast.
    QStringList results;
    runModally<TForm5>([&](QWidget* form) {
        click(form, "Button1");
        results = resultTexts(form);
        click(form, "Button2");
    });
    QCOMPARE(results, (QStringList{"28", "0.71", "39", "5.88", "0", "0", "1.96", "20", "16.66"}));

    // The settings window shows what it could not read.
    TForm6 settings;
    QCOMPARE(fieldTexts(&settings), (QStringList{"40", ReadError, ReadError, ReadError}));
    QCOMPARE(shown(*boxes_), QStringList());
}

void GrainWindowTests::settingsWindowWithoutFile_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("lines"); // empty: no file
    QTest::newRow("Сохранить") << "Button1"
        << QStringList{"[Options_1]", "V_kub=40", "V_vod=4", "S_dr=2.74", "P_dr=15"};
    QTest::newRow("Отменить") << "Button2" << QStringList();
}

void GrainWindowTests::settingsWindowWithoutFile()
{
    QFETCH(QString, button);
    QFETCH(QStringList, lines);

    QStringList fields;
    QStringList boxesAtOpening;
    bool closed = false;
    runModally<TForm6>([&](QWidget* form) {
        boxesAtOpening = shown(*boxes_);
        fields = fieldTexts(form);
        click(form, qPrintable(button));
        closed = !form->isVisible();
    });

    QCOMPARE(boxesAtOpening, QStringList{"plain: " + NoFile});
    QCOMPARE(fields, (QStringList{"40", "4", "2.74", "15"}));
    QVERIFY(closed);
    QCOMPARE(shown(*boxes_), QStringList{"plain: " + NoFile});
    if (lines.isEmpty())
        QVERIFY(!QFile::exists(settingsFile()));
    else
        QCOMPARE(fileLines(settingsFile()), lines);
}

void GrainWindowTests::savedChangeShowsAtNextPress()
{
    writeSettingsFile("[Options_1]\r\nV_kub=40\r\nV_vod=4\r\nS_dr=2.74\r\nP_dr=15\r\n");

    QStringList before, afterSave, afterPress, fieldsAtOpening;
    QPointer<QWidget> settingsWindow;
    runModally<TForm5>([&](QWidget* form5) {
        click(form5, "Button1");
        before = resultTexts(form5);

        WhenModalShown([&](QWidget* form6) {
            settingsWindow = form6;
            fieldsAtOpening = fieldTexts(form6);
            auto* still = Child<QLineEdit>(form6, QStringLiteral("Edit1"));
            still->selectAll();
            QTest::keyClicks(still, QStringLiteral("50"));
            click(form6, "Button1");
        });
        click(form5, "BitBtn1");
        afterSave = resultTexts(form5);

        click(form5, "Button1");
        afterPress = resultTexts(form5);
        click(form5, "Button2");
    });

    QCOMPARE(fieldsAtOpening, (QStringList{"40", "4", "2.74", "15"}));
    QVERIFY(settingsWindow.isNull()); // destroyed at the end of its run
    QCOMPARE(before, BuiltInResults);
    QCOMPARE(afterSave, BuiltInResults);
    QCOMPARE(afterPress, (QStringList{"35", "4.71", "7", "1.11", "20.34", "111.36", "0.37", "4", "3.16"}));
    QCOMPARE(ReadSetting("Options_1", "V_kub", "-"), QStringLiteral("50"));
    QCOMPARE(shown(*boxes_), QStringList());
}

void GrainWindowTests::emptiedFieldIsSavedAndFailsConversion()
{
    writeSettingsFile("[Options_1]\r\nV_kub=40\r\nV_vod=4\r\nS_dr=2.74\r\nP_dr=15\r\n");

    // An empty field is written as it stands; the next calculation stops at the water.
    QStringList results;
    runModally<TForm5>([&](QWidget* form5) {
        WhenModalShown([&](QWidget* form6) {
            auto* water = Child<QLineEdit>(form6, QStringLiteral("Edit2"));
            water->setFocus();
            water->selectAll();
            QTest::keyClick(water, Qt::Key_Backspace);
            click(form6, "Button1");
        });
        click(form5, "BitBtn1");
        click(form5, "Button1");
        results = resultTexts(form5);
        click(form5, "Button2");
    });

    QCOMPARE(ReadSetting("Options_1", "V_vod", "-"), QString());
    QCOMPARE(results, (QStringList{"28", "0", "0", "0", "0", "0", "0", "0", "0"}));
    QCOMPARE(shown(*boxes_), QStringList{"error: '' is not a valid floating point value."});
}

void GrainWindowTests::longResultsStayInTheirRows()
{
    // Each result and the label after it on its row.
    const QList<std::pair<QString, QString>> rows = {
        {"Label54", "Label3"},  {"Label11", "Label18"}, {"Label13", "Label20"}, {"Label12", "Label19"},
        {"Label14", "Label21"}, {"Label15", "Label22"}, {"Label17", "Label10"}, {"Label52", "Label53"},
        {"Label53", "Label51"}};
    writeSettingsFile("[Options_1]\r\nV_kub=4000\r\nV_vod=4\r\nS_dr=2.74\r\nP_dr=15\r\n");

    TForm5 form;
    const int designedSize = Child<QLabel>(&form, QStringLiteral("Label15"))->font().pointSize();
    click(&form, "Button1");
    QCOMPARE(resultTexts(&form), (QStringList{"2800", "4.71", "594", "89.09", "1627.39", "8909.09", "29.7", "297", "252.42"}));
    for (const auto& [result, next] : rows) {
        const QLabel* label = Child<QLabel>(&form, result);
        QVERIFY2(label->geometry().right() < Child<QLabel>(&form, next)->x(), qPrintable(result));
        QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(result)); // nothing cut off
    }
    auto* pressed = Child<QLabel>(&form, QStringLiteral("Label15"));
    QVERIFY(pressed->font().pointSizeF() < designedSize);
    QCOMPARE(pressed->toolTip(), QStringLiteral("8909.09"));

    // A short result gets its designed size back.
    writeSettingsFile("[Options_1]\r\nV_kub=40\r\nV_vod=4\r\nS_dr=2.74\r\nP_dr=15\r\n");
    click(&form, "Button1");
    QCOMPARE(resultTexts(&form), BuiltInResults);
    QCOMPARE(pressed->font().pointSize(), designedSize);
    QCOMPARE(pressed->toolTip(), QString());
    QCOMPARE(shown(*boxes_), QStringList());
}

void GrainWindowTests::refusedKeyInSettingsField_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("builtIn");
    QTest::newRow("Edit1") << "Edit1" << "40";
    QTest::newRow("Edit2") << "Edit2" << "4";
    QTest::newRow("Edit3") << "Edit3" << "2.74";
    QTest::newRow("Edit4") << "Edit4" << "15";
}

void GrainWindowTests::refusedKeyInSettingsField()
{
    QFETCH(QString, field);
    QFETCH(QString, builtIn);

    TForm6 form;
    boxes_->clear(); // the opening's message about the missing file
    auto* edit = Child<QLineEdit>(&form, field);
    edit->end(false);
    QTest::keyClicks(edit, QStringLiteral("7,a.-1"));

    QCOMPARE(edit->text(), builtIn + QStringLiteral("7.1"));
    QCOMPARE(shown(*boxes_), QStringList(3, QStringLiteral("plain: Нет такой цыфры!")));
}

void GrainWindowTests::writeFailureKeepsSettingsWindowOpen()
{
    // A directory under a plain file: nobody can create the settings file there.
    writeSettingsFile("");
    SetSettingsDirectory(settingsFile() + QStringLiteral("/settings"));

    bool openAfterSave = false;
    QStringList boxesAfterSave;
    runModally<TForm6>([&](QWidget* form) {
        click(form, "Button1");
        openAfterSave = form->isVisible();
        boxesAfterSave = shown(*boxes_);
        click(form, "Button2");
    });

    QVERIFY(openAfterSave);
    QCOMPARE(boxesAfterSave, (QStringList{"plain: " + NoFile, "error: Unable to write to " + SettingsPath() + "."}));
    QCOMPARE(shown(*boxes_), boxesAfterSave);
}

QTEST_MAIN(GrainWindowTests)
#include "GrainWindowTests.moc"
