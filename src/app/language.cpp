// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/language.h"

#include "app/window_geometry.h"

#include <QCoreApplication>

namespace quorven {

namespace {

const QString kKey = QStringLiteral("Language");
// Where CMake puts the compiled English translation among the resources.
const QString kEnglishFile = QStringLiteral(":/i18n/quorven_en.qm");

} // namespace

std::optional<Language> LanguageOfCode(QStringView code) {
    if (code.compare(QLatin1String("hu"), Qt::CaseInsensitive) == 0) {
        return Language::Hungarian;
    }
    if (code.compare(QLatin1String("en"), Qt::CaseInsensitive) == 0) {
        return Language::English;
    }
    return std::nullopt;
}

QString CodeOf(Language language) {
    return language == Language::English ? QStringLiteral("en") : QStringLiteral("hu");
}

std::optional<Language> ReadLanguage(const IniFile& ini) {
    const auto text = ini.value(QString::fromUtf16(kWindowSection), kKey);
    return text ? LanguageOfCode(text->trimmed()) : std::nullopt;
}

void WriteLanguage(IniFile& ini, Language language) {
    ini.setValue(QString::fromUtf16(kWindowSection), kKey, CodeOf(language));
}

WindowLanguage::WindowLanguage() {
    loaded_ = english_.load(kEnglishFile);
}

WindowLanguage::~WindowLanguage() {
    QCoreApplication::removeTranslator(&english_);
}

void WindowLanguage::Use(Language language) {
    if (language == current_) {
        return;
    }
    current_ = language;
    if (language == Language::English && loaded_) {
        QCoreApplication::installTranslator(&english_);
    } else {
        QCoreApplication::removeTranslator(&english_);
    }
}

} // namespace quorven
