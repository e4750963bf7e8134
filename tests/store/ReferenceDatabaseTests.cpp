// The reference database client against the real ALC.FDB that the build made, through the
// embedded engine and the program's own Firebird root, and through a private server.

#include "AlcoholTable.h"
#include "Error.h"
#include "MessageBoxes.h"
#include "ReferenceDatabase.h"
#include "Settings.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>

namespace {

const QString kDatabase = QStringLiteral(FERLUND_TEST_ALC_FDB);
const QString kLookupStatement = QStringLiteral("select * from sp_pr_ob(?)");

bool sameDouble(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The last line is the system's own text, in the user's language.
QString missingFileMessage(const QString& path)
{
    return QStringLiteral("I/O error during \"open\" operation for file \"%1\"\n"
                          "-Error while trying to open file\n"
                          "-%2")
        .arg(path, QString::fromLocal8Bit(std::strerror(ENOENT)));
}

// A copy of ALC.FDB in a directory of its own, for a process that must not share the
// build's file (another lock directory, another engine).
QString CopyDatabase(const QTemporaryDir& dir)
{
    const QString copy = dir.filePath(QStringLiteral("ALC.FDB"));
    if (!QFile::copy(kDatabase, copy))
        return {};
    return copy;
}

QStringList FirebirdRootEntries()
{
    return {QStringLiteral("plugins.conf"), QStringLiteral("firebird.msg"), QStringLiteral("intl"),
            QStringLiteral("plugins")};
}

// A port on the loopback interface that nobody listens on right now.
quint16 FreeLoopbackPort()
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    quint16 port = 0;
    if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
        && ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(s);
    return port;
}

bool AcceptsConnections(quint16 port)
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(s);
    return ok;
}

// A Firebird server of the test's own: its configuration root, security database and lock
// directory in a temporary directory, listening on 127.0.0.1 only, at a port picked here.
class PrivateServer {
public:
    ~PrivateServer() { stop(); }

    // An empty text when the server runs, otherwise what went wrong.
    QString start()
    {
        if (!dir_.isValid())
            return QStringLiteral("no temporary directory");
        port_ = FreeLoopbackPort();
        if (port_ == 0)
            return QStringLiteral("no free port");
        const QString root = dir_.path();
        QDir().mkpath(dir_.filePath(QStringLiteral("lock")));
        for (const QString& entry : FirebirdRootEntries()) {
            const QString target = QFileInfo(QStringLiteral(FERLUND_TEST_FIREBIRD_ROOT "/") + entry).symLinkTarget();
            if (!target.isEmpty())
                QFile::link(target, dir_.filePath(entry));
        }
        const QString security = dir_.filePath(QStringLiteral("security3.fdb"));
        QFile conf(dir_.filePath(QStringLiteral("firebird.conf")));
        if (!conf.open(QIODevice::WriteOnly))
            return QStringLiteral("cannot write firebird.conf");
        // The port goes into the configuration: the -p switch would listen on every interface.
        conf.write(QStringLiteral("RemoteBindAddress = 127.0.0.1\nRemoteServicePort = %1\n"
                                  "SecurityDatabase = %2\nServerMode = Super\n")
                       .arg(port_)
                       .arg(security)
                       .toLocal8Bit());
        conf.close();

        QFile script(dir_.filePath(QStringLiteral("security.sql")));
        if (!script.open(QIODevice::WriteOnly))
            return QStringLiteral("cannot write security.sql");
        script.write(QStringLiteral("create database '%1';\ninput '%2';\ncommit;\n"
                                    "create or alter user SYSDBA password 'quillbown' using plugin Srp;\n"
                                    "commit;\n")
                         .arg(security, QStringLiteral(FERLUND_TEST_SECURITY_SQL))
                         .toLocal8Bit());
        script.close();

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("FIREBIRD"), root);
        environment.insert(QStringLiteral("FIREBIRD_LOCK"), dir_.filePath(QStringLiteral("lock")));

        QProcess isql;
        isql.setProcessEnvironment(environment);
        isql.setProcessChannelMode(QProcess::MergedChannels);
        isql.start(QStringLiteral(FERLUND_TEST_ISQL),
                   {QStringLiteral("-user"), QStringLiteral("SYSDBA"), QStringLiteral("-q"), QStringLiteral("-b"),
                    QStringLiteral("-i"), script.fileName()});
        if (!isql.waitForFinished(60000) || isql.exitCode() != 0)
            return QStringLiteral("security database: ") + QString::fromLocal8Bit(isql.readAll());

        server_.setProcessEnvironment(environment);
        server_.setProcessChannelMode(QProcess::ForwardedChannels);
        server_.start(QStringLiteral(FERLUND_TEST_FIREBIRD_SERVER), {});
        if (!server_.waitForStarted(10000))
            return QStringLiteral("the server did not start");
        pid_ = server_.processId();
        for (int i = 0; i < 200 && !AcceptsConnections(port_); ++i) {
            if (server_.waitForFinished(50))
                return QStringLiteral("the server ended at once");
        }
        if (!AcceptsConnections(port_))
            return QStringLiteral("the server does not listen on port %1").arg(port_);
        return {};
    }

    void stop()
    {
        if (pid_ > 0 && server_.state() != QProcess::NotRunning) {
            ::kill(pid_, SIGTERM);
            if (!server_.waitForFinished(15000)) {
                ::kill(pid_, SIGKILL);
                server_.waitForFinished(5000);
            }
        }
        pid_ = 0;
    }

    // A copy of ALC.FDB beside the server's security database, by its server name.
    QString databaseName()
    {
        const QString copy = CopyDatabase(dir_);
        return QStringLiteral("127.0.0.1/%1:%2").arg(port_).arg(copy);
    }

    quint16 port() const { return port_; }

private:
    QTemporaryDir dir_;
    QProcess server_;
    qint64 pid_ = 0;
    quint16 port_ = 0;
};

// Runs the probe (a second calculator) on database for strength; its standard output,
// or the error text prefixed with "failed: ". wrapper runs it under another user.
QString RunProbe(const QString& program, const QString& database, const QString& strength,
                 const QProcessEnvironment& environment, const QStringList& wrapper = {})
{
    QProcess probe;
    probe.setProcessEnvironment(environment);
    QStringList arguments = wrapper;
    arguments << program << database << strength;
    const QString executable = arguments.takeFirst();
    probe.start(executable, arguments);
    if (!probe.waitForFinished(60000))
        return QStringLiteral("failed: the probe did not finish");
    if (probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0)
        return QStringLiteral("failed: ") + QString::fromLocal8Bit(probe.readAllStandardError());
    return QString::fromLocal8Bit(probe.readAllStandardOutput());
}

} // namespace

class ReferenceDatabaseTests : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void lookup_data();
    void lookup();
    void noRowThenARow();
    void refusedTextNeverReachesTheDatabase_data();
    void refusedTextNeverReachesTheDatabase();
    void missingFieldsAndNulls();
    void closeInAnyOrder();
    void openFailures_data();
    void openFailures();
    void clientLibraryThatCannotBeLoaded_data();
    void clientLibraryThatCannotBeLoaded();
    void firebirdEnvironment();

    void twoProcessesAtOnce();
    void normalUserOnAFileItMayNotWrite();
    void serverOnLoopback();

    void builtInName();
    void startUp_data();
    void startUp();

private:
    QTemporaryDir settingsDir_;
};

void ReferenceDatabaseTests::initTestCase()
{
    UseRussianLocale();
    QVERIFY(QFileInfo::exists(kDatabase));
    // The test executables do not sit beside the program's Firebird root; the program finds
    // its own root by itself (firebirdEnvironment).
    qputenv("FIREBIRD", FERLUND_TEST_FIREBIRD_ROOT);
    QVERIFY(settingsDir_.isValid());
    SetSettingsDirectory(settingsDir_.path());
}

void ReferenceDatabaseTests::lookup_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("bound");
    QTest::addColumn<bool>("found");

    QTest::newRow("70, a row of the table") << "70" << 70.0 << true;
    QTest::newRow("70.05, between two rows") << "70.05" << 70.05 << true;
    QTest::newRow("70.5 keeps its fraction") << "70.5" << 70.5 << true;
    QTest::newRow("0, the first row") << "0" << 0.0 << true;
    QTest::newRow("100, the last row") << "100" << 100.0 << true;
    QTest::newRow("40 as typed with blanks") << " 40 " << 40.0 << true;
    QTest::newRow("-1, below the table") << "-1" << -1.0 << false;
    QTest::newRow("100.1, above the table") << "100.1" << 100.1 << false;
}

void ReferenceDatabaseTests::lookup()
{
    QFETCH(QString, text);
    QFETCH(double, bound);
    QFETCH(bool, found);

    ReferenceDatabase database;
    database.setDatabaseName(kDatabase);
    database.open();
    const std::optional<ReferenceRow> row = database.lookup(text);

    QCOMPARE(database.lastStatementText(), kLookupStatement);
    QVERIFY(database.lastBoundValue().has_value());
    QVERIFY(sameDouble(*database.lastBoundValue(), bound));
    QCOMPARE(row.has_value(), found);
    if (!found)
        return;

    const double tenths = bound * 10;
    if (tenths == std::floor(tenths)) {
        // A strength the table holds comes back as the generator computed it, to the last bit.
        const AlcoholRow expected = AlcoholAtStrength(bound);
        QVERIFY2(sameDouble(row->P_MAS, expected.byMass), qPrintable(QString::number(row->P_MAS, 'g', 17)));
        QVERIFY2(sameDouble(row->PL, expected.density), qPrintable(QString::number(row->PL, 'g', 17)));
    } else {
        // In between: on the straight line through the two neighbouring rows.
        const AlcoholRow lo = AlcoholAtStrength(std::floor(tenths) / 10);
        const AlcoholRow hi = AlcoholAtStrength(std::ceil(tenths) / 10);
        const double t = (bound - lo.byVolume) / (hi.byVolume - lo.byVolume);
        QVERIFY(std::fabs(row->P_MAS - (lo.byMass + t * (hi.byMass - lo.byMass))) < 1e-12);
        QVERIFY(std::fabs(row->PL - (lo.density + t * (hi.density - lo.density))) < 1e-15);
        QVERIFY(row->P_MAS > lo.byMass && row->P_MAS < hi.byMass);
        QVERIFY(row->PL < lo.density && row->PL > hi.density);
    }
}

void ReferenceDatabaseTests::noRowThenARow()
{
    ReferenceDatabase database;
    database.setDatabaseName(kDatabase);
    database.open();
    QVERIFY(!database.lookup(QStringLiteral("-1")).has_value());
    const auto row = database.lookup(QStringLiteral("70"));
    QVERIFY(row.has_value());
    QCOMPARE(std::round(row->P_MAS * 100) / 100, 62.39);
    QVERIFY(!database.lookup(QStringLiteral("101")).has_value());
    QVERIFY(!database.lookup(QStringLiteral("101")).has_value());
    QVERIFY(database.lookup(QStringLiteral("96")).has_value());
    QCOMPARE(database.lastStatementText(), kLookupStatement);
}

void ReferenceDatabaseTests::refusedTextNeverReachesTheDatabase_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("pasted SQL") << "70); delete from alc; --";
    QTest::newRow("two separators") << "7.0.5";
    QTest::newRow("empty") << "";
    QTest::newRow("comma") << "70,5";
    QTest::newRow("a second statement") << "70 union select 1, 2, 3 from rdb$database";
}

void ReferenceDatabaseTests::refusedTextNeverReachesTheDatabase()
{
    QFETCH(QString, text);
    ReferenceDatabase database;
    database.setDatabaseName(kDatabase);
    database.open();
    const auto before = database.lookup(QStringLiteral("70"));
    QVERIFY(before.has_value());

    QCOMPARE(errorOf([&] { database.lookup(text); }),
             QStringLiteral("'%1' is not a valid floating point value").arg(text));
    QVERIFY(sameDouble(*database.lastBoundValue(), 70.0));
    QCOMPARE(database.lastStatementText(), kLookupStatement);

    // The table is as it was, in this connection and in a fresh one.
    const auto after = database.lookup(QStringLiteral("70"));
    QVERIFY(after.has_value() && sameDouble(after->P_MAS, before->P_MAS) && sameDouble(after->PL, before->PL));
    ReferenceDatabase fresh;
    fresh.setDatabaseName(kDatabase);
    fresh.open();
    for (const char* strength : {"0", "50.3", "100"})
        QVERIFY(fresh.lookup(QLatin1String(strength)).has_value());
}

void ReferenceDatabaseTests::missingFieldsAndNulls()
{
    // A database whose procedure answers with a null density, and another without PL.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString nulls = dir.filePath(QStringLiteral("NULLS.FDB"));
    const QString noDensity = dir.filePath(QStringLiteral("NOPL.FDB"));
    QFile script(dir.filePath(QStringLiteral("make.sql")));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral(
                     "create database '%1';\n"
                     "set term ^ ;\n"
                     "create procedure sp_pr_ob (s double precision) returns (p_ob double precision, "
                     "p_mas double precision, pl double precision) as begin p_ob = s; p_mas = 1; "
                     "if (s < 50) then pl = null; else pl = 0.9; suspend; end^\n"
                     "set term ; ^\ncommit;\n"
                     "create database '%2';\n"
                     "set term ^ ;\n"
                     "create procedure sp_pr_ob (s double precision) returns (p_ob double precision, "
                     "p_mas numeric(9, 4)) as begin p_ob = s; p_mas = 12.5; suspend; end^\n"
                     "set term ; ^\ncommit;\n")
                     .arg(nulls, noDensity)
                     .toLocal8Bit());
    script.close();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("FIREBIRD_LOCK"), dir.filePath(QStringLiteral("lock")));
    QProcess isql;
    isql.setProcessEnvironment(environment);
    isql.setProcessChannelMode(QProcess::MergedChannels);
    isql.start(QStringLiteral(FERLUND_TEST_ISQL), {QStringLiteral("-user"), QStringLiteral("SYSDBA"), QStringLiteral("-q"),
                                                 QStringLiteral("-b"), QStringLiteral("-i"), script.fileName()});
    QVERIFY(isql.waitForFinished(60000));
    QVERIFY2(isql.exitCode() == 0, isql.readAll().constData());

    ReferenceDatabase database;
    database.setDatabaseName(nulls);
    database.open();
    QCOMPARE(errorOf([&] { database.lookup(QStringLiteral("40")); }),
             QStringLiteral("Could not convert variant of type (Null) into type (Double)"));
    // The cursor was closed on the way out: the next lookup runs.
    const auto row = database.lookup(QStringLiteral("60"));
    QVERIFY(row.has_value());
    QCOMPARE(row->PL, 0.9);
    database.close();

    database.setDatabaseName(noDensity);
    database.open();
    QCOMPARE(errorOf([&] { database.lookup(QStringLiteral("40")); }), QStringLiteral("Field 'PL' not found"));
    QCOMPARE(errorOf([&] { database.lookup(QStringLiteral("40")); }), QStringLiteral("Field 'PL' not found"));
}

void ReferenceDatabaseTests::closeInAnyOrder()
{
    {
        ReferenceDatabase never; // never opened: both closes do nothing
        never.closeQuery();
        never.close();
        never.close();
        never.closeQuery();
    }
    ReferenceDatabase database;
    database.setDatabaseName(kDatabase);
    database.open();
    database.closeQuery(); // before any lookup
    QVERIFY(database.lookup(QStringLiteral("70")).has_value());
    database.closeQuery();
    database.closeQuery();
    QVERIFY(database.lookup(QStringLiteral("70")).has_value()); // prepared again
    QVERIFY(!database.lookup(QStringLiteral("-5")).has_value());
    database.close();
    QVERIFY(!database.connected());
    database.close();
    database.closeQuery();
    QCOMPARE(errorOf([&] { database.lookup(QStringLiteral("70")); }), QStringLiteral("Database not open"));

    database.open(); // and again, as a fresh connection
    QVERIFY(database.connected());
    QVERIFY(database.lookup(QStringLiteral("40")).has_value());
    // The destructor closes what is still open.
}

void ReferenceDatabaseTests::openFailures_data()
{
    QTest::addColumn<QString>("content"); // "missing", "random" or "" for an empty name

    QTest::newRow("no such file") << "missing";
    QTest::newRow("random bytes") << "random";
    QTest::newRow("empty name") << "";
}

void ReferenceDatabaseTests::openFailures()
{
    QFETCH(QString, content);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString name = dir.filePath(QStringLiteral("ALC.FDB"));
    QString expected;
    if (content == QLatin1String("missing")) {
        expected = missingFileMessage(name);
    } else if (content == QLatin1String("random")) {
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QByteArray bytes(65536, Qt::Uninitialized);
        QRandomGenerator generator(20160101);
        for (char& b : bytes)
            b = char(generator.generate());
        file.write(bytes);
        file.close();
        expected = QStringLiteral("file %1 is not a valid database").arg(name);
    } else {
        name.clear();
        expected = QStringLiteral("Database name is missing");
    }

    ReferenceDatabase database;
    database.setDatabaseName(name);
    QCOMPARE(errorOf([&] { database.open(); }), expected);
    QVERIFY(!database.connected());
    QCOMPARE(errorOf([&] { database.lookup(QStringLiteral("70")); }), QStringLiteral("Database not open"));
    database.close();
}

void ReferenceDatabaseTests::clientLibraryThatCannotBeLoaded_data()
{
    QTest::addColumn<QString>("library");
    QTest::newRow("no such library") << "libfbclient-absent.so.2";
    QTest::newRow("a library without Firebird's entry point") << "libm.so.6";
}

void ReferenceDatabaseTests::clientLibraryThatCannotBeLoaded()
{
    QFETCH(QString, library);
    QCOMPARE(QString::fromLatin1(kFirebirdClientLibrary), QStringLiteral("libfbclient.so.2"));
    const QByteArray name = library.toLocal8Bit();
    try {
        ReferenceDatabase database(name.constData());
        QFAIL("the library loaded");
    } catch (const Error& error) {
        QCOMPARE(error.message(), QStringLiteral("Firebird library %1 not found in the path. "
                                                 "Please install Firebird to use this functionality")
                                      .arg(library));
        QCOMPARE(QString::fromLatin1(error.typeName()), QStringLiteral("EIBClientError"));
    }
    // The same through the process-wide default, as a window's database would be made.
    SetDefaultClientLibrary(name.constData());
    QCOMPARE(errorOf([] { ReferenceDatabase database; }),
             QStringLiteral("Firebird library %1 not found in the path. Please install Firebird to use this functionality")
                 .arg(library));
    SetDefaultClientLibrary(nullptr);

    // The real client is unaffected.
    ReferenceDatabase database;
    database.setDatabaseName(kDatabase);
    database.open();
    QVERIFY(database.lookup(QStringLiteral("70")).has_value());
}

void ReferenceDatabaseTests::firebirdEnvironment()
{
    const QByteArray savedRoot = qgetenv("FIREBIRD");
    const QByteArray savedLock = qgetenv("FIREBIRD_LOCK");
    QTemporaryDir withRoot;
    QTemporaryDir withoutRoot;
    QVERIFY(QDir(withRoot.path()).mkdir(QStringLiteral("firebird")));

    qunsetenv("FIREBIRD");
    PrepareFirebirdEnvironment(withoutRoot.path(), 0);
    QVERIFY(qgetenv("FIREBIRD").isEmpty());
    PrepareFirebirdEnvironment(withRoot.path(), 0);
    QCOMPARE(QString::fromLocal8Bit(qgetenv("FIREBIRD")), withRoot.filePath(QStringLiteral("firebird")));
    qputenv("FIREBIRD", "/somewhere/else");
    PrepareFirebirdEnvironment(withRoot.path(), 0);
    QCOMPARE(qgetenv("FIREBIRD"), QByteArray("/somewhere/else"));

    // Root keeps the engine's default lock directory; a value the user set is kept.
    qunsetenv("FIREBIRD_LOCK");
    PrepareFirebirdEnvironment(withoutRoot.path(), 0);
    QVERIFY(qgetenv("FIREBIRD_LOCK").isEmpty());
    qputenv("FIREBIRD_LOCK", "/my/locks");
    PrepareFirebirdEnvironment(withoutRoot.path(), 4242);
    QCOMPARE(qgetenv("FIREBIRD_LOCK"), QByteArray("/my/locks"));

    qputenv("FIREBIRD", savedRoot);
    if (savedLock.isEmpty())
        qunsetenv("FIREBIRD_LOCK");
    else
        qputenv("FIREBIRD_LOCK", savedLock);
}

void ReferenceDatabaseTests::twoProcessesAtOnce()
{
    ReferenceDatabase database;
    database.setDatabaseName(kDatabase);
    database.open();
    const auto row = database.lookup(QStringLiteral("70"));
    QVERIFY(row.has_value());

    // While this connection and its transaction are open, a second calculator opens the same
    // file and looks up. It is installed the way the program is, beside its Firebird root, and
    // finds that root by itself: with the engine's default configuration it would be refused.
    QTemporaryDir installed;
    QVERIFY(installed.isValid());
    const QString program = installed.filePath(QStringLiteral("ReferenceProbe"));
    QVERIFY(QFile::copy(QStringLiteral(FERLUND_TEST_PROBE), program));
    QVERIFY(QFile::link(QStringLiteral(FERLUND_TEST_FIREBIRD_ROOT), installed.filePath(QStringLiteral("firebird"))));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("FIREBIRD"));

    const QString output = RunProbe(program, kDatabase, QStringLiteral("70"), environment);
    QVERIFY2(output.startsWith(QStringLiteral("%1 %2\n").arg(row->P_MAS, 0, 'g', 17).arg(row->PL, 0, 'g', 17)),
             qPrintable(output));
    QVERIFY(database.lookup(QStringLiteral("40")).has_value());
}

void ReferenceDatabaseTests::normalUserOnAFileItMayNotWrite()
{
    // A user other than root, on a root-owned copy it may only read, with no FIREBIRD_LOCK:
    // the engine's default /tmp/firebird may belong to root, so the program picks its own.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                  | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther
                                                  | QFile::ExeOther));
    const QString copy = CopyDatabase(dir);
    QVERIFY(!copy.isEmpty());
    QVERIFY(QFile::setPermissions(copy, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("FIREBIRD_LOCK"));
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    QStringList wrapper;
    uid_t user = ::geteuid();
    if (user == 0) {
        user = 65534; // nobody
        wrapper = {QStringLiteral("setpriv"), QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                   QStringLiteral("--clear-groups")};
        if (QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
            QSKIP("setpriv is needed to run the probe as another user");
    }
    const QString output = RunProbe(QStringLiteral(FERLUND_TEST_PROBE), copy, QStringLiteral("70"), environment, wrapper);
    const AlcoholRow expected = AlcoholAtStrength(70);
    const QString lockDir = QStringLiteral("/tmp/firebird-%1").arg(user);
    QCOMPARE(output, QStringLiteral("%1 %2\nFIREBIRD_LOCK=%3\n")
                         .arg(expected.byMass, 0, 'g', 17)
                         .arg(expected.density, 0, 'g', 17)
                         .arg(lockDir));
    struct stat info {};
    QCOMPARE(::lstat(QFile::encodeName(lockDir).constData(), &info), 0);
    QVERIFY(S_ISDIR(info.st_mode));
    QCOMPARE(info.st_uid, user);
    QCOMPARE(info.st_mode & 0777, 0700u);
}

void ReferenceDatabaseTests::serverOnLoopback()
{
    // Both come with the server package.
    if (!QFileInfo(QStringLiteral(FERLUND_TEST_FIREBIRD_SERVER)).isExecutable()
        || !QFileInfo::exists(QStringLiteral(FERLUND_TEST_SECURITY_SQL)))
        QSKIP("the Firebird server (firebird3.0-server) is not installed");
    PrivateServer server;
    const QString problem = server.start();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    const QString name = server.databaseName();

    ReferenceDatabase database;
    database.setDatabaseName(name);
    database.open();
    const auto row = database.lookup(QStringLiteral("70"));
    QVERIFY(row.has_value());
    const AlcoholRow expected = AlcoholAtStrength(70);
    QVERIFY(sameDouble(row->P_MAS, expected.byMass) && sameDouble(row->PL, expected.density));
    QVERIFY(!database.lookup(QStringLiteral("100.1")).has_value());
    QCOMPARE(errorOf([&] { database.lookup(QStringLiteral("70); delete from alc; --")); }),
             QStringLiteral("'70); delete from alc; --' is not a valid floating point value"));
    QVERIFY(database.lookup(QStringLiteral("40")).has_value());
    database.close();

    // Start-up: the built-in file is missing, section Base names the server.
    {
        RecordingMessageBoxes boxes;
        WriteSetting(QStringLiteral("Base"), QStringLiteral("path"), name);
        ReferenceDatabase startUp;
        startUp.setDatabaseName(QStringLiteral("/nonexistent/ALC.FDB"));
        QVERIFY(!OpenReferenceDatabase(startUp));
        QVERIFY(startUp.connected());
        QVERIFY(startUp.lookup(QStringLiteral("96")).has_value());
        QVERIFY(boxes.boxes.isEmpty());
    }

    // The server goes away: the same start-up ends with the network error.
    server.stop();
    RecordingMessageBoxes boxes;
    ReferenceDatabase startUp;
    startUp.setDatabaseName(QStringLiteral("/nonexistent/ALC.FDB"));
    QVERIFY(OpenReferenceDatabase(startUp));
    QVERIFY(!startUp.connected());
    QCOMPARE(boxes.boxes.size(), 1);
    QCOMPARE(boxes.boxes[0].kind, BoxKind::Plain);
    QCOMPARE(boxes.boxes[0].text, QStringLiteral("Ошибка: Unable to complete network request to host \"127.0.0.1\".\n"
                                                 "-Failed to establish a connection."));
    QFile::remove(SettingsPath());
}

void ReferenceDatabaseTests::builtInName()
{
    QCOMPARE(BuiltInDatabaseName(), QCoreApplication::applicationDirPath() + QStringLiteral("/ALC.FDB"));
    QVERIFY(QFileInfo(BuiltInDatabaseName()).isAbsolute());
}

void ReferenceDatabaseTests::startUp_data()
{
    QTest::addColumn<QString>("builtIn");
    QTest::addColumn<QString>("settingsPath"); // null: no settings file at all
    QTest::addColumn<bool>("quit");
    QTest::addColumn<QString>("connectedTo");
    QTest::addColumn<QString>("message");

    const QString missing = QStringLiteral("/nonexistent/ALC.FDB");
    const QString alsoMissing = QStringLiteral("/nonexistent/other/ALC.FDB");
    QTest::newRow("built-in name works, settings unused")
        << kDatabase << alsoMissing << false << kDatabase << QString();
    QTest::newRow("built-in name works, no settings file") << kDatabase << QString() << false << kDatabase << QString();
    QTest::newRow("built-in name fails, Base path works")
        << missing << kDatabase << false << kDatabase << QString();
    QTest::newRow("neither") << missing << alsoMissing << true << QString()
                             << QStringLiteral("Ошибка: ") + missingFileMessage(alsoMissing);
    QTest::newRow("no settings file") << missing << QString() << true << QString()
                                      << QStringLiteral("Ошибка: Database name is missing");
    QTest::newRow("settings file without section Base") << missing << QStringLiteral("(no Base)") << true << QString()
                                                        << QStringLiteral("Ошибка: Database name is missing");
}

void ReferenceDatabaseTests::startUp()
{
    QFETCH(QString, builtIn);
    QFETCH(QString, settingsPath);
    QFETCH(bool, quit);
    QFETCH(QString, connectedTo);
    QFETCH(QString, message);

    QFile::remove(SettingsPath());
    if (settingsPath == QLatin1String("(no Base)"))
        WriteSetting(QStringLiteral("Options"), QStringLiteral("Sahar"), QStringLiteral("1"));
    else if (!settingsPath.isNull())
        WriteSetting(QStringLiteral("Base"), QStringLiteral("path"), settingsPath);

    RecordingMessageBoxes boxes;
    ReferenceDatabase database;
    QCOMPARE(database.databaseName(), BuiltInDatabaseName());
    database.setDatabaseName(builtIn);
    QCOMPARE(OpenReferenceDatabase(database), quit);
    QCOMPARE(database.connected(), !quit);
    if (!quit) {
        QCOMPARE(database.databaseName(), connectedTo);
        QVERIFY(database.lookup(QStringLiteral("70")).has_value());
        QVERIFY(boxes.boxes.isEmpty());
    } else {
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(boxes.boxes[0].kind, BoxKind::Plain);
        QCOMPARE(boxes.boxes[0].text, message);
    }
    QFile::remove(SettingsPath());
}

QTEST_GUILESS_MAIN(ReferenceDatabaseTests)
#include "ReferenceDatabaseTests.moc"
