// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Which series go into which chart: the meters and records the user picked,
// and at most two units (one value axis each) on one chart.

#include "charts/chart_data.h"

#include <QString>

#include <span>
#include <vector>

namespace quorven {

// The series of the picked meters and records that have points, in the
// data's order.
std::vector<const ChartSeries*> SelectSeries(const ChartData& data,
                                             std::span<const ChartMeter> meters,
                                             std::span<const ChartRecord> records);

inline constexpr int kUnitsPerChart = 2;

struct ChartPanel {
    std::vector<QString> units; // one value axis each: left, right
    std::vector<const ChartSeries*> series;
    // The axis (index into units) of each series.
    std::vector<int> axis;
};

// Units in the order of their first series; every two units a chart.
std::vector<ChartPanel> ArrangeCharts(std::span<const ChartSeries* const> series);

} // namespace quorven
