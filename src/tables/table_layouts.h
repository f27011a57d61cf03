// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string_view>

namespace quorven {

// The columns of the slave list, the data table and the zoom table: header
// texts (UTF-8) and, for the slave list, how the user may edit each column.

enum class CellEditor { None, PlainText, DropDown, Masked };

struct SlaveColumn {
    std::string_view header;
    CellEditor editor; // None: the user may not edit the column
    std::string_view editMask;
};

enum SlaveColumns : int {
    kSlavePlace = 0,
    kSlaveAddress = 1,
    kSlaveId = 2,
    kSlaveBaud = 3,
    kSlaveManufacturer = 4,
    kSlaveVersion = 5,
    kSlaveMedium = 6,
    kSlaveSelection = 7,
    kSlavePort = 8,
    kSlaveColumnCount = 9,
};

inline constexpr std::array<SlaveColumn, kSlaveColumnCount> kSlaveColumnLayout = {{
    {"Beép.hely", CellEditor::PlainText, ""},
    {"Mbus cím", CellEditor::Masked, "!999;0; "},
    {"Gy.sz.", CellEditor::Masked, "!99999999;0; "},
    {"Baud", CellEditor::DropDown, ""},
    {"Gyártó", CellEditor::Masked, "!ccc;0; "},
    {"Változat", CellEditor::None, ""},
    {"Közeg", CellEditor::None, ""},
    {"adatcsomag", CellEditor::PlainText, ""},
    {"COM port", CellEditor::PlainText, ""},
}};

// The items of the Baud column's drop-down list, in this order.
inline constexpr std::array<std::string_view, 4> kBaudItems = {"300", "2400", "9600", "38400"};

enum DataColumns : int {
    kDataPlace = 0,
    kDataDate = 1,
    kDataTime = 2,
    kDataAddress = 3,
    kDataId = 4,
    kDataManufacturer = 5,
    kDataNumber = 6,
    kDataValue = 7,
    kDataUnit = 8,
    kDataDescription = 9,
    kDataFunction = 10,
    kDataSubunit = 11,
    kDataStorage = 12,
    kDataTariff = 13,
    kDataColumnCount = 14,
};

inline constexpr std::array<std::string_view, kDataColumnCount> kDataHeaders = {
    "Beép.hely", "dátum",  "időpont", "Mbus cím", "ID-no.", "Gyártó",       "Szám",
    "érték",     "egység", "leírás",  "tipus",    "modul",  "állapot szám", "tarifa",
};

} // namespace quorven
