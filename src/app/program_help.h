// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/command_help.h"

#include <QString>

#include <span>

namespace quorven {

// The program's own "--" options, one row each (quorven-shot takes them too).
std::span<const HelpRow> QuorvenOptions();

// What `quorven --help` prints: the options, then the switches of the
// unattended run.
const ProgramHelp& QuorvenHelp();

// The text of Help > About: the version, the licence, where the settings
// file and the slave list live, and the broker the readings go to (empty:
// none).
QString AboutText(const QString& settingsPath, const QString& slaveListPath,
                  const QString& brokerUrl);

} // namespace quorven
