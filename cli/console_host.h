#pragma once

#include <cstdio>
#include <string>

#include "cli/progress_line.h"
#include "engine/run_frame.h"
#include "engine/run_host.h"
#include "engine/run_report.h"

namespace pw::cli {

// Lists the files a run could not write on standard error, as they happen.
class ConsoleReport : public RunReport {
  public:
    explicit ConsoleReport(Language language) : m_language(language) {}

  protected:
    void onFailure(std::string_view path, std::string_view reason) override;

  private:
    Language m_language;
};

// The command line's side of a run: messages on the standard streams, a progress bar on a
// terminal that fits its width, and Ctrl-C turned into a click on Stop at the run's next
// event pump.
class ConsoleHost : public RunHost {
  public:
    ConsoleHost(RunSettings settings, bool showProgress);

    // The frame the Ctrl-C click goes to.
    void attach(RunFrame& frame) { m_frame = &frame; }
    // Text added to a refusal message: the path or the option it is about.
    void setRefusalNote(std::string note) { m_refusalNote = std::move(note); }

    RunSettings runSettings() override { return m_settings; }
    void showMessage(Icon icon, std::string_view text) override;

    void setStatus(std::string_view text) override;
    void setRecordText(std::string_view text) override;
    void setTotalBar(int percent) override;
    void setLineText(std::string_view) override {}
    void setLineBar(int) override {}
    void setTimeText(std::string_view text) override;
    void pumpEvents() override;
    void ringBell() override {}
    bool showsProgress() const override { return m_showProgress; }

    // Installs the Ctrl-C handler, and the handler that follows a resize of the terminal.
    static void catchSignals();

  private:
    void drawBar(bool force);
    void clearBar();

    RunSettings m_settings;
    bool m_showProgress;
    RunFrame* m_frame = nullptr;
    bool m_stopClicked = false;
    std::string m_refusalNote;
    std::string m_counter;
    std::string m_estimate;
    RemainingTime m_remaining;
    int m_percent = 0;
    int m_width = 0;
    double m_lastDraw = 0;
    bool m_barShown = false;
};

}  // namespace pw::cli
