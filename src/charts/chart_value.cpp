// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/chart_value.h"

#include <QDate>

#include <charconv>
#include <cmath>
#include <cstddef>

namespace quorven {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && s.front() == ' ') {
        s.remove_prefix(1);
    }
    while (!s.empty() && s.back() == ' ') {
        s.remove_suffix(1);
    }
    return s;
}

// Reads exactly `count` digits of `s` from `at`.
std::optional<int> Digits(std::string_view s, std::size_t at, std::size_t count) {
    if (at + count > s.size()) {
        return std::nullopt;
    }
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (!IsDigit(s[i])) {
            return std::nullopt;
        }
        value = value * 10 + (s[i] - '0');
    }
    return value;
}

} // namespace

std::optional<double> ChartNumber(std::string_view cell) {
    const std::string_view text = TrimBlanks(cell);
    std::size_t i = (!text.empty() && text.front() == '-') ? 1 : 0;
    int digits = 0;
    int points = 0;
    for (; i < text.size(); ++i) {
        if (IsDigit(text[i])) {
            ++digits;
        } else if (text[i] == '.' && points == 0) {
            ++points;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0) {
        return std::nullopt;
    }
    double value = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> ChartMoment(std::string_view date, std::string_view time) {
    date = TrimBlanks(date);
    time = TrimBlanks(time);
    if (date.size() != 8 || date[2] != '.' || date[5] != '.') {
        return std::nullopt;
    }
    const auto day = Digits(date, 0, 2);
    const auto month = Digits(date, 3, 2);
    const auto year = Digits(date, 6, 2);
    if (!day || !month || !year || !QDate::isValid(2000 + *year, *month, *day)) {
        return std::nullopt;
    }
    if ((time.size() != 5 && time.size() != 8) || time[2] != ':' ||
        (time.size() == 8 && time[5] != ':')) {
        return std::nullopt;
    }
    const auto hour = Digits(time, 0, 2);
    const auto minute = Digits(time, 3, 2);
    const auto second = time.size() == 8 ? Digits(time, 6, 2) : std::optional<int>(0);
    if (!hour || !minute || !second || *hour > 23 || *minute > 59 || *second > 59) {
        return std::nullopt;
    }
    constexpr qint64 kMsPerDay = 86'400'000;
    const qint64 days =
        QDate(2000 + *year, *month, *day).toJulianDay() - QDate(1970, 1, 1).toJulianDay();
    const qint64 ms = (qint64{*hour} * 3600 + qint64{*minute} * 60 + *second) * 1000;
    return static_cast<double>(days * kMsPerDay + ms);
}

} // namespace quorven
