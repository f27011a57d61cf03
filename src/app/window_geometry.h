// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/ini_file.h"

#include <QList>
#include <QRect>
#include <QSize>

namespace quorven {

// Where the main window was and how its splitter divided it, as section
// "Window" of the settings file keeps them: "Left", "Top", "Width" and
// "Height" of the client area, "Maximized" ("1" or "0"), and "Splitter",
// the heights of the panes from the top, separated by commas.
struct WindowGeometry {
    QRect area; // null when the file keeps none (or a bad one)
    bool maximized = false;
    QList<int> splitter; // empty when the file keeps none (or a bad one)
};

inline constexpr char16_t kWindowSection[] = u"Window";
inline constexpr int kSplitterPanes = 3;

// Values that are not numbers, or out of any sensible range, count as none.
WindowGeometry ReadWindowGeometry(const IniFile& ini);
void WriteWindowGeometry(IniFile& ini, const WindowGeometry& geometry);

// The client area of the main window on a screen whose free area is
// `available`: the kept area where it fits on the screen, otherwise the
// kept or the preferred size, made to fit and centred.
QRect PlaceWindow(const QRect& kept, const QRect& available, QSize preferred);

} // namespace quorven
