#include "Error.h"
#include "ProfileFile.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kDefault = QStringLiteral("Ошибка при чтении!");

// "Ошибка при чтении!" as Windows-1251 bytes, spelled out so that the encoding is checked
// against the code page itself, not against the encoder the code uses.
const QByteArray kReadErrorBytes("\xCE\xF8\xE8\xE1\xEA\xE0 \xEF\xF0\xE8 \xF7\xF2\xE5\xED\xE8\xE8!");

QByteArray cp1251(const QString& text)
{
    QStringEncoder encoder("windows-1251");
    return encoder.encode(text);
}

struct Failure {
    bool raised = false;
    QString message;
    QString typeName;
};

template <class F>
Failure failureOf(F&& f)
{
    try {
        f();
    } catch (const Error& e) {
        return {true, e.message(), QString::fromLatin1(e.typeName())};
    }
    return {};
}

bool canCreateIn(const QString& directory)
{
    const QString probe = directory + QStringLiteral("/probe");
    const int fd = ::open(QFile::encodeName(probe).constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0)
        return false;
    ::close(fd);
    ::unlink(QFile::encodeName(probe).constData());
    return true;
}

mode_t modeOf(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_mode & 07777;
}

// ---- generated files for the property test --------------------------------------------------

enum class LineKind { Blank, Comment, Header, Key, Other };

struct GeneratedLine {
    LineKind kind;
    QString text;      // without line end
    QString name;      // Header, Key
    QString keyPart;   // Key: the text up to and including the "="
    QByteArray end;    // "\r\n", "\n" or "" (last line only)
};

class FileGenerator {
public:
    explicit FileGenerator(quint32 seed) : rng_(seed) {}

    int below(int n) { return int(rng_.bounded(n)); }
    bool chance(int percent) { return below(100) < percent; }

    QString pick(const QStringList& list) { return list.at(below(int(list.size()))); }

    QString mixedCase(const QString& s)
    {
        QString out;
        for (QChar c : s)
            out += chance(50) ? c.toUpper() : c.toLower();
        return out;
    }

    QString blanks()
    {
        static const QStringList choices{"", "", "", " ", "  ", "\t", " \t "};
        return pick(choices);
    }

    // Text that may hold anything but a line feed (and no CR: a CR before the line feed would
    // be part of the line end).
    QString anyText(int maxLength, const QString& excluded = {})
    {
        static const QString alphabet = QStringLiteral(
            "abcxyzKOLVO0123456789 .,=[];\"'\t\u00A0ДрожжиОбъем№€\u0098") + QChar(u'\0');
        QString out;
        const int length = below(maxLength + 1);
        while (out.size() < length) {
            const QChar c = alphabet.at(below(int(alphabet.size())));
            if (!excluded.contains(c))
                out += c;
        }
        return out;
    }

    // A value that reads back as written: no blanks or quotation marks at its ends.
    QString safeValue()
    {
        static const QString inner = QStringLiteral("0123456789.,=[]; \"'abcАБВгдеёЖ\u00A0€№");
        static const QString ends = QStringLiteral("0123456789.,=[];abcАБВгдеёЖ€№");
        const int length = below(12);
        QString out;
        for (int i = 0; i < length; ++i) {
            const QString& from = (i == 0 || i == length - 1) ? ends : inner;
            out += from.at(below(int(from.size())));
        }
        return out;
    }

    QList<GeneratedLine> file(const QStringList& sections, const QStringList& keys)
    {
        QList<GeneratedLine> lines;
        const int before = below(3);
        for (int i = 0; i < before; ++i)
            lines.append(bodyLine(keys));
        const int sectionCount = below(6);
        for (int s = 0; s < sectionCount; ++s) {
            lines.append(header(sections));
            const int bodyCount = below(7);
            for (int i = 0; i < bodyCount; ++i)
                lines.append(bodyLine(keys));
        }
        for (GeneratedLine& line : lines)
            line.end = chance(70) ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
        if (!lines.isEmpty() && !lines.back().text.isEmpty() && chance(30))
            lines.back().end.clear();
        return lines;
    }

private:
    GeneratedLine header(const QStringList& sections)
    {
        GeneratedLine line{LineKind::Header, {}, mixedCase(pick(sections)), {}, {}};
        line.text = blanks() + u'[' + blanks() + line.name + blanks() + u']';
        if (chance(25))
            line.text += anyText(8);
        return line;
    }

    GeneratedLine bodyLine(const QStringList& keys)
    {
        switch (below(10)) {
        case 0:
        case 1:
            return {LineKind::Blank, blanks(), {}, {}, {}};
        case 2:
            return {LineKind::Comment, blanks() + u';' + anyText(20), {}, {}, {}};
        case 3: {
            // No "=", and nothing that would make it a comment or a section.
            QString text = anyText(16, QStringLiteral("="));
            if (chance(40))
                text = u'[' + anyText(10, QStringLiteral("]"));
            else if (text.isEmpty() || QStringLiteral(";[\t ").contains(text.front()))
                text.prepend(u'x');
            return {LineKind::Other, blanks() + text, {}, {}, {}};
        }
        default: {
            GeneratedLine line{LineKind::Key, {}, mixedCase(pick(keys)), {}, {}};
            line.keyPart = blanks() + line.name + blanks() + u'=';
            line.text = line.keyPart + blanks() + anyText(12) + blanks();
            return line;
        }
        }
    }

    QRandomGenerator rng_;
};

QByteArray bytesOf(const QList<GeneratedLine>& lines)
{
    QByteArray out;
    for (const GeneratedLine& line : lines)
        out += cp1251(line.text) + line.end;
    return out;
}

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// What a write of key = value into section must make of the generated file.
QByteArray expectedAfterWrite(QList<GeneratedLine> lines, const QString& section,
                              const QString& key, const QString& value)
{
    const QByteArray keyLine = cp1251(key + u'=' + value) + "\r\n";
    qsizetype header = -1;
    for (qsizetype i = 0; i < lines.size() && header < 0; ++i) {
        if (lines[i].kind == LineKind::Header && sameName(lines[i].name, section))
            header = i;
    }
    if (header < 0) {
        if (!lines.isEmpty() && lines.back().end.isEmpty())
            lines.back().end = "\r\n";
        return bytesOf(lines) + cp1251(u'[' + section + u']') + "\r\n" + keyLine;
    }
    qsizetype insertAfter = header;
    for (qsizetype i = header + 1; i < lines.size() && lines[i].kind != LineKind::Header; ++i) {
        if (lines[i].kind == LineKind::Key && sameName(lines[i].name, key)) {
            QByteArray out = bytesOf(lines.first(i));
            out += cp1251(lines[i].keyPart + value) + "\r\n";
            return out + bytesOf(lines.sliced(i + 1));
        }
        if (lines[i].kind == LineKind::Key || lines[i].kind == LineKind::Other)
            insertAfter = i;
    }
    if (lines[insertAfter].end.isEmpty())
        lines[insertAfter].end = "\r\n";
    return bytesOf(lines.first(insertAfter + 1)) + keyLine + bytesOf(lines.sliced(insertAfter + 1));
}

QString describe(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toPercentEncoding(" =[];,.'\"", ""));
}

} // namespace

class ProfileFileTests : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void read_data();
    void read();
    void readDirectory();

    void write_data();
    void write();
    void writeRefusesNames_data();
    void writeRefusesNames();

    void roundTrip_data();
    void roundTrip();
    void unencodableCharacters();
    void longValueWrittenWholeReadCut();

    void otherSectionsKeptWhenSectionAdded();
    void saveCreatesTheFile();

    void propertyWriteChangesOnlyItsKey();

    void refusedWhereNothingCanBeCreated();
    void refusedInReadOnlyDirectory();
    void refusedWhenTheFileMayNotBeReplaced();
    void failurePartWayLeavesOldFile();
    void directoryInPlaceOfTheFile();
    void permissionsKept();
    void newFileFollowsUmask();
    void symbolicLinkStaysALink();

    void badInput_data();
    void badInput();

private:
    QString path() const { return dir_->filePath(QStringLiteral("example.ini")); }

    QTemporaryDir workingDirectory_;
    std::unique_ptr<QTemporaryDir> dir_;
};

void ProfileFileTests::initTestCase()
{
    UseRussianLocale();
    QVERIFY(QStringDecoder("windows-1251").isValid());
    QVERIFY(QStringEncoder("windows-1251").isValid());
    // Every path below is absolute; the working directory is somewhere else entirely.
    QVERIFY(workingDirectory_.isValid());
    QVERIFY(QDir::setCurrent(workingDirectory_.path()));
}

void ProfileFileTests::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

void ProfileFileTests::cleanup()
{
    QVERIFY2(entriesOf(workingDirectory_.path()).isEmpty(), "nothing is written to the working directory");
    dir_.reset();
}

// ---- reading ------------------------------------------------------------------------------

void ProfileFileTests::read_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    const QByteArray sample = "[Options]\r\nkolvo1=4\r\nkolvo2=\r\nkolvo4=1.5\r\n[Options_1]\r\nV_kub=40\r\n";
    QTest::newRow("file missing") << false << QByteArray() << "Options" << "kolvo1" << kDefault;
    QTest::newRow("empty file") << true << QByteArray() << "Options" << "kolvo1" << kDefault;
    QTest::newRow("key present") << true << sample << "Options" << "kolvo1" << "4";
    QTest::newRow("key of the second section") << true << sample << "Options_1" << "V_kub" << "40";
    QTest::newRow("section missing") << true << sample << "Base" << "path" << kDefault;
    QTest::newRow("key missing") << true << sample << "Options" << "kolvo3" << kDefault;
    QTest::newRow("key of another section") << true << sample << "Options" << "V_kub" << kDefault;
    QTest::newRow("nothing after =") << true << sample << "Options" << "kolvo2" << "";
    QTest::newRow("only blanks after =") << true << QByteArray("[Options]\r\nkolvo2= \t \r\n")
                                         << "Options" << "kolvo2" << "";
    QTest::newRow("blanks around names and value")
        << true << QByteArray("  [ Options ]  \r\n \t kolvo1 \t=  4 5 \t\r\n") << "Options" << "kolvo1" << "4 5";
    QTest::newRow("blanks around the asked names")
        << true << sample << " Options\t" << "  kolvo1 " << "4";
    QTest::newRow("section without regard to case")
        << true << QByteArray("[OPTIONS]\r\nkolvo1=4\r\n") << "options" << "kolvo1" << "4";
    QTest::newRow("key without regard to case")
        << true << QByteArray("[Options]\r\nKOLVO1=4\r\n") << "Options" << "Kolvo1" << "4";
    QTest::newRow("Cyrillic names without regard to case")
        << true << cp1251("[Опции]\r\nПуть=x\r\n") << "ОПЦИИ" << "пУТЬ" << "x";
    QTest::newRow("Windows-1251 value")
        << true << QByteArray("[Options]\r\nkolvo1=" + kReadErrorBytes + "\r\n") << "Options" << "kolvo1" << kDefault;
    QTest::newRow("byte 0x98 and no-break space kept")
        << true << QByteArray("[Options]\r\nkolvo1=\xA0" "a\x98\xA0\r\n") << "Options" << "kolvo1"
        << QStringLiteral("\u00A0a\u0098\u00A0");
    QTest::newRow("double quotes removed")
        << true << QByteArray("[Options]\r\nkolvo1= \"  a b \" \r\n") << "Options" << "kolvo1" << "  a b ";
    QTest::newRow("single quotes removed")
        << true << QByteArray("[Options]\r\nkolvo1='x'\r\n") << "Options" << "kolvo1" << "x";
    QTest::newRow("empty quotes") << true << QByteArray("[Options]\r\nkolvo1=\"\"\r\n") << "Options" << "kolvo1" << "";
    QTest::newRow("mismatched quotes kept")
        << true << QByteArray("[Options]\r\nkolvo1=\"x'\r\n") << "Options" << "kolvo1" << "\"x'";
    QTest::newRow("lone quote kept") << true << QByteArray("[Options]\r\nkolvo1=\"\r\n") << "Options" << "kolvo1" << "\"";
    QTest::newRow("inner quotes kept")
        << true << QByteArray("[Options]\r\nkolvo1=a\"b\"\r\n") << "Options" << "kolvo1" << "a\"b\"";
    QTest::newRow("value holding = [ ] ;")
        << true << QByteArray("[Options]\r\nkolvo1=a=[b];c\r\n") << "Options" << "kolvo1" << "a=[b];c";
    QTest::newRow("decimal comma") << true << QByteArray("[Options]\r\nkolvo4=1,5\r\n") << "Options" << "kolvo4" << "1,5";
    QTest::newRow("comment is no key")
        << true << QByteArray("[Options]\r\n;kolvo1=9\r\n") << "Options" << "kolvo1" << kDefault;
    QTest::newRow("indented comment is no key")
        << true << QByteArray("[Options]\r\n \t;kolvo1=9\r\n") << "Options" << "kolvo1" << kDefault;
    QTest::newRow("section in a comment opens nothing")
        << true << QByteArray(";[Options]\r\nkolvo1=9\r\n") << "Options" << "kolvo1" << kDefault;
    QTest::newRow("first key of a name wins")
        << true << QByteArray("[Options]\r\nkolvo1=1\r\nKolvo1=2\r\n") << "Options" << "kolvo1" << "1";
    QTest::newRow("first section of a name wins")
        << true << QByteArray("[Options]\r\nkolvo2=1\r\n[Base]\r\n[options]\r\nkolvo1=2\r\n") << "Options" << "kolvo1"
        << kDefault;
    QTest::newRow("keys before the first section belong to none")
        << true << QByteArray("kolvo1=9\r\n[Options]\r\n") << "Options" << "kolvo1" << kDefault;
    QTest::newRow("LF line ends") << true << QByteArray("[Options]\nkolvo1=4\nkolvo2=20\n") << "Options" << "kolvo2" << "20";
    QTest::newRow("last line without line end")
        << true << QByteArray("[Options]\r\nkolvo1=4") << "Options" << "kolvo1" << "4";
    QTest::newRow("last line ending in a lone CR")
        << true << QByteArray("[Options]\r\nkolvo1=4\r") << "Options" << "kolvo1" << "4";
    QTest::newRow("text after the section's ]")
        << true << QByteArray("[Options] ; sugar\r\nkolvo1=4\r\n") << "Options" << "kolvo1" << "4";
    QTest::newRow("[ without ] opens no section")
        << true << QByteArray("[Options]\r\n[Options_1\r\nkolvo1=4\r\n") << "Options" << "kolvo1" << "4";
    QTest::newRow("[ line is no key")
        << true << QByteArray("[Options]\r\n[kolvo1=4\r\n") << "Options" << "kolvo1" << kDefault;
    QTest::newRow("line without =") << true << QByteArray("[Options]\r\nkolvo1\r\n") << "Options" << "kolvo1" << kDefault;
    QTest::newRow("empty key asked") << true << QByteArray("[Options]\r\n=4\r\n") << "Options" << "" << kDefault;
    QTest::newRow("blank key asked") << true << QByteArray("[Options]\r\n=4\r\n") << "Options" << "  " << kDefault;
    QTest::newRow("value of 2047 characters")
        << true << QByteArray("[Options]\r\nkolvo1=" + QByteArray(2047, '7') + "\r\n") << "Options" << "kolvo1"
        << Repeated(u'7', 2047);
    QTest::newRow("value of 2048 characters cut")
        << true << QByteArray("[Options]\r\nkolvo1=" + QByteArray(2047, '7') + "8\r\n") << "Options" << "kolvo1"
        << Repeated(u'7', 2047);
    QTest::newRow("quoted value cut after its quotes")
        << true << QByteArray("[Options]\r\nkolvo1=\"" + QByteArray(3000, 'q') + "\"\r\n") << "Options" << "kolvo1"
        << Repeated(u'q', 2047);
}

void ProfileFileTests::read()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, contents);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);

    if (exists)
        writeBytes(path(), contents);
    QCOMPARE(ProfileFile(path()).Read(section, key, kDefault), expected);
    QCOMPARE(readBytes(path()), exists ? contents : QByteArrayLiteral("(unreadable)"));
    QCOMPARE(entriesOf(dir_->path()), exists ? QStringList{"example.ini"} : QStringList{});
}

void ProfileFileTests::readDirectory()
{
    QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("example.ini")));
    QCOMPARE(ProfileFile(path()).Read("Options", "kolvo1", "0"), QStringLiteral("0"));
}

// ---- writing ------------------------------------------------------------------------------

void ProfileFileTests::write_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("missing file created")
        << false << QByteArray() << "Options" << "kolvo1" << "4" << QByteArray("[Options]\r\nkolvo1=4\r\n");
    QTest::newRow("empty file") << true << QByteArray() << "Options" << "kolvo1" << "4"
                                << QByteArray("[Options]\r\nkolvo1=4\r\n");
    QTest::newRow("replaced in place")
        << true << QByteArray("[Options]\r\nkolvo1=4\r\nkolvo2=20\r\n") << "Options" << "kolvo1" << "5"
        << QByteArray("[Options]\r\nkolvo1=5\r\nkolvo2=20\r\n");
    QTest::newRow("same value rewritten unchanged")
        << true << QByteArray("[Options]\r\nkolvo1=4\r\n") << "Options" << "kolvo1" << "4"
        << QByteArray("[Options]\r\nkolvo1=4\r\n");
    QTest::newRow("replaced line keeps its own key text")
        << true << QByteArray("[options]\r\n  KOLVO1 = 4 \r\n") << "Options" << "kolvo1" << "5"
        << QByteArray("[options]\r\n  KOLVO1 =5\r\n");
    QTest::newRow("replaced in an LF file")
        << true << QByteArray("[Options]\nkolvo1=4\nkolvo2=20\n") << "Options" << "kolvo1" << "5"
        << QByteArray("[Options]\nkolvo1=5\r\nkolvo2=20\n");
    QTest::newRow("replaced last line without line end")
        << true << QByteArray("[Options]\r\nkolvo1=4") << "Options" << "kolvo1" << "5"
        << QByteArray("[Options]\r\nkolvo1=5\r\n");
    QTest::newRow("first of two keys replaced")
        << true << QByteArray("[Options]\r\nkolvo1=1\r\nkolvo1=2\r\n") << "Options" << "kolvo1" << "5"
        << QByteArray("[Options]\r\nkolvo1=5\r\nkolvo1=2\r\n");
    QTest::newRow("key of the first section of the name replaced")
        << true << QByteArray("[Options]\r\nkolvo1=1\r\n[Options]\r\nkolvo1=2\r\n") << "Options" << "kolvo1" << "5"
        << QByteArray("[Options]\r\nkolvo1=5\r\n[Options]\r\nkolvo1=2\r\n");
    QTest::newRow("appended after the section's last key")
        << true << QByteArray("[Options]\r\nkolvo1=4\r\n\r\n[Base]\r\npath=x\r\n") << "Options" << "kolvo2" << "20"
        << QByteArray("[Options]\r\nkolvo1=4\r\nkolvo2=20\r\n\r\n[Base]\r\npath=x\r\n");
    QTest::newRow("appended before comments leading into the next section")
        << true << QByteArray("[Options]\r\nkolvo1=4\r\n; grain\r\n[Options_1]\r\n") << "Options" << "kolvo2" << "20"
        << QByteArray("[Options]\r\nkolvo1=4\r\nkolvo2=20\r\n; grain\r\n[Options_1]\r\n");
    QTest::newRow("appended after a comment between keys")
        << true << QByteArray("[Options]\r\nkolvo1=4\r\n;c\r\nkolvo3=1\r\n") << "Options" << "kolvo2" << "20"
        << QByteArray("[Options]\r\nkolvo1=4\r\n;c\r\nkolvo3=1\r\nkolvo2=20\r\n");
    QTest::newRow("appended after a line without =")
        << true << QByteArray("[Options]\r\nkolvo1=4\r\nodd line\r\n\r\n") << "Options" << "kolvo2" << "20"
        << QByteArray("[Options]\r\nkolvo1=4\r\nodd line\r\nkolvo2=20\r\n\r\n");
    QTest::newRow("appended after the header of an empty section")
        << true << QByteArray("[Options]\r\n;c\r\n\r\n[Base]\r\n") << "Options" << "kolvo1" << "4"
        << QByteArray("[Options]\r\nkolvo1=4\r\n;c\r\n\r\n[Base]\r\n");
    QTest::newRow("appended after a last line without line end")
        << true << QByteArray("[Options]\r\nkolvo1=4") << "Options" << "kolvo2" << "20"
        << QByteArray("[Options]\r\nkolvo1=4\r\nkolvo2=20\r\n");
    QTest::newRow("appended after a header without line end")
        << true << QByteArray("[Options]") << "Options" << "kolvo1" << "4" << QByteArray("[Options]\r\nkolvo1=4\r\n");
    QTest::newRow("appended in an LF file")
        << true << QByteArray("[Options]\nkolvo1=4\n") << "Options" << "kolvo2" << "20"
        << QByteArray("[Options]\nkolvo1=4\nkolvo2=20\r\n");
    QTest::newRow("appended to the first section of the name")
        << true << QByteArray("[Options]\r\na=1\r\n[Base]\r\n[OPTIONS]\r\nb=2\r\n") << "Options" << "b" << "3"
        << QByteArray("[Options]\r\na=1\r\nb=3\r\n[Base]\r\n[OPTIONS]\r\nb=2\r\n");
    QTest::newRow("section found without regard to case")
        << true << QByteArray("[ OPTIONS ] sugar\r\n") << "Options" << "kolvo1" << "4"
        << QByteArray("[ OPTIONS ] sugar\r\nkolvo1=4\r\n");
    QTest::newRow("section added at the end")
        << true << QByteArray("[Options_1]\r\nV_kub=40\r\n\r\n") << "Options" << "kolvo1" << "4"
        << QByteArray("[Options_1]\r\nV_kub=40\r\n\r\n[Options]\r\nkolvo1=4\r\n");
    QTest::newRow("section added after a last line without line end")
        << true << QByteArray("[Base]\r\npath=x") << "Options" << "kolvo1" << "4"
        << QByteArray("[Base]\r\npath=x\r\n[Options]\r\nkolvo1=4\r\n");
    QTest::newRow("section added after an LF last line")
        << true << QByteArray("; notes\n") << "Options" << "kolvo1" << "4"
        << QByteArray("; notes\n[Options]\r\nkolvo1=4\r\n");
    QTest::newRow("keys before any section are not the section's")
        << true << QByteArray("kolvo1=9\r\n") << "Options" << "kolvo1" << "4"
        << QByteArray("kolvo1=9\r\n[Options]\r\nkolvo1=4\r\n");
    QTest::newRow("section named only in a comment")
        << true << QByteArray(";[Options]\r\n") << "Options" << "kolvo1" << "4"
        << QByteArray(";[Options]\r\n[Options]\r\nkolvo1=4\r\n");
    QTest::newRow("[ without ] is not the section")
        << true << QByteArray("[Options\r\n") << "Options" << "kolvo1" << "4"
        << QByteArray("[Options\r\n[Options]\r\nkolvo1=4\r\n");
    QTest::newRow("names written without their end blanks")
        << true << QByteArray() << " Options\t" << "  kolvo1 " << "4" << QByteArray("[Options]\r\nkolvo1=4\r\n");
    QTest::newRow("empty value")
        << true << QByteArray("[Options]\r\nkolvo2=20\r\n") << "Options" << "kolvo2" << ""
        << QByteArray("[Options]\r\nkolvo2=\r\n");
    QTest::newRow("value with end blanks written as typed")
        << true << QByteArray() << "Options" << "kolvo1" << " 4 " << QByteArray("[Options]\r\nkolvo1= 4 \r\n");
    QTest::newRow("value holding = [ ] ; and quotes")
        << true << QByteArray() << "Options" << "kolvo1" << "a=[b];\"c\""
        << QByteArray("[Options]\r\nkolvo1=a=[b];\"c\"\r\n");
    QTest::newRow("value ends at CR LF: no injected key")
        << true << QByteArray("[Options]\r\nkolvo1=4\r\n") << "Options" << "kolvo1" << "5\r\nkolvo2=666\r\n[Base]"
        << QByteArray("[Options]\r\nkolvo1=5\r\n");
    QTest::newRow("value ends at LF: no injected section")
        << true << QByteArray() << "Options" << "kolvo1" << "5\n[Base]\npath=x"
        << QByteArray("[Options]\r\nkolvo1=5\r\n");
    QTest::newRow("value ends at a lone CR")
        << true << QByteArray() << "Options" << "kolvo1" << "5\rkolvo2=1" << QByteArray("[Options]\r\nkolvo1=5\r\n");
    QTest::newRow("value ends at NUL")
        << true << QByteArray() << "Options" << "kolvo1" << (QStringLiteral("5") + QChar(u'\0') + QStringLiteral("x"))
        << QByteArray("[Options]\r\nkolvo1=5\r\n");
    QTest::newRow("value starting with a line break")
        << true << QByteArray() << "Options" << "kolvo1" << "\nkolvo2=1" << QByteArray("[Options]\r\nkolvo1=\r\n");
    QTest::newRow("section name holding [")
        << true << QByteArray() << "a[b" << "k" << "1" << QByteArray("[a[b]\r\nk=1\r\n");
    QTest::newRow("key name holding ] and blanks")
        << true << QByteArray() << "Options" << "a] b" << "1" << QByteArray("[Options]\r\na] b=1\r\n");
    QTest::newRow("Windows-1251 value")
        << true << QByteArray() << "Options" << "kolvo1" << kDefault
        << QByteArray("[Options]\r\nkolvo1=" + kReadErrorBytes + "\r\n");

    // Every other byte stays, whatever it is: odd lines, NUL, byte 0x98, a comment in
    // Windows-1251, mixed line ends, a "=" in a comment, a last line without line end.
    const QByteArray head = QByteArrayLiteral("\xEF\xF0\xE8\r\n; kolvo1=0\n[Options]  \x98\r\n\0odd\r\n  kolvo1 =");
    const QByteArray tail = "\r\n\t\r\n[x]\n\xCE=\xF8\r\n\r\nlast";
    QTest::newRow("other bytes untouched")
        << true << QByteArray(head + "old" + tail) << "options" << "KOLVO1" << "new"
        << QByteArray(head + "new\r\n" + tail.mid(2));
}

void ProfileFileTests::write()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);

    if (exists)
        writeBytes(path(), before);
    ProfileFile(path()).Write(section, key, value);
    const QByteArray written = readBytes(path());
    QVERIFY2(written == after, qPrintable(describe(written)));
    QCOMPARE(entriesOf(dir_->path()), QStringList{"example.ini"});
}

void ProfileFileTests::writeRefusesNames_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");

    const QString nul(QChar(u'\0'));
    QTest::newRow("empty section") << "" << "kolvo1";
    QTest::newRow("blank section") << " \t " << "kolvo1";
    QTest::newRow("section holding ]") << "Opt]ions" << "kolvo1";
    QTest::newRow("section holding LF") << "Options\n[Base" << "kolvo1";
    QTest::newRow("section holding CR") << "Opt\rions" << "kolvo1";
    QTest::newRow("section holding NUL") << ("Opt" + nul + "ions") << "kolvo1";
    QTest::newRow("empty key") << "Options" << "";
    QTest::newRow("blank key") << "Options" << "   ";
    QTest::newRow("key holding =") << "Options" << "kolvo1=5";
    QTest::newRow("key starting with ;") << "Options" << ";kolvo1";
    QTest::newRow("key starting with [") << "Options" << " [kolvo1]";
    QTest::newRow("key holding LF") << "Options" << "kolvo1\nkolvo2";
    QTest::newRow("key holding CR") << "Options" << "kol\rvo1";
    QTest::newRow("key holding NUL") << "Options" << ("kolvo" + nul + "1");
}

void ProfileFileTests::writeRefusesNames()
{
    QFETCH(QString, section);
    QFETCH(QString, key);

    const QByteArray before = "[Options]\r\nkolvo1=4\r\n";
    writeBytes(path(), before);
    const Failure failure = failureOf([&] { ProfileFile(path()).Write(section, key, "5"); });
    QVERIFY(failure.raised);
    QCOMPARE(failure.message, "Unable to write to " + path());
    QCOMPARE(failure.typeName, QStringLiteral("EIniFileException"));
    QCOMPARE(readBytes(path()), before);
    QCOMPARE(entriesOf(dir_->path()), QStringList{"example.ini"});

    QVERIFY(QFile::remove(path()));
    QVERIFY(failureOf([&] { ProfileFile(path()).Write(section, key, "5"); }).raised);
    QVERIFY2(entriesOf(dir_->path()).isEmpty(), "no file is created for a refused name");
}

// ---- Windows-1251 both ways ---------------------------------------------------------------

void ProfileFileTests::roundTrip_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("line");  // the key's line on disk; empty: not checked

    QTest::newRow("read error text") << "Options" << "kolvo1" << kDefault
                                     << QByteArray("kolvo1=" + kReadErrorBytes + "\r\n");
    QTest::newRow("decimal comma") << "Options" << "kolvo4" << "1,5" << QByteArray("kolvo4=1,5\r\n");
    QTest::newRow("words") << "Options" << "kolvo2" << "сухие дрожжи"
                           << QByteArray("kolvo2=\xF1\xF3\xF5\xE8\xE5 \xE4\xF0\xEE\xE6\xE6\xE8\r\n");
    QTest::newRow("capital letters and signs") << "Options" << "kolvo3" << "ЁЖ№€«»"
                                               << QByteArray("kolvo3=\xA8\xC6\xB9\x88\xAB\xBB\r\n");
    QTest::newRow("empty") << "Options" << "kolvo2" << "" << QByteArray("kolvo2=\r\n");
    QTest::newRow("inner blanks and quotes") << "Options" << "kolvo1" << "a \"b\" 'c'" << QByteArray();
    QTest::newRow("no-break space at the ends") << "Options" << "kolvo1" << "\u00A0x\u00A0" << QByteArray();
    QTest::newRow("semicolon and brackets") << "Options" << "kolvo1" << ";[Base]=x" << QByteArray();
    QTest::newRow("2047 characters") << "Options" << "kolvo1" << Repeated(u'Ж', 2047) << QByteArray();
    QTest::newRow("Cyrillic section and key") << "Настройки" << "Объём" << "1.5" << QByteArray();

    // Every character Windows-1251 holds, except the three that end a value.
    QByteArray all;
    for (int b = 1; b < 256; ++b) {
        if (b != '\r' && b != '\n')
            all.append(char(b));
    }
    const QString everything = QStringLiteral("x") + QStringDecoder("windows-1251").decode(all) + QStringLiteral("x");
    QTest::newRow("every character") << "Options" << "kolvo1" << everything
                                     << QByteArray("kolvo1=x" + all + "x\r\n");
}

void ProfileFileTests::roundTrip()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, line);

    const ProfileFile file(path());
    file.Write(section, key, value);
    if (!line.isEmpty())
        QCOMPARE(readBytes(path()), QByteArray(cp1251('[' + section + "]\r\n") + line));
    QCOMPARE(file.Read(section, key, "0"), value);
    // And the same again through a file that already holds the key.
    file.Write(section, key, "changed");
    file.Write(section, key, value);
    QCOMPARE(file.Read(section, key, "0"), value);
}

void ProfileFileTests::unencodableCharacters()
{
    const QByteArray before = "[Options]\r\nkolvo1=4\r\nkolvo2=" + kReadErrorBytes + "\r\nkolvo3=\xA8\r\n";
    writeBytes(path(), before);
    const ProfileFile file(path());

    file.Write("Options", "kolvo2", QStringLiteral("x日y\U0001F600zé"));
    QCOMPARE(readBytes(path()), QByteArray("[Options]\r\nkolvo1=4\r\nkolvo2=x?y?z?\r\nkolvo3=\xA8\r\n"));
    QCOMPARE(file.Read("Options", "kolvo1", "0"), QStringLiteral("4"));
    QCOMPARE(file.Read("Options", "kolvo2", "0"), QStringLiteral("x?y?z?"));
    QCOMPARE(file.Read("Options", "kolvo3", "0"), QStringLiteral("Ё"));

    // A lone surrogate is one character that cannot be held.
    file.Write("Options", "kolvo1", QString(QChar(0xD800)) + u'1');
    QCOMPARE(file.Read("Options", "kolvo1", "0"), QStringLiteral("?1"));

    // Names too; the rest of the file is not touched.
    file.Write(QStringLiteral("Ω"), QStringLiteral("ключ日"), QStringLiteral("Ж"));
    QCOMPARE(readBytes(path()), QByteArray("[Options]\r\nkolvo1=?1\r\nkolvo2=x?y?z?\r\nkolvo3=\xA8\r\n"
                                           "[?]\r\n\xEA\xEB\xFE\xF7?=\xC6\r\n"));
}

void ProfileFileTests::longValueWrittenWholeReadCut()
{
    const ProfileFile file(path());
    const QString value = Repeated(u'5', 3000);
    file.Write("Options", "kolvo1", value);
    QCOMPARE(readBytes(path()), QByteArray("[Options]\r\nkolvo1=" + QByteArray(3000, '5') + "\r\n"));
    QCOMPARE(file.Read("Options", "kolvo1", "0"), Repeated(u'5', 2047));
}

// A file that holds only Options_1 and Base: saving the sugar settings adds Options at the
// end and leaves the rest alone; saving again replaces the five lines in place.
void ProfileFileTests::otherSectionsKeptWhenSectionAdded()
{
    const QByteArray before = "[Options_1]\r\nV_kub=40\r\nV_vod=4\r\nS_dr=2.74\r\nP_dr=15\r\n"
                              "[Base]\r\npath=D:\\Calc\\ALC.FDB\r\n";
    writeBytes(path(), before);
    const ProfileFile file(path());
    const QStringList keys{"kolvo1", "kolvo2", "kolvo3", "kolvo4", "kolvo5"};

    const QStringList first{"4", "20", "100", "1.5", "2"};
    for (int i = 0; i < 5; ++i)
        file.Write("Options", keys[i], first[i]);
    const QByteArray afterFirst =
        before + "[Options]\r\nkolvo1=4\r\nkolvo2=20\r\nkolvo3=100\r\nkolvo4=1.5\r\nkolvo5=2\r\n";
    QCOMPARE(readBytes(path()), afterFirst);

    const QStringList second{"5", "", "1,5", "Ошибка при чтении!", "3"};
    for (int i = 0; i < 5; ++i)
        file.Write("Options", keys[i], second[i]);
    QCOMPARE(readBytes(path()), QByteArray(before + "[Options]\r\nkolvo1=5\r\nkolvo2=\r\nkolvo3=1,5\r\nkolvo4="
                                           + kReadErrorBytes + "\r\nkolvo5=3\r\n"));
    for (int i = 0; i < 5; ++i)
        QCOMPARE(file.Read("Options", keys[i], "0"), second[i]);
    QCOMPARE(file.Read("Base", "path", ""), QStringLiteral("D:\\Calc\\ALC.FDB"));
    QCOMPARE(file.Read("Options_1", "S_dr", ""), QStringLiteral("2.74"));
}

void ProfileFileTests::saveCreatesTheFile()
{
    const ProfileFile file(path());
    const QStringList keys{"kolvo1", "kolvo2", "kolvo3", "kolvo4", "kolvo5"};
    const QStringList typed{"4", "20", "100", "1.5", "2"};
    for (int i = 0; i < 5; ++i)
        file.Write("Options", keys[i], typed[i]);
    QCOMPARE(readBytes(path()),
             QByteArray("[Options]\r\nkolvo1=4\r\nkolvo2=20\r\nkolvo3=100\r\nkolvo4=1.5\r\nkolvo5=2\r\n"));
    QCOMPARE(entriesOf(dir_->path()), QStringList{"example.ini"});
}

// ---- the property test --------------------------------------------------------------------

// For many generated files, writing one key changes only that key's line, or adds the key
// (and its section) where the rules say, and every other byte stays; the value reads back,
// and every other key reads as before.
void ProfileFileTests::propertyWriteChangesOnlyItsKey()
{
    const QStringList sections{"Options", "Options_1", "Base", "Опции", "a b"};
    const QStringList keys{"kolvo1", "kolvo2", "V_kub", "Путь", "k y"};
    constexpr quint32 firstSeed = 20260411;
    constexpr int files = 400;

    for (int n = 0; n < files; ++n) {
        const quint32 seed = firstSeed + quint32(n);
        FileGenerator gen(seed);
        const QList<GeneratedLine> lines = gen.file(sections, keys);
        const QByteArray before = bytesOf(lines);
        writeBytes(path(), before);

        const QString section = gen.mixedCase(gen.pick(sections));
        const QString key = gen.mixedCase(gen.pick(keys));
        const QString value = gen.safeValue();
        const ProfileFile file(path());

        QMap<QString, QString> others;
        for (const QString& s : sections) {
            for (const QString& k : keys) {
                if (!sameName(s, section) || !sameName(k, key))
                    others.insert(s + u'/' + k, file.Read(s, k, "<none>"));
            }
        }

        file.Write(gen.blanks() + section + gen.blanks(), gen.blanks() + key + gen.blanks(), value);

        const QByteArray expected = expectedAfterWrite(lines, section, key, value);
        const QByteArray actual = readBytes(path());
        const QString context = QStringLiteral("seed %1, [%2] %3=%4\nbefore:   %5\nexpected: %6\nactual:   %7")
                                    .arg(seed).arg(section, key, value, describe(before), describe(expected),
                                         describe(actual));
        QVERIFY2(actual == expected, qPrintable(context));
        QVERIFY2(file.Read(section, key, "<none>") == value, qPrintable(context));
        for (auto it = others.cbegin(); it != others.cend(); ++it) {
            const QStringList names = it.key().split(u'/');
            QVERIFY2(file.Read(names[0], names[1], "<none>") == it.value(),
                     qPrintable(it.key() + QStringLiteral(" changed; ") + context));
        }
    }
    QCOMPARE(entriesOf(dir_->path()), QStringList{"example.ini"});
}

// ---- failures -----------------------------------------------------------------------------

void ProfileFileTests::refusedWhereNothingCanBeCreated()
{
    // The parent "directory" is a regular file: nothing can be created below it, not even by
    // a privileged process.
    const QString parent = dir_->filePath("plain");
    writeBytes(parent, "not a directory");
    const QString target = parent + QStringLiteral("/example.ini");

    const Failure failure = failureOf([&] { ProfileFile(target).Write("Options", "kolvo1", "4"); });
    QVERIFY(failure.raised);
    QCOMPARE(failure.message, "Unable to write to " + target);
    QCOMPARE(failure.typeName, QStringLiteral("EIniFileException"));
    QCOMPARE(readBytes(parent), QByteArray("not a directory"));
    QCOMPARE(entriesOf(dir_->path()), QStringList{"plain"});
    QCOMPARE(ProfileFile(target).Read("Options", "kolvo1", "0"), QStringLiteral("0"));
}

void ProfileFileTests::refusedInReadOnlyDirectory()
{
    const QString locked = dir_->filePath("locked");
    QVERIFY(QDir().mkdir(locked));
    const QString target = locked + QStringLiteral("/example.ini");
    const QByteArray before = "[Options]\r\nkolvo1=4\r\nkolvo2=20\r\n";
    writeBytes(target, before);

    QVERIFY(::chmod(QFile::encodeName(locked).constData(), 0555) == 0);
    bool immutable = false;
    const auto unlock = qScopeGuard([&] {
        if (immutable)
            setImmutable(locked, false);
        ::chmod(QFile::encodeName(locked).constData(), 0755);
    });
    if (canCreateIn(locked)) {
        // Directory permissions do not bind a privileged process; the immutable flag does.
        immutable = setImmutable(locked, true);
        if (!immutable || canCreateIn(locked))
            QSKIP("this process can write to any directory here, so none refuses it");
    }

    const Failure failure = failureOf([&] { ProfileFile(target).Write("Options", "kolvo2", "25"); });
    QVERIFY(failure.raised);
    QCOMPARE(failure.message, "Unable to write to " + target);
    QCOMPARE(readBytes(target), before);
    QCOMPARE(entriesOf(locked), QStringList{"example.ini"});
    QCOMPARE(ProfileFile(target).Read("Options", "kolvo2", "0"), QStringLiteral("20"));
}

void ProfileFileTests::refusedWhenTheFileMayNotBeReplaced()
{
    const QByteArray before = "[Options]\r\nkolvo1=4\r\n";
    writeBytes(path(), before);
    QVERIFY(::chmod(QFile::encodeName(path()).constData(), 0444) == 0);
    bool immutable = false;
    const auto unlock = qScopeGuard([&] {
        if (immutable)
            setImmutable(path(), false);
    });
    if (::access(QFile::encodeName(path()).constData(), W_OK) == 0) {
        immutable = setImmutable(path(), true);
        if (!immutable)
            QSKIP("this process may write to any file here, so none refuses it");
    }

    const Failure failure = failureOf([&] { ProfileFile(path()).Write("Options", "kolvo1", "5"); });
    QVERIFY(failure.raised);
    QCOMPARE(failure.message, "Unable to write to " + path());
    QCOMPARE(readBytes(path()), before);
    QCOMPARE(entriesOf(dir_->path()), QStringList{"example.ini"});
}

// The disk "fills up" while the new contents are written: the file size limit makes the
// write fail part-way, for a privileged process as well.
void ProfileFileTests::failurePartWayLeavesOldFile()
{
    const QByteArray before = "[Options]\r\nkolvo1=4\r\n; " + QByteArray(100, 'c') + "\r\n";
    writeBytes(path(), before);

    struct rlimit saved {};
    QVERIFY(::getrlimit(RLIMIT_FSIZE, &saved) == 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    const auto restore = qScopeGuard([&] {
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
    });
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    QVERIFY(::setrlimit(RLIMIT_FSIZE, &small) == 0);

    const Failure failure =
        failureOf([&] { ProfileFile(path()).Write("Options", "kolvo2", Repeated(u'9', 10000)); });
    ::setrlimit(RLIMIT_FSIZE, &saved);

    QVERIFY(failure.raised);
    QCOMPARE(failure.message, "Unable to write to " + path());
    QCOMPARE(readBytes(path()), before);
    QCOMPARE(entriesOf(dir_->path()), QStringList{"example.ini"});

    // Below the limit the same file takes the write.
    ProfileFile(path()).Write("Options", "kolvo2", "20");
    QCOMPARE(ProfileFile(path()).Read("Options", "kolvo2", "0"), QStringLiteral("20"));
}

void ProfileFileTests::directoryInPlaceOfTheFile()
{
    QVERIFY(QDir(dir_->path()).mkpath(QStringLiteral("example.ini/inner")));
    const Failure failure = failureOf([&] { ProfileFile(path()).Write("Options", "kolvo1", "4"); });
    QVERIFY(failure.raised);
    QCOMPARE(failure.message, "Unable to write to " + path());
    QVERIFY(QFileInfo(path()).isDir());
    QCOMPARE(entriesOf(path()), QStringList{"inner"});
    QCOMPARE(entriesOf(dir_->path()), QStringList{"example.ini"});
}

void ProfileFileTests::permissionsKept()
{
    writeBytes(path(), "[Options]\r\nkolvo1=4\r\n");
    QVERIFY(::chmod(QFile::encodeName(path()).constData(), 0640) == 0);
    ProfileFile(path()).Write("Options", "kolvo1", "5");
    QCOMPARE(modeOf(path()), mode_t(0640));
    QVERIFY(::chmod(QFile::encodeName(path()).constData(), 0604) == 0);
    ProfileFile(path()).Write("Options", "kolvo2", "20");
    QCOMPARE(modeOf(path()), mode_t(0604));
    QCOMPARE(readBytes(path()), QByteArray("[Options]\r\nkolvo1=5\r\nkolvo2=20\r\n"));
}

void ProfileFileTests::newFileFollowsUmask()
{
    const mode_t saved = ::umask(027);
    const auto restore = qScopeGuard([&] { ::umask(saved); });
    ProfileFile(path()).Write("Options", "kolvo1", "4");
    QCOMPARE(modeOf(path()), mode_t(0640));
    ::umask(022);
    QVERIFY(QFile::remove(path()));
    ProfileFile(path()).Write("Options", "kolvo1", "4");
    QCOMPARE(modeOf(path()), mode_t(0644));
}

void ProfileFileTests::symbolicLinkStaysALink()
{
    const QString real = dir_->filePath("real.ini");
    writeBytes(real, "[Options]\r\nkolvo1=4\r\n");
    QVERIFY(QFile::link(real, path()));
    ProfileFile(path()).Write("Options", "kolvo1", "5");
    QVERIFY(QFileInfo(path()).isSymLink());
    QCOMPARE(readBytes(real), QByteArray("[Options]\r\nkolvo1=5\r\n"));
    QCOMPARE(entriesOf(dir_->path()), (QStringList{"example.ini", "real.ini"}));
}

// ---- bad input ----------------------------------------------------------------------------

void ProfileFileTests::badInput_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("key");       // written in Options with the value "7"
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QStringList>("reads"); // "section/key=value" that must read so

    {
        // Bytes of every value, thick with the characters that mean something in the format.
        QRandomGenerator rng(4242);
        QByteArray bytes;
        const QByteArray special = "[]=;\r\n \t\"'";
        for (int i = 0; i < 65536; ++i)
            bytes.append(rng.bounded(4) == 0 ? special.at(rng.bounded(int(special.size()))) : char(rng.bounded(256)));
        QTest::newRow("random bytes")
            << bytes << "kolvo2"
            << QByteArray(bytes + (bytes.endsWith('\n') ? "" : "\r\n") + "[Options]\r\nkolvo2=7\r\n")
            << QStringList{};
    }
    {
        QByteArray filler;
        for (int i = 0; filler.size() < 10 * 1024 * 1024; ++i)
            filler += "filler" + QByteArray::number(i) + "=" + QByteArray(60, 'v') + "\r\n";
        const QByteArray head = "[Options]\r\nkolvo1=4\r\n" + filler;
        const QByteArray tail = "[Options_1]\r\nV_kub=40\r\n";
        QTest::newRow("10 MB") << QByteArray(head + "kolvo2=20\r\n" + tail) << "kolvo2"
                               << QByteArray(head + "kolvo2=7\r\n" + tail)
                               << QStringList{"Options/kolvo1=4", "Options_1/V_kub=40", "Options/filler77=" + QString(60, u'v')};
    }
    {
        // A NUL is an ordinary character: the line "\0[Options_1]" opens no section.
        const QByteArray bytes = QByteArrayLiteral("[Options]\r\n\0\0\0\r\nkolvo1=4\0x\r\n\0[Options_1]\r\nV_kub=40\r\n");
        QTest::newRow("NUL bytes")
            << bytes << "kolvo2" << QByteArray(bytes + "kolvo2=7\r\n")
            << QStringList{"Options/kolvo1=4" + QString(QChar(u'\0')) + "x", "Options/V_kub=40",
                           "Options_1/V_kub=<default>"};
    }
    {
        const QByteArray huge(1000000, '5');
        const QByteArray odd(1000000, 'x');
        const QByteArray tail = "\r\n" + odd + "\r\nkolvo3=100\r\n";
        QTest::newRow("a line of a million characters")
            << QByteArray("[Options]\r\nkolvo1=" + huge + tail) << "kolvo1" << QByteArray("[Options]\r\nkolvo1=7" + tail)
            << QStringList{"Options/kolvo3=100", "Options/kolvo1=" + Repeated(u'5', 2047)};
        QTest::newRow("a million characters without line end")
            << QByteArray("[Options]\r\n" + odd) << "kolvo2" << QByteArray("[Options]\r\n" + odd + "\r\nkolvo2=7\r\n")
            << QStringList{"Options/kolvo2=<default>"};
    }
    QTest::newRow("only [") << QByteArray("[") << "kolvo2" << QByteArray("[\r\n[Options]\r\nkolvo2=7\r\n")
                            << QStringList{"Options/kolvo2=<default>"};
    QTest::newRow("only []") << QByteArray("[]\r\n") << "kolvo2" << QByteArray("[]\r\n[Options]\r\nkolvo2=7\r\n")
                             << QStringList{};
    QTest::newRow("only =") << QByteArray("=") << "kolvo2" << QByteArray("=\r\n[Options]\r\nkolvo2=7\r\n")
                            << QStringList{};
}

void ProfileFileTests::badInput()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, key);
    QFETCH(QByteArray, after);
    QFETCH(QStringList, reads);

    writeBytes(path(), before);
    const ProfileFile file(path());

    // Every reader of the program gets a value or its default.
    const QList<QPair<QString, QStringList>> readers{
        {"Options", {"kolvo1", "kolvo2", "kolvo3", "kolvo4", "kolvo5"}},
        {"Options_1", {"V_kub", "V_vod", "S_dr", "P_dr"}},
        {"Base", {"path"}},
    };
    for (const auto& [section, names] : readers) {
        for (const QString& name : names)
            QVERIFY(file.Read(section, name, kDefault).size() <= ProfileFile::MaxValueLength);
    }
    for (const QString& expectation : reads) {
        const qsizetype slash = expectation.indexOf(u'/');
        const qsizetype equals = expectation.indexOf(u'=');
        const QString value = file.Read(expectation.first(slash), expectation.sliced(slash + 1, equals - slash - 1),
                                        "<default>");
        QCOMPARE(value, expectation.sliced(equals + 1));
    }
    QCOMPARE(readBytes(path()), before);

    file.Write("Options", key, "7");
    const QByteArray written = readBytes(path());
    QVERIFY2(written == after, qPrintable(QStringLiteral("%1 bytes, expected %2").arg(written.size()).arg(after.size())));
    QCOMPARE(file.Read("Options", key, "<default>"), QStringLiteral("7"));
    QCOMPARE(entriesOf(dir_->path()), QStringList{"example.ini"});
}

QTEST_GUILESS_MAIN(ProfileFileTests)
#include "ProfileFileTests.moc"
