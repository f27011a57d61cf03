// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/hex_import.h"

#include "interpret/hex.h"

namespace quorven {

namespace {

QString Hex(std::uint8_t b) {
    return QString::fromStdString(HexByte(b));
}

} // namespace

std::vector<std::uint8_t> ScanHexText(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    int pending = -1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '*') {
            while (i < text.size() && text[i] != '\r' && text[i] != '\n') {
                ++i;
            }
            continue; // the CR or LF ending the remark is skipped with it
        }
        if (c == '\r' || c == '\n') {
            continue;
        }
        const int v = HexDigitValue(static_cast<unsigned char>(c));
        if (v < 0) {
            pending = -1;
        } else if (pending < 0) {
            pending = v;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(pending * 16 + v));
            pending = -1;
        }
    }
    return bytes;
}

std::uint8_t TrueLength(const std::vector<std::uint8_t>& telegram) {
    return static_cast<std::uint8_t>(telegram.size() - 6);
}

std::uint8_t TrueChecksum(const std::vector<std::uint8_t>& telegram) {
    // Bytes 5 .. n-2, numbered from 1; a telegram is at least 15 bytes long.
    return telegram.size() < 6 ? 0 : ByteSum(std::span(telegram).subspan(4, telegram.size() - 6));
}

QString LengthQuestion(std::uint8_t stated, std::uint8_t actual) {
    return QStringLiteral("Wrong telegram length $") + Hex(stated) +
           QStringLiteral("\n\rTrue length would be $") + Hex(actual) +
           QStringLiteral("\n\rShould the length be adapted?");
}

QString ChecksumQuestion(std::uint8_t stated, std::uint8_t actual) {
    return QStringLiteral("Wrong checksum $") + Hex(stated) +
           QStringLiteral("\n\rTrue checksum would be $") + Hex(actual) +
           QStringLiteral("\n\rShould the checksum be adapted?");
}

} // namespace quorven
