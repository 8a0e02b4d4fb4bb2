#pragma once

#include <string_view>

namespace pw {

// The language of every caption and message. The stored language code is "F" for
// French; any other code means English.
enum class Language { French, English };

// French when the first character of `code` is 'F' (exactly, upper case), else English.
inline Language languageFromCode(std::string_view code) {
    return (!code.empty() && code.front() == 'F') ? Language::French : Language::English;
}

// "F" or "E", the code the language buttons store.
inline std::string_view languageCode(Language language) {
    return language == Language::French ? "F" : "E";
}

// Picks the wording of a text by language.
inline std::string_view pick(Language language, std::string_view french, std::string_view english) {
    return language == Language::French ? french : english;
}

}  // namespace pw
