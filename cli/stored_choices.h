#pragma once

#include <array>
#include <optional>
#include <string>

#include "engine/language.h"

namespace pw::cli {

// The choices an option left out falls back on: those stored by the window, or the defaults.
struct StoredChoices {
    Language language = Language::French;
    std::string installDir;

    std::string source, model, destination;
    char separator = ';';
    bool composedNames = false;
    std::array<std::string, 4> namingTags;
    bool titleFromTag = false;
    std::string titleTag;

    std::string linksDirectory, linkTag, linkTextTag, linkPrefix;
    std::string indexSource, indexDestination, criterionTag, indexTextTag;
    std::string yearbookData, yearbookModel, yearbookDestination;
    char yearbookSeparator = ';';
};

// Reads the stored choices; `lang` ("fr" or "en"), when given, picks the language whose
// sample files are the defaults. Never writes the settings file.
StoredChoices loadStoredChoices(const std::optional<std::string>& lang);

}  // namespace pw::cli
