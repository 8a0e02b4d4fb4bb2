// pagewright-cli run as a real process.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "process.h"

namespace pw {
namespace {

using test::readFile;
using test::runProcess;
using test::writeFile;

struct Cli : ::testing::Test {
    test::TempDir home;
    test::TempDir work;
    std::vector<std::string> env{"HOME=" + home.path(), "XDG_CONFIG_HOME=" + home / ".config",
                                 "PAGEWRIGHT_INI=" + home / "PgWright.ini",
                                 "PAGEWRIGHT_REGISTRY=" + home / "registry.reg"};

    test::ProcessResult cli(std::vector<std::string> args, std::vector<std::string> extra = {}) {
        std::vector<std::string> all = env;
        all.insert(all.end(), extra.begin(), extra.end());
        return runProcess(PAGEWRIGHT_CLI, args, all);
    }

    void makeInputs(const std::string& data) {
        writeFile(work / "data.txt", data);
        writeFile(work / "model.htm", "<title>t</title>\n<!--tag1-->\n<!--/tag1-->\n");
        std::filesystem::create_directory(work / "out");
    }
    std::vector<std::string> pagesArgs() {
        return {"pages",  "--data",     work / "data.txt", "--model", work / "model.htm",
                "--dest", work / "out", "--lang",          "en"};
    }
};

TEST_F(Cli, HelpVersionAndBadUsage) {
    auto help = cli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("pagewright-cli pages"), std::string::npos);
    EXPECT_EQ(cli({"--version"}).out, "pagewright-cli 1.04\n");
    for (std::vector<std::string> bad :
         std::vector<std::vector<std::string>>{{},
                                               {"publish"},
                                               {"pages", "--frobnicate"},
                                               {"pages", "--separator", "ab"},
                                               {"pages", "--name-tags", "1,x"},
                                               {"pages", "--title-tag", "99"},
                                               {"links", "--data", "x"},
                                               {"pages", "--lang", "de"},
                                               {"pages", "--dest"}}) {
        auto result = cli(bad);
        EXPECT_EQ(result.status, 2) << (bad.empty() ? "" : bad[0]);
        EXPECT_NE(result.err.find("Usage:"), std::string::npos);
    }
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

TEST_F(Cli, RefusalIsExitOneWithTheMessageInTheChosenLanguage) {
    auto english = cli({"pages", "--data", work / "missing.txt", "--lang", "en"});
    EXPECT_EQ(english.status, 1);
    EXPECT_EQ(english.err, "The data file doesn't exist anylonger\n");
    auto french = cli({"pages", "--dest", work / "missing/", "--lang", "fr"});
    EXPECT_EQ(french.status, 1);
    EXPECT_EQ(french.err, "Le répertoire de destination n'existe plus\n");
}

TEST_F(Cli, InterruptStopsLikeTheStopButton) {
    makeInputs("a;A\nb;B\nc;C\nd;D\n");
    auto result = cli(pagesArgs(), {"PAGEWRIGHT_TEST_INTERRUPT_AT_PUMP=3"});
    EXPECT_EQ(result.status, 130);
    EXPECT_EQ(result.out.substr(0, 19), "Process stopped...\n");
    EXPECT_TRUE(test::exists(work / "out/b.htm"));
    std::vector<std::string> left;
    for (const auto& item : std::filesystem::directory_iterator(work / "out")) {
        left.push_back(item.path().filename().string());
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"a.htm", "b.htm"}));  // no work file either
}

TEST_F(Cli, PagesNotWrittenAreListedWithTheirReason) {
    makeInputs("../x;A\nok;B\n\x1b[2J/y;C\n");
    auto result = cli(pagesArgs());
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.err.find("not written: " + work / "out/../x.htm"), std::string::npos);
    // Control characters from the data never reach the terminal as they are.
    EXPECT_NE(result.err.find("\\x1B[2J/y.htm"), std::string::npos);
    EXPECT_EQ(result.err.find('\x1b'), std::string::npos);
    EXPECT_NE(result.out.find("1 written, 0 unchanged, 2 not written"), std::string::npos);
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
    auto result = cli({"pages"});
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

}  // namespace
}  // namespace pw
