// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/program_help.h"

#include <QtGlobal>

namespace quorven {

namespace {

// clang-format off
constexpr HelpRow kOptions[] = {
    {"--simulate", "[=FILE]", "put every port (COM1 ... COM255) on the simulated bus: the built-in demonstration bus, or the meters file FILE"},
    {"--config-dir", "=DIR", "keep the settings file and slist.csv in DIR (default: beside the program when that folder can be written and is not a system folder such as /usr/bin, else the user's configuration folder)"},
    {"--import", "=FILE", "import the hex-text telegram FILE once the window shows"},
    {"--language", "=LANG", "the window's language for this run: en (English) or hu (Hungarian, the default); without it, the language last chosen in the menu \"Nyelv / Language\""},
    {"--mqtt", "=URL", "publish every meter read to the MQTT broker at URL (mqtt://HOST:PORT or mqtts://HOST:PORT) for this run, in place of Url in section [MQTT] of the settings file"},
    {"--list-ports", "", "print where each port name leads (mapped names, the system's serial ports, gateways) and exit"},
    {"--trace", "=FILE", "append every line of the text area to FILE as it is written"},
    {"--virtual-time", "", "with --simulate: run on virtual time, so an unattended run ends at once (waits and time-outs still count exactly)"},
};

constexpr HelpRow kSwitches[] = {
    {"/C:", "n", "serial port COMn, n from 1 to 255"},
    {"/B:", "n", "search baud rate 300, 2400 or 9600"},
    {"/S:", "FILE", "slave list loaded at the start of the run"},
    {"/L", "", "log: read every meter into the log file, then close the program"},
    {"/X", "", "with /L: keep logging at the cycle time and stay open"},
    {"/Z:", "FILE", "name of the log file (default Log.csv)"},
    {"/A", "", "put the date and time of the start into the log file's name"},
    {"/I:", "n", "cycle time: n seconds between read-outs, 1 to 86400"},
    {"/M", "", "dial the modem first"},
    {"/T:", "NUMBER", "telephone number to dial"},
    {"/K:", "TEXT", "modem initialisation string"},
    {"/W", "", "pulse dialling"},
    {"/NW", "", "tone dialling"},
    {"/N", "", "send SND_NKE before reading a meter"},
    {"/NN", "", "no SND_NKE before reading"},
    {"/U", "", "read multi telegrams (with SND_NKE)"},
    {"/NU", "", "read one telegram per meter"},
    {"/R", "", "send an application reset before reading"},
    {"/NR", "", "no application reset"},
    {"/NP", "", "GSM modem: no parity (8N1)"},
    {"/PE", "", "even parity (8E1)"},
};
// clang-format on

// The program's own licence, as About shows it.
constexpr char kLicence[] =
    "GNU General Public License, version 3 or later (GPL-3.0-or-later). There is no warranty.";

const ProgramHelp kHelp{
    "quorven",
    "[OPTION]... [SWITCH]...",
    "Master station for the wired M-Bus: finds the meters of a bus, reads, polls and logs them.",
    kOptions,
    "Switches of the unattended run (upper or lower case; evaluated 4.5 s after the window "
    "shows, each echoed in the text area, unknown ones ignored):",
    kSwitches,
    "Section [MQTT] of the settings file publishes every meter read to an MQTT broker: "
    "Url=mqtt://HOST:1883 (or mqtts://HOST:8883 with CaFile=), Topic=quorven/{site}, Site= "
    "(default: the host name), ClientId=, User=, PasswordFile=, Qos=1, Retain=0, "
    "HomeAssistant=0, MaxWaiting=100000. Without the section nothing is published.",
};

} // namespace

std::span<const HelpRow> QuorvenOptions() {
    return kOptions;
}

const ProgramHelp& QuorvenHelp() {
    return kHelp;
}

QString AboutText(const QString& settingsPath, const QString& slaveListPath,
                  const QString& brokerUrl) {
    return QStringLiteral("Quorven %1\n"
                          "Master station for the wired M-Bus (EN 13757-2/-3)\n\n"
                          "Licence: %2\n"
                          "Built with Qt %3 (GNU LGPL v3). The demonstration bus answers with "
                          "test telegrams of the libmbus project (BSD 3-Clause, Raditex Control "
                          "AB).\n\n"
                          "Settings file: %4\n"
                          "Slave list: %5\n"
                          "Previous slave list: %5.bak\n"
                          "Readings to a broker: %6")
        .arg(
            ProgramVersion(), QString::fromUtf8(kLicence), QString::fromLatin1(qVersion()),
            settingsPath, slaveListPath,
            brokerUrl.isEmpty()
                ? QStringLiteral("none (section [MQTT] of the settings file, Url=mqtt://HOST:PORT)")
                : brokerUrl + QStringLiteral(" (section [MQTT] of the settings file)"));
}

} // namespace quorven
