#include "registry/hive_registry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>

#include "registry/hive.h"
#include "registry/hive_store.h"
#include "tests/support/temp_dir.h"

namespace pw {
namespace {

class HiveRegistryTest : public ::testing::Test {
  protected:
    HiveRegistryTest() : registry(dir / "hive.reg") {}

    RegKey create(RegKey parent, const char* path, std::uint32_t* disposition = nullptr) {
        RegKey key = 0;
        EXPECT_EQ(registry.regCreateKeyEx(parent, path, 0, kKeyAllAccess, &key, disposition), 0)
            << path;
        return key;
    }

    void setText(RegKey key, const char* name, const std::string& text) {
        ASSERT_EQ(registry.regSetValueEx(key, name, kRegSz,
                                         reinterpret_cast<const std::uint8_t*>(text.c_str()),
                                         static_cast<std::uint32_t>(text.size() + 1)),
                  0);
    }

    std::vector<std::string> subkeyNames(RegKey key) {
        std::vector<std::string> names;
        for (std::uint32_t i = 0;; ++i) {
            char name[300];
            std::uint32_t size = sizeof name;
            long code = registry.regEnumKeyEx(key, i, name, &size, nullptr, nullptr);
            if (code != 0) {
                EXPECT_EQ(code, kErrorNoMoreItems);
                return names;
            }
            names.emplace_back(name, size);
        }
    }

    test::TempDir dir;
    HiveRegistry registry;
};

TEST_F(HiveRegistryTest, CreateReportsNewThenExistingAndMakesParents) {
    std::uint32_t disposition = 0;
    RegKey abc = create(kHkeyCurrentUser, "Probe\\a\\b\\c", &disposition);
    EXPECT_EQ(disposition, kRegCreatedNewKey);
    create(kHkeyCurrentUser, "probe\\A\\b\\C", &disposition);
    EXPECT_EQ(disposition, kRegOpenedExistingKey);
    RegKey parent = 0;
    EXPECT_EQ(registry.regOpenKeyEx(kHkeyCurrentUser, "PROBE\\a", 0, kKeyRead, &parent), 0);
    EXPECT_EQ(subkeyNames(parent), std::vector<std::string>{"b"});
    EXPECT_EQ(registry.regCloseKey(abc), 0);
    EXPECT_EQ(registry.regCloseKey(parent), 0);
}

TEST_F(HiveRegistryTest, PathRules) {
    RegKey key = 0;
    EXPECT_EQ(registry.regCreateKeyEx(kHkeyCurrentUser, "\\a", 0, kKeyAllAccess, &key, nullptr),
              kErrorBadPathname);
    EXPECT_EQ(registry.regOpenKeyEx(kHkeyCurrentUser, "\\a", 0, kKeyAllAccess, &key),
              kErrorBadPathname);
    create(kHkeyCurrentUser, "trail\\");
    create(kHkeyCurrentUser, "dbl\\\\x");
    EXPECT_EQ(registry.regOpenKeyEx(kHkeyCurrentUser, "dbl\\x", 0, kKeyRead, &key), 0);
    EXPECT_EQ(registry.regOpenKeyEx(kHkeyCurrentUser, "missing", 0, kKeyRead, &key),
              kErrorFileNotFound);
    EXPECT_EQ(key, 0u);
    create(kHkeyCurrentUser, std::string(255, 'a').c_str());
    create(kHkeyCurrentUser, ("p\\" + std::string(256, 'b')).c_str());
    EXPECT_EQ(registry.regCreateKeyEx(kHkeyCurrentUser, std::string(257, 'c').c_str(), 0,
                                      kKeyAllAccess, &key, nullptr),
              kErrorInvalidParameter);
    std::string deep;
    for (size_t i = 0; i < kMaxKeyDepth; ++i) {
        deep += "d\\";
    }
    registry.regCloseKey(create(kHkeyCurrentUser, deep.c_str()));
    EXPECT_EQ(registry.regCreateKeyEx(kHkeyCurrentUser, (deep + "d").c_str(), 0, kKeyAllAccess,
                                      &key, nullptr),
              kErrorInvalidParameter);
    EXPECT_EQ(
        registry.regCreateKeyEx(kHkeyCurrentUser, "line\nbreak", 0, kKeyAllAccess, &key, nullptr),
        kErrorInvalidParameter);
}

TEST_F(HiveRegistryTest, QueryGivesMoreDataWithTheSizeThatCountsTheTerminatingZero) {
    RegKey key = create(kHkeyCurrentUser, "Strings");
    std::string text(300, 'x');
    setText(key, "s300", text);
    std::vector<std::uint8_t> buffer(400, '#');
    std::uint32_t size = 256;
    std::uint32_t type = 0;
    EXPECT_EQ(registry.regQueryValueEx(key, "s300", &type, buffer.data(), &size), kErrorMoreData);
    EXPECT_EQ(size, 301u);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(buffer[0], '#');
    size = 0;
    EXPECT_EQ(registry.regQueryValueEx(key, "s300", &type, nullptr, &size), 0);
    EXPECT_EQ(size, 301u);
    EXPECT_EQ(registry.regQueryValueEx(key, "s300", &type, buffer.data(), &size), 0);
    EXPECT_EQ(std::memcmp(buffer.data(), text.c_str(), 301), 0);
    EXPECT_EQ(registry.regQueryValueEx(key, "s300", &type, buffer.data(), nullptr),
              kErrorInvalidParameter);
}

TEST_F(HiveRegistryTest, MissingValuesAndKeys) {
    RegKey key = create(kHkeyCurrentUser, "Fresh");
    std::uint8_t buffer[10];
    std::uint32_t size = sizeof buffer;
    EXPECT_EQ(registry.regQueryValueEx(key, nullptr, nullptr, buffer, &size), kErrorFileNotFound);
    EXPECT_EQ(registry.regQueryValueEx(key, "", nullptr, buffer, &size), kErrorFileNotFound);
    EXPECT_EQ(registry.regQueryValueEx(key, "named", nullptr, buffer, &size), kErrorFileNotFound);
    EXPECT_EQ(registry.regDeleteValue(key, "named"), kErrorFileNotFound);
    EXPECT_EQ(registry.regDeleteKey(key, "nothing"), kErrorFileNotFound);
}

TEST_F(HiveRegistryTest, DwordAndTextWithoutTerminator) {
    RegKey key = create(kHkeyCurrentUser, "Numbers");
    std::uint8_t five[4] = {5, 0, 0, 0};
    ASSERT_EQ(registry.regSetValueEx(key, "n", kRegDword, five, 4), 0);
    std::uint8_t buffer[11];
    std::uint32_t size = 2;
    std::uint32_t type = 0;
    EXPECT_EQ(registry.regQueryValueEx(key, "N", &type, buffer, &size), kErrorMoreData);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(type, kRegDword);

    ASSERT_EQ(registry.regSetValueEx(key, "full", kRegSz,
                                     reinterpret_cast<const std::uint8_t*>("FullString"), 9),
              0);
    std::memset(buffer, '#', sizeof buffer);
    size = 9;
    EXPECT_EQ(registry.regQueryValueEx(key, "full", &type, buffer, &size), 0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 10), "FullStrin#");
    size = 10;
    EXPECT_EQ(registry.regQueryValueEx(key, "full", &type, buffer, &size), 0);
    EXPECT_EQ(size, 9u);
    EXPECT_EQ(buffer[9], 0);
}

TEST_F(HiveRegistryTest, NamesCompareWithoutCaseKeepingTheFirstSpelling) {
    RegKey key = create(kHkeyCurrentUser, "CaseKey");
    setText(key, "MyVal", "1");
    setText(key, "myval", "22");
    std::uint8_t buffer[10];
    std::uint32_t size = sizeof buffer;
    EXPECT_EQ(registry.regQueryValueEx(key, "MYVAL", nullptr, buffer, &size), 0);
    EXPECT_STREQ(reinterpret_cast<char*>(buffer), "22");
    char name[10];
    std::uint32_t nameSize = sizeof name;
    EXPECT_EQ(registry.regEnumValue(key, 0, name, &nameSize, nullptr, nullptr, nullptr), 0);
    EXPECT_STREQ(name, "MyVal");
    std::uint32_t disposition = 0;
    create(kHkeyCurrentUser, "casekey", &disposition);
    EXPECT_EQ(disposition, kRegOpenedExistingKey);
    create(kHkeyCurrentUser, "MiXed");
    create(kHkeyCurrentUser, "mixed");
    EXPECT_EQ(subkeyNames(kHkeyCurrentUser), (std::vector<std::string>{"CaseKey", "MiXed"}));
}

TEST_F(HiveRegistryTest, EnumeratesSubkeysSortedAndValuesInCreationOrder) {
    RegKey key = create(kHkeyCurrentUser, "Order");
    for (const char* name : {"beta", "Alpha", "gamma", "Zed", "10", "9"}) {
        create(key, name);
    }
    EXPECT_EQ(subkeyNames(key),
              (std::vector<std::string>{"10", "9", "Alpha", "beta", "gamma", "Zed"}));
    char name[8];
    std::uint32_t size = 5;
    std::memset(name, '#', sizeof name);
    EXPECT_EQ(registry.regEnumKeyEx(key, 2, name, &size, nullptr, nullptr), kErrorMoreData);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(name[0], '#');
    size = 6;
    EXPECT_EQ(registry.regEnumKeyEx(key, 2, name, &size, nullptr, nullptr), 0);
    EXPECT_EQ(size, 5u);
    EXPECT_STREQ(name, "Alpha");
    size = sizeof name;
    EXPECT_EQ(registry.regEnumKeyEx(key, 1000, name, &size, nullptr, nullptr), kErrorNoMoreItems);

    for (const char* value : {"zeta", "Alpha", "MyVal"}) {
        setText(key, value, "hello");
    }
    std::vector<std::string> values;
    for (std::uint32_t i = 0;; ++i) {
        size = sizeof name;
        long code = registry.regEnumValue(key, i, name, &size, nullptr, nullptr, nullptr);
        if (code == kErrorNoMoreItems) {
            break;
        }
        ASSERT_EQ(code, 0);
        values.emplace_back(name, size);
    }
    EXPECT_EQ(values, (std::vector<std::string>{"zeta", "Alpha", "MyVal"}));

    std::uint32_t dataSize = 2;
    std::uint8_t data[8];
    size = 3;
    EXPECT_EQ(registry.regEnumValue(key, 0, name, &size, nullptr, data, &dataSize), kErrorMoreData);
    EXPECT_EQ(dataSize, 6u);
    size = sizeof name;
    dataSize = 2;
    EXPECT_EQ(registry.regEnumValue(key, 0, name, &size, nullptr, data, &dataSize), kErrorMoreData);
    EXPECT_EQ(dataSize, 6u);
}

TEST_F(HiveRegistryTest, QueryInfoCountsAndLongestNames) {
    RegKey key = create(kHkeyCurrentUser, "Info");
    std::uint32_t counts[6];
    auto query = [&] {
        return registry.regQueryInfoKey(key, nullptr, nullptr, &counts[0], &counts[1], &counts[2],
                                        &counts[3], &counts[4], &counts[5]);
    };
    EXPECT_EQ(query(), 0);
    EXPECT_EQ(std::vector<std::uint32_t>(counts, counts + 6),
              (std::vector<std::uint32_t>{0, 0, 0, 0, 0, 0}));
    create(key, "Alpha");
    create(key, "b");
    setText(key, "zeta", "hello");
    std::uint8_t five[4] = {5, 0, 0, 0};
    registry.regSetValueEx(key, "LongerName", kRegDword, five, 4);
    EXPECT_EQ(query(), 0);
    EXPECT_EQ(std::vector<std::uint32_t>(counts, counts + 6),
              (std::vector<std::uint32_t>{2, 5, 0, 2, 10, 12}));
}

TEST_F(HiveRegistryTest, DeletingAKeyWithSubkeysIsRefused) {
    RegKey key = create(kHkeyCurrentUser, "Tree");
    create(key, "child\\grandchild");
    EXPECT_EQ(registry.regDeleteKey(key, "child"), kErrorAccessDenied);
    EXPECT_EQ(registry.regDeleteKey(key, ""), kErrorAccessDenied);
    EXPECT_EQ(registry.regDeleteKey(key, "CHILD\\Grandchild"), 0);
    EXPECT_EQ(registry.regDeleteKey(key, "child"), 0);
    EXPECT_TRUE(subkeyNames(key).empty());
    EXPECT_EQ(registry.regDeleteKey(kHkeyCurrentUser, ""), kErrorAccessDenied);
}

TEST_F(HiveRegistryTest, HandlesOfDeletedKeysAndAccessRights) {
    RegKey stale = create(kHkeyCurrentUser, "Stale");
    ASSERT_EQ(registry.regDeleteKey(kHkeyCurrentUser, "Stale"), 0);
    std::uint8_t one = 1;
    EXPECT_EQ(registry.regSetValueEx(stale, "v", kRegBinary, &one, 1), kErrorKeyDeleted);
    EXPECT_EQ(registry.regCloseKey(stale), 0);

    EXPECT_EQ(registry.regCloseKey(create(kHkeyCurrentUser, "ReadOnly")), 0);
    RegKey readOnly = 0;
    ASSERT_EQ(registry.regOpenKeyEx(kHkeyCurrentUser, "ReadOnly", 0, kKeyRead, &readOnly), 0);
    EXPECT_EQ(registry.regSetValueEx(readOnly, "v", kRegBinary, &one, 1), kErrorAccessDenied);
    RegKey sub = 0;
    EXPECT_EQ(registry.regCreateKeyEx(readOnly, "sub", 0, kKeyAllAccess, &sub, nullptr),
              kErrorAccessDenied);

    EXPECT_EQ(registry.regCloseKey(readOnly), 0);
    EXPECT_EQ(registry.regCloseKey(readOnly), kErrorInvalidHandle);
    EXPECT_EQ(registry.regCloseKey(0), kErrorInvalidHandle);
    EXPECT_EQ(registry.regCloseKey(kHkeyCurrentUser), 0);
    EXPECT_EQ(registry.regOpenKeyEx(0x1234, "x", 0, kKeyRead, &sub), kErrorInvalidHandle);
    EXPECT_EQ(registry.openHandleCount(), 0u);
}

TEST_F(HiveRegistryTest, ChangesAreSharedThroughTheFile) {
    RegKey key = create(kHkeyLocalMachine, "SOFTWARE\\Shared");
    setText(key, "v", "first");
    HiveRegistry other(dir / "hive.reg");
    RegKey otherKey = 0;
    ASSERT_EQ(
        other.regOpenKeyEx(kHkeyLocalMachine, "software\\shared", 0, kKeyAllAccess, &otherKey), 0);
    std::uint8_t buffer[16];
    std::uint32_t size = sizeof buffer;
    ASSERT_EQ(other.regQueryValueEx(otherKey, "V", nullptr, buffer, &size), 0);
    EXPECT_STREQ(reinterpret_cast<char*>(buffer), "first");
    std::string text = test::readFile(dir / "hive.reg");
    EXPECT_NE(text.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Shared]\r\n\"v\"=\"first\"\r\n"),
              std::string::npos);
}

TEST(HivePath, FollowsTheEnvironment) {
    struct Case {
        const char* registry;
        const char* xdg;
        const char* home;
        const char* expected;
    };
    const Case cases[] = {
        {"/r/hive.reg", "/x", "/h", "/r/hive.reg"},
        {"", "/x", "/h", "/x/pagewright/registry.reg"},
        {nullptr, "/x", "/h", "/x/pagewright/registry.reg"},
        {nullptr, nullptr, "/h", "/h/.config/pagewright/registry.reg"},
        {nullptr, "", "/h", "/h/.config/pagewright/registry.reg"},
    };
    auto set = [](const char* name, const char* value) {
        if (value == nullptr) {
            ::unsetenv(name);
        } else {
            ::setenv(name, value, 1);
        }
    };
    std::vector<std::pair<const char*, std::optional<std::string>>> saved;
    for (const char* name : {"PAGEWRIGHT_REGISTRY", "XDG_CONFIG_HOME", "HOME"}) {
        const char* value = std::getenv(name);
        saved.emplace_back(name,
                           value != nullptr ? std::optional<std::string>(value) : std::nullopt);
    }
    for (const auto& c : cases) {
        set("PAGEWRIGHT_REGISTRY", c.registry);
        set("XDG_CONFIG_HOME", c.xdg);
        set("HOME", c.home);
        EXPECT_EQ(hivePath(), c.expected);
    }
    for (const auto& [name, value] : saved) {
        set(name, value ? value->c_str() : nullptr);
    }
}

}  // namespace
}  // namespace pw
