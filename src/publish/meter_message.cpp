// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/meter_message.h"

#include "tables/table_layouts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace quorven {

namespace {

QJsonObject RecordObject(const QStringList& cells) {
    const QString& value = cells[kDataValue];
    QJsonObject record;
    record.insert(QLatin1String("number"), CellValue(cells[kDataNumber]));
    record.insert(QLatin1String("value"),
                  CellValue(value).isDouble() ? CellValue(value) : QJsonValue(value.trimmed()));
    record.insert(QLatin1String("text"), value);
    record.insert(QLatin1String("unit"), cells[kDataUnit]);
    record.insert(QLatin1String("description"), cells[kDataDescription]);
    record.insert(QLatin1String("function"), cells[kDataFunction]);
    record.insert(QLatin1String("subunit"), CellValue(cells[kDataSubunit]));
    record.insert(QLatin1String("storage"), CellValue(cells[kDataStorage]));
    record.insert(QLatin1String("tariff"), CellValue(cells[kDataTariff]));
    return record;
}

// Why the meter was not read: the reason the error row gives in its
// description cell, else its value cell.
QString ErrorReason(const QStringList& cells) {
    const QString reason = cells[kDataDescription].trimmed();
    return reason.isEmpty() ? cells[kDataValue].trimmed() : reason;
}

} // namespace

std::optional<double> CellNumber(const QString& cell) {
    const QString text = cell.trimmed();
    if (text.isEmpty()) {
        return std::nullopt;
    }
    // Only digits, one sign, a point and an exponent: "inf", "nan" and
    // hexadecimal are texts.
    for (const QChar c : text) {
        if (!c.isDigit() && c != u'.' && c != u'-' && c != u'+' && c != u'E' && c != u'e') {
            return std::nullopt;
        }
    }
    bool ok = false;
    const double number = text.toDouble(&ok);
    if (!ok || !std::isfinite(number)) {
        return std::nullopt;
    }
    return number;
}

QJsonValue CellValue(const QString& cell) {
    if (const auto number = CellNumber(cell)) {
        return *number;
    }
    return cell;
}

QString IsoTimeWithOffset(const QDateTime& time) {
    const int offset = time.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) +
           (offset < 0 ? QLatin1Char('-') : QLatin1Char('+')) +
           QStringLiteral("%1:%2")
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

bool IsErrorRow(const QStringList& cells) {
    return cells.size() == kDataColumnCount && cells[kDataNumber].trimmed().isEmpty() &&
           cells[kDataValue].startsWith(QLatin1String("Error"));
}

QByteArray MeterMessage(const MeterReading& reading, const QString& site) {
    QJsonObject message;
    message.insert(QLatin1String("site"), site);
    message.insert(QLatin1String("place"), reading.place);
    message.insert(QLatin1String("address"), CellValue(reading.address));
    message.insert(QLatin1String("id"), reading.id.trimmed());
    message.insert(QLatin1String("manufacturer"), reading.manufacturer.trimmed());
    message.insert(QLatin1String("version"), CellValue(reading.version));
    message.insert(QLatin1String("medium"), reading.medium);
    message.insert(QLatin1String("port"), reading.port);
    message.insert(QLatin1String("baud"), CellValue(reading.baud));
    message.insert(QLatin1String("time"), IsoTimeWithOffset(reading.time));
    QJsonArray records;
    for (const QStringList& cells : reading.rows) {
        if (cells.size() != kDataColumnCount) {
            continue;
        }
        if (IsErrorRow(cells)) {
            message.insert(QLatin1String("error"), ErrorReason(cells));
        } else {
            records.append(RecordObject(cells));
        }
    }
    if (!records.isEmpty() || !message.contains(QLatin1String("error"))) {
        message.insert(QLatin1String("records"), records);
    }
    return QJsonDocument(message).toJson(QJsonDocument::Compact);
}

QString TopicLevel(const QString& text) {
    QString level = text.trimmed();
    for (QChar& c : level) {
        if (c == u'+' || c == u'#' || c == u'/' || c.category() == QChar::Other_Control) {
            c = u'_';
        }
    }
    return level.isEmpty() ? QStringLiteral("_") : level;
}

QString MeterTopic(const QString& prefix, const MeterReading& reading) {
    return prefix + QLatin1Char('/') + TopicLevel(reading.manufacturer) + QLatin1Char('/') +
           TopicLevel(reading.id);
}

} // namespace quorven
