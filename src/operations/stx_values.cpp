// SPDX-License-Identifier: GPL-3.0-or-later
// Formatting the register values of STX meters by their resolution codes.
#include "operations/stx_values.h"

#include <array>

namespace quorven {

namespace {

// Decimals by a resolution code 0-15.
constexpr std::array<int, 16> kVolumeDecimals{3, 0, 0, 0, 2, 0, 1, 0, 2, 0, 0, 0, 1, 0, 0, 0};
constexpr std::array<int, 16> kCounterDecimals{4, 3, 2, 0, 1,  0,  -1, -2,
                                               3, 2, 1, 0, -1, -2, -3, -4};
// Counter codes below this count in steps of kCounterStep.
constexpr int kStepCodes = 8;
constexpr std::uint64_t kCounterStep = 25;

// Decimals by q, the low three bits of SXREG09.
constexpr std::array<int, 8> kEnergyDecimals{3, 0, 0, 0, 2, 0, 1, 0};

// Decimals of flow and power by q: without the range flag, with it and the
// flow flag, with it and without the flow flag.
struct RangeDecimals {
    int normal;
    int rangeFlow;
    int rangeNoFlow;
};
constexpr std::array<RangeDecimals, 8> kFlowDecimals{{
    {3, 2, 4},
    {0, 0, 0},
    {0, 0, 0},
    {0, 0, 0},
    {2, 1, 3},
    {0, 0, 0},
    {1, 0, 2},
    {0, -1, 1},
}};
constexpr std::array<RangeDecimals, 8> kPowerDecimals{{
    {1, 0, 2},
    {0, 0, 0},
    {0, 0, 0},
    {0, 0, 0},
    {0, -1, 1},
    {0, 0, 0},
    {-1, -2, 0},
    {-2, -3, -1},
}};

// Counters by their medium code.
constexpr StxCounterMedium kWater{"l", "volume"};
constexpr StxCounterMedium kHeat{"kWh", "energy"};
constexpr StxCounterMedium kOther{"", "volume"};
constexpr std::array<StxCounterMedium, 16> kCounterMedia{
    kWater, kWater, kHeat,  kWater, kHeat,  kWater, kWater, kWater,
    kOther, kOther, kOther, kOther, kOther, kOther, kOther, {"MJ", "energy"},
};

constexpr int kTemperatureDecimals = 3;
constexpr std::uint64_t kThousandthsPerTemperatureStep = 5;

int Q(const StxMeterDescription& meter) {
    return meter.SXREG09 & 0x07;
}

int Code(int code) {
    return code & 0x0F;
}

int RangeShifted(const std::array<RangeDecimals, 8>& table, const StxMeterDescription& meter,
                 bool flowFlag) {
    const RangeDecimals& row = table[static_cast<std::size_t>(Q(meter))];
    if (!meter.rangeFlag) {
        return row.normal;
    }
    return flowFlag ? row.rangeFlow : row.rangeNoFlow;
}

} // namespace

std::string StxDecimalText(std::uint64_t value, int decimals) {
    std::string text = std::to_string(value);
    if (decimals > 0) {
        const auto d = static_cast<std::size_t>(decimals);
        if (text.size() < d + 1) {
            text.insert(0, d + 1 - text.size(), '0');
        }
        text.insert(text.size() - d, 1, '.');
    } else if (decimals < 0) {
        text.append(static_cast<std::size_t>(-decimals), '0');
    }
    return text;
}

StxValue SXEnergy(std::uint32_t raw, const StxMeterDescription& meter) {
    return {StxDecimalText(raw, kEnergyDecimals[static_cast<std::size_t>(Q(meter))]),
            meter.mjFlag ? "MJ" : "kWh"};
}

StxValue SXVolume(std::uint32_t raw, int code) {
    return {StxDecimalText(raw, kVolumeDecimals[static_cast<std::size_t>(Code(code))]), "l"};
}

StxValue SXCounter(std::uint32_t raw, int code) {
    const std::uint64_t scaled = Code(code) < kStepCodes ? std::uint64_t{raw} * kCounterStep : raw;
    return {StxDecimalText(scaled, kCounterDecimals[static_cast<std::size_t>(Code(code))]), "l"};
}

StxValue SXFlow(std::uint32_t raw, const StxMeterDescription& meter, bool flowFlag) {
    return {StxDecimalText(raw, RangeShifted(kFlowDecimals, meter, flowFlag)), "l/h"};
}

StxValue SXPower(std::uint32_t raw, const StxMeterDescription& meter, bool flowFlag) {
    return {StxDecimalText(raw, RangeShifted(kPowerDecimals, meter, flowFlag)), "kW"};
}

StxValue StxTemperature(std::uint16_t raw) {
    return {StxDecimalText(raw * kThousandthsPerTemperatureStep, kTemperatureDecimals), "°C"};
}

StxCounterMedium StxCounterMediumOf(int code) {
    return kCounterMedia[static_cast<std::size_t>(Code(code))];
}

} // namespace quorven
