#include <gtest/gtest.h>
#include <sys/stat.h>

#include "pagewright_version.h"
#include "process_support.h"
#include "registry/win_registry.h"
#include "uninstall/form_load.h"

namespace pw {
namespace {

class UnpageTest : public ::testing::Test {
  protected:
    UnpageTest() : hive(dir.file("hive.reg")) { test::adoptOrphans(); }

    // Records `command` as the uninstall command of `slot` (no value when it is empty).
    void recordSlot(int slot, const std::string& command) {
        HiveRegistry api(hive);
        WinRegistry registry(RegistryMessageSink(), api);
        registry.CreateKey(kHkeyLocalMachine, uninstallKey(slot), kKeyAllAccess, false);
        ASSERT_EQ(registry.lastError(), 0);
        if (!command.empty()) {
            registry.SaveValue("UninstallString", command);
        }
    }

    // A script that writes its first argument to `marker`; returns its quoted path.
    std::string markerScript(const std::string& name, const std::string& marker) {
        std::string path = dir.file(name);
        test::writeAll(path, "#!/bin/sh\nprintf '%s' \"$1\" > '" + dir.file(marker) + "'\n");
        ::chmod(path.c_str(), 0755);
        return "\"" + path + "\"";
    }

    test::ProcessResult runUnpage(const std::vector<std::string>& arguments = {},
                                  const test::Input& input = {}) {
        std::vector<std::string> argv = {UNPAGE_PATH};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        return test::runProcess(argv,
                                {{"PAGEWRIGHT_REGISTRY", hive},
                                 {"HOME", dir.path().string()},
                                 {"XDG_CONFIG_HOME", dir.file("config")}},
                                dir.path().string(), input);
    }

    test::TempDir dir;
    std::string hive;
};

TEST_F(UnpageTest, TheHighestSlotsCommandIsStartedAndNothingIsShown) {
    recordSlot(1, markerScript("slot one.sh", "marker1") + " one");
    recordSlot(3, markerScript("slot three.sh", "marker3") + " three");
    test::ProcessResult result = runUnpage();
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(test::waitForDescendants(), 1);
    EXPECT_EQ(test::readAll(dir.file("marker3")), "three");
    EXPECT_FALSE(std::filesystem::exists(dir.file("marker1")));
}

TEST_F(UnpageTest, HelpAndVersionStartNothingAndOtherArgumentsAreIgnored) {
    struct Case {
        const char* name;
        std::vector<std::string> arguments;
        bool terminal;
        const char* expectedOut;     // a part of standard output
        const char* expectedMarker;  // what the started command wrote; null: not started
        int detachedChildren;
    };
    const Case cases[] = {
        {"no argument", {}, false, "", "three", 1},
        {"--help", {"--help"}, false, "usage: unpage", nullptr, 0},
        {"--version", {"--version"}, false, "unpage " PAGEWRIGHT_VERSION "\n", nullptr, 0},
        {"--help after another argument", {"x", "--help"}, false, "usage: unpage", nullptr, 0},
        {"other arguments are ignored", {"--yes", "-h", "x"}, false, "", "three", 1},
        {"on a terminal the command takes its place there", {}, true, "", "three on a terminal", 0},
    };
    std::string script = dir.file("slot three.sh");
    test::writeAll(script, "#!/bin/sh\nprintf '%s' \"$1\" > '" + dir.file("marker") +
                               "'\n[ -t 0 ] && printf ' on a terminal' >> '" + dir.file("marker") +
                               "'\nexit 0\n");
    ::chmod(script.c_str(), 0755);
    recordSlot(3, "\"" + script + "\" three");
    for (const auto& c : cases) {
        std::filesystem::remove(dir.file("marker"));
        test::ProcessResult result = runUnpage(c.arguments, {c.terminal, ""});
        EXPECT_EQ(result.exitCode, 0) << c.name;
        EXPECT_NE(result.out.find(c.expectedOut), std::string::npos) << c.name << result.out;
        EXPECT_EQ(result.err, "") << c.name;
        EXPECT_EQ(test::waitForDescendants(), c.detachedChildren) << c.name;
        if (c.expectedMarker != nullptr) {
            EXPECT_EQ(test::readAll(dir.file("marker")), c.expectedMarker) << c.name;
        } else {
            EXPECT_FALSE(std::filesystem::exists(dir.file("marker"))) << c.name;
        }
    }
}

TEST_F(UnpageTest, NoSlotEndsSilentlyWithoutStartingAnything) {
    test::ProcessResult result = runUnpage();
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(test::waitForDescendants(), 0);
    EXPECT_FALSE(std::filesystem::exists(hive));
}

TEST_F(UnpageTest, ACommandThatCannotStartIsIgnored) {
    recordSlot(2, "\"" + dir.file("missing program") + "\"");
    test::ProcessResult result = runUnpage();
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out + result.err, "");
    EXPECT_EQ(test::waitForDescendants(), 0);
}

struct SlotCase {
    const char* name;
    std::vector<std::pair<int, std::string>> slots;
    int expectedOpens;
    int expectedQueries;
    std::vector<std::string> expectedStarts;
};

TEST(FormLoad, TriesSlotsFromNineDownToTheFirstThatOpens) {
    const SlotCase cases[] = {
        {"slots 1 and 3", {{1, "one"}, {3, "three"}}, 7, 1, {"three"}},
        {"slots 2 and 5", {{2, "two"}, {5, "five"}}, 5, 1, {"five"}},
        {"no slot", {}, 9, 0, {}},
        {"slot 10 only", {{10, "ten"}}, 9, 0, {}},
        {"slot 9", {{9, "nine"}, {1, "one"}}, 1, 1, {"nine"}},
        {"slot without command", {{5, ""}, {2, "two"}}, 5, 1, {}},
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        test::CountingRegistry api(dir.file("hive.reg"));
        for (const auto& [slot, command] : c.slots) {
            WinRegistry registry(RegistryMessageSink(), api.inner());
            registry.CreateKey(kHkeyLocalMachine, uninstallKey(slot), kKeyAllAccess, false);
            if (!command.empty()) {
                registry.SaveValue("UninstallString", command);
            }
        }
        std::vector<std::string> started;
        Form_Load(api, [&](const std::string& command) { started.push_back(command); });
        EXPECT_EQ(api.opens, c.expectedOpens) << c.name;
        EXPECT_EQ(api.queries, c.expectedQueries) << c.name;
        EXPECT_EQ(started, c.expectedStarts) << c.name;
        EXPECT_EQ(api.inner().openHandleCount(), 0u) << c.name;
    }
}

TEST(FormLoad, UninstallKeyNames) {
    EXPECT_EQ(uninstallKey(1),
              "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ST5UNST #1");
    EXPECT_EQ(uninstallKey(9),
              "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ST5UNST #9");
}

}  // namespace
}  // namespace pw
