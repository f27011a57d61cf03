// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/ini_file.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <utility>

namespace quorven {

// The user settings kept in section "Data" of the settings file, as the window
// uses them. Defaults are those of a missing file.
struct AppSettings {
    int port = 1;                                   // 1..255 selects "COMn"; 0 selects none
    QString modemInit = QStringLiteral("AT&FU1^M"); // "Telini"
    QString phoneNumber;                            // "Telnr"
    bool pulseDial = false;                         // "Telpuls" == "1"
    bool sndNke = true;                             // "READMODE" == "SND_NKE"
    bool appReset = false;                          // "RESETMODE" == "APPRES"
    bool multiTel = false;                          // "TELMODE" == "MULTITEL"
    bool mdk = false;                               // "RTSMODE" == "MDK"
    bool enhancedIds = false;                       // "IDSMODE" == "ENHANCED"
    std::uint8_t stxRetries = 5;                    // "STXRETRIES", 1..255; read only
    std::uint16_t additionalTimeoutMs = 0;          // "TIMEOUT", read only
    QString cycleTime = QStringLiteral("5");        // "TIMEINTERVAL", as the field shows it
    QString csvSeparator = QStringLiteral(",");     // "CSVSEPARATOR"
    // Section "Ports": a port name ("COM3") to a device ("/dev/ttyUSB0", "sim").
    QList<std::pair<QString, QString>> portDevices;
};

inline constexpr char16_t kSettingsSection[] = u"Data";
inline constexpr char16_t kPortsSection[] = u"Ports";
inline constexpr int kPortCount = 255;

// The port number that an "MB1Port" value selects: "COM7" gives 7, "COM255"
// 255, by the one rule of port names (ComPortNumber, case and blanks around it
// aside); any other value gives 0 (no port selected).
int PortFromSetting(const QString& value);
// "COMn" for 1..255, empty for 0.
QString PortName(int port);

// Reads the settings. A bad "STXRETRIES" or "TIMEOUT" does not stop the reading:
// its default (or, for a number out of range, the nearest allowed value) is used
// and a line saying so is added to *report, which also receives the
// "Additional timeout" line when the time-out is not 0. A "CSVSEPARATOR" whose
// first character cannot separate cells is reported too, and "," used.
AppSettings ReadSettings(const IniFile& ini, QStringList* report);

// Writes the keys that are written back, in their order. Keys only read
// ("STXRETRIES", "TIMEOUT") and the "Ports" section are left as the file has them.
void WriteSettings(IniFile& ini, const AppSettings& settings);

} // namespace quorven
