#pragma once

// Data-driven rows for decoded records: a telegram, a record index and the
// texts and numbers the record must come out as.

#include "interpret/interpreter.h"
#include "telegram_bytes.h"

#include <QTest>

#include <string>

namespace quorven::testing {

inline QByteArray AsBytes(const std::vector<std::uint8_t>& b) {
    return QByteArray(reinterpret_cast<const char*>(b.data()), static_cast<int>(b.size()));
}

inline void Store(Interpreter& in, const QByteArray& telegram) {
    in.StoreTelegram(std::span(reinterpret_cast<const std::uint8_t*>(telegram.constData()),
                               static_cast<std::size_t>(telegram.size())));
}

// A variable-data telegram holding the given records; CI 76h (high byte
// first) instead of 72h when asked.
inline QByteArray VariableTelegram(const std::string& records, bool highByteFirst = false) {
    const std::string body = std::string(highByteFirst ? "05 76" : "05 72") +
                             " 78563412 B409 01 07 00 00 0000 " + records;
    return AsBytes(LongFrame(0x08, body.c_str()));
}

inline void AddRecordColumns() {
    QTest::addColumn<QByteArray>("telegram");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("function");
    QTest::addColumn<int>("storage");
    QTest::addColumn<int>("tariff");
    QTest::addColumn<int>("subunit");
}

struct Numbers {
    const char* function = "instant.";
    int storage = 0;
    int tariff = 0;
    int subunit = 0;
};

inline void AddRecordRow(const char* name, const QByteArray& telegram, int index,
                         const char* description, const char* value, const char* unit,
                         Numbers numbers = {}) {
    QTest::newRow(name) << telegram << index << QString::fromUtf8(description)
                        << QString::fromUtf8(value) << QString::fromUtf8(unit)
                        << QString::fromUtf8(numbers.function) << numbers.storage << numbers.tariff
                        << numbers.subunit;
}

// Record `index` of a CI 72h telegram of the given records.
inline void AddRecord(const char* name, const char* records, int index, const char* description,
                      const char* value, const char* unit, Numbers numbers = {}) {
    AddRecordRow(name, VariableTelegram(records), index, description, value, unit, numbers);
}

inline void CompareRecord() {
    QFETCH(QByteArray, telegram);
    QFETCH(int, index);
    Interpreter in;
    Store(in, telegram);
    QVERIFY(in.GetRecord(index));
    const DecodedRecord& record = in.CurrentRecord();
    QTEST(QString::fromStdString(record.Description), "description");
    QTEST(QString::fromStdString(record.Value), "value");
    QTEST(QString::fromStdString(record.UnitText), "unit");
    QTEST(QString::fromStdString(record.FunctionText), "function");
    QTEST(int{record.StorageNumber}, "storage");
    QTEST(int{record.Tariff}, "tariff");
    QTEST(int{record.Subunit}, "subunit");
}

} // namespace quorven::testing
