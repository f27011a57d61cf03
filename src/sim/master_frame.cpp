// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/master_frame.h"

#include "link/frames.h"

namespace quorven::sim {

namespace {
constexpr int kShortFrameLength = 5;
constexpr int kLongHeadLength = 4;
constexpr int kMinimumL = 3;
} // namespace

std::optional<MasterFrame> MasterFrameAssembler::push(const ReceivedCharacter& character) {
    if (!buffer_.isEmpty() && character.end - lastEnd_ > kMaxPauseMs * kTicksPerMs) {
        buffer_.clear();
    }
    lastEnd_ = character.end;
    if (character.errors != 0) {
        buffer_.clear();
        return std::nullopt;
    }
    if (buffer_.isEmpty() && character.byte != kShortStart && character.byte != kLongStart) {
        return std::nullopt;
    }
    buffer_.append(static_cast<char>(character.byte));
    auto frame = complete();
    if (frame) {
        frame->end = character.end;
    }
    return frame;
}

std::optional<MasterFrame> MasterFrameAssembler::complete() {
    const auto byte = [this](int i) { return static_cast<std::uint8_t>(buffer_[i]); };
    const int size = static_cast<int>(buffer_.size());
    MasterFrame frame;
    if (byte(0) == kShortStart) {
        if (size < kShortFrameLength) {
            return std::nullopt;
        }
        const bool valid = FrameChecksum(buffer_, 1, 3) == byte(3) && byte(4) == kStopByte;
        frame.control = byte(1);
        frame.address = byte(2);
        frame.bytes = buffer_;
        buffer_.clear();
        return valid ? std::optional(frame) : std::nullopt;
    }
    if (size < kLongHeadLength) {
        return std::nullopt;
    }
    if (byte(1) != byte(2) || byte(3) != kLongStart || byte(1) < kMinimumL) {
        buffer_.clear();
        return std::nullopt;
    }
    const int total = byte(1) + 6;
    if (size < total) {
        return std::nullopt;
    }
    const bool valid = CheckLongFrame(buffer_) == LongFrameFault::None;
    frame.isLong = true;
    frame.control = byte(4);
    frame.address = byte(5);
    frame.ci = byte(6);
    frame.data = buffer_.mid(7, total - 9);
    frame.bytes = buffer_;
    buffer_.clear();
    return valid ? std::optional(frame) : std::nullopt;
}

} // namespace quorven::sim
