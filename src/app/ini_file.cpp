// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ini_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace quorven {

namespace {

QByteArray platformLineEnd() {
#ifdef Q_OS_WIN
    return QByteArrayLiteral("\r\n");
#else
    return QByteArrayLiteral("\n");
#endif
}

QString oneLine(QString text) {
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    return text;
}

} // namespace

IniFile IniFile::fromBytes(const QByteArray& bytes) {
    IniFile ini;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    while (start < n) {
        qsizetype i = start;
        while (i < n && bytes[i] != '\r' && bytes[i] != '\n') {
            ++i;
        }
        Line line{bytes.mid(start, i - start), {}};
        if (i < n) {
            const qsizetype endLength =
                (bytes[i] == '\r' && i + 1 < n && bytes[i + 1] == '\n') ? 2 : 1;
            line.end = bytes.mid(i, endLength);
            i += endLength;
        }
        ini.lines_.append(std::move(line));
        start = i;
    }
    return ini;
}

IniFile IniFile::load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    // A settings file is a few hundred bytes; a huge one is not ours.
    constexpr qint64 kMaxSize = 1 << 20;
    return fromBytes(file.read(kMaxSize));
}

bool IniFile::save(const QString& path, QString* error) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    const QByteArray bytes = toBytes();
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

bool IniFile::isWriteProtected(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return false;
    }
    return !info.isWritable() || !(info.permissions() & QFileDevice::WriteOwner);
}

QByteArray IniFile::toBytes() const {
    QByteArray out;
    for (const Line& line : lines_) {
        out += line.text;
        out += line.end;
    }
    return out;
}

IniFile::Parsed IniFile::parse(const QByteArray& text) {
    Parsed p;
    const QString line = QString::fromUtf8(text);
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')) ||
        trimmed.startsWith(QLatin1Char('#'))) {
        return p;
    }
    if (trimmed.startsWith(QLatin1Char('['))) {
        const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
        if (close > 0) {
            p.kind = Parsed::Kind::Section;
            p.name = trimmed.mid(1, close - 1).trimmed();
        }
        return p;
    }
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0) {
        return p;
    }
    p.name = line.left(eq).trimmed();
    if (p.name.isEmpty()) {
        return p;
    }
    p.kind = Parsed::Kind::Key;
    p.value = line.mid(eq + 1);
    return p;
}

qsizetype IniFile::findSection(QStringView section) const {
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        const Parsed p = parse(lines_[i].text);
        if (p.kind == Parsed::Kind::Section &&
            QStringView(p.name).compare(section, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

qsizetype IniFile::findKey(qsizetype header, QStringView key) const {
    for (qsizetype i = header + 1; i < lines_.size(); ++i) {
        const Parsed p = parse(lines_[i].text);
        if (p.kind == Parsed::Kind::Section) {
            break;
        }
        if (p.kind == Parsed::Kind::Key &&
            QStringView(p.name).compare(key, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

std::optional<QString> IniFile::value(QStringView section, QStringView key) const {
    const qsizetype header = findSection(section);
    if (header < 0) {
        return std::nullopt;
    }
    const qsizetype at = findKey(header, key);
    if (at < 0) {
        return std::nullopt;
    }
    return parse(lines_[at].text).value;
}

QString IniFile::value(QStringView section, QStringView key, const QString& fallback) const {
    return value(section, key).value_or(fallback);
}

QList<std::pair<QString, QString>> IniFile::entries(QStringView section) const {
    QList<std::pair<QString, QString>> out;
    const qsizetype header = findSection(section);
    if (header < 0) {
        return out;
    }
    for (qsizetype i = header + 1; i < lines_.size(); ++i) {
        const Parsed p = parse(lines_[i].text);
        if (p.kind == Parsed::Kind::Section) {
            break;
        }
        if (p.kind != Parsed::Kind::Key) {
            continue;
        }
        const bool seen = std::any_of(out.begin(), out.end(), [&](const auto& e) {
            return e.first.compare(p.name, Qt::CaseInsensitive) == 0;
        });
        if (!seen) {
            out.append({p.name, p.value});
        }
    }
    return out;
}

QByteArray IniFile::lineEnd() const {
    for (const Line& line : lines_) {
        if (!line.end.isEmpty()) {
            return line.end;
        }
    }
    return platformLineEnd();
}

void IniFile::setValue(const QString& section, const QString& key, const QString& value) {
    const QByteArray end = lineEnd();
    const QByteArray keyLine = (oneLine(key) + QLatin1Char('=') + oneLine(value)).toUtf8();
    qsizetype header = findSection(section);
    if (header >= 0) {
        const qsizetype at = findKey(header, key);
        if (at >= 0) {
            // Keep the key as the file spells it, and everything before it.
            const QByteArray& old = lines_[at].text;
            const qsizetype eq = old.indexOf('=');
            lines_[at].text = old.left(eq + 1) + oneLine(value).toUtf8();
            return;
        }
        // After the section's last key line, before blank lines and comments
        // that lead into the next section.
        qsizetype insertAt = header + 1;
        for (qsizetype i = header + 1; i < lines_.size(); ++i) {
            const Parsed p = parse(lines_[i].text);
            if (p.kind == Parsed::Kind::Section) {
                break;
            }
            if (p.kind == Parsed::Kind::Key) {
                insertAt = i + 1;
            }
        }
        if (lines_[insertAt - 1].end.isEmpty()) {
            lines_[insertAt - 1].end = end;
        }
        lines_.insert(insertAt, Line{keyLine, end});
        return;
    }
    if (!lines_.isEmpty() && lines_.last().end.isEmpty()) {
        lines_.last().end = end;
    }
    lines_.append(Line{('[' + oneLine(section) + ']').toUtf8(), end});
    lines_.append(Line{keyLine, end});
}

} // namespace quorven
