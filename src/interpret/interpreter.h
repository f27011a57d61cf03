// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "interpret/decoded_record.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace quorven {

// Room of the telegram buffer: the longest long frame (L = 255) has 261 bytes.
inline constexpr std::size_t kTelegramCapacity = 261;

// A walk stops after this many records.
inline constexpr int kMaxRecords = 255;

// Record positions: the records of a walk plus the special layout's three.
inline constexpr std::size_t kRecordPositionCapacity = 258;

// Telegram kinds, derived from the buffer on every call.
enum TelegramKinds : int {
    kSingleCharacter = 0,
    kFixedStructure = 1,
    kVariableStructure = 2,
    kOtherCi = 3,
};

// The interpretation of one received telegram: the telegram buffer, its check,
// its fixed data header and its data records. One instance holds the whole
// state of the interpretation; its callers store a telegram and then ask for
// the header fields, the number of records and each record.
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

    // The records: a variable-data telegram's data records, or the two
    // counters of a fixed-structure one. The walk that finds them is kept
    // until the buffer changes, so reading every record costs one walk.
    int CountRecords();
    // Decodes record `index` (0-based) into CurrentRecord; false, with
    // CurrentRecord unchanged, when there is no such record.
    bool GetRecord(int index);
    const DecodedRecord& CurrentRecord() const { return current_; }

    // Results of the last walk.
    bool MoreRecordsFollow() const { return moreRecordsFollow_; }
    // A read that ends with a meter's telegrams forgets that more would follow.
    void ClearMoreRecordsFollow() { moreRecordsFollow_ = false; }
    bool SpecialLayoutFlag() const { return specialLayoutFlag_; }
    std::span<const std::uint16_t> RecordPositions() const {
        return std::span(recordPositions_).first(positionCount_);
    }

private:
    std::uint8_t FixedMediumCode() const;
    void WalkRecords();

    std::array<std::uint8_t, kTelegramCapacity> buffer_{};
    std::uint16_t length_ = 0;
    std::string error_;
    std::uint64_t revision_ = 0;

    // The walk, valid for the buffer of walkRevision_.
    bool walked_ = false;
    std::uint64_t walkRevision_ = 0;
    int recordCount_ = 0;
    int walkKind_ = kOtherCi;
    bool walkHighByteFirst_ = false;
    std::size_t positionCount_ = 0;
    std::array<std::uint16_t, kRecordPositionCapacity> recordPositions_{};
    bool moreRecordsFollow_ = false;
    bool specialLayoutFlag_ = false;

    DecodedRecord current_;
};

} // namespace quorven
