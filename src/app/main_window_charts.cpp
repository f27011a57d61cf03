// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's charts: the chart of the data table, which follows it
// while logging runs, and charts of log files.
#include "app/chart_window.h"
#include "app/grid_view.h"
#include "app/main_window.h"
#include "operations/handler_table.h"
#include "operations/station.h"

#include <QAction>
#include <QFileDialog>
#include <QMenu>
#include <QPushButton>

#include <memory>

namespace quorven {

void TForm1::ConnectCharts() {
    connect(AdvStringGrid2, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        PopupMenu2->popup(AdvStringGrid2->viewport()->mapToGlobal(at));
    });
}

void TForm1::Chart_ButtonClick() {
    station_->Enter(Handler::Chart_Button, [this] {
        if (chart_ == nullptr) {
            chart_ = new ChartWindow(this);
            chart_->FollowTable(station_->tables().dataTable());
        }
        chart_->separator = station_->options().separator;
        chart_->show();
        chart_->raise();
    });
}

void TForm1::ChartFile1Click() {
    station_->Enter(Handler::ChartFile1, [this] {
        // Without a nested event loop: a logging cycle may run while it is open.
        auto* dialog = new QFileDialog(this, QString(), QString(), tr("log file (*.csv);;(*.*)"));
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->setFileMode(QFileDialog::ExistingFile);
        connect(dialog, &QFileDialog::fileSelected, this,
                [this](const QString& file) { Guarded([this, file] { ChartFile(file); }); });
        dialog->open();
    });
}

ChartWindow* TForm1::ChartFile(const QString& fileName) {
    auto window = std::make_unique<ChartWindow>(this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->separator = station_->options().separator;
    window->OpenLogFile(fileName, window->separator); // throws when it cannot be read
    window->show();
    return window.release();
}

} // namespace quorven
