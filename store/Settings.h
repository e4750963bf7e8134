#pragma once
// The settings file example.ini beside the executable: its path, the existence test, one
// value read or written at a time. Every call opens the file, does its work and releases it.

#include <QString>
#include <QStringList>
#include <optional>

// The directory that holds example.ini: the executable's directory unless a test set another.
// An empty text restores the executable's directory.
void SetSettingsDirectory(const QString& directory);

// The executable's directory (or the directory set above), a separator, then "example.ini".
QString SettingsPath();

// True when a regular file (not a directory) exists at SettingsPath().
bool SettingsExist();

// The value of key in section, or defaultValue when the file, section or key is absent.
QString ReadSetting(const QString& section, const QString& key, const QString& defaultValue);

// Sets key in section (in place, or appended), creating section and file as needed.
// Raises Error "Unable to write to <SettingsPath()>" on failure; the old file is then intact.
void WriteSetting(const QString& section, const QString& key, const QString& value);

// The reader pattern of the windows: when the file exists, the keys' values in order, each
// with defaultValue; otherwise "Файл example.ini не найден!" in the plain message box and
// no values.
std::optional<QStringList> ReadSettingsOrTell(const QString& section, const QStringList& keys,
                                              const QString& defaultValue);
