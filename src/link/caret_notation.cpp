// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/caret_notation.h"

namespace quorven {

namespace {

constexpr char kCaret = '^';
constexpr char kControlMask = 0x1F;

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace

QByteArray DecodeCaretNotation(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    QByteArray bytes;
    bytes.reserve(utf8.size());
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        const char next = i + 1 < utf8.size() ? utf8[i + 1] : '\0';
        if (c == kCaret && next == kCaret) {
            bytes.append(kCaret);
            ++i;
        } else if (c == kCaret && IsAsciiLetter(next)) {
            bytes.append(static_cast<char>(next & kControlMask));
            ++i;
        } else {
            bytes.append(c);
        }
    }
    return bytes;
}

} // namespace quorven
