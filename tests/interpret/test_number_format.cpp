// SPDX-License-Identifier: GPL-3.0-or-later
// The texts numbers become: BCD digit texts, scaled integers, reals and the
// fixed-structure counters, with "." whatever the locale. (The usual cases
// are in the golden telegrams of test_import_golden; these are the edges.)
#include "interpret/number_format.h"

#include <QTest>

#include <clocale>
#include <cstdint>
#include <limits>
#include <locale>

using namespace quorven;

namespace {

struct CommaPoint : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

} // namespace

class TestNumberFormat : public QObject {
    Q_OBJECT
private slots:
    void formatDigits_data();
    void formatDigits();
    void scaledInteger_data();
    void scaledInteger();
    void realText_data();
    void realText();
    void fixedCounterText_data();
    void fixedCounterText();
    void separatorIgnoresLocale();
};

void TestNumberFormat::formatDigits_data() {
    QTest::addColumn<QString>("digits");
    QTest::addColumn<int>("exponent");
    QTest::addColumn<bool>("negative");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("unitKept");
    QTest::newRow("e+2") << "00001234" << 2 << false << "0000123400" << true;
    QTest::newRow("F not first") << "00F01234" << -1 << false << "00F01234" << false;
    QTest::newRow("F first but not decimal") << "F00A" << -1 << false << "F00A" << false;
    QTest::newRow("exponent of the length") << "1234" << -4 << false << "0.1234" << true;
    QTest::newRow("exponent past the digits") << "1234" << -6 << false << "0.001234" << true;
    QTest::newRow("negative, exponent past") << "F5" << -2 << false << "-0.05" << true;
    QTest::newRow("negative, exponent of the length") << "F5" << -1 << false << "-0.5" << true;
    QTest::newRow("negative sign, scaled") << "12" << -2 << true << "-0.12" << true;
    QTest::newRow("negative sign, not decimal") << "12A4" << 0 << true << "12A4" << false;
    QTest::newRow("empty") << "" << -2 << true << "" << true;
}

void TestNumberFormat::formatDigits() {
    QFETCH(QString, digits);
    QFETCH(int, exponent);
    QFETCH(bool, negative);
    std::string text = digits.toStdString();
    std::string unit = "kWh";
    FormatDigits(text, unit, exponent, negative);
    QTEST(QString::fromStdString(text), "expected");
    QTEST(!unit.empty(), "unitKept");
}

void TestNumberFormat::scaledInteger_data() {
    QTest::addColumn<qint64>("value");
    QTest::addColumn<int>("exponent");
    QTest::addColumn<QString>("expected");
    constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    QTest::newRow("-1, e-3") << qint64{-1} << -3 << "-0.001";
    QTest::newRow("0, e+2") << qint64{0} << 2 << "0";
    QTest::newRow("0, e-2") << qint64{0} << -2 << "0.00";
    QTest::newRow("smallest, e-2") << qint64{kMin} << -2 << "-92233720368547758.08";
    QTest::newRow("largest, e+3") << qint64{kMax} << 3 << "9223372036854775807000";
}

void TestNumberFormat::scaledInteger() {
    QFETCH(qint64, value);
    QFETCH(int, exponent);
    QTEST(QString::fromStdString(ScaledInteger(value, exponent)), "expected");
}

void TestNumberFormat::realText_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("1e20") << 1e20 << "100000000000000000000.000";
    QTest::newRow("largest double") << std::numeric_limits<double>::max()
                                    << QString("179769313486231570814527423731704356798070567525844"
                                               "996598917476803157260780028538760589558632766878171"
                                               "540458953514382464234321326889464182768467546703537"
                                               "516986049910576551282076245490090389328944075868508"
                                               "455133942304583236903222948165808559332123348274797"
                                               "826204144723168738177180919299881250404026184124858"
                                               "368.000");
}

void TestNumberFormat::realText() {
    QFETCH(double, value);
    QTEST(QString::fromStdString(RealText(value, RealDecimals)), "expected");
}

void TestNumberFormat::fixedCounterText_data() {
    QTest::addColumn<qint64>("value");
    QTest::addColumn<int>("divisor");
    QTest::addColumn<QString>("expected");
    QTest::newRow("12500 / 1000") << qint64{12500} << 1000 << "       12.50";
    QTest::newRow("wider than 12") << qint64{-2147483647 - 1} << 1 << "-2147483648.00";
}

void TestNumberFormat::fixedCounterText() {
    QFETCH(qint64, value);
    QFETCH(int, divisor);
    QTEST(QString::fromStdString(FixedCounterText(value, static_cast<unsigned>(divisor))),
          "expected");
}

void TestNumberFormat::separatorIgnoresLocale() {
    const std::locale previous = std::locale::global(std::locale(std::locale(), new CommaPoint));
    const char* cPrevious = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = cPrevious != nullptr ? cPrevious : "C";
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8"); // where installed
    const std::string real = RealText(1234.5, RealDecimals);
    const std::string scaled = ScaledInteger(123456, -2);
    const std::string counter = FixedCounterText(12345, 10);
    std::setlocale(LC_NUMERIC, saved.c_str());
    std::locale::global(previous);
    QCOMPARE(real, "1234.500");
    QCOMPARE(scaled, "1234.56");
    QCOMPARE(counter, "     1234.50");
}

QTEST_APPLESS_MAIN(TestNumberFormat)
#include "test_number_format.moc"
