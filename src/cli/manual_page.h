// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/command_help.h"

#include <QString>

namespace quorven {

// The hidden option that prints a program's manual page; the build writes
// the pages with it, so they list exactly what --help lists.
inline constexpr char kManualPageOption[] = "--manual-page";

// The manual page (man(7) macros, section 1) of a program, made from the
// same rows as its --help.
QString ManualPage(const ProgramHelp& help);

} // namespace quorven
