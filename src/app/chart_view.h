// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QChartView>
#include <QString>

namespace quorven {

// One chart of the chart window: zoomed by dragging a rectangle; tells what
// lies under the mouse.
class ChartView : public QChartView {
    Q_OBJECT
public:
    explicit ChartView(QChart* chart, QWidget* parent = nullptr);

signals:
    // The time and the values of the value axes under the mouse; empty when
    // it left the plot.
    void cursorMoved(const QString& text);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
};

// The text of the cursor at a point of the chart's plot area: the time and
// the value of each value axis with its unit, or empty outside the plot.
QString CursorText(QChart& chart, QPointF at);

} // namespace quorven
