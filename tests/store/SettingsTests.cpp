#include "Error.h"
#include "MessageBoxes.h"
#include "ProfileFile.h"
#include "Settings.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kNotFound = QStringLiteral("Файл example.ini не найден!");
const QString kReadError = QStringLiteral("Ошибка при чтении!");
const QStringList kSugarKeys{"kolvo1", "kolvo2", "kolvo3", "kolvo4", "kolvo5"};
const QStringList kGrainKeys{"V_kub", "V_vod", "S_dr", "P_dr"};

const QByteArray kSample = "[Options]\r\nkolvo1=4\r\nkolvo2=20\r\nkolvo3=100\r\nkolvo4=1.5\r\nkolvo5=2\r\n"
                           "[Options_1]\r\nV_kub=40\r\nV_vod=4\r\nS_dr=2.74\r\nP_dr=15\r\n";

// Runs cmake with the arguments; its exit code, or -1 when it did not run.
int runCMake(const QStringList& arguments, const QStringList& environment = {})
{
    QProcess cmake;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& entry : environment)
        env.insert(entry.section(u'=', 0, 0), entry.section(u'=', 1));
    cmake.setProcessEnvironment(env);
    cmake.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    cmake.start(QStringLiteral(FERLUND_CMAKE_COMMAND), arguments);
    if (!cmake.waitForFinished(120000) || cmake.exitStatus() != QProcess::NormalExit)
        return -1;
    return cmake.exitCode();
}

} // namespace

class SettingsTests : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void pathIsBesideTheExecutable();
    void directoryCanBeSet();

    void exists_data();
    void exists();

    void readerPatternWithoutFile();
    void readerPattern_data();
    void readerPattern();
    void fileBesideExecutableNotWorkingDirectory();
    void everyCallSeesTheFileAsItIsNow();
    void saveWithoutFileCreatesIt();
    void writeFailure();

    void defaultSettingsFile();
    void defaultPlacedOnlyWhereNoneIs();
    void defaultInstalledOnlyWhereNoneIs();

private:
    QString path() const { return dir_->filePath(QStringLiteral("example.ini")); }

    QTemporaryDir workingDirectory_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<RecordingMessageBoxes> boxes_;
};

void SettingsTests::initTestCase()
{
    UseRussianLocale();
    QVERIFY(workingDirectory_.isValid());
    QVERIFY(QDir::setCurrent(workingDirectory_.path()));
}

void SettingsTests::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    SetSettingsDirectory(dir_->path());
    boxes_ = std::make_unique<RecordingMessageBoxes>();
}

void SettingsTests::cleanup()
{
    boxes_.reset();
    SetSettingsDirectory(QString());
    QVERIFY2(entriesOf(workingDirectory_.path()).isEmpty(), "nothing is written to the working directory");
    dir_.reset();
}

void SettingsTests::pathIsBesideTheExecutable()
{
    SetSettingsDirectory(QString());
    const QString expected = QCoreApplication::applicationDirPath() + QStringLiteral("/example.ini");
    QCOMPARE(SettingsPath(), expected);
    QCOMPARE(QFileInfo(SettingsPath()).absolutePath(),
             QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(u'/', 0, -2));
    QVERIFY(QDir::setCurrent(QDir::rootPath()));
    const QString fromRoot = SettingsPath();
    QVERIFY(QDir::setCurrent(workingDirectory_.path()));
    QCOMPARE(fromRoot, expected);
}

void SettingsTests::directoryCanBeSet()
{
    QCOMPARE(SettingsPath(), dir_->path() + QStringLiteral("/example.ini"));
    SetSettingsDirectory(dir_->path() + u'/');
    QCOMPARE(SettingsPath(), dir_->path() + QStringLiteral("/example.ini"));
}

void SettingsTests::exists_data()
{
    QTest::addColumn<QString>("make");
    QTest::addColumn<bool>("expected");

    QTest::newRow("nothing") << "" << false;
    QTest::newRow("regular file") << "file" << true;
    QTest::newRow("empty regular file") << "empty" << true;
    QTest::newRow("directory named example.ini") << "directory" << false;
    QTest::newRow("link to a file") << "link to file" << true;
    QTest::newRow("link to a directory") << "link to directory" << false;
    QTest::newRow("dangling link") << "dangling link" << false;
}

void SettingsTests::exists()
{
    QFETCH(QString, make);
    QFETCH(bool, expected);

    const QString other = dir_->filePath("other");
    if (make == "file")
        writeBytes(path(), kSample);
    else if (make == "empty")
        writeBytes(path(), QByteArray());
    else if (make == "directory")
        QVERIFY(QDir().mkdir(path()));
    else if (make == "link to file") {
        writeBytes(other, kSample);
        QVERIFY(QFile::link(other, path()));
    } else if (make == "link to directory") {
        QVERIFY(QDir().mkdir(other));
        QVERIFY(QFile::link(other, path()));
    } else if (make == "dangling link")
        QVERIFY(QFile::link(other, path()));

    QCOMPARE(SettingsExist(), expected);
    const std::optional<QStringList> values = ReadSettingsOrTell("Options", kSugarKeys, kReadError);
    QCOMPARE(values.has_value(), expected);
    QCOMPARE(boxes_->texts(), expected ? QStringList{} : QStringList{kNotFound});
}

void SettingsTests::readerPatternWithoutFile()
{
    QVERIFY(!ReadSettingsOrTell("Options_1", kGrainKeys, "0").has_value());
    QCOMPARE(boxes_->boxes.size(), 1);
    QCOMPARE(int(boxes_->boxes[0].kind), int(BoxKind::Plain));
    QCOMPARE(boxes_->boxes[0].caption, ApplicationTitle());
    QCOMPARE(boxes_->boxes[0].text, kNotFound);
    QVERIFY2(entriesOf(dir_->path()).isEmpty(), "a reading creates no file");
}

void SettingsTests::readerPattern_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("defaultValue");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("sugar settings window") << kSample << "Options" << kSugarKeys << kReadError
                                           << QStringList{"4", "20", "100", "1.5", "2"};
    QTest::newRow("grain calculator") << kSample << "Options_1" << kGrainKeys << "0"
                                      << QStringList{"40", "4", "2.74", "15"};

    const QByteArray noKolvo3 = "[Options]\r\nkolvo1=4\r\nkolvo2=20\r\nkolvo4=1.5\r\nkolvo5=2\r\n";
    QTest::newRow("no kolvo3, settings window") << noKolvo3 << "Options" << kSugarKeys << kReadError
                                                << QStringList{"4", "20", kReadError, "1.5", "2"};
    QTest::newRow("no kolvo3, calculator") << noKolvo3 << "Options" << kSugarKeys << "0"
                                           << QStringList{"4", "20", "0", "1.5", "2"};

    const QByteArray emptyKolvo2 = "[Options]\r\nkolvo1=4\r\nkolvo2=\r\nkolvo3=100\r\nkolvo4=1,5\r\nkolvo5=2\r\n";
    QTest::newRow("kolvo2 saved empty, calculator") << emptyKolvo2 << "Options" << kSugarKeys << "0"
                                                    << QStringList{"4", "", "100", "1,5", "2"};
    QTest::newRow("file without the section") << kSample << "Base" << QStringList{"path"} << ""
                                               << QStringList{""};
}

void SettingsTests::readerPattern()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, section);
    QFETCH(QStringList, keys);
    QFETCH(QString, defaultValue);
    QFETCH(QStringList, expected);

    writeBytes(path(), contents);
    const std::optional<QStringList> values = ReadSettingsOrTell(section, keys, defaultValue);
    QVERIFY(values.has_value());
    QCOMPARE(*values, expected);
    QCOMPARE(boxes_->texts(), QStringList{});
    for (qsizetype i = 0; i < keys.size(); ++i)
        QCOMPARE(ReadSetting(section, keys[i], defaultValue), expected[i]);
    QCOMPARE(readBytes(path()), contents);
}

void SettingsTests::fileBesideExecutableNotWorkingDirectory()
{
    writeBytes(path(), kSample);
    // A decoy in the working directory is never looked at.
    const QString decoy = workingDirectory_.filePath("example.ini");
    writeBytes(decoy, "[Options]\r\nkolvo1=999\r\n");
    const auto removeDecoy = qScopeGuard([&] { QFile::remove(decoy); });

    QCOMPARE(ReadSettingsOrTell("Options", {"kolvo1"}, "0"), std::optional<QStringList>(QStringList{"4"}));
    WriteSetting("Options", "kolvo1", "5");
    QCOMPARE(ReadSetting("Options", "kolvo1", "0"), QStringLiteral("5"));
    QCOMPARE(readBytes(decoy), QByteArray("[Options]\r\nkolvo1=999\r\n"));
    QCOMPARE(boxes_->texts(), QStringList{});
}

// Nothing is cached: a change made by anyone is seen at the next call, and so is a deletion.
void SettingsTests::everyCallSeesTheFileAsItIsNow()
{
    writeBytes(path(), kSample);
    QCOMPARE(ReadSetting("Options", "kolvo1", "0"), QStringLiteral("4"));
    writeBytes(path(), "[Options]\r\nkolvo1=6\r\n");
    QCOMPARE(ReadSetting("Options", "kolvo1", "0"), QStringLiteral("6"));
    WriteSetting("Options", "kolvo1", "7");
    QCOMPARE(ProfileFile(path()).Read("Options", "kolvo1", "0"), QStringLiteral("7"));

    QVERIFY(QFile::remove(path()));
    QVERIFY(!SettingsExist());
    QVERIFY(!ReadSettingsOrTell("Options", kSugarKeys, "0").has_value());
    QCOMPARE(boxes_->texts(), QStringList{kNotFound});
    QCOMPARE(ReadSetting("Base", "path", ""), QString());
}

// No file: the settings window is told so; its save then creates the file with the one
// section Options and the five keys in order, with the texts as typed.
void SettingsTests::saveWithoutFileCreatesIt()
{
    QVERIFY(!ReadSettingsOrTell("Options", kSugarKeys, kReadError).has_value());
    QCOMPARE(boxes_->texts(), QStringList{kNotFound});

    const QStringList typed{"4", "", "1,5", "сто", " 2"};
    for (qsizetype i = 0; i < kSugarKeys.size(); ++i)
        WriteSetting("Options", kSugarKeys[i], typed[i]);
    QCOMPARE(readBytes(path()), QByteArray("[Options]\r\nkolvo1=4\r\nkolvo2=\r\nkolvo3=1,5\r\n"
                                           "kolvo4=\xF1\xF2\xEE\r\nkolvo5= 2\r\n"));
    QVERIFY(SettingsExist());
    QCOMPARE(ReadSettingsOrTell("Options", kSugarKeys, "0"),
             std::optional<QStringList>(QStringList{"4", "", "1,5", "сто", "2"}));
    QCOMPARE(boxes_->texts(), QStringList{kNotFound});
}

void SettingsTests::writeFailure()
{
    // The settings directory is a regular file: nothing can be created in it.
    const QString plain = dir_->filePath("plain");
    writeBytes(plain, "x");
    SetSettingsDirectory(plain);
    try {
        WriteSetting("Options", "kolvo1", "4");
        QFAIL("the write was reported as done");
    } catch (const Error& e) {
        QCOMPARE(e.message(), "Unable to write to " + plain + "/example.ini");
        QCOMPARE(QString::fromLatin1(e.typeName()), QStringLiteral("EIniFileException"));
    }
    QCOMPARE(readBytes(plain), QByteArray("x"));
    QCOMPARE(boxes_->texts(), QStringList{});
}

// The default file that the build puts beside the program.
void SettingsTests::defaultSettingsFile()
{
    const QString source = QStringLiteral(FERLUND_SOURCE_DIR "/store/example.ini");
    QCOMPARE(readBytes(source), kSample);

    SetSettingsDirectory(QFileInfo(source).absolutePath());
    QVERIFY(SettingsExist());
    QCOMPARE(ReadSettingsOrTell("Options", kSugarKeys, kReadError),
             std::optional<QStringList>(QStringList{"4", "20", "100", "1.5", "2"}));
    QCOMPARE(ReadSettingsOrTell("Options_1", kGrainKeys, kReadError),
             std::optional<QStringList>(QStringList{"40", "4", "2.74", "15"}));
    QCOMPARE(ReadSetting("Base", "path", "none"), QStringLiteral("none"));

    QVERIFY2(QFileInfo(QStringLiteral(FERLUND_RUNTIME_DIR "/example.ini")).isFile(),
             "the build places example.ini beside the program");
}

void SettingsTests::defaultPlacedOnlyWhereNoneIs()
{
    const QString script = QStringLiteral(FERLUND_SOURCE_DIR "/store/CopyIfAbsent.cmake");
    const QString source = QStringLiteral(FERLUND_SOURCE_DIR "/store/example.ini");
    const QString destination = dir_->filePath("bin/example.ini");
    const QStringList arguments{"-DSOURCE=" + source, "-DDESTINATION=" + destination, "-P", script};

    QCOMPARE(runCMake(arguments), 0);
    QCOMPARE(readBytes(destination), kSample);

    const QByteArray users = "[Options]\r\nkolvo1=9\r\n";
    writeBytes(destination, users);
    QCOMPARE(runCMake(arguments), 0);
    QCOMPARE(readBytes(destination), users);

    // A link to the user's settings elsewhere is left as it is, even when it dangles.
    QVERIFY(QFile::remove(destination));
    QVERIFY(QFile::link(dir_->filePath("elsewhere.ini"), destination));
    QCOMPARE(runCMake(arguments), 0);
    QVERIFY(QFileInfo(destination).isSymLink());
    QVERIFY(!QFileInfo::exists(dir_->filePath("elsewhere.ini")));
}

void SettingsTests::defaultInstalledOnlyWhereNoneIs()
{
    const QString appDir = QStringLiteral(FERLUND_INSTALL_APPDIR);
    if (QDir::isAbsolutePath(appDir))
        QSKIP("the application directory is configured outside the install prefix");
    const QString prefix = dir_->filePath("prefix");
    const QStringList arguments{"--install", QStringLiteral(FERLUND_BINARY_DIR), "--component", "ferlund_settings",
                                "--prefix", prefix};
    const QString installed = prefix + u'/' + appDir + QStringLiteral("/example.ini");

    QCOMPARE(runCMake(arguments), 0);
    QCOMPARE(readBytes(installed), kSample);

    const QByteArray users = "[Options]\r\nkolvo1=9\r\n";
    writeBytes(installed, users);
    QCOMPARE(runCMake(arguments), 0);
    QCOMPARE(readBytes(installed), users);

    // A staged install (DESTDIR) looks at the staging tree, not at the live one.
    const QString stage = dir_->filePath("stage");
    QCOMPARE(runCMake(arguments, {"DESTDIR=" + stage}), 0);
    QCOMPARE(readBytes(stage + installed), kSample);
    QCOMPARE(readBytes(installed), users);
}

QTEST_GUILESS_MAIN(SettingsTests)
#include "SettingsTests.moc"
