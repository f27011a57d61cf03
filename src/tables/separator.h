// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QChar>
#include <QString>

#include <optional>
#include <string>

namespace quorven {

// The separator the tables use when none (or an unusable one) is set.
inline constexpr char16_t kDefaultSeparator = u',';

// A separator must be one character that cannot be mistaken for the quoting,
// for a line end or for the text of a cell: never '"', CR, LF, character 11
// (a line break inside a cell), NUL, a letter or a digit (a list split at
// every "a" is a list destroyed), and never half of a surrogate pair.
bool IsValidSeparator(QChar c);

// The character of a separator text that cannot separate cells (its
// first); nothing when the text is empty or its first character is valid.
std::optional<QChar> RefusedSeparator(const QString& text);

// The separator to use for a character the user typed: the character itself
// when it is valid, else ",".
QChar UsableSeparator(QChar c);
// The same, for the text of the separator field: its first character, or ","
// when the field is empty.
QChar SeparatorFromText(const QString& text);

// The separator as the UTF-8 bytes the CSV files hold.
std::string SeparatorUtf8(QChar c);

} // namespace quorven
