// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <span>

namespace quorven {

// What the bytes of a file are when they are too few to be imported as a
// telegram (fewer than 15): an acknowledgement, a short frame, a control
// frame, a meter's application error, or just too few bytes.
QString ShortFrameReason(std::span<const std::uint8_t> bytes);

} // namespace quorven
