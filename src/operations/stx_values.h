// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace quorven {

// The variants of the STX meter family: the standard heat meter, and the
// counter variant, whose main input counts pulses of a chosen medium.
enum class StxVariant : std::uint8_t { Standard, Counter };

// What STXTest learns of an STX meter from its three identification blocks
// (00FFh, 003Fh, 017Fh). The SX names are those the trace prints.
struct StxMeterDescription {
    std::uint8_t SXVERSION = 0;    // firmware variant
    std::uint32_t energyValue = 0; // energy register, current value
    std::uint8_t SXREG00 = 0;      // variant selector
    std::uint8_t SXREG09 = 0;      // resolution of energy, volume, flow and power
    std::uint8_t SXREG10 = 0;      // resolution of auxiliary input A; 3: no input
    std::uint8_t SXREG11 = 0;      // resolution of auxiliary input B; 3: no input
    bool SXAUXUNIT = false;        // volume and auxiliary inputs as counters
    bool mjFlag = false;           // energy in MJ, not kWh
    bool storedValues = false;     // six blocks of stored values are read
    bool rangeFlag = false;        // shifts the resolution of flow and power
    std::uint8_t SXREG18 = 0;      // variant selector
    std::uint8_t SXMEDIA1 = 0;     // medium code of the main input as a counter
    std::uint8_t SXFACT1 = 0;      // resolution code of the main input as a counter
    std::uint16_t SXWFACT = 0;     // printed only
    StxVariant variant = StxVariant::Standard;
};

// A register value as the data table shows it: decimal digits with an
// optional decimal point, and its unit (UTF-8).
struct StxValue {
    std::string text;
    std::string unit;
};

// The raw value with d decimals: d > 0 puts a point before the last d
// digits (zeros in front as needed), d < 0 appends -d zeros.
std::string StxDecimalText(std::uint64_t value, int decimals);

// The formatting of the register values by the meter's resolution codes.
StxValue SXEnergy(std::uint32_t raw, const StxMeterDescription& meter);
StxValue SXVolume(std::uint32_t raw, int code);
// Codes below 8 count in steps of 25; the unit is "l" until the caller puts
// the counter unit of the medium in its place.
StxValue SXCounter(std::uint32_t raw, int code);
// flowFlag: the top bit of the flow register pair (block 011Fh, r7).
StxValue SXFlow(std::uint32_t raw, const StxMeterDescription& meter, bool flowFlag);
StxValue SXPower(std::uint32_t raw, const StxMeterDescription& meter, bool flowFlag);
// A temperature register: steps of 0.005 °C, three decimals.
StxValue StxTemperature(std::uint16_t raw);

// What a counter counts, by its medium code 0-15: its unit and the
// description of its row.
struct StxCounterMedium {
    const char* unit;
    const char* description;
};
StxCounterMedium StxCounterMediumOf(int code);

} // namespace quorven
