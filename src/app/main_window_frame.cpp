// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's frame: its size and place on the screen and the splitter
// between the tables (kept in section "Window" of the settings file), Help >
// About, and the hint of the first start.
#include "app/main_window.h"

#include "app/program_help.h"
#include "app/window_geometry.h"
#include "operations/station.h"
#include "publish/station_publishing.h"

#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QSplitter>

#include <algorithm>

namespace quorven {

namespace {

// Room for the data table's 14 columns and a screenful of its rows on a
// laptop screen of 1366 x 768.
constexpr QSize kPreferredSize(1340, 680);
// The text area's default share: a few lines of trace.
constexpr int kTextAreaLines = 6;

} // namespace

void TForm1::ConnectFrame() {
    // The hint goes once there is something to work on.
    for (const GridModel* table :
         {&station_->tables().slaveList(), &station_->tables().dataTable()}) {
        connect(table, &GridModel::rowCountChanged, FirstStart_Label, [this](int rows) {
            if (rows > 1) {
                FirstStart_Label->hide();
            }
        });
    }
}

void TForm1::PlaceFrame(const WindowGeometry& kept) {
    const QScreen* screen = QGuiApplication::screenAt(kept.area.center());
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    const QRect available =
        screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1366, 728);
    setGeometry(PlaceWindow(kept.area, available, kPreferredSize));
    if (kept.maximized) {
        setWindowState(windowState() | Qt::WindowMaximized);
    }
    if (kept.splitter.size() == Splitter1->count()) {
        Splitter1->setSizes(kept.splitter);
        return;
    }
    const int top = Splitter1->widget(0)->minimumSizeHint().height();
    const int text = kTextAreaLines * fontMetrics().lineSpacing();
    Splitter1->setSizes({top, std::max(height() - top - text, top), text});
}

WindowGeometry TForm1::CurrentFrame() const {
    WindowGeometry g;
    g.maximized = isMaximized();
    g.area = g.maximized || isMinimized() ? normalGeometry() : geometry();
    g.splitter = Splitter1->sizes();
    return g;
}

void TForm1::About1Click() {
    station_->Enter(Handler::About1, [this] {
        prompter_->showMessageNoWait(AboutText(settingsPath(), slaveListPath(),
                                               publishing_ ? publishing_->url() : QString()),
                                     tr("About Quorven"));
    });
}

void TForm1::ShowFirstStartHint() {
    // Its text is set with the window's other texts.
    FirstStart_Label->show();
}

} // namespace quorven
