#include "registry/win_registry.h"

#include <gtest/gtest.h>

#include "registry_test_support.h"

namespace pw {
namespace {

class WinRegistryTest : public ::testing::Test {
  protected:
    WinRegistryTest()
        : api(dir / "hive.reg"),
          registry(RegistryMessageSink([this](const std::string& m) { messages.push_back(m); }),
                   api) {}

    // Opens HKEY_CURRENT_USER\Test, creating it.
    void openTestKey() {
        registry.CreateKey(kHkeyCurrentUser, "Test", kKeyAllAccess, false);
        ASSERT_EQ(registry.lastError(), 0);
    }

    test::TempDir dir;
    test::CountingRegistry api;
    std::vector<std::string> messages;
    WinRegistry registry;
};

TEST_F(WinRegistryTest, AnUnknownRootIsRefusedBeforeTheRegistryIsCalled) {
    registry.OpenKey(0x80000007, "SOFTWARE", kKeyAllAccess);
    EXPECT_EQ(registry.lastError(), kErrBadRootKey);
    EXPECT_EQ(api.calls, 0);
    EXPECT_EQ(messages, std::vector<std::string>{"Erreur OpenKey : 30256"});
    EXPECT_EQ(registry.CreateKey(0x7FFFFFFF, "SOFTWARE", kKeyAllAccess, false), 0);
    EXPECT_EQ(registry.lastError(), kErrBadRootKey);
    EXPECT_EQ(api.calls, 0);
}

TEST_F(WinRegistryTest, SubkeyNameChecks) {
    struct Case {
        std::string name;
        long expected;
    };
    const Case cases[] = {
        {std::string(255, 'k'), 0},
        {std::string(256, 'k'), kErrBadSubkeyName},
        {"\\Leading", kErrBadSubkeyName},
        {"Trailing\\", 0},
    };
    for (const auto& c : cases) {
        registry.CreateKey(kHkeyCurrentUser, c.name, kKeyAllAccess, false);
        EXPECT_EQ(registry.lastError(), c.expected) << c.name.size();
        registry.OpenKey(kHkeyCurrentUser, c.name, kKeyRead);
        EXPECT_EQ(registry.lastError(), c.expected) << c.name.size();
        registry.OpenKey(kHkeyCurrentUser, "", kKeyAllAccess);
        registry.DeleteKey(c.name);
        EXPECT_EQ(registry.lastError(), c.expected) << c.name.size();
    }
}

TEST_F(WinRegistryTest, ChecksComeInTheOrderOfTheErrorTable) {
    // Both arguments are bad: the subkey name is checked before the access mask, and before
    // the open key.
    registry.OpenKey(kHkeyCurrentUser, std::string(300, 'x'), 0x1234);
    EXPECT_EQ(registry.lastError(), kErrBadSubkeyName);
    registry.OpenKey(kHkeyCurrentUser, "x", 0x1234);
    EXPECT_EQ(registry.lastError(), kErrBadAccess);
    registry.DeleteKey("\\x");
    EXPECT_EQ(registry.lastError(), kErrBadSubkeyName);
    registry.SaveValue(std::string(256, 'v'), std::string("x"));
    EXPECT_EQ(registry.lastError(), kErrBadValueName);
    registry.GetSubkeyName(-1);
    EXPECT_EQ(registry.lastError(), kErrNoKeyOpen);
}

TEST_F(WinRegistryTest, EveryTableAccessMaskIsAccepted) {
    for (std::uint32_t access :
         {0xF003Fu, 0x1u, 0x2u, 0x20006u, 0x20019u, 0x4u, 0x8u, 0x10u, 0x20u}) {
        registry.CreateKey(kHkeyCurrentUser, "Access", access, false);
        EXPECT_EQ(registry.lastError(), 0) << access;
    }
    registry.CreateKey(kHkeyCurrentUser, "Access", 0x3, false);
    EXPECT_EQ(registry.lastError(), kErrBadAccess);
}

TEST_F(WinRegistryTest, MissingValuesReadAsEmptyWithoutAMessage) {
    openTestKey();
    EXPECT_TRUE(std::holds_alternative<std::monostate>(registry.QueryValue("")));
    EXPECT_EQ(registry.lastError(), 0);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(registry.QueryValue("Missing")));
    EXPECT_EQ(registry.lastError(), kErrorFileNotFound);
    EXPECT_TRUE(messages.empty());
}

TEST_F(WinRegistryTest, ALongTextIsReadWhole) {
    openTestKey();
    std::string text;
    for (int i = 0; i < 300; ++i) {
        text.push_back(static_cast<char>('a' + i % 26));
    }
    registry.SaveValue("Long", text);
    int before = api.queries;
    EXPECT_EQ(registry.QueryValue("Long"), RegistryData(text));
    EXPECT_EQ(api.queries - before, 2);  // the first read reports the size it needs
    registry.SaveValue("", text);
    EXPECT_EQ(registry.QueryValue(""), RegistryData(text));
    EXPECT_TRUE(messages.empty());
}

TEST_F(WinRegistryTest, ValuesRoundTripByKind) {
    openTestKey();
    struct Case {
        const char* name;
        RegistryData saved;
        std::uint32_t type;
        RegistryData read;
    };
    const Case cases[] = {
        {"Short", std::int16_t{5}, kRegDword, std::int32_t{5}},
        {"Negative", std::int16_t{-2}, kRegDword, std::int32_t{-2}},
        {"Byte", std::uint8_t{200}, kRegDword, std::int32_t{200}},
        {"Long", std::int32_t{-123456}, kRegDword, std::int32_t{-123456}},
        {"Text", std::string("Français"), kRegSz, std::string("Français")},
        {"EmptyText", std::string(), kRegSz, std::string()},
        {"Bytes", RegistryBytes{0, 1, 255}, kRegBinary, RegistryBytes{0, 1, 255}},
        {"NoBytes", RegistryBytes{}, kRegBinary, RegistryBytes{}},
    };
    for (const auto& c : cases) {
        registry.SaveValue(c.name, c.saved);
        EXPECT_EQ(registry.lastError(), 0) << c.name;
        std::uint32_t type = 0;
        std::uint32_t size = 0;
        ASSERT_EQ(api.inner().regQueryValueEx(registry.openKey(), c.name, &type, nullptr, &size),
                  0);
        EXPECT_EQ(type, c.type) << c.name;
        if (type == kRegDword) {
            EXPECT_EQ(size, 4u) << c.name;
        }
        EXPECT_EQ(registry.QueryValue(c.name), c.read) << c.name;
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(WinRegistryTest, KindsThatCannotBeStored) {
    openTestKey();
    registry.SaveValue("Float", 2.5);
    EXPECT_EQ(registry.lastError(), kErrorInvalidParameter);
    registry.SaveValue("Nothing", std::monostate());
    EXPECT_EQ(registry.lastError(), kErrorInvalidParameter);
    registry.SaveValue("", std::int32_t{5});
    EXPECT_EQ(registry.lastError(), kErrCannotStore);
    registry.SaveValue("Huge", RegistryBytes(32768));
    EXPECT_EQ(registry.lastError(), kErrOverflow);
    registry.SaveValue("Largest", RegistryBytes(32767, 7));
    EXPECT_EQ(registry.lastError(), 0);
    EXPECT_EQ(registry.QueryValue("Largest"), RegistryData(RegistryBytes(32767, 7)));
    EXPECT_EQ(messages,
              (std::vector<std::string>{"Erreur SaveValue : 87", "Erreur SaveValue : 87",
                                        "Erreur SaveValue : 30259", "Erreur SaveValue : 6"}));
    EXPECT_EQ(registry.ErrTxt(87), "Undefined registry return error code.");
    EXPECT_EQ(registry.ErrTxt(30259), "Undefined registry return error code.");
}

TEST_F(WinRegistryTest, StoredTypesThatCannotBeReturned) {
    openTestKey();
    RegKey key = registry.openKey();
    const std::uint8_t text[] = "%TEMP%";
    api.inner().regSetValueEx(key, "Expand", kRegExpandSz, text, sizeof text);
    api.inner().regSetValueEx(key, "Multi", kRegMultiSz, text, sizeof text);
    api.inner().regSetValueEx(key, "None", kRegNone, nullptr, 0);
    api.inner().regSetValueEx(key, "Short", kRegDword, text, 2);
    api.inner().regSetValueEx(key, "Unterminated", kRegSz, text, 3);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(registry.QueryValue("Expand")));
    EXPECT_EQ(registry.lastError(), kErrBadValueType);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(registry.QueryValue("Multi")));
    EXPECT_EQ(registry.lastError(), kErrBadValueType);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(registry.QueryValue("None")));
    EXPECT_EQ(registry.lastError(), 0);
    // A short number and a text without its terminating zero read without losing a byte.
    EXPECT_EQ(registry.QueryValue("Short"), RegistryData(std::int32_t{'%' | ('T' << 8)}));
    EXPECT_EQ(registry.QueryValue("Unterminated"), RegistryData(std::string("%TE")));
    EXPECT_TRUE(messages.empty());
}

TEST_F(WinRegistryTest, Enumeration) {
    openTestKey();
    for (const char* name : {"b", "A", "c"}) {
        registry.CreateKey(kHkeyCurrentUser, std::string("Test\\") + name, kKeyAllAccess, false);
    }
    registry.OpenKey(kHkeyCurrentUser, "Test", kKeyAllAccess);
    registry.SaveValue("Big", RegistryBytes(1000, 1));
    registry.SaveValue("Small", std::int32_t{1});
    ASSERT_EQ(registry.SubkeyCount(), 3);
    EXPECT_EQ(registry.ValueCount(), 2);
    std::vector<std::string> names;
    for (int i = 0; i < registry.SubkeyCount(); ++i) {
        names.push_back(registry.GetSubkeyName(i));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"A", "b", "c"}));
    EXPECT_EQ(registry.GetValueName(0), "Big");
    EXPECT_EQ(registry.GetValueName(1), "Small");
    EXPECT_TRUE(messages.empty());

    EXPECT_EQ(registry.GetSubkeyName(-1), "");
    EXPECT_EQ(registry.lastError(), kErrBadIndex);
    EXPECT_EQ(registry.GetSubkeyName(3), "");
    EXPECT_EQ(registry.lastError(), kErrorNoMoreItems);
    EXPECT_EQ(registry.GetValueName(-1), "");
    EXPECT_EQ(registry.GetValueName(2), "");
    EXPECT_EQ(messages, (std::vector<std::string>{
                            "Erreur GetSubkeyName : 30263", "Erreur GetSubkeyName : 259",
                            "Erreur GetValueName : 30263", "Erreur GetValueName : 259"}));
}

TEST_F(WinRegistryTest, EveryOperationNeedsAnOpenKey) {
    registry.DeleteKey("x");
    EXPECT_EQ(registry.SubkeyCount(), 0);
    EXPECT_EQ(registry.ValueCount(), 0);
    registry.GetSubkeyName(0);
    registry.GetValueName(0);
    registry.DeleteValue("x");
    registry.SaveValue("x", std::string("y"));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(registry.QueryValue("x")));
    EXPECT_EQ(registry.lastError(), kErrNoKeyOpen);
    EXPECT_EQ(messages,
              (std::vector<std::string>{"Erreur DeleteKey : 30261", "Erreur GetCount : 30261",
                                        "Erreur GetCount : 30261", "Erreur GetSubkeyName : 30261",
                                        "Erreur GetValueName : 30261", "Erreur DeleteValue : 30261",
                                        "Erreur SaveValue : 30261"}));
    EXPECT_EQ(api.calls, 0);
}

TEST_F(WinRegistryTest, SystemFailuresAreShownWithTheirCode) {
    openTestKey();
    registry.CreateKey(kHkeyCurrentUser, "Test\\Child\\Grandchild", kKeyAllAccess, false);
    registry.OpenKey(kHkeyCurrentUser, "Test", kKeyAllAccess);
    registry.DeleteKey("Child");
    registry.DeleteValue("Missing");
    registry.OpenKey(kHkeyCurrentUser, "Nowhere", kKeyRead);
    EXPECT_EQ(messages, (std::vector<std::string>{"Erreur DeleteKey : 5", "Erreur DeleteValue : 2",
                                                  "Erreur OpenKey : 2"}));
}

TEST_F(WinRegistryTest, CloseKeyTwiceAndFailedOpensLeaveNoKeyOpen) {
    registry.CloseKey();
    EXPECT_EQ(api.calls, 0);
    openTestKey();
    registry.CloseKey();
    int closes = api.closes;
    registry.CloseKey();
    EXPECT_EQ(api.closes, closes);
    EXPECT_EQ(registry.openKey(), 0u);

    openTestKey();
    registry.OpenKey(kHkeyCurrentUser, "Nowhere", kKeyAllAccess);
    EXPECT_EQ(registry.openKey(), 0u);
    EXPECT_EQ(api.inner().openHandleCount(), 0u);
    openTestKey();
    registry.OpenKey(0x80000007, "Test", kKeyAllAccess);
    EXPECT_EQ(registry.openKey(), 0u);
    EXPECT_EQ(api.inner().openHandleCount(), 0u);
    EXPECT_EQ(messages.size(), 2u);
}

TEST_F(WinRegistryTest, CreateKeyReportsItsDispositionAndTheObjectClosesItsKey) {
    EXPECT_EQ(registry.CreateKey(kHkeyLocalMachine, "SOFTWARE\\New", kKeyAllAccess, false), 1);
    EXPECT_EQ(registry.CreateKey(kHkeyLocalMachine, "software\\new", kKeyAllAccess, true), 2);
    {
        WinRegistry other(RegistryMessageSink(), api);
        other.OpenKey(kHkeyLocalMachine, "SOFTWARE", kKeyRead);
        EXPECT_EQ(api.inner().openHandleCount(), 2u);
    }
    EXPECT_EQ(api.inner().openHandleCount(), 1u);
}

TEST(SilentWinRegistry, ShowsNothingAndRecordsTheOpenResult) {
    test::TempDir dir;
    HiveRegistry api(dir / "hive.reg");
    SilentWinRegistry registry(SilentFailures(), api);
    registry.CreateKey(kHkeyLocalMachine, "SOFTWARE\\Here", kKeyAllAccess, false);
    registry.OpenKey(kHkeyLocalMachine, "SOFTWARE\\Here", kKeyAllAccess);
    EXPECT_EQ(registryOpenResult(), 0);
    registry.OpenKey(kHkeyLocalMachine, "SOFTWARE\\Gone", kKeyAllAccess);
    EXPECT_EQ(registryOpenResult(), 2);
    EXPECT_EQ(registry.lastError(), 2);
    registry.OpenKey(0x80000007, "SOFTWARE", kKeyAllAccess);
    EXPECT_EQ(registryOpenResult(), 30256);
    registry.OpenKey(kHkeyLocalMachine, "SOFTWARE\\Here", kKeyAllAccess);
    EXPECT_EQ(registryOpenResult(), 0);
    registry.SaveValue("x", 1.5);
    EXPECT_EQ(registry.lastError(), kErrorInvalidParameter);
}

}  // namespace
}  // namespace pw
