// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <string_view>
#include <vector>

namespace quorven {

// The hexadecimal text of a telegram written down by hand or copied from a
// trace, turned into its bytes:
//   - "*" starts a remark that runs to the next CR or LF;
//   - CR and LF are skipped and keep a pending digit (a byte may be split
//     over two lines);
//   - two hexadecimal digits in a row make one byte;
//   - any other character drops a pending digit.
std::vector<std::uint8_t> ScanHexText(std::string_view text);

// A telegram needs at least this many bytes to be imported.
inline constexpr std::size_t kMinImportBytes = 15;

// The length byte a long frame of n bytes should carry, and the checksum of
// its bytes 5..n-2 (as 8-bit values).
std::uint8_t TrueLength(const std::vector<std::uint8_t>& telegram);
std::uint8_t TrueChecksum(const std::vector<std::uint8_t>& telegram);

// The questions the import asks (caption "Error").
QString LengthQuestion(std::uint8_t stated, std::uint8_t actual);
QString ChecksumQuestion(std::uint8_t stated, std::uint8_t actual);

} // namespace quorven
