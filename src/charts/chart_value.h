// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a chart reads from a row of the data table: the number of its value
// cell and the moment of its date and time cells.

#include <optional>
#include <string_view>

namespace quorven {

// The number a value cell shows: blanks around it, an optional "-", digits
// with at most one decimal point ("." whatever the locale), nothing else. The
// decimal exponent is already applied in the cell, so an "E" is no exponent
// but a hexadecimal digit of a value that is not decimal ("00001E05").
// Anything else (an error text, a date, a status byte, "ungltig") is no
// number.
std::optional<double> ChartNumber(std::string_view cell);

// Milliseconds of the date "dd.mm.yy" (20yy) and the time "hh:mm:ss" or
// "hh:mm", counted from 1 January 1970 on a clock without time zones or
// daylight saving, so that a day always has 24 hours; nothing when either is
// not a valid date or time.
std::optional<double> ChartMoment(std::string_view date, std::string_view time);

} // namespace quorven
