#pragma once

// Telegrams for the station tests: a water meter's answer with a chosen
// number of records, optionally marked "more records follow".

#include "interpret/telegram_bytes.h"

#include <QByteArray>
#include <QString>

#include <string>
#include <vector>

namespace quorven::testing {

// Header from the A field on: address 11, identification 04990254, EFE,
// version 0, medium water, access number 0Ch, status 27h.
inline constexpr const char* kWaterHeader = "0B 72 54029904 C514 00 06 0C 27 0000";

// Records that decode without surprises, cycled as needed.
inline constexpr const char* kRecords[] = {
    "04 13 10270000", // volume
    "04 6D 0A0CCD13", // date and time
    "02 5A 1401",     // flow temperature
    "02 5E 0A01",     // return temperature
    "0C 06 45230100", // energy, BCD
    "02 3B 0000",     // volume flow
};

inline std::vector<std::uint8_t> WaterTelegram(int records, bool moreFollow = false) {
    std::string body = kWaterHeader;
    for (int i = 0; i < records; ++i) {
        body += ' ';
        body += kRecords[i % 6];
    }
    if (moreFollow) {
        body += " 1F";
    }
    return LongFrame(0x08, body.c_str());
}

inline QByteArray HexText(const std::vector<std::uint8_t>& bytes, const char* between = " ") {
    QByteArray text;
    for (std::uint8_t b : bytes) {
        if (!text.isEmpty()) {
            text += between;
        }
        text += QByteArray::number(b, 16).rightJustified(2, '0').toUpper();
    }
    return text;
}

} // namespace quorven::testing
