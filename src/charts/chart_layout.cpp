// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/chart_layout.h"

#include <algorithm>
#include <cstddef>

namespace quorven {

std::vector<const ChartSeries*> SelectSeries(const ChartData& data,
                                             std::span<const ChartMeter> meters,
                                             std::span<const ChartRecord> records) {
    std::vector<const ChartSeries*> out;
    for (const ChartSeries& s : data.series()) {
        if (!s.points.empty() && std::find(meters.begin(), meters.end(), s.meter) != meters.end() &&
            std::find(records.begin(), records.end(), s.record) != records.end()) {
            out.push_back(&s);
        }
    }
    return out;
}

std::vector<ChartPanel> ArrangeCharts(std::span<const ChartSeries* const> series) {
    std::vector<QString> units;
    for (const ChartSeries* s : series) {
        const QString unit = s->record.unit.trimmed();
        if (std::find(units.begin(), units.end(), unit) == units.end()) {
            units.push_back(unit);
        }
    }
    std::vector<ChartPanel> panels((units.size() + kUnitsPerChart - 1) / kUnitsPerChart);
    for (std::size_t u = 0; u < units.size(); ++u) {
        panels[u / kUnitsPerChart].units.push_back(units[u]);
    }
    for (const ChartSeries* s : series) {
        const auto u = static_cast<std::size_t>(
            std::find(units.begin(), units.end(), s->record.unit.trimmed()) - units.begin());
        ChartPanel& panel = panels[u / kUnitsPerChart];
        panel.series.push_back(s);
        panel.axis.push_back(static_cast<int>(u % kUnitsPerChart));
    }
    return panels;
}

} // namespace quorven
