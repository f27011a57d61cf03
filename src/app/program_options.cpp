// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/program_options.h"

#include "app/language.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <iterator>

namespace quorven {

namespace {

// Folders of installed programs: the settings never go there, even for a
// user who may write into them (root).
constexpr const char* kSystemProgramFolders[] = {
    QUORVEN_INSTALL_BINDIR, "/usr/bin", "/usr/local/bin", "/bin", "/usr/sbin", "/sbin",
};

// The value of "--name=value", or of "--name" alone (then empty).
bool TakeOption(const QString& argument, QLatin1String name, QString* value, bool* hasValue) {
    if (!argument.startsWith(name)) {
        return false;
    }
    const QStringView rest = QStringView(argument).mid(name.size());
    if (rest.isEmpty()) {
        *hasValue = false;
        value->clear();
        return true;
    }
    if (rest.front() != QLatin1Char('=')) {
        return false;
    }
    *hasValue = true;
    *value = rest.mid(1).toString();
    return true;
}

} // namespace

ProgramOptions ParseProgramOptions(const QStringList& arguments) {
    ProgramOptions o;
    for (const QString& a : arguments) {
        QString value;
        bool hasValue = false;
        if (TakeOption(a, QLatin1String("--simulate"), &value, &hasValue)) {
            o.simulate = true;
            o.simulationFile = value;
        } else if (TakeOption(a, QLatin1String("--import"), &value, &hasValue)) {
            if (value.isEmpty()) {
                o.problems.append(QStringLiteral("--import needs a file: --import=FILE"));
            } else {
                o.importFile = value;
            }
        } else if (TakeOption(a, QLatin1String("--config-dir"), &value, &hasValue)) {
            if (value.isEmpty()) {
                o.problems.append(QStringLiteral("--config-dir needs a folder: --config-dir=DIR"));
            } else {
                o.configDir = value;
            }
        } else if (TakeOption(a, QLatin1String("--trace"), &value, &hasValue)) {
            if (value.isEmpty()) {
                o.refusals.append(QStringLiteral("--trace needs a file: --trace=FILE"));
            } else {
                o.traceFile = value;
            }
        } else if (TakeOption(a, QLatin1String("--mqtt"), &value, &hasValue)) {
            if (value.isEmpty()) {
                o.refusals.append(QStringLiteral("--mqtt needs a broker: --mqtt=mqtt://HOST:PORT"));
            } else {
                o.mqttUrl = value;
            }
        } else if (TakeOption(a, QLatin1String("--language"), &value, &hasValue)) {
            if (!LanguageOfCode(value)) {
                o.refusals.append(QStringLiteral(
                    "--language takes en (English) or hu (Hungarian): --language=en"));
            } else {
                o.language = value.toLower();
            }
        } else if (a == QLatin1String("--virtual-time")) {
            o.virtualTime = true;
        } else {
            o.switches.append(a);
        }
    }
    if (o.virtualTime && !o.simulate) {
        o.refusals.append(QStringLiteral(
            "--virtual-time runs only on the simulated bus: give --simulate as well"));
    }
    return o;
}

bool IsSystemProgramFolder(const QString& folder) {
    const QString path = QDir::cleanPath(QDir(folder).absolutePath());
    return std::any_of(
        std::begin(kSystemProgramFolders), std::end(kSystemProgramFolders),
        [&path](const char* system) { return path == QDir::cleanPath(QString::fromUtf8(system)); });
}

QString ConfigFolder(const QString& explicitDir, const QString& programFolder,
                     const QString& userConfigFolder) {
    if (!explicitDir.isEmpty()) {
        return QDir(explicitDir).absolutePath();
    }
    const QFileInfo program(programFolder);
    if (program.isDir() && program.isWritable() && !IsSystemProgramFolder(programFolder)) {
        return program.absoluteFilePath();
    }
    return userConfigFolder;
}

QString SettingsFileName(const QString& programFileName) {
    const QFileInfo info(programFileName);
    const QString name = info.fileName().toLower();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0) {
        return name + QStringLiteral(".ini");
    }
    return name.left(dot + 1) + QStringLiteral("ini");
}

} // namespace quorven
