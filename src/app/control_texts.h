// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace quorven {

// Caption and hint of a control, found by the control's object name. A hint is
// shown as the tool tip and, while the mouse is over the control, in the
// status bar.
struct ControlText {
    const char* name;
    const char* caption; // nullptr: the control has no caption of its own
    const char* hint;    // nullptr: no hint
};

// Every captioned or hinted control of the main window, in the window's order.
extern const ControlText kMainWindowTexts[];
extern const int kMainWindowTextCount;

// The pop-up menu of the slave list, in its order.
extern const ControlText kSlaveMenuTexts[];
extern const int kSlaveMenuTextCount;

// The pop-up menu of the data table.
extern const ControlText kDataMenuTexts[];
extern const int kDataMenuTextCount;

// The translation context of the tables' captions and hints.
inline constexpr char kControlTextContext[] = "MainWindow";

// Sets caption, tool tip and status tip of every control of the table that is
// a child of root (or root itself), in the window's language. Run again when
// the language changes.
void ApplyTexts(QWidget* root, const ControlText* texts, int count);

} // namespace quorven
