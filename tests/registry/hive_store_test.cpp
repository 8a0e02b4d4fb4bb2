#include "registry/hive_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "registry/hive_file.h"
#include "registry/hive_registry.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unprivileged.h"

namespace pw {
namespace {

TEST(HiveStore, ACorruptHiveReadsAsEmptyKeysAndIsKeptAsideBeforeAWrite) {
    test::TempDir dir;
    std::string hive = dir / "hive.reg";
    std::string garbage("\x01\x02[HKEY_NOWHERE]\n\"x\"=hex:zz\n\xff\xfe", 28);
    test::writeFile(hive, garbage);
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
    EXPECT_EQ(test::readFile(hive + ".damaged"), garbage);
    EXPECT_FALSE(parseHive(test::readFile(hive)).damaged);
}

TEST(HiveStore, AHiveThatCannotBeReadIsNeverReplaced) {
    test::TempDir dir;
    // A directory where the hive should be: it opens, but cannot be read as a file.
    std::string hive = dir / "hive.reg";
    std::filesystem::create_directory(hive);
    test::writeFile(hive + "/inside", "kept");
    HiveRegistry registry(hive);
    RegKey key = 0;
    EXPECT_EQ(registry.regCreateKeyEx(kHkeyUsers, "New", 0, kKeyAllAccess, &key, nullptr),
              kErrorRegistryIoFailed);
    EXPECT_EQ(test::readFile(hive + "/inside"), "kept");
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
        const std::string hive = dir / "hive.reg";
        const std::string before = "REGEDIT4\r\n\r\n[HKEY_USERS\\Old]\r\n";
        test::writeFile(hive, before);
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
        EXPECT_EQ(test::readFile(hive), before);
        struct stat after;
        ASSERT_EQ(::stat(hive.c_str(), &after), 0);
        EXPECT_EQ(after.st_mode & 07777, c.mode);
    }
}

TEST(HiveStore, AnOversizedFileIsNotReadAndNotReplaced) {
    test::TempDir dir;
    std::string hive = dir / "hive.reg";
    test::writeFile(hive, "[HKEY_USERS\\Any]\n");
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
