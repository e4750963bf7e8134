// The main window with its reference database: start-up by the built-in name, by the name in
// the settings file or by neither, a client library that is not there, pasted SQL in the
// strength fields, and the shutdown after a lookup that found no row.

#include "CutsCases.h"
#include "DilutionCases.h"
#include "Error.h"
#include "MessageBoxes.h"
#include "ModalDriver.h"
#include "ReferenceDatabase.h"
#include "Settings.h"
#include "Startup.h"
#include "TForm1.h"
#include "TestSupport.h"
#include "Windows.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <dlfcn.h>
#include <link.h>
#include <memory>

namespace {

const QString kNowhere = QStringLiteral("/nonexistent/ALC.FDB");

QString missingLibrary(const QString& library)
{
    return QStringLiteral("Firebird library %1 not found in the path. Please install Firebird to use this functionality")
        .arg(library);
}

// What identifies the file's contents and its last write.
struct FileState {
    QByteArray digest;
    QDateTime modified;
    qint64 size = 0;
    bool operator==(const FileState&) const = default;
};

FileState stateOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    const QFileInfo info(path);
    return {hash.result(), info.lastModified(), info.size()};
}

// The file the dynamic loader finds for a library name, or empty.
QString loadedFrom(const char* library)
{
    void* handle = ::dlopen(library, RTLD_LAZY | RTLD_LOCAL);
    if (handle == nullptr)
        return {};
    link_map* map = nullptr;
    QString path;
    if (::dlinfo(handle, RTLD_DI_LINKMAP, &map) == 0 && map != nullptr)
        path = QFileInfo(QString::fromLocal8Bit(map->l_name)).canonicalFilePath();
    ::dlclose(handle);
    return path;
}

} // namespace

class MainWindowDatabaseTests : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> settingsDir;
    std::unique_ptr<RecordingMessageBoxes> boxes;
    std::unique_ptr<ModalWatchdog> watchdog;
    QString database; // the real ALC.FDB, followed through the link beside the tests

    void writeSettings(const QByteArray& contents)
    {
        QFile file(SettingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(contents);
    }
    QByteArray basePath(const QString& path) { return "[Base]\r\npath=" + path.toLocal8Bit() + "\r\n"; }

    // Sets the three fields of the dilution panel and presses "Расcчитать ВОДУ".
    static void dilute(TForm1& form, const QString& volume, const QString& strength, const QString& required)
    {
        Child<QLineEdit>(&form, "Edit4")->setText(volume);
        Child<QLineEdit>(&form, "Edit5")->setText(strength);
        Child<QLineEdit>(&form, "Edit6")->setText(required);
        QTest::mouseClick(Child<QPushButton>(&form, "Button4"), Qt::LeftButton);
    }
    static QStringList results(TForm1& form)
    {
        return {Child<QLabel>(&form, "Label13")->text(), Child<QLabel>(&form, "Label14")->text()};
    }

private slots:
    void initTestCase()
    {
        UseRussianLocale();
        InstallFontSubstitutions();
        database = QFileInfo(BuiltInDatabaseName()).canonicalFilePath();
        QVERIFY2(!database.isEmpty(), qPrintable(BuiltInDatabaseName()));
    }

    void init()
    {
        settingsDir = std::make_unique<QTemporaryDir>();
        QVERIFY(settingsDir->isValid());
        SetSettingsDirectory(settingsDir->path());
        boxes = std::make_unique<RecordingMessageBoxes>();
        watchdog = std::make_unique<ModalWatchdog>(3000);
        TForm1::LifecycleTrace().clear();
    }

    void cleanup()
    {
        SetBuiltInDatabaseName(QString());
        SetDefaultClientLibrary(nullptr);
        SetSettingsDirectory(QString());
        const QStringList failures = watchdog->failures();
        watchdog.reset();
        boxes.reset();
        settingsDir.reset();
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
    }

    void builtInNameNeverReadsTheSettings();
    void settingsNameWhenTheBuiltInFails();
    void neitherNameTellsAndQuits_data();
    void neitherNameTellsAndQuits();
    void neitherNameThroughTheRun();
    void clientLibraryThatCannotBeLoaded();
    void clientLibraryMissingEndsTheRunWithExitCode1();
    void pastedSqlLeavesTheTableUnchanged_data();
    void pastedSqlLeavesTheTableUnchanged();
    void closingAfterALookupWithNoRow();
    void terminationSignalEndsTheRun_data();
    void terminationSignalEndsTheRun();
};

void MainWindowDatabaseTests::builtInNameNeverReadsTheSettings()
{
    // Were the settings read, this name would fail and be reported.
    writeSettings(basePath(kNowhere));
    TForm1 form;
    QVERIFY(!form.QuitRequested());
    QVERIFY(boxes->boxes.isEmpty());
    form.show();
    dilute(form, "1000", "70", "40");
    QCOMPARE(results(form), (QStringList{"773.52 мл.", "1750 мл."}));
    QVERIFY(boxes->boxes.isEmpty());
}

void MainWindowDatabaseTests::settingsNameWhenTheBuiltInFails()
{
    SetBuiltInDatabaseName(kNowhere);
    writeSettings(basePath(database));
    TForm1 form;
    QVERIFY(!form.QuitRequested());
    QVERIFY(boxes->boxes.isEmpty());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    dilute(form, "1000", "70", "40");
    QCOMPARE(results(form), (QStringList{"773.52 мл.", "1750 мл."}));
    dilute(form, "500", "96", "40");
    QCOMPARE(results(form), (QStringList{"733.94 мл.", "1200 мл."}));
    QVERIFY(boxes->boxes.isEmpty());
}

void MainWindowDatabaseTests::neitherNameTellsAndQuits_data()
{
    QTest::addColumn<QByteArray>("settings"); // the file's contents; null: no file
    QTest::addColumn<QString>("message");     // a pattern

    QTest::newRow("no settings file") << QByteArray() << QStringLiteral("^Ошибка: Database name is missing$");
    QTest::newRow("no key path") << QByteArray("[Base]\r\nother=1\r\n")
                                 << QStringLiteral("^Ошибка: Database name is missing$");
    // Firebird's own text follows; it names the file it could not open.
    QTest::newRow("path to no file") << basePath(kNowhere)
                                     << QStringLiteral("^Ошибка: .*%1").arg(QRegularExpression::escape(kNowhere));
}

void MainWindowDatabaseTests::neitherNameTellsAndQuits()
{
    QFETCH(QByteArray, settings);
    QFETCH(QString, message);
    SetBuiltInDatabaseName(kNowhere);
    if (!settings.isNull())
        writeSettings(settings);

    TForm1 form;
    QVERIFY(form.QuitRequested());
    QCOMPARE(boxes->boxes.size(), 1);
    QCOMPARE(boxes->boxes[0].kind, BoxKind::Plain);
    QVERIFY2(QRegularExpression(message, QRegularExpression::DotMatchesEverythingOption)
                 .match(boxes->boxes[0].text)
                 .hasMatch(),
             qPrintable(boxes->boxes[0].text));
    QVERIFY(!form.isVisible());
}

void MainWindowDatabaseTests::neitherNameThroughTheRun()
{
    // The real boxes are up for the run: the plain box is answered, and the window is never
    // shown; the shutdown still runs in its order.
    SetBuiltInDatabaseName(kNowhere);
    QString shown;
    bool windowVisible = true;
    WhenModalShown([&](QWidget* modal) {
        auto* text = modal->findChild<QLabel*>(QStringLiteral("Text"));
        auto* ok = modal->findChild<QPushButton*>(QStringLiteral("OK"));
        QCOMPARE(modal->objectName(), QStringLiteral("PlainMessage"));
        QVERIFY(text != nullptr && ok != nullptr);
        shown = text->text();
        windowVisible = false;
        for (QWidget* window : QApplication::topLevelWidgets())
            windowVisible = windowVisible || (window->objectName() == u"Form1" && window->isVisible());
        ok->click();
    });
    QCOMPARE(RunProgram<TForm1>(*qApp), 0);
    QCOMPARE(shown, QStringLiteral("Ошибка: Database name is missing"));
    QVERIFY(!windowVisible);
    QCOMPARE(TForm1::LifecycleTrace(), (QStringList{"FormCreate", "FormClose", "FormDestroy"}));
}

void MainWindowDatabaseTests::clientLibraryThatCannotBeLoaded()
{
    // The window is never made, and none of its handlers runs.
    SetDefaultClientLibrary("libabsent.so");
    try {
        TForm1 form;
        QFAIL("the window was made");
    } catch (const Error& error) {
        QCOMPARE(error.message(), missingLibrary(QStringLiteral("libabsent.so")));
        QCOMPARE(QByteArray(error.typeName()), QByteArray("EIBClientError"));
    }
    QVERIFY(TForm1::LifecycleTrace().isEmpty());
    QVERIFY(boxes->boxes.isEmpty());

    // The library is looked for again by the next window.
    SetDefaultClientLibrary(nullptr);
    TForm1 form;
    QVERIFY(!form.QuitRequested());
}

void MainWindowDatabaseTests::clientLibraryMissingEndsTheRunWithExitCode1()
{
    // The real program's start-up in a child whose libfbclient.so.2 reads as an empty file
    // (a private mount namespace over it), so the message names the library of this build.
    const QString library = loadedFrom(kFirebirdClientLibrary);
    QVERIFY(!library.isEmpty());
    const QString unshare = QStandardPaths::findExecutable(QStringLiteral("unshare"));
    if (unshare.isEmpty())
        QSKIP("unshare is not installed");
    QProcess check;
    check.start(unshare, {"-rm", "mount", "--bind", "/dev/null", library});
    if (!check.waitForFinished(10000) || check.exitCode() != 0)
        QSKIP("no private mount namespace here");

    QProcess probe;
    probe.start(unshare, {"-rm", "sh", "-c", "mount --bind /dev/null \"$1\" && exec \"$2\" main-window", "sh", library,
                          QCoreApplication::applicationDirPath() + QStringLiteral("/startup_probe")});
    QVERIFY2(probe.waitForFinished(60000), qPrintable(probe.errorString()));
    QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
    const QString output = QString::fromUtf8(probe.readAllStandardOutput());
    QVERIFY2(probe.exitCode() == 1, qPrintable(output + QString::fromLocal8Bit(probe.readAllStandardError())));

    QMap<QString, QString> shown;
    for (const QString& line : output.split(QLatin1Char('\n')))
        if (line.contains(QLatin1Char('=')))
            shown[line.section(QLatin1Char('='), 0, 0)] = line.section(QLatin1Char('='), 1);
    QCOMPARE(shown.value("caption"), QStringLiteral("Application Error"));
    QCOMPARE(shown.value("icon"), QString::number(QMessageBox::Critical));
    const QRegularExpression text(QStringLiteral("^Exception EIBClientError in module startup_probe at [0-9A-F]{8}\\.\\\\r\\\\n") +
                                  QRegularExpression::escape(missingLibrary(QStringLiteral("libfbclient.so.2"))) +
                                  QStringLiteral("\\.\\\\r\\\\n$"));
    QVERIFY2(text.match(shown.value("text")).hasMatch(), qPrintable(shown.value("text")));
    QCOMPARE(shown.value("handlers"), QString()); // FormCreate never ran
}

void MainWindowDatabaseTests::pastedSqlLeavesTheTableUnchanged_data()
{
    QTest::addColumn<QString>("field");
    QTest::newRow("strength") << "Edit5";
    QTest::newRow("required strength") << "Edit6";
}

void MainWindowDatabaseTests::pastedSqlLeavesTheTableUnchanged()
{
    QFETCH(QString, field);
    const QString pasted = QStringLiteral("70); delete from alc; --");
    const FileState before = stateOf(database);
    QVERIFY(!before.digest.isEmpty());
    {
        TForm1 form;
        form.show();
        dilute(form, "1000", "70", "40");
        QCOMPARE(results(form), (QStringList{"773.52 мл.", "1750 мл."}));

        Child<QLineEdit>(&form, field)->setText(pasted);
        QTest::mouseClick(Child<QPushButton>(&form, "Button4"), Qt::LeftButton);
        QCOMPARE(boxes->boxes.size(), 1);
        QCOMPARE(boxes->boxes[0].kind, BoxKind::Error);
        QCOMPARE(boxes->boxes[0].text, ErrorBoxText(cases::NotAFloat(pasted)));
        QCOMPARE(results(form), (QStringList{"773.52 мл.", "1750 мл."}));
        QVERIFY(form.isVisible());

        // The rows are all still there.
        boxes->boxes.clear();
        dilute(form, "1000", "96", "40");
        QCOMPARE(results(form), (QStringList{"1467.89 мл.", "2400 мл."}));
        dilute(form, "1000", "70", "40");
        QCOMPARE(results(form), (QStringList{"773.52 мл.", "1750 мл."}));
        QVERIFY(boxes->boxes.isEmpty());
        form.close();
    }
    QCOMPARE(stateOf(database), before);
}

void MainWindowDatabaseTests::closingAfterALookupWithNoRow()
{
    {
        TForm1 form;
        form.show();
        dilute(form, "1000", "70", "100.1");
        QCOMPARE(boxes->texts(), QStringList{cases::kNoSuchData});
        QVERIFY(form.close());
        QCOMPARE(TForm1::LifecycleTrace(), (QStringList{"FormCreate", "FormClose"}));
    }
    QCOMPARE(TForm1::LifecycleTrace(), (QStringList{"FormCreate", "FormClose", "FormDestroy"}));

    // The engine takes the next window as the first.
    TForm1 next;
    next.show();
    dilute(next, "1000", "70", "40");
    QCOMPARE(results(next), (QStringList{"773.52 мл.", "1750 мл."}));
    QCOMPARE(boxes->texts(), QStringList{cases::kNoSuchData});
}

void MainWindowDatabaseTests::terminationSignalEndsTheRun_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGHUP") << int(SIGHUP);
    QTest::newRow("SIGINT") << int(SIGINT);
}

// A logout or a plain `kill` ends the program the way its exit button does, although the
// embedded database engine takes these signals for itself when it loads.
void MainWindowDatabaseTests::terminationSignalEndsTheRun()
{
    QFETCH(int, signal);
    QProcess probe;
    probe.start(QCoreApplication::applicationDirPath() + QStringLiteral("/startup_probe"), {"main-window"});
    QVERIFY(probe.waitForStarted());
    const auto pid = static_cast<pid_t>(probe.processId());

    // Running with the database open: the process holds ALC.FDB.
    auto holdsDatabase = [pid] {
        const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
        for (const QString& fd : fds.entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System))
            if (QFileInfo(fds.filePath(fd)).symLinkTarget().endsWith(QStringLiteral("ALC.FDB")))
                return true;
        return false;
    };
    QTRY_VERIFY_WITH_TIMEOUT(holdsDatabase(), 30000);
    QTest::qWait(300); // into the event loop

    QCOMPARE(::kill(pid, signal), 0);
    QVERIFY2(probe.waitForFinished(20000), "the program did not end on the signal");
    QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
    QCOMPARE(probe.exitCode(), 0);
    QVERIFY2(QString::fromUtf8(probe.readAllStandardOutput()).contains(QStringLiteral("handlers=FormCreate,FormClose,FormDestroy")),
             "the shutdown did not run FormClose before FormDestroy");
}

QTEST_MAIN(MainWindowDatabaseTests)
#include "MainWindowDatabaseTests.moc"
