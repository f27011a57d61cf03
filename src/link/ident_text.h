// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringView>

#include <array>
#include <cstdint>
#include <optional>

namespace quorven {

using IdBytes = std::array<std::uint8_t, 4>;

// The identification text of a slave-list entry as the four bytes sent on the
// wire, least significant pair first. The text is padded on the left with "0"
// to eight characters and read as four hexadecimal pairs, so BCD digits become
// nibbles and "F" becomes the wildcard nibble of the selection. Blanks around
// the text are ignored. A text longer than eight characters or holding
// anything but hexadecimal digits gives no bytes.
std::optional<IdBytes> IdTextToBytes(QStringView text);

} // namespace quorven
