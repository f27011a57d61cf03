// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/chart_data.h"

#include "charts/chart_value.h"
#include "tables/csv_reader.h"
#include "tables/grid_model.h"
#include "tables/table_layouts.h"

#include <algorithm>
#include <charconv>

namespace quorven {

namespace {

QString Text(const CompactRow& row, int column) {
    const std::string_view cell = row.cell(column);
    return QString::fromUtf8(cell.data(), static_cast<qsizetype>(cell.size()));
}

bool IsHeaderRow(const CompactRow& row) {
    for (int c = 0; c < kDataColumnCount; ++c) {
        if (row.cell(c) != kDataHeaders[static_cast<std::size_t>(c)]) {
            return false;
        }
    }
    return true;
}

// Puts the point in time order; false when its moment is already there.
bool Insert(std::vector<ChartPoint>& points, ChartPoint p) {
    if (points.empty() || points.back().time < p.time) {
        points.push_back(p); // the usual case: rows come in time order
        return true;
    }
    const auto at = std::lower_bound(points.begin(), points.end(), p.time,
                                     [](const ChartPoint& q, double t) { return q.time < t; });
    if (at != points.end() && at->time == p.time) {
        return false;
    }
    points.insert(at, p);
    return true;
}

// The cells that tell a series apart, in one text.
void SeriesKey(const CompactRow& row, std::string& key) {
    key.clear();
    for (const int column : {kDataPlace, kDataId, kDataNumber, kDataDescription, kDataUnit}) {
        key += row.cell(column);
        key += '\x1f';
    }
}

} // namespace

QString ChartSeries::name() const {
    QString text = meter.place + u' ' + meter.id + QStringLiteral(": ") +
                   QString::number(record.number) + u' ' + record.description;
    if (const QString unit = record.unit.trimmed(); !unit.isEmpty()) {
        text += QStringLiteral(" [") + unit + u']';
    }
    return text;
}

void ChartData::AddRow(const CompactRow& row) {
    if (row.cellCount() == 0) {
        return;
    }
    const auto value = ChartNumber(row.cell(kDataValue));
    if (!value) {
        ++withoutNumber_;
        return;
    }
    const auto moment = ChartMoment(row.cell(kDataDate), row.cell(kDataTime));
    if (!moment) {
        ++withoutTime_;
        return;
    }
    SeriesKey(row, key_);
    auto found = index_.find(key_);
    if (found == index_.end()) {
        const std::string_view numberText = row.cell(kDataNumber);
        int number = 0;
        const auto [end, error] =
            std::from_chars(numberText.data(), numberText.data() + numberText.size(), number);
        if (error != std::errc() || end != numberText.data() + numberText.size()) {
            ++withoutNumber_; // a value row always carries its record number
            return;
        }
        ChartMeter meter{Text(row, kDataPlace), Text(row, kDataId)};
        ChartRecord record{number, Text(row, kDataDescription), Text(row, kDataUnit)};
        if (std::find(meters_.begin(), meters_.end(), meter) == meters_.end()) {
            meters_.push_back(meter);
        }
        if (std::find(records_.begin(), records_.end(), record) == records_.end()) {
            records_.push_back(record);
        }
        found = index_.emplace(key_, series_.size()).first;
        series_.push_back({std::move(meter), std::move(record), {}});
    }
    Insert(series_[found->second].points, {*moment, *value});
}

void ChartData::AddRows(const GridModel& table, int first, int last) {
    first = std::max(first, 1);
    last = std::min(last, table.RowCount() - 1);
    for (int r = first; r <= last; ++r) {
        AddRow(table.Row(r));
    }
}

const ChartSeries* ChartData::find(const ChartMeter& meter, const ChartRecord& record) const {
    const auto found = std::find_if(series_.begin(), series_.end(), [&](const ChartSeries& s) {
        return s.meter == meter && s.record == record;
    });
    return found == series_.end() ? nullptr : &*found;
}

std::size_t ChartData::pointCount() const {
    std::size_t n = 0;
    for (const ChartSeries& s : series_) {
        n += s.points.size();
    }
    return n;
}

QString SkippedRowsNote(const ChartData& data) {
    QStringList notes;
    if (data.rowsWithoutNumber() > 0) {
        notes << QStringLiteral("%1 rows without a number were skipped")
                     .arg(data.rowsWithoutNumber());
    }
    if (data.rowsWithoutTime() > 0) {
        notes << QStringLiteral("%1 rows without a date and time were skipped")
                     .arg(data.rowsWithoutTime());
    }
    return notes.join(QStringLiteral("; "));
}

ChartData ReadChartFile(const QString& fileName, QChar separator) {
    GridModel table(kDataColumnCount);
    LoadCsv(table, fileName, separator);
    ChartData data;
    if (!IsHeaderRow(table.Row(0))) {
        data.AddRow(table.Row(0));
    }
    data.AddRows(table, 1, table.RowCount() - 1);
    return data;
}

} // namespace quorven
