#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/language.h"

namespace pw::cli {

// The language of a locale: French when the first of LC_ALL, LC_MESSAGES and LANG that is set
// and not empty begins with "fr", else English (a missing variable is null).
Language localeLanguage(const char* lcAll, const char* lcMessages, const char* lang);

// The language of the messages: `lang` ("fr" or "en") when given, else the `Langue` stored in
// the settings file when it holds one (`storedCode`, empty when not), else the locale of the
// environment.
Language chooseLanguage(const std::optional<std::string>& lang, std::string_view storedCode);

// The language of a help or a usage error, which read no file: `lang` when given, else the
// locale of the environment.
Language languageWithoutFiles(const std::optional<std::string>& lang);

// The `Langue` of the settings file, or empty when there is no settings file or no such key.
std::string storedLanguageCode();

}  // namespace pw::cli
