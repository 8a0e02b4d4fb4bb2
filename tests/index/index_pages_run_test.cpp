#include "index/index_pages_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <random>

#include "index_test_support.h"
#include "reference_runs.h"
#include "tests/support/unprivileged.h"

namespace pw {
namespace {

using test::filesIn;
using test::readFile;
using test::writeFile;

std::string page(const std::string& criterion, const std::string& text) {
    return "<html>\r\n<!--tag1-->\r\n" + criterion + "\r\n<!--/tag1-->\r\n<!--tag2-->\r\n" + text +
           "\r\n<!--/tag2-->\r\n</html>\r\n";
}

struct IndexRun : ::testing::Test {
    test::TempDir dir;
    test::RunDriver driver;
    std::string source = dir / "pages/";
    std::string out = dir / "out/";

    IndexRun() {
        std::filesystem::create_directory(source);
        std::filesystem::create_directory(out);
        driver.host.settings.tab = Tab::Index;
        driver.host.settings.Option3 = true;
        driver.host.settings.language = Language::English;
        driver.host.settings.i10 = source;
        driver.host.settings.i20 = out;
        driver.host.settings.tagindex2 = "Tag N°1";
        driver.host.settings.Tagindex = "Tag N°2";
    }

    RunOutcome run() { return driver.run(&runIndexPages); }
};

TEST_F(IndexRun, GroupsPagesByCriterionInListingOrder) {
    writeFile(source + "a.htm", page("Paris", "Hotel A"));
    writeFile(source + "b.HTM", page("Lyon", "Hotel B"));
    writeFile(source + "c.htm", page("Paris", "Hotel C"));
    writeFile(source + "d.html", page("Paris", "not listed"));
    writeFile(source + ".e.htm", page("Paris", "hidden"));
    writeFile(source + "Index_old.htm", page("Paris", "never read"));
    std::filesystem::create_directory(source + "sub.htm");
    ASSERT_EQ(run(), RunOutcome::Completed);

    std::map<std::string, std::string> files = filesIn(out);
    ASSERT_EQ(files.size(), 2u);
    const std::string& paris = files["index_Paris.htm"];
    EXPECT_NE(paris.find("<title>Index Paris</title>\r\n"), std::string::npos);
    EXPECT_NE(paris.find("<a href=\"a.htm\">Hotel A</a><br>\r\n"), std::string::npos);
    EXPECT_NE(paris.find("<a href=\"c.htm\">Hotel C</a><br>\r\n"), std::string::npos);
    EXPECT_EQ(paris.find("never read"), std::string::npos);
    EXPECT_EQ(paris.find("hidden"), std::string::npos);
    EXPECT_NE(files["index_Lyon.htm"].find("b.HTM"), std::string::npos);
    EXPECT_EQ(driver.report.writtenCount(), 2u);

    // Four listed files (the index page counted, never read): the counter follows them.
    EXPECT_EQ(driver.host.recordTexts.front(), "1 sur 4");
    EXPECT_EQ(driver.host.pumps, 3);
    EXPECT_EQ(driver.host.status, "Indexes creation in progress...");
}

TEST_F(IndexRun, ASourcePageThatCannotBeReadIsReportedAndTheOthersIndexed) {
    writeFile(source + "a.htm", page("Paris", "Hotel A"));
    writeFile(source + "b.htm", page("Paris", "Hotel B"));
    ::chmod((source + "b.htm").c_str(), 0);
    test::openToEveryone(dir.path());
    test::openToEveryone(out);
    EXPECT_TRUE(test::runUnprivileged([&] {
        ASSERT_EQ(run(), RunOutcome::Completed);
        EXPECT_EQ(driver.report.failedCount(), 1u);
    }));
    const std::string paris = filesIn(out)["index_Paris.htm"];
    EXPECT_NE(paris.find("Hotel A"), std::string::npos);
    EXPECT_EQ(paris.find("b.htm"), std::string::npos);
}

TEST_F(IndexRun, EntriesFollowTheNamesNotTheDirectoryOrder) {
    // Created out of name order both ways; this file system lists them in neither order.
    for (const char* name : {"ab.htm", "b.htm", "C.HTM", "A.htm", "z.htm", "a_x.htm"}) {
        writeFile(source + name, page("Paris", name));
    }
    ASSERT_EQ(run(), RunOutcome::Completed);
    std::string expected;
    for (const char* name : {"A.htm", "ab.htm", "a_x.htm", "b.htm", "C.HTM", "z.htm"}) {
        expected += "<a href=\"" + std::string(name) + "\">" + name + "</a><br>\r\n";
    }
    std::string index = readFile(out + "index_Paris.htm");
    EXPECT_EQ(index.substr(index.find("<a ")), expected + "</body>\r\n</html>\r\n");
}

TEST_F(IndexRun, EmptyCriterionGivesIndexUnderscorePage) {
    writeFile(source + "a.htm", "<!--tag1-->\n\n<!--tag2-->\nText\n");
    ASSERT_EQ(run(), RunOutcome::Completed);
    std::string index = readFile(out + "index_.htm");
    EXPECT_NE(index.find("<title>Index </title>\r\n"), std::string::npos);
    EXPECT_NE(index.find("<a href=\"a.htm\">Text</a><br>\r\n"), std::string::npos);
}

TEST_F(IndexRun, SecondRunOverItsOwnOutputLeavesThePagesUntouched) {
    driver.host.settings.i20 = source;
    writeFile(source + "a.htm", page("Paris", "A"));
    writeFile(source + "b.htm", page("Lyon", "B"));
    ASSERT_EQ(run(), RunOutcome::Completed);
    std::map<std::string, std::string> first = filesIn(source);
    struct stat before;
    ASSERT_EQ(::stat((source + "index_Paris.htm").c_str(), &before), 0);
    // Leave time for a rewrite to show in the modification time.
    timespec pause{0, 20'000'000};
    ::nanosleep(&pause, nullptr);

    ASSERT_EQ(run(), RunOutcome::Completed);
    EXPECT_EQ(filesIn(source), first);
    EXPECT_EQ(driver.report.writtenCount(), 2u);  // all from the first run
    EXPECT_EQ(driver.report.unchangedCount(), 2u);
    struct stat after;
    ASSERT_EQ(::stat((source + "index_Paris.htm").c_str(), &after), 0);
    EXPECT_EQ(before.st_mtim.tv_sec, after.st_mtim.tv_sec);
    EXPECT_EQ(before.st_mtim.tv_nsec, after.st_mtim.tv_nsec);
    EXPECT_EQ(before.st_ino, after.st_ino);
}

TEST_F(IndexRun, CriteriaThatWouldLeaveTheDestinationWriteNothingOutsideIt) {
    std::filesystem::create_directory(out + "index_sub");
    const char* criteria[] = {"../escape", "..", "a/b", "/tmp/x", "sub/../../up", "ok"};
    int i = 0;
    for (const char* criterion : criteria) {
        writeFile(source + "p" + std::to_string(i++) + ".htm", page(criterion, "t"));
    }
    auto before = filesIn(dir.path());
    ASSERT_EQ(run(), RunOutcome::Completed);
    EXPECT_EQ(filesIn(dir.path()), before);
    EXPECT_TRUE(std::filesystem::is_empty(out + "index_sub"));
    std::map<std::string, std::string> files = filesIn(out);
    std::vector<std::string> names;
    for (const auto& [name, bytes] : files) {
        names.push_back(name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"index_...htm", "index_ok.htm"}));
    EXPECT_EQ(driver.report.failedCount(), 4u);
}

TEST_F(IndexRun, DirectoriesWithoutFinalSeparatorAreUsedAsDirectories) {
    driver.host.settings.i10 = dir / "pages";
    driver.host.settings.i20 = dir / "out";
    writeFile(source + "a.htm", page("Paris", "A"));
    ASSERT_EQ(run(), RunOutcome::Completed);
    EXPECT_TRUE(std::filesystem::exists(out + "index_Paris.htm"));
    EXPECT_FALSE(std::filesystem::exists(dir / "outindex_Paris.htm"));
}

TEST_F(IndexRun, StopDuringTheScanWritesNoIndexPage) {
    for (int i = 0; i < 5; ++i) {
        writeFile(source + "p" + std::to_string(i) + ".htm", page("C" + std::to_string(i), "t"));
    }
    writeFile(out + "index_C0.htm", "earlier page");
    driver.host.stopAtPump = 2;
    ASSERT_EQ(run(), RunOutcome::Stopped);
    EXPECT_EQ(driver.host.pumps, 2);
    auto files = filesIn(out);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files["index_C0.htm"], "earlier page");
}

TEST_F(IndexRun, StopRequestedAtTheLastPumpStillWritesNothing) {
    writeFile(source + "a.htm", page("A", "t"));
    writeFile(source + "b.htm", page("B", "t"));
    driver.host.stopAtPump = 1;
    ASSERT_EQ(run(), RunOutcome::Stopped);
    EXPECT_TRUE(std::filesystem::is_empty(out));
}

TEST_F(IndexRun, EmptySourceCompletesWithoutPages) {
    ASSERT_EQ(run(), RunOutcome::Completed);
    EXPECT_TRUE(std::filesystem::is_empty(out));
    EXPECT_EQ(driver.host.recordTexts.front(), "1 sur 1");
    EXPECT_EQ(driver.host.pumps, 0);
}

TEST_F(IndexRun, ProgressCountsFilesAndShowsEachPageReadFull) {
    writeFile(source + "a.htm", page("A", "t"));
    writeFile(source + "b.htm", page("B", "t"));
    writeFile(source + "c.htm", page("C", "t"));
    ASSERT_EQ(run(), RunOutcome::Completed);
    std::vector<std::string> expected = {"1 sur 3", "2 sur 3", "3 sur 3", ""};
    EXPECT_EQ(driver.host.recordTexts, expected);
    // The bar shows the second and third pages read, and is emptied at the end.
    EXPECT_EQ(driver.host.lineBars, (std::vector<int>{100, 100, 0}));
    EXPECT_EQ(driver.host.timeTexts.size(), 2u);
    EXPECT_EQ(driver.host.bells, 1);
}

TEST_F(IndexRun, ManyPagesPumpEventsForEachAndShowTheLast) {
    for (int i = 0; i < 400; ++i) {
        writeFile(source + "p" + std::to_string(i) + ".htm",
                  page("C" + std::to_string(i % 7), "t"));
    }
    ASSERT_EQ(run(), RunOutcome::Completed);
    EXPECT_EQ(driver.host.pumps, 399);
    const std::vector<std::string>& texts = driver.host.recordTexts;
    ASSERT_GE(texts.size(), 3u);
    EXPECT_EQ(texts[texts.size() - 2], "400 sur 400");
    EXPECT_EQ(texts.back(), "");
    EXPECT_EQ(filesIn(out).size(), 7u);
}

// Large pages are read line by line as they stream, small ones whole: the same index either
// way, whatever falls on the border between the first buffer and the rest.
TEST_F(IndexRun, PagesOfEverySizeAroundTheWholeReadLimitGiveTheSameIndex) {
    const size_t border = 256 * 1024;
    const std::string tail = "<!--tag1-->\r\nParis\r\n<!--tag2-->\r\nText\r\n";
    std::vector<size_t> sizes = {border - 1, border, 3 * border};
    for (size_t size = border - 3; size < border + tail.size() + 3; size += 3) {
        sizes.push_back(size);
    }
    int i = 0;
    for (size_t size : sizes) {
        std::string bytes(size - tail.size(), 'x');
        for (size_t at = 100; at < bytes.size(); at += 101) {
            bytes[at] = '\n';
        }
        bytes += tail;
        writeFile(source + "p" + std::to_string(i++) + ".htm", bytes);
    }
    ASSERT_EQ(run(), RunOutcome::Completed);
    std::filesystem::create_directory(dir / "theirs");
    reference::indexRun(source, dir / "theirs/", "<!--tag1-->", "<!--tag2-->");
    std::map<std::string, std::string> files = filesIn(out);
    EXPECT_EQ(files, filesIn(dir / "theirs/"));
    ASSERT_EQ(files.size(), 1u);
    for (int p = 0; p < i; ++p) {
        EXPECT_NE(files["index_Paris.htm"].find("\"p" + std::to_string(p) + ".htm\">Text<"),
                  std::string::npos)
            << p;
    }
}

// Random source directories, compared with the page-by-page reference implementation, file for
// file.
TEST(IndexRunDifferential, SameIndexPagesAsTheReference) {
    std::mt19937 random(20261207);
    const std::vector<std::string> names = {"a.htm",
                                            "B.HTM",
                                            "c.Htm",
                                            "d.htm",
                                            "e.htm",
                                            "f.htm",
                                            "g.htm",
                                            "h.htm",
                                            "index_x.htm",
                                            "INDEXY.htm",
                                            "Index_One_Page.htm",
                                            "indx.htm",
                                            "k.html",
                                            "l.txt",
                                            ".m.htm",
                                            "n.htm",
                                            "o p.htm",
                                            "q.htm"};
    const std::vector<std::string> lines = {"<!--tag1-->",
                                            "<!--tag2-->",
                                            "<!--tag1--><!--tag2-->",
                                            "<td><!--tag1--></td>",
                                            "<!--tag11-->",
                                            "<!--TAG1-->",
                                            "Paris",
                                            "paris",
                                            " Paris",
                                            "Paris ",
                                            "Lyon",
                                            "vide",
                                            "",
                                            "a/b",
                                            "..",
                                            "<html>",
                                            "<title>t</title>",
                                            "<!--/tag1-->",
                                            "Text <b>x</b>"};
    const std::vector<std::string> ends = {"\r\n", "\n", "\r"};
    int compared = 0;
    for (int round = 0; round < 1500; ++round) {
        test::TempDir dir(true);
        std::string source = dir / "src/";
        std::string mine = dir / "mine/";
        std::string theirs = dir / "theirs/";
        std::filesystem::create_directory(source);
        std::filesystem::create_directory(mine);
        std::filesystem::create_directory(theirs);
        int files = static_cast<int>(random() % 14);
        for (int f = 0; f < files; ++f) {
            std::string name = names[random() % names.size()];
            std::string bytes;
            int count = static_cast<int>(random() % 9);
            for (int l = 0; l < count; ++l) {
                bytes += lines[random() % lines.size()];
                if (l + 1 < count || random() % 2) {
                    bytes += ends[random() % ends.size()];
                }
            }
            writeFile(source + name, bytes);
        }
        if (random() % 10 == 0) {
            std::filesystem::create_directory(source + "dir.htm");
        }
        bool sameTag = random() % 8 == 0;
        std::string criterionTag = random() % 2 ? "Tag N°1" : "1";
        std::string textTag = sameTag ? "Tag N°1" : "Tag N°2";

        test::RunDriver driver;
        driver.host.settings.i10 = source;
        driver.host.settings.i20 = mine;
        driver.host.settings.tagindex2 = criterionTag;
        driver.host.settings.Tagindex = textTag;
        ASSERT_EQ(driver.run(&runIndexPages), RunOutcome::Completed);
        reference::indexRun(source, theirs, "<!--tag1-->", sameTag ? "<!--tag1-->" : "<!--tag2-->");

        auto expected = filesIn(theirs);
        ASSERT_EQ(filesIn(mine), expected) << "round " << round;
        compared += static_cast<int>(expected.size());
    }
    EXPECT_GT(compared, 500);
}

}  // namespace
}  // namespace pw
