#include "Settings.h"

#include "MessageBoxes.h"
#include "ProfileFile.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

QString g_directory;  // empty: the executable's directory

QString executableDirectory()
{
    if (QCoreApplication::instance() != nullptr)
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(u'/', 0, -2);
}

} // namespace

void SetSettingsDirectory(const QString& directory) { g_directory = directory; }

QString SettingsPath()
{
    QString directory = g_directory.isEmpty() ? executableDirectory() : g_directory;
    if (!directory.endsWith(u'/'))
        directory += u'/';
    return directory + QStringLiteral("example.ini");
}

bool SettingsExist() { return QFileInfo(SettingsPath()).isFile(); }

QString ReadSetting(const QString& section, const QString& key, const QString& defaultValue)
{
    return ProfileFile(SettingsPath()).Read(section, key, defaultValue);
}

void WriteSetting(const QString& section, const QString& key, const QString& value)
{
    ProfileFile(SettingsPath()).Write(section, key, value);
}

std::optional<QStringList> ReadSettingsOrTell(const QString& section, const QStringList& keys,
                                              const QString& defaultValue)
{
    if (!SettingsExist()) {
        ShowPlainMessage(QStringLiteral("Файл example.ini не найден!"));
        return std::nullopt;
    }
    const ProfileFile file(SettingsPath());
    QStringList values;
    values.reserve(keys.size());
    for (const QString& key : keys)
        values.append(file.Read(section, key, defaultValue));
    return values;
}
