// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/record_selection.h"

#include <QList>
#include <QStringView>

namespace quorven {

namespace {

bool ReadNumber(QStringView text, int& number) {
    bool ok = false;
    number = text.trimmed().toInt(&ok, 10);
    return ok;
}

} // namespace

int SelectionFront(const QString& selection) {
    if (selection.isEmpty()) {
        return 0;
    }
    const qsizetype comma = selection.indexOf(u',');
    int number = 0;
    if (!ReadNumber(QStringView(selection).left(comma < 0 ? selection.size() : comma), number)) {
        return 0;
    }
    return number;
}

void ConsumeSelectionFront(QString& selection) {
    const qsizetype comma = selection.indexOf(u',');
    if (comma >= 0) {
        selection.remove(0, comma + 1);
    }
}

std::uint64_t SelectedRecords(const QString& selection) {
    std::uint64_t set = 0;
    for (QStringView run : QStringView(selection).split(u',', Qt::SkipEmptyParts)) {
        int n = 0;
        if (ReadNumber(run, n) && n >= 1 && n <= 64) {
            set |= std::uint64_t{1} << (n - 1);
        }
    }
    return set;
}

} // namespace quorven
