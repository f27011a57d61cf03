// SPDX-License-Identifier: GPL-3.0-or-later
// Identifying STX meters and reading their values into the data table.
#include "operations/stx_meters.h"

#include "interpret/hex.h"
#include "tables/table_layouts.h"

#include <algorithm>
#include <string>

namespace quorven {

namespace {

using CellText = GridModel::CellText;
using Description = StxMeterDescription;

// Between two requests a meter gets this pause.
constexpr std::uint16_t kPauseBetweenRequestsMs = 40;
// Sent at the line's M-Bus settings before the identification requests.
constexpr char kWakeUpByte = static_cast<char>(0xFF);

// The register blocks, by their first register.
constexpr std::uint16_t kVersionBlock = 0x00FF;
constexpr std::uint16_t kConfigurationBlock = 0x003F;
constexpr std::uint16_t kInputBlock = 0x017F;
constexpr std::uint16_t kCurrentBlock = 0x011F;
constexpr std::uint16_t kPowerBlock = 0x013F;
constexpr std::uint16_t kAuxUnitBlock = 0x015F;
constexpr std::array<std::uint16_t, 3> kIdentificationBlocks{kVersionBlock, kConfigurationBlock,
                                                             kInputBlock};
// Stored values k = 1..6, each block with storage numbers 2k - 1 and 2k.
constexpr std::array<std::uint16_t, 6> kStoredBlocks{0x06FF, 0x0707, 0x071F,
                                                     0x0727, 0x072F, 0x0737};

// An auxiliary input with this resolution code is not fitted.
constexpr std::uint8_t kNoInput = 3;
// The flow register pair: its top bit is the flow flag, not a digit.
constexpr int kFlowFlagByte = 17;
constexpr std::uint8_t kFlowFlagBit = 0x80;
constexpr std::uint32_t kFlowValueMask = 0x7FFF'FFFF;
// Block 015Fh: the unit codes of auxiliary inputs A (low) and B (high nibble).
constexpr int kAuxUnitByte = 9;

// A nibble of an identification block, printed as two hex digits.
struct NibbleField {
    std::uint16_t block;
    const char* label;
    int byte;
    bool high;
    std::uint8_t Description::*member;
};
constexpr std::array<NibbleField, 8> kNibbleFields{{
    {kVersionBlock, "SXVERSION: ", 4, false, &Description::SXVERSION},
    {kConfigurationBlock, "SXREG00: ", 3, false, &Description::SXREG00},
    {kConfigurationBlock, "SXREG09: ", 7, true, &Description::SXREG09},
    {kConfigurationBlock, "SXREG10: ", 10, false, &Description::SXREG10},
    {kConfigurationBlock, "SXREG11: ", 10, true, &Description::SXREG11},
    {kInputBlock, "SXREG18: ", 5, true, &Description::SXREG18},
    {kInputBlock, "SXMEDIA1: ", 5, false, &Description::SXMEDIA1},
    {kInputBlock, "SXFACT1: ", 6, true, &Description::SXFACT1},
}};

// A bit of an identification block; printed as 1 or 0 when it has a label.
struct FlagField {
    std::uint16_t block;
    const char* label;
    int byte;
    int bit;
    bool Description::*member;
};
constexpr std::array<FlagField, 4> kFlagFields{{
    {kConfigurationBlock, "SXAUXUNIT: ", 9, 4, &Description::SXAUXUNIT},
    {kConfigurationBlock, nullptr, 7, 3, &Description::mjFlag},
    {kConfigurationBlock, nullptr, 6, 5, &Description::storedValues},
    {kConfigurationBlock, nullptr, 5, 6, &Description::rangeFlag},
}};

// The selector values of the counter variant.
constexpr std::uint8_t kCounterVersion = 0;
constexpr std::uint8_t kCounterReg00 = 2;
constexpr std::uint8_t kCounterReg18 = 0;

QString Line(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

// Where the rows go and which are wanted: a row is written only when the
// selection holds its record number, which advances with every row written.
struct StxMeters::Rows {
    int row = 1;
    int number = 1;
    std::uint64_t selection = 0;

    bool Holds(int record) const {
        return record >= 1 && record <= 64 && ((selection >> (record - 1)) & 1U) != 0;
    }
};

std::optional<StxMeters::Block> StxMeters::Request(std::uint8_t address,
                                                   std::uint16_t firstRegister) {
    ctx_.reporter.Wait_ms(kPauseBetweenRequestsMs);
    TMB_Sio& link = ctx_.link;
    link.ClearRawHexText();
    link.ClearFrameHexText();
    link.StxReadRegisters(address, firstRegister);
    ctx_.reporter.TxProtocol(link.TxBuffer());
    ctx_.reporter.RxProtocol(link.RxBuffer());
    if (link.LastResult() != LinkResult::Ok) {
        return std::nullopt;
    }
    Block block;
    std::copy_n(link.RxBuffer().begin(), kStxAnswerSize, block.bytes.begin());
    return block;
}

void StxMeters::TakeFields(std::uint16_t firstRegister, const Block& block) {
    for (const NibbleField& field : kNibbleFields) {
        if (field.block == firstRegister) {
            const std::uint8_t b = block.byte(field.byte);
            const auto value = static_cast<std::uint8_t>(field.high ? b >> 4 : b & 0x0F);
            meter_.*field.member = value;
            ctx_.trace.append(Line(field.label + HexByte(value)));
        }
    }
    for (const FlagField& field : kFlagFields) {
        if (field.block == firstRegister) {
            const bool set = ((block.byte(field.byte) >> field.bit) & 1) != 0;
            meter_.*field.member = set;
            if (field.label != nullptr) {
                ctx_.trace.append(Line(field.label + std::string(set ? "1" : "0")));
            }
        }
    }
    if (firstRegister == kVersionBlock) {
        meter_.energyValue = block.pair(6);
    } else if (firstRegister == kInputBlock) {
        meter_.SXWFACT = block.r(0);
        ctx_.trace.append(Line("SXWFACT: " + std::to_string(meter_.SXWFACT)));
    }
}

bool StxMeters::STXTest(std::uint8_t address) {
    // Nothing of the meter read before carries over, the variant least of all.
    meter_ = {};
    TMB_Sio& link = ctx_.link;
    link.OpenPort();
    if (SerialPort* port = link.Port()) {
        port->write(QByteArray(1, kWakeUpByte));
    }
    bool answered = true;
    for (const std::uint16_t block : kIdentificationBlocks) {
        if (const auto answer = Request(address, block)) {
            TakeFields(block, *answer);
        } else {
            answered = false;
        }
    }
    if (answered && meter_.SXVERSION == kCounterVersion && meter_.SXREG00 == kCounterReg00 &&
        meter_.SXREG18 == kCounterReg18) {
        meter_.variant = StxVariant::Counter;
    }
    return answered;
}

bool StxMeters::STXToGrid(std::uint8_t address) {
    Rows rows{ctx_.filling.NextRow(), 1, 0};
    const bool tested = STXTest(address);
    rows.selection = ctx_.filling.Check_Dataset();
    const bool standard = meter_.variant == StxVariant::Standard;
    if (rows.Holds(1) && standard) {
        if (tested) {
            WriteValueRow(rows, SXEnergy(meter_.energyValue, meter_), "energy");
        } else {
            WriteErrorRow(rows, "energy");
        }
    }
    if (!tested) {
        return false;
    }

    const auto current = Request(address, kCurrentBlock);
    const bool flowFlag = current && (current->byte(kFlowFlagByte) & kFlowFlagBit) != 0;
    // Volume and the auxiliary inputs count pulses unless a standard meter
    // measures them itself.
    const bool counters = !standard || meter_.SXAUXUNIT;
    if (rows.Holds(2)) {
        const std::uint32_t raw = current ? current->pair(2) : 0;
        StxValue value = SXVolume(raw, meter_.SXREG09);
        std::string_view description = "volume";
        if (counters) {
            const StxCounterMedium medium = StxCounterMediumOf(meter_.SXMEDIA1);
            value = SXCounter(raw, meter_.SXFACT1);
            value.unit = medium.unit;
            description = medium.description;
        }
        if (current) {
            WriteValueRow(rows, value, description);
        } else {
            WriteErrorRow(rows, description);
        }
    }
    if (!current) {
        return false;
    }
    if (standard && rows.Holds(3)) {
        WriteValueRow(rows, StxTemperature(current->r(4)), "temperature");
    }
    if (standard && rows.Holds(4)) {
        WriteValueRow(rows, StxTemperature(current->r(5)), "temperature");
    }
    if (standard && rows.Holds(5)) {
        WriteValueRow(rows, SXFlow(current->pair(6) & kFlowValueMask, meter_, flowFlag),
                      "volume flow");
    }

    std::optional<Block> units;
    if (counters) {
        units = Request(address, kAuxUnitBlock);
    }
    const auto power = Request(address, kPowerBlock);
    if (standard && rows.Holds(6)) {
        if (power) {
            WriteValueRow(rows, SXPower(power->r(0), meter_, flowFlag), "power");
        } else {
            WriteErrorRow(rows, "power");
        }
    }
    if (!power || (counters && !units)) {
        return false;
    }

    WriteAuxInputs(rows, *power, counters ? units->byte(kAuxUnitByte) : 0, counters);
    if (meter_.storedValues && !ReadStoredValues(address, rows)) {
        return false;
    }
    if (rows.Holds(1)) {
        WriteErrorWordRow(rows, current->r(0));
    }
    return true;
}

void StxMeters::WriteAuxInputs(Rows& rows, const Block& power, std::uint8_t unitCodes,
                               bool counters) {
    struct AuxInput {
        int record;
        std::uint8_t code;
        int pair;
        int unitCode;
        std::string_view description;
    };
    const std::array<AuxInput, 2> inputs{{{7, meter_.SXREG10, 2, unitCodes & 0x0F, "Aux. A"},
                                          {8, meter_.SXREG11, 4, unitCodes >> 4, "Aux. B"}}};
    for (const AuxInput& input : inputs) {
        if (!rows.Holds(input.record) || input.code == kNoInput) {
            continue;
        }
        const std::uint32_t raw = power.pair(input.pair);
        StxValue value = SXVolume(raw, input.code);
        if (counters) {
            value = SXCounter(raw, input.code);
            value.unit = StxCounterMediumOf(input.unitCode).unit;
        }
        WriteValueRow(rows, value, input.description);
    }
}

bool StxMeters::ReadStoredValues(std::uint8_t address, Rows& rows) {
    // Rows here are wanted by the number they would get.
    for (std::size_t k = 0; k < kStoredBlocks.size(); ++k) {
        const auto stored = Request(address, kStoredBlocks[k]);
        const int older = 2 * static_cast<int>(k) + 1;
        if (rows.Holds(rows.number)) {
            if (stored) {
                WriteValueRow(rows, SXEnergy(stored->pair(2), meter_), "energy", older);
            } else {
                WriteErrorRow(rows, "energy", older);
            }
        }
        if (!stored) {
            return false;
        }
        if (rows.Holds(rows.number)) {
            WriteValueRow(rows, SXVolume(stored->pair(0), meter_.SXREG09), "volume", older);
        }
        if (rows.Holds(rows.number)) {
            WriteValueRow(rows, SXEnergy(stored->pair(6), meter_), "energy", older + 1);
        }
        if (rows.Holds(rows.number)) {
            WriteValueRow(rows, SXVolume(stored->pair(4), meter_.SXREG09), "volume", older + 1);
        }
    }
    return true;
}

void StxMeters::WriteValueRow(Rows& rows, const StxValue& value, std::string_view description,
                              int storage) {
    ctx_.trace.append(Line(value.text + " " + value.unit));
    const std::string storageText = std::to_string(storage);
    const std::array<CellText, 7> cells{{{kDataValue, value.text},
                                         {kDataUnit, value.unit},
                                         {kDataDescription, description},
                                         {kDataFunction, "instant."},
                                         {kDataSubunit, "0"},
                                         {kDataStorage, storageText},
                                         {kDataTariff, "0"}}};
    WriteCells(rows, cells);
}

void StxMeters::WriteErrorRow(Rows& rows, std::string_view description, int storage) {
    // The unit cell is left as it was.
    const std::string storageText = std::to_string(storage);
    const std::array<CellText, 6> cells{{{kDataValue, "error"},
                                         {kDataDescription, description},
                                         {kDataFunction, "instant."},
                                         {kDataSubunit, "0"},
                                         {kDataStorage, storageText},
                                         {kDataTariff, "0"}}};
    WriteCells(rows, cells);
}

void StxMeters::WriteErrorWordRow(Rows& rows, std::uint16_t errorWord) {
    const std::string value = "$" + HexByte(static_cast<std::uint8_t>(errorWord >> 8)) +
                              HexByte(static_cast<std::uint8_t>(errorWord & 0xFF));
    const std::array<CellText, 7> cells{{{kDataValue, value},
                                         {kDataUnit, ""},
                                         {kDataDescription, "ERRORS flag"},
                                         {kDataFunction, ""},
                                         {kDataSubunit, ""},
                                         {kDataStorage, ""},
                                         {kDataTariff, ""}}};
    WriteCells(rows, cells);
}

void StxMeters::WriteCells(Rows& rows, std::span<const CellText> cells) {
    const ReadContext& read = ctx_.read;
    const std::string place = read.installationPlace.toStdString();
    const std::string date = read.dateText.toStdString();
    const std::string time = read.timeText.toStdString();
    const std::string address = read.primaryAddressText.toStdString();
    const std::string id = read.idText.toStdString();
    const std::string number = std::to_string(rows.number);
    const std::array<CellText, 7> located{{{kDataPlace, place},
                                           {kDataDate, date},
                                           {kDataTime, time},
                                           {kDataAddress, address},
                                           {kDataId, id},
                                           {kDataManufacturer, "STX"},
                                           {kDataNumber, number}}};
    ctx_.filling.WriteRow(rows.row, located);
    ctx_.filling.WriteRow(rows.row, cells);
    ++rows.row;
    ++rows.number;
    ctx_.tables.setDataWritePosition(ctx_.tables.dataWritePosition() + 1);
}

} // namespace quorven
