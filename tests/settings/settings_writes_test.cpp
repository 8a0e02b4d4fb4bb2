#include "settings/settings_writes.h"

#include <string>

#include <gtest/gtest.h>

#include "temp_settings_env.h"

namespace pw {
namespace {

using test::readFile;
using test::writeFile;

constexpr const char* kInstall = "/opt/pagewright/";

class SettingsWritesTest : public test::TempSettingsTest {
  protected:
    SettingsContext context() const { return settingsContextFromEnvironment(kInstall); }
};

TEST_F(SettingsWritesTest, ResetInEnglishWritesExactlyTheDefaults) {
    writeFile(
        m_ini,
        "; old\r\n[Parametres]\r\nTag99=<i>\r\nTagF0=Tag N°1\r\nTagF3=Tag N°2\r\nLangue=F\r\n");
    ASSERT_TRUE(resetToDefaults(context(), Language::English).ok());
    const std::string dir = (m_home / "Pagewright").string() + "/";
    EXPECT_EQ(readFile(m_ini),
              "[Parametres]\r\n"
              "Langue=E\r\n"
              "Source=/opt/pagewright/English/sample_data_file.txt\r\n"
              "Modele=/opt/pagewright/English/sample_html_model_file.htm\r\n"
              "Symbole=0 \r\n"
              "Lien=" +
                  dir +
                  "\r\n"
                  "Destination=" +
                  dir +
                  "\r\n"
                  "Option=1\r\n"
                  "Titre=1\r\n"
                  "TagF4=\r\n"
                  "textesource=Tag N°2\r\n"
                  "Textelien=Tag N°3\r\n"
                  "[Index]\r\n"
                  "index_file=/opt/pagewright/English/yearbook_data.csv\r\n"
                  "index_model=/opt/pagewright/English/yearbook_model.htm\r\n"
                  "IndexMethod=True \r\n"
                  "Source1=" +
                  dir +
                  "\r\n"
                  "Destination1=" +
                  dir +
                  "\r\n"
                  "TagIndex2=Tag N°2\r\n"
                  "TagIndex=Tag N°3\r\n"
                  "Destination2=" +
                  dir +
                  "\r\n"
                  "Symbole2=0 \r\n");
    const SettingsSnapshot s = p_lecture_fichier_ini(context());
    EXPECT_EQ(s.language, Language::English);
    EXPECT_EQ(s.tag99, "");
    EXPECT_EQ(s.tagF, (std::array<std::string, 5>{}));
}

TEST_F(SettingsWritesTest, ResetEqualsDeletingThenWritingOneKeyAtATime) {
    const std::filesystem::path stepwise = m_root / "stepwise.ini";
    for (const ProfileWrite& write : defaultWrites(context(), Language::French)) {
        ASSERT_TRUE(
            writeProfileString(Env::system(), stepwise, write.section, write.key, write.value)
                .ok());
    }
    ASSERT_TRUE(resetToDefaults(context(), Language::French).ok());
    EXPECT_EQ(readFile(m_ini), readFile(stepwise));
}

TEST_F(SettingsWritesTest, SampleSwapReplacesOnlyExactSamplePaths) {
    const std::string frSource = samplePath(SampleFile::Source, Language::French, kInstall);
    const std::string enSource = samplePath(SampleFile::Source, Language::English, kInstall);
    const std::string frModel = samplePath(SampleFile::Modele, Language::French, kInstall);
    const std::string enYearData = samplePath(SampleFile::IndexFile, Language::English, kInstall);
    const std::string frYearModel = samplePath(SampleFile::IndexModel, Language::French, kInstall);

    SampleFields fields{frSource, "/home/me/model.htm", frYearModel, frYearModel};
    const SampleFields english = swapSampleFiles(fields, kInstall, Language::English);
    EXPECT_EQ(english.source, enSource);
    EXPECT_EQ(english.fichiermodele, "/home/me/model.htm");
    EXPECT_EQ(english.i30, frYearModel);  // another field's sample is not this field's
    EXPECT_EQ(english.i50, samplePath(SampleFile::IndexModel, Language::English, kInstall));

    const SampleFields back = swapSampleFiles(english, kInstall, Language::French);
    EXPECT_EQ(back.source, frSource);
    EXPECT_EQ(back.i50, frYearModel);

    SampleFields otherCase{"/opt/pagewright/français/exemple_de_données.txt", frModel, enYearData,
                           ""};
    const SampleFields same = swapSampleFiles(otherCase, kInstall, Language::French);
    EXPECT_EQ(same.source, otherCase.source);
    EXPECT_EQ(same.fichiermodele, frModel);
    EXPECT_EQ(same.i30, samplePath(SampleFile::IndexFile, Language::French, kInstall));
}

TEST_F(SettingsWritesTest, SampleKeysAreWrittenEvenEmptyInOrder) {
    ASSERT_TRUE(writeSampleKeys(m_ini, SampleFields{"", "/m.htm", "", "/y.htm"}).ok());
    EXPECT_EQ(readFile(m_ini),
              "[Index]\r\nindex_file=\r\nindex_model=/y.htm\r\n"
              "[Parametres]\r\nModele=/m.htm\r\nSource=\r\n");
}

TEST_F(SettingsWritesTest, HandlerWrites) {
    ASSERT_TRUE(writeKeyIfNotEmpty(m_ini, kParametres, key::kDestination, "/out/").ok());
    ASSERT_TRUE(writeKeyIfNotEmpty(m_ini, kParametres, key::kDestination, "").ok());
    ASSERT_TRUE(writeLanguage(m_ini, Language::English).ok());
    ASSERT_TRUE(writeNamingTags(m_ini, {"Tag N°1", "", "Tag N°2", "", "Tag N°5"}).ok());
    ASSERT_TRUE(writeNamingMethod(m_ini, NamingMethod::FirstColumn, "Tag N°5").ok());
    ASSERT_TRUE(writeTitleMethod(m_ini, TitleMethod::SecondColumn).ok());
    ASSERT_TRUE(writeSeparatorIndex(m_ini, key::kSymbole, 4).ok());
    ASSERT_TRUE(writeSeparatorIndex(m_ini, key::kSymbole2, 6).ok());
    ASSERT_TRUE(writeIndexRun(m_ini, IndexRun::Yearbook).ok());
    ASSERT_TRUE(writeKey(m_ini, kParametres, key::kTag99, "").ok());
    EXPECT_EQ(readFile(m_ini),
              "[Parametres]\r\nDestination=/out/\r\nLangue=E\r\nTagF0=\r\nTagF1=\r\nTagF2=\r\n"
              "TagF3=\r\nTagF4=\r\nOption=1\r\nTitre=1\r\nSymbole=4\r\nTag99=\r\n"
              "[Index]\r\nSymbole2=6\r\nIndexMethod=False\r\n");
    const SettingsSnapshot s = p_lecture_fichier_ini(context());
    EXPECT_EQ(s.separator(), '#');
    EXPECT_EQ(s.separator2(), '$');
    EXPECT_EQ(s.indexRun, IndexRun::Yearbook);
}

}  // namespace
}  // namespace pw
