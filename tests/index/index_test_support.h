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
#include "tests/support/temp_dir.h"

namespace pw::test {

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
    std::string failure;  // the message of a run that could not read an input

    RunOutcome run(RunProcedure procedure) {
        state.stopRequested = false;
        RunSettings settings = host.settings;
        RunContext context{settings, host, state, report, Env::system(), {}};
        RunOutcome outcome = procedure(context);
        failure = context.failure;
        return outcome;
    }
};

}  // namespace pw::test
