#include "engine/run_frame.h"

#include <exception>

#include "engine/sample_pictures.h"
#include "engine/validation.h"

namespace pw {

RunOutcome RunContext::fail(Wording wording, std::string_view path) {
    failure = messages::unreadableText(wording, settings.language, path);
    return RunOutcome::Failed;
}

void RunContext::announce(RunKind kind) {
    host.setStatus(messages::statusCaption(kind).in(settings.language));
    host.setStartCaption(messages::kStopWord.in(settings.language));
}

ClickResult RunFrame::Command1_Click() {
    // A click that arrives while the stopped run is still unwinding must not start a new run
    // inside the stop message, nor stack a second stop message.
    if (m_runActive && m_state.stopRequested) {
        return ClickResult::Ignored;
    }
    // Until the window is set for a run, a failure cannot be left to the run's own handling:
    // the program says so and ends.
    RunSettings settings;
    try {
        settings = m_host.runSettings();
        m_host.setResetAndHelpEnabled(false);
        m_host.setTabsSelectable(false);
        m_host.showBarsAndClearHelp();
        m_host.setLanguageButtonsEnabled(false);
    } catch (const std::exception&) {
        m_host.setBusyPointer(false);
        m_host.showFatalError(messages::kFatalReadTitle, messages::fatalReadText(""));
        return ClickResult::Fatal;
    }
    if (!m_state.runInProgress) {
        m_language = settings.language;
    }

    if (settings.tab == Tab::Pages) {
        copySamplePictures(m_env, settings);
    }
    m_host.lockInputs();

    if (m_state.runInProgress) {
        stopSequence(m_language);
        commonEndSteps();
        return ClickResult::StopMade;
    }

    RunProcedure run = nullptr;
    switch (settings.tab) {
        case Tab::Pages:
            run = m_runs.pages;
            break;
        case Tab::Hyperlinks:
            run = m_runs.hyperlinks;
            break;
        case Tab::Index:
            run = settings.Option3 ? m_runs.indexPages
                                   : (settings.Option4 ? m_runs.yearbook : nullptr);
            break;
    }
    bool selected = settings.tab != Tab::Index || settings.Option3 || settings.Option4;
    if (!selected) {
        completionSteps(settings.language);
        commonEndSteps();
        return ClickResult::Completed;
    }

    if (auto message = p_controle(settings)) {
        m_host.showMessage(RunHost::Icon::Critical, message->in(settings.language));
        commonEndSteps();
        return ClickResult::Refused;
    }

    m_state.runInProgress = true;
    m_state.stopRequested = false;
    m_host.setQuitEnabled(false);
    m_host.setBusyPointer(true);

    RunOutcome outcome = RunOutcome::Completed;
    std::string failure;
    if (run != nullptr) {
        RunContext context{settings, m_host, m_state, m_report, m_env, {}};
        m_runActive = true;
        outcome = run(context);
        m_runActive = false;
        failure = std::move(context.failure);
    }
    if (outcome == RunOutcome::Stopped) {
        commonEndSteps();
        return ClickResult::Stopped;
    }
    if (outcome == RunOutcome::Failed) {
        failureSteps(failure);
        commonEndSteps();
        return ClickResult::Failed;
    }
    completionSteps(settings.language);
    commonEndSteps();
    return ClickResult::Completed;
}

void RunFrame::completionSteps(Language language) {
    m_host.setBusyPointer(false);
    m_host.setRecordText("");
    m_host.setLineText("");
    m_host.setLineBar(0);
    m_host.setTotalBar(0);
    m_host.ringBell();
    m_host.showMessage(RunHost::Icon::Information, messages::kProcessDone.in(language));
    m_host.setStartCaption(messages::kStartWord.in(language));
    m_host.setQuitEnabled(true);
    m_host.setResetAndHelpEnabled(true);
    m_state.runInProgress = false;
}

// The end of a run that could not read an input: the display is reset as at completion, and
// the critical box names the file instead of the completion message.
void RunFrame::failureSteps(std::string_view message) {
    m_host.setBusyPointer(false);
    m_host.setStatus("");
    m_host.setRecordText("");
    m_host.setLineText("");
    m_host.setLineBar(0);
    m_host.setTotalBar(0);
    m_host.showMessage(RunHost::Icon::Critical, message);
    m_host.setStartCaption(messages::kStartWord.in(m_language));
    m_host.setQuitEnabled(true);
    m_host.setResetAndHelpEnabled(true);
    m_state.runInProgress = false;
}

void RunFrame::stopSequence(Language language) {
    m_state.stopRequested = true;
    m_host.setStatus("");
    m_host.setBusyPointer(false);
    m_host.setTimeText("");
    m_host.setRecordText("");
    m_host.setLineText("");
    m_host.setLineBar(0);
    m_host.setTotalBar(0);
    m_host.ringBell();
    m_host.showMessage(RunHost::Icon::Information, messages::kProcessStopped.in(language));
    m_host.setStartCaption(messages::kStartWord.in(language));
    m_state.runInProgress = false;
    m_host.setQuitEnabled(true);
    m_host.setResetAndHelpEnabled(true);
}

void RunFrame::commonEndSteps() {
    m_host.unlockInputs();
    m_host.setTimeText("");
    m_host.setTabsSelectable(true);
    m_host.setLanguageButtonsEnabled(true);
    m_host.setResetAndHelpEnabled(true);
}

}  // namespace pw
