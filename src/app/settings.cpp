// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings.h"

#include "link/port_map.h"
#include "tables/separator.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace quorven {

namespace {

const QString kSection = QString::fromUtf16(kSettingsSection);

// A keyword setting: the box is checked when the value, upper-cased, is the word.
struct KeywordSetting {
    const char* key;
    const char* word;
    const char* fallback;
    bool AppSettings::*flag;
};

constexpr KeywordSetting kKeywordSettings[] = {
    {"READMODE", "SND_NKE", "SND_NKE", &AppSettings::sndNke},
    {"RESETMODE", "APPRES", "", &AppSettings::appReset},
    {"TELMODE", "MULTITEL", "", &AppSettings::multiTel},
    {"RTSMODE", "MDK", "", &AppSettings::mdk},
    {"IDSMODE", "ENHANCED", "", &AppSettings::enhancedIds},
};

// A decimal integer as the settings file may hold it: blanks around, an
// optional sign, digits only.
std::optional<qlonglong> ParseInteger(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 18) {
        return std::nullopt;
    }
    qsizetype i = (t[0] == QLatin1Char('-') || t[0] == QLatin1Char('+')) ? 1 : 0;
    if (i == t.size()) {
        return std::nullopt;
    }
    for (qsizetype j = i; j < t.size(); ++j) {
        if (t[j] < QLatin1Char('0') || t[j] > QLatin1Char('9')) {
            return std::nullopt;
        }
    }
    return t.toLongLong();
}

// Reads a number kept within [low, high]; reports a bad or clamped value.
qlonglong ReadBounded(const IniFile& ini, const QString& key, qlonglong fallback, qlonglong low,
                      qlonglong high, QStringList* report) {
    const auto raw = ini.value(kSection, key);
    if (!raw) {
        return fallback;
    }
    const auto number = ParseInteger(*raw);
    if (!number) {
        report->append(QStringLiteral("Bad value \"%1\" for %2 in settings file, default %3 used")
                           .arg(*raw, key)
                           .arg(fallback));
        return fallback;
    }
    const qlonglong kept = std::clamp(*number, low, high);
    if (kept != *number) {
        report->append(QStringLiteral("Value %1 for %2 in settings file out of range, %3 used")
                           .arg(*number)
                           .arg(key)
                           .arg(kept));
    }
    return kept;
}

} // namespace

int PortFromSetting(const QString& value) {
    return ComPortNumber(value.trimmed().toUpper());
}

QString PortName(int port) {
    return (port >= 1 && port <= kPortCount) ? QStringLiteral("COM%1").arg(port) : QString();
}

AppSettings ReadSettings(const IniFile& ini, QStringList* report) {
    AppSettings s;
    s.port = PortFromSetting(ini.value(kSection, u"MB1Port", QStringLiteral("COM1")));
    s.modemInit = ini.value(kSection, u"Telini", s.modemInit);
    s.phoneNumber = ini.value(kSection, u"Telnr", QString());
    s.pulseDial = ini.value(kSection, u"Telpuls", QString()) == QLatin1String("1");
    for (const KeywordSetting& k : kKeywordSettings) {
        const QString v =
            ini.value(kSection, QString::fromLatin1(k.key), QString::fromLatin1(k.fallback));
        s.*(k.flag) = v.toUpper() == QLatin1String(k.word);
    }
    s.stxRetries = static_cast<std::uint8_t>(
        ReadBounded(ini, QStringLiteral("STXRETRIES"), 5, 1, 255, report));
    s.additionalTimeoutMs = static_cast<std::uint16_t>(ReadBounded(
        ini, QStringLiteral("TIMEOUT"), 0, 0, std::numeric_limits<std::uint16_t>::max(), report));
    if (s.additionalTimeoutMs != 0) {
        report->append(QStringLiteral("Additional timeout %1 ms").arg(s.additionalTimeoutMs));
    }
    s.cycleTime = ini.value(kSection, u"TIMEINTERVAL", s.cycleTime);
    s.csvSeparator = ini.value(kSection, u"CSVSEPARATOR", s.csvSeparator);
    if (const auto refused = RefusedSeparator(s.csvSeparator)) {
        report->append(
            QStringLiteral("Bad value \"%1\" for CSVSEPARATOR in settings file: \"%2\" cannot "
                           "separate cells, \"%3\" used")
                .arg(s.csvSeparator, *refused, QChar(kDefaultSeparator)));
        s.csvSeparator = QChar(kDefaultSeparator);
    }
    s.portDevices = ini.entries(QString::fromUtf16(kPortsSection));
    return s;
}

void WriteSettings(IniFile& ini, const AppSettings& s) {
    ini.setValue(kSection, QStringLiteral("MB1Port"), PortName(s.port));
    ini.setValue(kSection, QStringLiteral("Telini"), s.modemInit);
    ini.setValue(kSection, QStringLiteral("Telnr"), s.phoneNumber);
    ini.setValue(kSection, QStringLiteral("Telpuls"),
                 s.pulseDial ? QStringLiteral("1") : QStringLiteral("0"));
    for (const KeywordSetting& k : kKeywordSettings) {
        ini.setValue(kSection, QLatin1String(k.key),
                     s.*(k.flag) ? QString(QLatin1String(k.word)) : QString());
    }
    QString cycle = s.cycleTime;
    cycle.remove(QLatin1Char(' '));
    ini.setValue(kSection, QStringLiteral("TIMEINTERVAL"), cycle);
    ini.setValue(kSection, QStringLiteral("CSVSEPARATOR"), s.csvSeparator.left(1));
}

} // namespace quorven
