#include "registry/hive_file.h"

#include <gtest/gtest.h>

#include "registry/registry_api.h"

namespace pw {
namespace {

std::vector<std::uint8_t> bytes(std::string_view text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::vector<std::uint8_t> textValue(std::string_view text) {
    auto data = bytes(text);
    data.push_back(0);
    return data;
}

Hive sampleHive() {
    Hive hive;
    HiveKey& app = hive.roots[2].addSubkey("SOFTWARE").addSubkey("App Paths").addSubkey("Pw.exe");
    app.setValue("", kRegSz, textValue("/usr/lib/pagewright/pagewright"));
    app.setValue("Quote\"And\\Slash", kRegSz, textValue("C:\\x \"y\""));
    app.setValue("N", kRegDword, {5, 0, 0, 0});
    app.setValue("B", kRegBinary, {1, 2});
    app.setValue("Env", kRegExpandSz, textValue("%TEMP%"));
    app.setValue("NoZero", kRegSz, bytes("FullStrin"));
    app.setValue("Lines", kRegSz, textValue("a\r\nb"));
    app.setValue("Long", kRegBinary, std::vector<std::uint8_t>(300, 0xAB));
    app.setValue("Wide", kRegDword, {1, 2, 3, 4, 5, 6, 7, 8});
    app.setValue("Empty", kRegSz, {});
    app.setValue("Français", kRegSz, textValue("données \xB0"));
    hive.roots[0].addSubkey("http").addSubkey("shell").addSubkey("open").addSubkey("command");
    hive.roots[1].setValue("AtRoot", kRegDword, {1, 0, 0, 0});
    return hive;
}

TEST(HiveFile, RoundTripKeepsEveryKeyValueAndType) {
    Hive hive = sampleHive();
    HiveParse parsed = parseHive(formatHive(hive));
    EXPECT_FALSE(parsed.damaged);
    EXPECT_EQ(parsed.hive, hive);
    EXPECT_EQ(formatHive(parsed.hive), formatHive(hive));
}

TEST(HiveFile, WritesTheRegedit4Notation) {
    std::string text = formatHive(sampleHive());
    EXPECT_EQ(text.rfind("REGEDIT4\r\n\r\n", 0), 0u);
    for (const char* line : {
             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\App Paths\\Pw.exe]\r\n",
             "@=\"/usr/lib/pagewright/pagewright\"\r\n",
             "\"Quote\\\"And\\\\Slash\"=\"C:\\\\x \\\"y\\\"\"\r\n",
             "\"N\"=dword:00000005\r\n",
             "\"B\"=hex:01,02\r\n",
             "\"Env\"=hex(2):25,54,45,4d,50,25,00\r\n",
             "\"NoZero\"=hex(1):46,75,6c,6c,53,74,72,69,6e\r\n",
             "\"Wide\"=hex(4):01,02,03,04,05,06,07,08\r\n",
             "[HKEY_CLASSES_ROOT\\http\\shell\\open\\command]\r\n",
             "[HKEY_CURRENT_USER]\r\n\"AtRoot\"=dword:00000001\r\n",
         }) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
    // Keys that only lead to other keys have no header of their own.
    EXPECT_EQ(text.find("[HKEY_LOCAL_MACHINE\\SOFTWARE]"), std::string::npos);
    // Long hex lists continue on the next line.
    EXPECT_NE(text.find(",\\\r\n  ab,"), std::string::npos);
}

TEST(HiveFile, ReadsHandWrittenFiles) {
    std::string text =
        "REGEDIT4\n"
        "; a comment\n"
        "\n"
        "[hkey_local_machine\\Software\\\\Demo\\]\n"
        "@=\"default\"\n"
        "\"Name\" = \"text\"\r\n"
        "\"N\"=dword:5\n"
        "\"B\"=hex:01,\\\n"
        "    02 , 03\n"
        "\"Gone\"=-\n"
        "[-HKEY_LOCAL_MACHINE\\Software\\Old]\n"
        "\"Ignored\"=\"x\"\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\demo]\n"
        "\"name\"=\"second\"";
    HiveParse parsed = parseHive(text);
    EXPECT_FALSE(parsed.damaged);
    const HiveKey* demo = parsed.hive.find(2, {"SOFTWARE", "DEMO"});
    ASSERT_NE(demo, nullptr);
    EXPECT_EQ(demo->name, "Demo");
    ASSERT_EQ(demo->values.size(), 4u);
    EXPECT_EQ(demo->values[0], (HiveValue{"", kRegSz, textValue("default")}));
    EXPECT_EQ(demo->values[1], (HiveValue{"Name", kRegSz, textValue("second")}));
    EXPECT_EQ(demo->values[2], (HiveValue{"N", kRegDword, {5, 0, 0, 0}}));
    EXPECT_EQ(demo->values[3], (HiveValue{"B", kRegBinary, {1, 2, 3}}));
    EXPECT_EQ(parsed.hive.find(2, {"Software", "Old"}), nullptr);
}

struct DamagedCase {
    const char* name;
    std::string text;
    bool keepsGood;
};

TEST(HiveFile, DamagedLinesAreSkippedAndTheRestKept) {
    const std::string good = "[HKEY_CURRENT_USER\\Good]\n\"V\"=\"ok\"\n";
    const DamagedCase cases[] = {
        {"value before any key", "\"Orphan\"=\"x\"\n" + good, true},
        {"unknown root", "[HKEY_NOWHERE\\x]\n\"V\"=\"x\"\n" + good, true},
        {"header without bracket", "[HKEY_CURRENT_USER\\x\n" + good, true},
        {"unterminated text", good + "\"W\"=\"abc\n", true},
        {"text followed by junk", good + "\"W\"=\"abc\" junk\n", true},
        {"bad hex", good + "\"W\"=hex:0g,01\n", true},
        {"dword too long", good + "\"W\"=dword:123456789\n", true},
        {"unknown data", good + "\"W\"=str:abc\n", true},
        {"continuation at the end", good + "\"W\"=hex:01,\\", true},
        {"line without equals", good + "\"W\"\n", true},
        {"binary noise", std::string("\x00\xff\x13[\x80]\n\"\\", 9), false},
    };
    for (const auto& c : cases) {
        HiveParse parsed = parseHive(c.text);
        EXPECT_TRUE(parsed.damaged) << c.name;
        const HiveKey* key = parsed.hive.find(1, {"Good"});
        if (c.keepsGood) {
            ASSERT_NE(key, nullptr) << c.name;
            EXPECT_EQ(key->findValue("V")->data, textValue("ok")) << c.name;
            EXPECT_EQ(key->findValue("W"), nullptr) << c.name;
        } else {
            EXPECT_EQ(parsed.hive, Hive()) << c.name;
        }
    }
}

TEST(HiveFile, NamesCompareWithoutCaseAndKeepTheFirstSpelling) {
    HiveParse parsed = parseHive(
        "[HKEY_USERS\\CaseKey]\n\"MyVal\"=\"1\"\n[HKEY_USERS\\casekey]\n\"MYVAL\"=\"22\"\n");
    const HiveKey& users = parsed.hive.roots[3];
    ASSERT_EQ(users.subkeys.size(), 1u);
    EXPECT_EQ(users.subkeys[0].name, "CaseKey");
    ASSERT_EQ(users.subkeys[0].values.size(), 1u);
    EXPECT_EQ(users.subkeys[0].values[0].name, "MyVal");
    EXPECT_EQ(users.subkeys[0].values[0].data, textValue("22"));
}

TEST(HiveFile, KeysDeeperThanTheSystemAllowsAreNotRead) {
    auto header = [](size_t depth) {
        std::string text = "[HKEY_USERS";
        for (size_t i = 0; i < depth; ++i) {
            text += "\\k";
        }
        return text + "]\n";
    };
    HiveParse deepest = parseHive(header(kMaxKeyDepth));
    EXPECT_FALSE(deepest.damaged);
    EXPECT_FALSE(deepest.hive == Hive());
    HiveParse tooDeep = parseHive(header(kMaxKeyDepth + 1));
    EXPECT_TRUE(tooDeep.damaged);
    EXPECT_EQ(tooDeep.hive, Hive());
}

TEST(HiveFile, EmptyInputIsAnEmptyHive) {
    HiveParse parsed = parseHive("");
    EXPECT_FALSE(parsed.damaged);
    EXPECT_EQ(parsed.hive, Hive());
}

}  // namespace
}  // namespace pw
