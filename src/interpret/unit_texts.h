// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Short text tables shared by the value-information tables.

#include <array>
#include <string_view>

namespace quorven {

// Indexed by the two low bits of a code; continues with months and years.
inline constexpr std::array<std::string_view, 6> kTimeUnits{"seconds", "minutes", "hours",
                                                            "days",    "months",  "years"};

// Indexed by the two low bits of a code.
inline constexpr std::array<std::string_view, 4> kLongTimeUnits{"hours", "days", "months", "years"};

} // namespace quorven
