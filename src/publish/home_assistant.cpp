// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/home_assistant.h"

#include "publish/meter_message.h"
#include "tables/table_layouts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <array>

namespace quorven {

namespace {

// A kind of record Home Assistant shows: the record's description, the
// sensor's device class and state class, and the units that class takes.
struct SensorKind {
    QLatin1String description;
    QLatin1String deviceClass;
    QLatin1String stateClass;
    std::array<const char*, 6> units;
};

const SensorKind kSensorKinds[] = {
    {QLatin1String("energy"),
     QLatin1String("energy"),
     QLatin1String("total_increasing"),
     {"Wh", "kWh", "MWh", "MJ", "GJ"}},
    {QLatin1String("volume"),
     QLatin1String("volume"),
     QLatin1String("total_increasing"),
     {"m³", "L", "mL", "ft³", "gal"}},
    {QLatin1String("power"),
     QLatin1String("power"),
     QLatin1String("measurement"),
     {"W", "kW", "MW", "", ""}},
    {QLatin1String("volume flow"),
     QLatin1String("volume_flow_rate"),
     QLatin1String("measurement"),
     {"m³/h", "L/h", "L/min", "ft³/min", "gal/min", ""}},
    {QLatin1String("flow temperature"),
     QLatin1String("temperature"),
     QLatin1String("measurement"),
     {"°C", "°F", "K", "", ""}},
    {QLatin1String("return temperature"),
     QLatin1String("temperature"),
     QLatin1String("measurement"),
     {"°C", "°F", "K", "", ""}},
    {QLatin1String("external temperature"),
     QLatin1String("temperature"),
     QLatin1String("measurement"),
     {"°C", "°F", "K", "", ""}},
    {QLatin1String("temperature difference"),
     QLatin1String("temperature"),
     QLatin1String("measurement"),
     {"K", "", "", "", ""}},
};

// The data table's unit texts as Home Assistant writes them.
QString HomeAssistantUnit(const QString& unit) {
    QString text = unit.trimmed();
    text.replace(QLatin1String("m^3"), QStringLiteral("m³"));
    text.replace(QLatin1String("ft^3"), QStringLiteral("ft³"));
    if (text == QLatin1String("l")) {
        return QStringLiteral("L");
    }
    if (text == QLatin1String("ml")) {
        return QStringLiteral("mL");
    }
    if (text.startsWith(QLatin1String("l/"))) {
        text[0] = u'L';
    }
    return text;
}

const SensorKind* KindOf(const QString& description) {
    for (const SensorKind& kind : kSensorKinds) {
        if (description.trimmed() == kind.description) {
            return &kind;
        }
    }
    return nullptr;
}

// Letters and digits kept, everything else "_", in lower case.
QString IdPart(const QString& text) {
    QString id = text.trimmed().toLower();
    for (QChar& c : id) {
        if (!(c.isLetterOrNumber() && c.unicode() < 128)) {
            c = u'_';
        }
    }
    return id;
}

QString SensorName(const QStringList& cells) {
    QString name = cells[kDataDescription].trimmed();
    const QString function = cells[kDataFunction].trimmed();
    if (!function.isEmpty() && function != QLatin1String("instant.")) {
        name += QLatin1Char(' ') + function;
    }
    const std::array<std::pair<int, const char*>, 3> parts = {
        {{kDataStorage, "storage"}, {kDataTariff, "tariff"}, {kDataSubunit, "subunit"}}};
    for (const auto& [column, label] : parts) {
        const QString value = cells[column].trimmed();
        if (!value.isEmpty() && value != QLatin1String("0")) {
            name += QStringLiteral(" %1 %2").arg(QLatin1String(label), value);
        }
    }
    return name;
}

} // namespace

QList<OutgoingMessage> DiscoveryMessages(const MeterReading& reading, const QString& stateTopic,
                                         const QString& statusTopic, const QString& site) {
    const QString manufacturer = reading.manufacturer.trimmed();
    const QString id = reading.id.trimmed();
    const QString deviceId =
        QStringLiteral("quorven_%1_%2_%3").arg(IdPart(site), IdPart(manufacturer), IdPart(id));
    QJsonObject device;
    device.insert(QLatin1String("identifiers"), QJsonArray{deviceId});
    device.insert(QLatin1String("name"),
                  QStringLiteral("%1 %2 %3").arg(reading.place, manufacturer, id).trimmed());
    device.insert(QLatin1String("manufacturer"), manufacturer);
    device.insert(QLatin1String("model"), reading.medium);
    device.insert(QLatin1String("sw_version"), reading.version);

    QList<OutgoingMessage> messages;
    for (const QStringList& cells : reading.rows) {
        if (cells.size() != kDataColumnCount || IsErrorRow(cells) ||
            !CellNumber(cells[kDataValue]) || !CellNumber(cells[kDataNumber])) {
            continue;
        }
        const SensorKind* kind = KindOf(cells[kDataDescription]);
        if (kind == nullptr) {
            continue;
        }
        const QString number = cells[kDataNumber].trimmed();
        const QString unit = HomeAssistantUnit(cells[kDataUnit]);
        const QString objectId = deviceId + QLatin1Char('_') + number;
        QJsonObject config;
        config.insert(QLatin1String("name"), SensorName(cells));
        config.insert(QLatin1String("unique_id"), objectId);
        config.insert(QLatin1String("state_topic"), stateTopic);
        config.insert(QLatin1String("value_template"),
                      QStringLiteral("{% for r in value_json.records %}{% if r.number == %1 %}"
                                     "{{ r.value }}{% endif %}{% endfor %}")
                          .arg(number));
        config.insert(QLatin1String("availability_topic"), statusTopic);
        config.insert(QLatin1String("payload_available"), QStringLiteral("online"));
        config.insert(QLatin1String("payload_not_available"), QStringLiteral("offline"));
        if (!unit.isEmpty()) {
            config.insert(QLatin1String("unit_of_measurement"), unit);
        }
        bool unitFits = false;
        for (const char* accepted : kind->units) {
            unitFits = unitFits || unit == QString::fromUtf8(accepted);
        }
        if (unitFits && !unit.isEmpty()) {
            config.insert(QLatin1String("device_class"), kind->deviceClass);
        }
        config.insert(QLatin1String("state_class"), kind->stateClass);
        config.insert(QLatin1String("device"), device);
        messages.append({QStringLiteral("homeassistant/sensor/%1/config").arg(objectId),
                         QJsonDocument(config).toJson(QJsonDocument::Compact), true});
    }
    return messages;
}

} // namespace quorven
