// SPDX-License-Identifier: GPL-3.0-or-later
// The combinable VIFE table: each VIFE adds to what the VIF produced.
#include "interpret/hex.h"
#include "interpret/interpreter.h"
#include "interpret/unit_texts.h"
#include "interpret/vif_tables.h"

#include <array>

namespace quorven {

namespace {

enum class TextOp : std::uint8_t { Keep, Append, Replace, Prepend };
enum class UnitOp : std::uint8_t { Keep, Append, Empty, TimeUnit, Prepend };
enum class KindOp : std::uint8_t { Keep, Number, ByDataField };

struct VifeRow {
    std::uint8_t first;
    std::uint8_t last;
    TextOp textOp = TextOp::Keep;
    std::string_view text = {};
    UnitOp unitOp = UnitOp::Keep;
    std::string_view unit = {};
    KindOp kind = KindOp::Keep;
    bool addsExponent = false; // DecimalExponent += (code - first) + exponentOffset
    std::int8_t exponentOffset = 0;
    bool manufacturerSpecific = false;
};

using T = TextOp;
using U = UnitOp;
using K = KindOp;

constexpr VifeRow Per(std::uint8_t code, std::string_view text, std::string_view unit) {
    return {code, code, T::Append, text, U::Append, unit};
}

constexpr VifeRow Add(std::uint8_t code, std::string_view text) {
    return {code, code, T::Append, text};
}

// A limit-exceed time point: the unit goes, the value is a date or a date and time.
constexpr VifeRow TimePoint(std::uint8_t code, std::string_view text) {
    return {code, code, T::Append, text, U::Empty, {}, K::ByDataField};
}

// A duration: the unit is the time unit of the two low bits, the value a number.
constexpr VifeRow Duration(std::uint8_t first, std::string_view text) {
    return {first,    static_cast<std::uint8_t>(first + 3), T::Append, text, U::TimeUnit, {},
            K::Number};
}

constexpr auto kVifeRows = std::to_array<VifeRow>({
    Add(0x1C, " standard conform data content"),
    Add(0x1E, " compact profile with registers"),
    Add(0x1F, " compact profile without registers"),
    Per(0x20, " per second", "/sec"),
    Per(0x21, " per min", "/min"),
    Per(0x22, " per hour", "/hour"),
    Per(0x23, " per day", "/day"),
    Per(0x24, " per week", "/week"),
    Per(0x25, " per month", "/month"),
    Per(0x26, " per year", "/year"),
    Per(0x27, " per revolution / measurement", "/rev."),
    {0x28, 0x28, T::Replace, "increment per input pulse on channel 0"},
    {0x29, 0x29, T::Replace, "increment per input pulse on channel 1"},
    {0x2A, 0x2A, T::Replace, "increment per output pulse on channel 0"},
    {0x2B, 0x2B, T::Replace, "increment per output pulse on channel 1"},
    Per(0x2C, " per liter", "/l"),
    Per(0x2D, " per m^3", "/m^3"),
    Per(0x2E, " per kg", "/kg"),
    Per(0x2F, " per kelvin", "/K"),
    Per(0x30, " per kWh", "/kWh"),
    Per(0x31, " per GJ", "/GJ"),
    Per(0x32, " per kW", "/kW"),
    Per(0x33, " per (K*l)", "/(K*l)"),
    Per(0x34, " per V", "/V"),
    Per(0x35, " per A", "/A"),
    Per(0x36, " * sec", "*s"),
    Per(0x37, " * sec/V", "*s/V"),
    Per(0x38, " sec/A", "*s/A"),
    {0x39, 0x39, T::Prepend, " start timepoint of ", U::Empty, {}, K::ByDataField},
    Add(0x3A, " uncorrected"),
    Add(0x3B, " accumulation positiv"),
    Add(0x3C, " accumulation negativ"),
    Add(0x40, " lower limit"),
    {0x41, 0x41, T::Append, " # of exceeds of lower limit", U::Empty},
    TimePoint(0x42, " begin of first lower limit exceed"),
    TimePoint(0x43, " end of first lower limit exceed"),
    TimePoint(0x46, " begin of last lower limit exceed"),
    TimePoint(0x47, " end of last lower limit exceed"),
    Add(0x48, " upper limit"),
    {0x49, 0x49, T::Append, " # of exceeds of upper limit", U::Empty},
    TimePoint(0x4A, " begin of first upper limit exceed"),
    TimePoint(0x4B, " end of first upper limit exceed"),
    TimePoint(0x4E, " begin of last upper limit exceed"),
    TimePoint(0x4F, " end of last upper limit exceed"),
    Duration(0x50, " first duration of lower limit exceed"),
    Duration(0x54, " last duration of lower limit exceed"),
    Duration(0x58, " first duration of upper limit exceed"),
    Duration(0x5C, " last duration of upper limit exceed"),
    Duration(0x60, " duration of first "),
    Duration(0x64, " duration of last "),
    Add(0x68, " value during lower limit exceed"),
    Add(0x69, " leakage values"),
    TimePoint(0x6A, " begin of first"),
    TimePoint(0x6B, " end of first"),
    Add(0x6C, " value during upper limit exceed"),
    Add(0x6D, " overflow values"),
    TimePoint(0x6E, " begin of last"),
    TimePoint(0x6F, " end of last"),
    {0x70, 0x77, T::Keep, {}, U::Keep, {}, K::Keep, true, -6},
    {0x78, 0x7B, T::Append, " additive correction constant", U::Keep, {}, K::Keep, true, -3},
    {0x7D, 0x7D, T::Keep, {}, U::Prepend, "10^3 "},
    Add(0x7E, " future value"),
    {0x7F, 0x7F, T::Append, " specific", U::Keep, {}, K::Keep, false, 0, true},
    // Fallback, naming no code: 00h-1Bh, 1Dh, 3Dh-3Fh, 44h, 45h, 4Ch, 4Dh, 7Ch change nothing.
    {0xFF, 0x00},
});

constexpr std::array<std::uint8_t, 128> BuildVifeIndex() {
    std::array<std::uint8_t, 128> index{};
    index.fill(static_cast<std::uint8_t>(kVifeRows.size() - 1));
    for (std::size_t r = 0; r < kVifeRows.size(); ++r) {
        for (unsigned code = kVifeRows[r].first; code <= kVifeRows[r].last; ++code) {
            index[code] = static_cast<std::uint8_t>(r);
        }
    }
    return index;
}

constexpr auto kVifeIndex = BuildVifeIndex();

ValueKind KindAfter(KindOp op, ValueKind kind, std::uint8_t fieldCode) {
    switch (op) {
    case K::Number:
        return ValueKind::Number;
    case K::ByDataField:
        return fieldCode == 2 ? ValueKind::Date : ValueKind::DateTime;
    case K::Keep:
        break;
    }
    return kind;
}

void ApplyTexts(const VifeRow& row, std::uint8_t code, DecodedRecord& out) {
    switch (row.textOp) {
    case T::Keep:
        break;
    case T::Append:
        out.Description.append(row.text);
        break;
    case T::Replace:
        out.Description.assign(row.text);
        break;
    case T::Prepend:
        out.Description.insert(0, row.text);
        break;
    }
    switch (row.unitOp) {
    case U::Keep:
        break;
    case U::Append:
        out.UnitText.append(row.unit);
        break;
    case U::Empty:
        out.UnitText.clear();
        break;
    case U::TimeUnit:
        out.UnitText.assign(kTimeUnits[code & 0x03]);
        break;
    case U::Prepend:
        out.UnitText.insert(0, row.unit);
        break;
    }
}

// FFh: the bytes that follow are shown in hexadecimal as long as the byte
// before each has its extension bit set; they count as value information.
// The cursor ends on the last byte shown, so the decoder's own step moves it
// past that byte.
void ShowManufacturerBytes(const Interpreter& telegram, std::size_t vif, RecordWork& work) {
    constexpr std::size_t kCursorLimit = 11;
    if (work.texts()) {
        work.out->Description.append(" $");
    }
    std::size_t k = work.cursor + 1;
    while ((telegram.Telegram(vif + k - 1) & 0x80) != 0 && k < kCursorLimit) {
        if (work.texts()) {
            AppendHexByte(work.out->Description, telegram.Telegram(vif + k));
        }
        ++k;
    }
    work.cursor = k - 1;
}

} // namespace

void ApplyCombinableVife(const Interpreter& telegram, std::size_t vif, RecordWork& work) {
    const std::uint8_t code = work.current & 0x7F;
    const VifeRow& row = kVifeRows[kVifeIndex[code]];
    work.kind = KindAfter(row.kind, work.kind, work.fieldCode);
    if (row.addsExponent) {
        work.exponent += (code - row.first) + row.exponentOffset;
    }
    if (work.texts()) {
        ApplyTexts(row, code, *work.out);
    }
    if (row.manufacturerSpecific) {
        work.suppress = true;
        if ((work.current & 0x80) != 0) {
            ShowManufacturerBytes(telegram, vif, work);
        }
        work.current &= 0x7F; // ends the VIFE sequence
    }
}

} // namespace quorven
