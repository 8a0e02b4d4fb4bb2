#pragma once

#include "engine/messages.h"
#include "engine/run_host.h"
#include "engine/run_report.h"
#include "engine/run_settings.h"
#include "engine/run_state.h"
#include "fs/env.h"

namespace pw {

// How a run ended. Failed: an input that passed validation could not be read; the run wrote
// nothing more after it and left its message in RunContext::failure.
enum class RunOutcome { Completed, Stopped, Failed };

// What a run works with. The run polls `state.stopRequested` at its stop checks.
struct RunContext {
    const RunSettings& settings;
    RunHost& host;
    RunState& state;
    RunReport& report;
    // Every file the run reads or writes goes through it.
    Env& env;

    // Why the run failed, in the run's language, naming the file.
    std::string failure;

    ProgressDisplay& display() { return host; }
    // Ends the run because the input at `path` cannot be read.
    RunOutcome fail(Wording wording, std::string_view path);
    bool stopRequested() const { return state.stopRequested; }
    // Shows the run's status caption and turns the Start button into the Stop button.
    void announce(RunKind kind);
};

using RunProcedure = RunOutcome (*)(RunContext&);

// The four runs; a missing one completes at once.
struct RunTable {
    RunProcedure pages = nullptr;
    RunProcedure hyperlinks = nullptr;
    RunProcedure indexPages = nullptr;
    RunProcedure yearbook = nullptr;
};

// What one click on the Start/Stop button did.
enum class ClickResult {
    Refused,    // the validation failed; its message was shown
    Completed,  // a run (or no run) completed; the completion message was shown
    Stopped,    // the run this click started was stopped by a later click
    StopMade,   // this click stopped the run in progress
    Ignored,    // a stop was already requested for the run in progress
    Fatal,      // the click failed before any run could begin; the program must end
    Failed,     // the run ended because an input could not be read; its message was shown
};

// The Start/Stop button shared by the window and the command line: validation, dispatch by tab
// and option, the run flags, and the completion, stop and common end sequences.
class RunFrame {
  public:
    RunFrame(RunHost& host, RunState& state, RunReport& report, RunTable runs, Env& env)
        : m_host(host), m_state(state), m_report(report), m_runs(runs), m_env(env) {}

    // One click on the button: starts the selected run, or stops the run in progress when the
    // click arrives while it runs (from inside the host's pumpEvents).
    ClickResult Command1_Click();

    bool running() const { return m_state.runInProgress; }

  private:
    void completionSteps(Language language);
    void failureSteps(std::string_view message);
    void stopSequence(Language language);
    void commonEndSteps();

    RunHost& m_host;
    RunState& m_state;
    RunReport& m_report;
    RunTable m_runs;
    Env& m_env;
    Language m_language = Language::French;
    // True while a run procedure is on the stack, stopped or not.
    bool m_runActive = false;
};

}  // namespace pw
