#include "operations/station.h"

#include "operations/record_selection.h"
#include "tables/csv_writer.h"

namespace quorven {

namespace {

const QString kFileFilter = QStringLiteral("adatcsomag");
const QString kCsvPattern = QStringLiteral("*.csv");

} // namespace

Station::Station(Prompter& prompter, QObject* parent) : QObject(parent), prompter_(prompter) {
    tables_.ClearGrid1();
    tables_.ClearGrid2();
    tables_.ClearGrid3();
}

void Station::AttachLink(Clock& clock, PortFactory& ports, const QString& initialPort) {
    reporter_.reset();
    sio_.reset();
    sio_ = std::make_unique<TMB_Sio>(clock, ports, initialPort);
    reporter_ = std::make_unique<LinkReporter>(trace_, prompter_, clock, *sio_);
}

Station::Operation::Operation(Station& station)
    : station_(station), owns_(!station.operationRunning_) {
    if (owns_) {
        station_.operationRunning_ = true;
    } else {
        emit station_.statusNote(
            QStringLiteral("Another operation is running; wait for it to end or press Stop."));
    }
}

Station::Operation::~Operation() {
    if (owns_) {
        station_.operationRunning_ = false;
    }
}

std::uint64_t Station::Check_Dataset() const {
    return SelectedRecords(readContext_.recordSelection);
}

void Station::Save1_ButtonClick() {
    const QString name = prompter_.fileToSave(kFileFilter, kCsvPattern);
    if (!name.isEmpty()) {
        SaveCsv(tables_.slaveList(), WithCsvExtension(name), options_.separator);
    }
}

void Station::Save2_ButtonClick() {
    const QString name = prompter_.fileToSave(kFileFilter, kCsvPattern);
    if (!name.isEmpty()) {
        SaveCsv(tables_.dataTable(), WithCsvExtension(name), options_.separator);
    }
}

void Station::Load1_ButtonClick() {
    const Operation op(*this);
    if (!op) {
        return;
    }
    const QString name = prompter_.fileToOpen(kFileFilter, kCsvPattern);
    if (!name.isEmpty()) {
        tables_.LoadSlaveList(name, options_.separator, options_.MB1Port_ComboBox);
    }
}

void Station::Load2_ButtonClick() {
    const QString name = prompter_.fileToOpen(kFileFilter, kCsvPattern);
    if (!name.isEmpty()) {
        tables_.LoadDataTable(name, options_.separator);
    }
}

void Station::DD_ButtonClick() {
    const Operation op(*this);
    if (!op) {
        return;
    }
    for (const QString& line : tables_.DeleteDuplicates()) {
        trace_.append(line);
    }
}

void Station::Clearlist1Click() {
    const Operation op(*this);
    if (op) {
        tables_.ClearGrid1();
    }
}

void Station::Insertslave1Click(int currentRow) {
    const Operation op(*this);
    if (op) {
        tables_.InsertSlave(currentRow, options_.MB1Port_ComboBox);
    }
}

void Station::Appendslave1Click() {
    const Operation op(*this);
    if (op) {
        tables_.AppendSlave(options_.MB1Port_ComboBox);
    }
}

void Station::Deleteslave1Click(int currentRow) {
    const Operation op(*this);
    if (op) {
        tables_.DeleteSlave(currentRow);
    }
}

void Station::CSVSeparator_MaskEditChange(const QString& text) {
    options_.separator = SeparatorFromText(text);
}

void Station::Zoom_ButtonClick() {
    tables_.FillZoomTable();
    runState_.zoomOpen = true;
}

} // namespace quorven
