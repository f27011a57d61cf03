// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/ident_text.h"

#include <QString>

#include <optional>

namespace quorven {

// How the bus commands read the cells of a slave-list row. A cell that
// cannot be read sends nothing: read as 0 or as wildcards it would reach
// another meter.

// The baud index a baud cell asks for: 300, 2400, 9600 and 38400 are read
// as such, every other number and any other text as 2400.
int BaudIndexOf(const QString& text);

// The baud index of the search baud rate list's entry: "300" and "9600" as
// such, "2400" and "2400 + 300" (which starts at 2400) as 2400.
int SearchBaudIndexOf(int entry);
inline constexpr int kBaudIndex300 = 0;
inline constexpr int kBaudIndex2400 = 3;
inline constexpr int kSearchBoth = 2; // the entry "2400 + 300"

// A whole number of at most 9 digits, blanks around it aside.
std::optional<int> CellNumberOf(const QString& text);
// A primary address cell: a whole number 0..255.
std::optional<int> AddressOf(const QString& text);

// The identification cell as the four bytes of a selection: the text,
// blanks aside, padded with "0" to eight hexadecimal digits.
std::optional<IdBytes> IdCellBytes(const QString& text);

// Why a cell sends nothing, as the text area says it:
// "Row 3: the primary address "x" is not a number from 0 to 255; nothing sent".
QString AddressProblem(int row, const QString& cell);
QString IdProblem(int row, const QString& cell);

} // namespace quorven
