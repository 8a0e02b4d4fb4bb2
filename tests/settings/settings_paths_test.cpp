#include "settings/settings_paths.h"

#include <cstdlib>

#include <gtest/gtest.h>

#include "temp_settings_env.h"

namespace pw {
namespace {

using test::readFile;
using test::writeFile;

class SettingsPathsTest : public test::TempSettingsTest {};

TEST_F(SettingsPathsTest, IniVariableWinsThenXdgThenHome) {
    EXPECT_EQ(settingsFilePath(), m_ini);
    ::setenv("PAGEWRIGHT_INI", "", 1);
    EXPECT_EQ(settingsFilePath(), m_root / "config" / "PgWright.ini");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(settingsFilePath(), m_home / ".config" / "PgWright.ini");
    ::setenv("XDG_CONFIG_HOME", "relative/dir", 1);
    EXPECT_EQ(settingsFilePath(), m_home / ".config" / "PgWright.ini");
}

TEST_F(SettingsPathsTest, DefaultDirectoryEndsWithSlashAndIsCreated) {
    const std::string expected = (m_home / "Pagewright").string() + "/";
    EXPECT_EQ(defaultDirectory(), expected);
    ::setenv("HOME", (m_home.string() + "/").c_str(), 1);
    EXPECT_EQ(defaultDirectory(), expected);
    EXPECT_FALSE(std::filesystem::exists(expected));
    ASSERT_TRUE(ensureDefaultDirectory().ok());
    EXPECT_TRUE(std::filesystem::is_directory(expected));
    EXPECT_TRUE(ensureDefaultDirectory().ok());
}

TEST_F(SettingsPathsTest, DefaultDirectoryBlockedByAFileFails) {
    writeFile(m_home / "Pagewright", "not a directory");
    EXPECT_FALSE(ensureDefaultDirectory().ok());
}

}  // namespace
}  // namespace pw
