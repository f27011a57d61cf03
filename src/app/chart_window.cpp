// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/chart_window.h"

#include "app/shown_texts.h"

#include "app/chart_view.h"
#include "charts/chart_layout.h"
#include "tables/file_error.h"
#include "tables/grid_model.h"

#include <QChart>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QEvent>
#include <QFileDialog>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace quorven {

namespace {

// The chart's moments count on a clock without time zones; the time axis
// shows local time. The same wall-clock reading both ways.
double AxisMs(double chartMs) {
    QDateTime t = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(chartMs), Qt::UTC);
    return static_cast<double>(QDateTime(t.date(), t.time()).toMSecsSinceEpoch());
}

double ChartMs(qint64 axisMs) {
    const QDateTime t = QDateTime::fromMSecsSinceEpoch(axisMs);
    return static_cast<double>(QDateTime(t.date(), t.time(), Qt::UTC).toMSecsSinceEpoch());
}

constexpr int kMinChartHeight = 280;
constexpr int kDefaultColumns = 1000;
// A file of thousands of meters stays usable: the first ones are picked at
// first, and no more lines than these are drawn at once.
constexpr std::size_t kMetersPickedAtFirst = 10;
constexpr std::size_t kMaxLines = 200;
constexpr double kPdfChartWidth = 1100;

QPushButton* Button(QWidget* parent, const char* name) {
    auto* b = new QPushButton(parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

std::vector<int> Checked(const QListWidget& list) {
    std::vector<int> rows;
    for (int i = 0; i < list.count(); ++i) {
        if (list.item(i)->checkState() == Qt::Checked) {
            rows.push_back(i);
        }
    }
    return rows;
}

} // namespace

ChartWindow::ChartWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("ChartWindow"));
    resize(1100, 700);

    Meters_ListBox = new QListWidget(this);
    Meters_ListBox->setObjectName(QStringLiteral("Meters_ListBox"));
    Records_ListBox = new QListWidget(this);
    Records_ListBox->setObjectName(QStringLiteral("Records_ListBox"));
    Skipped_Label = new QLabel(this);
    Skipped_Label->setObjectName(QStringLiteral("Skipped_Label"));
    Skipped_Label->setWordWrap(true);
    Cursor_Label = new QLabel(this);
    Cursor_Label->setObjectName(QStringLiteral("Cursor_Label"));
    ZoomReset_Button = Button(this, "ZoomReset_Button");
    Png_Button = Button(this, "Png_Button");
    Pdf_Button = Button(this, "Pdf_Button");
    LogFile_Button = Button(this, "LogFile_Button");
    Meters_Label = new QLabel(this);
    Meters_Label->setObjectName(QStringLiteral("Meters_Label"));
    Records_Label = new QLabel(this);
    Records_Label->setObjectName(QStringLiteral("Records_Label"));
    RetranslateUi();

    auto* picks = new QVBoxLayout;
    picks->addWidget(Meters_Label);
    picks->addWidget(Meters_ListBox, 1);
    picks->addWidget(Records_Label);
    picks->addWidget(Records_ListBox, 2);
    picks->addWidget(Skipped_Label);
    picks->addWidget(LogFile_Button);

    chartArea_ = new QWidget;
    chartLayout_ = new QVBoxLayout(chartArea_);
    chartLayout_->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setWidget(chartArea_);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Cursor_Label, 1);
    buttons->addWidget(ZoomReset_Button);
    buttons->addWidget(Png_Button);
    buttons->addWidget(Pdf_Button);

    auto* right = new QVBoxLayout;
    right->addWidget(scroll, 1);
    right->addLayout(buttons);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(picks, 0);
    layout->addLayout(right, 1);

    takeRows_ = new QTimer(this);
    takeRows_->setSingleShot(true);
    takeRows_->setInterval(0);
    connect(takeRows_, &QTimer::timeout, this, &ChartWindow::TakeNewRows);
    for (QListWidget* list : {Meters_ListBox, Records_ListBox}) {
        connect(list, &QListWidget::itemChanged, this, [this] {
            if (!redrawing_) {
                Redraw();
            }
        });
    }
    connect(ZoomReset_Button, &QPushButton::clicked, this, &ChartWindow::ZoomReset_ButtonClick);
    connect(Png_Button, &QPushButton::clicked, this, [this] {
        ChooseFile(true, tr("PNG kép (*.png)"), [this](const QString& f) {
            if (!ExportPng(f)) {
                ShowError(kCannotCreateFile + f);
            }
        });
    });
    connect(Pdf_Button, &QPushButton::clicked, this, [this] {
        ChooseFile(true, tr("PDF (*.pdf)"), [this](const QString& f) {
            if (!ExportPdf(f)) {
                ShowError(kCannotCreateFile + f);
            }
        });
    });
    connect(LogFile_Button, &QPushButton::clicked, this, [this] {
        ChooseFile(false, tr("log file (*.csv);;(*.*)"), [this](const QString& f) {
            try {
                OpenLogFile(f, separator);
            } catch (const FileError& e) {
                ShowError(e.message());
            }
        });
    });
}

void ChartWindow::FollowTable(const GridModel& table) {
    if (table_ != nullptr) {
        disconnect(table_, nullptr, this, nullptr);
    }
    table_ = &table;
    fileName_.clear();
    RetranslateUi();
    const auto dirty = [this](int tableRow) {
        dirtyFrom_ = std::min(dirtyFrom_, tableRow);
        takeRows_->start();
    };
    // View row r is table row r + 1.
    connect(&table, &QAbstractItemModel::rowsInserted, this,
            [dirty](const QModelIndex&, int first, int) { dirty(first + 1); });
    connect(&table, &QAbstractItemModel::dataChanged, this,
            [dirty](const QModelIndex& topLeft, const QModelIndex&) { dirty(topLeft.row() + 1); });
    connect(&table, &QAbstractItemModel::modelReset, this, [dirty] { dirty(1); });
    dirtyFrom_ = 1;
    TakeNewRows();
}

void ChartWindow::TakeNewRows() {
    takeRows_->stop();
    if (table_ == nullptr || dirtyFrom_ >= table_->RowCount()) {
        dirtyFrom_ = INT_MAX;
        return;
    }
    const std::size_t before = data_.pointCount();
    data_.AddRows(*table_, dirtyFrom_, table_->RowCount() - 1);
    dirtyFrom_ = INT_MAX;
    if (data_.pointCount() != before || views_.empty()) {
        FillLists();
        Redraw();
    }
}

void ChartWindow::OpenLogFile(const QString& fileName, QChar logSeparator) {
    ChartData data = ReadChartFile(fileName, logSeparator);
    if (table_ != nullptr) {
        disconnect(table_, nullptr, this, nullptr);
        table_ = nullptr;
    }
    data_ = std::move(data);
    Meters_ListBox->clear();
    Records_ListBox->clear();
    fileName_ = fileName;
    RetranslateUi();
    zoomed_ = false;
    FillLists();
    Redraw();
}

void ChartWindow::FillLists() {
    redrawing_ = true;
    // New meters are picked (the first ones); of the records at first the
    // first one with a unit.
    for (std::size_t i = static_cast<std::size_t>(Meters_ListBox->count());
         i < data_.meters().size(); ++i) {
        const ChartMeter& m = data_.meters()[i];
        auto* item = new QListWidgetItem(m.place + u' ' + m.id, Meters_ListBox);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(i < kMetersPickedAtFirst ? Qt::Checked : Qt::Unchecked);
    }
    const bool anyPicked = !Checked(*Records_ListBox).empty();
    for (std::size_t i = static_cast<std::size_t>(Records_ListBox->count());
         i < data_.records().size(); ++i) {
        const ChartRecord& r = data_.records()[i];
        QString text = QString::number(r.number) + u' ' + r.description;
        if (!r.unit.trimmed().isEmpty()) {
            text += QStringLiteral(" [") + r.unit.trimmed() + u']';
        }
        auto* item = new QListWidgetItem(text, Records_ListBox);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        const bool pick =
            !anyPicked && Checked(*Records_ListBox).empty() && !r.unit.trimmed().isEmpty();
        item->setCheckState(pick ? Qt::Checked : Qt::Unchecked);
    }
    redrawing_ = false;
}

void ChartWindow::Pick(const std::vector<int>& meters, const std::vector<int>& records) {
    redrawing_ = true;
    const auto apply = [](QListWidget& list, const std::vector<int>& rows) {
        for (int i = 0; i < list.count(); ++i) {
            const bool on = (rows.size() == 1 && rows.front() == -1) ||
                            std::find(rows.begin(), rows.end(), i) != rows.end();
            list.item(i)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
        }
    };
    apply(*Meters_ListBox, meters);
    apply(*Records_ListBox, records);
    redrawing_ = false;
    Redraw();
}

void ChartWindow::Redraw() {
    // A zoomed chart keeps its time range while rows come in.
    std::optional<std::pair<qint64, qint64>> keep;
    if (zoomed_ && !views_.empty()) {
        const auto axes = views_.front()->chart()->axes(Qt::Horizontal);
        if (auto* time = axes.isEmpty() ? nullptr : qobject_cast<QDateTimeAxis*>(axes.front())) {
            keep = std::make_pair(time->min().toMSecsSinceEpoch(), time->max().toMSecsSinceEpoch());
        }
    }
    for (ChartView* view : views_) {
        delete view;
    }
    views_.clear();
    drawn_.clear();

    std::vector<ChartMeter> meters;
    for (const int i : Checked(*Meters_ListBox)) {
        meters.push_back(data_.meters()[static_cast<std::size_t>(i)]);
    }
    std::vector<ChartRecord> records;
    for (const int i : Checked(*Records_ListBox)) {
        records.push_back(data_.records()[static_cast<std::size_t>(i)]);
    }
    auto selected = SelectSeries(data_, meters, records);
    // The data layer's note, one part after the other in the window's language.
    QStringList parts = SkippedRowsNote(data_).split(QStringLiteral("; "), Qt::SkipEmptyParts);
    for (QString& part : parts) {
        part = ShownText(part);
    }
    QString note = parts.join(QStringLiteral("; "));
    if (selected.size() > kMaxLines) {
        selected.resize(kMaxLines);
        note += (note.isEmpty() ? QString() : QStringLiteral("\n")) +
                tr("only the first %1 lines are drawn").arg(kMaxLines);
    }
    Skipped_Label->setText(note);
    const ChartRange all = TimeRange(selected);
    for (const ChartPanel& panel : ArrangeCharts(selected)) {
        auto* chart = new QChart;
        chart->legend()->setAlignment(Qt::AlignRight);
        auto* time = new QDateTimeAxis;
        time->setFormat(QStringLiteral("dd.MM. hh:mm"));
        time->setTitleText(tr("idő"));
        chart->addAxis(time, Qt::AlignBottom);
        std::vector<QValueAxis*> valueAxes;
        for (std::size_t u = 0; u < panel.units.size(); ++u) {
            auto* axis = new QValueAxis;
            axis->setTitleText(panel.units[u]);
            chart->addAxis(axis, u == 0 ? Qt::AlignLeft : Qt::AlignRight);
            valueAxes.push_back(axis);
        }
        auto* view = new ChartView(chart, chartArea_);
        view->setMinimumHeight(kMinChartHeight);
        connect(view, &ChartView::cursorMoved, Cursor_Label, &QLabel::setText);
        std::vector<std::pair<QLineSeries*, std::size_t>> drawn;
        for (std::size_t i = 0; i < panel.series.size(); ++i) {
            const ChartSeries* s = panel.series[i];
            auto* line = new QLineSeries;
            line->setName(s->name());
            chart->addSeries(line);
            line->attachAxis(time);
            QValueAxis* axis = valueAxes[static_cast<std::size_t>(panel.axis[i])];
            line->attachAxis(axis);
            double low = std::numeric_limits<double>::infinity();
            double high = -low;
            for (const ChartPoint& p : s->points) {
                low = std::min(low, p.value);
                high = std::max(high, p.value);
            }
            // The axis spans every series on it.
            if (axis->property("set").toBool()) {
                low = std::min(low, axis->min());
                high = std::max(high, axis->max());
            }
            axis->setProperty("set", true);
            const double margin =
                high > low ? (high - low) * 0.05 : std::max(1.0, std::abs(high) * 0.05);
            axis->setRange(low - margin, high + margin);
            drawn.emplace_back(line, static_cast<std::size_t>(s - data_.series().data()));
        }
        for (QValueAxis* axis : valueAxes) {
            axis->applyNiceNumbers();
        }
        chartLayout_->addWidget(view);
        views_.push_back(view);
        drawn_.push_back(std::move(drawn));
        const double from = keep ? ChartMs(keep->first) : all.from;
        const double to = keep ? ChartMs(keep->second) : std::max(all.to, all.from + 1000);
        time->setRange(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(AxisMs(from))),
                       QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(AxisMs(to))));
        Reduce(view, from, to);
        // Zooming narrows the time axis: the series are reduced again to it.
        connect(time, &QDateTimeAxis::rangeChanged, view,
                [this, view](const QDateTime& min, const QDateTime& max) {
                    if (!redrawing_) {
                        zoomed_ = true;
                        Reduce(view, ChartMs(min.toMSecsSinceEpoch()),
                               ChartMs(max.toMSecsSinceEpoch()));
                    }
                });
        // A wider or narrower plot has other pixel columns.
        connect(chart, &QChart::plotAreaChanged, view, [this, view, time] {
            Reduce(view, ChartMs(time->min().toMSecsSinceEpoch()),
                   ChartMs(time->max().toMSecsSinceEpoch()));
        });
    }
}

void ChartWindow::Reduce(ChartView* view, double fromMs, double toMs) {
    const auto at = std::find(views_.begin(), views_.end(), view);
    if (at == views_.end()) {
        return;
    }
    const int width = static_cast<int>(view->chart()->plotArea().width());
    const int columns = width > 10 ? width : kDefaultColumns;
    for (const auto& [line, index] : drawn_[static_cast<std::size_t>(at - views_.begin())]) {
        const ChartSeries& s = data_.series()[index];
        QList<QPointF> points;
        for (const ChartPoint& p : ReducePoints(s.points, {fromMs, toMs}, columns)) {
            points.append(QPointF(AxisMs(p.time), p.value));
        }
        line->replace(points);
    }
}

void ChartWindow::ZoomReset_ButtonClick() {
    zoomed_ = false;
    Redraw();
}

bool ChartWindow::ExportPng(const QString& fileName) {
    return chartArea_->grab().save(fileName, "PNG");
}

bool ChartWindow::ExportPdf(const QString& fileName) {
    QPdfWriter pdf(fileName);
    pdf.setPageOrientation(QPageLayout::Landscape);
    pdf.setTitle(windowTitle());
    QPainter painter;
    if (views_.empty() || !painter.begin(&pdf)) {
        return false;
    }
    // Drawn as scenes, not as pictures: lines stay lines and texts stay text.
    // Each chart is laid out for the page (at kPdfChartWidth scene units
    // across) while it is drawn, then as it was.
    const QRect page = painter.viewport();
    const int height = page.height() / static_cast<int>(views_.size());
    const QSizeF pageSize(kPdfChartWidth, kPdfChartWidth * height / page.width());
    for (std::size_t i = 0; i < views_.size(); ++i) {
        QChart* chart = views_[i]->chart();
        const QRectF shown = chart->geometry();
        chart->setGeometry(QRectF(shown.topLeft(), pageSize));
        chart->layout()->activate();
        const QRect target(page.left(), page.top() + static_cast<int>(i) * height, page.width(),
                           height);
        chart->scene()->render(&painter, target, chart->geometry(), Qt::KeepAspectRatio);
        chart->setGeometry(shown);
        chart->layout()->activate();
    }
    return painter.end();
}

void ChartWindow::ChooseFile(bool save, const QString& filter,
                             const std::function<void(QString)>& done) {
    // Opened without a nested event loop: a logging cycle may run meanwhile.
    auto* dialog = new QFileDialog(this, QString(), QString(), filter);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    connect(dialog, &QFileDialog::fileSelected, this, done);
    dialog->open();
}

void ChartWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        RetranslateUi();
        if (!views_.empty()) {
            Redraw();
        }
    }
}

void ChartWindow::RetranslateUi() {
    if (table_ != nullptr) {
        setWindowTitle(tr("grafikon: adatlista"));
    } else if (!fileName_.isEmpty()) {
        setWindowTitle(tr("grafikon: %1").arg(fileName_));
    } else {
        setWindowTitle(tr("grafikon"));
    }
    ZoomReset_Button->setText(tr("teljes idő"));
    ZoomReset_Button->setToolTip(tr("a nagyítás vége: az egész időszak"));
    Png_Button->setText(tr("PNG mentés"));
    Pdf_Button->setText(tr("PDF mentés"));
    LogFile_Button->setText(tr("log file megnyitása"));
    Meters_Label->setText(tr("mérők"));
    Records_Label->setText(tr("adatok"));
}

void ChartWindow::ShowError(const QString& text) {
    auto* box = new QMessageBox(QMessageBox::Critical, QStringLiteral("Quorven"), ShownText(text),
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace quorven
