// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/stx_request.h"

#include "link/stx_frames.h"

#include <span>

namespace quorven::sim {

namespace {

std::span<const std::uint8_t> Bytes(const QByteArray& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()),
            static_cast<std::size_t>(bytes.size())};
}

} // namespace

std::optional<StxRequest> StxRequestAssembler::push(const ReceivedCharacter& character) {
    if (!buffer_.isEmpty() && character.end - lastEnd_ > kMaxPauseMs * kTicksPerMs) {
        buffer_.clear();
    }
    lastEnd_ = character.end;
    if (character.errors != 0) {
        buffer_.clear();
        return std::nullopt;
    }
    buffer_.append(static_cast<char>(character.byte));
    if (buffer_.size() < kStxRequestSize) {
        return std::nullopt;
    }
    const auto bytes = Bytes(buffer_);
    const std::uint16_t crc = StxCrc(bytes.first(kStxRequestSize - 2));
    const bool valid = bytes[1] == kStxReadRegisters && bytes[4] == 0 &&
                       bytes[5] == kStxRegisterCount && bytes[6] == (crc & 0xFF) &&
                       bytes[7] == (crc >> 8);
    if (!valid) {
        buffer_.remove(0, 1);
        return std::nullopt;
    }
    const StxRequest request{bytes[0], static_cast<std::uint16_t>(bytes[2] << 8 | bytes[3]),
                             character.end};
    buffer_.clear();
    return request;
}

QByteArray StxAnswerFrame(std::uint8_t address, const QByteArray& data) {
    QByteArray frame;
    frame.append(static_cast<char>(address));
    frame.append(static_cast<char>(kStxReadRegisters));
    frame.append(static_cast<char>(2 * kStxRegisterCount));
    frame.append(data.left(2 * kStxRegisterCount));
    const std::uint16_t crc = StxCrc(Bytes(frame));
    frame.append(static_cast<char>(crc & 0xFF));
    frame.append(static_cast<char>(crc >> 8));
    return frame;
}

} // namespace quorven::sim
