// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace quorven {

// One table row held in a single allocation: the UTF-8 text of all its cells
// one after the other, with the end offset of every cell in front of it.
//
//   [header: u32] [ends: count x (u8, u16 or u32)] [text bytes]
//
// The header holds the number of stored cells (bits 0..29) and the width of
// the offsets (bits 30..31): one byte while the row's text fits in 255 bytes,
// as almost every data row does, two bytes up to 64 KiB, else four. Empty
// cells at the end of a row are not stored, and a row without text stores
// nothing at all, so a cleared table costs one pointer per row.
class CompactRow {
public:
    CompactRow() = default;
    // Builds a row from its text and the end offset of every cell in it.
    CompactRow(std::string_view text, std::span<const std::uint32_t> ends);

    CompactRow(const CompactRow& other);
    CompactRow& operator=(const CompactRow& other);
    CompactRow(CompactRow&&) noexcept = default;
    CompactRow& operator=(CompactRow&&) noexcept = default;
    ~CompactRow() = default;

    // Number of stored cells; every cell beyond them is empty.
    int cellCount() const;
    // The text of a cell; empty for a cell that is not stored.
    std::string_view cell(int column) const;
    // Replaces one cell, storing empty cells up to it as needed.
    void setCell(int column, std::string_view text);
    // Drops every cell from `columns` on.
    void truncate(int columns);
    // Bytes of the row's own allocation (without the allocator's overhead).
    std::size_t allocatedBytes() const;

private:
    struct Layout {
        std::uint32_t count = 0;
        std::uint32_t width = 1; // bytes per offset
    };
    Layout layout() const;
    std::uint32_t end(const Layout& l, std::uint32_t i) const;
    const std::uint8_t* text(const Layout& l) const;

    std::unique_ptr<std::uint8_t[]> data_;
};

} // namespace quorven
