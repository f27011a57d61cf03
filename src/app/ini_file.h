// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

namespace quorven {

// The settings file: sections of "key=value" lines. Sections and keys are found
// without regard to case; values are taken literally (everything after the first
// "=" up to the line end — no quoting, escapes or comments inside a value).
// Writing a key changes only that key's line and keeps every other byte of the
// file: other sections, comments, order and line ends.
class IniFile {
public:
    IniFile() = default;

    // Parses file contents (UTF-8). Never fails: lines that are neither a section,
    // a key nor a comment are kept as they are and otherwise ignored.
    static IniFile fromBytes(const QByteArray& bytes);
    QByteArray toBytes() const;

    // Reads a file; a missing or unreadable file gives an empty one.
    static IniFile load(const QString& path);
    // Writes to a temporary file renamed into place, so a failed write never
    // destroys the old file. On failure returns false and the reason in *error.
    bool save(const QString& path, QString* error) const;
    // True when the file exists and may not be written: its write permission is
    // off (also for the superuser, who could write it anyway) or we lack it.
    static bool isWriteProtected(const QString& path);

    // The value of the first matching key in the first matching section.
    std::optional<QString> value(QStringView section, QStringView key) const;
    QString value(QStringView section, QStringView key, const QString& fallback) const;
    // Every key of the section in file order (first occurrence of a key wins).
    QList<std::pair<QString, QString>> entries(QStringView section) const;

    // Sets a value. CR and LF are removed from it so that it stays one line.
    // An existing key keeps its spelling and line end; a new key goes after the
    // section's last key; a new section is appended at the end of the file.
    void setValue(const QString& section, const QString& key, const QString& value);

    // The line end used for new lines: the file's first one, else the platform's.
    QByteArray lineEnd() const;

private:
    struct Line {
        QByteArray text; // without its line end
        QByteArray end;  // "\r\n", "\n", "\r" or empty (last line without one)
    };
    struct Parsed {
        enum class Kind { Other, Section, Key } kind = Kind::Other;
        QString name; // section or key name, trimmed
        QString value;
    };
    static Parsed parse(const QByteArray& text);
    // Index of the section's header line, or -1.
    qsizetype findSection(QStringView section) const;
    // Index of the key's line within the section that starts at header, or -1.
    qsizetype findKey(qsizetype header, QStringView key) const;

    QList<Line> lines_;
};

} // namespace quorven
