#pragma once

#include "tables/separator.h"

#include <QChar>
#include <QString>

namespace quorven {

// The options the station reads, kept in step with the window's controls by
// the window. Named after the controls they mirror.
struct Options {
    // "Multi Tel.": read several telegrams of a meter.
    bool MultiTel_CheckBox = false;
    // "MDK": the level converter is powered through the lines (RTS off).
    bool MDK_CheckBox = false;
    // The port selected in the port list; new slave rows and loaded rows
    // without a port get it.
    QString MB1Port_ComboBox = QStringLiteral("COM1");
    // The CSV separator of both main tables (never an unusable character).
    QChar separator = QChar(kDefaultSeparator);
};

} // namespace quorven
