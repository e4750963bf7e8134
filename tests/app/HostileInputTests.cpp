// Hostile texts pasted into every field of every window (set directly, past the key filter),
// and hostile values in the settings file, with every button of the window pressed. Each
// press ends in its result or its message, never a crash or a hang; the reference database
// is left as it was, and the settings file changes only through "Сохранить".

#include "BrKalkuljtor.h"
#include "BrZerno.h"
#include "MessageBoxes.h"
#include "ModalDriver.h"
#include "Nastroyka.h"
#include "Nastroyka_1.h"
#include "Settings.h"
#include "TForm1.h"
#include "TestSupport.h"
#include "Windows.h"

#include <QCryptographicHash>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPointer>
#include <QPushButton>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

const QByteArray kSettings = "[Options]\r\nkolvo1=4\r\nkolvo2=20\r\nkolvo3=100\r\nkolvo4=1.5\r\nkolvo5=2\r\n"
                             "[Options_1]\r\nV_kub=40\r\nV_vod=4\r\nS_dr=2.74\r\nP_dr=15\r\n";

const QString kFloat = QStringLiteral("'%1' is not a valid floating point value.");
const QString kInteger = QStringLiteral("'%1' is not a valid integer value.");

QString Megabyte()
{
    QString text;
    text.reserve(1 << 20);
    while (text.size() < (1 << 20))
        text += QStringLiteral("1.5ю x;");
    text.truncate(1 << 20);
    return text;
}

// The hostile texts, by row name.
QList<QPair<QString, QString>> Hostile()
{
    return {{"empty", QString()},
            {"zero", QStringLiteral("0")},
            {"point", QStringLiteral(".")},
            {"minus", QStringLiteral("-")},
            {"1e400", QStringLiteral("1e400")},
            {"1e-400", QStringLiteral("1e-400")},
            {"100000 digits", Repeated(QLatin1Char('9'), 100000)},
            {"full-width seven", QStringLiteral("\uFF17")},
            {"cyrillic", QStringLiteral("ю")},
            {"comma", QStringLiteral("1,5")},
            {"nul", QString(QChar(u'\0'))},
            {"sql", QStringLiteral("70); delete from alc; --")},
            {"1 MB", Megabyte()}};
}

void HostileRows()
{
    QTest::addColumn<QString>("text");
    for (const auto& [name, text] : Hostile())
        QTest::newRow(qPrintable(name)) << text;
}

QByteArray Digest(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "(unreadable)";
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result().toHex();
}

// The text as the settings file holds it.
QByteArray Windows1251(const QString& text)
{
    QByteArray bytes;
    QStringEncoder encoder("windows-1251");
    for (QChar c : text) {
        const QByteArray one = encoder.encode(QStringView(&c, 1));
        bytes += one.size() == 1 && !encoder.hasError() ? one : QByteArray("?");
    }
    return bytes;
}

// The labels of a window by objectName.
QMap<QString, QString> Labels(QWidget* window)
{
    QMap<QString, QString> texts;
    for (QLabel* label : window->findChildren<QLabel*>())
        if (!label->objectName().isEmpty())
            texts.insert(label->objectName(), label->text());
    return texts;
}

// A text short enough for a failure message.
QString Shorten(const QString& s)
{
    return s.size() <= 200 ? s : s.left(100) + QStringLiteral("…(%1 characters)…").arg(s.size()) + s.right(60);
}

} // namespace

class HostileInputTests : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<RecordingMessageBoxes> boxes;
    std::unique_ptr<ModalWatchdog> watchdog;
    QByteArray databaseDigest;
    QString databasePath;

    void writeSettings(const QByteArray& bytes)
    {
        QFile file(SettingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    struct Press {
        QStringList boxes;  // "kind: text"
        QStringList labels; // "objectName=text" of the labels that changed, by name
    };

    // Presses button; what the user saw: the boxes, and the labels that changed.
    Press press(QWidget* window, const QString& button)
    {
        boxes->clear();
        const QMap<QString, QString> before = Labels(window);
        QTest::mouseClick(Child<QPushButton>(window, button), Qt::LeftButton);
        Press seen;
        seen.boxes = shownBoxes();
        const QMap<QString, QString> after = Labels(window);
        for (auto it = after.cbegin(); it != after.cend(); ++it)
            if (before.value(it.key()) != it.value())
                seen.labels << QStringLiteral("%1=%2").arg(it.key(), it.value());
        return seen;
    }

    QStringList shownBoxes() const
    {
        QStringList list;
        for (const BoxRequest& box : boxes->boxes)
            list << (box.kind == BoxKind::Error ? error(box.text)
                     : box.kind == BoxKind::Warning ? warning(box.text)
                     : QStringLiteral("plain: ") + box.text);
        return list;
    }
    static QString error(const QString& text) { return QStringLiteral("error: ") + text; }
    static QString warning(const QString& text) { return QStringLiteral("warning: ") + text; }

    // Settings values that convert to zero.
    static bool readsAsZero(const QString& text) { return text == u"0" || text == u"." || text == u"1e-400"; }

    // The error for a settings value that is no number (as the file gives it back) or too big.
    static QString settingsError(const QString& text, const QString& read)
    {
        if (text == u"1e400" || text.size() == 100000) // 2047 nines still fit the extended range
            return error(QStringLiteral("Floating point overflow."));
        return error(kFloat.arg(read));
    }

    void fill(QWidget* window, const QStringList& fields, const QString& text)
    {
        for (const QString& name : fields)
            Child<QLineEdit>(window, name)->setText(text);
    }

private slots:
    void initTestCase()
    {
        UseRussianLocale();
        InstallFontSubstitutions();
        databasePath = QFileInfo(QCoreApplication::applicationDirPath() + QStringLiteral("/ALC.FDB")).canonicalFilePath();
        QVERIFY(!databasePath.isEmpty());
        databaseDigest = Digest(databasePath);
    }

    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        SetSettingsDirectory(dir->path());
        writeSettings(kSettings);
        boxes = std::make_unique<RecordingMessageBoxes>();
        watchdog = std::make_unique<ModalWatchdog>(10000);
    }

    void cleanup()
    {
        const QStringList failures = watchdog->failures();
        watchdog.reset();
        boxes.reset();
        SetSettingsDirectory(QString());
        dir.reset();
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
        QCOMPARE(Digest(databasePath), databaseDigest);
    }

    // The main window: all thirteen fields hold the text, each calculator is pressed, then
    // the buttons that open other windows and the exit button.
    void mainWindow_data() { HostileRows(); }
    void mainWindow()
    {
        QFETCH(QString, text);
        TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(shownBoxes(), QStringList());
        const QStringList fields{"Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "Edit6", "Edit7",
                                 "Edit8", "Edit9", "Edit10", "Edit11", "Edit12", "Edit14"};
        fill(&form, fields, text);
        // What a field holds of a pasted text: an edit field keeps at most 32767 characters.
        const QString held = Child<QLineEdit>(&form, "Edit1")->text();
        QCOMPARE(held, text.left(32767));

        const QString missing = warning(QStringLiteral("Введите данные!"));
        const QString invalid = error(QStringLiteral("Invalid floating point operation."));
        const QString notANumber = error(kFloat.arg(held));
        const bool isMissing = text.isEmpty() || text == u"0";
        const bool isZero = text == u"." || text == u"1e-400"; // numbers that read as 0
        const bool overflows = text == u"1e400";
        const QString otherwise = overflows ? error(QStringLiteral("Floating point overflow.")) : notANumber;

        struct Expected {
            const char* button;
            QString box;
            QStringList labels;
        };
        const QList<Expected> presses{
            {"Button1", isMissing ? missing : isZero ? QString() : otherwise,
             isZero ? QStringList{"Label3=0 лит.", "Label37=0  мл.", "Label38=0 лит.", "Label4=0  мл."} : QStringList()},
            {"Button3", isMissing ? missing : isZero ? QString() : otherwise,
             isZero ? QStringList{"Label7=0  мл."} : QStringList()},
            {"Button4", isMissing ? missing : isZero ? invalid : otherwise, {}},
            {"Button5", isMissing ? missing : isZero ? invalid : otherwise, {}},
            {"Button7", text.isEmpty() ? notANumber : text == u"0" || isZero ? invalid : otherwise, {}},
        };
        for (const Expected& expected : presses) {
            const Press seen = press(&form, expected.button);
            const QStringList boxesExpected = expected.box.isEmpty() ? QStringList() : QStringList{expected.box};
            QVERIFY2(seen.boxes == boxesExpected,
                     qPrintable(QStringLiteral("%1: %2").arg(expected.button, Shorten(seen.boxes.join('|')))));
            QVERIFY2(seen.labels == expected.labels,
                     qPrintable(QStringLiteral("%1: %2").arg(expected.button, seen.labels.join('|'))));
            QCOMPARE(readBytes(SettingsPath()), kSettings);
        }
        // The fields keep what was pasted.
        for (const QString& name : fields)
            QCOMPARE(Child<QLineEdit>(&form, name)->text(), held);

        // The other windows open over these fields and close again; nothing is told.
        for (const char* button : {"Button6", "BitBtn1", "BitBtn2"}) {
            bool opened = false;
            WhenModalShown([&](QWidget* modal) {
                opened = true;
                modal->close();
            }, 10000);
            const Press seen = press(&form, button);
            QVERIFY2(opened, button);
            QCOMPARE(seen.boxes, QStringList());
        }
        // Help (no help file here: the desktop's business, never reported) and the exit.
        QCOMPARE(press(&form, "Button2").boxes, QStringList());
        QCOMPARE(press(&form, "BitBtn3").boxes, QStringList());
        QVERIFY(!form.isVisible());
        QCOMPARE(readBytes(SettingsPath()), kSettings);
    }

    // The sugar calculator: the text as the weight, with sound settings; then sound weight
    // and the text as every one of its settings in the file.
    void sugarWindow_data() { HostileRows(); }
    void sugarWindow()
    {
        QFETCH(QString, text);
        TForm2 form;
        form.show();
        fill(&form, {"Edit1"}, text);
        const QString held = Child<QLineEdit>(&form, "Edit1")->text();
        Press seen = press(&form, "Button3");
        if (text == u"0") {
            QCOMPARE(seen.boxes, QStringList());
            QCOMPARE(seen.labels, (QStringList{"Label45=0  гр.", "Label55==  0кг."}));
        } else {
            QVERIFY2(seen.boxes == QStringList{error(kInteger.arg(held))}, qPrintable(Shorten(seen.boxes.join('|'))));
            QCOMPARE(seen.labels, QStringList()); // the weight comes first: nothing written
        }
        QCOMPARE(readBytes(SettingsPath()), kSettings);

        fill(&form, {"Edit1"}, QStringLiteral("1000"));
        QByteArray bytes = "[Options]\r\n";
        for (int i = 1; i <= 5; ++i)
            bytes += "kolvo" + QByteArray::number(i) + '=' + Windows1251(text) + "\r\n";
        writeSettings(bytes);
        seen = press(&form, "Button3");
        const QString read = ReadSetting(QStringLiteral("Options"), QStringLiteral("kolvo1"), QString());
        const QStringList before{"Label13=630", "Label55==  1кг."}; // from the weight alone
        if (readsAsZero(text)) {
            QCOMPARE(seen.boxes, QStringList());
            QStringList zeros{"Label13=630", "Label15=630", "Label37=515", "Label38=538", "Label39=682", "Label40=1599",
                              "Label41=489", "Label42=457", "Label43=579", "Label44=1359", "Label45=0  гр.", "Label55==  1кг."};
            if (text == u"0")
                zeros.removeAll(QStringLiteral("Label45=0  гр.")); // as the first press left it
            QCOMPARE(seen.labels, zeros);
        } else {
            QVERIFY2(seen.boxes == QStringList{settingsError(text, read)}, qPrintable(Shorten(seen.boxes.join('|'))));
            QCOMPARE(seen.labels, before);
        }
        QCOMPARE(readBytes(SettingsPath()), bytes);

        // The settings window opens and is cancelled; the close button ends the window.
        WhenModalShown([](QWidget* modal) { Child<QPushButton>(modal, "Button2")->click(); }, 10000);
        QCOMPARE(press(&form, "BitBtn1").boxes, QStringList());
        QCOMPARE(readBytes(SettingsPath()), bytes);
        QCOMPARE(press(&form, "Button2").boxes, QStringList());
        QVERIFY(!form.isVisible());
    }

    // The grain calculator has no fields of its own: the text as every one of its settings.
    void grainWindow_data() { HostileRows(); }
    void grainWindow()
    {
        QFETCH(QString, text);
        TForm5 form;
        form.show();
        QByteArray bytes = "[Options_1]\r\n";
        for (const char* key : {"V_kub", "V_vod", "S_dr", "P_dr"})
            bytes += QByteArray(key) + '=' + Windows1251(text) + "\r\n";
        writeSettings(bytes);
        const QString read = ReadSetting(QStringLiteral("Options_1"), QStringLiteral("V_kub"), QString());
        const Press seen = press(&form, "Button1");
        if (readsAsZero(text)) {
            QCOMPARE(seen.boxes, QStringList());
            QCOMPARE(seen.labels, QStringList{"Label13=0.71"});
        } else {
            QVERIFY2(seen.boxes == QStringList{settingsError(text, read)}, qPrintable(Shorten(seen.boxes.join('|'))));
            QCOMPARE(seen.labels, QStringList());
        }
        QCOMPARE(readBytes(SettingsPath()), bytes);

        WhenModalShown([](QWidget* modal) { Child<QPushButton>(modal, "Button2")->click(); }, 10000);
        QCOMPARE(press(&form, "BitBtn1").boxes, QStringList());
        QCOMPARE(readBytes(SettingsPath()), bytes);
        QCOMPARE(press(&form, "Button2").boxes, QStringList());
        QVERIFY(!form.isVisible());
    }

    // The settings windows: "Отменить" leaves the file alone; "Сохранить" writes the texts, as
    // far as a settings value can hold them, and touches no other line.
    void settingsWindows_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("sugar");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QByteArray>("untouched"); // the other section's lines
        const QList<QPair<QString, QString>> texts = Hostile();
        for (const auto& [name, text] : texts) {
            QTest::addRow("sugar, %s", qPrintable(name))
                << text << true << "Options" << QStringList{"kolvo1", "kolvo2", "kolvo3", "kolvo4", "kolvo5"}
                << kSettings.mid(kSettings.indexOf("[Options_1]"));
            QTest::addRow("grain, %s", qPrintable(name))
                << text << false << "Options_1" << QStringList{"V_kub", "V_vod", "S_dr", "P_dr"}
                << kSettings.left(kSettings.indexOf("[Options_1]"));
        }
    }
    void settingsWindows()
    {
        QFETCH(QString, text);
        QFETCH(bool, sugar);
        QFETCH(QString, section);
        QFETCH(QStringList, keys);
        QFETCH(QByteArray, untouched);
        const auto make = [sugar]() -> std::unique_ptr<QDialog> {
            if (sugar)
                return std::make_unique<TForm3>();
            return std::make_unique<TForm6>();
        };
        QStringList fields;
        for (int i = 1; i <= keys.size(); ++i)
            fields << QStringLiteral("Edit%1").arg(i);
        {
            std::unique_ptr<QDialog> form = make();
            form->show();
            QCOMPARE(shownBoxes(), QStringList());
            fill(form.get(), fields, text);
            const Press seen = press(form.get(), "Button2");
            QCOMPARE(seen.boxes, QStringList());
            QVERIFY(!form->isVisible());
            QCOMPARE(readBytes(SettingsPath()), kSettings);
        }
        std::unique_ptr<QDialog> form = make();
        form->show();
        fill(form.get(), fields, text);
        const QString held = Child<QLineEdit>(form.get(), "Edit1")->text();
        const Press seen = press(form.get(), "Button1");
        QCOMPARE(seen.boxes, QStringList());
        QVERIFY(!form->isVisible());
        // A value ends at a NUL; Windows-1251 has no full-width digits; a value reads back as
        // its first 2047 characters.
        QString stored = held.left(held.indexOf(QChar(u'\0')) < 0 ? held.size() : held.indexOf(QChar(u'\0')));
        stored.replace(QChar(0xFF17), QLatin1Char('?'));
        for (const QString& key : keys)
            QCOMPARE(ReadSetting(section, key, QStringLiteral("(absent)")), stored.left(2047));
        QVERIFY(readBytes(SettingsPath()).contains(untouched));
    }
};

QTEST_MAIN(HostileInputTests)
#include "HostileInputTests.moc"
