// SPDX-License-Identifier: GPL-3.0-or-later
// The search frame and the primary address search.
#include "operations/slave_search.h"

#include "interpret/hex.h"
#include "link/frames.h"
#include "operations/bus_line.h"
#include "operations/bus_pauses.h"
#include "operations/found_slave.h"
#include "operations/slave_cells.h"
#include "tables/table_layouts.h"

namespace quorven {

namespace {

constexpr int kLastSearchedAddress = 250;

QString SearchBaudLine(int baudIndex) {
    const int rate = baudIndex == kBaudIndex300 ? 300 : baudIndex == kBaudIndex2400 ? 2400 : 9600;
    return QStringLiteral("Search baud rate %1!").arg(rate);
}

bool IsGarbled(std::uint8_t result) {
    return result == LinkResult::OkAfterStrayBytes ||
           (result >= LinkResult::StopByteWrong && result <= LinkResult::FramingError);
}

} // namespace

void SlaveSearch::Search(Method method) {
    const Prompter::Answer answer = c_.prompter.askYesNoCancel(
        QStringLiteral("Erase current slave list?"), QStringLiteral("Question"));
    if (answer == Prompter::Answer::Cancel) {
        return;
    }
    if (answer == Prompter::Answer::Yes) {
        c_.tables.ClearGrid1();
    }
    o_ = c_.options;
    c_.run.stop = false;
    c_.indicators.ShowBusy(true);
    const int baud = SearchBaudIndexOf(o_.SB_ComboBox);
    c_.link.SetPort(o_.MB1Port_ComboBox);
    c_.trace.append(SearchBaudLine(baud));
    PrepareLine(c_, o_, o_.MB1Port_ComboBox, baud);
    c_.reporter.Wait_ms(kLineSettleMs);
    Pass(method);
    if (o_.SB_ComboBox == kSearchBoth && !c_.run.stop) {
        c_.link.SetBaud(kBaudIndex300);
        c_.trace.append(SearchBaudLine(kBaudIndex300));
        c_.reporter.Wait_ms(kLineSettleMs);
        Pass(method);
    }
    ReleaseLine(c_);
    c_.indicators.ShowBusy(false);
}

void SlaveSearch::Pass(Method method) {
    // A stop during the pause before a pass ends the search there.
    if (c_.run.stop) {
        return;
    }
    if (method == Method::Primary) {
        PAdrSearch();
    } else {
        IDSearch();
    }
}

void SlaveSearch::Broadcast(bool sndNke, std::uint8_t address, std::uint16_t pauseMs) {
    ClearHexTexts(c_);
    if (sndNke) {
        c_.link.SndNke(address);
    } else {
        c_.link.ApplReset(address);
    }
    TraceExchange(c_);
    c_.reporter.Wait_ms(pauseMs);
}

void SlaveSearch::AddFoundSlave(const QString& addressText, bool stxCheck) {
    GridModel& list = c_.tables.slaveList();
    const int row = list.RowCount();
    list.SetRowCount(row + 1);
    list.SetCell(kSlavePort, row, o_.MB1Port_ComboBox);
    WriteFoundSlave(c_, o_, stxCheck ? &stx_ : nullptr, row, addressText);
    c_.indicators.SlaveListFilled();
}

void SlaveSearch::PAdrSearch() {
    TMB_Sio& link = c_.link;
    c_.trace.append(QStringLiteral("Slave primary search started!"));
    c_.indicators.ShowProgress(1, 0);
    link.SetRetryCount(1);
    if (o_.SND_NKE_CheckBox) {
        Broadcast(true, kSelectedSlaveAddress, kDeselectPauseMs);
    }
    if (o_.AppRes_CheckBox) {
        Broadcast(false, kBroadcastAddress, kExchangePauseMs);
    }
    Broadcast(true, kBroadcastAddress, kBroadcastSndNkePauseMs);

    for (int a = 1; a <= kLastSearchedAddress && !c_.run.stop; ++a) {
        const auto address = static_cast<std::uint8_t>(a);
        if (o_.SND_NKE_CheckBox) {
            Broadcast(true, address, kExchangePauseMs);
        }
        link.SetFcbBit(1);
        ClearHexTexts(c_);
        link.ReqUD2(address);
        TraceExchange(c_);
        // The STX test of a found meter leaves its own result behind.
        const std::uint8_t result = link.LastResult();
        if (result == LinkResult::Ok) {
            StoreAnswer(c_);
            if (c_.interpreter.CheckTelegram()) {
                c_.trace.append(QStringLiteral("*** Slave found at primary address %1").arg(a));
                AddFoundSlave(QString::number(c_.interpreter.PrimaryAddress()), true);
            }
            c_.reporter.Wait_ms(kSearchAnswerPauseMs);
        } else if (result == LinkResult::Aborted) {
            if (link.IsPortOpen()) {
                link.PurgeTransmit();
                link.PurgeReceive();
            }
        } else if (IsGarbled(result)) {
            c_.reporter.Wait_ms(kCollisionPauseMs);
        } else {
            c_.reporter.Wait_ms(kSearchAnswerPauseMs);
            if (result == LinkResult::WriteFailed) {
                c_.trace.append(QStringLiteral("Com write error at address %1").arg(a));
            } else if (result == LinkResult::NoAnswer) {
                c_.trace.append(QStringLiteral("No answer from address %1").arg(a));
            }
        }
        if (result >= LinkResult::Aborted && result <= LinkResult::FramingError) {
            c_.trace.append(QStringLiteral("Telegram error at address %1 (%2)")
                                .arg(a)
                                .arg(QString::fromStdString(HexByte(result))));
        }
        c_.indicators.ShowProgress(1, a * 100 / kLastSearchedAddress);
    }
    c_.indicators.SlaveListFilled();
    c_.trace.append(QStringLiteral("Slave primary search finished!"));
    link.SetRetryCount(3);
}

} // namespace quorven
