#include "cli/language_choice.h"

#include <cstdlib>

#include "settings/profile.h"
#include "settings/settings_keys.h"
#include "settings/settings_paths.h"

namespace pw::cli {

Language localeLanguage(const char* lcAll, const char* lcMessages, const char* lang) {
    for (const char* value : {lcAll, lcMessages, lang}) {
        if (value != nullptr && *value != '\0') {
            return std::string_view(value).starts_with("fr") ? Language::French : Language::English;
        }
    }
    return Language::English;
}

Language languageWithoutFiles(const std::optional<std::string>& lang) {
    if (lang) {
        return *lang == "fr" ? Language::French : Language::English;
    }
    return localeLanguage(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

Language chooseLanguage(const std::optional<std::string>& lang, std::string_view storedCode) {
    if (!lang && !storedCode.empty()) {
        return languageFromCode(storedCode);
    }
    return languageWithoutFiles(lang);
}

std::string storedLanguageCode() {
    return readProfileString(Env::system(), settingsFilePath(), kParametres, key::kLangue, "", 1);
}

}  // namespace pw::cli
