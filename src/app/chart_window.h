// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "charts/chart_data.h"
#include "charts/chart_reduce.h"

#include <QPointer>
#include <QWidget>

#include <climits>
#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

class QLabel;
class QLineSeries;
class QListWidget;
class QPushButton;
class QTimer;
class QVBoxLayout;

namespace quorven {

class ChartView;
class GridModel;

// The chart window: the values of the picked meters and records over time,
// one series per meter and record, at most two units (value axes) on a
// chart, further units on further charts. Its rows come from the data table,
// which it follows while logging adds cycles, or from a log file.
class ChartWindow : public QWidget {
    Q_OBJECT
public:
    explicit ChartWindow(QWidget* parent = nullptr);

    // Charts the data table's rows and then every row it gains or that is
    // written anew (a logging cycle). The chart keeps every reading it has
    // seen; the same reading seen again adds nothing.
    void FollowTable(const GridModel& table);
    // Charts a log file instead. Throws FileError when it cannot be read.
    void OpenLogFile(const QString& fileName, QChar separator);

    // Takes the rows of the followed table that changed since the last time.
    void TakeNewRows();

    // Picks meters and records by their place in the lists (all: -1).
    void Pick(const std::vector<int>& meters, const std::vector<int>& records);
    // The whole time range again, after zooming.
    void ZoomReset_ButtonClick();
    // Writes the charts as a picture, or as a PDF page whose texts stay text.
    bool ExportPng(const QString& fileName);
    bool ExportPdf(const QString& fileName);

    const ChartData& data() const { return data_; }
    const std::vector<ChartView*>& views() const { return views_; }

    QListWidget* Meters_ListBox = nullptr;
    QListWidget* Records_ListBox = nullptr;
    QLabel* Skipped_Label = nullptr;
    QLabel* Cursor_Label = nullptr;
    QPushButton* ZoomReset_Button = nullptr;
    QPushButton* Png_Button = nullptr;
    QPushButton* Pdf_Button = nullptr;
    QPushButton* LogFile_Button = nullptr;
    QLabel* Meters_Label = nullptr;
    QLabel* Records_Label = nullptr;

    // The separator of log files opened from the window.
    QChar separator = u',';

protected:
    void changeEvent(QEvent* event) override;

private:
    // The window's own texts in the window's language.
    void RetranslateUi();
    void FillLists();
    void Redraw();
    void Reduce(ChartView* view, double fromMs, double toMs);
    void ChooseFile(bool save, const QString& filter, const std::function<void(QString)>& done);
    void ShowError(const QString& text);

    ChartData data_;
    QPointer<const GridModel> table_;
    QString fileName_;        // the log file charted, when it is one
    int dirtyFrom_ = INT_MAX; // first row of the table not yet taken
    QTimer* takeRows_ = nullptr;
    QWidget* chartArea_ = nullptr;
    QVBoxLayout* chartLayout_ = nullptr;
    std::vector<ChartView*> views_;
    // What each view draws: its line series and the index of its data series.
    std::vector<std::vector<std::pair<QLineSeries*, std::size_t>>> drawn_;
    bool zoomed_ = false;
    bool redrawing_ = false;
};

} // namespace quorven
