// SPDX-License-Identifier: GPL-3.0-or-later
// The primary VIF table and the FBh and FDh extension tables, as rows.
#include "interpret/vif_tables.h"

#include "interpret/unit_texts.h"
#include "interpret/vif_rows.h"

#include <array>
#include <charconv>

namespace quorven {

namespace {

using U = UnitRule;
using K = KindRule;

struct PrefixRow {
    int lowest;
    int highest;
    std::string_view prefix;
    int shift; // added to the exponent to give the remainder
};

constexpr auto kPrefixes = std::to_array<PrefixRow>({
    {-14, -12, "p", 12},
    {-11, -9, "n", 9},
    {-8, -6, "µ", 6},
    {-5, -3, "m", 3},
    {-2, 0, "", 0},
    {1, 3, "k", -3},
    {4, 6, "M", -6},
    {7, 9, "G", -9},
});

constexpr int kLowestPrefixExponent = -14;
constexpr int kHighestPrefixExponent = 9;

// The prefix row of every exponent from -14 to 9.
constexpr auto BuildPrefixIndex() {
    std::array<std::uint8_t, kHighestPrefixExponent - kLowestPrefixExponent + 1> index{};
    for (std::size_t r = 0; r < kPrefixes.size(); ++r) {
        for (int e = kPrefixes[r].lowest; e <= kPrefixes[r].highest; ++e) {
            index[static_cast<std::size_t>(e - kLowestPrefixExponent)] =
                static_cast<std::uint8_t>(r);
        }
    }
    return index;
}

constexpr auto kPrefixIndex = BuildPrefixIndex();

constexpr auto kPrimaryRows = std::to_array<VifRow>({
    {0x00, 0x07, "energy", U::Prefixed, "Wh", -3},
    {0x08, 0x0F, "energy", U::Prefixed, "J", 0},
    {0x10, 0x17, "volume", U::Volume, "", -6},
    {0x18, 0x1F, "mass", U::PowerOfTen, " Kg", -3},
    {0x20, 0x23, "on time", U::TimeUnit},
    {0x24, 0x27, "operating time", U::TimeUnit},
    {0x28, 0x2F, "power", U::Prefixed, "W", -3},
    {0x30, 0x37, "power", U::Prefixed, "J/h", 0},
    {0x38, 0x3F, "volume flow", U::Volume, "/h", -6},
    {0x40, 0x47, "volume flow", U::Volume, "/min", -7},
    {0x48, 0x4F, "volume flow", U::Volume, "/s", -9},
    {0x50, 0x57, "mass flow", U::PowerOfTen, "Kg/h", -3},
    {0x58, 0x5B, "flow temperature", U::Prefixed, "°C", -3},
    {0x5C, 0x5F, "return temperature", U::Prefixed, "°C", -3},
    {0x60, 0x63, "temperature difference", U::Prefixed, "K", -3},
    {0x64, 0x67, "external temperature", U::Prefixed, "°C", -3},
    {0x68, 0x6B, "pressure", U::Prefixed, "bar", -3},
    {0x6C, 0x6C, "time point", U::None, "", 0, K::DateIfTimeField},
    {0x6D, 0x6D, "time point", U::None, "", 0, K::DateTimeIfTimeField},
    {0x6E, 0x6E, "HCA-Unit", U::Fixed, "HCA"},
    {0x6F, 0x6F, "reserved"},
    {0x70, 0x73, "averaging duration", U::TimeUnit},
    {0x74, 0x77, "actuality duration", U::TimeUnit},
    {0x78, 0x78, "fabrication #"},
    {0x79, 0x79, "identification #"},
    {0x7A, 0x7A, "bus address"},
    {0x7E, 0x7E, "any VIF"},
    {0x7B, 0x7B, ""},
    {0x7D, 0x7D, ""},
    // Fallback, naming no code: the plain-text and manufacturer codes never get here.
    {0xFF, 0x00, ""},
});

constexpr auto kFirstExtensionRows = std::to_array<VifRow>({
    {0x00, 0x01, "energy", U::Fixed, "MWh", -1},
    {0x02, 0x03, "reactive energy", U::Fixed, "kVARh", 0},
    {0x08, 0x09, "energy", U::Fixed, "GJ", -1},
    {0x10, 0x11, "volume", U::Fixed, "k(m3)", -1},
    {0x18, 0x19, "mass", U::Fixed, "kt", -1},
    {0x21, 0x21, "volume", U::Fixed, "ft^3", -1},
    {0x22, 0x23, "volume", U::Fixed, "USgal.", -1},
    {0x24, 0x24, "volume flow", U::Fixed, "USgal./min", -3},
    {0x25, 0x25, "volume flow", U::Fixed, "USgal./min", 0},
    {0x26, 0x26, "volume flow", U::Fixed, "USgal./h", 0},
    {0x28, 0x29, "power", U::Fixed, "MW", -1},
    {0x30, 0x31, "power", U::Fixed, "GJ/h", -1},
    {0x58, 0x5B, "flow temperature", U::Prefixed, "°F", -3},
    {0x5C, 0x5F, "return temperature", U::Prefixed, "°F", -3},
    {0x60, 0x63, "temperature difference", U::Prefixed, "°F", -3},
    {0x64, 0x67, "external temperature", U::Prefixed, "°F", -3},
    {0x70, 0x73, "temperature limit", U::Prefixed, "°F", -3},
    {0x74, 0x77, "temperature limit", U::Prefixed, "°C", -3},
    {0x78, 0x7F, "cumul. count max power", U::Prefixed, "W", -3},
    {0xFF, 0x00, "reserved"}, // fallback, naming no code: every code not named above
});

constexpr auto kSecondExtensionRows = std::to_array<VifRow>({
    {0x00, 0x03, "Credit", U::Fixed, "Euro", -3},
    {0x04, 0x07, "Debit", U::Fixed, "Euro", -3},
    {0x08, 0x08, "access number"},
    {0x09, 0x09, "device type"},
    {0x0A, 0x0A, "manufacturer"},
    {0x0B, 0x0B, "parameter set id."},
    {0x0C, 0x0C, "model or version"},
    {0x0D, 0x0D, "hardware version #"},
    {0x0E, 0x0E, "firmware version #"},
    {0x0F, 0x0F, "software version #"},
    {0x10, 0x10, "customer location"},
    {0x11, 0x11, "customer"},
    {0x12, 0x12, "access code user"},
    {0x13, 0x13, "access code operator"},
    {0x14, 0x14, "access code system operator"},
    {0x15, 0x15, "access code developer"},
    {0x16, 0x16, "password"},
    {0x17, 0x17, "error flags", U::None, "", 0, K::Hexadecimal},
    {0x18, 0x18, "error mask", U::None, "", 0, K::Hexadecimal},
    {0x1A, 0x1A, "digital output", U::None, "", 0, K::Hexadecimal},
    {0x1B, 0x1B, "digital input", U::None, "", 0, K::Hexadecimal},
    {0x1C, 0x1C, "baudrate"},
    {0x1D, 0x1D, "response delay time", U::Fixed, "bittimes"},
    {0x1E, 0x1E, "retry"},
    {0x1F, 0x1F, "remote control"},
    {0x20, 0x20, "first storage # for cyclic storage"},
    {0x21, 0x21, "last storage # for cyclic storage"},
    {0x22, 0x22, "size of storage block"},
    {0x24, 0x27, "storage interval", U::TimeUnit},
    {0x28, 0x28, "storage interval", U::Fixed, "months"},
    {0x29, 0x29, "storage interval", U::Fixed, "years"},
    {0x2B, 0x2B, "time point second", U::Fixed, "seconds"},
    {0x2C, 0x2F, "duration since last readout", U::TimeUnit},
    {0x30, 0x30, "start of tariff", U::None, "", 0, K::ByDataField},
    {0x31, 0x33, "duration of tariff", U::TimeUnit},
    {0x34, 0x37, "period of tariff", U::TimeUnit},
    {0x38, 0x38, "period of tariff", U::Fixed, "months"},
    {0x39, 0x39, "period of tariff", U::Fixed, "years"},
    {0x3A, 0x3A, "dimensionless"},
    {0x40, 0x4F, "voltage", U::Prefixed, "V", -9},
    {0x50, 0x5F, "current", U::Prefixed, "A", -12},
    {0x60, 0x60, "reset counter"},
    {0x61, 0x61, "cumulation counter"},
    {0x62, 0x62, "control signal"},
    {0x63, 0x63, "day of week"},
    {0x64, 0x64, "week number"},
    {0x65, 0x65, "time point of day change"},
    {0x66, 0x66, "state of parameter activation"},
    {0x67, 0x67, "special supplier information"},
    {0x68, 0x6B, "duration since last cumulation", U::LongTimeUnit},
    {0x6C, 0x6F, "operating time battery", U::LongTimeUnit},
    {0x70, 0x70, "date and time of battery change", U::None, "", 0, K::DateTime},
    {0x71, 0x71, "RF level units (RSSI)", U::Fixed, "dBm"},
    {0x74, 0x74, "remaining battery life time", U::Fixed, "days"},
    {0x75, 0x75, "#times the meter was stopped"},
    // Every code not named above: 19h, 23h, 2Ah, 3Bh-3Fh, 72h, 73h, 76h-7Fh.
    {0x19, 0x19, "reserved"},
    {0x23, 0x23, "reserved"},
    {0x2A, 0x2A, "reserved"},
    {0x3B, 0x3F, "reserved"},
    {0x72, 0x73, "reserved"},
    {0x76, 0x7F, "reserved"},
    {0xFF, 0x00, "reserved"}, // fallback, naming no code
});

constexpr RowIndex kPrimaryIndex = BuildRowIndex(kPrimaryRows, kPrimaryRows.size() - 1);
constexpr RowIndex kFirstExtensionIndex =
    BuildRowIndex(kFirstExtensionRows, kFirstExtensionRows.size() - 1);
constexpr RowIndex kSecondExtensionIndex =
    BuildRowIndex(kSecondExtensionRows, kSecondExtensionRows.size() - 1);

constexpr bool IsTimeField(unsigned fieldCode) {
    return fieldCode == 2 || fieldCode == 3 || fieldCode == 4 || fieldCode == 6 ||
           fieldCode == 0x0E;
}

constexpr ValueKind KindOf(KindRule rule, unsigned fieldCode) {
    switch (rule) {
    case K::Hexadecimal:
        return ValueKind::Hexadecimal;
    case K::DateTime:
        return ValueKind::DateTime;
    case K::ByDataField:
        return fieldCode == 2 ? ValueKind::Date : ValueKind::DateTime;
    case K::DateIfTimeField:
        return IsTimeField(fieldCode) ? ValueKind::Date : ValueKind::Number;
    case K::DateTimeIfTimeField:
        return IsTimeField(fieldCode) ? ValueKind::DateTime : ValueKind::Number;
    case K::Number:
        break;
    }
    return ValueKind::Number;
}

// The value kind of every rule and data field code, looked up while decoding.
constexpr auto BuildKindTable() {
    constexpr std::size_t kRules = 6;
    std::array<std::array<ValueKind, 16>, kRules> table{};
    for (std::size_t rule = 0; rule < kRules; ++rule) {
        for (unsigned code = 0; code < 16; ++code) {
            table[rule][code] = KindOf(static_cast<KindRule>(rule), code);
        }
    }
    return table;
}

constexpr auto kKinds = BuildKindTable();

void AppendInteger(std::string& text, int value) {
    std::array<char, 12> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    text.append(buffer.data(), result.ptr);
}

void ApplyVifTable(const VifRow* rows, const RowIndex& index, std::uint8_t code, RecordWork& work) {
    ApplyVifRow(rows[index[code & 0x7F]], static_cast<std::uint8_t>(code & 0x7F), work);
}

} // namespace

PrefixSplit SIPrefix(int exponent) {
    if (exponent < kLowestPrefixExponent || exponent > kHighestPrefixExponent) {
        return {"", exponent};
    }
    const PrefixRow& row = kPrefixes[kPrefixIndex[exponent - kLowestPrefixExponent]];
    return {row.prefix, exponent + row.shift};
}

void ApplyVifRow(const VifRow& row, std::uint8_t code, RecordWork& work) {
    work.kind = kKinds[static_cast<std::size_t>(row.kind)][work.fieldCode & 0x0F];
    work.exponent = 0;
    if (!work.texts()) {
        return;
    }
    DecodedRecord& out = *work.out;
    out.Description.assign(row.description);
    out.UnitText.clear();
    const int n = code - row.first;
    switch (row.unit) {
    case U::None:
        break;
    case U::Fixed:
        out.UnitText.assign(row.unitText);
        work.exponent = row.offset + n;
        break;
    case U::Prefixed: {
        const PrefixSplit split = SIPrefix(n + row.offset);
        out.UnitText.assign(split.prefix).append(row.unitText);
        work.exponent = split.remainder;
        break;
    }
    case U::Volume: {
        const PrefixSplit split = SIPrefix(n + row.offset);
        if (split.prefix == "m") {
            out.UnitText.assign("l");
        } else if (split.prefix == "µ") {
            out.UnitText.assign("ml");
        } else {
            out.UnitText.assign(split.prefix).append("m^3");
        }
        out.UnitText.append(row.unitText);
        work.exponent = split.remainder;
        break;
    }
    case U::PowerOfTen:
        out.UnitText.assign("*10^");
        AppendInteger(out.UnitText, n + row.offset);
        out.UnitText.append(row.unitText);
        break;
    case U::TimeUnit:
        out.UnitText.assign(kTimeUnits[code & 0x03]);
        break;
    case U::LongTimeUnit:
        out.UnitText.assign(kLongTimeUnits[code & 0x03]);
        break;
    }
}

void ApplyPrimaryVif(std::uint8_t code, RecordWork& work) {
    ApplyVifTable(kPrimaryRows.data(), kPrimaryIndex, code, work);
}

void ApplyFirstExtension(std::uint8_t code, RecordWork& work) {
    ApplyVifTable(kFirstExtensionRows.data(), kFirstExtensionIndex, code, work);
}

void ApplySecondExtension(std::uint8_t code, RecordWork& work) {
    ApplyVifTable(kSecondExtensionRows.data(), kSecondExtensionIndex, code, work);
}

} // namespace quorven
