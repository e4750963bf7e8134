#pragma once
// A profile (INI) file on a given path, read and written one value at a time. Every call opens
// the file, does its work and releases it; nothing is cached between calls.
//
// The rules follow the Windows profile functions, which the files in use were written by:
// - A line whose first non-blank character is "[" and which holds a "]" later opens a section;
//   its name is the text between them, blanks at its ends ignored. Anything after the "]" is
//   ignored. A "[" line without "]" opens nothing.
// - A line whose first non-blank character is ";" is a comment.
// - Any other line with an "=" is a key line: the key is the text before the first "=", the
//   value everything after it; blanks (space, tab, CR, VT, FF) at the ends of both are
//   ignored on reading. A value in matching quotes ("…" or '…') is read without them.
// - Section and key names are compared without regard to case. Only the first section of a
//   name counts, and within it the first line of a key.
// - Lines before the first section belong to none and are never read.
// - Values are cut to their first 2047 characters on reading.
// - The file is Windows-1251; a character that Windows-1251 cannot hold is written as "?".
//
// Writing replaces the key's line in place (the line's own text up to its "=" is kept, the new
// value and CR LF follow); a missing key is added after the last line of its section that is
// neither blank nor a comment (so blank lines and comments that lead into the next section
// stay in front of it), or straight after the section's header when it has no such line; a
// missing section is added at the end of the file; a missing file is created. Every other
// byte of the file stays as it was, whatever its line ends. A line the writer adds ends in
// CR LF; when it follows a last line that had no line end, that line gets CR LF first.
//
// A value to write ends at its first CR, LF or NUL, so that it can never add lines or keys
// of its own. Names that could not be read back as written (empty, or holding CR, LF or NUL;
// a section name holding "]"; a key holding "=" or starting with ";" or "[") are refused
// like any other failure.
//
// A save never leaves a half-written file: the new contents go to a temporary file in the
// same directory, which is flushed to disk and then renamed over the old one, with the old
// one's permissions. On any failure the temporary file is removed, the old file is left as
// it was, and Error "Unable to write to <path>" (type EIniFileException) is raised.

#include <QString>

class ProfileFile {
public:
    static constexpr qsizetype MaxValueLength = 2047;

    explicit ProfileFile(QString path);

    const QString& path() const { return path_; }

    // The value of key in section; defaultValue when the file, the section or the key is
    // absent, or the file cannot be read. A key with nothing after its "=" reads as "".
    QString Read(const QString& section, const QString& key, const QString& defaultValue) const;

    // Sets key in section as described above. Raises Error on failure.
    void Write(const QString& section, const QString& key, const QString& value) const;

private:
    QString path_;
};
