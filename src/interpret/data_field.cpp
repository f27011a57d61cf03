// SPDX-License-Identifier: GPL-3.0-or-later
// The data field of a record: every data field coding turned into the value
// text, tried in a fixed order (dates, date and time, no data, variable
// length, BCD, hexadecimal, binary numbers).
#include "interpret/hex.h"
#include "interpret/interpreter.h"
#include "interpret/number_format.h"
#include "interpret/record_decoder.h"

#include <array>
#include <bit>
#include <cmath>

namespace quorven {

namespace {

// Bytes of the data field by its code 0-0Eh (0Dh: variable, by its LVAR).
constexpr std::array<std::uint8_t, 15> kFieldLength{0, 1, 2, 3, 4, 4, 6, 8, 0, 1, 2, 3, 4, 0, 6};

constexpr std::uint8_t kVariableLength = 0x0D;
constexpr std::uint8_t kUnknownLength = 0x0F;
constexpr std::uint8_t kLastTextLvar = 0xBF;
constexpr std::uint8_t kLastPositiveBcdLvar = 0xCF;
constexpr std::uint8_t kLastNegativeBcdLvar = 0xDF;
constexpr std::uint8_t kLastShortBinaryLvar = 0xEF;
constexpr std::uint8_t kLastLongBinaryLvar = 0xF7;
constexpr std::uint8_t kDoubleLvar = 0xF8;

// The bytes of an n-byte field in value order: most significant first.
struct Field {
    const Interpreter& telegram;
    std::size_t start;
    std::size_t size;
    bool highByteFirst;

    std::uint8_t operator[](std::size_t j) const {
        return telegram.Telegram(highByteFirst ? start + j : start + size - 1 - j);
    }

    std::uint64_t Unsigned() const {
        std::uint64_t value = 0;
        for (std::size_t j = 0; j < size; ++j) {
            value = (value << 8) | (*this)[j];
        }
        return value;
    }

    std::int64_t Signed() const {
        std::uint64_t value = Unsigned();
        const unsigned bits = static_cast<unsigned>(size * 8);
        if (bits < 64 && bits > 0 && ((value >> (bits - 1)) & 1u) != 0) {
            value |= ~std::uint64_t{0} << bits;
        }
        return static_cast<std::int64_t>(value);
    }

    void AppendHex(std::string& text) const {
        constexpr char kDigits[] = "0123456789ABCDEF";
        std::array<char, 16> digits{}; // the widest fixed field: 8 bytes
        std::size_t j = 0;
        while (j < size) {
            std::size_t n = 0;
            for (; n < digits.size() && j < size; n += 2, ++j) {
                const std::uint8_t byte = (*this)[j];
                digits[n] = kDigits[byte >> 4];
                digits[n + 1] = kDigits[byte & 0x0F];
            }
            text.append(digits.data(), n);
        }
    }
};

// Two digits at least, leading zeros.
void AppendNumber2(std::string& text, unsigned value) {
    if (value >= 100) {
        text += std::to_string(value);
        return;
    }
    text += static_cast<char>('0' + value / 10);
    text += static_cast<char>('0' + value % 10);
}

// Right-aligned in two places, a blank before values below 10.
void AppendBlankPadded2(std::string& text, unsigned value) {
    text += value < 10 ? ' ' : static_cast<char>('0' + value / 10);
    text += static_cast<char>('0' + value % 10);
}

// Type G: day, month and a year of 0-127 from two bytes.
void AppendDate(std::string& text, std::uint8_t b0, std::uint8_t b1) {
    const unsigned year = ((b1 & 0xF0u) >> 1) + ((b0 & 0xE0u) >> 5);
    AppendNumber2(text, b0 & 0x1Fu);
    text += '.';
    AppendNumber2(text, b1 & 0x0Fu);
    text += '.';
    AppendNumber2(text, year);
}

void DecodeDate(const RecordContext& context, std::size_t d, std::string& value) {
    const Interpreter& t = context.telegram;
    const std::uint8_t b0 = context.highByteFirst ? t.Telegram(d + 1) : t.Telegram(d);
    const std::uint8_t b1 = context.highByteFirst ? t.Telegram(d) : t.Telegram(d + 1);
    AppendDate(value, b0, b1);
}

// Type F: date and time to the minute.
void DecodeDateTimeF(const RecordContext& context, std::size_t d, std::string& value) {
    const Interpreter& t = context.telegram;
    const bool hbf = context.highByteFirst;
    const std::uint8_t minute = t.Telegram(hbf ? d + 3 : d);
    const std::uint8_t hour = t.Telegram(hbf ? d + 2 : d + 1);
    const std::uint8_t b0 = t.Telegram(hbf ? d + 1 : d + 2);
    const std::uint8_t b1 = t.Telegram(hbf ? d : d + 3);
    AppendDate(value, b0, b1);
    value += ' ';
    AppendNumber2(value, hour & 0x1Fu);
    value += ':';
    AppendNumber2(value, minute & 0x3Fu);
    value.append((hour & 0x80) != 0 ? " Sum" : " Win");
    value.append((minute & 0x80) == 0 ? "  V" : " IV");
}

// Type I: date and time to the second.
void DecodeDateTimeI(const Interpreter& t, std::size_t d, std::string& value) {
    const std::uint8_t second = t.Telegram(d);
    const std::uint8_t minute = t.Telegram(d + 1);
    AppendDate(value, t.Telegram(d + 3), t.Telegram(d + 4));
    value += ' ';
    AppendNumber2(value, t.Telegram(d + 2) & 0x1Fu);
    value += ':';
    AppendNumber2(value, minute & 0x3Fu);
    value += ':';
    AppendNumber2(value, second & 0x3Fu);
    value.append((second & 0x40) != 0 ? " Sum" : " Win");
    value.append((minute & 0x80) == 0 ? "  V" : " IV");
}

void DecodeTimeOfDay(const Interpreter& t, std::size_t d, std::string& value) {
    AppendBlankPadded2(value, t.Telegram(d + 2) & 0x1Fu);
    value += ':';
    AppendBlankPadded2(value, t.Telegram(d + 1) & 0x3Fu);
    value += ':';
    AppendBlankPadded2(value, t.Telegram(d) & 0x3Fu);
}

// Bytes of a variable-length field after its LVAR, or -1 when the LVAR gives
// no length.
int VariableSize(std::uint8_t lvar) {
    if (lvar <= kLastTextLvar) {
        return lvar;
    }
    if (lvar <= kLastNegativeBcdLvar) {
        return lvar & 0x0F;
    }
    if (lvar <= kLastShortBinaryLvar) {
        return lvar - 0xE0;
    }
    if (lvar <= kLastLongBinaryLvar) {
        return 4 * (lvar - 0xEC);
    }
    if (lvar == kDoubleLvar) {
        return 8;
    }
    return -1;
}

// A record the rules cannot decode: its value stays empty and the walk goes
// on after its data field. A field of unknown length ends the walk.
std::size_t SkipField(const RecordContext& context, std::size_t dif, std::size_t d,
                      RecordWork& work) {
    const std::uint8_t code = work.fieldCode;
    if (code == kUnknownLength) {
        work.end = true;
        return d;
    }
    if (code == kVariableLength) {
        const int size = VariableSize(context.telegram.Telegram(d));
        return size < 0 ? dif + 1 : d + 1 + static_cast<std::size_t>(size);
    }
    return d + kFieldLength[code];
}

std::size_t DecodeDateTimeField(const RecordContext& context, std::size_t dif, std::size_t d,
                                RecordWork& work) {
    const Interpreter& t = context.telegram;
    std::string* value = work.texts() ? &work.out->Value : nullptr;
    switch (work.fieldCode) {
    case 4:
        if (value != nullptr) {
            DecodeDateTimeF(context, d, *value);
        }
        return d + 4;
    case 3:
        if (value != nullptr) {
            DecodeTimeOfDay(t, d, *value);
        }
        return d + 3;
    case 6:
        if (value != nullptr) {
            DecodeDateTimeI(t, d, *value);
        }
        return d + 6;
    case 0x0E:
        if (value != nullptr) {
            work.out->Description.append(" (ABB only)");
            for (std::size_t j = 6; j >= 1; --j) {
                AppendHexByte(*value, t.Telegram(d + j - 1));
            }
        }
        return d + 6;
    default:
        return SkipField(context, dif, d, work);
    }
}

void AppendExponentToUnit(RecordWork& work) {
    if (work.exponent == 0) {
        return;
    }
    std::string unit = "e" + std::to_string(work.exponent) + " ";
    unit += work.out->UnitText;
    work.out->UnitText = std::move(unit);
}

std::size_t DecodeVariableField(const RecordContext& context, std::size_t dif, std::size_t d,
                                RecordWork& work) {
    const Interpreter& t = context.telegram;
    const std::uint8_t lvar = t.Telegram(d);
    const int size = VariableSize(lvar);
    if (size < 0) {
        if (work.texts()) {
            work.out->Value.assign("xxx");
        }
        return dif + 1; // the walk resumes after this DIF
    }
    const auto n = static_cast<std::size_t>(size);
    if (work.texts()) {
        DecodedRecord& out = *work.out;
        const Field field{t, d + 1, n, context.highByteFirst};
        if (lvar <= kLastTextLvar) {
            for (std::size_t j = 0; j < n; ++j) {
                AppendByteCharacter(out.Value, field[j]);
            }
            AppendExponentToUnit(work);
        } else if (lvar <= kLastNegativeBcdLvar) {
            field.AppendHex(out.Value);
            FormatDigits(out.Value, out.UnitText, work.exponent, lvar > kLastPositiveBcdLvar);
        } else if (lvar == kDoubleLvar) {
            AppendReal(out.Value, std::bit_cast<double>(field.Unsigned()), RealDecimals);
        } else {
            for (std::size_t j = 1; j <= n; ++j) {
                AppendHexByte(out.Value, t.Telegram(d + j)); // as transmitted
            }
        }
    }
    return d + 1 + n;
}

double ScaleReal(double value, int exponent) {
    return exponent >= 0 ? value * std::pow(10.0, exponent) : value / std::pow(10.0, -exponent);
}

} // namespace

std::size_t DecodeDataField(const RecordContext& context, std::size_t dif, std::size_t d,
                            RecordWork& work) {
    const std::uint8_t code = work.fieldCode;
    if (work.kind == ValueKind::Date) {
        // Two bytes; a wider field is passed over whole.
        if (work.texts()) {
            DecodeDate(context, d, work.out->Value);
        }
        const std::size_t size = code < kFieldLength.size() ? kFieldLength[code] : 0;
        return d + (size > 2 ? size : 2);
    }
    if (work.kind == ValueKind::DateTime) {
        return DecodeDateTimeField(context, dif, d, work);
    }
    if (code == 0x00 || code == 0x08) {
        return d;
    }
    if (code == kVariableLength) {
        return DecodeVariableField(context, dif, d, work);
    }
    if (code == kUnknownLength) {
        work.end = true;
        return d;
    }
    const std::size_t n = kFieldLength[code];
    if (code >= 0x09) { // BCD: 9h-Ch and Eh
        if (work.texts()) {
            Field{context.telegram, d, n, context.highByteFirst}.AppendHex(work.out->Value);
            FormatDigits(work.out->Value, work.out->UnitText, work.exponent, false);
        }
        return d + n;
    }
    if (work.texts()) {
        const Field field{context.telegram, d, n, context.highByteFirst};
        std::string& value = work.out->Value;
        if (work.kind == ValueKind::Hexadecimal) {
            value += '$';
            field.AppendHex(value);
        } else if (code == 0x05) {
            const auto single = std::bit_cast<float>(static_cast<std::uint32_t>(field.Unsigned()));
            AppendReal(value, ScaleReal(single, work.exponent), RealDecimals);
        } else {
            AppendScaledInteger(value, field.Signed(), work.exponent);
        }
    }
    return d + n;
}

} // namespace quorven
