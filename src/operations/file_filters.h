// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace quorven {

// The file dialogs' filter: its caption and the patterns of the table files
// (CSV) and of an imported telegram (any file).
inline const QString kTableFileFilter = QStringLiteral("adatcsomag");
inline const QString kCsvPattern = QStringLiteral("*.csv");
inline const QString kAnyFilePattern = QStringLiteral("*");

} // namespace quorven
