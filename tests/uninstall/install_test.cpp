// Installs the build into a temporary root with `cmake --install`, then removes it again
// through unpage or the installed uninstall program, and checks what went: exactly what the
// installations put in place, the folders they created, and their registry records.
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

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class InstallTest : public ::testing::Test {
  protected:
    InstallTest() : hive(dir.file("hive.reg")), api(hive) { test::adoptOrphans(); }

    // No display: the uninstall program can ask only on a terminal.
    test::Environment environment() const {
        return {{"PAGEWRIGHT_REGISTRY", hive},
                {"HOME", dir.path().string()},
                {"XDG_CONFIG_HOME", dir.file("config")},
                {"PAGEWRIGHT_INI", dir.file("config/PgWright.ini")},
                {"DISPLAY", ""},
                {"WAYLAND_DISPLAY", ""},
                {"LC_ALL", "C"}};
    }

    test::ProcessResult install(const fs::path& prefix, const std::string& destdir = {}) {
        test::Environment env = environment();
        if (!destdir.empty()) {
            env.emplace_back("DESTDIR", destdir);
        }
        return test::runProcess(
            {PW_CMAKE_COMMAND, "--install", PW_BUILD_DIR, "--prefix", prefix.string()}, env,
            dir.path().string());
    }

    test::ProcessResult run(const std::vector<std::string>& argv, const test::Input& input = {}) {
        return test::runProcess(argv, environment(), dir.path().string(), input);
    }

    static std::string mainProgram() {
        return fs::exists(fs::path(PW_BUILD_DIR) / "bin" / "pagewright") ? "pagewright"
                                                                         : "pagewright-cli";
    }

    test::TempDir dir;
    std::string hive;
    HiveRegistry api;
};

TEST_F(InstallTest, TheUninstallProgramAsksBeforeRemovingAnything) {
    struct Case {
        const char* name;
        bool throughUnpage;  // else the installed uninstall program, run directly
        std::vector<std::string> arguments;
        test::Input input;
        int expectedExit;
        bool removed;
        const char* expectedOut;  // a part of standard output; null: no check
        const char* expectedErr;  // a part of standard error; null: no check
    };
    const Case cases[] = {
        {"unpage on a terminal, answered no",
         true,
         {},
         {true, "n\n"},
         1,
         false,
         "Remove Pagewright? [y/N] Nothing was removed.",
         nullptr},
        {"unpage on a terminal, answered yes",
         true,
         {},
         {true, "y\n"},
         0,
         true,
         "Removed:",
         nullptr},
        {"unpage without a terminal or a display", true, {}, {}, 0, false, nullptr, nullptr},
        {"no terminal, no display, no --yes",
         false,
         {},
         {},
         1,
         false,
         nullptr,
         "nothing was removed: there is no terminal to ask on and no display"},
        {"--yes answers for a script", false, {"--yes"}, {}, 0, true, "Removed:", nullptr},
        {"--help removes nothing",
         false,
         {"--help"},
         {true, "y\n"},
         0,
         false,
         "usage: pagewright-uninstall",
         nullptr},
        {"an unknown argument removes nothing",
         false,
         {"--force"},
         {},
         2,
         false,
         nullptr,
         "unknown argument '--force'"},
    };
    for (const auto& c : cases) {
        test::TempDir root;
        fs::path prefix = root.path() / "usr";
        fs::path lib = prefix / "lib" / "pagewright";
        ASSERT_EQ(install(prefix).exitCode, 0) << c.name;
        // A file of the user's inside an installed folder is not the installation's.
        test::writeAll((lib / "Bin" / "user.jpg").string(), "mine");
        std::set<std::string> installed = treeOf(root.path());

        std::vector<std::string> argv = {
            (c.throughUnpage ? prefix / "bin" / "unpage" : lib / "pagewright-uninstall").string()};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        test::ProcessResult result = run(argv, c.input);
        test::waitForDescendants();

        EXPECT_EQ(result.exitCode, c.expectedExit) << c.name << "\n" << result.out << result.err;
        if (c.expectedOut != nullptr) {
            EXPECT_TRUE(contains(result.out, c.expectedOut)) << c.name << "\n" << result.out;
        }
        if (c.expectedErr != nullptr) {
            EXPECT_TRUE(contains(result.err, c.expectedErr)) << c.name << "\n" << result.err;
        }
        if (c.removed) {
            EXPECT_EQ(treeOf(root.path()),
                      (std::set<std::string>{"usr", "usr/lib", "usr/lib/pagewright",
                                             "usr/lib/pagewright/Bin",
                                             "usr/lib/pagewright/Bin/user.jpg"}))
                << c.name;
            EXPECT_EQ(recordedText(api, std::string(kAppPathsKey), ""), "(no key)") << c.name;
            EXPECT_EQ(recordedText(api, uninstallKey(1), "UninstallString"), "(no key)") << c.name;
            // The question listed what went, the links in bin among them.
            if (c.input.terminal) {
                EXPECT_TRUE(contains(result.out, "  " + (prefix / "bin" / "unpage").string()))
                    << c.name << "\n"
                    << result.out;
            }
        } else {
            EXPECT_EQ(treeOf(root.path()), installed) << c.name;
            EXPECT_EQ(recordedText(api, std::string(kAppPathsKey), ""),
                      (lib / mainProgram()).string())
                << c.name;
        }
    }
}

TEST_F(InstallTest, AStagedInstallRecordsNothingAndCreatesOnlyFoldersBelowThePrefix) {
    fs::path stage = dir.path() / "stage";
    fs::create_directories(stage);
    test::ProcessResult installed = install("/opt/pw-test", stage.string());
    ASSERT_EQ(installed.exitCode, 0) << installed.out << installed.err;
    fs::path prefix = stage / "opt" / "pw-test";
    fs::path lib = prefix / "lib" / "pagewright";
    EXPECT_TRUE(fs::is_regular_file(lib / "pagewright-uninstall"));
    EXPECT_FALSE(fs::exists("/opt/pw-test"));
    EXPECT_FALSE(fs::exists(hive));

    std::string manifest = test::readAll((lib / "install_manifest.txt").string());
    EXPECT_TRUE(contains(manifest, "program\t/opt/pw-test/lib/pagewright/" + mainProgram()));
    EXPECT_TRUE(contains(manifest, "dir\tbin\n"));
    EXPECT_FALSE(contains(manifest, "dir\t.\n"));
    EXPECT_FALSE(contains(manifest, "dir\t..\n"));

    test::ProcessResult removed = run({(lib / "pagewright-uninstall").string(), "--yes"});
    EXPECT_EQ(removed.exitCode, 0) << removed.out << removed.err;
    EXPECT_EQ(treeOf(stage), (std::set<std::string>{"opt", "opt/pw-test"}));
}

TEST_F(InstallTest, AnUninstallAfterSeveralInstallsRemovesEveryFolderTheyCreatedAndNothingElse) {
    struct Case {
        const char* name;
        int installs;
        std::set<std::string> before;  // "dir/" a folder, else a file
        std::set<std::string> after;
    };
    const Case cases[] = {
        {"installed once", 1, {}, {}},
        {"installed twice", 2, {}, {}},
        {"installed three times", 3, {}, {}},
        {"twice over a prefix that held a folder of the user's",
         2,
         {"p/", "p/usr/", "p/usr/bin/", "p/usr/bin/mine"},
         {"p", "p/usr", "p/usr/bin", "p/usr/bin/mine"}},
        {"twice over an empty share folder",
         2,
         {"p/", "p/usr/", "p/usr/share/"},
         {"p", "p/usr", "p/usr/share"}},
    };
    for (const auto& c : cases) {
        test::TempDir root;
        for (const std::string& entry : c.before) {
            if (entry.back() == '/') {
                fs::create_directories(root.path() / entry);
            } else {
                test::writeAll((root.path() / entry).string(), "mine");
            }
        }
        fs::path prefix = root.path() / "p" / "usr";
        for (int i = 0; i < c.installs; ++i) {
            ASSERT_EQ(install(prefix).exitCode, 0) << c.name;
        }
        test::ProcessResult removed =
            run({(prefix / "lib" / "pagewright" / "pagewright-uninstall").string(), "--yes"});
        EXPECT_EQ(removed.exitCode, 0) << c.name << "\n" << removed.out << removed.err;
        EXPECT_EQ(treeOf(root.path()), c.after) << c.name << "\n" << removed.out;
    }
}

TEST_F(InstallTest, TheInstalledCommandLineFindsItsSampleFilesThroughAppPaths) {
    fs::path prefix = dir.path() / "usr";
    ASSERT_EQ(install(prefix).exitCode, 0);
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
        test::ProcessResult result =
            run({program, "pages", "--lang", "en", "--dest", site.string() + "/", "--quiet"});
        EXPECT_EQ(result.exitCode, 0) << program << "\n" << result.out << result.err;
        EXPECT_FALSE(fs::is_empty(site)) << program;
    }
}

}  // namespace
}  // namespace pw
