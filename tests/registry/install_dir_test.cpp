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

    std::string lookUp() {
        return installationDirectory([this](const std::string& m) { messages.push_back(m); }, api);
    }

    test::TempDir dir;
    HiveRegistry api;
    std::vector<std::string> messages;
};

TEST(InstallDir, TakesTheFirstKeyThatNamesAnExistingProgram) {
    struct Case {
        const char* name;
        const char* appPaths;  // "@" stands for the test's directory; null: no record
        const char* french;
        const char* expected;  // null: the running program's directory
    };
    const Case cases[] = {
        {"App Paths first", "@/opt/lib/pagewright/pagewright", "@/fr/PageWright.EXE",
         "@/opt/lib/pagewright/"},
        {"then the French-named key", nullptr, "@/fr/PageWright.EXE", "@/fr/"},
        {"a program that is gone", "@/gone/pagewright", nullptr, nullptr},
        {"gone, then the French-named key", "@/gone/pagewright", "@/fr/PageWright.EXE", "@/fr/"},
        {"a directory is no program", "@/opt/lib/pagewright", nullptr, nullptr},
        {"a value naming no directory", "pagewright", nullptr, nullptr},
        {"no record", nullptr, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        std::filesystem::create_directories(dir.path() / "opt/lib/pagewright");
        std::filesystem::create_directories(dir.path() / "fr");
        test::writeAll(dir.file("opt/lib/pagewright/pagewright"), "");
        test::writeAll(dir.file("fr/PageWright.EXE"), "");
        auto resolve = [&](const char* text) {
            std::string value = text;
            if (!value.empty() && value[0] == '@') {
                value = dir.path().string() + value.substr(1);
            }
            return value;
        };
        HiveRegistry api(dir.file("hive.reg"));
        for (auto [key, value] :
             {std::pair{kAppPathsKey, c.appPaths}, std::pair{kAppPathsFrenchKey, c.french}}) {
            if (value != nullptr) {
                WinRegistry registry(RegistryMessageSink(), api);
                registry.CreateKey(kHkeyLocalMachine, std::string(key), kKeyAllAccess, false);
                registry.SaveValue("", resolve(value));
            }
        }
        std::vector<std::string> messages;
        std::string found =
            installationDirectory([&](const std::string& m) { messages.push_back(m); }, api);
        EXPECT_EQ(found, c.expected != nullptr ? resolve(c.expected) : runningProgramDirectory())
            << c.name;
        EXPECT_TRUE(messages.empty()) << c.name;
    }
}

TEST_F(InstallDirTest, TheRunningProgramsDirectoryEndsWithASeparatorAndTheKeyIsCreated) {
    std::string expected = runningProgramDirectory();
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(expected.back(), '/');
    EXPECT_EQ(lookUp(), expected);
    EXPECT_TRUE(messages.empty());
    EXPECT_NE(
        HiveStore(Env::system(), dir.file("hive.reg")).load().find(2, splitKeyPath(kAppPathsKey)),
        nullptr);
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
