// The settings file when things go wrong underneath it, seen through the mash windows: a
// directory in its place, a file this user may not read, a directory that refuses every
// change, and the disk filling up in the middle of a save. The user gets the message; a
// file that was there is left byte for byte as it was, and no temporary file stays behind.

#include "BrKalkuljtor.h"
#include "BrZerno.h"
#include "MessageBoxes.h"
#include "ModalDriver.h"
#include "Nastroyka.h"
#include "Nastroyka_1.h"
#include "Settings.h"
#include "SugarMash.h"
#include "TestSupport.h"
#include "Windows.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <linux/fs.h>
#include <memory>
#include <pwd.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray kSettings = "[Options]\r\nkolvo1=4\r\nkolvo2=20\r\nkolvo3=100\r\nkolvo4=1.5\r\nkolvo5=2\r\n"
                             "[Options_1]\r\nV_kub=40\r\nV_vod=4\r\nS_dr=2.74\r\nP_dr=15\r\n";
const QString kNotFound = QStringLiteral("Файл example.ini не найден!");
const QString kReadError = QStringLiteral("Ошибка при чтении!");

// Runs the rest of a scope as another user where this process is root: the file modes then
// bind it as they bind that user (root itself ignores them). Only the effective ids change,
// so the scope's end gives root back.
class AsUser {
public:
    AsUser()
    {
        if (::geteuid() != 0)
            return;
        const passwd* nobody = ::getpwnam("nobody");
        if (nobody == nullptr)
            return;
        if (::setegid(nobody->pw_gid) == 0 && ::seteuid(nobody->pw_uid) == 0)
            switched_ = true;
    }
    ~AsUser()
    {
        if (switched_) {
            [[maybe_unused]] const int u = ::seteuid(0);
            [[maybe_unused]] const int g = ::setegid(0);
        }
    }
    bool bindsModes() const { return switched_ || ::geteuid() != 0; }

private:
    bool switched_ = false;
};

// A file size limit for the rest of a scope: a write past it fails (EFBIG) instead of
// ending the process, as a full disk would fail it.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        ok_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    bool ok() const { return ok_; }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
    bool ok_ = false;
};

QString Label(QWidget* window, const char* name) { return Child<QLabel>(window, name)->text(); }

void Press(QWidget* window, const char* button)
{
    QTest::mouseClick(Child<QPushButton>(window, button), Qt::LeftButton);
}

QStringList Fields(QWidget* window, int count)
{
    QStringList texts;
    for (int i = 1; i <= count; ++i)
        texts << Child<QLineEdit>(window, QStringLiteral("Edit%1").arg(i))->text();
    return texts;
}

void SetFields(QWidget* window, const QStringList& texts)
{
    for (int i = 0; i < texts.size(); ++i)
        Child<QLineEdit>(window, QStringLiteral("Edit%1").arg(i + 1))->setText(texts[i]);
}

} // namespace

class SettingsFaultTests : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<RecordingMessageBoxes> boxes;
    std::unique_ptr<ModalWatchdog> watchdog;

    QString unableToWrite() const { return QStringLiteral("Unable to write to %1.").arg(SettingsPath()); }

    void writeSettings(const QByteArray& bytes)
    {
        QFile file(SettingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    // The one box a press showed, as "kind|text".
    QStringList shown() const
    {
        QStringList list;
        for (const BoxRequest& box : boxes->boxes)
            list << QStringLiteral("%1|%2").arg(int(box.kind)).arg(box.text);
        return list;
    }
    static QString box(BoxKind kind, const QString& text) { return QStringLiteral("%1|%2").arg(int(kind)).arg(text); }

    QStringList filesInDirectory() const
    {
        return QDir(dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    // The settings windows' "Сохранить" on an existing file that must stay as it was.
    void saveFails(const QByteArray& expectedBytes)
    {
        {
            TForm3 form;
            form.show();
            SetFields(&form, {"5", "25", "110", "2.5", "3"});
            boxes->clear();
            Press(&form, "Button1");
            QCOMPARE(shown(), QStringList{box(BoxKind::Error, unableToWrite())});
            QVERIFY(form.isVisible()); // the user may try again or cancel
        }
        {
            TForm6 form;
            form.show();
            SetFields(&form, {"50", "5", "3", "20"});
            boxes->clear();
            Press(&form, "Button1");
            QCOMPARE(shown(), QStringList{box(BoxKind::Error, unableToWrite())});
            QVERIFY(form.isVisible());
        }
        QCOMPARE(readBytes(SettingsPath()), expectedBytes);
    }

private slots:
    void initTestCase()
    {
        UseRussianLocale();
        InstallFontSubstitutions();
    }

    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        SetSettingsDirectory(dir->path());
        KeptSugarSettings() = SugarSettings{};
        boxes = std::make_unique<RecordingMessageBoxes>();
        watchdog = std::make_unique<ModalWatchdog>(10000);
    }

    void cleanup()
    {
        setImmutable(dir->path(), false);
        const QStringList failures = watchdog->failures();
        watchdog.reset();
        boxes.reset();
        SetSettingsDirectory(QString());
        dir.reset();
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
    }

    // A directory named example.ini: there is no settings file to read, and none can be saved.
    void directoryInPlaceOfTheFile()
    {
        QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("example.ini")));

        TForm2 sugar;
        sugar.show();
        Child<QLineEdit>(&sugar, "Edit1")->setText(QStringLiteral("1000"));
        Press(&sugar, "Button3");
        // Told, then calculated with the kept settings, still empty at the program's start.
        QCOMPARE(shown(), (QStringList{box(BoxKind::Plain, kNotFound),
                                       box(BoxKind::Error, "'' is not a valid floating point value.")}));
        QCOMPARE(Label(&sugar, "Label13"), QStringLiteral("630")); // from the weight alone

        boxes->clear();
        TForm5 grain;
        grain.show();
        Press(&grain, "Button1");
        QVERIFY2(shown().startsWith(box(BoxKind::Plain, kNotFound)), qPrintable(shown().join('\n')));

        boxes->clear();
        {
            TForm3 form;
            QCOMPARE(shown(), QStringList{box(BoxKind::Plain, kNotFound)});
            QCOMPARE(Fields(&form, 5), QStringList(5, QString()));
            form.show();
            SetFields(&form, {"5", "25", "110", "2.5", "3"});
            boxes->clear();
            Press(&form, "Button1");
            QCOMPARE(shown(), QStringList{box(BoxKind::Error, unableToWrite())});
        }
        boxes->clear();
        {
            TForm6 form;
            QCOMPARE(shown(), QStringList{box(BoxKind::Plain, kNotFound)});
            form.show();
            SetFields(&form, {"50", "5", "3", "20"});
            boxes->clear();
            Press(&form, "Button1");
            QCOMPARE(shown(), QStringList{box(BoxKind::Error, unableToWrite())});
        }
        QVERIFY(QFileInfo(SettingsPath()).isDir());
        QCOMPARE(QDir(SettingsPath()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
        QCOMPARE(filesInDirectory(), QStringList{"example.ini"});
    }

    // A file the user may neither read nor write: its values read as the readers' defaults,
    // and a save is refused with the file untouched.
    void fileTheUserMayNotRead()
    {
        writeSettings(kSettings);
        QVERIFY(QFile::setPermissions(dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                       | QFile::ReadOther | QFile::ExeOther));
        QVERIFY(::chmod(QFile::encodeName(SettingsPath()).constData(), 0) == 0);
        {
            AsUser user;
            if (!user.bindsModes())
                QSKIP("running as root with no other user to switch to");
            QVERIFY(!QFile(SettingsPath()).open(QIODevice::ReadOnly));
            {
                TForm2 sugar;
                sugar.show();
                Child<QLineEdit>(&sugar, "Edit1")->setText(QStringLiteral("1000"));
                Press(&sugar, "Button3");
                QCOMPARE(shown(), QStringList()); // each value is its default "0"
                QCOMPARE(Label(&sugar, "Label13"), QStringLiteral("630")); // from the weight alone
                QCOMPARE(Label(&sugar, "Label14"), QStringLiteral("0"));  // no water per kilogram
            }
            {
                TForm3 form;
                QCOMPARE(Fields(&form, 5), QStringList(5, kReadError));
            }
            {
                TForm6 form;
                QCOMPARE(Fields(&form, 4), QStringList(4, kReadError));
            }
            boxes->clear();
            saveFails("(unreadable)");
        }
        QCOMPARE(readBytes(SettingsPath()), kSettings);
        QCOMPARE(filesInDirectory(), QStringList{"example.ini"});
    }

    // A directory that refuses every change (immutable, which binds root as well).
    void directoryThatRefusesWrites()
    {
        writeSettings(kSettings);
        if (!setImmutable(dir->path(), true))
            QSKIP("the file system here has no immutable flag");
        saveFails(kSettings);
        QCOMPARE(filesInDirectory(), QStringList{"example.ini"});

        // Reading still works.
        TForm2 sugar;
        sugar.show();
        Child<QLineEdit>(&sugar, "Edit1")->setText(QStringLiteral("1000"));
        boxes->clear();
        Press(&sugar, "Button3");
        QCOMPARE(shown(), QStringList());
        QCOMPARE(Label(&sugar, "Label14"), QStringLiteral("4000"));
    }

    // The disk fills up while the new file is being written: part of it got out, the rest did
    // not. The old file stays, whole.
    void diskFullInTheMiddleOfASave_data()
    {
        QTest::addColumn<int>("room"); // bytes the new file may have, beyond the old file's size
        QTest::newRow("nothing") << 0;
        QTest::newRow("a few bytes") << 5;
        QTest::newRow("all but the line end") << 30;
    }
    void diskFullInTheMiddleOfASave()
    {
        QFETCH(int, room);
        // A long first value, so that its replacement makes the file larger.
        QByteArray old = kSettings;
        writeSettings(old);
        {
            TForm3 form;
            form.show();
            SetFields(&form, {QString(40, QLatin1Char('7')), "25", "110", "2.5", "3"});
            boxes->clear();
            {
                FileSizeLimit limit(rlim_t(old.size() + room));
                QVERIFY(limit.ok());
                Press(&form, "Button1");
            }
            QCOMPARE(shown(), QStringList{box(BoxKind::Error, unableToWrite())});
            QVERIFY(form.isVisible());
        }
        QCOMPARE(readBytes(SettingsPath()), old);
        QCOMPARE(filesInDirectory(), QStringList{"example.ini"});

        // With room again the same save goes through.
        TForm3 form;
        form.show();
        SetFields(&form, {QString(40, QLatin1Char('7')), "25", "110", "2.5", "3"});
        boxes->clear();
        Press(&form, "Button1");
        QCOMPARE(shown(), QStringList());
        QCOMPARE(ReadSetting("Options", "kolvo1", "?"), QString(40, QLatin1Char('7')));
    }
};

QTEST_MAIN(SettingsFaultTests)
#include "SettingsFaultTests.moc"
