#include "uninstall/removal.h"

#include <gtest/gtest.h>

#include <set>

#include "process_support.h"

namespace pw {
namespace {

namespace fs = std::filesystem;

// Refuses to remove the one path it is given, as a file the user may not remove would be.
class RefusingEnv : public EnvWrapper {
  public:
    explicit RefusingEnv(std::string refused) : EnvWrapper(Env::system()), m_refused(refused) {}

    Status unlink(int dir, const char* name, int flags) override {
        if (name == m_refused) {
            return Status::fromErrno(EACCES, "unlink");
        }
        return EnvWrapper::unlink(dir, name, flags);
    }

  private:
    std::string m_refused;
};

TEST(Removal, WhatCannotBeRemovedIsReportedAndKeepsItsFoldersTheRestGoes) {
    struct Case {
        const char* name;
        const char* refused;  // relative to the prefix; empty: nothing refused
        std::set<std::string> left;
        size_t failures;
    };
    const Case cases[] = {
        {"everything goes", "", {}, 0},
        {"a refused file keeps its folders",
         "lib/pagewright/help/aide_1.htm",
         {"lib", "lib/pagewright", "lib/pagewright/help", "lib/pagewright/help/aide_1.htm"},
         1},
        {"a refused link", "bin/pagewright-cli", {"bin", "bin/pagewright-cli"}, 1},
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        fs::path prefix = dir.path();
        for (const char* folder : {"bin", "lib/pagewright/help"}) {
            fs::create_directories(prefix / folder);
        }
        test::writeAll((prefix / "lib/pagewright/help/aide_1.htm").string(), "help");
        test::writeAll((prefix / "lib/pagewright/pagewright-cli").string(), "program");
        fs::create_symlink("../lib/pagewright/pagewright-cli", prefix / "bin/pagewright-cli");
        Manifest manifest = parseManifest(
            "file\tbin/pagewright-cli\nfile\tlib/pagewright/pagewright-cli\n"
            "file\tlib/pagewright/help/aide_1.htm\nfile\tlib/pagewright/gone.txt\n"
            "dir\tbin\ndir\tlib/pagewright/help\ndir\tlib\ndir\tlib/pagewright\n");
        HiveRegistry api(dir.file("hive.reg"));
        RemovalPlan plan = planRemoval(manifest, prefix / "lib/pagewright", api);
        EXPECT_EQ(plan.files.size(), 3u) << c.name;
        RefusingEnv env(*c.refused != '\0' ? (prefix / c.refused).string() : std::string());
        RemovalOutcome outcome = carryOut(plan, api, env);

        std::set<std::string> left;
        for (const auto& entry : fs::recursive_directory_iterator(prefix)) {
            left.insert(fs::relative(entry.path(), prefix).string());
        }
        EXPECT_EQ(left, c.left) << c.name;
        EXPECT_EQ(outcome.failures.size(), c.failures) << c.name;
        EXPECT_EQ(outcome.removedFiles.size(), 3 - c.failures) << c.name;
        EXPECT_EQ(outcome.removedDirs.size() + outcome.keptDirs.size(), 4u) << c.name;
    }
}

}  // namespace
}  // namespace pw
