// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/golden.h"

// Files for the CSV tests, written into a temporary folder.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace quorven::testing {

inline QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        return {};
    }
    return path;
}

} // namespace quorven::testing
