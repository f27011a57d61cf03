// SPDX-License-Identifier: GPL-3.0-or-later
#include "interpret/fixed_structure.h"

#include "interpret/hex.h"
#include "interpret/interpreter.h"
#include "interpret/number_format.h"

namespace quorven {

namespace {

struct UnitRange {
    std::uint8_t first;
    std::uint8_t last;
    std::string_view text;
};

constexpr auto kUnitTexts = std::to_array<UnitRange>({
    {0, 0, "hms"},     {1, 1, "DMY"},        {2, 2, "Wh"},       {3, 5, "kWh"},    {6, 8, "MWh"},
    {9, 10, "GWh"},    {11, 11, "kJ"},       {12, 14, "MJ"},     {15, 17, "GJ"},   {18, 19, "TJ"},
    {20, 20, "W"},     {21, 23, "kW"},       {24, 26, "MW"},     {27, 28, "GW"},   {29, 29, "kJ/h"},
    {30, 32, "MJ/h"},  {33, 35, "GJ/h"},     {36, 37, "TJ/h"},   {38, 38, "ml"},   {39, 40, " l"},
    {41, 41, "l"},     {42, 44, "m^3"},      {45, 46, "k(m^3)"}, {47, 47, "ml/h"}, {48, 50, "l/h"},
    {51, 53, "m^3/h"}, {54, 55, "k(m^3/h)"}, {56, 56, "øC"},     {57, 57, "HCA"},  {58, 62, "res."},
    {63, 63, ""},
});

constexpr auto kQuantities = std::to_array<UnitRange>({
    {0, 1, "time"},
    {2, 37, "energy"},
    {38, 46, "volume"},
    {47, 55, "volume flow"},
    {56, 56, "temperature"},
    {57, 61, "reserved"},
    {62, 63, ""},
});

template <std::size_t N>
constexpr std::string_view TextOf(const std::array<UnitRange, N>& ranges, unsigned code) {
    for (const UnitRange& range : ranges) {
        if (code >= range.first && code <= range.last) {
            return range.text;
        }
    }
    return {};
}

constexpr std::uint16_t DivisorOf(unsigned code) {
    constexpr unsigned kTemperature = 56;
    if (code == kTemperature) {
        return 1000;
    }
    if (code < 3 || code > 55) {
        return 1;
    }
    constexpr std::array<std::uint16_t, 3> kByRemainder{100, 10, 1};
    return kByRemainder[code % 3];
}

constexpr std::array<FixedCounterUnit, 64> BuildUnits() {
    std::array<FixedCounterUnit, 64> units{};
    for (unsigned code = 0; code < units.size(); ++code) {
        units[code] = {TextOf(kUnitTexts, code), DivisorOf(code), TextOf(kQuantities, code)};
    }
    return units;
}

constexpr std::uint8_t kStoredInUnitOfCounter1 = 62;

} // namespace

constexpr std::array<FixedCounterUnit, 64> FixedCounterUnits = BuildUnits();

void DecodeFixedCounter(const Interpreter& telegram, int counter, DecodedRecord& out) {
    std::uint8_t unitCode = telegram.Telegram(counter == 1 ? 14 : 15) & 0x3F;
    out.StorageNumber = 0;
    if (counter == 2 && unitCode == kStoredInUnitOfCounter1) {
        unitCode = telegram.Telegram(14) & 0x3F;
        out.StorageNumber = 1;
    }
    const FixedCounterUnit& unit = FixedCounterUnits[unitCode];
    out.Tariff = 0;
    out.Subunit = 0;
    out.FunctionText.assign("instant.");
    out.UnitText.assign(unit.unitText);
    out.Description.assign(unit.quantity);

    const std::size_t first = counter == 1 ? 16 : 20;
    const bool highByteFirst = telegram.IsHighByteFirst();
    std::uint32_t raw = 0; // most significant byte first
    for (std::size_t j = 0; j < 4; ++j) {
        raw = (raw << 8) | telegram.Telegram(highByteFirst ? first + j : first + 3 - j);
    }
    out.Value.clear();
    if ((telegram.Telegram(13) & 0x01) != 0) {
        out.Value = FixedCounterText(static_cast<std::int32_t>(raw), unit.divisor);
        return;
    }
    std::int64_t number = 0;
    for (int shift = 28; shift >= 0; shift -= 4) {
        const unsigned digit = (raw >> shift) & 0x0F;
        if (digit > 9) {
            out.Value.assign("ungltig");
            return;
        }
        number = number * 10 + digit;
    }
    out.Value = FixedCounterText(number, unit.divisor);
}

} // namespace quorven
