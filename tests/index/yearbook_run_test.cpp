#include "index/yearbook_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <random>

#include "index/yearbook_rules.h"
#include "index_test_support.h"
#include "reference_runs.h"
#include "tests/support/unprivileged.h"

namespace pw {
namespace {

using test::filesIn;
using test::readFile;
using test::writeFile;

const std::string kModel =
    "<html>\r\n<title>Directory</title>\r\n<!--tag100-->\r\n<tr><td>\r\n<!--tag0-->\r\nname\r\n"
    "<!--/tag0-->\r\n</td><td>\r\n<!--tag1-->\r\nphone\r\n<!--/tag1-->\r\n</td></tr>\r\n"
    "<!--/tag100-->\r\n</html>\r\n";

struct YearbookRun : ::testing::Test {
    test::TempDir dir;
    test::TempDir install;
    test::RunDriver driver;
    std::string dest = dir / "out/";

    YearbookRun() {
        std::filesystem::create_directory(dest);
        std::filesystem::create_directory(install / "Bin");
        writeFile(install / "Bin/Backgrd.gif", "GIF89a picture");
        writeFile(dir / "model.htm", kModel);
        RunSettings& settings = driver.host.settings;
        settings.tab = Tab::Index;
        settings.Option4 = true;
        settings.language = Language::English;
        settings.installDir = install.path();
        settings.i30 = dir / "data.txt";
        settings.i50 = dir / "model.htm";
        settings.i40 = dest;
        settings.i33 = ';';
    }

    RunOutcome run(const std::string& data) {
        writeFile(driver.host.settings.i30, data);
        return driver.run(&runYearbook);
    }
    std::string page() { return readFile(dest + "Index_One_Page.htm"); }
};

size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

// A data file or model that cannot be read ends the run with a message naming it; nothing is
// written, not even the background.
TEST_F(YearbookRun, AnInputThatCannotBeReadEndsTheRunAndWritesNothing) {
    const std::pair<std::string, std::string> cases[] = {
        {driver.host.settings.i30, "The data file cannot be read:\n"},
        {driver.host.settings.i50, "The model file cannot be read:\n"}};
    writeFile(driver.host.settings.i30, "a;1\n");
    test::openToEveryone(dir.path());
    test::openToEveryone(dest);
    for (const auto& [file, message] : cases) {
        ::chmod(file.c_str(), 0);
        EXPECT_TRUE(test::runUnprivileged([&] {
            EXPECT_EQ(driver.run(&runYearbook), RunOutcome::Failed);
            EXPECT_EQ(driver.failure, message + file);
        })) << file;
        ::chmod(file.c_str(), 0644);
        EXPECT_TRUE(filesIn(dest).empty());
    }
}

TEST_F(YearbookRun, WritesThePageAndTheBackground) {
    ASSERT_EQ(run("Ann;101\nBob;102\nCid;103\n"), RunOutcome::Completed);
    EXPECT_EQ(page(), yearbookPageText(kModel, "Ann;101\nBob;102\nCid;103\n", ';'));
    EXPECT_EQ(count(page(), "<tr><td>"), 3u);
    EXPECT_EQ(readFile(dest + "Backgrd.gif"), "GIF89a picture");
    EXPECT_EQ(filesIn(dest).size(), 2u);
    EXPECT_EQ(driver.report.writtenCount(), 2u);
    EXPECT_EQ(driver.host.status, "Yearbook creation in progress...");
    EXPECT_EQ(driver.host.recordTexts, (std::vector<std::string>{"1 sur 3", "2 sur 3", "3 sur 3"}));
    ASSERT_EQ(driver.host.timeTexts.size(), 3u);
    EXPECT_NE(driver.host.timeTexts.back().find("s/file - Est. less than a minute"),
              std::string::npos);
    EXPECT_EQ(driver.host.lineBars.back(), 100);
    // The data file's last line (Cid) stays in the column table.
    EXPECT_EQ(driver.state.columns.at(0), "Cid");
}

TEST_F(YearbookRun, EveryRecordPumpsEventsAndTheLastIsShown) {
    std::string data;
    for (int i = 1; i <= 5000; ++i) {
        data += "n" + std::to_string(i) + ";" + std::to_string(i) + "\n";
    }
    ASSERT_EQ(run(data), RunOutcome::Completed);
    EXPECT_EQ(driver.host.pumps, 5000);
    const std::vector<std::string>& texts = driver.host.recordTexts;
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), "1 sur 5000");
    EXPECT_EQ(texts.back(), "5000 sur 5000");
    // Each whole percentage is shown on its way, and every record shown gets its time text.
    EXPECT_GE(texts.size(), 101u);
    EXPECT_EQ(driver.host.timeTexts.size(), texts.size());
    EXPECT_EQ(driver.host.lineBars.back(), 100);
}

TEST_F(YearbookRun, ValuesHoldingMarkersGiveOneBlockPerRecord) {
    std::string data;
    for (int i = 0; i < 200; ++i) {
        data += i % 2 ? "<!--/tag100-->;<!--tag0-->\n" : "<!--tag1-->;<!--/tag1-->\n";
    }
    ASSERT_EQ(run(data), RunOutcome::Completed);
    std::string text = page();
    EXPECT_EQ(count(text, "<tr><td>"), 200u);
    EXPECT_EQ(count(text, "<!--/tag100-->"), 101u);  // 100 values and the block's end marker
    EXPECT_EQ(text, yearbookPageText(kModel, data, ';'));
}

TEST_F(YearbookRun, StopAfterTheThirdRecordLeavesThreeBlocksAndNoWorkFile) {
    std::string data = "a;1\nb;2\nc;3\nd;4\ne;5\n";
    driver.host.stopAtPump = 4;
    ASSERT_EQ(run(data), RunOutcome::Stopped);
    EXPECT_EQ(page(), yearbookPageText(kModel, "a;1\nb;2\nc;3\n", ';'));
    EXPECT_EQ(count(page(), "<tr><td>"), 3u);
    EXPECT_EQ(count(page(), "<!--tag100-->"), 1u);
    auto files = filesIn(dest);
    EXPECT_EQ(files.size(), 2u);  // the page and the picture
    EXPECT_TRUE(files.count("Index_One_Page.htm"));
    EXPECT_TRUE(files.count("Backgrd.gif"));
}

TEST_F(YearbookRun, StopAtTheFirstRecordLeavesTheModel) {
    driver.host.stopAtPump = 1;
    ASSERT_EQ(run("a;1\nb;2\n"), RunOutcome::Stopped);
    EXPECT_EQ(page(), kModel);
}

TEST_F(YearbookRun, EmptyDataGivesAnUnchangedCopyOfTheModel) {
    writeFile(dir / "model.htm", "<p>\n<!--tag100-->\n<!--tag0-->\n<!--/tag0-->\n<!--/tag100-->");
    ASSERT_EQ(run(""), RunOutcome::Completed);
    EXPECT_EQ(page(), readFile(dir / "model.htm"));
    EXPECT_EQ(driver.host.pumps, 0);
}

TEST_F(YearbookRun, MissingBackgroundIsSilent) {
    std::filesystem::remove(install / "Bin/Backgrd.gif");
    ASSERT_EQ(run("a;1\n"), RunOutcome::Completed);
    EXPECT_FALSE(std::filesystem::exists(dest + "Backgrd.gif"));
    EXPECT_EQ(driver.report.failedCount(), 0u);
    EXPECT_EQ(driver.report.writtenCount(), 1u);
}

TEST_F(YearbookRun, SecondIdenticalRunLeavesThePageUntouched) {
    std::string data = "a;1\nb;2\n";
    ASSERT_EQ(run(data), RunOutcome::Completed);
    struct stat before;
    ASSERT_EQ(::stat((dest + "Index_One_Page.htm").c_str(), &before), 0);
    ASSERT_EQ(run(data), RunOutcome::Completed);
    struct stat after;
    ASSERT_EQ(::stat((dest + "Index_One_Page.htm").c_str(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);
    EXPECT_EQ(driver.report.unchangedCount(), 2u);  // the page and the picture
    // A changed record replaces it.
    ASSERT_EQ(run("a;1\nb;3\n"), RunOutcome::Completed);
    EXPECT_EQ(page(), yearbookPageText(kModel, "a;1\nb;3\n", ';'));
    // A longer page that starts like the old one replaces it too.
    ASSERT_EQ(run("a;1\nb;3\nc;4\n"), RunOutcome::Completed);
    EXPECT_EQ(page(), yearbookPageText(kModel, "a;1\nb;3\nc;4\n", ';'));
    ASSERT_EQ(run("a;1\nb;3\n"), RunOutcome::Completed);
    EXPECT_EQ(page(), yearbookPageText(kModel, "a;1\nb;3\n", ';'));
}

TEST_F(YearbookRun, LargePageIsWrittenInPieces) {
    std::string data;
    for (int i = 0; i < 30000; ++i) {
        data += "name" + std::to_string(i) + ";" + std::string(40, 'p') + "\n";
    }
    ASSERT_EQ(run(data), RunOutcome::Completed);
    std::string expected = yearbookPageText(kModel, data, ';');
    EXPECT_GT(expected.size(), 2u << 20);
    EXPECT_EQ(page(), expected);
    EXPECT_EQ(filesIn(dest).size(), 2u);
}

TEST_F(YearbookRun, ALongModelLineIsWrittenWhereverItStands) {
    // A model line of 100 KB is handed out from the model, never copied, before the block,
    // inside it (copied with every record) and after it.
    const std::string longLine = "<p>" + std::string(100u << 10, 'L') + "</p>";
    const std::string models[] = {
        longLine + "\r\n" + kModel,
        std::string(kModel).insert(kModel.find("<tr><td>"), longLine + "\r\n"),
        kModel + longLine + "\n",
    };
    for (const std::string& model : models) {
        writeFile(dir / "model.htm", model);
        for (const char* data : {"a;1\nb;2\n", "a;1\nb;2\n", "a;1\n"}) {
            ASSERT_EQ(run(data), RunOutcome::Completed);
            EXPECT_TRUE(page() == yearbookPageText(model, data, ';'));
        }
        EXPECT_EQ(filesIn(dest).size(), 2u);
    }
}

// Random yearbook models and data files, run by the pass-per-record reference implementation
// (through its tmp_ and tmp2_ files) and by the one-pass run, stops included.
TEST(YearbookRunDifferential, SamePageAsTheReference) {
    std::mt19937 random(7122026);
    const std::vector<std::string> soup = {"<html>",
                                           "<title>T</title>",
                                           "<meta name=\"GENERATOR\" content=\"X\">",
                                           "<meta name=\"GENERATOR\" content=\"Pagewright\">",
                                           "<title>Index</title>",
                                           "<!--tag100-->",
                                           "<td><!--tag100--></td>",
                                           "<!--tag100",
                                           "<!--tag100 x-->",
                                           "<!--/tag100-->",
                                           "<p><!--/tag100--></p>",
                                           "<!--/tag100",
                                           "<!--tag0-->",
                                           "<!--tag1-->",
                                           "<td><!--tag2--></td>",
                                           "<!--tag5--><!--tag3-->",
                                           "<!--tag05-->",
                                           "<!--tag100--><!--tag1-->",
                                           "<!--/tag0-->",
                                           "<!--/tag1-->",
                                           "<!--/tag9-->",
                                           "placeholder",
                                           "",
                                           "row",
                                           "<!--tag",
                                           "<!--tag99-->",
                                           "<!--tag101-->",
                                           "<!--tag1--><!--/tag1-->"};
    const std::vector<std::string> plain = {"<tr>", "</tr>",    "text",
                                            "",     "<b>x</b>", "<title>t</title>"};
    const std::vector<std::string> values = {
        "a", "b", "", " x ", "Paris", "<b>v</b>", "<title>t</title>", "é"};
    const std::vector<std::string> hostile = {
        "<!--tag1-->",   "<!--/tag2-->",  "<!--/tag100-->",
        "<!--tag100-->", "<!--tag0--> v", "<meta name=\"GENERATOR\" content=\"q\">",
        "<!--tag3"};
    const std::vector<std::string> ends = {"\r\n", "\n", "\r"};

    auto pick = [&](const std::vector<std::string>& from) { return from[random() % from.size()]; };
    auto region = [&](std::vector<std::string>& lines) {
        int k = static_cast<int>(random() % 4);
        lines.push_back(random() % 5 ? "<!--tag" + std::to_string(k) + "-->"
                                     : "<td><!--tag" + std::to_string(k) + "--></td>");
        for (int i = static_cast<int>(random() % 3); i > 0; --i) {
            lines.push_back(pick(plain));
        }
        if (random() % 8) {
            lines.push_back("<!--/tag" + std::to_string(k) + "-->");
        }
    };

    int pages = 0;
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::string> lines;
        if (random() % 3) {
            // A model shaped like a real one, with a few of the odd placements.
            for (int i = static_cast<int>(random() % 3); i > 0; --i) {
                lines.push_back(pick(plain));
            }
            if (random() % 5 == 0) {
                region(lines);
            }
            if (random() % 10) {
                lines.push_back(random() % 4 ? "<!--tag100-->" : "<table><!--tag100-->");
            }
            for (int i = static_cast<int>(random() % 4); i > 0; --i) {
                if (random() % 2) {
                    region(lines);
                } else {
                    lines.push_back(pick(plain));
                }
            }
            if (random() % 10) {
                lines.push_back(random() % 4 ? "<!--/tag100-->" : "</table><!--/tag100-->");
            }
            for (int i = static_cast<int>(random() % 3); i > 0; --i) {
                lines.push_back(random() % 3 ? pick(plain) : pick(soup));
            }
        } else {
            for (int i = static_cast<int>(random() % 12); i > 0; --i) {
                lines.push_back(pick(soup));
            }
        }
        std::string model;
        for (size_t i = 0; i < lines.size(); ++i) {
            model += lines[i];
            if (i + 1 < lines.size() || random() % 2) {
                model += pick(ends);
            }
        }

        const char separator = random() % 4 ? ';' : '|';
        const bool hostileValues = random() % 4 == 0;
        const int records =
            hostileValues ? static_cast<int>(random() % 6) : static_cast<int>(random() % 25);
        std::string data;
        for (int r = 0; r < records; ++r) {
            int fields = static_cast<int>(random() % 6);
            for (int f = 0; f < fields; ++f) {
                if (f > 0) {
                    data += separator;
                }
                data += hostileValues && random() % 6 == 0 ? pick(hostile) : pick(values);
            }
            if (r + 1 < records || random() % 2) {
                data += pick(ends);
            }
        }
        // A byte-order mark before the first record is not part of it.
        if (!data.empty() && random() % 10 == 0) {
            data.insert(0, "\xEF\xBB\xBF");
        }
        const int stopAtPump = random() % 4 == 0 ? static_cast<int>(random() % (records + 2)) : 0;

        test::TempDir dir(true);
        std::filesystem::create_directory(dir / "Bin");
        writeFile(dir / "Bin/Backgrd.gif", "gif");
        std::filesystem::create_directory(dir / "mine");
        std::filesystem::create_directory(dir / "theirs");
        writeFile(dir / "model.htm", model);
        writeFile(dir / "data.txt", data);
        bool stopped = reference::yearbookRun(dir / "data.txt", separator, dir / "model.htm",
                                              dir / "theirs/", dir.path(), stopAtPump);

        test::RunDriver driver;
        driver.host.settings.installDir = dir.path();
        driver.host.settings.i30 = dir / "data.txt";
        driver.host.settings.i50 = dir / "model.htm";
        driver.host.settings.i40 = dir / "mine/";
        driver.host.settings.i33 = separator;
        driver.host.stopAtPump = stopAtPump;
        RunOutcome outcome = driver.run(&runYearbook);

        ASSERT_EQ(outcome == RunOutcome::Stopped, stopped) << "round " << round;
        ASSERT_EQ(filesIn(dir / "mine/"), filesIn(dir / "theirs/"))
            << "round " << round << "\nmodel:\n"
            << model << "\ndata:\n"
            << data;
        // The pure function gives the same page as the run for the whole data file.
        if (!stopped) {
            ASSERT_EQ(yearbookPageText(model, data, separator),
                      readFile(dir / "mine/Index_One_Page.htm"));
        }
        ++pages;
    }
    EXPECT_EQ(pages, 2000);
}

}  // namespace
}  // namespace pw
