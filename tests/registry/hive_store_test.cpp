#include "registry/hive_store.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "registry/hive_file.h"
#include "registry/hive_registry.h"
#include "registry_test_support.h"
#include "tests/support/unprivileged.h"

namespace pw {
namespace {

constexpr size_t kBlobSize = 20000;

// Writes value "Blob" (kBlobSize bytes, all equal to the round number) round after round,
// telling the parent through `report` after each completed write. Never returns.
[[noreturn]] void writeForever(const std::string& hive, int report) {
    HiveRegistry registry(hive);
    RegKey key = 0;
    if (registry.regCreateKeyEx(kHkeyCurrentUser, "Crash", 0, kKeyAllAccess, &key, nullptr) != 0) {
        ::_exit(1);
    }
    for (unsigned round = 1;; ++round) {
        std::vector<std::uint8_t> blob(kBlobSize, static_cast<std::uint8_t>(round));
        if (registry.regSetValueEx(key, "Blob", kRegBinary, blob.data(),
                                   static_cast<std::uint32_t>(blob.size())) != 0) {
            ::_exit(1);
        }
        char done = 1;
        if (::write(report, &done, 1) != 1) {
            ::_exit(1);
        }
    }
}

TEST(HiveStore, AKilledWriterLeavesTheOldOrTheNewFile) {
    test::TempDir dir;
    std::string hive = dir.file("hive.reg");
    for (int rounds : {1, 2, 5, 9, 17}) {
        int pipeFds[2];
        ASSERT_EQ(::pipe(pipeFds), 0);
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(pipeFds[0]);
            writeForever(hive, pipeFds[1]);
        }
        ::close(pipeFds[1]);
        // Kill it while it is busy with the next write.
        for (int i = 0; i < rounds; ++i) {
            char done;
            ASSERT_EQ(::read(pipeFds[0], &done, 1), 1);
        }
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ::close(pipeFds[0]);

        HiveParse parsed = parseHive(test::readAll(hive));
        EXPECT_FALSE(parsed.damaged) << "after " << rounds << " rounds";
        const HiveKey* key = parsed.hive.find(1, {"Crash"});
        ASSERT_NE(key, nullptr);
        const HiveValue* blob = key->findValue("Blob");
        ASSERT_NE(blob, nullptr);
        ASSERT_EQ(blob->data.size(), kBlobSize);
        EXPECT_EQ(std::count(blob->data.begin(), blob->data.end(), blob->data[0]),
                  static_cast<long>(kBlobSize));
        EXPECT_GE(blob->data[0], static_cast<std::uint8_t>(rounds));
    }
}

TEST(HiveStore, ConcurrentWritersLoseNoChange) {
    test::TempDir dir;
    std::string hive = dir.file("sub/dir/hive.reg");
    constexpr int kWriters = 3;
    constexpr int kValuesEach = 40;
    std::vector<pid_t> children;
    for (int w = 0; w < kWriters; ++w) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            HiveRegistry registry(hive);
            RegKey key = 0;
            if (registry.regCreateKeyEx(kHkeyCurrentUser, "Shared", 0, kKeyAllAccess, &key,
                                        nullptr) != 0) {
                ::_exit(1);
            }
            for (int i = 0; i < kValuesEach; ++i) {
                std::string name = "w" + std::to_string(w) + "_" + std::to_string(i);
                std::uint8_t byte = static_cast<std::uint8_t>(i);
                if (registry.regSetValueEx(key, name.c_str(), kRegBinary, &byte, 1) != 0) {
                    ::_exit(1);
                }
            }
            ::_exit(0);
        }
        children.push_back(child);
    }
    // Meanwhile every read sees a whole file.
    int reads = 0;
    int damagedReads = 0;
    while (true) {
        bool running = false;
        for (pid_t child : children) {
            siginfo_t info{};
            ::waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOHANG | WNOWAIT);
            running = running || info.si_pid == 0;
        }
        if (!running && reads > 0) {
            break;
        }
        std::string text = test::readAll(hive);
        damagedReads += parseHive(text).damaged ? 1 : 0;
        ++reads;
    }
    EXPECT_EQ(damagedReads, 0) << "of " << reads << " reads";
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    Hive written = HiveStore(Env::system(), hive).load();
    const HiveKey* key = written.find(1, {"Shared"});
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->values.size(), static_cast<size_t>(kWriters * kValuesEach));
}

TEST(HiveStore, ACorruptHiveReadsAsEmptyKeysAndIsKeptAsideBeforeAWrite) {
    test::TempDir dir;
    std::string hive = dir.file("hive.reg");
    std::string garbage("\x01\x02[HKEY_NOWHERE]\n\"x\"=hex:zz\n\xff\xfe", 28);
    test::writeAll(hive, garbage);
    HiveRegistry registry(hive);
    RegKey key = 0;
    EXPECT_EQ(registry.regOpenKeyEx(kHkeyLocalMachine, "SOFTWARE", 0, kKeyRead, &key),
              kErrorFileNotFound);
    std::uint32_t subkeys = 99;
    EXPECT_EQ(registry.regQueryInfoKey(kHkeyLocalMachine, nullptr, nullptr, &subkeys, nullptr,
                                       nullptr, nullptr, nullptr, nullptr),
              0);
    EXPECT_EQ(subkeys, 0u);
    ASSERT_EQ(
        registry.regCreateKeyEx(kHkeyLocalMachine, "SOFTWARE", 0, kKeyAllAccess, &key, nullptr), 0);
    EXPECT_EQ(test::readAll(hive + ".damaged"), garbage);
    EXPECT_FALSE(parseHive(test::readAll(hive)).damaged);
}

TEST(HiveStore, AHiveThatCannotBeReadIsNeverReplaced) {
    test::TempDir dir;
    // A directory where the hive should be: it opens, but cannot be read as a file.
    std::string hive = dir.file("hive.reg");
    std::filesystem::create_directory(hive);
    test::writeAll(hive + "/inside", "kept");
    HiveRegistry registry(hive);
    RegKey key = 0;
    EXPECT_EQ(registry.regCreateKeyEx(kHkeyUsers, "New", 0, kKeyAllAccess, &key, nullptr),
              kErrorRegistryIoFailed);
    EXPECT_EQ(test::readAll(hive + "/inside"), "kept");
}

// A hive this user may not write is refused with access denied and keeps its bytes and mode,
// although its folder would let a rename replace it.
TEST(HiveStore, AHiveThisUserMayNotWriteIsNeverReplaced) {
    struct Case {
        const char* name;
        mode_t mode;
        bool ownedByTheUser;
    };
    for (const Case& c : {Case{"read_only", 0444, true}, Case{"another_user_s", 0644, false}}) {
        SCOPED_TRACE(c.name);
        if (::geteuid() != 0 && !c.ownedByTheUser) {
            continue;  // only the superuser can give the file to another user
        }
        test::TempDir dir;
        const std::string hive = dir.file("hive.reg");
        const std::string before = "REGEDIT4\r\n\r\n[HKEY_USERS\\Old]\r\n";
        test::writeAll(hive, before);
        const uid_t user = ::geteuid() == 0 ? test::kUnprivilegedId : ::geteuid();
        ASSERT_EQ(::chown(hive.c_str(), c.ownedByTheUser ? user : 0, -1), 0);
        ::chmod(hive.c_str(), c.mode);
        test::openToEveryone(dir.path());
        EXPECT_TRUE(test::runUnprivileged([&] {
            HiveRegistry registry(hive);
            RegKey key = 0;
            EXPECT_EQ(registry.regCreateKeyEx(kHkeyUsers, "New", 0, kKeyAllAccess, &key, nullptr),
                      kErrorAccessDenied);
        }));
        EXPECT_EQ(test::readAll(hive), before);
        struct stat after;
        ASSERT_EQ(::stat(hive.c_str(), &after), 0);
        EXPECT_EQ(after.st_mode & 07777, c.mode);
    }
}

TEST(HiveStore, AnOversizedFileIsNotReadAndNotReplaced) {
    test::TempDir dir;
    std::string hive = dir.file("hive.reg");
    test::writeAll(hive, "[HKEY_USERS\\Any]\n");
    std::filesystem::resize_file(hive, std::uintmax_t{65} << 20);
    HiveRegistry registry(hive);
    RegKey key = 0;
    EXPECT_EQ(registry.regOpenKeyEx(kHkeyUsers, "Any", 0, kKeyRead, &key), kErrorFileNotFound);
    EXPECT_EQ(registry.regCreateKeyEx(kHkeyUsers, "Any", 0, kKeyAllAccess, &key, nullptr),
              kErrorRegistryIoFailed);
    EXPECT_EQ(std::filesystem::file_size(hive), std::uintmax_t{65} << 20);
}

}  // namespace
}  // namespace pw
