// Work files: per-process names, removal of those left by killed runs, never written through.
#include "fs/work_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace pw {
namespace {

using test::readFile;
using test::writeFile;

std::vector<std::string> names(const test::TempDir& dir) {
    std::vector<std::string> out;
    for (const auto& item : std::filesystem::directory_iterator(dir.path())) {
        out.push_back(item.path().filename().string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

// The number of a process that has ended and been reaped.
long endedProcess() {
    pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
    return child;
}

std::string workName(long pid) {
    return ".pagewright-work-" + std::to_string(pid) + ".tmp";
}

TEST(WorkFiles, ThoseOfKilledRunsGoWithTheFirstWriteAndOthersStay) {
    test::TempDir dir;
    const long ended = endedProcess();
    const std::vector<std::string> stale = {workName(ended),
                                            ".pagewright-work-" + std::to_string(ended) + "-3.tmp",
                                            ".pagewright-work.tmp"};
    for (const std::string& name : stale) {
        writeFile(dir / name, "half a page");
    }
    // A live process's work file, an ended one's that someone holds locked, and names that
    // only look alike are all left.
    const std::vector<std::string> kept = {
        workName(::getppid()), ".pagewright-work-" + std::to_string(ended) + "-x.tmp",
        ".pagewright-workshop.tmp", ".pagewright-work-.tmp", "page.htm"};
    for (const std::string& name : kept) {
        writeFile(dir / name, "keep");
    }
    const std::string locked = ".pagewright-work-" + std::to_string(ended) + "-2.tmp";
    writeFile(dir / locked, "in use");
    FileHandle holder(Env::system(), ::open((dir / locked).c_str(), O_RDONLY));
    ASSERT_EQ(::flock(holder.fd(), LOCK_EX | LOCK_NB), 0);

    Directory directory(Env::system(), dir.path());
    Delivery delivery = Delivery::kUnchanged;
    ASSERT_TRUE(replaceFile(directory, "new.htm", "new", Durability::kAtomic, delivery).ok());
    EXPECT_EQ(delivery, Delivery::kWritten);

    std::vector<std::string> expected = kept;
    expected.push_back(locked);
    expected.push_back("new.htm");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names(dir), expected);
    EXPECT_EQ(readFile(dir / "page.htm"), "keep");
}

TEST(WorkFiles, OneLeftUnderThisProcessNumberIsReplacedNotReused) {
    test::TempDir dir;
    test::TempDir outside;
    writeFile(dir / "page.htm", "old");
    writeFile(outside / "target", "outside");
    // Left by an earlier process that had this number: a plain file, then a link out.
    for (bool asLink : {false, true}) {
        const std::string name = dir / workName(::getpid());
        if (asLink) {
            std::filesystem::create_symlink(outside / "target", name);
        } else {
            writeFile(name, "stale bytes that are longer than the page");
        }
        Directory directory(Env::system(), dir.path());
        Delivery delivery;
        const std::string content = asLink ? "second" : "first";
        ASSERT_TRUE(
            replaceFile(directory, "page.htm", content, Durability::kAtomic, delivery).ok());
        EXPECT_EQ(readFile(dir / "page.htm"), content);
        EXPECT_EQ(names(dir), std::vector<std::string>{"page.htm"});
    }
    EXPECT_EQ(readFile(outside / "target"), "outside");
}

TEST(WorkFiles, TwoOpenAtOnceInOneProcessUseTwoNames) {
    test::TempDir dir;
    writeFile(dir / "a.htm", "old a");
    writeFile(dir / "b.htm", "old b");
    Directory directory(Env::system(), dir.path());
    Entry existing;
    existing.exists = existing.regular = true;
    WorkFile first(directory, Durability::kAtomic);
    WorkFile second(directory, Durability::kSynced);
    ASSERT_TRUE(first.open("a.htm", existing).ok());
    ASSERT_TRUE(second.open("b.htm", existing).ok());
    ASSERT_TRUE(first.write("one").ok());
    ASSERT_TRUE(second.write("two").ok());
    EXPECT_EQ(names(dir).size(), 4u);
    ASSERT_TRUE(second.deliver().ok());
    ASSERT_TRUE(first.deliver().ok());
    EXPECT_EQ(readFile(dir / "a.htm"), "one");
    EXPECT_EQ(readFile(dir / "b.htm"), "two");
    EXPECT_EQ(names(dir), (std::vector<std::string>{"a.htm", "b.htm"}));
}

}  // namespace
}  // namespace pw
