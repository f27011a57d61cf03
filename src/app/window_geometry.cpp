// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window_geometry.h"

#include <QStringList>

#include <optional>

namespace quorven {

namespace {

const QString kSection = QString::fromUtf16(kWindowSection);

// Room left around the client area for the frame and the title bar.
constexpr QSize kFrameAllowance(16, 48);
// Smaller than this the window shows nothing useful.
constexpr QSize kSmallest(480, 360);
constexpr int kLargest = 100000;

std::optional<int> Number(const IniFile& ini, QStringView key, int low) {
    const auto text = ini.value(kSection, key);
    bool ok = false;
    const int n = text ? text->trimmed().toInt(&ok) : 0;
    if (!ok || n < low || n > kLargest) {
        return std::nullopt;
    }
    return n;
}

} // namespace

WindowGeometry ReadWindowGeometry(const IniFile& ini) {
    WindowGeometry g;
    const auto left = Number(ini, u"Left", -kLargest);
    const auto top = Number(ini, u"Top", -kLargest);
    const auto width = Number(ini, u"Width", 1);
    const auto height = Number(ini, u"Height", 1);
    if (left && top && width && height) {
        g.area = QRect(*left, *top, *width, *height);
    }
    g.maximized = ini.value(kSection, u"Maximized", QString()).trimmed() == QLatin1String("1");
    const QStringList panes = ini.value(kSection, u"Splitter", QString()).split(u',');
    for (const QString& pane : panes) {
        bool ok = false;
        const int h = pane.trimmed().toInt(&ok);
        if (!ok || h < 0 || h > kLargest || panes.size() != kSplitterPanes) {
            g.splitter.clear();
            break;
        }
        g.splitter.append(h);
    }
    return g;
}

void WriteWindowGeometry(IniFile& ini, const WindowGeometry& g) {
    ini.setValue(kSection, QStringLiteral("Left"), QString::number(g.area.left()));
    ini.setValue(kSection, QStringLiteral("Top"), QString::number(g.area.top()));
    ini.setValue(kSection, QStringLiteral("Width"), QString::number(g.area.width()));
    ini.setValue(kSection, QStringLiteral("Height"), QString::number(g.area.height()));
    ini.setValue(kSection, QStringLiteral("Maximized"),
                 g.maximized ? QStringLiteral("1") : QStringLiteral("0"));
    QStringList panes;
    for (int h : g.splitter) {
        panes.append(QString::number(h));
    }
    ini.setValue(kSection, QStringLiteral("Splitter"), panes.join(u','));
}

QRect PlaceWindow(const QRect& kept, const QRect& available, QSize preferred) {
    const QSize room = (available.size() - kFrameAllowance).expandedTo(kSmallest);
    const QSize size =
        (kept.isValid() ? kept.size() : preferred).expandedTo(kSmallest).boundedTo(room);
    if (kept.isValid() && available.contains(QRect(kept.topLeft(), size))) {
        return QRect(kept.topLeft(), size);
    }
    QRect placed(QPoint(), size);
    placed.moveCenter(available.center());
    return placed;
}

} // namespace quorven
