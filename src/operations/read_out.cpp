// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/read_out.h"

#include "interpret/hex.h"
#include "link/frames.h"
#include "link/ident_text.h"
#include "link/link_result.h"
#include "link/serial_port.h"
#include "operations/link_texts.h"
#include "link/port_map.h"
#include "operations/bus_line.h"
#include "operations/bus_pauses.h"
#include "operations/slave_cells.h"
#include "tables/table_layouts.h"

#include <array>

namespace quorven {

namespace {

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
    QString reason;  // why the row got an error row, when not for its answer
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
        summary.problem = QStringLiteral("No Slaves found!");
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
    SlaveRead slaveRead;
    QString currentPort;
    QString currentBaud;
    while (remaining != 0 && !run.stop) {
        const Options& o = c_.options;
        read.installationPlace = Cell(kSlavePlace, row);
        read.primaryAddressText = Cell(kSlaveAddress, row);
        read.idText = Cell(kSlaveId, row);
        read.recordSelection = Cell(kSlaveSelection, row);

        const QString port = Cell(kSlavePort, row);
        if (ComPortNumber(port) == 0) {
            // The rows read so far are kept: they go through the end steps
            // (into the log file when logging), the later rows are not read.
            const QString text = QStringLiteral("Wrong com-port in slave list");
            summary.problem = QStringLiteral("Row %1: \"%2\" is no COM port name; the rows "
                                             "after it were not read")
                                  .arg(row)
                                  .arg(port);
            c_.trace.append(text);
            c_.trace.append(summary.problem);
            c_.indicators.ShowBusy(false);
            c_.prompter.showMessage(text, QStringLiteral("Com-port error"));
            summary.end = ReadOutSummary::End::WrongPort;
            return End(summary);
        }
        if (run.modemConnected && port != link.DeviceName()) {
            // Taking another port drops the modem's line, and the call with it.
            c_.trace.append(QStringLiteral("Row %1 is read on %2: the modem call on %3 is ended")
                                .arg(row)
                                .arg(port, link.DeviceName()));
            run.modemConnected = false;
        }
        currentPort = port;
        currentBaud = Cell(kSlaveBaud, row);
        QString portFailure; // why the row's port cannot be used
        try {
            link.SetPort(port);
            link.SetStopBits1();
            SetSlaveParity(link, o);
            link.SetBaud(BaudIndexOf(currentBaud));
        } catch (const PortError& e) {
            portFailure = QString::fromUtf8(e.what());
        }

        Slave slave;
        slave.row = row;
        if (const auto address = AddressOf(read.primaryAddressText)) {
            slave.address = *address;
        } else {
            slave.problem =
                QStringLiteral("the primary address \"%1\" is not a number from 0 to 255")
                    .arg(read.primaryAddressText);
            slave.reason = QStringLiteral("row not sent: address ") + read.primaryAddressText;
        }
        const QDateTime now = c_.wallClock.Now(c_.clock);
        read.dateText = WallClock::DateText(now);
        read.timeText = WallClock::TimeText(now);
        if (telegrams == 0) {
            slaveRead = {row, c_.filling.NextRow(), 0, now};
        }

        bool accepted = false;
        const bool stxMeter =
            Cell(kSlaveManufacturer, row) == QLatin1String("STX") && slave.problem.isEmpty();
        try {
            if (!portFailure.isEmpty()) {
                throw PortError(portFailure);
            }
            if (o.MDK_CheckBox) {
                link.SetRts(false);
                c_.reporter.Wait_ms(kConverterSettleMs);
            } else {
                link.SetRts(true);
            }
            if (stxMeter) {
                // A register-protocol meter: no error row, and it counts as
                // read when its values came without an error.
                if (slave.address >= 1 && slave.address <= kTestAddress &&
                    stx_.STXToGrid(static_cast<std::uint8_t>(slave.address))) {
                    ++summary.good;
                } else if (slave.address == 0) {
                    ReadSlave(slave, false);
                }
            } else {
                accepted = ReadSlave(slave, true);
                if (accepted && (!o.MultiTel_CheckBox || !in.MoreRecordsFollow())) {
                    ++summary.good;
                    read.recordOffset = 0;
                }
            }
        } catch (const PortError& e) {
            // The row's port: the row gets its error row and the read-out
            // goes on, so that the rows read so far are not lost.
            c_.trace.append(QString::fromUtf8(e.what()));
            slave.reason = (link.IsPortOpen() ? QStringLiteral("port %1 failed")
                                              : QStringLiteral("port %1 cannot be opened"))
                               .arg(port);
            accepted = false;
        }
        if (!accepted && (!stxMeter || !slave.reason.isEmpty())) {
            // A meter that answered wrongly says nothing more this time.
            in.ClearMoreRecordsFollow();
            WriteErrorRow(slave);
            ++summary.errorRows;
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
            if (hooks_.slaveRead) {
                slaveRead.endDataRow = c_.filling.NextRow();
                hooks_.slaveRead(slaveRead);
            }
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
            c_.reporter.Wait_ms(kPortChangePauseMs);
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
            slave.reason = id.isEmpty() ? QStringLiteral("row not sent: no identification number")
                                        : QStringLiteral("row not sent: identification number ") +
                                              c_.read.idText;
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
            c_.reporter.Wait_ms(kExchangePauseMs);
            link.SetRetryCount(3);
        }
        if (o.SND_NKE_CheckBox && !more) {
            link.SetRetryCount(1);
            PrepareExchange();
            link.SndNke(kBroadcastAddress);
            Trace();
            c_.reporter.Wait_ms(kExchangePauseMs);
            link.SetRetryCount(3);
        }
        if (!(o.MultiTel_CheckBox && more)) {
            link.SetFcbBit(1);
            PrepareExchange();
            link.SelectById(slave.idBytes);
            link.SetFcbBit(1);
            Trace();
            c_.reporter.Wait_ms(kExchangePauseMs);
        }
        PrepareExchange();
        link.ReqUD2(kSelectedSlaveAddress);
        Trace();
        c_.reporter.Wait_ms(kExchangePauseMs);
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
        c_.reporter.Wait_ms(kExchangePauseMs);
    }
    if (o.SND_NKE_CheckBox && !more) {
        PrepareExchange();
        link.SndNke(address);
        Trace();
        c_.reporter.Wait_ms(kExchangePauseMs);
    }
    PrepareExchange();
    link.ReqUD2(address);
    Trace();
    if (link.LastResult() > LinkResult::Aborted) {
        c_.trace.append(QStringLiteral("Error: ") +
                        QString::fromStdString(HexByte(link.LastResult())) + QStringLiteral(" (") +
                        ResultReasonOf(link.LastResult()) + QStringLiteral(")"));
    }
    c_.reporter.Wait_ms(kExchangePauseMs);
}

bool ReadOut::Accepted(const Slave& slave) {
    Interpreter& in = c_.interpreter;
    if (c_.link.LastResult() != LinkResult::Ok || !in.CheckTelegram()) {
        return false;
    }
    if (slave.address == kTestAddress || slave.address == kSelectedSlaveAddress) {
        return true;
    }
    if (slave.address == 0) {
        return QString::fromStdString(in.IdentNumber()) == slave.expectedId;
    }
    return in.PrimaryAddress() == slave.address;
}

QString ReadOut::ErrorReason(const Slave& slave, bool idMismatch) const {
    if (!slave.reason.isEmpty()) {
        return slave.reason;
    }
    const std::uint8_t result = c_.link.LastResult();
    if (result != LinkResult::Ok) {
        return ResultReasonOf(result);
    }
    if (idMismatch) {
        return QStringLiteral("answer from ID ") +
               QString::fromStdString(c_.interpreter.IdentNumber());
    }
    if (c_.interpreter.TelegramLength() == 0 || !c_.interpreter.CheckTelegram()) {
        return QStringLiteral("answer not valid");
    }
    return QStringLiteral("answer from address %1").arg(c_.interpreter.PrimaryAddress());
}

void ReadOut::WriteErrorRow(const Slave& slave) {
    const ReadContext& read = c_.read;
    const bool idMismatch =
        slave.problem.isEmpty() && slave.reason.isEmpty() && slave.address == 0 &&
        c_.link.LastResult() == LinkResult::Ok &&
        QString::fromStdString(c_.interpreter.IdentNumber()) != slave.expectedId;
    const std::string place = read.installationPlace.toStdString();
    const std::string date = read.dateText.toStdString();
    const std::string time = read.timeText.toStdString();
    const std::string address = read.primaryAddressText.toStdString();
    const std::string id = read.idText.toStdString();
    const std::string manufacturer = Cell(kSlaveManufacturer, slave.row).toStdString();
    const std::string reason = ErrorReason(slave, idMismatch).toStdString();
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
         {kDataDescription, reason},
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
        c_.reporter.Wait_ms(kReadOutEndPauseMs);
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
        if (!run.closeAfterRun && !run.stop && summary.end == ReadOutSummary::End::Completed) {
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
