// SPDX-License-Identifier: GPL-3.0-or-later
#include "tables/text_encoding.h"

#include <array>
#include <cstdint>

namespace quorven {

namespace {

// Code points of the bytes 80h..FFh of Windows-1250 (Central European).
// Unassigned bytes (81h, 83h, 88h, 90h, 98h) keep their own number.
constexpr std::array<char16_t, 128> kWindows1250High = {
    // 80h..8Fh
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179, //
    // 90h..9Fh
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, //
    // A0h..AFh
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7, //
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, //
    // B0h..BFh
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, //
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, //
    // C0h..CFh
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, //
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, //
    // D0h..DFh
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, //
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, //
    // E0h..EFh
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, //
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, //
    // F0h..FFh
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7, //
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9, //
};

// Number of continuation bytes after a lead byte, and the smallest second byte
// allowed after it; 0xFF marks a byte that cannot start a sequence.
struct Lead {
    std::uint8_t follow;
    std::uint8_t low;
    std::uint8_t high;
};

Lead LeadOf(std::uint8_t b) {
    if (b >= 0xC2 && b <= 0xDF) {
        return {1, 0x80, 0xBF};
    }
    if (b == 0xE0) {
        return {2, 0xA0, 0xBF}; // no overlong forms
    }
    if (b == 0xED) {
        return {2, 0x80, 0x9F}; // no surrogates
    }
    if (b >= 0xE1 && b <= 0xEF) {
        return {2, 0x80, 0xBF};
    }
    if (b == 0xF0) {
        return {3, 0x90, 0xBF};
    }
    if (b >= 0xF1 && b <= 0xF3) {
        return {3, 0x80, 0xBF};
    }
    if (b == 0xF4) {
        return {3, 0x80, 0x8F}; // nothing beyond U+10FFFF
    }
    return {0xFF, 0, 0};
}

} // namespace

bool IsValidUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const auto* const end = p + bytes.size();
    while (p < end) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const Lead lead = LeadOf(*p);
        if (lead.follow == 0xFF || end - p <= lead.follow) {
            return false;
        }
        if (p[1] < lead.low || p[1] > lead.high) {
            return false;
        }
        for (int i = 2; i <= lead.follow; ++i) {
            if ((p[i] & 0xC0) != 0x80) {
                return false;
            }
        }
        p += lead.follow + 1;
    }
    return true;
}

void AppendWindows1250AsUtf8(std::string& out, std::string_view bytes) {
    out.reserve(out.size() + bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<std::uint8_t>(ch);
        if (b < 0x80) {
            out.push_back(ch);
            continue;
        }
        const char16_t u = kWindows1250High[b - 0x80];
        if (u < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (u >> 6)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (u >> 12)));
            out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        }
    }
}

} // namespace quorven
