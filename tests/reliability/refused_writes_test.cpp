// Runs whose writes are refused: a disk that fills up, read-only pages, a read-only
// destination, pages deleted or replaced while the run reads them. No page may be damaged, the
// run must go on with the other pages, and every page not written must be counted in the
// summary and named with its reason on standard error.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/reliability/site_fixture.h"

namespace pw::reliability {
namespace {

constexpr uint64_t kPages = 150;

// The four runs over one set of inputs, and what each makes when nothing goes wrong.
struct Runs {
    std::string work;
    std::vector<RunCase> cases;
    std::vector<std::vector<Snapshot>> expected;
};

Runs* g_runs = nullptr;

// A small memory-backed file system mounted for one test; unmounted at the end.
class SmallDisk {
  public:
    SmallDisk(const std::string& path, const std::string& size) : m_path(path) {
        makeDirectories(path);
        m_mounted = ::mount("tmpfs", path.c_str(), "tmpfs", 0, ("size=" + size).c_str()) == 0;
    }
    ~SmallDisk() {
        if (m_mounted) {
            ::umount2(m_path.c_str(), MNT_DETACH);
        }
    }
    bool mounted() const { return m_mounted; }
    bool setReadOnly(bool readOnly) {
        unsigned long flags = MS_REMOUNT | (readOnly ? MS_RDONLY : 0);
        return ::mount("tmpfs", m_path.c_str(), "tmpfs", flags, nullptr) == 0;
    }
    // Fills the disk, then frees `leave` bytes of it again.
    void fillLeaving(size_t leave) {
        std::string filler = m_path + "/filler.bin";
        int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_GE(fd, 0);
        std::string chunk(64 * 1024, 'f');
        off_t size = 0;
        for (;;) {
            ssize_t wrote = ::write(fd, chunk.data(), chunk.size());
            if (wrote <= 0) {
                break;
            }
            size += wrote;
        }
        // Single bytes fill the last partial block.
        while (::write(fd, "f", 1) == 1) {
            ++size;
        }
        ASSERT_EQ(::ftruncate(
                      fd, size > static_cast<off_t>(leave) ? size - static_cast<off_t>(leave) : 0),
                  0);
        ::close(fd);
    }
    void empty() { ::unlink((m_path + "/filler.bin").c_str()); }

  private:
    std::string m_path;
    bool m_mounted = false;
};

class RefusedWritesTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        g_runs = new Runs;
        char pattern[] = "/tmp/pw-refused-XXXXXX";
        g_runs->work = ::mkdtemp(pattern);
        isolateEnvironment(g_runs->work + "/env");
        g_runs->cases = buildRunCases(PAGEWRIGHT_CLI, g_runs->work, kPages);
        for (const RunCase& run : g_runs->cases) {
            std::string root = g_runs->work + "/expected-" + run.name;
            run.lay(root);
            runProcess(PAGEWRIGHT_CLI, run.argsIn(root));
            std::vector<Snapshot> made;
            for (const std::string& dir : run.writtenDirs) {
                made.push_back(readDirectory(root + "/" + dir));
            }
            g_runs->expected.push_back(made);
        }
    }
    static void TearDownTestSuite() {
        removeTree(g_runs->work);
        delete g_runs;
        g_runs = nullptr;
    }

    struct Outcome {
        int status = -1;
        std::string out, err;
        uint64_t notWritten = 0;
    };

    static Outcome run(const RunCase& run, const std::string& root) {
        Outcome outcome;
        outcome.status = runProcess(PAGEWRIGHT_CLI, run.argsIn(root), &outcome.out, &outcome.err);
        size_t at = outcome.out.find(" unchanged, ");
        if (at != std::string::npos) {
            outcome.notWritten = std::strtoull(outcome.out.c_str() + at + 12, nullptr, 10);
        }
        return outcome;
    }

    // Every file its old or its new version, none missing; every file left in its old version
    // that the run meant to change is counted and named on standard error.
    static void checkOldOrNew(size_t c, const std::string& root, const Outcome& outcome,
                              const std::string& what) {
        const RunCase& rc = g_runs->cases[c];
        SCOPED_TRACE(rc.name + ", " + what);
        EXPECT_TRUE(WIFEXITED(outcome.status) &&
                    WEXITSTATUS(outcome.status) == (outcome.notWritten > 0 ? 3 : 0))
            << outcome.err;
        uint64_t listed = 0;
        for (size_t pos = 0; (pos = outcome.err.find("not written: ", pos)) != std::string::npos;
             ++pos) {
            ++listed;
        }
        EXPECT_EQ(listed, outcome.notWritten) << outcome.out << outcome.err;
        for (size_t d = 0; d < rc.writtenDirs.size(); ++d) {
            std::string dir = root + "/" + rc.writtenDirs[d];
            Snapshot now = readDirectory(dir);
            const Snapshot& before = rc.start[d];
            const Snapshot& want = g_runs->expected[c][d];
            for (const auto& [name, bytes] : want) {
                auto it = now.find(name);
                auto old = before.find(name);
                bool isNew = it != now.end() && rc.comparable(it->second) == rc.comparable(bytes);
                bool isOld = old != before.end() && it != now.end() && it->second == old->second;
                if (old != before.end()) {
                    ASSERT_NE(it, now.end()) << name << " went missing";
                }
                EXPECT_TRUE(isNew || isOld || (it == now.end() && old == before.end()))
                    << name << " is neither its old nor its new version";
                if (!isNew) {
                    EXPECT_NE(outcome.err.find("not written: " + dir + "/" + name),
                              std::string::npos)
                        << name << " was not written and not reported";
                }
            }
            for (const auto& [name, bytes] : now) {
                EXPECT_FALSE(isWorkFile(name)) << "work file " << name << " left behind";
                EXPECT_TRUE(want.count(name)) << "unexpected file " << name;
            }
        }
    }

    // Running again with the obstacle gone gives exactly the pages of an undisturbed run.
    static void checkRunAgain(size_t c, const std::string& root) {
        const RunCase& rc = g_runs->cases[c];
        SCOPED_TRACE(rc.name + ", run again");
        Outcome again = run(rc, root);
        EXPECT_EQ(again.notWritten, 0u) << again.err;
        for (size_t d = 0; d < rc.writtenDirs.size(); ++d) {
            Snapshot now = readDirectory(root + "/" + rc.writtenDirs[d]);
            const Snapshot& want = g_runs->expected[c][d];
            ASSERT_EQ(now.size(), want.size());
            for (const auto& [name, bytes] : want) {
                ASSERT_TRUE(now.count(name)) << name;
                EXPECT_EQ(rc.comparable(now.at(name)), rc.comparable(bytes)) << name;
            }
        }
    }
};

TEST_F(RefusedWritesTest, FullDiskLeavesEveryPageOldOrNewAndReportsTheRest) {
    for (size_t c = 0; c < g_runs->cases.size(); ++c) {
        for (size_t leave : {0ul, 10'000ul, 150'000ul}) {
            std::string root = g_runs->work + "/disk";
            SmallDisk disk(root, "8m");
            if (!disk.mounted()) {
                GTEST_SKIP() << "cannot mount a small file system here (needs root)";
            }
            g_runs->cases[c].lay(root);
            disk.fillLeaving(leave);
            Outcome outcome = run(g_runs->cases[c], root);
            checkOldOrNew(c, root, outcome, std::to_string(leave) + " bytes free");
            if (leave == 0) {
                EXPECT_GT(outcome.notWritten, 0u) << g_runs->cases[c].name;
            }
            disk.empty();
            checkRunAgain(c, root);
        }
    }
}

TEST_F(RefusedWritesTest, ReadOnlyPagesAreLeftAloneAndReported) {
    for (size_t c = 0; c < g_runs->cases.size(); ++c) {
        const RunCase& rc = g_runs->cases[c];
        std::string root = g_runs->work + "/read-only-pages";
        rc.lay(root);
        size_t i = 0;
        std::vector<std::string> locked;
        for (size_t d = 0; d < rc.writtenDirs.size(); ++d) {
            for (const auto& [name, bytes] : rc.start[d]) {
                if (i++ % 4 == 0) {
                    locked.push_back(root + "/" + rc.writtenDirs[d] + "/" + name);
                    ::chmod(locked.back().c_str(), 0444);
                }
            }
        }
        Outcome outcome = run(rc, root);
        checkOldOrNew(c, root, outcome, "read-only pages");
        for (const std::string& path : locked) {
            struct stat info;
            ASSERT_EQ(::stat(path.c_str(), &info), 0);
            EXPECT_EQ(info.st_mode & 0777, 0444u) << path;
            ::chmod(path.c_str(), 0644);
        }
        checkRunAgain(c, root);
        removeTree(root);
    }
}

TEST_F(RefusedWritesTest, ReadOnlyDestinationWritesNothingAndReportsEveryPage) {
    for (size_t c = 0; c < g_runs->cases.size(); ++c) {
        const RunCase& rc = g_runs->cases[c];
        std::string root = g_runs->work + "/read-only-dest";
        // A permission bit does not stop root: a read-only file system does.
        SmallDisk disk(root, "64m");
        rc.lay(root);
        if (disk.mounted()) {
            ASSERT_TRUE(disk.setReadOnly(true));
        } else {
            for (const std::string& dir : rc.writtenDirs) {
                ::chmod((root + "/" + dir).c_str(), 0555);
            }
        }
        Outcome outcome = run(rc, root);
        checkOldOrNew(c, root, outcome, "read-only destination");
        for (size_t d = 0; d < rc.writtenDirs.size(); ++d) {
            EXPECT_EQ(readDirectory(root + "/" + rc.writtenDirs[d]), rc.start[d]);
        }
        if (disk.mounted()) {
            ASSERT_TRUE(disk.setReadOnly(false));
        } else {
            for (const std::string& dir : rc.writtenDirs) {
                ::chmod((root + "/" + dir).c_str(), 0755);
            }
        }
        checkRunAgain(c, root);
    }
}

TEST_F(RefusedWritesTest, PagesDeletedOrReplacedDuringTheRun) {
    for (size_t c = 0; c < g_runs->cases.size(); ++c) {
        const RunCase& rc = g_runs->cases[c];
        std::string root = g_runs->work + "/vanishing";
        for (int round = 0; round < 3; ++round) {
            rc.lay(root);
            std::string dir = root + "/" + rc.writtenDirs[0];
            std::atomic<bool> done{false};
            // Meanwhile a person deletes some pages and saves others anew.
            std::thread person([&] {
                size_t i = 0;
                while (!done) {
                    for (const auto& [name, bytes] : rc.start[0]) {
                        if (done) {
                            break;
                        }
                        std::string path = dir + "/" + name;
                        if (++i % 3 == 0) {
                            ::unlink(path.c_str());
                        } else if (i % 3 == 1) {
                            writeFile(path,
                                      "<html>\r\n<body>Saved again by hand</body>\r\n</html>\r\n");
                        }
                    }
                }
            });
            Outcome outcome = run(rc, root);
            done = true;
            person.join();
            SCOPED_TRACE(rc.name + " round " + std::to_string(round));
            EXPECT_TRUE(WIFEXITED(outcome.status) &&
                        WEXITSTATUS(outcome.status) == (outcome.notWritten > 0 ? 3 : 0))
                << outcome.err;
            for (const auto& [name, bytes] : readDirectory(dir)) {
                EXPECT_FALSE(isWorkFile(name)) << name;
            }
        }
        removeTree(root);
    }
}

}  // namespace
}  // namespace pw::reliability
