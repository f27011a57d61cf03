#pragma once

#include <cstdint>
#include <string>

namespace quorven {

// The two upper-case hexadecimal digits of a byte.
std::string HexByte(std::uint8_t byte);

// Appends the two upper-case hexadecimal digits of a byte.
void AppendHexByte(std::string& text, std::uint8_t byte);

// Appends the byte as two upper-case hexadecimal digits followed by one blank
// (the hex text of the trace, the link layer and the import).
void AppendHexText(std::string& text, std::uint8_t byte);

} // namespace quorven
