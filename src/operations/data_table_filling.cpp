// SPDX-License-Identifier: GPL-3.0-or-later
// Filling the data table from the telegram in the interpreter's buffer.
#include "operations/data_table_filling.h"
#include "interpret/hex.h"
#include "operations/record_selection.h"
#include "tables/table_layouts.h"

#include <algorithm>
#include <array>
#include <string>

namespace quorven {

namespace {

using CellText = GridModel::CellText;

std::string Utf8(const QString& text) {
    return text.toStdString();
}

} // namespace

int DataTableFilling::NextRow() const {
    // Row 0 is the header row; a write position left at 0 never overwrites it.
    return std::max(context_.writePositionFlag ? tables_.dataWritePosition()
                                               : tables_.dataTable().RowCount(),
                    1);
}

void DataTableFilling::WriteRow(int row, std::span<const CellText> cells) {
    GridModel& data = tables_.dataTable();
    if (row >= data.RowCount()) {
        data.SetRowCount(row + 1);
    }
    data.SetCellsUtf8(row, cells);
}

std::uint64_t DataTableFilling::Check_Dataset() const {
    return SelectedRecords(context_.recordSelection);
}

bool DataTableFilling::MBusToGrid() {
    Interpreter& in = interpreter_;
    ReadContext& ctx = context_;
    if (!in.CheckTelegram()) {
        trace_.append(QString::fromStdString(in.TelegramError()));
        return false;
    }
    const int n = in.CountRecords();
    const bool more = in.MoreRecordsFollow();
    const bool multi = options_.MultiTel_CheckBox;
    if (!multi) {
        ctx.recordOffset = 0;
    }
    // The status row is wanted whatever the selection says for a meter's
    // last telegram of a multi-telegram read, or for a read of every record.
    const bool statusRowMode = multi ? !more : ctx.recordSelection.isEmpty();
    if (n == 0) {
        return false;
    }

    int row = NextRow();
    const std::string place = Utf8(ctx.installationPlace);
    const std::string date = Utf8(ctx.dateText);
    const std::string time = Utf8(ctx.timeText);
    const std::string address = std::to_string(in.PrimaryAddress());
    const std::string id = in.IdentNumber();
    const std::string manufacturer = in.ManufacturerCode();

    bool lastRecordGood = false;
    for (int i = 1; i <= n; ++i) {
        const int entry = SelectionFront(ctx.recordSelection);
        if (entry != 0 && entry != i && !multi) {
            continue;
        }
        if (entry == i) {
            ConsumeSelectionFront(ctx.recordSelection);
        }
        const std::string number = std::to_string(ctx.recordOffset + i);
        const std::array<CellText, 4> located = {
            {{kDataPlace, place}, {kDataDate, date}, {kDataTime, time}, {kDataNumber, number}}};
        WriteRow(row, located);
        if (in.GetRecord(i - 1)) {
            const DecodedRecord& rec = in.CurrentRecord();
            const std::string subunit = std::to_string(rec.Subunit);
            const std::string storage = std::to_string(rec.StorageNumber);
            const std::string tariff = std::to_string(rec.Tariff);
            const std::array<CellText, 10> decoded = {{{kDataAddress, address},
                                                       {kDataId, id},
                                                       {kDataManufacturer, manufacturer},
                                                       {kDataValue, rec.Value},
                                                       {kDataUnit, rec.UnitText},
                                                       {kDataDescription, rec.Description},
                                                       {kDataFunction, rec.FunctionText},
                                                       {kDataSubunit, subunit},
                                                       {kDataStorage, storage},
                                                       {kDataTariff, tariff}}};
            WriteRow(row, decoded);
            lastRecordGood = true;
        } else {
            lastRecordGood = false;
            trace_.append(QStringLiteral("Error in data set: ") + QString::number(i));
        }
        ++row;
        tables_.setDataWritePosition(tables_.dataWritePosition() + 1);
    }

    if (lastRecordGood) {
        const int entry = SelectionFront(ctx.recordSelection);
        if (ctx.recordSelection.contains(u',')) {
            ConsumeSelectionFront(ctx.recordSelection);
        }
        if (statusRowMode || (entry == n + 1 && !multi)) {
            const std::string number = std::to_string(ctx.recordOffset + n + 1);
            const std::string status = "$" + HexByte(in.StatusByte());
            const std::array<CellText, 14> statusRow = {{{kDataPlace, place},
                                                         {kDataDate, date},
                                                         {kDataTime, time},
                                                         {kDataAddress, address},
                                                         {kDataId, id},
                                                         {kDataManufacturer, manufacturer},
                                                         {kDataNumber, number},
                                                         {kDataValue, status},
                                                         {kDataUnit, ""},
                                                         {kDataDescription, "M-Bus state"},
                                                         {kDataFunction, ""},
                                                         {kDataSubunit, ""},
                                                         {kDataStorage, ""},
                                                         {kDataTariff, ""}}};
            WriteRow(row, statusRow);
            tables_.setDataWritePosition(tables_.dataWritePosition() + 1);
        }
    }

    ctx.recordOffset = multi && more ? ctx.recordOffset + n : 0;
    if (more) {
        trace_.append(QStringLiteral("more"));
    }
    return true;
}

} // namespace quorven
