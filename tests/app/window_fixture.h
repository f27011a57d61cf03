// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A main window for the GUI tests: its settings and slist.csv in a temporary
// folder, a scripted prompter, the zoom and modem windows created as at the
// program's start.

#include "app/main_window.h"
#include "common/scripted_prompter.h"
#include "link/trace.h"
#include "link/virtual_clock.h"
#include "operations/station.h"

#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace quorven::testing {

struct WindowFixture {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    std::unique_ptr<TForm1> form;
    // The window's own boxes and dialogs instead of the script.
    bool ownDialogs = false;

    QString path(const QString& name) const { return dir.filePath(name); }

    void writeFile(const QString& name, const QByteArray& bytes) const {
        QFile f(path(name));
        if (f.open(QIODevice::WriteOnly)) {
            f.write(bytes);
        }
    }
    QByteArray readFile(const QString& name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    TForm1& start(const QStringList& switches = {}, Clock* clock = nullptr,
                  const std::function<void(StartupConfig&)>& adjust = {}) {
        StartupConfig config;
        config.programPath = QStringLiteral("/opt/quorven/quorven");
        config.configFolder = dir.path();
        config.switches = switches;
        if (adjust) {
            adjust(config);
        }
        form = std::make_unique<TForm1>(config, ownDialogs ? nullptr : &prompter, clock);
        form->CreateZoomWindow();
        form->CreateModemWindow();
        return *form;
    }

    // The window on the simulated bus with one heat meter in its slave list,
    // its wall clock at 31.01.2025 08:00:00 on `clock`.
    TForm1& startOneMeter(VirtualClock& clock) {
        writeFile("slist.csv", "Beép.hely,Mbus cím,Gy.sz.,Baud,Gyártó,Változat,Közeg,adatcsomag,"
                               "COM port\r\nHőközpont,1,06855817,2400,KAM,8,Heat,\"\",COM1\r\n");
        TForm1& w = start({}, &clock, [](StartupConfig& c) { c.simulate = true; });
        w.station().wallClock().Start(QDateTime(QDate(2025, 1, 31), QTime(8, 0, 0)), clock);
        return w;
    }

    QStringList traceLines() const { return form->trace().lines(); }
};

} // namespace quorven::testing
