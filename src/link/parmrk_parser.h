// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <cstdint>
#include <span>
#include <vector>

namespace quorven {

// Takes apart the byte stream of a terminal that marks receive errors in the
// data: FF FF is a received FFh, FF 00 x is the byte x received with an error
// (a break arrives as FF 00 00). Markers may be split across reads; the parser
// keeps what it has seen of one until the next chunk.
class ParmrkParser {
public:
    // A byte received with an error, at its position in the data of one feed.
    struct Mark {
        qsizetype position;
        std::uint8_t byte;
    };

    // Appends the data bytes of chunk to data and the marked bytes to marks.
    // A marked byte is data as well: it was received, only not cleanly.
    void feed(std::span<const std::uint8_t> chunk, QByteArray& data, std::vector<Mark>& marks);

    // Forgets a marker begun in an earlier chunk (the input was purged).
    void reset() { state_ = State::Plain; }

    // True while the last chunk ended inside a marker.
    bool inMarker() const { return state_ != State::Plain; }

private:
    enum class State { Plain, AfterFf, AfterFf00 };
    State state_ = State::Plain;
};

} // namespace quorven
