// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace quorven {

// True when the bytes are well-formed UTF-8: no overlong forms, no surrogates,
// nothing beyond U+10FFFF, no sequence cut short.
bool IsValidUtf8(std::string_view bytes);

// Appends the Windows-1250 bytes to `out` as UTF-8. The five byte values the
// code page leaves unassigned become the control characters of the same
// number, as Windows itself converts them.
void AppendWindows1250AsUtf8(std::string& out, std::string_view bytes);

} // namespace quorven
