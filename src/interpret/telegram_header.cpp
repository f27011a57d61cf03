// SPDX-License-Identifier: GPL-3.0-or-later
// The fixed data header: kind, byte order, address, identification,
// manufacturer, version, medium and status of the telegram in the buffer.
#include "interpret/hex.h"
#include "interpret/interpreter.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace quorven {

namespace {

constexpr std::array<std::string_view, 27> kVariableMedium{
    "Other",          "Oil",           "Electricity", "Gas",          "Heat Outlet",
    "Steam",          "Hot Water",     "Water",       "H.C.A.",       "Compressed Air",
    "Cooling Outlet", "Cooling Inlet", "Heat Inlet",  "Heat/Cooling", "Bus/System",
    "Unknown Medium", "Reserved",      "Reserved",    "Reserved",     "Reserved",
    "Reserved",       "Hot Water",     "Cold Water",  "Dual Water",   "Pressure",
    "A/D Converter",  "Reserved",
};

constexpr std::array<std::string_view, 16> kFixedMedium{
    "Other",  "Oil",      "Electricity", "Gas",  "Heat",      "Steam", "Hot Water", "Water",
    "H.C.A.", "Reserved", "Gas",         "Heat", "Hot Water", "Water", "H.C.A.",    "Reserved",
};

constexpr std::uint8_t kLastVariableMedium = 26;

} // namespace

int Interpreter::TelegramKind() const {
    if (Telegram(1) == 0xE5) {
        return kSingleCharacter;
    }
    switch (Telegram(7)) {
    case 0x73:
    case 0x77:
        return kFixedStructure;
    case 0x72:
    case 0x76:
        return kVariableStructure;
    default:
        return kOtherCi;
    }
}

std::uint8_t Interpreter::FixedMediumCode() const {
    return static_cast<std::uint8_t>(((Telegram(14) >> 6) & 0x03) |
                                     (((Telegram(15) >> 6) & 0x03) << 2));
}

bool Interpreter::IsHighByteFirst() const {
    const std::uint8_t ci = Telegram(7);
    if (ci == 0x76 || ci == 0x77) {
        return true;
    }
    if (ci == 0x73) {
        const std::uint8_t medium = FixedMediumCode();
        return medium >= 10 && medium <= 14;
    }
    return false;
}

std::uint8_t Interpreter::PrimaryAddress() const {
    const int kind = TelegramKind();
    return (kind == kFixedStructure || kind == kVariableStructure) ? Telegram(6) : 0;
}

std::string Interpreter::IdentNumber() const {
    const int kind = TelegramKind();
    if (kind != kFixedStructure && kind != kVariableStructure) {
        return "00000000";
    }
    std::string text;
    if (IsHighByteFirst()) {
        for (std::size_t i = 8; i <= 11; ++i) {
            text += HexByte(Telegram(i));
        }
    } else {
        for (std::size_t i = 11; i >= 8; --i) {
            text += HexByte(Telegram(i));
        }
    }
    return text;
}

std::string Interpreter::ManufacturerCode() const {
    if (TelegramKind() != kVariableStructure) {
        return "   ";
    }
    const unsigned m =
        IsHighByteFirst() ? Telegram(12) * 256u + Telegram(13) : Telegram(13) * 256u + Telegram(12);
    // The first letter takes all six remaining high bits, unmasked.
    return std::string{static_cast<char>(64 + (m >> 10)), static_cast<char>(64 + ((m >> 5) & 31)),
                       static_cast<char>(64 + (m & 31))};
}

std::uint8_t Interpreter::VersionByte() const {
    return TelegramKind() == kVariableStructure ? Telegram(14) : 0;
}

std::uint8_t Interpreter::MediumCode() const {
    switch (TelegramKind()) {
    case kFixedStructure:
        return FixedMediumCode();
    case kVariableStructure:
        return std::min(Telegram(15), kLastVariableMedium);
    default:
        return 0;
    }
}

std::string Interpreter::MediumText() const {
    switch (TelegramKind()) {
    case kFixedStructure:
        return std::string(kFixedMedium[FixedMediumCode()]);
    case kVariableStructure:
        return std::string(kVariableMedium[MediumCode()]);
    default:
        return {};
    }
}

std::uint8_t Interpreter::StatusByte() const {
    switch (TelegramKind()) {
    case kFixedStructure:
        return Telegram(13);
    case kVariableStructure:
        return Telegram(17);
    default:
        return 0;
    }
}

} // namespace quorven
