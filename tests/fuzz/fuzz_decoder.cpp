// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes through the telegram check, the header, the record walk and
// every record: as received, framed as a well-formed long frame, and stored
// with a length beyond the buffer. Texts must stay valid UTF-8, and a record
// read from the kept walk must equal the record a fresh walk gives.
#include "interpret/interpreter.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

namespace {

using quorven::DecodedRecord;
using quorven::Interpreter;

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool IsUtf8(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 1;
        if (lead >= 0xF0) {
            length = 4;
        } else if (lead >= 0xE0) {
            length = 3;
        } else if (lead >= 0xC2) {
            length = 2;
        } else if (lead >= 0x80) {
            return false;
        }
        if (i + length > text.size()) {
            return false;
        }
        for (std::size_t j = 1; j < length; ++j) {
            if ((static_cast<unsigned char>(text[i + j]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

void Exercise(std::span<const std::uint8_t> bytes) {
    Interpreter in;
    in.StoreTelegram(bytes);
    in.CheckTelegram();
    in.IdentNumber();
    in.ManufacturerCode();
    in.MediumText();
    const int count = in.CountRecords();
    Require(count >= 0 && count <= 258);
    Require(!in.GetRecord(-1) && !in.GetRecord(count));
    for (int i = 0; i < count; ++i) {
        Require(in.GetRecord(i));
        const DecodedRecord& record = in.CurrentRecord();
        Require(IsUtf8(record.Description) && IsUtf8(record.Value) && IsUtf8(record.UnitText) &&
                IsUtf8(record.FunctionText));
    }
    if (count > 0) {
        const int i = count / 2;
        Interpreter fresh;
        fresh.StoreTelegram(bytes);
        Require(fresh.GetRecord(i) && in.GetRecord(i) &&
                fresh.CurrentRecord() == in.CurrentRecord());
    }
}

// The bytes with the L fields, start bytes, C field, checksum and stop byte
// of a long frame set, so that the check passes and the walk sees L agree
// with the length.
std::vector<std::uint8_t> AsLongFrame(std::span<const std::uint8_t> bytes) {
    std::vector<std::uint8_t> frame(bytes.begin(), bytes.end());
    const std::size_t n = frame.size();
    frame[0] = frame[3] = 0x68;
    frame[1] = frame[2] = static_cast<std::uint8_t>(n - 6);
    frame[4] = static_cast<std::uint8_t>(0x08 | (frame[4] & 0x30));
    std::uint8_t sum = 0;
    for (std::size_t i = 4; i < n - 2; ++i) {
        sum = static_cast<std::uint8_t>(sum + frame[i]);
    }
    frame[n - 2] = sum;
    frame[n - 1] = 0x16;
    return frame;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    Exercise(bytes);
    if (size >= 7 && size <= 261) {
        Exercise(AsLongFrame(bytes));
    }
    if (size <= 261) {
        std::vector<std::uint8_t> longer(bytes.begin(), bytes.end());
        longer.resize(262 + size, 0x2F);
        Exercise(longer);
    }
    return 0;
}
