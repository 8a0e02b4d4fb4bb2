#include "settings/settings_writes.h"

#include "settings/ini_document.h"

namespace pw {

namespace {

ProfileWrite entry(std::string_view section, std::string_view name, std::string_view value) {
    return {std::string(section), std::string(name), std::string(value)};
}

}  // namespace

Status writeKey(const std::filesystem::path& file, std::string_view section, std::string_view name,
                std::string_view value) {
    return writeProfileString(Env::system(), file, section, name, value);
}

Status writeKeyIfNotEmpty(const std::filesystem::path& file, std::string_view section,
                          std::string_view name, std::string_view text) {
    if (text.empty()) {
        return Status();
    }
    return writeProfileString(Env::system(), file, section, name, text);
}

Status writeLanguage(const std::filesystem::path& file, Language language) {
    return writeProfileString(Env::system(), file, kParametres, key::kLangue,
                              languageCode(language));
}

Status writeNamingMethod(const std::filesystem::path& file, NamingMethod method,
                         std::string_view tagF4) {
    if (method == NamingMethod::FromTags) {
        return writeProfileString(Env::system(), file, kParametres, key::kOption, "2");
    }
    const std::vector<ProfileWrite> writes = {
        entry(kParametres, key::kOption, "1"), entry(kParametres, key::kTagF[0], ""),
        entry(kParametres, key::kTagF[1], ""), entry(kParametres, key::kTagF[2], ""),
        entry(kParametres, key::kTagF[3], ""), entry(kParametres, key::kTagF[4], tagF4),
    };
    return writeProfileStrings(Env::system(), file, writes);
}

Status writeTitleMethod(const std::filesystem::path& file, TitleMethod method) {
    if (method == TitleMethod::FromTag) {
        return writeProfileString(Env::system(), file, kParametres, key::kTitre, "2");
    }
    const std::vector<ProfileWrite> writes = {entry(kParametres, key::kTitre, "1"),
                                              entry(kParametres, key::kTagF[4], "")};
    return writeProfileStrings(Env::system(), file, writes);
}

Status writeNamingTags(const std::filesystem::path& file, const std::array<std::string, 5>& texts) {
    std::vector<ProfileWrite> writes;
    for (std::size_t c = 0; c < texts.size(); ++c) {
        writes.push_back(entry(kParametres, key::kTagF[c], texts[c]));
    }
    return writeProfileStrings(Env::system(), file, writes);
}

Status writeSeparatorIndex(const std::filesystem::path& file, std::string_view name, int index) {
    const std::string_view section =
        equalsIgnoringAsciiCase(name, key::kSymbole2) ? kIndex : kParametres;
    return writeProfileString(Env::system(), file, section, name, std::to_string(index));
}

Status writeIndexRun(const std::filesystem::path& file, IndexRun run) {
    return writeProfileString(Env::system(), file, kIndex, key::kIndexMethod,
                              run == IndexRun::IndexPages ? "True " : "False");
}

std::vector<ProfileWrite> defaultWrites(const SettingsContext& context, Language language) {
    const std::string& dir = context.defaultDir;
    const std::string_view install = context.installDir;
    return {
        entry(kParametres, key::kLangue, languageCode(language)),
        entry(kParametres, key::kSource, samplePath(SampleFile::Source, language, install)),
        entry(kParametres, key::kModele, samplePath(SampleFile::Modele, language, install)),
        entry(kIndex, key::kIndexFile, samplePath(SampleFile::IndexFile, language, install)),
        entry(kIndex, key::kIndexModel, samplePath(SampleFile::IndexModel, language, install)),
        entry(kParametres, key::kSymbole, "0 "),
        entry(kParametres, key::kLien, dir),
        entry(kParametres, key::kDestination, dir),
        entry(kParametres, key::kOption, "1"),
        entry(kParametres, key::kTitre, "1"),
        entry(kParametres, key::kTagF[4], ""),
        entry(kParametres, key::kTextesourceAsWritten, "Tag N°2"),
        entry(kParametres, key::kTextelien, "Tag N°3"),
        entry(kIndex, key::kIndexMethod, "True "),
        entry(kIndex, key::kSource1, dir),
        entry(kIndex, key::kDestination1, dir),
        entry(kIndex, key::kTagIndex2, "Tag N°2"),
        entry(kIndex, key::kTagIndex, "Tag N°3"),
        entry(kIndex, key::kDestination2, dir),
        entry(kIndex, key::kSymbole2, "0 "),
    };
}

Status resetToDefaults(const SettingsContext& context, Language language) {
    return writeProfileStrings(Env::system(), context.file, defaultWrites(context, language), true);
}

SampleFields swapSampleFiles(SampleFields fields, std::string_view installDir, Language language) {
    const Language other = language == Language::French ? Language::English : Language::French;
    auto swap = [&](std::string& text, SampleFile file) {
        if (text == samplePath(file, other, installDir)) {
            text = samplePath(file, language, installDir);
        }
    };
    swap(fields.source, SampleFile::Source);
    swap(fields.fichiermodele, SampleFile::Modele);
    swap(fields.i30, SampleFile::IndexFile);
    swap(fields.i50, SampleFile::IndexModel);
    return fields;
}

Status writeSampleKeys(const std::filesystem::path& file, const SampleFields& fields) {
    const std::vector<ProfileWrite> writes = {
        entry(kIndex, key::kIndexFile, fields.i30),
        entry(kIndex, key::kIndexModel, fields.i50),
        entry(kParametres, key::kModele, fields.fichiermodele),
        entry(kParametres, key::kSource, fields.source),
    };
    return writeProfileStrings(Env::system(), file, writes);
}

}  // namespace pw
