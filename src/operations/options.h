// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tables/separator.h"

#include <QChar>
#include <QString>

namespace quorven {

// The options the station reads, kept in step with the window's controls by
// the window. Named after the controls they mirror.
struct Options {
    // "S&ND_NKE": a SND_NKE before the first telegram of each meter.
    bool SND_NKE_CheckBox = true;
    // "App&. Res.": an application reset before the first telegram of each meter.
    bool AppRes_CheckBox = false;
    // "M&ulti Tel.": read several telegrams of a meter.
    bool MultiTel_CheckBox = false;
    // "MDK": the level converter is powered through the lines (RTS off).
    bool MDK_CheckBox = false;
    // "GSM-modem (8N1)": no parity instead of even parity.
    bool NP_CheckBox = false;
    // "irás log file-ba": logging writes each cycle into the log file.
    bool LogFile_CheckBox = false;
    // "IDS+": the enhanced secondary search.
    bool IDS_CheckBox = false;
    // The cycle time field, as typed ("5", " 10").
    QString PI_MaskEdit = QStringLiteral("5");
    // The entry of the search baud rate list: 0 "2400", 1 "300", 2 "2400 + 300", 3 "9600".
    int SB_ComboBox = 0;
    // The port selected in the port list; new slave rows and loaded rows
    // without a port get it.
    QString MB1Port_ComboBox = QStringLiteral("COM1");
    // The CSV separator of both main tables (never an unusable character).
    QChar separator = QChar(kDefaultSeparator);
};

} // namespace quorven
