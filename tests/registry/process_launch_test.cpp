#include "registry/process_launch.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include "tests/support/temp_dir.h"

namespace pw {
namespace {

TEST(SplitCommandLine, HonoursQuotesAndBackslashes) {
    using Args = std::vector<std::string>;
    struct Case {
        const char* line;
        Args expected;
    };
    const Case cases[] = {
        {"", {}},
        {"   ", {}},
        {"prog", {"prog"}},
        {"  prog  a\tb  ", {"prog", "a", "b"}},
        {"\"/opt/my dir/uninstall\" --yes", {"/opt/my dir/uninstall", "--yes"}},
        {"a\"b c\"d", {"ab cd"}},
        {"\"\"", {""}},
        {"C:\\Program Files\\x.exe", {"C:\\Program", "Files\\x.exe"}},
        {"\"C:\\dir\\\\\" next", {"C:\\dir\\", "next"}},
        {"say \\\"hi\\\"", {"say", "\"hi\""}},
        {"\"a \"\"quoted\"\" word\"", {"a \"quoted\" word"}},
        {"\"unterminated arg", {"unterminated arg"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(splitCommandLine(c.line), c.expected) << c.line;
    }
}

TEST(StartDetached, StartsWithoutAShell) {
    test::TempDir dir;
    std::string marker = dir / "marker $HOME;";
    int pid = startDetached({"/bin/sh", "-c", "printf ok > \"$0\"", marker});
    ASSERT_GT(pid, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_EQ(test::readFile(marker), "ok");
    EXPECT_EQ(startDetached({}), -1);
    EXPECT_EQ(startDetached({dir / "no-such-program"}), -1);
}

}  // namespace
}  // namespace pw
