// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace quorven {

// The bytes a modem command string stands for. "^" followed by a letter is
// the control character of that letter ("^M" is CR, "^j" is LF), "^^" is one
// caret; a caret before anything else, or at the end, stays a caret. All
// other characters are sent as they are (UTF-8).
QByteArray DecodeCaretNotation(const QString& text);

} // namespace quorven
