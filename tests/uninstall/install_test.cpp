// Installs the build into a temporary root with `cmake --install`, then removes it again with
// the installed unpage (or the staged uninstall script), and checks that exactly the installed
// files went and the registry records with them.
#include <gtest/gtest.h>

#include <set>

#include "process_support.h"
#include "registry/install_dir.h"
#include "registry/win_registry.h"
#include "uninstall/form_load.h"

namespace pw {
namespace {

namespace fs = std::filesystem;

// Every entry below `root`, as paths relative to it ("a", "a/b").
std::set<std::string> treeOf(const fs::path& root) {
    std::set<std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        entries.insert(fs::relative(entry.path(), root).string());
    }
    return entries;
}

std::string recordedText(HiveRegistry& api, const std::string& key, const std::string& name) {
    SilentWinRegistry registry(SilentFailures(), api);
    registry.OpenKey(kHkeyLocalMachine, key, kKeyRead);
    if (registryOpenResult() != 0) {
        return "(no key)";
    }
    RegistryData value = registry.QueryValue(name);
    const auto* text = std::get_if<std::string>(&value);
    return text != nullptr ? *text : "(no value)";
}

class InstallTest : public ::testing::Test {
  protected:
    InstallTest() : hive(dir.file("hive.reg")), api(hive) { test::adoptOrphans(); }

    test::Environment environment() const {
        return {{"PAGEWRIGHT_REGISTRY", hive},
                {"HOME", dir.path().string()},
                {"XDG_CONFIG_HOME", dir.file("config")},
                {"PAGEWRIGHT_INI", dir.file("config/PgWright.ini")}};
    }

    test::ProcessResult install(const std::string& prefix, const std::string& destdir = {}) {
        test::Environment env = environment();
        if (!destdir.empty()) {
            env.emplace_back("DESTDIR", destdir);
        }
        return test::runProcess({PW_CMAKE_COMMAND, "--install", PW_BUILD_DIR, "--prefix", prefix},
                                env, dir.path().string());
    }

    static std::string mainProgram() {
        return fs::exists(fs::path(PW_BUILD_DIR) / "bin" / "pagewright") ? "pagewright"
                                                                         : "pagewright-cli";
    }

    test::TempDir dir;
    std::string hive;
    HiveRegistry api;
};

TEST_F(InstallTest, TheInstalledUnpageRemovesEveryInstalledFileAndNothingElse) {
    fs::create_directories(dir.path() / "other");
    test::writeAll(dir.file("other/keep.txt"), "mine");
    std::set<std::string> before = treeOf(dir.path());
    fs::path prefix = dir.path() / "my prefix" / "usr";
    fs::path lib = prefix / "lib" / "pagewright";

    test::ProcessResult installed = install(prefix.string());
    ASSERT_EQ(installed.exitCode, 0) << installed.out << installed.err;
    for (const char* file : {"unpage", "pagewright-cli", "pagewright-uninstall",
                             "pagewright-regtool", "install_manifest.txt"}) {
        EXPECT_TRUE(fs::is_regular_file(lib / file)) << file;
    }
    for (const char* folder : {"Français", "English", "Bin", "help"}) {
        EXPECT_TRUE(fs::is_directory(lib / folder)) << folder;
    }
    EXPECT_FALSE(fs::exists(lib / "desktop"));
    if (mainProgram() == "pagewright") {
        EXPECT_TRUE(fs::is_regular_file(prefix / "share/applications/pagewright.desktop"));
        EXPECT_TRUE(
            fs::is_regular_file(prefix / "share/icons/hicolor/scalable/apps/pagewright.svg"));
    }
    ASSERT_TRUE(fs::is_symlink(prefix / "bin" / "unpage"));
    EXPECT_EQ(fs::read_symlink(prefix / "bin" / "unpage"), "../lib/pagewright/unpage");
    EXPECT_EQ(recordedText(api, std::string(kAppPathsKey), ""), (lib / mainProgram()).string());
    EXPECT_EQ(recordedText(api, uninstallKey(1), "UninstallString"),
              "\"" + (lib / "pagewright-uninstall").string() + "\"");

    // A file of the user's inside an installed folder is not the installation's.
    test::writeAll((lib / "Bin" / "user.jpg").string(), "mine");

    test::ProcessResult removed = test::runProcess({(prefix / "bin" / "unpage").string()},
                                                   environment(), dir.path().string());
    EXPECT_EQ(removed.exitCode, 0);
    EXPECT_EQ(removed.out + removed.err, "");
    EXPECT_EQ(test::waitForDescendants(), 1);

    std::set<std::string> expected = before;
    for (const char* kept :
         {"hive.reg", "hive.reg.lock", "my prefix", "my prefix/usr", "my prefix/usr/lib",
          "my prefix/usr/lib/pagewright", "my prefix/usr/lib/pagewright/Bin",
          "my prefix/usr/lib/pagewright/Bin/user.jpg"}) {
        expected.insert(kept);
    }
    EXPECT_EQ(treeOf(dir.path()), expected);
    EXPECT_EQ(recordedText(api, std::string(kAppPathsKey), ""), "(no key)");
    EXPECT_EQ(recordedText(api, uninstallKey(1), "UninstallString"), "(no key)");
}

TEST_F(InstallTest, AStagedInstallRecordsTheFinalPathsAndRemovesItself) {
    fs::path stage = dir.path() / "stage";
    fs::create_directories(stage);
    test::ProcessResult installed = install("/opt/pw-test", stage.string());
    ASSERT_EQ(installed.exitCode, 0) << installed.out << installed.err;
    fs::path lib = stage / "opt" / "pw-test" / "lib" / "pagewright";
    EXPECT_TRUE(fs::is_regular_file(lib / "unpage"));
    EXPECT_FALSE(fs::exists("/opt/pw-test"));
    EXPECT_EQ(recordedText(api, std::string(kAppPathsKey), ""),
              "/opt/pw-test/lib/pagewright/" + mainProgram());
    EXPECT_EQ(recordedText(api, uninstallKey(1), "UninstallString"),
              "\"/opt/pw-test/lib/pagewright/pagewright-uninstall\"");

    test::ProcessResult removed = test::runProcess({(lib / "pagewright-uninstall").string()},
                                                   environment(), dir.path().string());
    EXPECT_EQ(removed.exitCode, 0);
    EXPECT_TRUE(fs::is_empty(stage));
    EXPECT_EQ(recordedText(api, uninstallKey(1), "UninstallString"), "(no key)");
}

TEST_F(InstallTest, TheInstalledCommandLineFindsItsSampleFilesThroughAppPaths) {
    fs::path prefix = dir.path() / "usr";
    ASSERT_EQ(install(prefix.string()).exitCode, 0);
    fs::path lib = prefix / "lib" / "pagewright";
    // A copy of the program away from its data: only App Paths leads it there.
    fs::create_directories(dir.path() / "elsewhere");
    fs::path copy = dir.path() / "elsewhere" / "pagewright-cli";
    fs::copy_file(lib / "pagewright-cli", copy);
    fs::permissions(copy, fs::perms::owner_all);
    for (const auto& program : {(prefix / "bin" / "pagewright-cli").string(), copy.string()}) {
        fs::path site =
            dir.path() / ("site-" + fs::path(program).parent_path().filename().string());
        fs::create_directories(site);
        test::ProcessResult run = test::runProcess(
            {program, "pages", "--lang", "en", "--dest", site.string() + "/", "--quiet"},
            environment(), dir.path().string());
        EXPECT_EQ(run.exitCode, 0) << program << "\n" << run.out << run.err;
        EXPECT_FALSE(fs::is_empty(site)) << program;
    }
}

}  // namespace
}  // namespace pw
