// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>

namespace quorven {

// The record selection of a slave ("adatcsomag"): record numbers separated by
// commas, ascending; empty selects every record.

// The first entry: 0 for an empty text, else the number before the first
// comma (the whole text without a comma). Blanks around it are ignored; an
// entry that is not a number reads as 0, which selects nothing in particular
// and so filters no record out.
int SelectionFront(const QString& selection);

// Removes the first entry and its comma; a last entry without a comma stays.
void ConsumeSelectionFront(QString& selection);

// The record numbers 1..64 named in the selection, record n as bit n-1.
// Entries that are not numbers, or lie outside 1..64, are left out.
std::uint64_t SelectedRecords(const QString& selection);

} // namespace quorven
