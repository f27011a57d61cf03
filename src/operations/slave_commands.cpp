// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/slave_commands.h"

#include "link/frames.h"
#include "operations/bus_line.h"
#include "operations/bus_pauses.h"
#include "operations/found_slave.h"
#include "operations/link_texts.h"
#include "operations/slave_cells.h"
#include "tables/table_layouts.h"

namespace quorven {

namespace {

constexpr int kMaxNewAddress = 250;
// A data send: a record of an 8-bit integer with the bus address VIF, and one
// of a 64-bit integer with the identification VIF (number, manufacturer,
// version, medium; FFh keeps a field).
constexpr std::uint8_t kDifInt8 = 0x01;
constexpr std::uint8_t kVifBusAddress = 0x7A;
constexpr std::uint8_t kDifInt64 = 0x07;
constexpr std::uint8_t kVifIdentification = 0x79;
constexpr char kKeep = static_cast<char>(0xFF);

} // namespace

bool SlaveCommands::IsMeterRow(int row) const {
    return row >= 1 && row <= c_.tables.SlaveCount();
}

QString SlaveCommands::Cell(int column, int row) const {
    return c_.tables.slaveList().Cell(column, row);
}

void SlaveCommands::RowSetup(int row) {
    PrepareLine(c_, o_, Cell(kSlavePort, row), BaudIndexOf(Cell(kSlaveBaud, row)));
    c_.run.stop = false;
    c_.reporter.Wait_ms(kLineSettleMs);
}

void SlaveCommands::PanelSetup() {
    PrepareLine(c_, o_, o_.MB1Port_ComboBox, SearchBaudIndexOf(o_.SB_ComboBox));
    c_.run.stop = false;
    c_.link.SetRetryCount(1);
    c_.reporter.Wait_ms(kLineSettleMs);
}

void SlaveCommands::Finish() {
    c_.link.SetRetryCount(3);
    ReleaseLine(c_);
}

void SlaveCommands::Send(Command command, std::uint8_t address) {
    ClearHexTexts(c_);
    if (command == Command::SndNke) {
        c_.link.SndNke(address);
    } else {
        c_.link.ApplReset(address);
    }
    TraceExchange(c_);
}

void SlaveCommands::Select(const IdBytes& id) {
    TMB_Sio& link = c_.link;
    link.SetFcbBit(1);
    ClearHexTexts(c_);
    link.SelectById(id);
    link.SetFcbBit(1);
    TraceExchange(c_);
    c_.reporter.Show_Error();
    c_.reporter.Wait_ms(kExchangePauseMs);
}

void SlaveCommands::SetPaddr1Click(int row) {
    o_ = c_.options;
    c_.trace.append(QStringLiteral("Try to set primary address!"));
    if (!IsMeterRow(row)) {
        return;
    }
    const auto newAddress = AddressOf(Cell(kSlaveAddress, row));
    const auto id = IdCellBytes(Cell(kSlaveId, row));
    if (!newAddress || !id) {
        c_.trace.append(!newAddress ? AddressProblem(row, Cell(kSlaveAddress, row))
                                    : IdProblem(row, Cell(kSlaveId, row)));
        return;
    }
    if (*newAddress > kMaxNewAddress) {
        return;
    }
    RowSetup(row);
    c_.link.SetRetryCount(3);
    Select(*id);
    ClearHexTexts(c_);
    const char data[] = {kDifInt8, kVifBusAddress, static_cast<char>(*newAddress)};
    c_.link.SndUD(kSelectedSlaveAddress, kCiDataSend, QByteArray(data, sizeof data));
    TraceExchange(c_);
    c_.reporter.Show_Error();
    Finish();
}

void SlaveCommands::S1Click(int row) {
    o_ = c_.options;
    c_.trace.append(QStringLiteral("Try to set ID!"));
    if (!IsMeterRow(row)) {
        return;
    }
    const auto address = AddressOf(Cell(kSlaveAddress, row));
    const auto id = IdCellBytes(Cell(kSlaveId, row));
    if (!address || !id) {
        c_.trace.append(!address ? AddressProblem(row, Cell(kSlaveAddress, row))
                                 : IdProblem(row, Cell(kSlaveId, row)));
        return;
    }
    if (*address > kMaxNewAddress) {
        return;
    }
    RowSetup(row);
    TMB_Sio& link = c_.link;
    link.SetRetryCount(3);
    QByteArray data;
    data.append(static_cast<char>(kDifInt64)).append(static_cast<char>(kVifIdentification));
    data.append(reinterpret_cast<const char*>(id->data()), 4).append(3, kKeep);
    const auto to = static_cast<std::uint8_t>(*address);
    link.SetFcbBit(1);
    ClearHexTexts(c_);
    link.ReqUD2(to);
    TraceExchange(c_);
    c_.reporter.Show_Error();
    // Without an answer the medium of the meter is not known: any other
    // would be written into it.
    if (link.LastResult() == LinkResult::Ok) {
        data.append(static_cast<char>(link.SlaveMedium()));
        c_.reporter.Wait_ms(kExchangePauseMs);
        link.SetFcbBit(1);
        ClearHexTexts(c_);
        link.SndUD(to, kCiDataSend, data);
        TraceExchange(c_);
        c_.reporter.Show_Error();
    }
    Finish();
}

void SlaveCommands::SndNke1Click(int row) {
    o_ = c_.options;
    c_.trace.append(QStringLiteral("SND_NKE to address!"));
    ToAddress(row, Command::SndNke);
}

void SlaveCommands::AppRes1Click(int row) {
    o_ = c_.options;
    c_.trace.append(QStringLiteral("Appl. Reset to address!"));
    ToAddress(row, Command::ApplReset);
}

void SlaveCommands::ToAddress(int row, Command command) {
    if (!IsMeterRow(row)) {
        return;
    }
    const auto address = CellNumberOf(Cell(kSlaveAddress, row));
    if (!address) {
        c_.trace.append(AddressProblem(row, Cell(kSlaveAddress, row)));
        return;
    }
    // Beyond 255 the address byte would reach another meter (300 is 44):
    // such a row is reached by its identification number, as one with 0.
    const bool byId = *address < 1 || *address > kBroadcastAddress;
    const auto id = IdCellBytes(Cell(kSlaveId, row));
    if (byId && !id) {
        c_.trace.append(IdProblem(row, Cell(kSlaveId, row)));
        return;
    }
    RowSetup(row);
    c_.link.SetRetryCount(3);
    if (byId) {
        Select(*id);
        Send(command, kSelectedSlaveAddress);
    } else {
        Send(command, static_cast<std::uint8_t>(*address));
    }
    Finish();
}

void SlaveCommands::SndNkeAll1Click() {
    o_ = c_.options;
    ToAll(Command::SndNke);
}

void SlaveCommands::AppResAll1Click() {
    o_ = c_.options;
    ToAll(Command::ApplReset);
}

void SlaveCommands::ToAll(Command command) {
    PanelSetup();
    Send(command, kBroadcastAddress);
    if (o_.SB_ComboBox == kSearchBoth) {
        c_.link.SetBaud(kBaudIndex2400);
        c_.trace.append(command == Command::SndNke
                            ? QStringLiteral("SND_NKE to all (255) with 2400 baud!")
                            : QStringLiteral("Appl. Reset to all (255) with 2400 baud!"));
        c_.reporter.Wait_ms(kBetweenBroadcastsMs);
        Send(command, kBroadcastAddress);
    }
    Finish();
}

void SlaveCommands::ReadPAdr01Click() {
    o_ = c_.options;
    PanelSetup();
    ReadContext& read = c_.read;
    const QDateTime now = c_.wallClock.Now(c_.clock);
    read.dateText = WallClock::DateText(now);
    read.timeText = WallClock::TimeText(now);
    ClearHexTexts(c_);
    c_.link.ReqUD2(0);
    TraceExchange(c_);
    c_.reporter.Show_Error();
    Finish();
    if (c_.link.LastResult() == LinkResult::Ok) {
        StoreAnswer(c_);
        // Whatever meter answered: its rows carry nothing of another slave.
        read.installationPlace.clear();
        read.primaryAddressText = QStringLiteral("0");
        read.idText.clear();
        read.recordSelection.clear();
        read.recordOffset = 0;
        c_.filling.MBusToGrid();
    }
    if (c_.tables.dataTable().RowCount() > 1) {
        c_.indicators.DataTableFilled();
    }
}

void SlaveCommands::Testslave1Click(int row) {
    o_ = c_.options;
    c_.trace.append(QStringLiteral("Test slave started!"));
    if (!IsMeterRow(row)) {
        return;
    }
    const auto address = AddressOf(Cell(kSlaveAddress, row));
    const bool byId = address && (*address == 0 || *address > kTestAddress);
    const auto id = IdCellBytes(Cell(kSlaveId, row));
    if (!address || (byId && !id)) {
        c_.trace.append(!address ? AddressProblem(row, Cell(kSlaveAddress, row))
                                 : IdProblem(row, Cell(kSlaveId, row)));
        return;
    }
    RowSetup(row);
    TMB_Sio& link = c_.link;
    const auto to = byId ? kBroadcastAddress : static_cast<std::uint8_t>(*address);
    if (o_.AppRes_CheckBox) {
        link.SetRetryCount(1);
        Send(Command::ApplReset, to);
        c_.reporter.Wait_ms(kExchangePauseMs);
    }
    if (o_.SND_NKE_CheckBox) {
        link.SetRetryCount(1);
        Send(Command::SndNke, to);
    }
    link.SetRetryCount(3);
    if (byId) {
        link.SetFcbBit(1);
        ClearHexTexts(c_);
        link.SelectById(*id);
        link.SetFcbBit(1);
        TraceExchange(c_);
    }
    c_.reporter.Wait_ms(kExchangePauseMs);
    ClearHexTexts(c_);
    link.ReqUD2(byId ? kSelectedSlaveAddress : to);
    TraceExchange(c_);
    c_.reporter.Show_Error();
    if (TestRow(row, *address)) {
        c_.indicators.SlaveListFilled();
        c_.trace.append(QStringLiteral("Test slave finished!"));
        c_.indicators.ShowProgress(1, 100);
    }
    Finish();
}

bool SlaveCommands::TestRow(int row, int address) {
    if (c_.reporter.Check_Error() != ResultClass::AnswerOk) {
        return false;
    }
    StoreAnswer(c_);
    Interpreter& in = c_.interpreter;
    if (!in.CheckTelegram()) {
        return false;
    }
    if (address != 0) {
        c_.trace.append(
            QStringLiteral("*** Slave found at primary address %1").arg(in.PrimaryAddress()));
    } else {
        c_.trace.append(QStringLiteral("*** Slave found at ID (secondary adress) ") +
                        QString::fromStdString(in.IdentNumber()));
    }
    WriteFoundSlave(c_, o_, &stx_, row,
                    address == 0 ? QStringLiteral("0") : QString::number(in.PrimaryAddress()));
    return true;
}

} // namespace quorven
