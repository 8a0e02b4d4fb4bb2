#include "settings/settings_snapshot.h"

#include <charconv>

#include "engine/separators.h"

namespace pw {

namespace {

// `Option` and `Titre` select the first method when their value is the number 1, and also
// when it is no number at all (the key's default is "1").
bool selectsFirstMethod(std::string_view value) {
    double number = 0;
    const char* end = value.data() + value.size();
    const auto [stop, error] = std::from_chars(value.data(), end, number);
    if (value.empty() || error != std::errc() || stop != end) {
        return true;
    }
    return number == 1;
}

// A separator index is one digit from 0 to 6; anything else takes the first separator.
int separatorIndexOf(std::string_view value) {
    if (value.size() == 1 && value[0] >= '0' && value[0] <= '6') {
        return value[0] - '0';
    }
    return 0;
}

class KeyReader {
  public:
    KeyReader(const IniDocument& document, std::string_view installDir, std::string_view defaultDir)
        : m_document(document) {
        m_context.installDir = installDir;
        m_context.defaultDir = defaultDir;
    }

    std::string operator()(std::string_view section, std::string_view name,
                           Language language) const {
        const SettingKey* entry = findSettingKey(section, name);
        const std::string fallback = defaultValue(*entry, language, m_context);
        return std::string(trimBlanks(m_document.read(section, name, fallback, entry->limit)));
    }

  private:
    const IniDocument& m_document;
    SettingsContext m_context;
};

}  // namespace

char SettingsSnapshot::separator() const {
    return separatorAt(separatorIndex);
}

char SettingsSnapshot::separator2() const {
    return separatorAt(separatorIndex2);
}

std::array<std::string, 5> SettingsSnapshot::namingTags() const {
    std::array<std::string, 5> tags = tagF;
    if (naming == NamingMethod::FirstColumn) {
        for (int c = 0; c < 4; ++c) {
            tags[c].clear();
        }
    }
    if (titling == TitleMethod::SecondColumn) {
        tags[4].clear();
    }
    return tags;
}

SettingsSnapshot p_lecture_fichier_ini(const IniDocument& document, std::string_view installDir,
                                       std::string_view defaultDir) {
    const KeyReader read(document, installDir, defaultDir);
    SettingsSnapshot s;

    s.langue = read(kParametres, key::kLangue, Language::French);
    s.language = languageFromCode(s.langue);
    const Language language = s.language;

    s.source = read(kParametres, key::kSource, language);
    s.modele = read(kParametres, key::kModele, language);
    s.indexFile = read(kIndex, key::kIndexFile, language);
    s.indexModel = read(kIndex, key::kIndexModel, language);

    s.destination = read(kParametres, key::kDestination, language);
    s.lien = read(kParametres, key::kLien, language);
    s.textesource = read(kParametres, key::kTextesource, language);
    s.textelien = read(kParametres, key::kTextelien, language);
    s.tag99 = read(kParametres, key::kTag99, language);
    s.option = read(kParametres, key::kOption, language);
    for (std::size_t c = 0; c < s.tagF.size(); ++c) {
        s.tagF[c] = read(kParametres, key::kTagF[c], language);
    }
    s.titre = read(kParametres, key::kTitre, language);
    s.symbole = read(kParametres, key::kSymbole, language);

    s.tagIndex = read(kIndex, key::kTagIndex, language);
    s.indexMethod = read(kIndex, key::kIndexMethod, language);
    s.tagIndex2 = read(kIndex, key::kTagIndex2, language);
    s.source1 = read(kIndex, key::kSource1, language);
    s.destination1 = read(kIndex, key::kDestination1, language);
    s.symbole2 = read(kIndex, key::kSymbole2, language);
    s.destination2 = read(kIndex, key::kDestination2, language);

    s.separatorIndex2 = separatorIndexOf(s.symbole2);
    s.indexRun = s.indexMethod.substr(0, 4) == "True" ? IndexRun::IndexPages : IndexRun::Yearbook;
    s.separatorIndex = separatorIndexOf(s.symbole);
    s.naming = selectsFirstMethod(s.option) ? NamingMethod::FirstColumn : NamingMethod::FromTags;
    s.titling = selectsFirstMethod(s.titre) ? TitleMethod::SecondColumn : TitleMethod::FromTag;
    return s;
}

SettingsSnapshot p_lecture_fichier_ini(const SettingsContext& context) {
    return p_lecture_fichier_ini(readProfileDocument(Env::system(), context.file),
                                 context.installDir, context.defaultDir);
}

std::vector<ProfileWrite> loadRewrites(const SettingsSnapshot& s) {
    std::vector<ProfileWrite> writes;
    auto write = [&writes](std::string_view section, std::string_view name,
                           std::string_view value) {
        writes.push_back({std::string(section), std::string(name), std::string(value)});
    };
    auto writeIfNotEmpty = [&write](std::string_view section, std::string_view name,
                                    std::string_view value) {
        if (!value.empty()) {
            write(section, name, value);
        }
    };

    writeIfNotEmpty(kIndex, key::kDestination2, s.destination2);
    writeIfNotEmpty(kIndex, key::kIndexModel, s.indexModel);
    writeIfNotEmpty(kIndex, key::kIndexFile, s.indexFile);
    writeIfNotEmpty(kIndex, key::kSource1, s.source1);
    writeIfNotEmpty(kIndex, key::kDestination1, s.destination1);
    write(kIndex, key::kIndexMethod, s.indexRun == IndexRun::IndexPages ? "True " : "False");
    writeIfNotEmpty(kParametres, key::kSource, s.source);
    writeIfNotEmpty(kParametres, key::kModele, s.modele);
    writeIfNotEmpty(kParametres, key::kDestination, s.destination);
    writeIfNotEmpty(kParametres, key::kLien, s.lien);
    write(kParametres, key::kTag99, s.tag99);

    if (s.naming == NamingMethod::FirstColumn) {
        write(kParametres, key::kOption, "1");
        const std::array<std::string, 5> afterOption1 = {"", "", "", "", s.tagF[4]};
        for (std::size_t c = 0; c < afterOption1.size(); ++c) {
            write(kParametres, key::kTagF[c], afterOption1[c]);
        }
    } else {
        write(kParametres, key::kOption, "2");
    }
    if (s.titling == TitleMethod::SecondColumn) {
        write(kParametres, key::kTitre, "1");
        write(kParametres, key::kTagF[4], "");
    } else {
        write(kParametres, key::kTitre, "2");
    }
    return writes;
}

Status applyLoadRewrites(const SettingsContext& context, const SettingsSnapshot& snapshot) {
    const std::vector<ProfileWrite> writes = loadRewrites(snapshot);
    return writeProfileStrings(Env::system(), context.file, writes);
}

}  // namespace pw
