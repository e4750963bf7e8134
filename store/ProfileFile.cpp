#include "ProfileFile.h"

#include "Error.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

#include <bitset>
#include <cerrno>
#include <optional>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr char kCodec[] = "windows-1251";

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\v' || c == u'\f';
}

// Not QString::trimmed(): that would also take the no-break space, a character of
// Windows-1251 (0xA0) that a value may hold.
QStringView trimBlanks(QStringView s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && isBlank(s[begin]))
        ++begin;
    while (end > begin && isBlank(s[end - 1]))
        --end;
    return s.sliced(begin, end - begin);
}

bool sameName(QStringView a, QStringView b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// One line of the file: [start, contentEnd) is its text, [contentEnd, end) its line end
// (LF or CR LF, or nothing for a last line without one).
struct Line {
    qsizetype start = 0;
    qsizetype contentEnd = 0;
    qsizetype end = 0;
    bool terminated() const { return end > contentEnd; }
};

enum class Kind { Blank, Comment, Header, Key, Other };

struct Classified {
    Kind kind = Kind::Blank;
    QStringView name;       // Header, Key: the name, blanks at its ends removed
    qsizetype equals = -1;  // Key: index of the "=" in the whole text
    QStringView rawValue;   // Key: everything after the "="
};

Classified classify(QStringView text, const Line& line)
{
    const QStringView content = text.sliced(line.start, line.contentEnd - line.start);
    Classified what;
    qsizetype first = 0;
    while (first < content.size() && isBlank(content[first]))
        ++first;
    if (first == content.size()) {
        what.kind = Kind::Blank;
    } else if (content[first] == u';') {
        what.kind = Kind::Comment;
    } else if (content[first] == u'[') {
        const qsizetype close = content.indexOf(u']', first + 1);
        what.kind = close < 0 ? Kind::Other : Kind::Header;
        if (close >= 0)
            what.name = trimBlanks(content.sliced(first + 1, close - first - 1));
    } else if (const qsizetype equals = content.indexOf(u'=', first); equals >= 0) {
        what.kind = Kind::Key;
        what.name = trimBlanks(content.sliced(first, equals - first));
        what.equals = line.start + equals;
        what.rawValue = content.sliced(equals + 1);
    } else {
        what.kind = Kind::Other;
    }
    return what;
}

// Where a key of a section stands in a file, or where it would go.
struct Location {
    bool sectionFound = false;
    Line header;
    bool keyFound = false;
    Line keyLine;
    Classified key;
    bool hasEntry = false;  // a line of the section that is neither blank nor a comment
    Line lastEntry;
};

Location locate(QStringView text, QStringView section, QStringView key)
{
    Location where;
    bool inSection = false;
    qsizetype start = 0;
    while (start < text.size()) {
        Line line;
        line.start = start;
        const qsizetype newline = text.indexOf(u'\n', start);
        line.end = newline < 0 ? text.size() : newline + 1;
        line.contentEnd = newline < 0 ? text.size() : newline;
        if (newline > start && text[newline - 1] == u'\r')
            line.contentEnd = newline - 1;
        start = line.end;

        const Classified what = classify(text, line);
        if (what.kind == Kind::Header) {
            if (inSection)
                break;  // only the first section of the name counts
            if (sameName(what.name, section)) {
                where.sectionFound = true;
                where.header = line;
                inSection = true;
            }
            continue;
        }
        if (!inSection)
            continue;
        if (what.kind == Kind::Key && sameName(what.name, key)) {
            where.keyFound = true;
            where.keyLine = line;
            where.key = what;
            return where;
        }
        if (what.kind == Kind::Key || what.kind == Kind::Other) {
            where.hasEntry = true;
            where.lastEntry = line;
        }
    }
    return where;
}

// The file's text, one character per byte (Windows-1251 maps each of the 256 bytes to one
// UTF-16 unit), so that an index into the text is also an index into the bytes.
std::optional<QString> decode(const QByteArray& bytes)
{
    QStringDecoder decoder(kCodec);
    if (!decoder.isValid())
        return std::nullopt;
    QString text = decoder.decode(bytes);
    if (decoder.hasError() || text.size() != bytes.size())
        return std::nullopt;
    return text;
}

// The characters that Windows-1251 holds: what its 256 bytes decode to.
const std::bitset<0x10000>& repertoire()
{
    static const std::bitset<0x10000> set = [] {
        std::bitset<0x10000> s;
        QByteArray all(256, '\0');
        for (int i = 0; i < 256; ++i)
            all[i] = char(i);
        QStringDecoder decoder(kCodec);
        const QString chars = decoder.isValid() ? decoder.decode(all) : QString();
        if (chars.size() == 256) {
            for (QChar c : chars)
                s.set(c.unicode());
        }
        return s;
    }();
    return set;
}

// Windows-1251 bytes of s, each character it cannot hold (a whole surrogate pair counting
// as one) written as "?". The encoder alone would write 0x1A for those.
std::optional<QByteArray> encode(QStringView s)
{
    const std::bitset<0x10000>& known = repertoire();
    QString holdable;
    holdable.reserve(s.size());
    for (char32_t c : s.toUcs4())
        holdable.append(c < 0x10000 && known.test(c) ? QChar(char16_t(c)) : QChar(u'?'));
    QStringEncoder encoder(kCodec);
    if (!encoder.isValid())
        return std::nullopt;
    QByteArray bytes = encoder.encode(holdable);
    if (encoder.hasError() || bytes.size() != holdable.size())
        return std::nullopt;
    return bytes;
}

bool holdsAny(QStringView s, QStringView chars)
{
    for (QChar c : chars) {
        if (s.contains(c))
            return true;
    }
    return false;
}

// Spelled with its length: a view of the literal alone would end at the NUL.
const QStringView kLineBreaksAndNul(u"\r\n\0", 3);

bool writableSectionName(QStringView name)
{
    return !name.isEmpty() && !holdsAny(name, kLineBreaksAndNul) && !name.contains(u']');
}

bool writableKeyName(QStringView name)
{
    return !name.isEmpty() && !holdsAny(name, kLineBreaksAndNul) && !name.contains(u'=')
        && name.front() != u';' && name.front() != u'[';
}

// The value as far as its first CR, LF or NUL.
QStringView singleLine(QStringView value)
{
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (kLineBreaksAndNul.contains(value[i]))
            return value.first(i);
    }
    return value;
}

// The file that a write replaces: a symbolic link is followed, so the link stays a link.
QString writeTarget(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isSymLink())
        return path;
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.symLinkTarget() : canonical;
}

bool writeAll(int fd, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        left -= n;
    }
    return true;
}

mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Writes bytes to a temporary file beside target, flushes it to disk and renames it over
// target. Either target ends up with all of bytes or it is left as it was.
bool replaceAtomically(const QString& target, const QByteArray& bytes, const struct stat* old)
{
    const QFileInfo info(target);
    const QByteArray directory = QFile::encodeName(info.absolutePath());
    QByteArray temporary =
        QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName()
                         + QStringLiteral(".XXXXXX"));
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return false;

    bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
    if (ok && old != nullptr && (old->st_uid != ::geteuid() || old->st_gid != ::getegid())) {
        // Best effort: only a privileged process may give the file back to its owner.
        [[maybe_unused]] const int given = ::fchown(fd, old->st_uid, old->st_gid);
    }
    ok = ok && ::fchmod(fd, old != nullptr ? (old->st_mode & 07777) : newFileMode()) == 0;
    if (::close(fd) != 0)
        ok = false;
    ok = ok && ::rename(temporary.constData(), QFile::encodeName(target).constData()) == 0;
    if (!ok) {
        ::unlink(temporary.constData());
        return false;
    }
    // Make the rename itself durable; the data is already safe either way.
    const int dirFd = ::open(directory.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

} // namespace

ProfileFile::ProfileFile(QString path) : path_(std::move(path)) {}

QString ProfileFile::Read(const QString& section, const QString& key,
                          const QString& defaultValue) const
{
    const QStringView sectionName = trimBlanks(section);
    const QStringView keyName = trimBlanks(key);
    if (sectionName.isEmpty() || keyName.isEmpty())
        return defaultValue;

    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly))
        return defaultValue;
    const QByteArray bytes = file.readAll();
    const bool readFailed = file.error() != QFileDevice::NoError;
    file.close();
    if (readFailed)
        return defaultValue;

    const std::optional<QString> text = decode(bytes);
    if (!text)
        return defaultValue;
    const Location where = locate(*text, sectionName, keyName);
    if (!where.keyFound)
        return defaultValue;

    QStringView value = trimBlanks(where.key.rawValue);
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'')
        && value.back() == value.front())
        value = value.sliced(1, value.size() - 2);
    return value.first(std::min(value.size(), MaxValueLength)).toString();
}

void ProfileFile::Write(const QString& section, const QString& key, const QString& value) const
{
    const auto fail = [this] {
        throw Error(QStringLiteral("Unable to write to %1").arg(path_), "EIniFileException");
    };

    const QStringView sectionName = trimBlanks(section);
    const QStringView keyName = trimBlanks(key);
    if (!writableSectionName(sectionName) || !writableKeyName(keyName))
        fail();
    const std::optional<QByteArray> sectionBytes = encode(sectionName);
    const std::optional<QByteArray> keyBytes = encode(keyName);
    const std::optional<QByteArray> valueBytes = encode(singleLine(value));
    if (!sectionBytes || !keyBytes || !valueBytes)
        fail();

    const QString target = writeTarget(path_);
    const QByteArray nativeTarget = QFile::encodeName(target);
    struct stat old {};
    bool exists = false;
    if (::stat(nativeTarget.constData(), &old) == 0) {
        // A directory or device is never replaced, and a file that may not be written to
        // is not replaced either, as a direct write would not touch it.
        if (!S_ISREG(old.st_mode) || ::access(nativeTarget.constData(), W_OK) != 0)
            fail();
        exists = true;
    } else if (errno != ENOENT) {
        fail();
    }

    QByteArray bytes;
    if (exists) {
        QFile file(target);
        if (!file.open(QIODevice::ReadOnly))
            fail();
        bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            fail();
    }
    const std::optional<QString> text = decode(bytes);
    if (!text)
        fail();

    static const QByteArray crlf("\r\n");
    const QByteArray keyLine = *keyBytes + '=' + *valueBytes + crlf;
    const Location where = locate(*text, sectionName, keyName);
    if (where.keyFound) {
        const qsizetype valueStart = where.key.equals + 1;
        bytes.replace(valueStart, where.keyLine.end - valueStart, *valueBytes + crlf);
    } else if (where.sectionFound) {
        const Line& after = where.hasEntry ? where.lastEntry : where.header;
        bytes.insert(after.end, after.terminated() ? keyLine : QByteArray(crlf + keyLine));
    } else {
        if (!bytes.isEmpty() && !bytes.endsWith('\n'))
            bytes.append(crlf);
        bytes.append(QByteArray('[' + *sectionBytes + ']' + crlf + keyLine));
    }

    if (!replaceAtomically(target, bytes, exists ? &old : nullptr))
        fail();
}
