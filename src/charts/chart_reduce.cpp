// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/chart_reduce.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

namespace quorven {

std::vector<ChartPoint> ReducePoints(std::span<const ChartPoint> points, ChartRange range,
                                     int columns) {
    const auto byTime = [](const ChartPoint& p, double t) { return p.time < t; };
    const auto first = std::lower_bound(points.begin(), points.end(), range.from, byTime);
    const auto last = std::upper_bound(points.begin(), points.end(), range.to,
                                       [](double t, const ChartPoint& p) { return t < p.time; });
    std::vector<ChartPoint> out;
    if (first != points.begin()) {
        out.push_back(*(first - 1));
    }
    const auto inside = static_cast<std::size_t>(last - first);
    columns = std::max(columns, 1);
    if (inside <= 2 * static_cast<std::size_t>(columns) || !(range.to > range.from)) {
        out.insert(out.end(), first, last);
    } else {
        const double perColumn = columns / (range.to - range.from);
        auto it = first;
        while (it != last) {
            const auto column = std::min(
                static_cast<int>(std::floor((it->time - range.from) * perColumn)), columns - 1);
            auto low = it;
            auto high = it;
            for (++it; it != last; ++it) {
                if (std::min(static_cast<int>(std::floor((it->time - range.from) * perColumn)),
                             columns - 1) != column) {
                    break;
                }
                if (it->value < low->value) {
                    low = it;
                }
                if (it->value > high->value) {
                    high = it;
                }
            }
            out.push_back(*std::min(low, high));
            if (low != high) {
                out.push_back(*std::max(low, high));
            }
        }
    }
    if (last != points.end()) {
        out.push_back(*last);
    }
    return out;
}

ChartRange TimeRange(std::span<const ChartSeries* const> series) {
    double from = std::numeric_limits<double>::infinity();
    double to = -from;
    for (const ChartSeries* s : series) {
        if (!s->points.empty()) {
            from = std::min(from, s->points.front().time);
            to = std::max(to, s->points.back().time);
        }
    }
    return from <= to ? ChartRange{from, to} : ChartRange{};
}

} // namespace quorven
