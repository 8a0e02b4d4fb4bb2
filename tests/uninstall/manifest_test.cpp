#include "uninstall/manifest.h"

#include <gtest/gtest.h>

#include "uninstall/uninstall_text.h"

namespace pw {
namespace {

TEST(Manifest, KeepsOnlyEntriesThatStayInsideThePrefixOrNameItsParents) {
    struct Case {
        const char* line;
        std::vector<std::string> files;
        std::vector<std::string> dirs;
    };
    const Case cases[] = {
        {"file\tlib/pagewright/unpage", {"lib/pagewright/unpage"}, {}},
        {"file\tbin/pagewright\r", {"bin/pagewright"}, {}},
        {"file\t/etc/passwd", {}, {}},
        {"file\t../outside", {}, {}},
        {"file\tlib/../../outside", {}, {}},
        {"file\tlib/./x", {}, {}},
        {"file\tlib//x", {}, {}},
        {"file\t", {}, {}},
        {"dir\tshare/man/man1", {}, {"share/man/man1"}},
        {"dir\t.", {}, {"."}},
        {"dir\t../..", {}, {"../.."}},
        {"dir\t../usr", {}, {}},
        {"dir\t/usr", {}, {}},
        {"dir\tshare/..", {}, {}},
        {"folder\tshare", {}, {}},
        {"file lib/no-tab", {}, {}},
    };
    for (const auto& c : cases) {
        Manifest manifest = parseManifest(std::string(c.line) + "\n");
        EXPECT_EQ(manifest.files, c.files) << c.line;
        EXPECT_EQ(manifest.dirs, c.dirs) << c.line;
    }
    Manifest both = parseManifest("program\t/p/lib/pagewright/pagewright\nuninstall\t\"/p/u\"");
    EXPECT_EQ(both.program, "/p/lib/pagewright/pagewright");
    EXPECT_EQ(both.uninstallCommand, "\"/p/u\"");
}

TEST(UninstallAnswer, YesInEitherLanguageAndNothingElse) {
    const std::pair<const char*, bool> cases[] = {
        {"y", true},   {"Y\r\n", true},       {" yes ", true}, {"o", true},
        {"OUI", true}, {"", false},           {"n", false},    {"non", false},
        {"ye", false}, {"yes please", false}, {"oui!", false},
    };
    for (const auto& [answer, yes] : cases) {
        EXPECT_EQ(isYes(answer), yes) << answer;
    }
}

}  // namespace
}  // namespace pw
