// SPDX-License-Identifier: GPL-3.0-or-later
// The record walk, kept for the telegram in the buffer, and the records it
// hands out.
#include "interpret/fixed_structure.h"
#include "interpret/interpreter.h"
#include "interpret/record_decoder.h"

namespace quorven {

namespace {

constexpr std::size_t kFirstRecord = 20;
constexpr std::size_t kSpecialLength = 146;
constexpr std::array<std::uint16_t, 3> kSpecialPositions{115, 119, 143};

} // namespace

int Interpreter::CountRecords() {
    if (!walked_ || walkRevision_ != revision_) {
        WalkRecords();
        walked_ = true;
        walkRevision_ = revision_;
    }
    return recordCount_;
}

void Interpreter::WalkRecords() {
    recordCount_ = 0;
    positionCount_ = 0;
    moreRecordsFollow_ = false;
    specialLayoutFlag_ = false;
    const int kind = TelegramKind();
    walkKind_ = kind;
    walkHighByteFirst_ = IsHighByteFirst();
    if (kind == kFixedStructure) {
        recordCount_ = 2;
        return;
    }
    if (kind != kVariableStructure) {
        return;
    }
    const std::size_t l = Telegram(2);
    const std::uint8_t medium = Telegram(15);
    specialLayoutFlag_ =
        l == kSpecialLength && (medium == 4 || medium == 12) && ManufacturerCode() == "KAM";
    const RecordContext context{*this, l + 5, walkHighByteFirst_, specialLayoutFlag_, true};
    RecordWork work;
    std::size_t p = kFirstRecord;
    while (!work.end && positionCount_ < kMaxRecords) {
        const std::size_t at = p;
        DecodeRecord(context, p, work);
        if (!work.end) {
            recordPositions_[positionCount_++] = static_cast<std::uint16_t>(at);
        }
    }
    if (specialLayoutFlag_) {
        for (std::uint16_t position : kSpecialPositions) {
            recordPositions_[positionCount_++] = position;
        }
    }
    moreRecordsFollow_ = work.more;
    recordCount_ = static_cast<int>(positionCount_);
}

bool Interpreter::GetRecord(int index) {
    const int count = CountRecords();
    if (index < 0 || index >= count) {
        return false;
    }
    if (walkKind_ == kFixedStructure) {
        DecodeFixedCounter(*this, index + 1, current_);
        return true;
    }
    const RecordContext context{*this, std::size_t{Telegram(2)} + 5, walkHighByteFirst_,
                                specialLayoutFlag_, false};
    RecordWork work;
    work.out = &current_;
    std::size_t p = recordPositions_[static_cast<std::size_t>(index)];
    DecodeRecord(context, p, work);
    return true;
}

} // namespace quorven
