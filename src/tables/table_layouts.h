// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <array>
#include <string_view>

namespace quorven {

// The columns of the slave list, the data table and the zoom table: header
// texts (UTF-8) and, for the slave list, how the user may edit each column.
// The headers are the tables' row 0 and go into their files as they are; a
// window shows them in its language (translation context "GridHeaders").

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
    {QT_TRANSLATE_NOOP("GridHeaders", "Beép.hely"), CellEditor::PlainText, ""},
    {QT_TRANSLATE_NOOP("GridHeaders", "Mbus cím"), CellEditor::Masked, "!999;0; "},
    {QT_TRANSLATE_NOOP("GridHeaders", "Gy.sz."), CellEditor::Masked, "!99999999;0; "},
    {QT_TRANSLATE_NOOP("GridHeaders", "Baud"), CellEditor::DropDown, ""},
    {QT_TRANSLATE_NOOP("GridHeaders", "Gyártó"), CellEditor::Masked, "!ccc;0; "},
    {QT_TRANSLATE_NOOP("GridHeaders", "Változat"), CellEditor::None, ""},
    {QT_TRANSLATE_NOOP("GridHeaders", "Közeg"), CellEditor::None, ""},
    {QT_TRANSLATE_NOOP("GridHeaders", "adatcsomag"), CellEditor::PlainText, ""},
    {QT_TRANSLATE_NOOP("GridHeaders", "COM port"), CellEditor::PlainText, ""},
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
    QT_TRANSLATE_NOOP("GridHeaders", "Beép.hely"),    QT_TRANSLATE_NOOP("GridHeaders", "dátum"),
    QT_TRANSLATE_NOOP("GridHeaders", "időpont"),      QT_TRANSLATE_NOOP("GridHeaders", "Mbus cím"),
    QT_TRANSLATE_NOOP("GridHeaders", "ID-no."),       QT_TRANSLATE_NOOP("GridHeaders", "Gyártó"),
    QT_TRANSLATE_NOOP("GridHeaders", "Szám"),         QT_TRANSLATE_NOOP("GridHeaders", "érték"),
    QT_TRANSLATE_NOOP("GridHeaders", "egység"),       QT_TRANSLATE_NOOP("GridHeaders", "leírás"),
    QT_TRANSLATE_NOOP("GridHeaders", "tipus"),        QT_TRANSLATE_NOOP("GridHeaders", "modul"),
    QT_TRANSLATE_NOOP("GridHeaders", "állapot szám"), QT_TRANSLATE_NOOP("GridHeaders", "tarifa"),
};

} // namespace quorven
