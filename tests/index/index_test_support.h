#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "engine/run_frame.h"
#include "engine/run_host.h"

namespace pw::test {

// A directory of its own under the system's temporary directory, removed at the end.
class TempDir {
  public:
    // `inMemory` places it in /dev/shm when there is one, for tests that make thousands.
    explicit TempDir(bool inMemory = false) {
        std::filesystem::path base = std::filesystem::temp_directory_path();
        if (inMemory && ::access("/dev/shm", W_OK) == 0) {
            base = "/dev/shm";
        }
        std::string pattern = (base / "pw-index-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The directory with a final "/".
    std::string path() const { return m_path.string() + "/"; }
    std::string operator/(const std::string& name) const { return path() + name; }

  private:
    std::filesystem::path m_path;
};

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Every file of a directory (not below it) by name, with its bytes.
inline std::map<std::string, std::string> filesIn(const std::string& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.is_regular_file()) {
            files[entry.path().filename().string()] = readFile(entry.path().string());
        }
    }
    return files;
}

// A host that keeps what the run shows and requests a stop at a chosen event pump.
class TestHost : public RunHost {
  public:
    explicit TestHost(RunState& state) : m_state(state) {}

    RunSettings settings;
    int pumps = 0;
    int stopAtPump = 0;  // from 1; 0 never
    int bells = 0;
    std::vector<std::string> recordTexts;
    std::vector<std::string> timeTexts;
    std::vector<int> lineBars;
    std::string status;

    RunSettings runSettings() override { return settings; }
    void showMessage(Icon, std::string_view) override {}
    void setStatus(std::string_view text) override { status = text; }
    void setRecordText(std::string_view text) override { recordTexts.emplace_back(text); }
    void setTotalBar(int) override {}
    void setLineText(std::string_view) override {}
    void setLineBar(int percent) override { lineBars.push_back(percent); }
    void setTimeText(std::string_view text) override { timeTexts.emplace_back(text); }
    void pumpEvents() override {
        if (++pumps == stopAtPump) {
            m_state.stopRequested = true;
        }
    }
    void ringBell() override { ++bells; }

  private:
    RunState& m_state;
};

// One run procedure driven directly, as the run frame would after a passed validation.
struct RunDriver {
    RunState state;
    TestHost host{state};
    RunReport report;

    RunOutcome run(RunProcedure procedure) {
        state.stopRequested = false;
        RunSettings settings = host.settings;
        RunContext context{settings, host, state, report};
        return procedure(context);
    }
};

}  // namespace pw::test
