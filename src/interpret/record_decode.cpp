// SPDX-License-Identifier: GPL-3.0-or-later
// One data record: fillers and special DIFs, DIF and DIFEs, the dispatch of
// the value information, and the hand-over to the data-field rules.
#include "interpret/hex.h"
#include "interpret/interpreter.h"
#include "interpret/record_decoder.h"
#include "interpret/vif_tables.h"

#include <array>
#include <string_view>

namespace quorven {

namespace {

constexpr std::array<std::string_view, 4> kFunctionTexts{"instant.", "maximum", "minimum", "error"};

constexpr std::uint8_t kManufacturerData = 0x0F;
constexpr std::uint8_t kManufacturerDataMore = 0x1F;
constexpr std::uint8_t kPlainTextVif = 0x7C;
constexpr std::uint8_t kManufacturerVif = 0x7F;
constexpr std::uint8_t kFirstExtensionVif = 0xFB;
constexpr std::uint8_t kSecondExtensionVif = 0xFD;
constexpr std::size_t kMaxDifeStep = 11;         // at most ten DIFEs
constexpr std::size_t kCursorLimit = 11;         // the value information ends at VIF + 10
constexpr std::size_t kLastRegularPosition = 84; // of the special layout

// 2Fh, 3Fh, ..., 7Fh: idle fillers between records.
bool IsFiller(std::uint8_t byte) {
    return (byte & 0x0F) == 0x0F && byte >= 0x2F && byte <= 0x7F;
}

void Reset(RecordWork& work) {
    work.fieldCode = 0;
    work.exponent = 0;
    work.kind = ValueKind::Number;
    work.cursor = 0;
    work.current = 0;
    work.suppress = false;
    work.end = false;
    work.more = false;
    if (work.texts()) {
        DecodedRecord& out = *work.out;
        out.StorageNumber = 0;
        out.Tariff = 0;
        out.Subunit = 0;
        out.Description.clear();
        out.Value.clear();
        out.UnitText.clear();
        out.FunctionText.clear();
    }
}

// DIF and DIFEs from p; returns the offset of the VIF from p.
std::size_t ReadDataInformation(const Interpreter& telegram, std::size_t p, RecordWork& work) {
    const std::uint8_t dif = telegram.Telegram(p);
    work.fieldCode = dif & 0x0F;
    std::uint32_t storage = (dif >> 6) & 0x01;
    unsigned tariff = 0;
    unsigned subunit = 0;
    std::size_t i = 1;
    if ((dif & 0x80) != 0) {
        for (;;) {
            const std::uint8_t dife = telegram.Telegram(p + i);
            if (i <= 4) {
                subunit |= ((dife >> 6) & 1u) << (i - 1);
                tariff |= ((dife >> 5) & 1u) << (2 * i - 1);
                tariff |= ((dife >> 4) & 1u) << (2 * i - 2);
                storage |= std::uint32_t{dife & 0x0Fu} << (4 * (i - 1) + 1);
            }
            ++i;
            if ((dife & 0x80) == 0 || i == kMaxDifeStep) {
                break;
            }
        }
    }
    if (work.texts()) {
        DecodedRecord& out = *work.out;
        out.FunctionText.assign(kFunctionTexts[(dif >> 4) & 0x03]);
        out.StorageNumber = static_cast<std::uint16_t>(storage); // storage bit 16 is dropped
        out.Tariff = static_cast<std::uint16_t>(tariff);
        out.Subunit = static_cast<std::uint16_t>(subunit);
    }
    return i;
}

// The unit text given in the telegram, last byte first.
void ReadPlainTextUnit(const Interpreter& telegram, std::size_t q, RecordWork& work) {
    const std::size_t n = telegram.Telegram(q + 1);
    if (work.texts()) {
        for (std::size_t j = n; j >= 1; --j) {
            AppendByteCharacter(work.out->UnitText, telegram.Telegram(q + 1 + j));
        }
    }
    work.cursor = n + 2;
}

// A manufacturer-specific VIF; for FFh the following bytes are shown while
// the byte before has its extension bit set.
void ReadManufacturerVif(const Interpreter& telegram, std::size_t q, RecordWork& work) {
    if (work.texts()) {
        work.out->Description.assign("man. specific");
    }
    work.cursor = 1;
    std::uint8_t last = telegram.Telegram(q);
    if ((last & 0x80) == 0) {
        return;
    }
    if (work.texts()) {
        work.out->Description.append(" $");
    }
    while ((last & 0x80) != 0 && work.cursor < kCursorLimit) {
        last = telegram.Telegram(q + work.cursor);
        if (work.texts()) {
            AppendHexByte(work.out->Description, last);
        }
        ++work.cursor;
    }
}

void ReadCombinableVifes(const Interpreter& telegram, std::size_t q, RecordWork& work) {
    while ((work.current & 0x80) != 0 && work.cursor < kCursorLimit) {
        work.current = telegram.Telegram(q + work.cursor);
        if (!work.suppress) {
            ApplyCombinableVife(telegram, q, work);
        }
        ++work.cursor;
    }
}

} // namespace

void DecodeRecord(const RecordContext& context, std::size_t& p, RecordWork& work) {
    Reset(work);
    const Interpreter& telegram = context.telegram;
    const std::size_t checksum = context.checksumPosition;
    if (p >= checksum) {
        work.end = true;
        if (p == checksum) {
            ++p;
        }
        return;
    }
    while (IsFiller(telegram.Telegram(p)) && p < checksum - 1) {
        ++p;
    }
    const std::uint8_t first = telegram.Telegram(p);
    if (IsFiller(first)) {
        work.end = true;
        return;
    }
    if (first == kManufacturerData || first == kManufacturerDataMore) {
        work.end = true;
        work.more = first == kManufacturerDataMore;
        return;
    }
    if (context.specialLayout && p > kLastRegularPosition) {
        // The special layout's regular records end before byte 85; what lies
        // beyond is read at the fixed positions.
        if (context.walking) {
            work.end = true;
        } else {
            DecodeFixedPosition(context, p, work);
        }
        return;
    }

    const std::size_t dif = p;
    const std::size_t q = dif + ReadDataInformation(telegram, dif, work);
    const std::uint8_t vif = telegram.Telegram(q);
    work.current = vif;
    bool readVifes = true;
    if ((vif & 0x7F) == kPlainTextVif) {
        ReadPlainTextUnit(telegram, q, work);
    } else if ((vif & 0x7F) == kManufacturerVif) {
        ReadManufacturerVif(telegram, q, work);
        readVifes = false;
    } else if (vif == kFirstExtensionVif || vif == kSecondExtensionVif) {
        work.cursor = 2;
        work.current = telegram.Telegram(q + 1);
        if (vif == kFirstExtensionVif) {
            ApplyFirstExtension(work.current, work);
        } else {
            ApplySecondExtension(work.current, work);
        }
    } else {
        work.cursor = 1;
        ApplyPrimaryVif(vif, work);
    }
    if (readVifes) {
        ReadCombinableVifes(telegram, q, work);
    }
    p = DecodeDataField(context, dif, q + work.cursor, work);
}

} // namespace quorven
