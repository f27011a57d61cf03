// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace quorven {

// One decoded data record as the data table shows it. Texts are UTF-8.
struct DecodedRecord {
    std::uint16_t StorageNumber = 0;
    std::uint16_t Tariff = 0;
    std::uint16_t Subunit = 0;
    std::string Description;
    std::string Value;
    std::string UnitText;
    std::string FunctionText;

    bool operator==(const DecodedRecord&) const = default;
};

} // namespace quorven
