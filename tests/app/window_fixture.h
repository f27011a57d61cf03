// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A main window for the GUI tests: its settings and slist.csv in a temporary
// folder, a scripted prompter, the zoom and modem windows created as at the
// program's start.

#include "app/main_window.h"
#include "common/scripted_prompter.h"
#include "link/trace.h"

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

    QStringList traceLines() const { return form->trace().lines(); }
};

} // namespace quorven::testing
