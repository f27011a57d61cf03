#pragma once

// Telegrams for the tests, written as hex text the way the trace shows them.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <span>
#include <vector>

namespace quorven::testing {

inline std::vector<std::uint8_t> Bytes(const char* hex) {
    const QByteArray raw = QByteArray::fromHex(QByteArray(hex));
    return {raw.begin(), raw.end()};
}

// A long frame with the given C field and the user data from the A field on,
// with L and the checksum filled in.
inline std::vector<std::uint8_t> LongFrame(std::uint8_t c, const char* fromAddress) {
    const std::vector<std::uint8_t> body = Bytes(fromAddress);
    std::vector<std::uint8_t> frame;
    frame.reserve(body.size() + 7);
    for (std::uint8_t b :
         {std::uint8_t{0x68}, std::uint8_t{0}, std::uint8_t{0}, std::uint8_t{0x68}, c}) {
        frame.push_back(b);
    }
    for (std::uint8_t b : body) {
        frame.push_back(b);
    }
    const auto l = static_cast<std::uint8_t>(frame.size() - 4);
    frame[1] = frame[2] = l;
    std::uint8_t sum = 0;
    for (std::size_t i = 4; i < frame.size(); ++i) {
        sum = static_cast<std::uint8_t>(sum + frame[i]);
    }
    frame.push_back(sum);
    frame.push_back(0x16);
    return frame;
}

} // namespace quorven::testing
