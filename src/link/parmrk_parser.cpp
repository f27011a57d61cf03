// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/parmrk_parser.h"

namespace quorven {

namespace {
constexpr std::uint8_t kMarkerByte = 0xFF;
constexpr std::uint8_t kErrorByte = 0x00;
} // namespace

void ParmrkParser::feed(std::span<const std::uint8_t> chunk, QByteArray& data,
                        std::vector<Mark>& marks) {
    for (const std::uint8_t b : chunk) {
        switch (state_) {
        case State::Plain:
            if (b == kMarkerByte) {
                state_ = State::AfterFf;
            } else {
                data.append(static_cast<char>(b));
            }
            break;
        case State::AfterFf:
            if (b == kMarkerByte) {
                data.append(static_cast<char>(kMarkerByte));
                state_ = State::Plain;
            } else if (b == kErrorByte) {
                state_ = State::AfterFf00;
            } else {
                // Not a marker the terminal writes: keep both bytes as they came.
                data.append(static_cast<char>(kMarkerByte));
                data.append(static_cast<char>(b));
                state_ = State::Plain;
            }
            break;
        case State::AfterFf00:
            marks.push_back(Mark{data.size(), b});
            data.append(static_cast<char>(b));
            state_ = State::Plain;
            break;
        }
    }
}

} // namespace quorven
