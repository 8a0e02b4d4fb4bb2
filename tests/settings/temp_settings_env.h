#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

namespace pw::test {

// Points HOME, XDG_CONFIG_HOME and PAGEWRIGHT_INI into a fresh temporary directory for the
// test's lifetime, so no test ever touches the real settings.
class TempSettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "pw-settings-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_root = pattern;
        m_home = m_root / "home";
        std::filesystem::create_directories(m_home);
        m_ini = m_root / "config" / "PgWright.ini";
        ::setenv("HOME", m_home.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (m_root / "config").c_str(), 1);
        ::setenv("PAGEWRIGHT_INI", m_ini.c_str(), 1);
    }

    void TearDown() override {
        std::error_code error;
        std::filesystem::remove_all(m_root, error);
    }

    static std::string readBytes(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    static void writeBytes(const std::filesystem::path& file, const std::string& bytes) {
        std::filesystem::create_directories(file.parent_path());
        std::ofstream out(file, std::ios::binary);
        out << bytes;
    }

    std::filesystem::path m_root;
    std::filesystem::path m_home;
    std::filesystem::path m_ini;
};

}  // namespace pw::test
