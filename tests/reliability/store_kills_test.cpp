// The settings file and the registry hive under two writer processes at once, killed mid-write
// in some rounds: every read meanwhile sees the whole file, the lines nobody wrote to stay, a
// writer that ends keeps every change, a killed writer keeps every change it finished and its
// changes form an unbroken prefix, and nothing a dead writer left stops the next one.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <random>
#include <string>
#include <thread>

#include "registry/hive_file.h"
#include "settings/profile.h"
#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

namespace pw {
namespace {

constexpr int kKeysEach = 300;

// One store and how the test reads it.
struct Store {
    const char* name;
    const char* writer;  // writes keys <prefix>0.. one by one, printing each name once done
    const char* file;    // its name in the test's directory
    std::string start;   // the file before a round
    // True when `bytes` is a whole file that keeps what `start` held.
    std::function<bool(const std::string& bytes)> whole;
    // Whether the file at `path` holds the key `name` as the writers write it.
    std::function<std::function<bool(const std::string&)>(const std::string& path)> keys;
};

const std::vector<Store>& stores() {
    static const std::string ini = "; kept by hand\r\n[Parametres]\r\nLangue=F\r\n";
    static const std::string hive =
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Kept]\r\n\"Name\"=\"kept\"\r\n";
    static const std::vector<Store> all = {
        {"settings file", SETTINGS_WRITE_KEYS, "PgWright.ini", ini,
         [](const std::string& bytes) { return bytes.rfind(ini, 0) == 0; },
         [](const std::string& path) -> std::function<bool(const std::string&)> {
             IniDocument document = readProfileDocument(Env::system(), path);
             return [document](const std::string& key) {
                 return document.read("Stress", key, "", 99) == "value " + key;
             };
         }},
        {"registry hive", HIVE_WRITE_VALUES, "registry.reg", hive,
         [](const std::string& bytes) {
             HiveParse parsed = parseHive(bytes);
             const HiveKey* kept = parsed.hive.find(1, {"Software", "Kept"});
             return !parsed.damaged && kept != nullptr && kept->findValue("Name") != nullptr;
         },
         [](const std::string& path) -> std::function<bool(const std::string&)> {
             HiveParse parsed = parseHive(test::readFile(path));
             return [hive = std::move(parsed.hive)](const std::string& name) {
                 const HiveKey* stress = hive.find(1, {"Stress"});
                 return stress != nullptr && stress->findValue(name) != nullptr;
             };
         }},
    };
    return all;
}

// How many lines `text` holds: the keys a writer reported written.
int linesIn(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// Checks the keys of one writer: an unbroken prefix 0..k-1 holding at least the `finished`
// ones it reported, all of them when it ended by itself.
void checkWriter(const std::function<bool(const std::string&)>& has, char prefix, int finished,
                 bool survived) {
    int present = 0;
    while (present < kKeysEach && has(std::string(1, prefix) + std::to_string(present))) {
        ++present;
    }
    for (int i = present; i < kKeysEach; ++i) {
        ASSERT_FALSE(has(std::string(1, prefix) + std::to_string(i)))
            << "writer " << prefix << " lost key " << present << " but kept key " << i;
    }
    EXPECT_GE(present, finished) << "writer " << prefix << " lost a change it had finished";
    if (survived) {
        EXPECT_EQ(present, kKeysEach) << "writer " << prefix;
    }
}

TEST(StoreKills, TwoWritersAtOnceKilledOrNotLoseNothingTheyFinished) {
    std::mt19937 random(std::random_device{}());
    for (const Store& store : stores()) {
        test::TempDir dir;
        const std::string path = dir / store.file;
        // Rounds: neither writer killed, the first killed, both killed.
        for (int round = 0; round < 12; ++round) {
            SCOPED_TRACE(std::string(store.name) + ", round " + std::to_string(round));
            const int killed = round % 4 == 0 ? 0 : round % 4 == 3 ? 2 : 1;
            test::writeFile(path, store.start);
            auto writer = [&](const char* prefix) {
                return test::startProcess({store.writer, path, prefix, std::to_string(kKeysEach)});
            };
            test::Child a = writer("a");
            test::Child b = writer("b");
            std::uniform_int_distribution<int> pause(0, 150);
            const auto killAt =
                std::chrono::steady_clock::now() + std::chrono::milliseconds(pause(random));
            int reads = 0;
            while (test::running(a) || test::running(b)) {
                ASSERT_TRUE(store.whole(test::readFile(path))) << "read " << reads;
                ++reads;
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                if (killed > 0 && std::chrono::steady_clock::now() >= killAt) {
                    ::kill(a.pid, SIGKILL);
                    if (killed == 2) {
                        ::kill(b.pid, SIGKILL);
                    }
                }
            }
            test::ProcessResult endA = test::waitFor(a);
            test::ProcessResult endB = test::waitFor(b);
            if (killed < 2) {
                EXPECT_EQ(endB.status, 0) << endB.err;
            }
            ASSERT_TRUE(store.whole(test::readFile(path)));
            auto has = store.keys(path);
            checkWriter(has, 'a', linesIn(endA.out), killed == 0);
            checkWriter(has, 'b', linesIn(endB.out), killed < 2);
            // Nothing a dead writer left stops the next one.
            test::ProcessResult next = test::runProcess({store.writer, path, "c", "1"});
            EXPECT_EQ(next.status, 0) << next.err;
            EXPECT_TRUE(store.keys(path)("c0"));
        }
        // Work files of killed writers do not pile up beside the store and its lock.
        EXPECT_EQ(test::namesIn(dir.path()),
                  (std::vector<std::string>{store.file, store.file + std::string(".lock")}));
    }
}

}  // namespace
}  // namespace pw
