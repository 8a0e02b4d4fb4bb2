#include "registry/browser.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "registry/hive_registry.h"
#include "tests/support/temp_dir.h"

namespace pw {
namespace {

TEST(BrowserProgramText, CutsAfterTheProgramsFileName) {
    struct Case {
        const char* recorded;
        const char* expected;
    };
    const Case cases[] = {
        {"\"C:\\Program Files\\Web\\browser.exe\" -osint -url \"%1\"",
         "\"C:\\Program Files\\Web\\browser.exe\""},
        {"C:\\WEB\\BROWSER.EXE -nohome", "C:\\WEB\\BROWSER.EXE "},
        {"c:\\web\\browser.exe", "c:\\web\\browser.exe"},
        {"/usr/bin/firefox %u", "/usr/bin/firefox"},
        {"\"/opt/my browser/run\" --new-tab", "\"/opt/my browser/run\""},
        {"  ", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(browserProgramText(c.recorded), c.expected) << c.recorded;
    }
}

class BrowserTest : public ::testing::Test {
  protected:
    BrowserTest() : api(dir / "hive.reg") {
        const char* path = std::getenv("PATH");
        m_oldPath = path != nullptr ? path : "";
    }
    ~BrowserTest() override { ::setenv("PATH", m_oldPath.c_str(), 1); }

    void recordBrowser(const std::string& command) {
        WinRegistry registry(RegistryMessageSink(), api);
        registry.CreateKey(kHkeyClassesRoot, std::string(kBrowserCommandKey), kKeyAllAccess, false);
        registry.SaveValue("", command);
    }

    std::vector<std::string> command() {
        return browserCommand(
            " file:///usr/lib/pagewright/help/english/help_3.htm",
            [this](const std::string& m) { messages.push_back(m); }, api);
    }

    test::TempDir dir;
    HiveRegistry api;
    std::vector<std::string> messages;

  private:
    std::string m_oldPath;
};

TEST_F(BrowserTest, ARecordedQuotedPathIsStartedWithTheAddress) {
    recordBrowser("\"C:\\Program Files\\Web\\browser.exe\" -osint -url \"%1\"");
    EXPECT_EQ(command(),
              (std::vector<std::string>{"C:\\Program Files\\Web\\browser.exe",
                                        "file:///usr/lib/pagewright/help/english/help_3.htm"}));
    EXPECT_TRUE(messages.empty());
}

TEST_F(BrowserTest, WithoutARecordXdgOpenOnPathIsUsed) {
    std::string bin = dir / "bin";
    std::filesystem::create_directory(bin);
    test::writeFile(bin + "/xdg-open", "#!/bin/sh\n");
    ::chmod((bin + "/xdg-open").c_str(), 0755);
    ::setenv("PATH", ("/nonexistent:" + bin).c_str(), 1);
    EXPECT_EQ(command(),
              (std::vector<std::string>{bin + "/xdg-open",
                                        "file:///usr/lib/pagewright/help/english/help_3.htm"}));
    EXPECT_EQ(p_cherchecle_navigateur(RegistryMessageSink(), api), "");
    EXPECT_TRUE(messages.empty());
}

TEST_F(BrowserTest, NeitherGivesNothingToStart) {
    ::setenv("PATH", (dir / "empty").c_str(), 1);
    EXPECT_TRUE(command().empty());
}

}  // namespace
}  // namespace pw
