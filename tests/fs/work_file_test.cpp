// New versions of files: unnamed files linked where the system allows it, work files renamed
// over existing files, per-process work names, removal of those left by killed runs, the mode
// of a replaced file, and versions that stream.
#include "fs/work_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/support/unprivileged.h"

namespace pw {
namespace {

using test::readFile;
using test::writeFile;

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

// The real system, refusing what some systems refuse, counting how new versions took their
// names.
class PolicyEnv : public EnvWrapper {
  public:
    PolicyEnv() : EnvWrapper(Env::system()) {}

    bool refuseUnnamed = false;  // a file system without O_TMPFILE
    bool refuseLinks = false;    // no /proc/self/fd to link through
    std::string takeBeforeLink;  // a name someone else creates just before it is linked
    int linked = 0;
    int renamed = 0;
    int modeChanges = 0;

    Status open(int dir, const char* name, int flags, mode_t mode, int& fd) override {
        if (refuseUnnamed && (flags & O_TMPFILE) == O_TMPFILE) {
            return Status::fromErrno(EOPNOTSUPP, "open");
        }
        return target().open(dir, name, flags, mode, fd);
    }
    Status link(int fromDir, const char* from, int toDir, const char* to, int flags) override {
        if (refuseLinks) {
            return Status::fromErrno(ENOENT, "link");
        }
        if (to == takeBeforeLink) {
            int fd = ::openat(toDir, to, O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
            ::write(fd, "someone's", 9);
            ::close(fd);
        }
        Status status = target().link(fromDir, from, toDir, to, flags);
        linked += status.ok() && std::string_view(to).find(".pagewright-work") != 0;
        return status;
    }
    Status rename(int fromDir, const char* from, int toDir, const char* to,
                  unsigned flags) override {
        Status status = target().rename(fromDir, from, toDir, to, flags);
        renamed += status.ok();
        return status;
    }
    Status changeMode(int fd, mode_t mode) override {
        ++modeChanges;
        return target().changeMode(fd, mode);
    }
};

// Writes `bytes` as the new version of `name` in `path` through `env`.
Status replaceThrough(Env& env, const std::string& path, const std::string& name,
                      const std::string& bytes) {
    Directory directory(env, path);
    Delivery delivery;
    return replaceFile(directory, name, bytes, Durability::kAtomic, delivery);
}

TEST(NewVersions, ANewFileAppearsWholeUnderItsNameWhateverTheSystemAllows) {
    struct Case {
        const char* what;
        bool refuseUnnamed;
        bool refuseLinks;
        bool takenMeanwhile;
        bool unprivileged;
        int linked;
        int renamed;
    };
    const Case cases[] = {
        {"unnamed, then linked", false, false, false, false, 1, 0},
        {"unnamed, then linked, by an unprivileged user", false, false, false, true, 1, 0},
        {"no O_TMPFILE: work file and rename", true, false, false, false, 0, 1},
        {"no /proc: work file and rename", false, true, false, false, 0, 1},
        {"the name taken meanwhile: replaced", false, false, true, false, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        test::openToEveryone(dir.path());
        auto body = [&] {
            PolicyEnv env;
            env.refuseUnnamed = c.refuseUnnamed;
            env.refuseLinks = c.refuseLinks;
            env.takeBeforeLink = c.takenMeanwhile ? "page.htm" : "";
            ASSERT_TRUE(replaceThrough(env, dir.path(), "page.htm", "the new page").ok());
            EXPECT_EQ(readFile(dir / "page.htm"), "the new page");
            EXPECT_EQ(test::namesIn(dir.path()), std::vector<std::string>{"page.htm"});
            EXPECT_EQ(env.linked, c.linked);
            EXPECT_EQ(env.renamed, c.renamed);
        };
        if (c.unprivileged) {
            EXPECT_TRUE(test::runUnprivileged(body));
        } else {
            body();
        }
    }
}

TEST(NewVersions, AReplacedFileKeepsItsModeWithOneCallOnlyWhenItDiffers) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const mode_t created = 0666 & ~mask;
    for (mode_t mode : {created, mode_t{0600}, mode_t{0755}, mode_t{0604}}) {
        SCOPED_TRACE(mode);
        test::TempDir dir;
        writeFile(dir / "page.htm", "old");
        ::chmod((dir / "page.htm").c_str(), mode);
        PolicyEnv env;
        ASSERT_TRUE(replaceThrough(env, dir.path(), "page.htm", "new").ok());
        struct stat info;
        ASSERT_EQ(::stat((dir / "page.htm").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, mode);
        EXPECT_EQ(env.modeChanges, mode == created ? 0 : 1);
        EXPECT_EQ(readFile(dir / "page.htm"), "new");
    }
}

TEST(StreamedVersions, AreWrittenOnlyWhenTheyDifferFromTheOldFile) {
    // Past 4 MB in small pieces, then one long piece: both the gathered and the direct way.
    const std::string old = [] {
        std::string text;
        for (int i = 0; text.size() < (5u << 20); ++i) {
            text += "line " + std::to_string(i) + "\r\n";
        }
        return text;
    }();
    struct Case {
        const char* what;
        std::string version;
        bool oldExists;
        Delivery delivery;
    };
    std::string firstByte = old;
    firstByte[0] = 'L';
    std::string lastByte = old;
    lastByte.back() = '!';
    const Case cases[] = {
        {"identical", old, true, Delivery::kUnchanged},
        {"differs at the first byte", firstByte, true, Delivery::kWritten},
        {"differs at the last byte", lastByte, true, Delivery::kWritten},
        {"shorter: the old file goes on", old.substr(0, old.size() - 7), true, Delivery::kWritten},
        {"longer: the old file ends first", old + "more\r\n", true, Delivery::kWritten},
        {"no old file", old, false, Delivery::kWritten},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        if (c.oldExists) {
            writeFile(dir / "page.htm", old);
        }
        struct stat before {};
        ::stat((dir / "page.htm").c_str(), &before);
        Directory directory(Env::system(), dir.path());
        FileHandle file;
        Entry entry;
        ASSERT_TRUE(directory.openExisting("page.htm", file, entry).ok());
        const std::string name = "page.htm";
        StreamedVersion version(directory, name, entry, file, Durability::kAtomic);
        const size_t small = std::min<size_t>(4u << 20, c.version.size());
        for (size_t at = 0; at < small; at += 1000) {
            const size_t piece = std::min<size_t>(1000, small - at);
            ASSERT_TRUE(version.write(std::string_view(c.version).substr(at, piece)).ok());
        }
        if (c.version.size() > small) {
            ASSERT_TRUE(version.write(std::string_view(c.version).substr(small)).ok());
        }
        Delivery delivery;
        ASSERT_TRUE(version.finish(delivery).ok());
        EXPECT_EQ(delivery, c.delivery);
        EXPECT_TRUE(readFile(dir / "page.htm") == c.version);
        EXPECT_EQ(test::namesIn(dir.path()), std::vector<std::string>{"page.htm"});
        struct stat after {};
        ::stat((dir / "page.htm").c_str(), &after);
        EXPECT_EQ(after.st_ino == before.st_ino, c.delivery == Delivery::kUnchanged);
    }
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
    EXPECT_EQ(test::namesIn(dir.path()), expected);
    EXPECT_EQ(readFile(dir / "page.htm"), "keep");
}

TEST(WorkFiles, AListingOfTheDirectoryServesTheSweepOfItsFirstWrite) {
    test::TempDir dir;
    const long ended = endedProcess();
    const std::string before = workName(ended);
    const std::string after = ".pagewright-work-" + std::to_string(ended) + "-3.tmp";
    writeFile(dir / before, "half a page");
    Delivery delivery;
    {
        Directory directory(Env::system(), dir.path());
        (void)directory.listFiles([](std::string_view) { return true; }, false);
        // Left after the listing: not seen by this run's sweep, swept by the next one.
        writeFile(dir / after, "half a page");
        ASSERT_TRUE(replaceFile(directory, "new.htm", "new", Durability::kAtomic, delivery).ok());
        EXPECT_FALSE(test::exists(dir / before));
        EXPECT_TRUE(test::exists(dir / after));
    }
    Directory next(Env::system(), dir.path());
    ASSERT_TRUE(replaceFile(next, "new.htm", "newer", Durability::kAtomic, delivery).ok());
    EXPECT_EQ(test::namesIn(dir.path()), std::vector<std::string>{"new.htm"});
}

TEST(WorkFiles, ThoseOfKilledRunsStayWhileAnotherWriterHoldsTheDirectory) {
    for (bool held : {true, false}) {
        SCOPED_TRACE(held ? "held" : "free");
        test::TempDir dir;
        const std::string stale = workName(endedProcess());
        writeFile(dir / stale, "half a page");
        // Another writer holds the directory shared for as long as it may have work files.
        FileHandle other(Env::system(), ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY));
        if (held) {
            ASSERT_EQ(::flock(other.fd(), LOCK_SH), 0);
        }
        Directory directory(Env::system(), dir.path());
        Delivery delivery;
        ASSERT_TRUE(replaceFile(directory, "new.htm", "new", Durability::kAtomic, delivery).ok());
        EXPECT_EQ(test::exists(dir / stale), held);
    }
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
        EXPECT_EQ(test::namesIn(dir.path()), std::vector<std::string>{"page.htm"});
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
    EXPECT_EQ(test::namesIn(dir.path()).size(), 4u);
    ASSERT_TRUE(second.deliver().ok());
    ASSERT_TRUE(first.deliver().ok());
    EXPECT_EQ(readFile(dir / "a.htm"), "one");
    EXPECT_EQ(readFile(dir / "b.htm"), "two");
    EXPECT_EQ(test::namesIn(dir.path()), (std::vector<std::string>{"a.htm", "b.htm"}));
}

}  // namespace
}  // namespace pw
