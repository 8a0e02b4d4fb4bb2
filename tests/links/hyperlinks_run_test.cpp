#include "links/hyperlinks_run.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <algorithm>

#include <filesystem>
#include <map>

#include "engine/run_frame.h"
#include "links/link_block.h"
#include "links_test_support.h"
#include "tests/support/unprivileged.h"

namespace pw::test {
namespace {

namespace fs = std::filesystem;

// The pages of a directory in the order the run takes them (their names here are lower case).
std::vector<std::string> pagesOf(const TempDir& dir) {
    std::vector<std::string> pages;
    for (const std::string& name : listing(dir.path())) {
        if (name.size() > 4 && name.substr(name.size() - 4) == ".htm") {
            pages.push_back(name);
        }
    }
    std::sort(pages.begin(), pages.end());
    return pages;
}

struct FileStamp {
    ino_t inode;
    int64_t seconds;
};

FileStamp stampOf(const std::string& path) {
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return {info.st_ino, static_cast<int64_t>(info.st_mtim.tv_sec)};
}

void makeOld(const std::string& path) {
    fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::hours(48));
}

bool hasWorkFile(const TempDir& dir) {
    for (const std::string& name : listing(dir.path())) {
        if (name.rfind(".pagewright-work", 0) == 0) {
            return true;
        }
    }
    return false;
}

TEST(HyperlinksRun, LinksPagesSharingTheTrimmedValueInListOrderNeverThemselves) {
    TempDir dir;
    const std::map<std::string, std::string> pages = {
        {"a.htm", makePage("Lyon", "Ville A")}, {"b.htm", makePage(" Lyon  ", "  Ville B")},
        {"c.htm", makePage("lyon", "Ville C")}, {"d.htm", makePage("Paris", "Ville D")},
        {"e.htm", makePage("Lyon", "Ville E")}, {"f.html", makePage("Lyon", "Ville F")},
        {".g.htm", makePage("Lyon", "Ville G")}};
    for (const auto& [name, bytes] : pages) {
        writeFile(dir / name, bytes);
        makeOld(dir / name);
    }
    FileStamp c = stampOf(dir / "c.htm");
    FileStamp d = stampOf(dir / "d.htm");
    LinksRun run(dir.path(), "Tag N°2", "Tag N°3", " ../villes/ ");
    ASSERT_EQ(run.run(), RunOutcome::Completed);

    std::vector<std::string> order;
    for (const std::string& name : pagesOf(dir)) {
        if (name == "a.htm" || name == "b.htm" || name == "e.htm") {
            order.push_back(name);
        }
    }
    const std::map<std::string, std::string> texts = {
        {"a.htm", "Ville A"}, {"b.htm", "  Ville B"}, {"e.htm", "Ville E"}};
    for (const std::string& page : order) {
        std::string block = "<!--tag99-->\r\n";
        for (const std::string& target : order) {
            if (target != page) {
                block +=
                    "<a href =\"../villes/" + target + "\">" + texts.at(target) + "</a><br>\r\n";
            }
        }
        std::string expected = pages.at(page);
        expected.replace(expected.find("<!--tag99-->\r\n"), 14, block);
        EXPECT_EQ(readFile(dir / page), expected) << page;
    }
    for (const char* name : {"c.htm", "d.htm", "f.html", ".g.htm"}) {
        EXPECT_EQ(readFile(dir / name), pages.at(name)) << name;
    }
    EXPECT_EQ(stampOf(dir / "c.htm").inode, c.inode);
    EXPECT_EQ(stampOf(dir / "c.htm").seconds, c.seconds);
    EXPECT_EQ(stampOf(dir / "d.htm").seconds, d.seconds);
    EXPECT_EQ(run.report.writtenCount(), 3u);
    EXPECT_FALSE(hasWorkFile(dir));
}

TEST(HyperlinksRun, PagesReadWholeOrStreamedGiveTheSameLinks) {
    // Pages up to 256 KB are read with one read, larger ones line by line as they stream.
    for (size_t filler : {size_t{0}, size_t{300} << 10}) {
        SCOPED_TRACE(filler);
        TempDir dir;
        const std::string head = "<p>" + std::string(filler, 'f') + "</p>\r\n";
        const std::map<std::string, std::string> pages = {
            {"a.htm", head + makePage("Lyon", "Ville A")},
            {"b.htm", head + makePage("Lyon", "Ville B")}};
        for (const auto& [name, bytes] : pages) {
            writeFile(dir / name, bytes);
        }
        LinksRun run(dir.path(), "Tag N°2", "Tag N°3", "");
        ASSERT_EQ(run.run(), RunOutcome::Completed);
        for (const auto& [name, bytes] : pages) {
            const std::string other = name == "a.htm" ? "b.htm" : "a.htm";
            std::string expected = bytes;
            expected.replace(expected.find("<!--tag99-->\r\n"), 14,
                             "<!--tag99-->\r\n<a href =\"" + other + "\">Ville " +
                                 char(std::toupper(other[0])) + "</a><br>\r\n");
            EXPECT_TRUE(readFile(dir / name) == expected) << name;
        }
        EXPECT_EQ(run.report.writtenCount(), 2u);
    }
}

TEST(HyperlinksRun, PageWithPartnersButNoBlockGetsCrLfLineEnds) {
    TempDir dir;
    writeFile(dir / "a.htm", "<!--tag2-->\nLyon\n<!--tag3-->\nA");
    writeFile(dir / "b.htm", "<!--tag2-->\rLyon\r\n<!--tag3-->\r\nB\r\n");
    // A directory typed without its final separator is used as if it had one.
    std::string typed = dir.path();
    typed.pop_back();
    LinksRun run(typed, "Tag N°2", "Tag N°3");
    ASSERT_EQ(run.run(), RunOutcome::Completed);
    EXPECT_EQ(readFile(dir / "a.htm"), "<!--tag2-->\r\nLyon\r\n<!--tag3-->\r\nA\r\n");
    EXPECT_EQ(readFile(dir / "b.htm"), "<!--tag2-->\r\nLyon\r\n<!--tag3-->\r\nB\r\n");
    EXPECT_EQ(run.report.writtenCount(), 2u);
    EXPECT_EQ(run.report.unchangedCount(), 0u);
}

TEST(HyperlinksRun, PagesWithoutPartnerKeepTheirBytesAndTime) {
    TempDir dir;
    std::string outdated = makePage("Lyon", "A");
    outdated.replace(outdated.find("<!--/tag99-->"), 0, "<a href =\"gone.htm\">Gone</a><br>\n");
    const std::vector<std::pair<std::string, std::string>> pages = {
        {"a.htm", outdated},
        {"b.htm", "<p>\n<!--tag3-->\nB\n"},
        {"c.htm", "<!--tag2-->\n"},
        {"d.htm", "<!--tag2-->\nParis\r"}};
    for (const auto& [name, bytes] : pages) {
        writeFile(dir / name, bytes);
        makeOld(dir / name);
    }
    std::map<std::string, FileStamp> before;
    for (const auto& page : pages) {
        before[page.first] = stampOf(dir / page.first);
    }
    LinksRun run(dir.path(), "Tag N°2", "Tag N°3");
    ASSERT_EQ(run.run(), RunOutcome::Completed);
    for (const auto& [name, bytes] : pages) {
        EXPECT_EQ(readFile(dir / name), bytes) << name;
        EXPECT_EQ(stampOf(dir / name).inode, before[name].inode) << name;
        EXPECT_EQ(stampOf(dir / name).seconds, before[name].seconds) << name;
    }
    EXPECT_EQ(run.report.writtenCount() + run.report.unchangedCount(), 0u);
    EXPECT_EQ(run.host.pumps, 4);
}

TEST(HyperlinksRun, AOneLineRegionOnTheBlockStartLineKeepsItsLine) {
    TempDir dir;
    const std::string head = "<html>\r\n<!--tag2-->\r\nLyon\r\n<!--/tag2-->\r\n";
    writeFile(dir / "a.htm", head + "<!--tag3-->A<!--/tag3--><!--tag99-->\r\n<!--/tag99-->\r\n");
    writeFile(dir / "b.htm", head + "<!--tag3-->B<!--/tag3--><!--tag99-->\r\n<!--/tag99-->\r\n");
    LinksRun run(dir.path(), "Tag N°2", "Tag N°3");
    ASSERT_EQ(run.run(), RunOutcome::Completed);
    // The text line of each page is the block's start or end marker, which shows nothing.
    EXPECT_EQ(readFile(dir / "a.htm"), head +
                                           "<!--tag3-->A<!--/tag3-->\r\n<!--tag99-->\r\n<a href "
                                           "=\"b.htm\"></a><br>\r\n<!--/tag99-->\r\n");
    EXPECT_EQ(readFile(dir / "b.htm"), head +
                                           "<!--tag3-->B<!--/tag3-->\r\n<!--tag99-->\r\n<a href "
                                           "=\"a.htm\"></a><br>\r\n<!--/tag99-->\r\n");
}

// The order of the links is that of the names, a-z read as A-Z, on every file system and
// whatever order the directory was filled in; a second run, after pages were replaced, keeps it.
TEST(HyperlinksRun, LinksFollowTheNamesNotTheDirectoryOrder) {
    for (bool inMemory : {false, true}) {
        TempDir dir(inMemory);
        for (const char* name : {"A.htm", "b.htm", "C.HTM", "ab.htm", "a_x.htm", "z.htm"}) {
            writeFile(dir / name, makePage(name[0] == 'z' ? "Nice" : "Lyon", name));
        }
        LinksRun first(dir.path(), "Tag N°2", "Tag N°3");
        ASSERT_EQ(first.run(), RunOutcome::Completed);
        std::string expected = "<!--tag99-->\r\n";
        for (const char* name : {"A.htm", "ab.htm", "a_x.htm", "b.htm"}) {
            expected += "<a href =\"" + std::string(name) + "\">" + name + "</a><br>\r\n";
        }
        EXPECT_NE(readFile(dir / "C.HTM").find(expected + "<!--/tag99-->"), std::string::npos)
            << readFile(dir / "C.HTM");
        auto once = snapshot(dir.path());
        LinksRun second(dir.path(), "Tag N°2", "Tag N°3");
        ASSERT_EQ(second.run(), RunOutcome::Completed);
        EXPECT_EQ(snapshot(dir.path()), once);
        EXPECT_EQ(second.report.writtenCount(), 0u);
    }
}

TEST(HyperlinksRun, EmptyFilesMatchEachOtherAndBlankValues) {
    TempDir dir;
    writeFile(dir / "empty1.htm", "");
    writeFile(dir / "empty2.htm", "");
    writeFile(dir / "blank.htm", makePage("   ", "Blank"));
    LinksRun run(dir.path(), "Tag N°2", "Tag N°3");
    ASSERT_EQ(run.run(), RunOutcome::Completed);
    EXPECT_EQ(readFile(dir / "empty1.htm"), "");
    EXPECT_EQ(readFile(dir / "empty2.htm"), "");
    std::string blank = readFile(dir / "blank.htm");
    std::string expected;
    for (const std::string& name : pagesOf(dir)) {
        if (name != "blank.htm") {
            expected += "<a href =\"" + name + "\"></a><br>\r\n";
        }
    }
    EXPECT_NE(blank.find("<!--tag99-->\r\n" + expected + "<!--/tag99-->"), std::string::npos)
        << blank;
    EXPECT_EQ(run.report.writtenCount(), 1u);
    EXPECT_EQ(run.report.unchangedCount(), 2u);
}

TEST(HyperlinksRun, MissingTagsGiveNoMatchAndNotFoundLinkTexts) {
    TempDir dir;
    writeFile(dir / "a.htm", makePage("Lyon", "A"));
    writeFile(dir / "b.htm", "<!--tag2-->\nLyon\n<!--tag99-->\n<!--/tag99-->\n");
    writeFile(dir / "c.htm", makePage("Lyon", "C"));
    writeFile(dir / "x.htm", "<!--tag99-->\n<!--/tag99-->\n");
    writeFile(dir / "y.htm", "<!--tag99-->\n<!--/tag99-->\n<!--tag2-->\n");
    LinksRun run(dir.path(), "Tag N°2", "Tag N°3");
    ASSERT_EQ(run.run(), RunOutcome::Completed);
    EXPECT_EQ(readFile(dir / "x.htm"), "<!--tag99-->\n<!--/tag99-->\n");
    EXPECT_EQ(readFile(dir / "y.htm"), "<!--tag99-->\n<!--/tag99-->\n<!--tag2-->\n");
    // The link text of b, which has no text tag, is a not-found value.
    for (const char* name : {"a.htm", "c.htm"}) {
        std::string page = readFile(dir / name);
        const std::string open = "<a href =\"b.htm\">";
        size_t at = page.find(open);
        ASSERT_NE(at, std::string::npos) << name;
        at += open.size();
        size_t end = page.find("</a><br>\r\n", at);
        ASSERT_NE(end, std::string::npos) << name;
        EXPECT_TRUE(isNotFoundValue(page.substr(at, end - at))) << page;
    }
    EXPECT_NE(readFile(dir / "b.htm").find("<a href =\"a.htm\">A</a><br>"), std::string::npos);
}

// With the link block as link tag, a page rewritten earlier shows later pages its new first
// link as its value, exactly as when every page was read again at every comparison.
TEST(HyperlinksRun, LaterPagesSeeThePagesRewrittenBeforeThem) {
    TempDir dir;
    for (const char* name : {"a.htm", "b.htm", "c.htm"}) {
        writeFile(dir / name,
                  std::string("<!--tag99-->\nX\n<!--/tag99-->\n<!--tag3-->\n") + name + "\n");
    }
    LinksRun run(dir.path(), "Tag N°99", "Tag N°3");
    ASSERT_EQ(run.run(), RunOutcome::Completed);
    std::vector<std::string> order = pagesOf(dir);
    auto linkTo = [](const std::string& name) {
        return "<a href =\"" + name + "\">" + name + "</a><br>\r\n";
    };
    const std::string tail = "<!--/tag99-->\r\n<!--tag3-->\r\n";
    EXPECT_EQ(readFile(dir / order[0]),
              "<!--tag99-->\r\n" + linkTo(order[1]) + linkTo(order[2]) + tail + order[0] + "\r\n");
    EXPECT_EQ(readFile(dir / order[1]),
              "<!--tag99-->\r\n" + linkTo(order[2]) + tail + order[1] + "\r\n");
    EXPECT_EQ(readFile(dir / order[2]),
              "<!--tag99-->\nX\n<!--/tag99-->\n<!--tag3-->\n" + order[2] + "\n");
}

// A directory whose full run pumps 6 + 4 times: 6 pages read, 4 pages rewritten.
void fillForStops(const TempDir& dir) {
    writeFile(dir / "a.htm", makePage("Lyon", "A"));
    writeFile(dir / "b.htm", makePage("Paris", "B"));
    writeFile(dir / "c.htm", makePage("Lyon", "C"));
    writeFile(dir / "d.htm", makePage("Nice", "D"));
    writeFile(dir / "e.htm", makePage("Paris", "E"));
    writeFile(dir / "f.htm", makePage("Rome", "F"));
}

TEST(HyperlinksRun, AStopLeavesEveryPageLinkedOrUntouched) {
    TempDir reference;
    fillForStops(reference);
    auto untouched = snapshot(reference.path());
    LinksRun full(reference.path(), "Tag N°2", "Tag N°3");
    ASSERT_EQ(full.run(), RunOutcome::Completed);
    ASSERT_EQ(full.host.pumps, 10);
    auto linked = snapshot(reference.path());

    for (int stop = 1; stop <= 11; ++stop) {
        SCOPED_TRACE("stop at pump " + std::to_string(stop));
        TempDir dir;
        fillForStops(dir);
        LinksRun run(dir.path(), "Tag N°2", "Tag N°3");
        run.stopAtPump(stop);
        RunOutcome outcome = run.run();
        EXPECT_EQ(outcome, stop <= 10 ? RunOutcome::Stopped : RunOutcome::Completed);
        EXPECT_EQ(run.host.pumps, std::min(stop, 10));
        auto now = snapshot(dir.path());
        ASSERT_EQ(now.size(), untouched.size());
        int linkedPages = 0;
        for (size_t i = 0; i < now.size(); ++i) {
            bool isLinked = now[i] == linked[i] && linked[i] != untouched[i];
            EXPECT_TRUE(now[i] == untouched[i] || isLinked) << now[i].first;
            linkedPages += isLinked ? 1 : 0;
        }
        // Pumps 1 to 6 read the pages, 7 to 10 come before the rewrites.
        EXPECT_EQ(linkedPages, std::clamp(stop - 7, 0, 4));
        EXPECT_FALSE(hasWorkFile(dir));
    }
}

// The scan keeps the pages it knows will be rewritten (c and e share a value with a page
// before them); one edited after the scan, even to the same size, is read again at its turn.
TEST(HyperlinksRun, APageEditedAfterTheScanIsLinkedAsItStandsAtItsTurn) {
    TempDir dir;
    fillForStops(dir);
    LinksRun run(dir.path(), "Tag N°2", "Tag N°3");
    run.host.actAtPump = 7;  // after the six pages were read, before the first rewrite
    run.host.action = [&] {
        writeFile(dir / "c.htm", makePage("Lyon", "C") + "<p>hand edit</p>\r\n");
        std::string e = readFile(dir / "e.htm");
        e.replace(e.find("<html>"), 6, "<HTML>");
        writeFile(dir / "e.htm", e);
    };
    ASSERT_EQ(run.run(), RunOutcome::Completed);
    const std::string c = readFile(dir / "c.htm");
    EXPECT_NE(c.find("<p>hand edit</p>"), std::string::npos);
    EXPECT_NE(c.find("<a href =\"a.htm\">A</a>"), std::string::npos);
    const std::string e = readFile(dir / "e.htm");
    EXPECT_EQ(e.rfind("<HTML>", 0), 0u);
    EXPECT_NE(e.find("<a href =\"b.htm\">B</a>"), std::string::npos);
}

TEST(HyperlinksRun, AStopClickedThroughTheFrameEndsTheRun) {
    TempDir dir;
    fillForStops(dir);
    auto untouched = snapshot(dir.path());
    TestHost host;
    host.settings.tab = Tab::Hyperlinks;
    host.settings.hyperdir = dir.path();
    host.settings.sourcelien = "Tag N°2";
    host.settings.Textelien = "Tag N°3";
    RunState state;
    RunReport report;
    RunTable runs;
    runs.hyperlinks = &runHyperlinks;
    RunFrame frame(host, state, report, runs, Env::system());
    ClickResult inner = ClickResult::Ignored;
    host.actAtPump = 3;
    host.action = [&] { inner = frame.Command1_Click(); };
    EXPECT_EQ(frame.Command1_Click(), ClickResult::Stopped);
    EXPECT_EQ(inner, ClickResult::StopMade);
    EXPECT_EQ(host.pumps, 3);
    EXPECT_EQ(snapshot(dir.path()), untouched);
}

TEST(HyperlinksRun, SymbolicLinksAreNotPages) {
    TempDir dir;
    TempDir outside;
    writeFile(outside / "elsewhere.htm", makePage("Lyon", "Outside"));
    writeFile(dir / "a.htm", makePage("Lyon", "A"));
    writeFile(dir / "b.htm", makePage("Lyon", "B"));
    fs::create_symlink(outside / "elsewhere.htm", dir / "s.htm");
    fs::create_symlink("a.htm", dir / "t.htm");
    LinksRun run(dir.path(), "Tag N°2", "Tag N°3");
    ASSERT_EQ(run.run(), RunOutcome::Completed);
    EXPECT_TRUE(fs::is_symlink(dir / "s.htm"));
    EXPECT_TRUE(fs::is_symlink(dir / "t.htm"));
    EXPECT_EQ(readFile(outside / "elsewhere.htm"), makePage("Lyon", "Outside"));
    std::string a = readFile(dir / "a.htm");
    EXPECT_NE(a.find("<a href =\"b.htm\">B</a><br>\r\n<!--/tag99-->"), std::string::npos) << a;
    EXPECT_EQ(a.find("s.htm"), std::string::npos);
    EXPECT_EQ(a.find("t.htm"), std::string::npos);
    EXPECT_EQ(run.host.pumps, 2 + 2);
}

TEST(HyperlinksRun, APageThatCannotBeReadHasNoValue) {
    TempDir dir;
    for (const char* name : {"a.htm", "b.htm", "c.htm"}) {
        writeFile(dir / name, makePage("Lyon", name));
    }
    std::vector<std::string> order = pagesOf(dir);
    LinksRun run(dir.path(), "Tag N°2", "Tag N°3");
    // The last page disappears while the first one is read.
    run.host.actAtPump = 1;
    run.host.action = [&] { fs::remove(dir / order[2]); };
    ASSERT_EQ(run.run(), RunOutcome::Completed);
    EXPECT_EQ(run.report.failedCount(), 1u);
    std::string first = readFile(dir / order[0]);
    EXPECT_NE(first.find("<a href =\"" + order[1] + "\">"), std::string::npos);
    EXPECT_EQ(first.find(order[2]), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / order[2]));
}

TEST(HyperlinksRun, AnUnreadablePageIsLeftOutOfTheLinks) {
    TempDir dir;
    writeFile(dir / "a.htm", makePage("Lyon", "A"));
    writeFile(dir / "b.htm", makePage("Lyon", "B"));
    writeFile(dir / "c.htm", makePage("Lyon", "C"));
    test::openToEveryone(dir.path());
    for (const char* page : {"a.htm", "b.htm"}) {
        ::chmod((dir / page).c_str(), 0666);
    }
    fs::permissions(dir / "c.htm", fs::perms::none);
    EXPECT_TRUE(test::runUnprivileged([&] {
        LinksRun run(dir.path(), "Tag N°2", "Tag N°3");
        ASSERT_EQ(run.run(), RunOutcome::Completed);
        EXPECT_EQ(run.report.failedCount(), 1u);
        EXPECT_EQ(run.report.writtenCount(), 2u);
    }));
    EXPECT_EQ(readFile(dir / "a.htm").find("c.htm"), std::string::npos);
}

TEST(HyperlinksRun, ADirectoryWithoutPagesCompletesAtOnce) {
    TempDir dir;
    writeFile(dir / "a.html", makePage("Lyon", "A"));
    writeFile(dir / ".b.htm", makePage("Lyon", "B"));
    writeFile(dir / ".c.htm", makePage("Lyon", "C"));
    fs::create_directory(dir / "d.htm");
    auto before = snapshot(dir.path());
    LinksRun run(dir.path(), "Tag N°2", "Tag N°3");
    EXPECT_EQ(run.run(), RunOutcome::Completed);
    EXPECT_EQ(snapshot(dir.path()), before);
    EXPECT_EQ(run.host.pumps, 0);
    EXPECT_EQ(run.host.status, "Génération des liens hypertexte en cours...");
}

TEST(HyperlinksRun, ProgressFollowsThePagesAndTheLinksOfEachPage) {
    TempDir dir;
    writeFile(dir / "a.htm", makePage("Lyon", "A"));
    writeFile(dir / "b.htm", makePage("Lyon", "B"));
    writeFile(dir / "c.htm", makePage("Lyon", "C"));
    writeFile(dir / "d.htm", makePage("Nice", "D"));
    LinksRun run(dir.path(), "Tag N°2", "Tag N°3");
    run.host.settings.language = Language::English;
    ASSERT_EQ(run.run(), RunOutcome::Completed);
    EXPECT_EQ(run.host.status, "Hypertext links creation in progress");
    const std::vector<std::string> pass = {"1 sur 4", "2 sur 4", "3 sur 4", "4 sur 4"};
    std::vector<std::string> expected = {""};
    expected.insert(expected.end(), pass.begin(), pass.end());
    expected.insert(expected.end(), pass.begin(), pass.end());
    EXPECT_EQ(run.host.recordTexts, expected);
    EXPECT_EQ(run.host.totalBars, (std::vector<int>{0, 25, 50, 75, 100, 25, 50, 75, 100}));
    EXPECT_EQ(run.host.pumps, 4 + 3);
    // Each linked page counts its two links.
    std::vector<int> linkBars;
    for (int bar : run.host.lineBars) {
        if (bar != 0) {
            linkBars.push_back(bar);
        }
    }
    EXPECT_EQ(linkBars, (std::vector<int>{50, 100, 50, 100, 50, 100}));
    ASSERT_EQ(run.host.timeTexts.size(), 4u + 3u);
    EXPECT_NE(run.host.timeTexts.back().find("s/file - Est. less than 1 minute left"),
              std::string::npos);
}

TEST(HyperlinksRun, NoLimitAtFiveThousandAndOnePages) {
    TempDir dir;
    for (int i = 0; i < 5003; ++i) {
        writeFile(dir / ("p" + std::to_string(i) + ".htm"), makePage("v" + std::to_string(i), "T"));
    }
    writeFile(dir / "p5002.htm", makePage("v5001", "Last"));
    LinksRun run(dir.path(), "Tag N°2", "Tag N°3");
    ASSERT_EQ(run.run(), RunOutcome::Completed);
    EXPECT_EQ(run.report.writtenCount(), 2u);
    EXPECT_NE(readFile(dir / "p5001.htm").find("<a href =\"p5002.htm\">Last</a><br>"),
              std::string::npos);
    EXPECT_EQ(run.host.recordTexts.back(), "5003 sur 5003");
}

}  // namespace
}  // namespace pw::test
