// Any bytes as a profile file, then one write into it.
//
// Input: four header bytes, then the section, key and value bytes, then the file.
//   byte 0, bit 0: take the section and key names from the file's own lines (index in bytes
//                  1 and 2), so that existing keys are hit; otherwise bytes 1 and 2 are the
//                  lengths of the literal names that follow.
//   byte 0, bit 1: end the value with a character outside Windows-1251 (written as "?").
//   byte 3:        the length of the value.
// Names and value are Windows-1251 bytes.
//
// Checks: every read gives a value of at most 2047 characters on one line, or the default;
// a write either fails, leaving the file as it was, or changes exactly what it may: the one
// key line after its "=", or one inserted key line (after a line end added to an unended
// last line), or a new section with its key line at the end. Every other line stays as it
// was byte for byte. The value then reads back, unless blanks or quotes at its ends make the
// reader strip them.
#include "Error.h"
#include "ProfileFile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringDecoder>

#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace {

QString FromWindows1251(const QByteArray& bytes, bool* ok = nullptr)
{
    QStringDecoder decoder("windows-1251");
    const QString text = decoder.decode(bytes);
    if (ok != nullptr)
        *ok = !decoder.hasError() && text.size() == bytes.size();
    return text;
}

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

QByteArray Trimmed(QByteArray s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && Blank(s[b]))
        ++b;
    while (e > b && Blank(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

// Lines with their line ends ("\n", or none for an unended last line).
QList<QByteArray> Lines(const QByteArray& bytes)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype lf = bytes.indexOf('\n', start);
        const qsizetype end = lf < 0 ? bytes.size() : lf + 1;
        lines.append(bytes.mid(start, end - start));
        start = end;
    }
    return lines;
}

QByteArray WithoutLineEnd(QByteArray line)
{
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

// Names as a user of the file would see them: "[name]" headers, "name=" keys.
void NamesIn(const QByteArray& bytes, QList<QByteArray>* sections, QList<QByteArray>* keys)
{
    for (const QByteArray& raw : Lines(bytes)) {
        const QByteArray line = Trimmed(WithoutLineEnd(raw));
        if (line.startsWith('[') && line.indexOf(']') > 0)
            sections->append(line.mid(1, line.indexOf(']') - 1));
        else if (!line.startsWith(';') && line.indexOf('=') >= 0)
            keys->append(line.left(line.indexOf('=')));
    }
}

QByteArray Slurp(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    return file.readAll();
}

// Whether new differs from old only by the write of key = value described above.
bool OnlyTheKeyChanged(const QByteArray& oldBytes, const QByteArray& newBytes,
                       const QByteArray& section, const QByteArray& key, const QByteArray& value)
{
    const QList<QByteArray> o = Lines(oldBytes);
    const QList<QByteArray> n = Lines(newBytes);
    qsizetype p = 0;
    while (p < o.size() && p < n.size() && o[p] == n[p])
        ++p;
    qsizetype s = 0;
    while (p + s < o.size() && p + s < n.size() && o[o.size() - 1 - s] == n[n.size() - 1 - s])
        ++s;
    const QList<QByteArray> om = o.mid(p, o.size() - p - s);
    QList<QByteArray> nm = n.mid(p, n.size() - p - s);
    const QByteArray keyLine = key + '=' + value + "\r\n";

    if (om.isEmpty() && nm.isEmpty())
        return true; // the same value written again
    if (om.size() == 1 && nm.size() == 1 && om[0].indexOf('=') >= 0
        && nm[0] == om[0].left(om[0].indexOf('=') + 1) + value + "\r\n")
        return true; // the key line replaced after its "="
    if (om.size() == 1) {
        // An unended last line gets its line end before what is added behind it.
        if (om[0].endsWith('\n') || s != 0 || nm.isEmpty() || nm[0] != om[0] + "\r\n")
            return false;
        nm.removeFirst();
    } else if (!om.isEmpty()) {
        return false;
    }
    if (nm.size() == 1 && nm[0] == keyLine)
        return true;
    return nm.size() == 2 && s == 0 && nm[0] == '[' + section + "]\r\n" && nm[1] == keyLine;
}

// The run's own directory, removed when the run ends.
struct RunDirectory {
    QString path;
    ~RunDirectory()
    {
        if (!path.isEmpty())
            QDir(path).removeRecursively();
    }
};

QString FilePath()
{
    static RunDirectory directory;
    static const QString path = [] {
        // Memory, where there is some: every write is flushed to disk.
        const QString base =
            QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
        const QString dir = base + QStringLiteral("/fuzz_profile_file.")
            + QString::number(::getpid());
        QDir().mkpath(dir);
        directory.path = dir;
        return dir + QStringLiteral("/example.ini");
    }();
    return path;
}

void Replace(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
}

void CheckRead(const ProfileFile& file, const QByteArray& section, const QByteArray& key)
{
    static const QString kDefault = QStringLiteral("\x01" "default");
    const QString value = file.Read(FromWindows1251(section), FromWindows1251(key), kDefault);
    if (value == kDefault)
        return;
    if (value.size() > ProfileFile::MaxValueLength || value.contains(u'\n'))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4)
        return 0;
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const bool namesFromFile = data[0] & 1;
    const bool foreignEnd = data[0] & 2;
    qsizetype at = 4;
    const auto take = [&](qsizetype n) {
        const QByteArray part = input.mid(at, n);
        at = std::min(input.size(), at + n);
        return part;
    };
    QByteArray section = namesFromFile ? QByteArray() : take(data[1] % 16);
    QByteArray key = namesFromFile ? QByteArray() : take(data[2] % 16);
    QByteArray value = take(data[3]);
    const QByteArray before = input.mid(at);
    if (namesFromFile) {
        QList<QByteArray> sections;
        QList<QByteArray> keys;
        NamesIn(before, &sections, &keys);
        section = sections.isEmpty() ? QByteArray("S") : sections[data[1] % sections.size()];
        key = keys.isEmpty() ? QByteArray("K") : keys[data[2] % keys.size()];
    }

    const QString path = FilePath();
    Replace(path, before);
    const ProfileFile file(path);

    // Readers: any file, any names.
    {
        QList<QByteArray> sections;
        QList<QByteArray> keys;
        NamesIn(before, &sections, &keys);
        sections.append(section);
        keys.append(key);
        for (const QByteArray& s : sections.first(std::min<qsizetype>(sections.size(), 4)))
            for (const QByteArray& k : keys.first(std::min<qsizetype>(keys.size(), 4)))
                CheckRead(file, s, k);
    }

    // The writer. What it stores: the value up to its first CR, LF or NUL; a character that
    // Windows-1251 lacks as "?".
    QString valueText = FromWindows1251(value);
    QByteArray stored = value;
    for (char stop : {'\r', '\n', '\0'}) {
        if (const qsizetype i = stored.indexOf(stop); i >= 0)
            stored.truncate(i);
    }
    if (foreignEnd) {
        valueText += QString::fromUcs4(U"\U0001F600\u4E2D");
        if (stored.size() == value.size())
            stored += "??";
    }
    const QString sectionText = FromWindows1251(section);
    const QString keyText = FromWindows1251(key);

    bool decodable = false;
    FromWindows1251(before, &decodable);
    const QByteArray trimmedSection = Trimmed(section);
    const QByteArray trimmedKey = Trimmed(key);
    // Blanks at the ends of a name are not part of it.
    const auto holdsLineBreak = [](const QByteArray& name) {
        return name.contains('\r') || name.contains('\n') || name.contains('\0');
    };
    const bool namesWritable = !trimmedSection.isEmpty() && !trimmedKey.isEmpty()
        && !holdsLineBreak(trimmedSection) && !trimmedSection.contains(']')
        && !holdsLineBreak(trimmedKey) && !trimmedKey.contains('=')
        && !trimmedKey.startsWith(';') && !trimmedKey.startsWith('[');
    try {
        file.Write(sectionText, keyText, valueText);
    } catch (const Error& error) {
        if (!error.message().startsWith(QStringLiteral("Unable to write to ")))
            std::abort();
        if (Slurp(path) != before)
            std::abort(); // a failed write changed the file
        if (namesWritable && decodable)
            std::abort(); // nothing should have stopped this write
        return 0;
    }
    if (!namesWritable)
        std::abort(); // a name that cannot be read back was written
    const QByteArray after = Slurp(path);
    if (!OnlyTheKeyChanged(before, after, trimmedSection, trimmedKey, stored))
        std::abort();

    const QByteArray trimmedStored = Trimmed(stored);
    const bool quoted = trimmedStored.size() >= 2
        && (trimmedStored.front() == '"' || trimmedStored.front() == '\'')
        && trimmedStored.back() == trimmedStored.front();
    if (trimmedStored == stored && !quoted && stored.size() <= ProfileFile::MaxValueLength) {
        const QString back = file.Read(sectionText, keyText, QStringLiteral("\x01" "missing"));
        if (back != FromWindows1251(stored))
            std::abort(); // the written value does not read back
    }
    return 0;
}
