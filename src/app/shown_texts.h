// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace quorven {

// The texts the station and the telegram check hand to the window for a box,
// a box's caption, the status bar, a file dialog's filter or the modem
// window, in the language of the window. They are built in the operations
// layer exactly as the trace and the unattended run need them, so they are
// translated here, where they are shown: a text of the catalogue as it is,
// or one built from a catalogue text with "%1"-style parts filled in (the
// parts are kept). Any other text is shown unchanged.
QString ShownText(const QString& text);

// A line of the telegram check (German, as the trace keeps it).
bool IsTelegramCheckText(const QString& text);

// The translation context of the catalogue.
inline constexpr char kShownTextContext[] = "Messages";

} // namespace quorven
