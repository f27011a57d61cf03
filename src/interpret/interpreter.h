#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace quorven {

// Room of the telegram buffer: the longest long frame (L = 255) has 261 bytes.
inline constexpr std::size_t kTelegramCapacity = 261;

// Telegram kinds, derived from the buffer on every call.
enum TelegramKinds : int {
    kSingleCharacter = 0,
    kFixedStructure = 1,
    kVariableStructure = 2,
    kOtherCi = 3,
};

// The interpretation of one received telegram: the telegram buffer, its check
// and its fixed data header. One instance holds the whole state of the
// interpretation; its callers store a telegram and then ask for the fields.
//
// Bytes are numbered from 1 as on the wire. Nothing ever reads or writes
// outside the buffer: a byte beyond the stored ones reads as zero.
class Interpreter {
public:
    Interpreter();

    // Stores a received telegram from byte 1 on. At most kTelegramCapacity
    // bytes are kept; TelegramLength still counts every byte given (up to
    // 65535), so an overlong telegram fails the check as too long.
    void StoreTelegram(std::span<const std::uint8_t> bytes);

    // Byte i (1-based); zero outside 1..kTelegramCapacity.
    std::uint8_t Telegram(std::size_t i) const {
        return (i >= 1 && i <= kTelegramCapacity) ? buffer_[i - 1] : 0;
    }
    std::uint16_t TelegramLength() const { return length_; }
    const std::string& TelegramError() const { return error_; }

    // Counts every change of the buffer, so that work derived from it can be
    // kept as long as the telegram stays the same.
    std::uint64_t Revision() const { return revision_; }

    bool CheckTelegram();
    int TelegramKind() const;
    bool IsHighByteFirst() const;
    std::uint8_t PrimaryAddress() const;
    std::string IdentNumber() const;
    std::string ManufacturerCode() const;
    std::uint8_t VersionByte() const;
    std::uint8_t MediumCode() const;
    std::string MediumText() const;
    std::uint8_t StatusByte() const;

private:
    std::uint8_t FixedMediumCode() const;

    std::array<std::uint8_t, kTelegramCapacity> buffer_{};
    std::uint16_t length_ = 0;
    std::string error_;
    std::uint64_t revision_ = 0;
};

} // namespace quorven
