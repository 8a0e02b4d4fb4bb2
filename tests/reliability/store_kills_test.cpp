// The settings file and the registry hive under writers that are killed mid-write while another
// writer goes on: the file must always read whole, keep the lines nobody wrote to, keep every
// change of the surviving writer, and keep a killed writer's changes as an unbroken prefix.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <random>
#include <string>

#include "registry/hive_file.h"
#include "settings/profile.h"
#include "tests/reliability/site_fixture.h"

namespace pw::reliability {
namespace {

constexpr int kKeysEach = 300;

class StoreKillsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/pw-store-kills-XXXXXX";
        m_dir = ::mkdtemp(pattern);
        isolateEnvironment(m_dir + "/env");
    }
    void TearDown() override { removeTree(m_dir); }

    // Starts two writers of `program` over `file`, kills the first (and, every third round,
    // the second too) after a random pause, and waits for both.
    void race(const std::string& program, const std::string& file, std::mt19937& random,
              bool killBoth) {
        Child a = startProcess(program, {file, "a", std::to_string(kKeysEach)}, "/dev/null",
                               m_dir + "/a.err");
        Child b = startProcess(program, {file, "b", std::to_string(kKeysEach)}, "/dev/null",
                               m_dir + "/b.err");
        ASSERT_GT(a.pid, 0);
        ASSERT_GT(b.pid, 0);
        std::uniform_int_distribution<long> pause(0, 150'000'000);
        struct timespec delay = {0, pause(random)};
        ::nanosleep(&delay, nullptr);
        ::kill(a.pid, SIGKILL);
        if (killBoth) {
            ::kill(b.pid, SIGKILL);
        }
        waitProcess(a);
        int status = waitProcess(b);
        if (!killBoth) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
                << readFile(m_dir + "/b.err");
        }
    }

    // Checks the keys of one writer: all of them, or (killed) a prefix 0..k-1.
    static void checkWriter(const std::function<bool(const std::string&)>& has, char prefix,
                            bool survived, int round) {
        int present = 0;
        while (present < kKeysEach && has(std::string(1, prefix) + std::to_string(present))) {
            ++present;
        }
        for (int i = present; i < kKeysEach; ++i) {
            ASSERT_FALSE(has(std::string(1, prefix) + std::to_string(i)))
                << "round " << round << ": writer " << prefix << " lost key " << present
                << " but kept key " << i;
        }
        if (survived) {
            EXPECT_EQ(present, kKeysEach) << "round " << round;
        }
    }

    std::string m_dir;
};

TEST_F(StoreKillsTest, SettingsFileSurvivesWritersKilledMidWrite) {
    const std::string ini = m_dir + "/PgWright.ini";
    std::mt19937 random(std::random_device{}());
    for (int round = 0; round < 12; ++round) {
        writeFile(ini, "; kept by hand\r\n[Parametres]\r\nLangue=F\r\n");
        bool both = round % 3 == 2;
        race(SETTINGS_WRITE_KEYS, ini, random, both);
        std::string bytes = readFile(ini);
        ASSERT_EQ(bytes.rfind("; kept by hand\r\n[Parametres]\r\nLangue=F\r\n", 0), 0u)
            << "round " << round;
        IniDocument document = readProfileDocument(Env::system(), ini);
        auto has = [&](const std::string& key) {
            return document.read("Stress", key, "", 99) == "value " + key;
        };
        checkWriter(has, 'a', false, round);
        checkWriter(has, 'b', !both, round);
        // Nothing a dead writer left stops the next one.
        ASSERT_TRUE(writeProfileString(Env::system(), ini, "Parametres", "Langue", "E").ok());
        EXPECT_EQ(readProfileString(Env::system(), ini, "Parametres", "Langue", "", 9), "E");
    }
    // Work files of killed writers do not pile up beside the settings file.
    int leftovers = 0;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir)) {
        std::string name = entry.path().filename().string();
        leftovers += name.rfind(".PgWright.ini.tmp", 0) == 0;
    }
    EXPECT_EQ(leftovers, 0);
}

TEST_F(StoreKillsTest, RegistryHiveSurvivesWritersKilledMidWrite) {
    const std::string hive = m_dir + "/registry.reg";
    std::mt19937 random(std::random_device{}());
    for (int round = 0; round < 12; ++round) {
        writeFile(hive,
                  "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Kept]\r\n\"Name\"=\"kept\"\r\n");
        bool both = round % 3 == 2;
        race(HIVE_WRITE_VALUES, hive, random, both);
        HiveParse parsed = parseHive(readFile(hive));
        ASSERT_FALSE(parsed.damaged) << "round " << round;
        const HiveKey* kept = parsed.hive.find(1, {"Software", "Kept"});
        ASSERT_NE(kept, nullptr) << "round " << round;
        ASSERT_NE(kept->findValue("Name"), nullptr);
        const HiveKey* stress = parsed.hive.find(1, {"Stress"});
        auto has = [&](const std::string& name) {
            return stress != nullptr && stress->findValue(name) != nullptr;
        };
        checkWriter(has, 'a', false, round);
        checkWriter(has, 'b', !both, round);
        std::string out;
        int status = runProcess(HIVE_WRITE_VALUES, {hive, "c", "1"}, &out);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        EXPECT_FALSE(std::filesystem::exists(hive + ".new")) << "round " << round;
    }
}

}  // namespace
}  // namespace pw::reliability
