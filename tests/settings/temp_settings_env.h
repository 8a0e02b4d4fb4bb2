#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/temp_dir.h"

namespace pw::test {

// Points HOME, XDG_CONFIG_HOME and PAGEWRIGHT_INI into a fresh temporary directory for the
// test's lifetime, so no test ever touches the real settings.
class TempSettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(m_home);
        ::setenv("HOME", m_home.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (m_root / "config").c_str(), 1);
        ::setenv("PAGEWRIGHT_INI", m_ini.c_str(), 1);
    }

    TempDir m_dir;
    std::filesystem::path m_root = m_dir.path();
    std::filesystem::path m_home = m_root / "home";
    std::filesystem::path m_ini = m_root / "config" / "PgWright.ini";
};

}  // namespace pw::test
