// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/read_out.h"

#include "interpret/hex.h"
#include "link/ident_text.h"
#include "link/link_result.h"
#include "operations/slave_cells.h"
#include "tables/table_layouts.h"

#include <array>

namespace quorven {

namespace {

constexpr std::uint16_t kPauseMs = 200;
constexpr std::uint16_t kPortChangeMs = 1000;
constexpr std::uint16_t kEndPauseMs = 500;
constexpr std::uint8_t kBroadcastAddress = 255;
constexpr std::uint8_t kSelectedAddress = 253;
constexpr std::uint8_t kTestAddress = 254;
constexpr int kSecondaryPasses = 3;

QString SummaryText(int good, int total) {
    return QStringLiteral("%1 of %2 slaves read successfully.").arg(good).arg(total);
}

} // namespace

// One slave-list row as the read-out sends it.
struct ReadOut::Slave {
    int row = 0;
    int address = 0;
    QString expectedId; // the identification text padded to 8 characters
    IdBytes idBytes{};
    QString problem; // why the row cannot be sent, when it cannot
};

QString ReadOut::Cell(int column, int row) const {
    return c_.tables.slaveList().Cell(column, row);
}

void ReadOut::PrepareExchange() {
    c_.link.ClearRawHexText();
    c_.link.ClearFrameHexText();
}

void ReadOut::Trace() {
    c_.reporter.TxProtocol(c_.link.TxBuffer());
    c_.reporter.RxProtocol(c_.link.RxBuffer());
}

ReadOutSummary ReadOut::MBRead() {
    Interpreter& in = c_.interpreter;
    TMB_Sio& link = c_.link;
    RunState& run = c_.run;
    ReadContext& read = c_.read;

    in.ClearMoreRecordsFollow();
    link.SetRetryCount(3);
    c_.indicators.ShowProgress(1, 0);

    const int slaves = c_.tables.SlaveCount();
    int row = 1;
    int total = slaves;
    if (run.singleSlave) {
        // Only a meter row can be read: the header row, or no current row,
        // leaves nothing to read.
        row = run.singleSlaveRow;
        total = row >= 1 && row <= slaves ? 1 : 0;
    }
    ReadOutSummary summary;
    summary.total = total;
    // A cycle of polling or logging keeps its kind to its end: the rows a
    // logging cycle has read go into the log file also when Stop ends it
    // after its current slave.
    summary.pollingCycle = run.polling;
    summary.loggingToFile = run.logging && c_.options.LogFile_CheckBox;
    read.recordOffset = 0;

    if (total == 0) {
        run.stop = true;
        c_.trace.append(QStringLiteral("No Slaves found!"));
        c_.indicators.ShowBusy(false);
        c_.prompter.showMessage(SummaryText(0, 0), QStringLiteral("Read-out info"));
        run.singleSlave = false;
        summary.end = ReadOutSummary::End::NoSlaves;
        if (hooks_.ended) {
            hooks_.ended(summary);
        }
        return summary;
    }

    if (run.polling && !read.writePositionFlag) {
        c_.tables.ClearGrid2();
    }

    int remaining = total;
    int telegrams = 0;
    QString currentPort;
    QString currentBaud;
    while (remaining != 0 && !run.stop) {
        const Options& o = c_.options;
        read.installationPlace = Cell(kSlavePlace, row);
        read.primaryAddressText = Cell(kSlaveAddress, row);
        read.idText = Cell(kSlaveId, row);
        read.recordSelection = Cell(kSlaveSelection, row);

        const QString port = Cell(kSlavePort, row);
        if (port.size() < 4 || !port.startsWith(QLatin1String("COM"))) {
            const QString text = QStringLiteral("Wrong com-port in slave list");
            c_.trace.append(text);
            c_.indicators.ShowBusy(false);
            c_.prompter.showMessage(text, QStringLiteral("Com-port error"));
            run.singleSlave = false;
            summary.end = ReadOutSummary::End::WrongPort;
            if (hooks_.ended) {
                hooks_.ended(summary);
            }
            return summary;
        }
        currentPort = port;
        link.SetPort(port);
        link.SetStopBits1();
        if (o.NP_CheckBox) {
            link.SetParityNone();
        } else {
            link.SetParityEven();
        }
        currentBaud = Cell(kSlaveBaud, row);
        link.SetBaud(BaudIndexOf(currentBaud));

        Slave slave;
        slave.row = row;
        if (const auto address = AddressOf(read.primaryAddressText)) {
            slave.address = *address;
        } else {
            slave.problem =
                QStringLiteral("the primary address \"%1\" is not a number from 0 to 255")
                    .arg(read.primaryAddressText);
        }
        const QDateTime now = c_.wallClock.Now(c_.clock);
        read.dateText = WallClock::DateText(now);
        read.timeText = WallClock::TimeText(now);

        if (o.MDK_CheckBox) {
            link.SetRts(false);
            c_.reporter.Wait_ms(kPauseMs);
        } else {
            link.SetRts(true);
        }

        bool accepted = false;
        if (Cell(kSlaveManufacturer, row) == QLatin1String("STX") && slave.problem.isEmpty()) {
            // A register-protocol meter: no error row, and it counts as read
            // when its values came without an error.
            if (slave.address >= 1 && slave.address <= kTestAddress &&
                stx_.STXToGrid(static_cast<std::uint8_t>(slave.address))) {
                ++summary.good;
            } else if (slave.address == 0) {
                ReadSlave(slave, false);
            }
        } else {
            accepted = ReadSlave(slave, true);
            if (accepted) {
                if (!o.MultiTel_CheckBox || !in.MoreRecordsFollow()) {
                    ++summary.good;
                    read.recordOffset = 0;
                }
            } else {
                // A meter that answered wrongly says nothing more this time.
                in.ClearMoreRecordsFollow();
                WriteErrorRow(slave);
            }
        }

        c_.indicators.ShowProgress(1, row * 100 / total);

        bool again = o.MultiTel_CheckBox && accepted && in.MoreRecordsFollow();
        if (again && ++telegrams >= kMaxTelegramsPerSlave) {
            c_.trace.append(QStringLiteral("Row %1: %2 telegrams read, the meter still has more; "
                                           "going on with the next slave")
                                .arg(row)
                                .arg(kMaxTelegramsPerSlave));
            ++summary.good;
            again = false;
        }
        if (!again) {
            --remaining;
            in.ClearMoreRecordsFollow();
            read.recordOffset = 0;
            ++row;
            telegrams = 0;
        }

        if (link.IsPortOpen() && remaining >= 1 && !run.modemConnected &&
            (Cell(kSlavePort, row) != currentPort || Cell(kSlaveBaud, row) != currentBaud)) {
            // A modem connection keeps its port: closing it would drop the call.
            link.ClosePort();
            c_.reporter.Wait_ms(kPortChangeMs);
        }
    }
    return End(summary);
}

bool ReadOut::ReadSlave(Slave& slave, bool mbus) {
    TMB_Sio& link = c_.link;
    const bool bySecondary = slave.address == 0 || slave.address > kTestAddress;
    if (slave.problem.isEmpty() && bySecondary) {
        const QString id = c_.read.idText.trimmed().left(8);
        const auto bytes = IdTextToBytes(id);
        if (id.isEmpty() || !bytes) {
            slave.problem = QStringLiteral("the identification number \"%1\" is not hexadecimal")
                                .arg(c_.read.idText);
        } else {
            slave.idBytes = *bytes;
            slave.expectedId = id.rightJustified(8, u'0').toUpper();
        }
    }
    if (!slave.problem.isEmpty()) {
        // A cell read as 0 or as wildcards would select and read another meter.
        c_.trace.append(
            QStringLiteral("Row %1: %2; nothing sent").arg(slave.row).arg(slave.problem));
        return false;
    }
    if (bySecondary) {
        ReadBySecondaryAddress(slave);
    } else {
        ReadByPrimaryAddress(slave);
    }
    if (!mbus) {
        return false; // what an STX meter's M-Bus side answers is not looked at
    }
    if (link.LastResult() == LinkResult::Ok) {
        const QByteArray frame = link.RxFrame();
        c_.interpreter.StoreTelegram(std::span(
            reinterpret_cast<const std::uint8_t*>(frame.constData()), std::size_t(frame.size())));
    }
    if (!Accepted(slave)) {
        return false;
    }
    c_.filling.MBusToGrid();
    return true;
}

void ReadOut::ReadBySecondaryAddress(const Slave& slave) {
    TMB_Sio& link = c_.link;
    const Options& o = c_.options;
    const bool more = c_.interpreter.MoreRecordsFollow();
    for (int pass = 0; pass < kSecondaryPasses; ++pass) {
        if (pass > 0 && link.LastResult() == LinkResult::Ok) {
            break;
        }
        if (o.AppRes_CheckBox && !more) {
            link.SetRetryCount(1);
            PrepareExchange();
            link.ApplReset(kBroadcastAddress);
            Trace();
            c_.reporter.Wait_ms(kPauseMs);
            link.SetRetryCount(3);
        }
        if (o.SND_NKE_CheckBox && !more) {
            link.SetRetryCount(1);
            PrepareExchange();
            link.SndNke(kBroadcastAddress);
            Trace();
            c_.reporter.Wait_ms(kPauseMs);
            link.SetRetryCount(3);
        }
        if (!(o.MultiTel_CheckBox && more)) {
            link.SetFcbBit(1);
            PrepareExchange();
            link.SelectById(slave.idBytes);
            link.SetFcbBit(1);
            Trace();
            c_.reporter.Wait_ms(kPauseMs);
        }
        PrepareExchange();
        link.ReqUD2(kSelectedAddress);
        Trace();
        c_.reporter.Wait_ms(kPauseMs);
    }
}

void ReadOut::ReadByPrimaryAddress(const Slave& slave) {
    TMB_Sio& link = c_.link;
    const Options& o = c_.options;
    const auto address = static_cast<std::uint8_t>(slave.address);
    const bool more = c_.interpreter.MoreRecordsFollow();
    if (o.AppRes_CheckBox && !more) {
        PrepareExchange();
        link.ApplReset(address);
        Trace();
        c_.reporter.Wait_ms(kPauseMs);
    }
    if (o.SND_NKE_CheckBox && !more) {
        PrepareExchange();
        link.SndNke(address);
        Trace();
        c_.reporter.Wait_ms(kPauseMs);
    }
    PrepareExchange();
    link.ReqUD2(address);
    Trace();
    if (link.LastResult() > LinkResult::Aborted) {
        c_.trace.append(QStringLiteral("Error: ") +
                        QString::fromStdString(HexByte(link.LastResult())));
    }
    c_.reporter.Wait_ms(kPauseMs);
}

bool ReadOut::Accepted(const Slave& slave) {
    Interpreter& in = c_.interpreter;
    if (c_.link.LastResult() != LinkResult::Ok || !in.CheckTelegram()) {
        return false;
    }
    if (slave.address == kTestAddress || slave.address == kSelectedAddress) {
        return true;
    }
    if (slave.address == 0) {
        return QString::fromStdString(in.IdentNumber()) == slave.expectedId;
    }
    return in.PrimaryAddress() == slave.address;
}

void ReadOut::WriteErrorRow(const Slave& slave) {
    const ReadContext& read = c_.read;
    const bool idMismatch =
        slave.problem.isEmpty() && slave.address == 0 && c_.link.LastResult() == LinkResult::Ok &&
        QString::fromStdString(c_.interpreter.IdentNumber()) != slave.expectedId;
    const std::string place = read.installationPlace.toStdString();
    const std::string date = read.dateText.toStdString();
    const std::string time = read.timeText.toStdString();
    const std::string address = read.primaryAddressText.toStdString();
    const std::string id = read.idText.toStdString();
    const std::string manufacturer = Cell(kSlaveManufacturer, slave.row).toStdString();
    const std::array<GridModel::CellText, 14> cells = {
        {{kDataPlace, place},
         {kDataDate, date},
         {kDataTime, time},
         {kDataAddress, address},
         {kDataId, id},
         {kDataManufacturer, manufacturer},
         {kDataNumber, ""},
         {kDataValue, idMismatch ? "Error (ID)" : "Error"},
         {kDataUnit, ""},
         {kDataDescription, ""},
         {kDataFunction, ""},
         {kDataSubunit, ""},
         {kDataStorage, ""},
         {kDataTariff, ""}}};
    c_.filling.WriteRow(c_.filling.NextRow(), cells);
    c_.tables.setDataWritePosition(c_.tables.dataWritePosition() + 1);
}

ReadOutSummary ReadOut::End(ReadOutSummary summary) {
    TMB_Sio& link = c_.link;
    RunState& run = c_.run;
    if (link.IsPortOpen() && !run.modemConnected) {
        link.ClosePort();
        c_.reporter.Wait_ms(kEndPauseMs);
    }
    GridModel& data = c_.tables.dataTable();
    if ((summary.pollingCycle && c_.read.writePositionFlag) || summary.loggingToFile) {
        data.SetRowCount(std::max(c_.tables.dataWritePosition(), 1));
    }
    if (data.RowCount() > 1) {
        c_.indicators.DataTableFilled();
    }
    run.singleSlave = false;
    if (summary.loggingToFile && hooks_.appendLog) {
        hooks_.appendLog();
    }
    if (run.closeAfterRun) {
        run.stop = true;
    }
    if ((!run.polling && !run.logging) || run.stop) {
        c_.indicators.ShowBusy(false);
        if (!run.closeAfterRun && !run.stop) {
            c_.prompter.showMessage(SummaryText(summary.good, summary.total),
                                    QStringLiteral("Read-out info"));
        }
    }
    if (hooks_.hangUpModem) {
        hooks_.hangUpModem();
    }
    if (hooks_.ended) {
        hooks_.ended(summary);
    }
    return summary;
}

} // namespace quorven
