// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The series a chart can draw, read from rows of the data table or of a log
// file (the same columns): one series per meter and record, its points the
// rows' moments and values in time order.

#include "tables/compact_row.h"

#include <QString>

#include <cstddef>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace quorven {

class GridModel;

struct ChartPoint {
    double time; // milliseconds, see ChartMoment
    double value;
    bool operator==(const ChartPoint&) const = default;
};

// A meter: its installation place and identification number.
struct ChartMeter {
    QString place;
    QString id;
    bool operator==(const ChartMeter&) const = default;
    bool operator<(const ChartMeter& o) const {
        return std::tie(place, id) < std::tie(o.place, o.id);
    }
};

// A record of a meter: its number, description and unit.
struct ChartRecord {
    int number = 0;
    QString description;
    QString unit;
    bool operator==(const ChartRecord&) const = default;
    bool operator<(const ChartRecord& o) const {
        return std::tie(number, description, unit) < std::tie(o.number, o.description, o.unit);
    }
};

struct ChartSeries {
    ChartMeter meter;
    ChartRecord record;
    std::vector<ChartPoint> points; // by time; at most one point per moment
    // "Hőközpont 06855817: 2 energy [kWh]"
    QString name() const;
};

class ChartData {
public:
    // Takes one row of the table (columns as the data table's). A row that
    // is empty is ignored; a row whose value is no number, or whose date and
    // time are none, is counted and skipped; a row of a moment its series
    // already holds is the same reading seen again and changes nothing.
    void AddRow(const CompactRow& row);
    // The data rows first..last of a table (row 0, the header, never).
    void AddRows(const GridModel& table, int first, int last);

    // Series in the order their meters and records first appeared.
    const std::vector<ChartSeries>& series() const { return series_; }
    const ChartSeries* find(const ChartMeter& meter, const ChartRecord& record) const;
    // Every meter and every record (of any meter), in order of appearance.
    const std::vector<ChartMeter>& meters() const { return meters_; }
    const std::vector<ChartRecord>& records() const { return records_; }
    // Rows skipped because their value was no number, or their date and
    // time no moment.
    std::size_t rowsWithoutNumber() const { return withoutNumber_; }
    std::size_t rowsWithoutTime() const { return withoutTime_; }
    std::size_t pointCount() const;

private:
    std::vector<ChartSeries> series_;
    std::unordered_map<std::string, std::size_t> index_; // SeriesKey -> series_
    std::string key_;                                    // reused for every row
    std::vector<ChartMeter> meters_;
    std::vector<ChartRecord> records_;
    std::size_t withoutNumber_ = 0;
    std::size_t withoutTime_ = 0;
};

// The note under a chart about the rows it left out: "412 rows without a
// number were skipped"; empty when none were.
QString SkippedRowsNote(const ChartData& data);

// The chart of a log file: its rows (a first line holding the data table's
// headers is no row). Throws FileError when the file cannot be read.
ChartData ReadChartFile(const QString& fileName, QChar separator);

} // namespace quorven
