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
    std::vector<std::uint8_t> frame = Bytes(fromAddress);
    frame.insert(frame.begin(), c);
    std::uint8_t sum = 0;
    for (std::uint8_t b : frame) {
        sum = static_cast<std::uint8_t>(sum + b);
    }
    const auto l = static_cast<std::uint8_t>(frame.size());
    frame.insert(frame.begin(), {0x68, l, l, 0x68});
    frame.push_back(sum);
    frame.push_back(0x16);
    return frame;
}

} // namespace quorven::testing
