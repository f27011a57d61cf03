// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/chart_view.h"

#include <QAbstractSeries>
#include <QChart>
#include <QDateTime>
#include <QMouseEvent>
#include <QValueAxis>

namespace quorven {

ChartView::ChartView(QChart* chart, QWidget* parent) : QChartView(chart, parent) {
    setRubberBand(QChartView::RectangleRubberBand);
    setRenderHint(QPainter::Antialiasing);
    setMouseTracking(true);
}

void ChartView::mouseMoveEvent(QMouseEvent* event) {
    QChartView::mouseMoveEvent(event);
    emit cursorMoved(CursorText(*chart(), mapToScene(event->position().toPoint())));
}

void ChartView::leaveEvent(QEvent* event) {
    QChartView::leaveEvent(event);
    emit cursorMoved(QString());
}

QString CursorText(QChart& chart, QPointF at) {
    if (!chart.plotArea().contains(at) || chart.series().isEmpty()) {
        return {};
    }
    QString text;
    QStringList values;
    QList<QAbstractAxis*> seen;
    for (QAbstractSeries* series : chart.series()) {
        const QPointF value = chart.mapToValue(at, series);
        if (text.isEmpty()) {
            text = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(value.x()))
                       .toString(QStringLiteral("dd.MM.yy hh:mm:ss"));
        }
        for (QAbstractAxis* axis : series->attachedAxes()) {
            auto* valueAxis = qobject_cast<QValueAxis*>(axis);
            if (valueAxis != nullptr && !seen.contains(axis)) {
                seen << axis;
                values << QString::number(value.y(), 'g', 6) + u' ' + valueAxis->titleText();
            }
        }
    }
    return text + QStringLiteral("   ") + values.join(QStringLiteral("   "));
}

} // namespace quorven
