// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "publish/meter_reading.h"

#include <QByteArray>
#include <QJsonValue>
#include <QString>

#include <optional>

namespace quorven {

// The JSON message of one meter read: the meter's header, the time of the
// read (ISO 8601 with the UTC offset) and its records, each with the cell
// texts as the data table shows them and a machine-readable value; an error
// row gives "error" with its reason instead.
QByteArray MeterMessage(const MeterReading& reading, const QString& site);

// "<prefix>/<manufacturer>/<identification number>".
QString MeterTopic(const QString& prefix, const MeterReading& reading);

// A text made fit to be one level of a topic: trimmed, the wildcards "+" and
// "#", the level separator "/" and control characters replaced by "_"; "_"
// for an empty text.
QString TopicLevel(const QString& text);

// The number a cell shows ("     6531.00", "-1.5E+03"), or nothing when the
// cell is no plain decimal number (a date, a hexadecimal "$00", a text).
std::optional<double> CellNumber(const QString& cell);

// A cell as a JSON value: a number where the cell is one, its text otherwise.
QJsonValue CellValue(const QString& cell);

// "2026-12-07T01:02:03+01:00": always with the offset, also for UTC.
QString IsoTimeWithOffset(const QDateTime& time);

// True for a data row that says a meter was not read ("Error", "Error (ID)").
bool IsErrorRow(const QStringList& cells);

} // namespace quorven
