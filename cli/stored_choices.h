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

// How much a command may touch while it reads the stored choices.
enum class StoredAccess {
    // As the window starts: the registry keys of the installation directory are created when
    // missing, and so is the default directory.
    AsTheWindow,
    // Nothing is written: a check.
    ReadOnly,
};

// Reads the stored choices; `language` picks the sample files that are the defaults. Never
// writes the settings file.
StoredChoices loadStoredChoices(Language language, StoredAccess access);

}  // namespace pw::cli
