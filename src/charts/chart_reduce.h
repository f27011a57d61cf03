// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Fewer points that draw the same picture: a series of a million points is
// drawn through at most a few per pixel column of the view.

#include "charts/chart_data.h"

#include <span>
#include <vector>

namespace quorven {

struct ChartRange {
    double from = 0; // time, as ChartPoint::time
    double to = 0;
};

// The points of `points` (in time order) to draw between range.from and
// range.to on a view `columns` pixels wide: of the points falling into each
// pixel column, the lowest and the highest (so that a peak stays visible),
// in their time order; every point when there are no more than two per
// column. The last point before the range and the first after it come along,
// so the line runs to the view's edges. The result is a part of `points`, in
// the same order.
std::vector<ChartPoint> ReducePoints(std::span<const ChartPoint> points, ChartRange range,
                                     int columns);

// The time range of every point of the series; from == to for a single
// moment, {0, 0} without points.
ChartRange TimeRange(std::span<const ChartSeries* const> series);

} // namespace quorven
