#pragma once

#include <string>
#include <string_view>

#include "engine/run_host.h"

namespace pw {

// The host of a run made without a front end (a dry run, a benchmark): it shows nothing, never
// asks for a stop, and keeps the last critical message for its caller.
class QuietHost : public RunHost {
  public:
    explicit QuietHost(RunSettings settings) : m_settings(std::move(settings)) {}

    // The last critical message the run showed; empty when none.
    const std::string& lastCritical() const { return m_lastCritical; }

    RunSettings runSettings() override { return m_settings; }
    void showMessage(Icon icon, std::string_view text) override {
        if (icon == Icon::Critical) {
            m_lastCritical = text;
        }
    }
    void setStatus(std::string_view) override {}
    void setRecordText(std::string_view) override {}
    void setTotalBar(int) override {}
    void setLineText(std::string_view) override {}
    void setLineBar(int) override {}
    void setTimeText(std::string_view) override {}
    void pumpEvents() override {}
    void ringBell() override {}
    bool showsProgress() const override { return false; }

  private:
    RunSettings m_settings;
    std::string m_lastCritical;
};

}  // namespace pw
