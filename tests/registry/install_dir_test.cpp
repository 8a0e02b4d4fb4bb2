#include "registry/install_dir.h"

#include <gtest/gtest.h>

#include "registry/hive_store.h"
#include "registry_test_support.h"

namespace pw {
namespace {

TEST(DirectoryFromAppPath, CutsBeforeTheProgramOrAtTheLastSeparator) {
    struct Case {
        const char* value;
        const char* expected;
    };
    const Case cases[] = {
        {"C:\\Program Files\\PageWright\\PAGEWRIGHT.EXE", "C:\\Program Files\\PageWright\\"},
        {"c:\\pw\\Pagewright.exe", "c:\\pw\\"},
        {"/usr/local/lib/pagewright/pagewright", "/usr/local/lib/pagewright/"},
        {"/opt/Pagewright.exe", "/opt/"},
        {"/opt/pw/pagewright-cli", "/opt/pw/"},
        {"pagewright", ""},
        {"Pagewright.exe", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(directoryFromAppPath(c.value), c.expected) << c.value;
    }
}

class InstallDirTest : public ::testing::Test {
  protected:
    InstallDirTest() : api(dir.file("hive.reg")) {}

    void record(std::string_view key, const std::string& program) {
        WinRegistry registry(RegistryMessageSink(), api);
        registry.CreateKey(kHkeyLocalMachine, std::string(key), kKeyAllAccess, false);
        registry.SaveValue("", program);
        ASSERT_EQ(registry.lastError(), 0);
    }

    std::string lookUp() {
        return installationDirectory([this](const std::string& m) { messages.push_back(m); }, api);
    }

    test::TempDir dir;
    HiveRegistry api;
    std::vector<std::string> messages;
};

TEST_F(InstallDirTest, TheAppPathsKeyComesFirst) {
    record(kAppPathsKey, "/opt/Pagewright/lib/pagewright/pagewright");
    record(kAppPathsFrenchKey, "/elsewhere/Pagewright.exe");
    EXPECT_EQ(lookUp(), "/opt/Pagewright/lib/pagewright/");
    EXPECT_TRUE(messages.empty());
}

TEST_F(InstallDirTest, ThenTheFrenchNamedKey) {
    record(kAppPathsFrenchKey, "D:\\Logiciels\\PageWright.EXE");
    EXPECT_EQ(lookUp(), "D:\\Logiciels\\");
}

TEST_F(InstallDirTest, ThenTheRunningProgramsDirectoryAndTheKeyIsCreated) {
    std::string expected = runningProgramDirectory();
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(expected.back(), '/');
    EXPECT_EQ(lookUp(), expected);
    EXPECT_TRUE(messages.empty());
    EXPECT_NE(
        HiveStore(Env::system(), dir.file("hive.reg")).load().find(2, splitKeyPath(kAppPathsKey)),
        nullptr);
}

TEST_F(InstallDirTest, AValueNamingNoDirectoryFallsThrough) {
    record(kAppPathsKey, "pagewright");
    EXPECT_EQ(lookUp(), runningProgramDirectory());
}

TEST(InstallDir, AnUnwritableRegistryIsShownAndTheProgramStillFindsItself) {
    test::TempDir dir;
    // The hive's directory is a file, so the key can be neither read nor created.
    test::writeAll(dir.file("not-a-dir"), "");
    HiveRegistry api(dir.file("not-a-dir/hive.reg"));
    std::vector<std::string> messages;
    EXPECT_EQ(installationDirectory([&](const std::string& m) { messages.push_back(m); }, api),
              runningProgramDirectory());
    EXPECT_EQ(messages,
              (std::vector<std::string>{"Erreur CreateKey : 1016", "Erreur CreateKey : 1016"}));
}

}  // namespace
}  // namespace pw
