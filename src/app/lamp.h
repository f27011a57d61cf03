// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QWidget>

namespace quorven {

// The status lamp: a filled circle, green while the station is free and red
// while it is busy.
class Lamp : public QWidget {
    Q_OBJECT
public:
    explicit Lamp(QWidget* parent = nullptr);

    void setColor(const QColor& color);
    QColor color() const { return color_; }

    QSize sizeHint() const override { return {17, 17}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor color_ = Qt::green;
};

} // namespace quorven
