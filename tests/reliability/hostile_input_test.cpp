// Hostile inputs through pagewright-cli: names from data columns and criteria that would leave
// the directory, control characters, over-long names, names differing only in letter case,
// pages that are symbolic links to files elsewhere, long and binary lines, markers with huge
// numbers, wide data files. Nothing may crash, and nothing may be written outside the chosen
// directory: a sentinel tree around it must come through untouched.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/reliability/site_fixture.h"

namespace pw::reliability {
namespace {

namespace fs = std::filesystem;

// Every file, link and directory below `root` except below `skip`: path to content (or link
// target), so a test can tell whether anything around the run's directory changed.
std::map<std::string, std::string> treeOf(const std::string& root, const std::string& skip) {
    std::map<std::string, std::string> tree;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(root, error);
         it != fs::recursive_directory_iterator(); it.increment(error)) {
        std::string path = it->path().string();
        if (path == skip || path.rfind(skip + "/", 0) == 0) {
            if (it->is_directory() && !it->is_symlink()) {
                it.disable_recursion_pending();
            }
            continue;
        }
        if (it->is_symlink()) {
            tree[path] = "-> " + fs::read_symlink(it->path()).string();
        } else if (it->is_regular_file()) {
            tree[path] = readFile(path);
        } else {
            tree[path] = "(dir)";
        }
    }
    return tree;
}

class HostileInputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/pw-hostile-XXXXXX";
        m_root = ::mkdtemp(pattern);
        isolateEnvironment(m_root + "/env");
        // The sentinel tree: files beside, above and below where the runs write.
        m_site = m_root + "/tree/site";
        makeDirectories(m_site);
        makeDirectories(m_root + "/tree/outside/deeper");
        writeFile(m_root + "/tree/escape.htm", "sentinel above\n");
        writeFile(m_root + "/tree/outside/target.htm", "sentinel target\n");
        writeFile(m_root + "/tree/outside/deeper/b.htm", "sentinel below\n");
        writeFile(m_root + "/tree/index_..htm", "sentinel index\n");
        m_before = treeOf(m_root + "/tree", m_site);
        m_inputs = m_root + "/inputs";
        makeDirectories(m_inputs);
    }
    void TearDown() override {
        EXPECT_EQ(treeOf(m_root + "/tree", m_site), m_before)
            << "something was written outside the run's directory";
        removeTree(m_root);
    }

    struct Outcome {
        int status = -1;
        std::string out, err;
    };
    Outcome cli(const std::vector<std::string>& args) {
        Outcome outcome;
        outcome.status = runProcess(PAGEWRIGHT_CLI, args, &outcome.out, &outcome.err);
        // 3 when a file was not written (each is listed), else 0.
        const int expected = outcome.err.find("not written: ") != std::string::npos ? 3 : 0;
        EXPECT_TRUE(WIFEXITED(outcome.status) && WEXITSTATUS(outcome.status) == expected)
            << "status " << outcome.status << "\n"
            << outcome.out << outcome.err;
        return outcome;
    }
    Outcome pages(const std::string& data, const std::string& model, const std::string& dest) {
        return cli({"pages", "--data", data, "--model", model, "--dest", dest, "--separator", ";",
                    "--name-tags", "first", "--title-tag", "second", "--lang", "en", "--quiet"});
    }

    std::string m_root, m_site, m_inputs;
    std::map<std::string, std::string> m_before;
};

const std::vector<std::string>& hostileNames() {
    static const std::vector<std::string> names = {"../escape",
                                                   "../../escape",
                                                   "../outside/target",
                                                   "a/b",
                                                   "/tmp/absolute",
                                                   "..",
                                                   ".",
                                                   "../index_.",
                                                   "sub\x01"
                                                   "ctl",
                                                   "tab\there",
                                                   "esc\x1b[2J",
                                                   std::string(300, 'n'),
                                                   std::string(251, 'm'),
                                                   "Case",
                                                   "CASE",
                                                   "case",
                                                   std::string("nul\0byte", 8),
                                                   "-dash",
                                                   " space ",
                                                   "\xE9t\xE9",
                                                   "\xFF\xFE"};
    return names;
}

TEST_F(HostileInputTest, PageNamesFromDataNeverLeaveTheDestination) {
    std::string data;
    int i = 0;
    for (const std::string& name : hostileNames()) {
        data += name + ";Title " + std::to_string(++i) + ";v;Name;Town;1;text\n";
    }
    writeFile(m_inputs + "/data.txt", data);
    writeFile(m_inputs + "/model.htm", pageModel(2));
    Outcome outcome = pages(m_inputs + "/data.txt", m_inputs + "/model.htm", m_site);
    // Names that hold a separator, a NUL or too many bytes are refused and reported; the
    // others are written, each letter case as its own page.
    Snapshot made = readDirectory(m_site);
    for (const char* kept :
         {"Case.htm", "CASE.htm", "case.htm", "...htm", "..htm", "-dash.htm", " space .htm",
          "sub\x01"
          "ctl.htm",
          "tab\there.htm"}) {
        EXPECT_TRUE(made.count(kept)) << kept;
    }
    EXPECT_NE(made["Case.htm"], made["CASE.htm"]);
    EXPECT_TRUE(made.count(std::string(251, 'm') + ".htm"));
    for (const std::string& refused :
         std::vector<std::string>{"../escape.htm", "a/b.htm", std::string(300, 'n') + ".htm"}) {
        EXPECT_NE(outcome.err.find(std::string("not written: ") + m_site + "/" + refused),
                  std::string::npos)
            << refused << "\n"
            << outcome.err;
    }
    EXPECT_NE(outcome.out.find(" not written"), std::string::npos);
    EXPECT_EQ(outcome.out.find(" 0 not written"), std::string::npos) << outcome.out;
}

TEST_F(HostileInputTest, IndexCriteriaNeverLeaveTheDestination) {
    std::string source = m_root + "/source";
    makeDirectories(source);
    int i = 0;
    for (const std::string& criterion : hostileNames()) {
        ++i;
        writeFile(source + "/p" + std::to_string(i) + ".htm",
                  "<html>\r\n<!--tag4-->\r\n" + criterion + "\r\n<!--/tag4-->\r\n<!--tag3-->\r\n" +
                      "Page " + std::to_string(i) + "\r\n<!--/tag3-->\r\n</html>\r\n");
    }
    Outcome outcome = cli({"index", "--source", source, "--dest", m_site, "--criterion-tag", "4",
                           "--text-tag", "3", "--lang", "en", "--quiet"});
    Snapshot made = readDirectory(m_site);
    EXPECT_TRUE(made.count("index_Case.htm"));
    EXPECT_TRUE(made.count("index_CASE.htm"));
    EXPECT_TRUE(made.count("index_...htm"));
    EXPECT_NE(outcome.err.find("not written: "), std::string::npos) << outcome.err;
}

TEST_F(HostileInputTest, PagesThatAreLinksElsewhereAreReplacedNeverWrittenThrough) {
    std::string target = m_root + "/tree/outside/target.htm";
    writeFile(m_inputs + "/data.txt", dataFile(1, 5, 1));
    writeFile(m_inputs + "/model.htm", pageModel(2));
    writeFile(m_inputs + "/yearbook.htm", yearbookModel());
    // The pages run over a page that links out.
    ASSERT_EQ(::symlink(target.c_str(), (m_site + "/item-0000001.htm").c_str()), 0);
    pages(m_inputs + "/data.txt", m_inputs + "/model.htm", m_site);
    struct stat info;
    ASSERT_EQ(::lstat((m_site + "/item-0000001.htm").c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));

    // The cross-links run over a directory holding a link among its pages.
    ASSERT_EQ(::symlink(target.c_str(), (m_site + "/item-0000009.htm").c_str()), 0);
    cli({"links", "--dir", m_site, "--link-tag", "2", "--text-tag", "3", "--lang", "en",
         "--quiet"});

    // The index and yearbook runs over destinations whose pages link out.
    std::string index = m_site + "/index";
    makeDirectories(index);
    ASSERT_EQ(::symlink(target.c_str(), (index + "/index_Town-0000.htm").c_str()), 0);
    cli({"index", "--source", m_site, "--dest", index, "--criterion-tag", "4", "--text-tag", "3",
         "--lang", "en", "--quiet"});
    ASSERT_EQ(::lstat((index + "/index_Town-0000.htm").c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));

    std::string book = m_site + "/book";
    makeDirectories(book);
    ASSERT_EQ(::symlink(target.c_str(), (book + "/Index_One_Page.htm").c_str()), 0);
    ASSERT_EQ(::symlink(target.c_str(), (book + "/Backgrd.gif").c_str()), 0);
    cli({"yearbook", "--data", m_inputs + "/data.txt", "--model", m_inputs + "/yearbook.htm",
         "--dest", book, "--separator", ";", "--lang", "en", "--quiet"});
    for (const char* name : {"/Index_One_Page.htm", "/Backgrd.gif"}) {
        ASSERT_EQ(::lstat((book + name).c_str(), &info), 0);
        EXPECT_TRUE(S_ISREG(info.st_mode)) << name;
    }
}

// A line of `size` bytes holding every byte value but the line ends, and marker look-alikes.
std::string oddLine(size_t size) {
    std::string line;
    line.reserve(size);
    for (size_t i = 0; line.size() < size; ++i) {
        char c = static_cast<char>(i % 256);
        if (c != '\r' && c != '\n') {
            line += c;
        }
    }
    return line;
}

TEST_F(HostileInputTest, LongBinaryLinesAndHugeMarkerNumbers) {
    const std::string big = oddLine(3'000'000);
    const std::string markers =
        "<!--tag99999999999999999999--><!--tag-1--><!--tag007--><!--/tag18446744073709551617-->";
    std::string model = pageModel(2);
    model.insert(model.find("<body>") + 6, "\n" + big + "\n" + markers + "\n");
    writeFile(m_inputs + "/model.htm", model);
    // Data with a long field, binary bytes and no final line end.
    std::string data = dataFile(1, 5, 1);
    data += "item-0000006;" + oddLine(200'000).substr(0, 200'000) + ";v;n;t;1;x";
    for (char& c : data) {
        if (c == '\0') {
            c = ' ';
        }
    }
    writeFile(m_inputs + "/data.txt", data);
    pages(m_inputs + "/data.txt", m_inputs + "/model.htm", m_site);
    Snapshot made = readDirectory(m_site);
    ASSERT_TRUE(made.count("item-0000001.htm"));
    EXPECT_NE(made["item-0000001.htm"].find("\r\n" + big + "\r\n"), std::string::npos);
    // A page holding the same, with no line end at all, rewritten by every run.
    writeFile(m_site + "/odd.htm", big + markers + "<!--tag99-->" + big);
    cli({"links", "--dir", m_site, "--link-tag", "2", "--text-tag", "3", "--lang", "en",
         "--quiet"});
    std::string index = m_site + "/index";
    makeDirectories(index);
    cli({"index", "--source", m_site, "--dest", index, "--criterion-tag", "4", "--text-tag", "3",
         "--lang", "en", "--quiet"});
    std::string book = yearbookModel();
    book.insert(book.find("<td>"), big + "\n" + markers + "\n");
    writeFile(m_inputs + "/yearbook.htm", book);
    makeDirectories(m_site + "/book");
    cli({"yearbook", "--data", m_inputs + "/data.txt", "--model", m_inputs + "/yearbook.htm",
         "--dest", m_site + "/book", "--separator", ";", "--lang", "en", "--quiet"});
    EXPECT_NE(readFile(m_site + "/book/Index_One_Page.htm").find(big), std::string::npos);
}

TEST_F(HostileInputTest, WideDataFileFillsEveryTag) {
    // 150 columns: tags 0 to 100 take the first 101, the rest is ignored.
    std::string data;
    for (int r = 1; r <= 2000; ++r) {
        data += "row-" + std::to_string(r);
        for (int c = 1; c < 150; ++c) {
            data += ";r" + std::to_string(r) + "c" + std::to_string(c);
        }
        data += "\n";
    }
    writeFile(m_inputs + "/data.txt", data);
    std::string model = "<html>\n<title>t</title>\n<body>\n";
    for (int k = 0; k <= 100; ++k) {
        model += "<!--tag" + std::to_string(k) + "-->\nx\n<!--/tag" + std::to_string(k) + "-->\n";
    }
    model += "</body>\n</html>\n";
    writeFile(m_inputs + "/model.htm", model);
    Outcome outcome = pages(m_inputs + "/data.txt", m_inputs + "/model.htm", m_site);
    EXPECT_NE(outcome.out.find("2000 written"), std::string::npos) << outcome.out;
    std::string page = readFile(m_site + "/row-1999.htm");
    EXPECT_NE(page.find("<!--tag100-->\r\nr1999c100\r\n<!--/tag100-->"), std::string::npos);
    EXPECT_EQ(page.find("r1999c101"), std::string::npos);
}

}  // namespace
}  // namespace pw::reliability
