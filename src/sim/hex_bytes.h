// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <optional>
#include <string>
#include <string_view>

namespace quorven::sim {

// Bytes written as hexadecimal text: pairs of digits, upper or lower case,
// separated by blanks or not ("68 1F 1F 68", "681F1F68"). Anything else gives
// nothing and a problem that names the word and its place; at most maxBytes
// bytes are taken.
std::optional<QByteArray> ParseHexBytes(std::string_view text, qsizetype maxBytes,
                                        std::string* problem);

} // namespace quorven::sim
