// SPDX-License-Identifier: GPL-3.0-or-later
// The row operations of the slave list.
#include "tables/table_layouts.h"
#include "tables/tables.h"

#include <QHash>

#include <vector>

namespace quorven {

namespace {

// The primary address as compared and shown: the decimal number when the cell
// holds one, else the cell's text as it is.
struct Address {
    bool isNumber = false;
    QString text;
};

Address ReadAddress(const QString& cell) {
    bool ok = false;
    const int n = cell.trimmed().toInt(&ok, 10);
    return ok ? Address{true, QString::number(n)} : Address{false, cell};
}

QString PaddedId(const QString& cell) {
    return cell.rightJustified(8, u'0');
}

} // namespace

void Tables::SetNewSlaveRow(int row, const QString& port) {
    slaveList_.SetCell(kSlavePlace, row, QString());
    slaveList_.SetCell(kSlaveAddress, row, QStringLiteral("0"));
    slaveList_.SetCell(kSlaveId, row, QStringLiteral("00000000"));
    slaveList_.SetCell(kSlaveBaud, row, QStringLiteral("2400"));
    for (int c = kSlaveManufacturer; c <= kSlaveSelection; ++c) {
        slaveList_.SetCell(c, row, QString());
    }
    slaveList_.SetCell(kSlavePort, row, port);
}

int Tables::InsertSlave(int currentRow, const QString& port) {
    if (currentRow < 1 || currentRow >= slaveList_.RowCount()) {
        return AppendSlave(port);
    }
    slaveList_.InsertRow(currentRow);
    SetNewSlaveRow(currentRow, port);
    return currentRow;
}

int Tables::AppendSlave(const QString& port) {
    const int row = slaveList_.RowCount();
    slaveList_.SetRowCount(row + 1);
    SetNewSlaveRow(row, port);
    return row;
}

void Tables::DeleteSlave(int currentRow) {
    if (SlaveCount() >= 1) {
        slaveList_.RemoveRow(currentRow);
    }
}

QStringList Tables::DeleteDuplicates() {
    // Rows that duplicate each other form a group; the first row of a group
    // stays. The lines come group by group in the order of the groups' first
    // rows and, within a group, in the order of the removed rows, as a
    // row-by-row comparison from the top would write them.
    struct Group {
        QString firstAddress;
        QString id;
        QStringList lines;
    };
    std::vector<Group> groups;
    QHash<QString, std::size_t> groupOf;
    const int rows = slaveList_.RowCount();
    std::vector<bool> keep(static_cast<std::size_t>(rows), true);
    for (int r = 1; r < rows; ++r) {
        const Address address = ReadAddress(slaveList_.Cell(kSlaveAddress, r));
        const QString id = PaddedId(slaveList_.Cell(kSlaveId, r));
        const QString key = id + QChar(0x1F) + (address.isNumber ? u'#' : u'"') + address.text;
        const auto found = groupOf.constFind(key);
        if (found == groupOf.constEnd()) {
            groupOf.insert(key, groups.size());
            groups.push_back({address.text, id, {}});
            continue;
        }
        Group& g = groups[*found];
        g.lines << QStringLiteral("PAdr:") + g.firstAddress + QStringLiteral("   ID:") + g.id +
                       QStringLiteral(" ") + slaveList_.Cell(kSlaveBaud, r) +
                       QStringLiteral(" Baud ") + QStringLiteral("deleted!");
        keep[static_cast<std::size_t>(r)] = false;
    }
    QStringList lines;
    for (const Group& g : groups) {
        lines += g.lines;
    }
    if (!lines.isEmpty()) {
        slaveList_.KeepRows(keep);
    }
    return lines;
}

} // namespace quorven
