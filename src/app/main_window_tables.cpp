// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's tables: the views over the station's grids, their editing
// hooks and menu, loading, saving, printing, zoom and import.
#include "app/main_window.h"

#include "app/grid_view.h"
#include "app/table_printer.h"
#include "app/wait_cursor.h"
#include "app/zoom_window.h"
#include "operations/station.h"
#include "tables/separator.h"
#include "tables/table_layouts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QStatusBar>

#include <memory>

namespace quorven {

namespace {

constexpr int kSeparatorNoteMs = 5000;

const SlaveColumn* SlaveColumnAt(int column) {
    if (column < 0 || column >= kSlaveColumnCount) {
        return nullptr;
    }
    return &kSlaveColumnLayout[static_cast<std::size_t>(column)];
}

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

void TForm1::ConnectTables() {
    Tables& tables = station_->tables();
    AdvStringGrid1->setModel(&tables.slaveList());
    AdvStringGrid2->setModel(&tables.dataTable());
    AdvStringGrid1->setItemDelegate(new GridEditDelegate(
        [this](int column) {
            CellEditing e;
            e.kind = AdvStringGrid1GetEditorType(column);
            e.mask = AdvStringGrid1GetEditMask(column);
            e.items = station_->tables().slaveList().ColumnItems(column);
            return e;
        },
        AdvStringGrid1));
    AdvStringGrid1->setEditTriggers(QAbstractItemView::DoubleClicked |
                                    QAbstractItemView::EditKeyPressed |
                                    QAbstractItemView::AnyKeyPressed);
    AdvStringGrid2->setEditTriggers(QAbstractItemView::NoEditTriggers);

    // The slave count follows every change of the list's length.
    connect(&tables.slaveList(), &GridModel::rowCountChanged, ZAnz_StaticText,
            [this](int rows) { ZAnz_StaticText->setNum(rows - 1); });
    connect(station_.get(), &Station::dataTableFilled, this,
            [this] { Guarded([this] { DataTableFilled(); }); });
}

void TForm1::ConnectOptions() {
    Options& o = station_->options();
    const auto follow = [this](QCheckBox* box, bool Options::*option) {
        Options& opts = station_->options();
        connect(box, &QCheckBox::toggled, this, [&opts, option](bool on) { opts.*option = on; });
        opts.*option = box->isChecked();
    };
    follow(MultiTel_CheckBox, &Options::MultiTel_CheckBox);
    follow(SND_NKE_CheckBox, &Options::SND_NKE_CheckBox);
    follow(AppRes_CheckBox, &Options::AppRes_CheckBox);
    follow(NP_CheckBox, &Options::NP_CheckBox);
    follow(LogFile_CheckBox, &Options::LogFile_CheckBox);
    follow(IDS_CheckBox, &Options::IDS_CheckBox);
    connect(PI_MaskEdit, &QLineEdit::textChanged, this,
            [&o](const QString& text) { o.PI_MaskEdit = text; });
    o.PI_MaskEdit = PI_MaskEdit->text();
    connect(SB_ComboBox, &QComboBox::currentIndexChanged, this,
            [&o](int index) { o.SB_ComboBox = index; });
    o.SB_ComboBox = SB_ComboBox->currentIndex();
    connect(MB1Port_ComboBox, &QComboBox::currentTextChanged, this,
            [&o](const QString& port) { o.MB1Port_ComboBox = port; });
    connect(CSVSeparator_MaskEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
        Guarded([this, text] {
            if (const auto refused = RefusedSeparator(text)) {
                // Refused, so that no table is written or read split at it.
                StatusBar1->showMessage(
                    QStringLiteral("\"%1\" cannot separate cells: \"%2\" is used")
                        .arg(*refused, QChar(kDefaultSeparator)),
                    kSeparatorNoteMs);
                CSVSeparator_MaskEdit->setText(QChar(kDefaultSeparator));
                return;
            }
            station_->CSVSeparator_MaskEditChange(text);
        });
    });
    o.MB1Port_ComboBox = MB1Port_ComboBox->currentText();
    station_->CSVSeparator_MaskEditChange(CSVSeparator_MaskEdit->text());
}

// --- Editing hooks ---

bool TForm1::AdvStringGrid1CanEditCell(int column) const {
    return AdvStringGrid1GetEditorType(column) != CellEditing::Kind::None;
}

CellEditing::Kind TForm1::AdvStringGrid1GetEditorType(int column) const {
    const SlaveColumn* c = SlaveColumnAt(column);
    if (c == nullptr) {
        return CellEditing::Kind::PlainText; // columns beyond the nine a file brought
    }
    switch (c->editor) {
    case CellEditor::None:
        return CellEditing::Kind::None;
    case CellEditor::DropDown:
        return CellEditing::Kind::DropDown;
    case CellEditor::Masked:
        return CellEditing::Kind::Masked;
    case CellEditor::PlainText:
        break;
    }
    return CellEditing::Kind::PlainText;
}

QString TForm1::AdvStringGrid1GetEditMask(int column) const {
    const SlaveColumn* c = SlaveColumnAt(column);
    return c != nullptr ? Utf8(c->editMask) : QString();
}

// --- Slave list ---

int TForm1::CurrentSlaveRow() const {
    const QModelIndex current = AdvStringGrid1->currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

void TForm1::SlaveListMenu(const QPoint& at) {
    const QModelIndex under = AdvStringGrid1->indexAt(at);
    if (under.isValid()) {
        AdvStringGrid1->setCurrentIndex(under);
    }
    PopupMenu1->popup(AdvStringGrid1->viewport()->mapToGlobal(at));
}

void TForm1::Insertslave1Click() {
    station_->Insertslave1Click(CurrentSlaveRow());
    AdvStringGrid1->sizeColumns();
}

void TForm1::Appendslave1Click() {
    station_->Appendslave1Click();
    AdvStringGrid1->sizeColumns();
    AdvStringGrid1->scrollToBottom();
}

void TForm1::Deleteslave1Click() {
    station_->Deleteslave1Click(CurrentSlaveRow());
}

void TForm1::Clearlist1Click() {
    station_->Clearlist1Click();
    AdvStringGrid1->sizeColumns();
}

void TForm1::DD_ButtonClick() {
    const WaitCursor wait;
    station_->DD_ButtonClick();
}

void TForm1::Save1_ButtonClick() {
    station_->Save1_ButtonClick();
}

void TForm1::Load1_ButtonClick() {
    const WaitCursor wait;
    station_->Load1_ButtonClick();
    AdvStringGrid1->sizeColumns();
}

// --- Data table ---

void TForm1::Save2_ButtonClick() {
    station_->Save2_ButtonClick();
}

void TForm1::Load2_ButtonClick() {
    const WaitCursor wait;
    station_->Load2_ButtonClick();
    AdvStringGrid2->sizeColumns();
}

void TForm1::Clear2_ButtonClick() {
    station_->Clear2_ButtonClick();
    AdvStringGrid2->sizeColumns();
}

void TForm1::Import_ButtonClick() {
    station_->Import_ButtonClick();
}

void TForm1::DataTableFilled() {
    const GridModel& data = station_->tables().dataTable();
    if (data.RowCount() <= 1) {
        return;
    }
    AdvStringGrid2->sizeColumns();
    AdvStringGrid2->scrollToLastRow();
    if (form2_ != nullptr && station_->runState().zoomOpen) {
        auto* zoom = static_cast<GridView*>(form2_->AdvStringGrid3);
        zoom->sizeColumns();
        zoom->scrollToLastRow();
    }
}

void TForm1::Zoom_ButtonClick() {
    CreateZoomWindow();
    form2_->show();
    form2_->raise();
    station_->Zoom_ButtonClick();
    static_cast<GridView*>(form2_->AdvStringGrid3)->sizeColumns();
}

// --- Printing ---

void TForm1::PrintGrid(const QAbstractItemModel& model, bool slaveList) {
    if (!printerSetup) {
        return;
    }
    // The printer lives until the dialog has closed and the table is printed.
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    printer->setPageOrientation(QPageLayout::Landscape);
    // The tables are the station's, which lives as long as the window.
    printerSetup(*printer, [this, printer, &model, slaveList](bool accepted) {
        if (!accepted) {
            return;
        }
        Guarded([&] {
            const WaitCursor wait;
            const QFont font = slaveList ? AdvStringGrid1->font() : AdvStringGrid2->font();
            const PrintLayout layout =
                slaveList ? SlaveListPrintLayout(font) : DataTablePrintLayout(font);
            if (PrintTable(model, *printer, layout) == 0) {
                prompter_->showMessageNoWait(
                    tr("Cannot print on %1")
                        .arg(printer->printerName() + printer->outputFileName()),
                    tr("Print error"));
            }
        });
    });
}

void TForm1::Print1_ButtonClick() {
    station_->Enter(Handler::Print1_Button, [this] {
        AdvStringGrid1->sizeColumns();
        PrintGrid(station_->tables().slaveList(), true);
    });
}

void TForm1::Print2_ButtonClick() {
    station_->Enter(Handler::Print2_Button,
                    [this] { PrintGrid(station_->tables().dataTable(), false); });
}

} // namespace quorven
