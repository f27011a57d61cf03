// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/lamp.h"

#include <QPainter>

namespace quorven {

Lamp::Lamp(QWidget* parent) : QWidget(parent) {
    setFixedSize(17, 17);
}

void Lamp::setColor(const QColor& color) {
    if (color_ != color) {
        color_ = color;
        update();
    }
}

void Lamp::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(palette().color(QPalette::WindowText), 1));
    p.setBrush(color_);
    p.drawEllipse(QRectF(rect()).adjusted(1, 1, -1, -1));
}

} // namespace quorven
