// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The data table the benchmarks work on.

#include "tables/grid_model.h"
#include "tables/table_layouts.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quorven::bench {

// A data table like a logging session makes: a status row after every six
// records, values, units and descriptions varying from row to row.
inline std::unique_ptr<GridModel> MakeLoggingTable(int rowCount) {
    static const char* const kUnits[] = {"m^3", "kWh", "°C", "l/h", "", "W"};
    static const char* const kDescriptions[] = {"Volume",      "Energy",      "Flow temperature",
                                                "Volume flow", "M-Bus state", "Power"};
    std::vector<CompactRow> rows;
    rows.reserve(static_cast<std::size_t>(rowCount) + 1);
    std::string text;
    std::vector<std::uint32_t> ends;
    const auto cell = [&](const std::string& s) {
        text += s;
        ends.push_back(static_cast<std::uint32_t>(text.size()));
    };
    for (std::string_view h : kDataHeaders) {
        cell(std::string(h));
    }
    rows.emplace_back(text, ends);
    for (int r = 1; r <= rowCount; ++r) {
        text.clear();
        ends.clear();
        const int record = (r - 1) % 7;
        const int meter = (r - 1) / 7;
        cell("Beép.hely " + std::to_string(meter % 250));
        cell("06.12.24");
        cell(std::to_string(10 + meter % 14) + ":" + std::to_string(10 + meter % 50) + ":00");
        cell(std::to_string(meter % 250));
        cell(std::to_string(10000000 + meter % 89999999));
        cell("EMH");
        cell(std::to_string(record + 1));
        cell(record == 6 ? "$00" : std::to_string(r % 100000) + "." + std::to_string(r % 1000));
        cell(kUnits[record % 6]);
        cell(kDescriptions[record % 6]);
        cell(record == 6 ? "" : "instant.");
        cell(record == 6 ? "" : "0");
        cell(record == 6 ? "" : std::to_string(record % 2));
        cell(record == 6 ? "" : "0");
        rows.emplace_back(text, ends);
    }
    auto table = std::make_unique<GridModel>(kDataColumnCount);
    table->ReplaceRows(std::move(rows), kDataColumnCount);
    return table;
}

} // namespace quorven::bench
