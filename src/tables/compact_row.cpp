// SPDX-License-Identifier: GPL-3.0-or-later
#include "tables/compact_row.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace quorven {

namespace {

constexpr std::size_t kHeaderBytes = sizeof(std::uint32_t);
constexpr int kWidthShift = 30;
constexpr std::uint32_t kCountMask = (1u << kWidthShift) - 1;
// Offset widths by the code in the header's top bits.
constexpr std::uint32_t kWidths[] = {1, 2, 4};

std::uint32_t WidthCode(std::uint32_t textBytes) {
    return textBytes <= 0xFFu ? 0 : textBytes <= 0xFFFFu ? 1 : 2;
}

std::uint32_t ReadU32(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

std::uint16_t ReadU16(const std::uint8_t* p) {
    std::uint16_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

} // namespace

CompactRow::CompactRow(std::string_view text, std::span<const std::uint32_t> ends) {
    std::size_t count = ends.size();
    // Trailing empty cells are not stored.
    while (count > 0 && ends[count - 1] == (count > 1 ? ends[count - 2] : 0u)) {
        --count;
    }
    if (count == 0) {
        return;
    }
    const std::uint32_t textBytes = ends[count - 1];
    const std::uint32_t code = WidthCode(textBytes);
    const std::size_t width = kWidths[code];
    data_ =
        std::make_unique_for_overwrite<std::uint8_t[]>(kHeaderBytes + count * width + textBytes);
    std::uint8_t* p = data_.get();
    const std::uint32_t header = static_cast<std::uint32_t>(count) | (code << kWidthShift);
    std::memcpy(p, &header, sizeof header);
    p += kHeaderBytes;
    for (std::size_t i = 0; i < count; ++i) {
        if (width == 1) {
            *p = static_cast<std::uint8_t>(ends[i]);
        } else if (width == 2) {
            const auto e = static_cast<std::uint16_t>(ends[i]);
            std::memcpy(p, &e, 2);
        } else {
            std::memcpy(p, &ends[i], 4);
        }
        p += width;
    }
    if (textBytes > 0) {
        std::memcpy(p, text.data(), textBytes);
    }
}

CompactRow::CompactRow(const CompactRow& other) {
    if (other.data_) {
        const std::size_t n = other.allocatedBytes();
        data_ = std::make_unique_for_overwrite<std::uint8_t[]>(n);
        std::memcpy(data_.get(), other.data_.get(), n);
    }
}

CompactRow& CompactRow::operator=(const CompactRow& other) {
    if (this != &other) {
        CompactRow copy(other);
        data_ = std::move(copy.data_);
    }
    return *this;
}

CompactRow::Layout CompactRow::layout() const {
    if (!data_) {
        return {};
    }
    const std::uint32_t header = ReadU32(data_.get());
    return {header & kCountMask, kWidths[std::min(header >> kWidthShift, 2u)]};
}

std::uint32_t CompactRow::end(const Layout& l, std::uint32_t i) const {
    const std::uint8_t* ends = data_.get() + kHeaderBytes;
    switch (l.width) {
    case 1:
        return ends[i];
    case 2:
        return ReadU16(ends + 2 * i);
    default:
        return ReadU32(ends + 4 * i);
    }
}

const std::uint8_t* CompactRow::text(const Layout& l) const {
    return data_.get() + kHeaderBytes + l.count * l.width;
}

int CompactRow::cellCount() const {
    return static_cast<int>(layout().count);
}

std::string_view CompactRow::cell(int column) const {
    const Layout l = layout();
    if (column < 0 || static_cast<std::uint32_t>(column) >= l.count) {
        return {};
    }
    const auto c = static_cast<std::uint32_t>(column);
    const std::uint32_t start = c == 0 ? 0 : end(l, c - 1);
    const std::uint32_t stop = end(l, c);
    return {reinterpret_cast<const char*>(text(l)) + start, stop - start};
}

void CompactRow::setCell(int column, std::string_view value) {
    if (column < 0) {
        return;
    }
    const int count = std::max(cellCount(), column + 1);
    std::string joined;
    std::vector<std::uint32_t> ends;
    ends.reserve(static_cast<std::size_t>(count));
    for (int c = 0; c < count; ++c) {
        joined.append(c == column ? value : cell(c));
        ends.push_back(static_cast<std::uint32_t>(joined.size()));
    }
    *this = CompactRow(joined, ends);
}

void CompactRow::truncate(int columns) {
    if (columns >= cellCount()) {
        return;
    }
    if (columns <= 0) {
        data_.reset();
        return;
    }
    const Layout l = layout();
    std::vector<std::uint32_t> ends;
    for (int c = 0; c < columns; ++c) {
        ends.push_back(end(l, static_cast<std::uint32_t>(c)));
    }
    const std::string_view all(reinterpret_cast<const char*>(text(l)), ends.back());
    *this = CompactRow(all, ends);
}

std::size_t CompactRow::allocatedBytes() const {
    const Layout l = layout();
    if (l.count == 0) {
        return 0;
    }
    return kHeaderBytes + l.count * l.width + end(l, l.count - 1);
}

} // namespace quorven
