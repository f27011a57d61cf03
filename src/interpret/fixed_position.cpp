// SPDX-License-Identifier: GPL-3.0-or-later
// The special layout of one meter family: three values at fixed positions
// inside the manufacturer-specific data, each eight BCD digits.
#include "interpret/hex.h"
#include "interpret/interpreter.h"
#include "interpret/number_format.h"
#include "interpret/record_decoder.h"
#include "interpret/vif_tables.h"

#include <array>
#include <string_view>

namespace quorven {

namespace {

enum class PointRule : std::uint8_t {
    None,          // no decimal point
    FormatByte,    // the point from a format byte
    FirstRecordVif // the exponent of the telegram's first VIF (byte 21)
};

struct FixedPositionRow {
    std::size_t position;
    std::string_view description;
    PointRule point;
    std::size_t formatByte;
    bool unitByFormat;  // "m^3" up to format 64, "kWh" above
    bool formats80To88; // format bytes 80-88 also mean no point
};

constexpr auto kFixedPositions = std::to_array<FixedPositionRow>({
    {115, "input a", PointRule::FormatByte, 128, false, false},
    {119, "input b", PointRule::FormatByte, 127, true, true},
    {143, "cooling energy", PointRule::FirstRecordVif, 0, false, false},
});

constexpr std::size_t kDigits = 8;
constexpr std::size_t kFirstRecordVif = 21;

void ApplyFormatByte(const FixedPositionRow& row, std::uint8_t format, DecodedRecord& out) {
    if (format >= 1 && format <= 7) {
        out.Value.insert(kDigits - 1, 1, '.');
    } else if (format >= 36 && format <= 39) {
        out.Value.insert(kDigits - 2, 1, '.');
    } else if (format == 64 || (row.formats80To88 && format >= 80 && format <= 88)) {
        // whole number
    } else {
        out.UnitText.assign("err");
    }
}

} // namespace

void DecodeFixedPosition(const RecordContext& context, std::size_t p, RecordWork& work) {
    if (!work.texts()) {
        return;
    }
    const Interpreter& t = context.telegram;
    DecodedRecord& out = *work.out;
    for (std::size_t j = 4; j >= 1; --j) {
        AppendHexByte(out.Value, t.Telegram(p + j - 1));
    }
    out.FunctionText.assign("instant.");
    for (const FixedPositionRow& row : kFixedPositions) {
        if (row.position != p) {
            continue;
        }
        switch (row.point) {
        case PointRule::FormatByte: {
            const std::uint8_t format = t.Telegram(row.formatByte);
            out.UnitText.assign(row.unitByFormat && format > 64 ? "kWh" : "m^3");
            ApplyFormatByte(row, format, out);
            break;
        }
        case PointRule::FirstRecordVif:
            ApplyPrimaryVif(t.Telegram(kFirstRecordVif), work);
            FormatDigits(out.Value, out.UnitText, work.exponent, false);
            break;
        case PointRule::None:
            break;
        }
        out.Description.assign(row.description);
    }
}

} // namespace quorven
