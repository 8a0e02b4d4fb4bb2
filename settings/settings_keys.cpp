#include "settings/settings_keys.h"

#include "settings/ini_document.h"
#include "settings/settings_paths.h"

namespace pw {

namespace {

constexpr std::size_t kPathLimit = 99;
constexpr std::size_t kTag99Limit = 499;
constexpr std::size_t kOneCharacter = 1;
constexpr std::size_t kIndexMethodLimit = 4;

constexpr SettingKey text(std::string_view section, std::string_view name, std::string_view value,
                          std::size_t limit = kPathLimit) {
    return {section, name, DefaultKind::Text, value, SampleFile::Source, limit};
}
constexpr SettingKey directory(std::string_view section, std::string_view name) {
    return {section, name, DefaultKind::DefaultDirectory, {}, SampleFile::Source, kPathLimit};
}
constexpr SettingKey sample(std::string_view section, std::string_view name, SampleFile file) {
    return {section, name, DefaultKind::Sample, {}, file, kPathLimit};
}

constexpr std::array kKeys = {
    text(kParametres, key::kLangue, "F ", kOneCharacter),
    sample(kParametres, key::kSource, SampleFile::Source),
    sample(kParametres, key::kModele, SampleFile::Modele),
    sample(kIndex, key::kIndexFile, SampleFile::IndexFile),
    sample(kIndex, key::kIndexModel, SampleFile::IndexModel),
    directory(kParametres, key::kDestination),
    directory(kParametres, key::kLien),
    text(kParametres, key::kTextesource, "Tag N°2"),
    text(kParametres, key::kTextelien, "Tag N°3"),
    text(kParametres, key::kTag99, "", kTag99Limit),
    text(kParametres, key::kOption, "1"),
    text(kParametres, key::kTagF[0], ""),
    text(kParametres, key::kTagF[1], ""),
    text(kParametres, key::kTagF[2], ""),
    text(kParametres, key::kTagF[3], ""),
    text(kParametres, key::kTagF[4], ""),
    text(kParametres, key::kTitre, "1"),
    text(kParametres, key::kSymbole, "0 ", kOneCharacter),
    text(kIndex, key::kTagIndex, "Tag N°3"),
    text(kIndex, key::kIndexMethod, "True ", kIndexMethodLimit),
    text(kIndex, key::kTagIndex2, "Tag N°2"),
    directory(kIndex, key::kSource1),
    directory(kIndex, key::kDestination1),
    text(kIndex, key::kSymbole2, "0 ", kOneCharacter),
    directory(kIndex, key::kDestination2),
};

struct SampleNames {
    std::string_view french;
    std::string_view english;
};

constexpr std::array<SampleNames, 4> kSampleNames = {{
    {"exemple_de_données.txt", "sample_data_file.txt"},
    {"exemple_de_modèle_html.htm", "sample_html_model_file.htm"},
    {"annuaire_données.csv", "yearbook_data.csv"},
    {"annuaire_modèle.htm", "yearbook_model.htm"},
}};

}  // namespace

SettingsContext settingsContextFromEnvironment(std::string installDir) {
    return SettingsContext{settingsFilePath(), std::move(installDir), defaultDirectory()};
}

std::string samplePath(SampleFile file, Language language, std::string_view installDir) {
    std::string path(installDir);
    if (!path.empty() && path.back() != '/' && path.back() != '\\') {
        path.push_back('/');
    }
    const SampleNames& names = kSampleNames[static_cast<std::size_t>(file)];
    if (language == Language::French) {
        path += "Français/";
        path += names.french;
    } else {
        path += "English/";
        path += names.english;
    }
    return path;
}

std::span<const SettingKey> settingKeys() {
    return kKeys;
}

const SettingKey* findSettingKey(std::string_view section, std::string_view name) {
    for (const SettingKey& entry : kKeys) {
        if (equalsIgnoringAsciiCase(entry.section, section) &&
            equalsIgnoringAsciiCase(entry.name, name)) {
            return &entry;
        }
    }
    return nullptr;
}

std::string defaultValue(const SettingKey& key, Language language, const SettingsContext& context) {
    switch (key.defaultKind) {
        case DefaultKind::DefaultDirectory:
            return context.defaultDir;
        case DefaultKind::Sample:
            return samplePath(key.sample, language, context.installDir);
        case DefaultKind::Text:
            break;
    }
    return std::string(key.defaultText);
}

}  // namespace pw
