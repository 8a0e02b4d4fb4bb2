// pagewright-cli run as a real process.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/inotify.h>

#include <csignal>
#include <filesystem>

#include "pagewright_version.h"
#include "spreadsheet_export.h"
#include "tests/support/process.h"

namespace pw {
namespace {

using test::namesIn;
using test::readFile;
using test::writeFile;

struct Cli : ::testing::Test {
    test::TempDir home;
    test::TempDir work;
    // English unless a test says otherwise: no locale variable names French.
    std::vector<std::string> env{"HOME=" + home.path(),
                                 "XDG_CONFIG_HOME=" + home / ".config",
                                 "PAGEWRIGHT_INI=" + home / "PgWright.ini",
                                 "PAGEWRIGHT_REGISTRY=" + home / "registry.reg",
                                 "LC_ALL=",
                                 "LC_MESSAGES=",
                                 "LANG=C.UTF-8"};

    test::ProcessSetup setup(std::vector<std::string> extra = {}) const {
        extra.insert(extra.end(), env.begin(), env.end());
        return {.env = extra};
    }
    test::ProcessResult cli(std::vector<std::string> args, std::vector<std::string> extra = {}) {
        args.insert(args.begin(), PAGEWRIGHT_CLI);
        return test::runProcess(args, setup(extra));
    }

    void makeInputs(const std::string& data) {
        writeFile(work / "data.txt", data);
        writeFile(work / "model.htm", "<title>t</title>\n<!--tag1-->\n<!--/tag1-->\n");
        std::filesystem::create_directory(work / "out");
    }
    std::vector<std::string> pagesArgs(const std::string& dest = "out") {
        return {"pages",  "--data",    work / "data.txt", "--model", work / "model.htm",
                "--dest", work / dest, "--lang",          "en"};
    }
};

TEST_F(Cli, HelpAndVersionReadAndWriteNoFile) {
    // A stored language would be read by any other command; help follows the locale only.
    writeFile(home / "PgWright.ini", "[Parametres]\r\nLangue=F\r\n");
    auto help = cli({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* part : {"pagewright-cli check", "Exit status:", "  3    done, but some",
                             "Example: check the data, then"}) {
        EXPECT_NE(help.out.find(part), std::string::npos) << part;
    }
    EXPECT_EQ(cli({"-h"}).out, help.out);
    EXPECT_EQ(cli({"--version"}).out, "pagewright-cli " PAGEWRIGHT_VERSION "\n");
    EXPECT_EQ(cli({"-V"}).out, "pagewright-cli " PAGEWRIGHT_VERSION "\n");

    // A command's part: its options with their defaults, and an example of it.
    auto pages = cli({"pages", "--dest", "x", "--help"});
    EXPECT_EQ(pages.status, 0);
    EXPECT_NE(pages.out.find("--title-tag second"), std::string::npos);
    EXPECT_NE(pages.out.find("(default: ;)"), std::string::npos);
    EXPECT_NE(pages.out.find("Example:\n  pagewright-cli pages "), std::string::npos);
    EXPECT_EQ(pages.out.find("--link-tag"), std::string::npos);
    EXPECT_EQ(cli({"--help", "pages"}).out, pages.out);
    EXPECT_NE(cli({"links", "-h"}).out.find("--prefix HTML"), std::string::npos);
    EXPECT_NE(cli({"check", "--help"}, {"LANG=fr_FR.UTF-8"}).out.find("n'écrit rien"),
              std::string::npos);

    // Nothing was created: no registry hive, no lock, no default directory.
    std::vector<std::string> left = namesIn(home.path());
    EXPECT_EQ(left, std::vector<std::string>{"PgWright.ini"});
}

TEST_F(Cli, BadUsageIsExitTwo) {
    for (std::vector<std::string> bad :
         std::vector<std::vector<std::string>>{{},
                                               {"publish"},
                                               {"pages", "--frobnicate"},
                                               {"pages", "--separator", "ab"},
                                               {"pages", "--separator", "x"},
                                               {"pages", "--name-tags", "1,x"},
                                               {"pages", "--title-tag", "99"},
                                               {"links", "--data", "x"},
                                               {"check", "--link-tag", "2"},
                                               {"pages", "--lang", "de"},
                                               {"--version", "pages"},
                                               {"pages", "--dest"}}) {
        auto result = cli(bad);
        EXPECT_EQ(result.status, 2) << (bad.empty() ? "" : bad[0]);
        EXPECT_NE(result.err.find("Usage:"), std::string::npos);
    }
    auto french = cli({"pages", "--separator", "x", "--lang", "fr"});
    EXPECT_NE(french.err.find("--separator prend l'un de ; | , : # & $ ou tab"), std::string::npos);
}

TEST_F(Cli, CompletesAndSummarises) {
    makeInputs("a;A\nb;B\n");
    auto result = cli(pagesArgs());
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out.substr(0, 16), "Process done...\n");
    EXPECT_NE(result.out.find("Files: 2 written, 0 unchanged, 0 not written"), std::string::npos);
    EXPECT_EQ(readFile(work / "out/b.htm"),
              "<title>B</title>\r\n<!--tag1-->\r\nB\r\n<!--/tag1-->\r\n");
    auto again = cli(pagesArgs());
    EXPECT_NE(again.out.find("Files: 0 written, 2 unchanged"), std::string::npos);
}

// A dry run of each run changes no file and counts what the real run then does; the check ends
// with what a pages run would do, counted against the destination as it is.
TEST_F(Cli, DryRunsWriteNothingAndSayWhatTheRunWould) {
    makeInputs("a;A\nb;B\n");
    ASSERT_EQ(cli(pagesArgs()).status, 0);
    writeFile(work / "data.txt", "a;A\nb;B2\nc;C\nd/e;D\n");
    auto check = cli({"check", "--data", work / "data.txt", "--model", work / "model.htm", "--dest",
                      work / "out", "--lang", "en"});
    EXPECT_NE(check.out.find("would do: 1 new, 1 changed, 1 unchanged, 1 refused."),
              std::string::npos)
        << check.out;
    writeFile(work / "book.txt", "a;b\n");
    writeFile(work / "book.htm", "<!--tag100-->\n<!--tag0-->\n<!--/tag0-->\n<!--/tag100-->\n");
    const std::vector<std::vector<std::string>> runs = {
        pagesArgs(),
        pagesArgs("new/"),
        {"links", "--dir", work / "out", "--link-tag", "1", "--text-tag", "1", "--lang", "en"},
        {"yearbook", "--data", work / "book.txt", "--model", work / "book.htm", "--dest",
         work / "out", "--lang", "en"},
    };
    const auto counts = [](const std::string& out) { return out.substr(0, out.find(" (")); };
    for (const std::vector<std::string>& run : runs) {
        std::vector<std::string> dry = run;
        dry.push_back("--dry-run");
        const auto before = test::folderState(work.path());
        auto trial = cli(dry);
        EXPECT_NE(trial.out.find("; dry run, nothing was written\n"), std::string::npos);
        EXPECT_EQ(test::folderState(work.path()), before) << run[0];
        auto real = cli(run);
        EXPECT_EQ(trial.status, real.status) << run[0];
        EXPECT_EQ(counts(trial.out), counts(real.out)) << run[0];
    }
}

TEST_F(Cli, RefusalNamesThePathOrTheOptionInTheChosenLanguage) {
    auto english = cli({"pages", "--data", work / "missing.txt", "--lang", "en"});
    EXPECT_EQ(english.status, 1);
    EXPECT_EQ(english.err, "The data file doesn't exist anylonger: " + work / "missing.txt\n");
    auto french = cli({"pages", "--dest", work / "a/b/", "--lang", "fr"});
    EXPECT_EQ(french.status, 1);
    EXPECT_EQ(french.err, "Le répertoire de destination n'existe plus : " + work / "a/b/\n");
    auto empty = cli({"links", "--link-tag", "2", "--dir", "", "--lang", "en"});
    EXPECT_EQ(empty.err, "Please choose a working directory (--dir)\n");
    auto check = cli({"check", "--model", work / "none.htm", "--lang", "en"});
    EXPECT_EQ(check.status, 1);
    EXPECT_EQ(check.err, "The model file doesn't exist anylonger: " + work / "none.htm\n");
}

// The language: --lang, else the stored Langue, else LC_ALL, LC_MESSAGES, LANG in that order.
TEST_F(Cli, LanguageSelection) {
    struct Case {
        std::vector<std::string> env;
        const char* stored;  // the settings file, or null for none
        const char* lang;    // --lang, or null
        bool french;
    };
    const std::vector<Case> cases = {
        {{"LANG=en_US.UTF-8"}, nullptr, nullptr, false},
        {{"LANG=fr_FR.UTF-8"}, nullptr, nullptr, true},
        {{"LANG=C"}, nullptr, nullptr, false},
        {{"LC_ALL=fr_CA.UTF-8", "LANG=en_GB.UTF-8"}, nullptr, nullptr, true},
        {{"LC_MESSAGES=en_GB.UTF-8", "LANG=fr_FR.UTF-8"}, nullptr, nullptr, false},
        {{"LANG=fr_FR.UTF-8"}, "[Parametres]\r\nLangue=E\r\n", nullptr, false},
        {{"LANG=en_US.UTF-8"}, "[Parametres]\r\nLangue=F\r\n", nullptr, true},
        {{"LANG=fr_FR.UTF-8"}, "[Parametres]\r\nSymbole=0\r\n", nullptr, true},
        {{"LANG=en_US.UTF-8"}, "[Parametres]\r\nLangue=F\r\n", "en", false},
        {{"LANG=en_US.UTF-8"}, nullptr, "fr", true},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(home / "PgWright.ini");
        if (c.stored != nullptr) {
            writeFile(home / "PgWright.ini", c.stored);
        }
        std::vector<std::string> args = {"pages", "--data", work / "missing.txt"};
        if (c.lang != nullptr) {
            args.insert(args.end(), {"--lang", c.lang});
        }
        auto result = cli(args, c.env);
        EXPECT_EQ(result.err.rfind(c.french ? "Le fichier source" : "The data file", 0), 0u)
            << c.env.front() << " " << (c.stored ? c.stored : "") << ": " << result.err;
    }
}

TEST_F(Cli, PagesNotWrittenAreListedAndTheExitIsThree) {
    makeInputs("../x;A\nok;B\n\x1b[2J/y;C\n");
    auto result = cli(pagesArgs());
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("not written: " + work / "out/../x.htm"), std::string::npos);
    // Control characters from the data never reach the terminal as they are.
    EXPECT_NE(result.err.find("\\x1B[2J/y.htm"), std::string::npos);
    EXPECT_EQ(result.err.find('\x1b'), std::string::npos);
    EXPECT_NE(result.out.find("1 written, 0 unchanged, 2 not written"), std::string::npos);
}

// A missing destination is made when its parent exists and the run's other inputs pass.
TEST_F(Cli, MissingDestinationIsCreated) {
    makeInputs("a;A\n");
    writeFile(work / "book.txt", "a;b\n");
    writeFile(work / "book.htm", "<!--tag100-->\n<!--tag0-->\n<!--/tag0-->\n<!--/tag100-->\n");
    struct Case {
        std::vector<std::string> args;
        std::string made;
    };
    const std::vector<Case> cases = {
        {pagesArgs("new/"), "new/a.htm"},
        {{"index", "--source", work / "out", "--dest", work / "index", "--lang", "en"}, "index"},
        {{"yearbook", "--data", work / "book.txt", "--model", work / "book.htm", "--dest",
          work / "book", "--lang", "en"},
         "book/Index_One_Page.htm"},
    };
    for (const Case& c : cases) {
        auto result = cli(c.args);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_TRUE(test::exists(work / c.made)) << c.made;
        EXPECT_NE(result.out.find("; destination created: " + work.path()), std::string::npos)
            << result.out;
    }
    // Not when the parent is missing, nor when another input is refused.
    EXPECT_EQ(cli(pagesArgs("no/such/")).status, 1);
    auto refused = cli({"pages", "--data", work / "data.txt", "--model", work / "gone.htm",
                        "--dest", work / "other/", "--lang", "en"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_FALSE(test::exists(work / "other"));
}

TEST_F(Cli, InterruptStopsLikeTheStopButton) {
    // Enough records that the run is still writing when its first page appears.
    constexpr int kRecords = 50000;
    std::string data;
    for (int i = 0; i < kRecords; ++i) {
        data += "p" + std::to_string(100000 + i) + ";T\n";
    }
    makeInputs(data);
    int watch = inotify_init1(IN_CLOEXEC);
    ASSERT_GE(inotify_add_watch(watch, (work / "out").c_str(), IN_CREATE | IN_MOVED_TO), 0);
    test::Child child = test::startProcess(PAGEWRIGHT_CLI, pagesArgs(), setup());
    // A page is delivered by a link (a new page) or a rename: once one is, Ctrl-C.
    bool delivered = false;
    while (!delivered && test::running(child)) {
        pollfd ready{watch, POLLIN, 0};
        if (::poll(&ready, 1, 200) > 0) {
            alignas(inotify_event) char events[4096];
            delivered = ::read(watch, events, sizeof events) > 0;
        }
    }
    ::close(watch);
    ASSERT_TRUE(delivered);
    ::kill(child.pid, SIGINT);
    auto result = test::waitFor(child);
    EXPECT_EQ(result.status, 130) << result.err;
    EXPECT_EQ(result.out.substr(0, 19), "Process stopped...\n");
    // The pages written are the first records', each whole, and no work file is left.
    std::vector<std::string> left = namesIn(work / "out");
    ASSERT_GE(left.size(), 1u);
    ASSERT_LT(left.size(), static_cast<size_t>(kRecords));
    for (size_t i = 0; i < left.size(); ++i) {
        std::string name = "p" + std::to_string(100000 + i) + ".htm";
        ASSERT_EQ(left[i], name);
        EXPECT_EQ(readFile(work / "out/" + name),
                  "<title>T</title>\r\n<!--tag1-->\r\nT\r\n<!--/tag1-->\r\n");
    }
}

TEST_F(Cli, DefaultsAreTheInstalledSamplesAndTheDefaultDirectory) {
    auto result = cli({"pages", "--lang", "en"});
    ASSERT_EQ(result.status, 0) << result.err;
    std::string site = home / "Pagewright/";
    int pages = 0;
    for (const auto& entry : std::filesystem::directory_iterator(site)) {
        pages += entry.path().extension() == ".htm";
    }
    EXPECT_GE(pages, 20);
    EXPECT_TRUE(test::exists(site + "sample0.jpg"));
    // The samples have nothing to warn about.
    EXPECT_EQ(result.err, "");
    auto check = cli({"check", "--lang", "fr"});
    EXPECT_EQ(check.status, 0);
    EXPECT_NE(check.out.find("25 lignes vérifiées : rien à signaler."), std::string::npos);
}

TEST_F(Cli, OptionsLeftOutTakeTheStoredChoices) {
    writeFile(work / "data.txt", "a|b|c\n");
    writeFile(work / "model.htm", "<title>t</title>\n<!--tag0-->\n<!--/tag0-->\n");
    std::filesystem::create_directory(work / "out");
    std::string ini = "[Parametres]\r\nLangue=E\r\nSource=" + work / "data.txt" +
                      "\r\nModele=" + work / "model.htm" + "\r\nDestination=" + work / "out/" +
                      "\r\nSymbole=1 \r\nOption=2\r\nTagF0=Tag N°1\r\nTagF1=\r\nTagF2=Tag N°0\r\n"
                      "Titre=2\r\nTagF4=Tag N°2\r\n";
    writeFile(home / "PgWright.ini", ini);
    auto result = cli({"pages"}, {"LANG=fr_FR.UTF-8"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out.substr(0, 16), "Process done...\n");  // Langue=E
    EXPECT_EQ(readFile(work / "out/b_a.htm"),
              "<title>c</title>\r\n<!--tag0-->\r\na\r\n<!--/tag0-->\r\n");
    EXPECT_EQ(readFile(home / "PgWright.ini"), ini);  // read, never written

    // An option given wins over the stored choice.
    result = cli({"pages", "--name-tags", "first", "--title-tag", "second", "--lang", "fr"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(readFile(work / "out/a.htm"),
              "<title>b</title>\r\n<!--tag0-->\r\na\r\n<!--/tag0-->\r\n");
}

// What check says about the exports of a 5,000-row catalogue, in both languages: every kind of
// problem with its lines, the first five of each and the count; nothing is written.
TEST_F(Cli, CheckNamesEveryProblemOfSpreadsheetExportsWithItsLine) {
    writeFile(work / "model.htm", test::kCatalogueModel);
    struct Kind {
        const char* problem;
        const char* english;
        const char* french;
    };
    const std::vector<Kind> kinds = {
        {"not UTF-8", "Lines of the data file that are not UTF-8 while the model declares",
         "Lignes du fichier de données qui ne sont pas en UTF-8"},
        {"header", "The first line may be a header row", "La première ligne est peut-être"},
        {"blank", "Blank lines (no value in any column)", "Lignes vides"},
        {"short", "Lines with fewer columns than the model's tags need (up to tag 5)",
         "Lignes qui ont moins de colonnes que n'en demandent les tags du modèle"},
        {"quoted", "Fields that begin or end with a quotation mark",
         "Champs qui commencent ou finissent par un guillemet"},
        {"refused", "Page names the run would refuse", "Noms de page que la passe refuserait"},
        {"hidden", "Page names that begin with a dot", "Noms de page qui commencent par un point"},
        {"duplicate", "Page names made by more than one line", "Noms de page produits par"},
    };
    for (bool windows1252 : {false, true}) {
        test::SpreadsheetExport data = test::spreadsheetExport(5000, windows1252);
        writeFile(work / "export.txt", data.bytes);
        for (bool french : {false, true}) {
            SCOPED_TRACE(std::string(windows1252 ? "Windows-1252" : "UTF-8") +
                         (french ? ", French" : ", English"));
            auto result =
                cli({"check", "--data", work / "export.txt", "--model", work / "model.htm",
                     "--dest", work / "site", "--lang", french ? "fr" : "en"});
            EXPECT_EQ(result.status, 4) << result.err;
            const std::string& out = result.out;
            size_t groups = 0;
            for (const Kind& kind : kinds) {
                auto found = data.lines.find(kind.problem);
                if (found == data.lines.end()) {
                    continue;
                }
                ++groups;
                const std::vector<uint64_t>& lines = found->second;
                size_t at = out.find(french ? kind.french : kind.english);
                ASSERT_NE(at, std::string::npos) << kind.problem << "\n" << out;
                std::string group = out.substr(at, out.find("\n\n", at) - at);
                if (std::string(kind.problem) != "header") {
                    EXPECT_NE(group.find("(" + std::to_string(lines.size()) + ")"),
                              std::string::npos)
                        << group;
                }
                for (size_t i = 0; i < lines.size() && i < 5; ++i) {
                    std::string line =
                        (french ? "\n  ligne " : "\n  line ") + std::to_string(lines[i]);
                    bool named = group.find(line + (french ? " :" : ":")) != std::string::npos ||
                                 group.find(line + ",") != std::string::npos;
                    EXPECT_TRUE(named) << line << "\n" << group;
                }
                if (lines.size() > 5) {
                    EXPECT_NE(group.find(std::to_string(lines.size()) +
                                         (french ? " en tout)" : " in all)")),
                              std::string::npos);
                }
            }
            EXPECT_NE(out.find((french ? ", déjà faite par la ligne " : ", already made by line ") +
                               std::to_string(data.duplicatedLine)),
                      std::string::npos);
            std::string closing =
                french ? "5004 lignes vérifiées : " + std::to_string(groups) +
                             " sortes d'avertissement."
                       : "5004 lines checked: " + std::to_string(groups) + " kinds of warning.";
            EXPECT_NE(out.find(closing), std::string::npos) << out;
        }
    }
    EXPECT_FALSE(test::exists(work / "site"));
    EXPECT_EQ(namesIn(home.path()), std::vector<std::string>{});
}

// The warnings a run prints before it starts change nothing it writes.
TEST_F(Cli, WarningsBeforeARunChangeNoByteOfIt) {
    writeFile(work / "model.htm", test::kCatalogueModel);
    writeFile(work / "export.txt", test::spreadsheetExport(400, false).bytes);
    auto args = [&](const std::string& dest) {
        return std::vector<std::string>{"pages",     "--data",           work / "export.txt",
                                        "--model",   work / "model.htm", "--dest",
                                        work / dest, "--lang",           "en"};
    };
    auto warned = cli(args("warned/"));
    std::vector<std::string> quietArgs = args("quiet/");
    quietArgs.push_back("--quiet");
    auto quiet = cli(quietArgs);
    EXPECT_EQ(warned.status, 3);  // the name holding a '/' is not written
    EXPECT_EQ(quiet.status, 3);
    EXPECT_EQ(warned.err.rfind("Warnings about " + work / "export.txt", 0), 0u) << warned.err;
    EXPECT_NE(warned.err.find("  and "), std::string::npos);
    EXPECT_EQ(quiet.err.find("Warnings"), std::string::npos);
    EXPECT_NE(quiet.err.find("not written: "), std::string::npos);  // errors still show
    std::vector<std::string> names = namesIn(work / "warned");
    ASSERT_EQ(names, namesIn(work / "quiet"));
    EXPECT_GT(names.size(), 390u);
    for (const std::string& name : names) {
        ASSERT_EQ(readFile(work / "warned/" + name), readFile(work / "quiet/" + name)) << name;
    }
    // A quiet check keeps only its verdict.
    auto check = cli({"check", "--data", work / "export.txt", "--model", work / "model.htm",
                      "--lang", "en", "--quiet"});
    EXPECT_EQ(check.status, 4);
    EXPECT_EQ(check.out.rfind("404 lines checked: ", 0), 0u) << check.out;
}

}  // namespace
}  // namespace pw
