#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/run_frame.h"
#include "engine/run_host.h"

namespace pw::test {

// A host that records what a run shows and can click Stop at a chosen event pump.
class FakeHost : public RunHost {
  public:
    RunSettings settings;
    std::vector<std::string> messages;  // "critical: ..." / "information: ..."
    std::vector<std::string> recordTexts;
    std::vector<std::string> timeTexts;
    std::vector<int> totalBars;
    std::string status;
    std::string startCaption;
    int pumps = 0;
    int firstTitlings = 0;
    int firstNamings = 0;
    bool tabsSelectable = true;
    bool quitEnabled = true;
    bool locked = false;
    // Clicks the button from inside the pump with this number (from 1); 0 never.
    int clickAtPump = 0;
    RunFrame* frame = nullptr;
    std::vector<ClickResult> innerClicks;

    RunSettings runSettings() override { return settings; }
    void showMessage(Icon icon, std::string_view text) override {
        messages.push_back((icon == Icon::Critical ? "critical: " : "information: ") +
                           std::string(text));
    }
    void setStatus(std::string_view text) override { status = text; }
    void setRecordText(std::string_view text) override {
        if (!text.empty()) {
            recordTexts.emplace_back(text);
        }
    }
    void setTotalBar(int percent) override { totalBars.push_back(percent); }
    void setLineText(std::string_view) override {}
    void setLineBar(int) override {}
    void setTimeText(std::string_view text) override {
        if (!text.empty()) {
            timeTexts.emplace_back(text);
        }
    }
    void pumpEvents() override {
        ++pumps;
        if (pumps == clickAtPump && frame != nullptr) {
            innerClicks.push_back(frame->Command1_Click());
        }
    }
    void ringBell() override {}
    void setTabsSelectable(bool selectable) override { tabsSelectable = selectable; }
    void setQuitEnabled(bool enabled) override { quitEnabled = enabled; }
    void lockInputs() override { locked = true; }
    void unlockInputs() override { locked = false; }
    void setStartCaption(std::string_view caption) override { startCaption = caption; }
    void selectFirstTitling() override { ++firstTitlings; }
    void selectFirstNaming() override { ++firstNamings; }
};

}  // namespace pw::test
