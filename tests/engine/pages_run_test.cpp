#include "engine/pages_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <random>

#include "engine/column_table.h"
#include "engine/page_rules.h"
#include "fake_host.h"
#include "fs/work_file.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unprivileged.h"

namespace pw {
namespace {

using test::namesIn;
using test::readFile;
using test::writeFile;

const std::string kModel =
    "<html>\r\n<title>model</title>\r\n<!--tag1-->\r\nx\r\n<!--/tag1-->\r\n<p>end</p>\r\n";

std::string pageFor(const std::string& title, const std::string& value) {
    return "<html>\r\n<title>" + title + "</title>\r\n<!--tag1-->\r\n" + value +
           "\r\n<!--/tag1-->\r\n<p>end</p>\r\n";
}

struct PagesRun : ::testing::Test {
    test::TempDir dir;
    test::TempDir install;
    test::FakeHost host;
    RunState state;
    RunReport report;
    RunFrame frame{host, state, report, RunTable{&runPages, nullptr, nullptr, nullptr},
                   Env::system()};
    std::string out = dir / "out/";

    PagesRun() {
        std::filesystem::create_directory(out);
        writeFile(dir / "model.htm", kModel);
        host.frame = &frame;
        host.settings.tab = Tab::Pages;
        host.settings.language = Language::English;
        host.settings.source = dir / "data.txt";
        host.settings.fichiermodele = dir / "model.htm";
        host.settings.destination = out;
        host.settings.installDir = install.path();
    }

    ClickResult run(const std::string& data) {
        writeFile(host.settings.source, data);
        return frame.Command1_Click();
    }
};

// A data file or model that passed the checks but cannot be read ends the run with a critical
// box naming the file, and no page is written.
TEST_F(PagesRun, AnInputThatCannotBeReadEndsTheRunNamingIt) {
    const std::pair<std::string, std::string> cases[] = {
        {host.settings.source, "critical: The data file cannot be read:\n"},
        {host.settings.fichiermodele, "critical: The model file cannot be read:\n"}};
    writeFile(host.settings.source, "a;A\n");
    test::openToEveryone(dir.path());
    test::openToEveryone(out);
    for (const auto& [file, message] : cases) {
        ::chmod(file.c_str(), 0);
        EXPECT_TRUE(test::runUnprivileged([&] {
            EXPECT_EQ(frame.Command1_Click(), ClickResult::Failed);
            EXPECT_EQ(host.messages.back(), message + file);
            EXPECT_FALSE(state.runInProgress);
        })) << file;
        ::chmod(file.c_str(), 0644);
        EXPECT_TRUE(namesIn(out).empty());
    }
}

TEST_F(PagesRun, OnePagePerRecordWithProgress) {
    EXPECT_EQ(run("a;A;1\nb;B;2\n"), ClickResult::Completed);
    EXPECT_EQ(readFile(out + "a.htm"), pageFor("A", "A"));
    EXPECT_EQ(readFile(out + "b.htm"), pageFor("B", "B"));
    EXPECT_EQ(host.recordTexts, (std::vector<std::string>{"1 sur 2", "2 sur 2"}));
    EXPECT_EQ(host.totalBars.front(), 50);
    EXPECT_EQ(host.timeTexts.back().substr(4), "s/file - Est. less than 1 minute left");
    EXPECT_EQ(host.firstTitlings, 1);
    EXPECT_EQ(host.firstNamings, 1);
    EXPECT_EQ(namesIn(out), (std::vector<std::string>{"a.htm", "b.htm"}));
}

TEST_F(PagesRun, NewPagesFromAnyModelAreThePagesTheRulesMake) {
    // A run takes the model's lines once for all its new pages; each page must still be the
    // one the rules make from the model itself, whatever its line ends, markers and last line.
    std::mt19937 random(20261208);
    auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
    const std::vector<std::string> pieces = {"<!--tag1-->",
                                             "<!--/tag1-->",
                                             "<!--tag2",
                                             "-->",
                                             "<!--/tag",
                                             "<title>",
                                             "</title>",
                                             "<meta name=\"GENERATOR\" content=",
                                             "<p>",
                                             "text",
                                             " ",
                                             "<",
                                             "<<!--tag2-->",
                                             "<!--tag0-->x<!--/tag0-->"};
    const std::vector<std::string> ends = {"\r\n", "\n", "\r"};
    for (int round = 0; round < 200; ++round) {
        std::string model;
        const size_t lines = pick(10);
        for (size_t l = 0; l < lines; ++l) {
            for (size_t p = pick(4); p > 0; --p) {
                model += pieces[pick(pieces.size())];
            }
            if (l + 1 < lines || pick(2) == 0) {
                model += ends[pick(ends.size())];
            }
        }
        writeFile(dir / "model.htm", model);
        std::filesystem::remove_all(out);
        std::filesystem::create_directory(out);
        ASSERT_EQ(run("a;A;1\nb;B;2\n"), ClickResult::Completed);
        for (const char* record : {"a;A;1", "b;B;2"}) {
            ColumnTable columns;
            columns.split(record, ';');
            EXPECT_EQ(readFile(out + std::string(columns.at(0)) + ".htm"),
                      assemblePageText(model, columns, columns.at(1)))
                << "model:\n"
                << model;
        }
    }
}

TEST_F(PagesRun, APageEqualToItsRecordsRenderingStillGoesThroughTheRulesWhenAValueHoldsAMark) {
    // An unchanged page is found without reading its lines only when the rules would leave it
    // as it is; a value that holds a text the rules look for changes it on the next run.
    const std::string values[] = {"plain",       "<b>bold</b>",
                                  "<!--tag2-->", "<!--/tag1-->",
                                  "<title>x",    "<meta name=\"GENERATOR\" content=\"x\">"};
    for (const std::string& value : values) {
        SCOPED_TRACE(value);
        std::filesystem::remove_all(out);
        std::filesystem::create_directory(out);
        const std::string record = "a;" + value + "\n";
        ASSERT_EQ(run(record), ClickResult::Completed);
        const std::string first = readFile(out + "a.htm");
        RunReport second;
        RunFrame again(host, state, second, RunTable{&runPages, nullptr, nullptr, nullptr},
                       Env::system());
        ASSERT_EQ(again.Command1_Click(), ClickResult::Completed);
        ColumnTable columns;
        columns.split("a;" + value, ';');
        const std::string expected = assemblePageText(first, columns, columns.at(1));
        EXPECT_EQ(readFile(out + "a.htm"), expected);
        EXPECT_EQ(second.unchangedCount(), expected == first ? 1u : 0u);
    }
}

TEST_F(PagesRun, APageTooLargeForMemoryIsComparedAsItStreams) {
    // A model line of 5 MB makes every page stream; an identical page keeps its inode and time.
    writeFile(dir / "model.htm", "<html>\r\n<title>m</title>\r\n<p>" + std::string(5u << 20, 'L') +
                                     "</p>\r\n<!--tag2-->\r\nx\r\n<!--/tag2-->\r\n");
    ASSERT_EQ(run("a;A;1\n"), ClickResult::Completed);
    struct Case {
        const char* what;
        std::string data;
        bool unchanged;
    };
    const Case cases[] = {
        {"same record", "a;A;1\n", true},
        {"title changed (at the start)", "a;B;1\n", false},
        {"value changed (at the end)", "a;B;2\n", false},
        {"same again", "a;B;2\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string before = readFile(out + "a.htm");
        struct stat was;
        ASSERT_EQ(::stat((out + "a.htm").c_str(), &was), 0);
        RunReport report;
        RunFrame again(host, state, report, RunTable{&runPages, nullptr, nullptr, nullptr},
                       Env::system());
        writeFile(host.settings.source, c.data);
        ASSERT_EQ(again.Command1_Click(), ClickResult::Completed);
        ColumnTable columns;
        columns.split(c.data.substr(0, c.data.size() - 1), ';');
        EXPECT_TRUE(readFile(out + "a.htm") == assemblePageText(before, columns, columns.at(1)));
        struct stat is;
        ASSERT_EQ(::stat((out + "a.htm").c_str(), &is), 0);
        EXPECT_EQ(is.st_ino == was.st_ino && is.st_mtim.tv_nsec == was.st_mtim.tv_nsec,
                  c.unchanged);
        EXPECT_EQ(report.unchangedCount(), c.unchanged ? 1u : 0u);
        EXPECT_EQ(namesIn(out), std::vector<std::string>{"a.htm"});
    }
}

TEST_F(PagesRun, EveryLineEndStyleOfDataFiles) {
    EXPECT_EQ(run("a;A\rb;B\r\nc;C"), ClickResult::Completed);
    EXPECT_EQ(namesIn(out), (std::vector<std::string>{"a.htm", "b.htm", "c.htm"}));
    EXPECT_EQ(run("\xEF\xBB\xBF"
                  "d;D\n"),
              ClickResult::Completed);
    EXPECT_TRUE(test::exists(out + "d.htm"));  // the byte-order mark is not part of the name
}

TEST_F(PagesRun, BlankLinesAreRecordsNamedDotHtm) {
    EXPECT_EQ(run("a;A\n\nb;B\n"), ClickResult::Completed);
    EXPECT_EQ(host.recordTexts.back(), "3 sur 3");
    EXPECT_TRUE(test::exists(out + ".htm"));
    // The blank record reaches no column: its page never shows the previous record's values.
    EXPECT_EQ(readFile(out + ".htm"), pageFor("", ""));
}

TEST_F(PagesRun, EmptyDataFileCompletesAtOnce) {
    EXPECT_EQ(run(""), ClickResult::Completed);
    EXPECT_TRUE(namesIn(out).empty());
    EXPECT_EQ(host.totalBars.back(), 0);
}

TEST_F(PagesRun, RerunKeepsHandEditsAndLeavesUnchangedPagesUntouched) {
    ASSERT_EQ(run("a;A\nb;B\n"), ClickResult::Completed);
    std::string edited = readFile(out + "a.htm");
    edited.replace(edited.find("<p>end</p>"), 10, "<p>edited by hand</p>");
    writeFile(out + "a.htm", edited);
    struct stat before;
    ASSERT_EQ(::stat((out + "b.htm").c_str(), &before), 0);

    RunReport second;
    RunFrame again(host, state, second, RunTable{&runPages, nullptr, nullptr, nullptr},
                   Env::system());
    writeFile(host.settings.source, "a;A2\nb;B\n");
    EXPECT_EQ(again.Command1_Click(), ClickResult::Completed);
    std::string expected = pageFor("A2", "A2");
    expected.replace(expected.find("<p>end</p>"), 10, "<p>edited by hand</p>");
    EXPECT_EQ(readFile(out + "a.htm"), expected);
    struct stat after;
    ASSERT_EQ(::stat((out + "b.htm").c_str(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);
    EXPECT_EQ(before.st_mtim.tv_nsec, after.st_mtim.tv_nsec);
    EXPECT_EQ(second.writtenCount(), 1u);
    EXPECT_EQ(second.unchangedCount(), 1u);
}

TEST_F(PagesRun, DuplicateNamesUpdateTheSamePageInFileOrder) {
    EXPECT_EQ(run("a;first\na;second\n"), ClickResult::Completed);
    EXPECT_EQ(readFile(out + "a.htm"), pageFor("second", "second"));
}

// A first run does not look its pages up: a page that another program makes meanwhile is
// found when its own is linked, and is then made from the page that is there.
class MakesPageWhenLinking : public EnvWrapper {
  public:
    MakesPageWhenLinking(const std::string& page, const std::string& bytes)
        : EnvWrapper(Env::system()), m_page(page), m_bytes(bytes) {}
    Status link(int fromDir, const char* from, int toDir, const char* to, int flags) override {
        if (!m_made && std::string_view(to) == "a.htm") {
            m_made = true;
            writeFile(m_page, m_bytes);
        }
        return target().link(fromDir, from, toDir, to, flags);
    }

  private:
    std::string m_page;
    std::string m_bytes;
    bool m_made = false;
};

TEST_F(PagesRun, APageMadeMeanwhileInAFirstRunIsUpdatedNotReplaced) {
    const std::string hand = pageFor("hand", "hand") + "<p>kept by hand</p>\r\n";
    MakesPageWhenLinking maker(out + "b.htm", hand);
    RunFrame first(host, state, report, RunTable{&runPages, nullptr, nullptr, nullptr}, maker);
    writeFile(host.settings.source, "a;A\nb;B\nc;C\n");
    ASSERT_EQ(first.Command1_Click(), ClickResult::Completed);
    ColumnTable columns;
    columns.split("b;B", ';');
    EXPECT_EQ(readFile(out + "a.htm"), pageFor("A", "A"));
    EXPECT_EQ(readFile(out + "b.htm"), assemblePageText(hand, columns, "B"));
    EXPECT_EQ(readFile(out + "c.htm"), pageFor("C", "C"));
    EXPECT_EQ(namesIn(out), (std::vector<std::string>{"a.htm", "b.htm", "c.htm"}));
    EXPECT_EQ(report.writtenCount(), 3u);
}

// Which names are files is the file-system layer's table; here the run reports each refused
// name and goes on with the others.
TEST_F(PagesRun, NamesThatWouldLeaveTheDirectoryAreRefused) {
    EXPECT_EQ(run("../escape;X\nsub/x;Y\n..;Z\nok;W\n" + std::string("nul\0byte;N\n", 11) +
                  std::string(300, 'n') + ";L\n"),
              ClickResult::Completed);
    EXPECT_FALSE(test::exists(dir / "escape.htm"));
    EXPECT_EQ(namesIn(out), (std::vector<std::string>{"...htm", "ok.htm"}));
    EXPECT_EQ(report.failedCount(), 4u);
    EXPECT_EQ(report.writtenCount(), 2u);
}

TEST_F(PagesRun, StopDuringTheFirstRecordDeliversNothing) {
    host.clickAtPump = 1;
    EXPECT_EQ(run("a;A\nb;B\n"), ClickResult::Stopped);
    EXPECT_TRUE(namesIn(out).empty());
    EXPECT_EQ(host.messages, std::vector<std::string>{"information: Process stopped..."});
}

TEST_F(PagesRun, StopAfterSomePagesLeavesWholePagesAndNoWorkFile) {
    writeFile(out + "b.htm", "old page\r\n");
    host.clickAtPump = 2;
    EXPECT_EQ(run("a;A\nb;B\nc;C\n"), ClickResult::Stopped);
    EXPECT_EQ(namesIn(out), (std::vector<std::string>{"a.htm", "b.htm"}));
    EXPECT_EQ(readFile(out + "b.htm"), "old page\r\n");
}

TEST_F(PagesRun, ComposedNamesAndTitleTag) {
    host.settings.Option2 = true;
    host.settings.namingTags = {"Tag N°1", "Tag N°0", "", "Tag N°2"};
    host.settings.titrep2 = true;
    host.settings.titleTag = "Tag N°2";
    EXPECT_EQ(run("a;b;c\n"), ClickResult::Completed);
    EXPECT_EQ(readFile(out + "b_a_c.htm"), pageFor("c", "b"));
    EXPECT_EQ(host.firstNamings + host.firstTitlings, 0);
    EXPECT_EQ(state.titleColumn, 2);
}

TEST_F(PagesRun, SymbolicLinkPageIsReplacedNotWrittenThrough) {
    writeFile(dir / "outside.htm", kModel);
    std::filesystem::create_symlink(dir / "outside.htm", out + "a.htm");
    EXPECT_EQ(run("a;A\n"), ClickResult::Completed);
    EXPECT_EQ(readFile(dir / "outside.htm"), kModel);
    EXPECT_FALSE(std::filesystem::is_symlink(out + "a.htm"));
    EXPECT_EQ(readFile(out + "a.htm"), pageFor("A", "A"));
}

TEST_F(PagesRun, SamplePicturesCopiedBeforeValidationOnlyForTheSampleModel) {
    std::filesystem::create_directory(install / "Bin");
    for (int k = 0; k <= 6; ++k) {
        writeFile(install / ("Bin/sample" + std::to_string(k) + ".jpg"), "jpg" + std::to_string(k));
    }
    host.settings.source.clear();  // validation fails, the pictures come all the same
    host.settings.fichiermodele = dir / "English/Sample_HTML_Model_File.htm";
    EXPECT_EQ(frame.Command1_Click(), ClickResult::Refused);
    EXPECT_EQ(readFile(out + "sample6.jpg"), "jpg6");
    EXPECT_EQ(namesIn(out).size(), 7u);

    test::TempDir other;
    host.settings.destination = other.path();
    host.settings.fichiermodele = dir / "model.htm";
    frame.Command1_Click();
    EXPECT_TRUE(namesIn(other.path()).empty());
}

}  // namespace
}  // namespace pw
