#pragma once

#include "interpret/interpreter.h"
#include "link/clock.h"
#include "link/link_reporter.h"
#include "link/mb_sio.h"
#include "link/port_factory.h"
#include "link/prompter.h"
#include "link/trace.h"
#include "operations/options.h"
#include "operations/read_context.h"
#include "operations/run_state.h"
#include "tables/tables.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>

namespace quorven {

// What became of an import.
enum class ImportResult {
    Cancelled,  // no file chosen, or another operation was running
    Unreadable, // the file could not be opened or read
    Refused,    // the file is too large to be a telegram; the user was told
    TooShort,   // fewer than 15 bytes of hexadecimal pairs (an empty file too)
    NoRows,     // the telegram is not valid or holds no records
    RowsAdded,
};

// The master station: everything the program does with meters and tables,
// without any widget. It owns the link to the bus and what reports around
// its exchanges, the interpretation of telegrams, the tables, the trace (the
// text area's lines), the options, the read context and the run state. The window keeps the options
// in step with its controls, forwards its handlers here, shows the signals, and implements the
// prompter.
//
// Handlers may throw FileError (a table file that cannot be opened or
// created); the window's guard shows it.
class Station : public QObject {
    Q_OBJECT
public:
    explicit Station(Prompter& prompter, QObject* parent = nullptr);

    Interpreter& interpreter() { return interpreter_; }
    Tables& tables() { return tables_; }
    Trace& trace() { return trace_; }
    Options& options() { return options_; }
    ReadContext& readContext() { return readContext_; }
    RunState& runState() { return runState_; }
    Prompter& prompter() { return prompter_; }

    // Creates the link on the clock with ports from the factory, its port
    // name initialPort (opened only when an operation first needs it), and
    // the reporter around its exchanges. Called once at start, when the
    // settings have decided where port names lead; the clock and the factory
    // must outlive the station. A second call replaces both, ending an
    // exchange that still waits on the old link with result 1.
    void AttachLink(Clock& clock, PortFactory& ports, const QString& initialPort);
    bool hasLink() const { return sio_ != nullptr; }
    // Only after AttachLink.
    TMB_Sio& link() { return *sio_; }
    LinkReporter& reporter() { return *reporter_; }

    // One operation at a time. A handler that uses the bus or changes the
    // slave rows runs inside an Operation; while one runs, another is refused
    // (statusNote tells the window) and does nothing.
    class Operation {
    public:
        explicit Operation(Station& station);
        ~Operation();
        Operation(const Operation&) = delete;
        Operation& operator=(const Operation&) = delete;
        explicit operator bool() const { return owns_; }

    private:
        Station& station_;
        bool owns_;
    };
    bool operationRunning() const { return operationRunning_; }

    // --- Data table filling ---
    // Turns the telegram in the interpreter's buffer into data-table rows:
    // one per selected record, then the status row. True when the telegram
    // was valid and held at least one record.
    bool MBusToGrid();
    // The record numbers 1..64 of the current record selection, record n as
    // bit n-1.
    std::uint64_t Check_Dataset() const;

    // --- Telegram import ---
    // Asks for a file and imports it.
    ImportResult Import_ButtonClick();
    // Imports the named file: at most kMaxImportFileBytes of it are read.
    ImportResult ImportFile(const QString& fileName);
    // Imports a telegram written as hexadecimal text.
    ImportResult ImportText(const QByteArray& text);
    static constexpr qint64 kMaxImportFileBytes = 256 * 1024;

    // --- Tables ---
    void Clear2_ButtonClick() { tables_.ClearGrid2(); }
    void Save1_ButtonClick();
    void Save2_ButtonClick();
    void Load1_ButtonClick();
    void Load2_ButtonClick();
    void DD_ButtonClick();
    void Clearlist1Click();
    // `currentRow` is the slave list's current row (table row, 1 = first
    // meter; anything else when no meter row is current).
    void Insertslave1Click(int currentRow);
    void Appendslave1Click();
    void Deleteslave1Click(int currentRow);
    // The separator field changed: its first character, "," when it is empty
    // or holds a character that cannot separate cells.
    void CSVSeparator_MaskEditChange(const QString& text);
    // The zoom window opens: the zoom table is filled from the data table and
    // mirrors it from now on. Its Close button stops the mirroring.
    void Zoom_ButtonClick();
    void Hide_ButtonClick() { runState_.zoomOpen = false; }

signals:
    // Rows were added to the data table by an import: the window sizes its
    // columns and shows the last row.
    void dataTableFilled();
    // A short note for the status bar (an operation was refused).
    void statusNote(const QString& text);
    // The busy/free indication: the lamp red and "foglalt" while an operation
    // runs, green and "szabad" when it has ended.
    void lampChanged(bool busy);
    // A progress bar moved: bar 1 for read-outs and searches, bar 2 for the
    // count-down to the next poll; percent 0..100.
    void progressChanged(int bar, int percent);

private:
    void PrepareDataRow(int row);
    void WriteDataCells(int row, std::span<const GridModel::CellText> cells);
    QString ReadImportFile(const QString& fileName, QByteArray& text, ImportResult& result);

    Prompter& prompter_;
    Interpreter interpreter_;
    Tables tables_;
    Trace trace_;
    Options options_;
    ReadContext readContext_;
    RunState runState_;
    bool operationRunning_ = false;
    // After the trace and the prompter, which the reporter uses; the reporter
    // goes before the link it reports on.
    std::unique_ptr<TMB_Sio> sio_;
    std::unique_ptr<LinkReporter> reporter_;
};

} // namespace quorven
