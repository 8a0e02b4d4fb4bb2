#include "settings/profile.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <ostream>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "temp_settings_env.h"
#include "tests/support/unprivileged.h"

extern char** environ;

namespace pw {
namespace {

class ProfileFileTest : public test::TempSettingsTest {};

TEST_F(ProfileFileTest, MissingFileGivesDefaultAndIsNotCreated) {
    EXPECT_EQ(readProfileString(Env::system(), m_ini, "Parametres", "Langue", "F ", 1), "F");
    EXPECT_FALSE(std::filesystem::exists(m_ini));
    EXPECT_FALSE(std::filesystem::exists(m_ini.parent_path()));
}

TEST_F(ProfileFileTest, FirstWriteCreatesDirectoryAndFile) {
    ASSERT_TRUE(writeProfileString(Env::system(), m_ini, "Index", "IndexMethod", "True ").ok());
    EXPECT_EQ(readBytes(m_ini), "[Index]\r\nIndexMethod=True \r\n");
    EXPECT_EQ(readProfileString(Env::system(), m_ini, "index", "indexmethod", "x", 4), "True");
}

TEST_F(ProfileFileTest, HandWrittenLinesSurviveWritesByteForByte) {
    const std::string handWritten =
        "; my settings, do not lose this\n"
        "\n"
        "[Parametres]\n"
        "Langue=F\n"
        "  # not a comment = kept\n"
        "\n"
        "Tag99=<b>\n"
        "[Index]\r\n"
        ";TagIndex=old\r\n"
        "Source1=/data/";
    writeBytes(m_ini, handWritten);
    ASSERT_TRUE(writeProfileString(Env::system(), m_ini, "Parametres", "Langue", "E").ok());
    ASSERT_TRUE(writeProfileString(Env::system(), m_ini, "Parametres", "Lien", "/pages/").ok());
    ASSERT_TRUE(writeProfileString(Env::system(), m_ini, "Index", "TagIndex", "Tag N°3").ok());
    EXPECT_EQ(readBytes(m_ini),
              "; my settings, do not lose this\n"
              "\n"
              "[Parametres]\n"
              "Langue=E\r\n"
              "  # not a comment = kept\n"
              "\n"
              "Tag99=<b>\n"
              "Lien=/pages/\r\n"
              "[Index]\r\n"
              ";TagIndex=old\r\n"
              "Source1=/data/\r\n"
              "TagIndex=Tag N°3\r\n");
}

TEST_F(ProfileFileTest, WindowsFileLoadsAndKeepsItsBytesOnWrite) {
    // As the Windows program left it: Windows-1252, "°" as the one byte 0xB0.
    writeBytes(m_ini,
               "[Parametres]\r\nTextesource=Tag N\xB0"
               "2\r\nLien=c:\\temp\\caf\xE9\\\r\n");
    EXPECT_EQ(readProfileString(Env::system(), m_ini, "Parametres", "Textesource", "", 99),
              "Tag N°2");
    EXPECT_EQ(readProfileString(Env::system(), m_ini, "Parametres", "Lien", "", 99),
              "c:\\temp\\café\\");

    ASSERT_TRUE(writeProfileString(Env::system(), m_ini, "Parametres", "Langue", "E").ok());
    EXPECT_EQ(readBytes(m_ini),
              "[Parametres]\r\nTextesource=Tag N\xB0"
              "2\r\nLien=c:\\temp\\caf\xE9\\\r\nLangue=E\r\n");
}

TEST_F(ProfileFileTest, SameValueLeavesFileUntouched) {
    writeBytes(m_ini, "[A]\na=1\n");
    struct stat before = {};
    ASSERT_EQ(::stat(m_ini.c_str(), &before), 0);
    ASSERT_TRUE(writeProfileString(Env::system(), m_ini, "A", "a", "1").ok());
    // The line already holds the value but ends with LF: writing it gives it CR LF.
    EXPECT_EQ(readBytes(m_ini), "[A]\na=1\r\n");
    struct stat middle = {};
    ASSERT_EQ(::stat(m_ini.c_str(), &middle), 0);
    ASSERT_TRUE(writeProfileString(Env::system(), m_ini, "A", "a", "1").ok());
    struct stat after = {};
    ASSERT_EQ(::stat(m_ini.c_str(), &after), 0);
    EXPECT_EQ(middle.st_ino, after.st_ino);
    EXPECT_NE(before.st_ino, middle.st_ino);
}

TEST_F(ProfileFileTest, WriteKeepsPermissionsAndLeavesNoTemporaryFile) {
    writeBytes(m_ini, "[A]\r\na=1\r\n");
    std::filesystem::permissions(
        m_ini, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    ASSERT_TRUE(writeProfileString(Env::system(), m_ini, "A", "a", "2").ok());
    EXPECT_EQ(std::filesystem::status(m_ini).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_ini.parent_path())) {
        names.insert(entry.path().filename().string());
    }
    EXPECT_EQ(names, (std::set<std::string>{"PgWright.ini", "PgWright.ini.lock"}));
}

TEST_F(ProfileFileTest, WriteThroughSymbolicLinkChangesTheTarget) {
    const std::filesystem::path target = m_root / "elsewhere" / "real.ini";
    writeBytes(target, "[A]\r\na=1\r\n");
    std::filesystem::create_directories(m_ini.parent_path());
    std::filesystem::create_symlink(target, m_ini);
    ASSERT_TRUE(writeProfileString(Env::system(), m_ini, "A", "a", "2").ok());
    EXPECT_TRUE(std::filesystem::is_symlink(m_ini));
    EXPECT_EQ(readBytes(target), "[A]\r\na=2\r\n");
}

// A settings file this user may not read or write is never replaced: a read gives the
// defaults, a write fails, and the file keeps its bytes and mode, even where the folder would
// allow a rename over it.
TEST_F(ProfileFileTest, AFileThisUserMayNotReadOrWriteIsNeverReplaced) {
    struct Case {
        const char* name;
        mode_t fileMode;
        bool ownedByTheUser;
        bool folderWritable;
    };
    const Case cases[] = {
        {"unreadable", 0000, true, true},
        {"read_only", 0444, true, true},
        {"another_user_s", 0644, false, true},
        {"folder_read_only", 0644, true, false},
    };
    const std::string original = "[Parametres]\r\nLangue=E\r\nOption=2\r\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (::geteuid() != 0 && !c.ownedByTheUser) {
            continue;  // only the superuser can give the file to another user
        }
        writeBytes(m_ini, original);
        const uid_t user = ::geteuid() == 0 ? test::kUnprivilegedId : ::geteuid();
        ASSERT_EQ(::chown(m_ini.c_str(), c.ownedByTheUser ? user : 0, -1), 0);
        ::chmod(m_ini.c_str(), c.fileMode);
        test::openToEveryone(m_root);
        ::chmod(m_ini.parent_path().c_str(), c.folderWritable ? 0777 : 0555);
        EXPECT_TRUE(test::runUnprivileged([&] {
            if (c.fileMode == 0000) {
                EXPECT_EQ(readProfileString(Env::system(), m_ini, "Parametres", "Langue", "F", 9),
                          "F");
            }
            EXPECT_FALSE(
                writeProfileString(Env::system(), m_ini, "Parametres", "Langue", "F").ok());
        }));
        struct stat after;
        ASSERT_EQ(::stat(m_ini.c_str(), &after), 0);
        EXPECT_EQ(after.st_mode & 07777, c.fileMode);
        ::chmod(m_ini.c_str(), 0644);
        ::chmod(m_ini.parent_path().c_str(), 0755);
        EXPECT_EQ(readBytes(m_ini), original);
    }
}

TEST_F(ProfileFileTest, BatchIsAppliedInOrderFromEmpty) {
    writeBytes(m_ini, "[Old]\r\nk=v\r\n");
    const std::vector<ProfileWrite> writes = {
        {"A", "x", "1"}, {"B", "y", "2"}, {"A", "z", "3"}, {"a", "X", "4"}};
    ASSERT_TRUE(writeProfileStrings(Env::system(), m_ini, writes, true).ok());
    EXPECT_EQ(readBytes(m_ini), "[A]\r\nx=4\r\nz=3\r\n[B]\r\ny=2\r\n");
}

TEST_F(ProfileFileTest, RefusedBatchWritesNothing) {
    writeBytes(m_ini, "[A]\r\nx=1\r\n");
    const std::vector<ProfileWrite> writes = {{"A", "x", "2"}, {"A", "y", "bad\nvalue"}};
    EXPECT_EQ(writeProfileStrings(Env::system(), m_ini, writes).code(),
              Status::Code::kInvalidArgument);
    EXPECT_EQ(readBytes(m_ini), "[A]\r\nx=1\r\n");
}

struct CorruptCase {
    const char* name;
    std::string bytes;
};

void PrintTo(const CorruptCase& c, std::ostream* out) {
    *out << c.name;
}

class CorruptFileTest : public test::TempSettingsTest,
                        public ::testing::WithParamInterface<CorruptCase> {};

TEST_P(CorruptFileTest, ReadsDefaultsWritesAndKeepsTheRest) {
    writeBytes(m_ini, GetParam().bytes);
    EXPECT_EQ(readProfileString(Env::system(), m_ini, "Parametres", "Option", "1", 99), "1");
    ASSERT_TRUE(writeProfileString(Env::system(), m_ini, "Parametres", "Option", "2").ok());
    EXPECT_EQ(readProfileString(Env::system(), m_ini, "Parametres", "Option", "1", 99), "2");
    const std::string after = readBytes(m_ini);
    EXPECT_GE(after.size(), GetParam().bytes.size());
}

std::string garbage() {
    std::string bytes;
    unsigned state = 12345;
    for (int i = 0; i < 100000; ++i) {
        state = state * 1103515245u + 12345u;
        bytes.push_back(static_cast<char>(state >> 16));
    }
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CorruptFileTest,
    ::testing::Values(CorruptCase{"binary_garbage", garbage()},
                      CorruptCase{"nul_bytes", std::string("[Para\0metres]\0\r\nOption\0=9\0", 26)},
                      CorruptCase{"ten_megabyte_line",
                                  "[Parametres]\r\nTag99=" + std::string(10'000'000, 'x')},
                      CorruptCase{"no_final_line_end", "[Index]\r\nSource1=/x/"},
                      CorruptCase{"only_line_ends", "\r\r\n\n\n\r"}),
    [](const ::testing::TestParamInfo<CorruptCase>& info) { return std::string(info.param.name); });

TEST_F(ProfileFileTest, TenMegabyteValueIsCutToItsLimit) {
    writeBytes(m_ini, "[Parametres]\nTag99=" + std::string(10'000'000, 'x'));
    EXPECT_EQ(readProfileString(Env::system(), m_ini, "Parametres", "Tag99", "", 499),
              std::string(499, 'x'));
}

pid_t startWriter(const std::filesystem::path& file, const std::string& prefix) {
    std::vector<std::string> args = {SETTINGS_WRITE_KEYS, file.string(), prefix, "1000"};
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        return -1;
    }
    return pid;
}

TEST_F(ProfileFileTest, TwoProcessesWritingAtOnceLoseNoKey) {
    writeBytes(m_ini, "; shared\r\n[Parametres]\r\nLangue=F\r\n");
    const pid_t first = startWriter(m_ini, "a");
    const pid_t second = startWriter(m_ini, "b");
    ASSERT_GT(first, 0);
    ASSERT_GT(second, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(first, &status, 0), first);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_EQ(::waitpid(second, &status, 0), second);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    const IniDocument document = readProfileDocument(Env::system(), m_ini);
    int found = 0;
    for (const char* prefix : {"a", "b"}) {
        for (int i = 0; i < 1000; ++i) {
            const std::string name = prefix + std::to_string(i);
            found += document.read("Stress", name, "", 99) == "value " + name ? 1 : 0;
        }
    }
    EXPECT_EQ(found, 2000);
    EXPECT_EQ(document.read("Parametres", "Langue", "", 1), "F");
    EXPECT_EQ(readBytes(m_ini).rfind("; shared\r\n[Parametres]\r\nLangue=F\r\n[Stress]\r\n", 0),
              0u);
}

}  // namespace
}  // namespace pw
