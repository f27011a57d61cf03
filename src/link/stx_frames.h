// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <cstdint>
#include <span>

namespace quorven {

// The frames of the STX register protocol (Modbus RTU layout): a request for
// eight holding registers and its answer, both ending in a CRC-16/MODBUS,
// low byte first.
inline constexpr int kStxRequestSize = 8;
inline constexpr int kStxAnswerSize = 21;
inline constexpr std::uint8_t kStxReadRegisters = 0x03;
inline constexpr std::uint8_t kStxRegisterCount = 8;

// CRC-16/MODBUS: initial value FFFFh, reflected polynomial A001h, no final
// inversion.
std::uint16_t StxCrc(std::span<const std::uint8_t> bytes);

// The 8-byte request for the eight registers from firstRegister.
QByteArray BuildStxRequest(std::uint8_t address, std::uint16_t firstRegister);

// A whole answer: 21 bytes, function 03h, 16 data bytes and a right CRC. The
// address is not looked at.
bool IsStxAnswer(std::span<const std::uint8_t> frame);

} // namespace quorven
