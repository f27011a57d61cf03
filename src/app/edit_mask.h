// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRegularExpression>
#include <QString>

namespace quorven {

// An edit mask of the grids ("!999;0; ": up to three digits) as the pattern
// of the text it lets the user type. The part before the first ";" counts:
// "0" a digit, "9" an optional digit, "L"/"l" a letter (optional),
// "A"/"a" a letter or digit (optional), "C"/"c" any character (optional);
// "!", ">", "<" only shape the display and are skipped; "\" makes the next
// character literal, as is every other character.
QRegularExpression EditMaskPattern(const QString& mask);

} // namespace quorven
