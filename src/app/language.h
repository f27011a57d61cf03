// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/ini_file.h"

#include <QString>
#include <QTranslator>

#include <optional>

namespace quorven {

// The language of the windows. Hungarian is the window's own (its texts are
// the source texts); English comes from the translation compiled into the
// program. Files, logs and the trace never depend on it.
enum class Language { Hungarian, English };

// "hu" or "en" (also in upper case); nothing for any other text.
std::optional<Language> LanguageOfCode(QStringView code);
QString CodeOf(Language language);

// Key "Language" of section "Window": the language chosen in the menu.
std::optional<Language> ReadLanguage(const IniFile& ini);
void WriteLanguage(IniFile& ini, Language language);

// Puts the English translation into the application or takes it out again.
// Every window then gets a QEvent::LanguageChange and sets its texts anew.
class WindowLanguage {
public:
    WindowLanguage();
    ~WindowLanguage();
    WindowLanguage(const WindowLanguage&) = delete;
    WindowLanguage& operator=(const WindowLanguage&) = delete;

    void Use(Language language);
    Language current() const { return current_; }

private:
    QTranslator english_;
    bool loaded_ = false;
    Language current_ = Language::Hungarian;
};

} // namespace quorven
