#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "engine/language.h"

namespace pw {

// The two sections of the settings file.
inline constexpr std::string_view kParametres = "Parametres";
inline constexpr std::string_view kIndex = "Index";

// Key names as they are read. Sections and keys compare without regard to case.
namespace key {
// Section Parametres: language, pages tab, hyperlinks tab.
inline constexpr std::string_view kLangue = "Langue";
inline constexpr std::string_view kSource = "Source";
inline constexpr std::string_view kModele = "Modele";
inline constexpr std::string_view kDestination = "Destination";
inline constexpr std::string_view kLien = "Lien";
inline constexpr std::string_view kTextesource = "Textesource";
// The spelling `sourcelien_Click` and the reset write; a file that already holds the key
// keeps its own spelling.
inline constexpr std::string_view kTextesourceAsWritten = "textesource";
inline constexpr std::string_view kTextelien = "Textelien";
inline constexpr std::string_view kTag99 = "Tag99";
inline constexpr std::string_view kOption = "Option";
inline constexpr std::array<std::string_view, 5> kTagF = {"TagF0", "TagF1", "TagF2", "TagF3",
                                                          "TagF4"};
inline constexpr std::string_view kTitre = "Titre";
inline constexpr std::string_view kSymbole = "Symbole";
// Section Index.
inline constexpr std::string_view kIndexFile = "index_file";
inline constexpr std::string_view kIndexModel = "index_model";
inline constexpr std::string_view kTagIndex = "TagIndex";
inline constexpr std::string_view kIndexMethod = "IndexMethod";
inline constexpr std::string_view kTagIndex2 = "TagIndex2";
inline constexpr std::string_view kSource1 = "Source1";
inline constexpr std::string_view kDestination1 = "Destination1";
inline constexpr std::string_view kSymbole2 = "Symbole2";
inline constexpr std::string_view kDestination2 = "Destination2";
}  // namespace key

// Where the settings live and what their defaults depend on.
struct SettingsContext {
    std::filesystem::path file;  // the settings file
    std::string installDir;      // installation directory, with its trailing separator
    std::string defaultDir;      // default directory of the directory fields, ending in "/"
};

// The context of this user: settingsFilePath(), defaultDirectory() and `installDir`.
SettingsContext settingsContextFromEnvironment(std::string installDir);

// The four sample files installed with the program, one per language.
enum class SampleFile { Source, Modele, IndexFile, IndexModel };

// `installDir` + the sample file's subdirectory and name in `language`, for example
// installDir + "Français/exemple_de_données.txt". A separator is added to a non-empty
// `installDir` that lacks one.
std::string samplePath(SampleFile file, Language language, std::string_view installDir);

// How a key's default is formed.
enum class DefaultKind { Text, DefaultDirectory, Sample };

// One key of the settings file: where it lies, its default and its read limit (the longest
// value taken from the file, in characters).
struct SettingKey {
    std::string_view section;
    std::string_view name;
    DefaultKind defaultKind;
    std::string_view defaultText;  // for DefaultKind::Text
    SampleFile sample;             // for DefaultKind::Sample
    std::size_t limit;
};

// Every key, in the order the load reads them: `Langue`, the four sample paths, then the
// other keys of Parametres and of Index.
std::span<const SettingKey> settingKeys();

// The entry of `name` in `section` (case ignored), or nullptr for a key that is not stored.
const SettingKey* findSettingKey(std::string_view section, std::string_view name);

// The default value of `key` for `language` in `context`.
std::string defaultValue(const SettingKey& key, Language language, const SettingsContext& context);

}  // namespace pw
