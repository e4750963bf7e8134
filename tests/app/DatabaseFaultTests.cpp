// The reference database when something is wrong with ALC.FDB (missing, a directory in its
// place, a file this user may not read, not a database), as the user meets it at start-up: the main window tells "Ошибка: " and the engine's reason, and the run ends before
// the window is shown. The file is never changed by the attempt. Another process holding the
// file blocks the program only when it runs the engine's default, exclusive server mode; a
// second calculator (the program's own shared mode) never does.

#include "MessageBoxes.h"
#include "ModalDriver.h"
#include "ReferenceDatabase.h"
#include "Settings.h"
#include "TForm1.h"
#include "TestSupport.h"
#include "Windows.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <memory>
#include <pwd.h>
#include <unistd.h>

namespace {

// A process that attaches to database through isql and stays attached until it is ended.
// root: the Firebird configuration root it runs with; empty for the engine's default.
class Holder {
public:
    ~Holder()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.closeWriteChannel();
            if (!process_.waitForFinished(10000)) {
                process_.kill();
                process_.waitForFinished(5000);
            }
        }
    }

    // Empty when attached, else what went wrong.
    QString start(const QString& database, const QString& root, const QString& lockDirectory)
    {
        const QString isql = QStandardPaths::findExecutable(QStringLiteral("isql-fb"));
        if (isql.isEmpty())
            return QStringLiteral("no isql-fb");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("FIREBIRD"));
        if (!root.isEmpty())
            environment.insert(QStringLiteral("FIREBIRD"), root);
        environment.insert(QStringLiteral("FIREBIRD_LOCK"), lockDirectory);
        process_.setProcessEnvironment(environment);
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.start(isql, {QStringLiteral("-user"), QStringLiteral("SYSDBA"), QStringLiteral("-q"), database});
        if (!process_.waitForStarted(10000))
            return QStringLiteral("isql did not start");
        // isql attaches as it starts; its answers come only at its end (a pipe is buffered).
        QTest::qWait(3000);
        if (process_.state() == QProcess::NotRunning)
            return QStringLiteral("isql ended: ") + QString::fromLocal8Bit(process_.readAll());
        return {};
    }

    // Asks the holder for a row through the attachment it kept, and ends it: true when the
    // row came, so the attachment was up all along.
    bool answeredAndEnded()
    {
        process_.write("select 'still' || 'attached' from rdb$database;\n");
        process_.closeWriteChannel();
        if (!process_.waitForFinished(20000))
            return false;
        const QByteArray output = process_.readAll();
        if (!output.contains("stillattached"))
            qWarning() << output;
        return output.contains("stillattached");
    }

private:
    QProcess process_;
};

} // namespace

class DatabaseFaultTests : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<RecordingMessageBoxes> boxes;
    std::unique_ptr<ModalWatchdog> watchdog;
    QString realDatabase;
    QString programRoot; // the program's own Firebird configuration root

    // The lock directory of this process, as two programs of one user share it.
    static QString lockDirectory() { return qEnvironmentVariable("FIREBIRD_LOCK", QStringLiteral("/tmp/firebird")); }

    QString databasePath() const { return dir->filePath(QStringLiteral("ALC.FDB")); }

    // Both names the start-up tries point at path, so the user is told about that file.
    void useDatabase(const QString& path)
    {
        SetBuiltInDatabaseName(path);
        QFile file(SettingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[Base]\r\npath=" + path.toLocal8Bit() + "\r\n");
    }

    // The start-up's one box, which must name the file, and the window never shown.
    void startUpTellsAndQuits(const QString& reason)
    {
        TForm1 form;
        QVERIFY(form.QuitRequested());
        QCOMPARE(boxes->boxes.size(), 1);
        QCOMPARE(boxes->boxes[0].kind, BoxKind::Plain);
        const QString text = boxes->boxes[0].text;
        QVERIFY2(text.startsWith(QStringLiteral("Ошибка: ")), qPrintable(text));
        QVERIFY2(text.contains(databasePath()), qPrintable(text));
        QVERIFY2(QRegularExpression(reason, QRegularExpression::DotMatchesEverythingOption).match(text).hasMatch(),
                 qPrintable(text));
        QVERIFY(!form.isVisible());
    }

    void lookUpThroughTheWindow()
    {
        TForm1 form;
        QVERIFY2(!form.QuitRequested(), qPrintable(boxes->texts().join('\n')));
        QCOMPARE(boxes->texts(), QStringList());
        form.show();
        Child<QLineEdit>(&form, "Edit4")->setText(QStringLiteral("10"));
        Child<QLineEdit>(&form, "Edit5")->setText(QStringLiteral("70"));
        Child<QLineEdit>(&form, "Edit6")->setText(QStringLiteral("40"));
        QTest::mouseClick(Child<QPushButton>(&form, "Button4"), Qt::LeftButton);
        QCOMPARE(boxes->texts(), QStringList());
        QVERIFY(!Child<QLabel>(&form, "Label13")->text().isEmpty());
        QVERIFY(Child<QLabel>(&form, "Label13")->text() != QStringLiteral("0"));
    }

private slots:
    void initTestCase()
    {
        UseRussianLocale();
        InstallFontSubstitutions();
        realDatabase = QFileInfo(BuiltInDatabaseName()).canonicalFilePath();
        QVERIFY2(!realDatabase.isEmpty(), qPrintable(BuiltInDatabaseName()));
        programRoot = QFileInfo(QCoreApplication::applicationDirPath() + QStringLiteral("/firebird")).canonicalFilePath();
        QVERIFY(!programRoot.isEmpty());
    }

    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        SetSettingsDirectory(dir->path());
        boxes = std::make_unique<RecordingMessageBoxes>();
        watchdog = std::make_unique<ModalWatchdog>(10000);
    }

    void cleanup()
    {
        SetBuiltInDatabaseName(QString());
        SetSettingsDirectory(QString());
        const QStringList failures = watchdog->failures();
        watchdog.reset();
        boxes.reset();
        dir.reset();
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
    }

    void missing()
    {
        useDatabase(databasePath());
        startUpTellsAndQuits(QStringLiteral("-%1$").arg(QRegularExpression::escape(QString::fromLocal8Bit(std::strerror(ENOENT)))));
        QVERIFY(!QFileInfo::exists(databasePath()));
    }

    // Root reads every file whatever its mode; a directory in the file's place is what cannot
    // be read as a file by anybody.
    void directoryInItsPlace()
    {
        QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("ALC.FDB")));
        useDatabase(databasePath());
        startUpTellsAndQuits(QStringLiteral("I/O error during \"read\" operation"));
        QVERIFY(QFileInfo(databasePath()).isDir());
    }

    // A file whose modes keep this user out. Root ignores modes, so where the test runs as
    // root the attempt is made with the effective ids of "nobody", which the modes bind.
    void fileTheUserMayNotRead()
    {
        QVERIFY(QFile::copy(realDatabase, databasePath()));
        QVERIFY(QFile::setPermissions(databasePath(), QFile::ReadOwner | QFile::WriteOwner));
        QVERIFY(QFile::setPermissions(dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                       | QFile::ReadOther | QFile::ExeOther));
        useDatabase(databasePath());
        const QByteArray before = readBytes(databasePath());
        if (::geteuid() == 0) {
            const passwd* nobody = ::getpwnam("nobody");
            if (nobody == nullptr)
                QSKIP("no user nobody to run as");
            QVERIFY(::setegid(nobody->pw_gid) == 0 && ::seteuid(nobody->pw_uid) == 0);
        }
        const bool unreadable = !QFile(databasePath()).open(QIODevice::ReadOnly);
        TForm1 form;
        const bool quit = form.QuitRequested();
        const QList<BoxRequest> shown = boxes->boxes;
        if (::getuid() == 0) {
            [[maybe_unused]] const int u = ::seteuid(0);
            [[maybe_unused]] const int g = ::setegid(0);
        }
        QVERIFY(unreadable);
        QVERIFY(quit);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, BoxKind::Plain);
        QVERIFY2(shown[0].text.startsWith(QStringLiteral("Ошибка: ")) && shown[0].text.contains(databasePath())
                     && shown[0].text.contains(QString::fromLocal8Bit(std::strerror(EACCES))),
                 qPrintable(shown[0].text));
        QCOMPARE(readBytes(databasePath()), before);
    }

    void notADatabase_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QByteArray random(65536, Qt::Uninitialized);
        QRandomGenerator generator(9);
        for (char& b : random)
            b = char(generator.generate());
        QTest::newRow("random bytes") << random;
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("a settings file") << QByteArray("[Options]\r\nkolvo1=4\r\n");
    }
    void notADatabase()
    {
        QFETCH(QByteArray, bytes);
        QFile file(databasePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
        file.close();
        useDatabase(databasePath());
        startUpTellsAndQuits(QStringLiteral("."));
        QCOMPARE(readBytes(databasePath()), bytes);
    }

    // Another program with the engine's default configuration (exclusive "Super" mode) holds
    // the file: the program cannot share it and says so.
    void heldExclusivelyByAnotherProcess()
    {
        QVERIFY(QFile::copy(realDatabase, databasePath()));
        const QByteArray before = readBytes(databasePath());
        Holder holder;
        const QString problem = holder.start(databasePath(), QString(), lockDirectory());
        if (problem == QLatin1String("no isql-fb"))
            QSKIP("isql-fb is needed for a second process");
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        useDatabase(databasePath());
        startUpTellsAndQuits(QStringLiteral("\"lock\""));
        QVERIFY(holder.answeredAndEnded());
        QCOMPARE(readBytes(databasePath()), before);
    }

    // Another process in the program's own shared mode: both work.
    void heldBySharingProcessDoesNotBlock()
    {
        QVERIFY(QFile::copy(realDatabase, databasePath()));
        Holder holder;
        const QString problem = holder.start(databasePath(), programRoot, lockDirectory());
        if (problem == QLatin1String("no isql-fb"))
            QSKIP("isql-fb is needed for a second process");
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        useDatabase(databasePath());
        lookUpThroughTheWindow();
        QVERIFY(holder.answeredAndEnded());
    }
};

QTEST_MAIN(DatabaseFaultTests)
#include "DatabaseFaultTests.moc"
