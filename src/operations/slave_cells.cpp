// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/slave_cells.h"

#include <array>

namespace quorven {

namespace {

constexpr int kMaxDigits = 9;
constexpr int kMaxAddress = 255;

QString NothingSent(int row, const QString& what) {
    return QStringLiteral("Row %1: %2; nothing sent").arg(row).arg(what);
}

} // namespace

int BaudIndexOf(const QString& text) {
    struct Row {
        int rate;
        int index;
    };
    static constexpr std::array<Row, 4> kRows{
        {{300, kBaudIndex300}, {2400, kBaudIndex2400}, {9600, 5}, {38400, 8}}};
    bool ok = false;
    const int rate = text.trimmed().toInt(&ok);
    for (const Row& r : kRows) {
        if (ok && r.rate == rate) {
            return r.index;
        }
    }
    return kBaudIndex2400;
}

int SearchBaudIndexOf(int entry) {
    static constexpr std::array<int, 4> kIndexOfEntry{kBaudIndex2400, kBaudIndex300, kBaudIndex2400,
                                                      5};
    return entry >= 0 && entry < 4 ? kIndexOfEntry[static_cast<std::size_t>(entry)]
                                   : kBaudIndex2400;
}

std::optional<int> CellNumberOf(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > kMaxDigits) {
        return std::nullopt;
    }
    for (const QChar c : t) {
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
    }
    return t.toInt();
}

std::optional<int> AddressOf(const QString& text) {
    const auto n = CellNumberOf(text);
    return n && *n <= kMaxAddress ? n : std::nullopt;
}

std::optional<IdBytes> IdCellBytes(const QString& text) {
    // At most the first eight characters, as the read-out takes them.
    const QString id = text.trimmed().left(8);
    if (id.isEmpty()) {
        return std::nullopt;
    }
    return IdTextToBytes(id);
}

QString AddressProblem(int row, const QString& cell) {
    return NothingSent(
        row, QStringLiteral("the primary address \"%1\" is not a number from 0 to 255").arg(cell));
}

QString IdProblem(int row, const QString& cell) {
    return NothingSent(
        row, QStringLiteral("the identification number \"%1\" is not hexadecimal").arg(cell));
}

} // namespace quorven
