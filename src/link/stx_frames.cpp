// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/stx_frames.h"

namespace quorven {

std::uint16_t StxCrc(std::span<const std::uint8_t> bytes) {
    std::uint16_t crc = 0xFFFF;
    for (const std::uint8_t b : bytes) {
        crc ^= b;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) != 0 ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001)
                                 : static_cast<std::uint16_t>(crc >> 1);
        }
    }
    return crc;
}

QByteArray BuildStxRequest(std::uint8_t address, std::uint16_t firstRegister) {
    const std::uint8_t body[6] = {address,
                                  kStxReadRegisters,
                                  static_cast<std::uint8_t>(firstRegister >> 8),
                                  static_cast<std::uint8_t>(firstRegister & 0xFF),
                                  0x00,
                                  kStxRegisterCount};
    const std::uint16_t crc = StxCrc(body);
    QByteArray frame(reinterpret_cast<const char*>(body), 6);
    frame.append(static_cast<char>(crc & 0xFF));
    frame.append(static_cast<char>(crc >> 8));
    return frame;
}

bool IsStxAnswer(std::span<const std::uint8_t> frame) {
    if (frame.size() != kStxAnswerSize || frame[1] != kStxReadRegisters ||
        frame[2] != 2 * kStxRegisterCount) {
        return false;
    }
    const std::uint16_t crc = StxCrc(frame.first(kStxAnswerSize - 2));
    return frame[kStxAnswerSize - 2] == (crc & 0xFF) && frame[kStxAnswerSize - 1] == (crc >> 8);
}

} // namespace quorven
