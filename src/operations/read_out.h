// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "operations/operation_context.h"
#include "operations/stx_meters.h"

#include <QDateTime>
#include <QString>

#include <functional>

namespace quorven {

// How a read-out ended.
struct ReadOutSummary {
    enum class End {
        NoSlaves,  // nothing to read: an empty list, or no meter row selected
        WrongPort, // a row's port name is no "COM" name: the read-out stopped there,
                   // the rows read before it went through the end steps
        Completed, // every slave was read, or the stop flag ended the walk
    };
    End end = End::Completed;
    int good = 0;               // slaves read successfully
    int total = 0;              // slaves to read (N)
    int errorRows = 0;          // "Error" rows written
    QString problem;            // why the read-out ended early (WrongPort, NoSlaves)
    bool pollingCycle = false;  // a cycle of polling
    bool loggingToFile = false; // a cycle of logging into the log file
};

// One slave of a read-out done: its slave-list row, the data-table rows its
// read wrote (firstDataRow up to, not including, endDataRow; its rows, or its
// error row) and when it was read.
struct SlaveRead {
    int slaveRow = 0;
    int firstDataRow = 0;
    int endDataRow = 0;
    QDateTime time;
};

// The meter read-out: walks the slave list (or reads the selected slave),
// talks to each meter through the link, and lets the data-table filling turn
// every accepted answer into rows; a meter not read gets an error row.
class ReadOut {
public:
    // What the read-out's end hands on: the rows of a logging cycle to the
    // log file, the hang-up of a modem run, the end of an unattended run.
    struct Hooks {
        std::function<void()> appendLog;
        std::function<void()> hangUpModem;
        std::function<void(const ReadOutSummary&)> ended;
        // After every slave, with the rows it added.
        std::function<void(const SlaveRead&)> slaveRead;
    };

    ReadOut(OperationContext& context, StxMeters& stx) : c_(context), stx_(stx) {}
    void SetHooks(Hooks hooks) { hooks_ = std::move(hooks); }

    // The read-out itself; it runs inside an operation. The options it reads
    // are taken afresh at every slave.
    ReadOutSummary MBRead();

    // A meter that keeps saying "more records follow" is read this many
    // telegrams at most in one read-out.
    static constexpr int kMaxTelegramsPerSlave = 64;

private:
    struct Slave;

    // Sends the row's exchanges; with `mbus` also takes the answer into the
    // data table. True when it was accepted.
    bool ReadSlave(Slave& slave, bool mbus);
    void ReadBySecondaryAddress(const Slave& slave);
    void ReadByPrimaryAddress(const Slave& slave);
    void Trace();
    void PrepareExchange();
    bool Accepted(const Slave& slave);
    void WriteErrorRow(const Slave& slave);
    // The error row's description: why the slave was not read.
    QString ErrorReason(const Slave& slave, bool idMismatch) const;
    ReadOutSummary End(ReadOutSummary summary);
    void Tell(const QString& text, const QString& caption);
    QString Cell(int column, int row) const;

    OperationContext& c_;
    StxMeters& stx_;
    Hooks hooks_;
};

} // namespace quorven
