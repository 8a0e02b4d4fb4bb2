#include "settings/settings_snapshot.h"

#include <string>

#include <gtest/gtest.h>

#include "settings/settings_writes.h"
#include "temp_settings_env.h"

namespace pw {
namespace {

using test::readFile;
using test::writeFile;

constexpr const char* kInstall = "/opt/pagewright/";

class SnapshotTest : public test::TempSettingsTest {
  protected:
    SettingsContext context() const { return settingsContextFromEnvironment(kInstall); }
    SettingsSnapshot load() const { return p_lecture_fichier_ini(context()); }
    void store(const std::string& section, const std::string& name, const std::string& value) {
        ASSERT_TRUE(writeKey(m_ini, section, name, value).ok());
    }
};

TEST_F(SnapshotTest, NoFileGivesFrenchDefaults) {
    const SettingsSnapshot s = load();
    const std::string dir = (m_home / "Pagewright").string() + "/";
    EXPECT_EQ(s.language, Language::French);
    EXPECT_EQ(s.langue, "F");
    EXPECT_EQ(s.source, "/opt/pagewright/Français/exemple_de_données.txt");
    EXPECT_EQ(s.modele, "/opt/pagewright/Français/exemple_de_modèle_html.htm");
    EXPECT_EQ(s.indexFile, "/opt/pagewright/Français/annuaire_données.csv");
    EXPECT_EQ(s.indexModel, "/opt/pagewright/Français/annuaire_modèle.htm");
    for (const std::string* directory :
         {&s.destination, &s.lien, &s.source1, &s.destination1, &s.destination2}) {
        EXPECT_EQ(*directory, dir);
    }
    EXPECT_EQ(s.textesource, "Tag N°2");
    EXPECT_EQ(s.tagIndex2, "Tag N°2");
    EXPECT_EQ(s.textelien, "Tag N°3");
    EXPECT_EQ(s.tagIndex, "Tag N°3");
    EXPECT_EQ(s.tag99, "");
    EXPECT_EQ(s.tagF, (std::array<std::string, 5>{}));
    EXPECT_EQ(s.symbole, "0");
    EXPECT_EQ(s.indexMethod, "True");
    EXPECT_EQ(s.separator(), ';');
    EXPECT_EQ(s.separator2(), ';');
    EXPECT_EQ(s.naming, NamingMethod::FirstColumn);
    EXPECT_EQ(s.titling, TitleMethod::SecondColumn);
    EXPECT_EQ(s.indexRun, IndexRun::IndexPages);
    EXPECT_FALSE(std::filesystem::exists(m_ini));
}

TEST_F(SnapshotTest, EnglishSampleDefaultsFollowTheStoredLanguage) {
    store("Parametres", "Langue", "E");
    const SettingsSnapshot s = load();
    EXPECT_EQ(s.language, Language::English);
    EXPECT_EQ(s.source, "/opt/pagewright/English/sample_data_file.txt");
    EXPECT_EQ(s.modele, "/opt/pagewright/English/sample_html_model_file.htm");
    EXPECT_EQ(s.indexFile, "/opt/pagewright/English/yearbook_data.csv");
    EXPECT_EQ(s.indexModel, "/opt/pagewright/English/yearbook_model.htm");
}

TEST_F(SnapshotTest, OnlyTheFirstCharacterOfLangueCounts) {
    const std::pair<const char*, Language> cases[] = {
        {"f", Language::English},  {"E", Language::English}, {"EN", Language::English},
        {"", Language::English},   {"F", Language::French},  {"Fr", Language::French},
        {" F ", Language::French},
    };
    for (const auto& [value, language] : cases) {
        store("Parametres", "Langue", value);
        EXPECT_EQ(load().language, language) << '"' << value << '"';
    }
}

TEST_F(SnapshotTest, IndexMethodComparesFourCharactersWithCase) {
    const std::pair<const char*, IndexRun> cases[] = {
        {"True", IndexRun::IndexPages},   {"True ", IndexRun::IndexPages},
        {"Truely", IndexRun::IndexPages}, {"true", IndexRun::Yearbook},
        {"TRUE", IndexRun::Yearbook},     {"False", IndexRun::Yearbook},
        {"", IndexRun::Yearbook},
    };
    for (const auto& [value, run] : cases) {
        store("Index", "IndexMethod", value);
        EXPECT_EQ(load().indexRun, run) << '"' << value << '"';
    }
}

TEST_F(SnapshotTest, MethodsAndSeparatorsStayOrderlyOnOddValues) {
    struct Case {
        const char* option;
        const char* symbole;
        NamingMethod naming;
        int separator;
    };
    const Case cases[] = {
        {"1", "0", NamingMethod::FirstColumn, 0},   {"2", "6", NamingMethod::FromTags, 6},
        {"1.0", "3", NamingMethod::FirstColumn, 3}, {"3", "1", NamingMethod::FromTags, 1},
        {"abc", "7", NamingMethod::FirstColumn, 0}, {"", "x", NamingMethod::FirstColumn, 0},
        {"2x", "-1", NamingMethod::FirstColumn, 0}, {" 2 ", "", NamingMethod::FromTags, 0},
    };
    for (const Case& c : cases) {
        store("Parametres", "Option", c.option);
        store("Parametres", "Titre", c.option);
        store("Parametres", "Symbole", c.symbole);
        store("Index", "Symbole2", c.symbole);
        const SettingsSnapshot s = load();
        EXPECT_EQ(s.naming, c.naming) << c.option;
        EXPECT_EQ(s.titling == TitleMethod::SecondColumn, c.naming == NamingMethod::FirstColumn)
            << c.option;
        EXPECT_EQ(s.separatorIndex, c.separator) << c.symbole;
        EXPECT_EQ(s.separatorIndex2, c.separator) << c.symbole;
    }
}

TEST_F(SnapshotTest, ValuesAreCutToTheirLimitsAndTrimmed) {
    store("Parametres", "Tag99", std::string(600, 'h'));
    store("Parametres", "Source", std::string(120, 's'));
    store("Parametres", "Lien", std::string(98, 'd') + "  tail");
    store("Parametres", "Textelien", "  Tag N°7  ");
    const SettingsSnapshot s = load();
    EXPECT_EQ(s.tag99, std::string(499, 'h'));
    EXPECT_EQ(s.source, std::string(99, 's'));
    EXPECT_EQ(s.lien, std::string(98, 'd'));
    EXPECT_EQ(s.textelien, "Tag N°7");
}

TEST_F(SnapshotTest, KeyWrittenLowerCaseReadsBack) {
    store("Parametres", "textesource", "Tag N°9");
    EXPECT_EQ(load().textesource, "Tag N°9");
}

TEST_F(SnapshotTest, WindowsFileWithDegreeByteLoadsAsUtf8) {
    writeFile(m_ini,
              "[Parametres]\r\nLangue=F\r\ntextesource=Tag N\xB0"
              "2\r\nTextelien=Tag N\xB0"
              "5\r\n"
              "[Index]\r\nTagIndex=Tag N\xB0"
              "4\r\n");
    const SettingsSnapshot s = load();
    EXPECT_EQ(s.textesource, "Tag N°2");
    EXPECT_EQ(s.textelien, "Tag N°5");
    EXPECT_EQ(s.tagIndex, "Tag N°4");
}

TEST_F(SnapshotTest, LoadingNeverWritesTheFile) {
    writeFile(m_ini, "[Parametres]\nOption=1\nTagF0=Tag N°1\n");
    load();
    EXPECT_EQ(readFile(m_ini), "[Parametres]\nOption=1\nTagF0=Tag N°1\n");
}

TEST_F(SnapshotTest, LoadRewritesKeepTagsApartFromWhatTheMethodsEmpty) {
    const std::string tags[] = {"Tag N°1", "Tag N°0", "", "Tag N°2", "Tag N°4"};
    for (int c = 0; c < 5; ++c) {
        store("Parametres", "TagF" + std::to_string(c), tags[c]);
    }
    struct Case {
        const char* option;
        const char* titre;
        std::array<std::string, 5> expected;
    };
    const Case cases[] = {
        {"2", "2", {"Tag N°1", "Tag N°0", "", "Tag N°2", "Tag N°4"}},
        {"2", "1", {"Tag N°1", "Tag N°0", "", "Tag N°2", ""}},
        {"1", "2", {"", "", "", "", "Tag N°4"}},
        {"1", "1", {"", "", "", "", ""}},
    };
    for (const Case& c : cases) {
        for (int i = 0; i < 5; ++i) {
            store("Parametres", "TagF" + std::to_string(i), tags[i]);
        }
        store("Parametres", "Option", c.option);
        store("Parametres", "Titre", c.titre);
        const SettingsSnapshot before = load();
        EXPECT_EQ(before.namingTags(), c.expected);
        ASSERT_TRUE(applyLoadRewrites(context(), before).ok());
        const SettingsSnapshot after = load();
        EXPECT_EQ(after.tagF, c.expected) << c.option << c.titre;
        EXPECT_EQ(after.option, c.option);
        EXPECT_EQ(after.titre, c.titre);
    }
}

TEST_F(SnapshotTest, LoadRewritesWriteTrimmedTextsAndSkipEmptyOnes) {
    writeFile(m_ini,
              "[Parametres]\r\nLien= /pages/ \r\nDestination=\r\n[Index]\r\n"
              "IndexMethod=true\r\n");
    ASSERT_TRUE(applyLoadRewrites(context(), load()).ok());
    const IniDocument document = readProfileDocument(Env::system(), m_ini);
    EXPECT_EQ(document.rawValue("Parametres", "Lien"), "/pages/");
    EXPECT_EQ(document.rawValue("Parametres", "Destination"), "");
    EXPECT_EQ(document.rawValue("Index", "IndexMethod"), "False");
    EXPECT_EQ(document.rawValue("Parametres", "Tag99"), "");
}

}  // namespace
}  // namespace pw
