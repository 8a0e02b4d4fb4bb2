#include "engine/run_frame.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "engine/validation.h"
#include "fake_host.h"
#include "tests/support/temp_dir.h"

namespace pw {
namespace {

using test::FakeHost;
using test::TempDir;

TEST(Validation, LastFailingCheckWins) {
    TempDir dir;
    test::writeFile(dir / "data.txt", "a");
    RunSettings s;
    s.tab = Tab::Pages;
    EXPECT_EQ(p_controle(s)->french, "Vous devez choisir un répertoire de destination");
    s.destination = dir.path();
    EXPECT_EQ(p_controle(s)->english, "You must select a model file");
    s.fichiermodele = dir / "missing.htm";
    EXPECT_EQ(p_controle(s)->english, "The model file doesn't exist anylonger");
    s.fichiermodele = dir / "data.txt";
    s.source = dir.path();  // a directory is not a data file
    EXPECT_EQ(p_controle(s)->english, "The data file doesn't exist anylonger");
    s.source = dir / "data.txt";
    EXPECT_FALSE(p_controle(s));

    RunSettings links;
    links.tab = Tab::Hyperlinks;
    links.hyperdir = dir / "nope";
    EXPECT_EQ(p_controle(links)->english, "The working directory doesn't exist anylonger");
    links.hyperdir.clear();
    EXPECT_EQ(p_controle(links)->english, "Please choose a working directory");

    RunSettings index;
    index.tab = Tab::Index;
    index.Option3 = true;
    index.i10 = index.i20 = dir.path();
    EXPECT_EQ(p_controle(index)->english, "You must select a text tag");
    index.Tagindex = "Tag N°3";
    EXPECT_EQ(p_controle(index)->french, "Vous devez choisir un Tag de critère");

    RunSettings yearbook;
    yearbook.tab = Tab::Index;
    yearbook.Option4 = true;
    yearbook.i40 = dir / "gone/";
    EXPECT_EQ(p_controle(yearbook)->english, "The destination directory doesn't exist anylonger");
}

// A run that pumps events a given number of times and stops when asked.
int g_pumpsPerRun = 3;
RunOutcome pumpingRun(RunContext& context) {
    context.announce(RunKind::Hyperlinks);
    for (int i = 0; i < g_pumpsPerRun; ++i) {
        context.display().pumpEvents();
        if (context.stopRequested()) {
            return RunOutcome::Stopped;
        }
    }
    return RunOutcome::Completed;
}

struct FrameFixture : ::testing::Test {
    TempDir dir;
    FakeHost host;
    RunState state;
    RunReport report;
    RunTable runs{nullptr, &pumpingRun, nullptr, nullptr};
    RunFrame frame{host, state, report, runs, Env::system()};

    FrameFixture() {
        host.frame = &frame;
        host.settings.tab = Tab::Hyperlinks;
        host.settings.language = Language::English;
        host.settings.sourcelien = "Tag N°2";
        host.settings.Textelien = "Tag N°3";
        host.settings.hyperdir = dir.path();
    }
};

TEST_F(FrameFixture, CompletesWithOneMessageAndStatusKept) {
    EXPECT_EQ(frame.Command1_Click(), ClickResult::Completed);
    EXPECT_EQ(host.messages, std::vector<std::string>{"information: Process done..."});
    EXPECT_EQ(host.status, "Hypertext links creation in progress");
    EXPECT_EQ(host.startCaption, "Start");
    EXPECT_TRUE(host.tabsSelectable);
    EXPECT_TRUE(host.quitEnabled);
    EXPECT_FALSE(state.runInProgress);
}

TEST_F(FrameFixture, StopClickGivesExactlyOneStopMessage) {
    host.clickAtPump = 2;
    EXPECT_EQ(frame.Command1_Click(), ClickResult::Stopped);
    EXPECT_EQ(host.innerClicks, std::vector<ClickResult>{ClickResult::StopMade});
    EXPECT_EQ(host.messages, std::vector<std::string>{"information: Process stopped..."});
    EXPECT_EQ(host.pumps, 2);
    EXPECT_EQ(host.startCaption, "Start");
    EXPECT_TRUE(host.tabsSelectable);
    EXPECT_FALSE(host.locked);
    EXPECT_FALSE(state.runInProgress);
    EXPECT_TRUE(state.stopRequested);  // stays set until the next run starts
}

TEST_F(FrameFixture, ClickWhileStopAlreadyRequestedIsIgnored) {
    // The second click arrives inside the stop message's own event loop, before the run ends.
    struct SecondClick : FakeHost {
        void showMessage(Icon icon, std::string_view text) override {
            FakeHost::showMessage(icon, text);
            if (text == "Process stopped...") {
                innerClicks.push_back(frame->Command1_Click());
            }
        }
    };
    SecondClick second;
    second.settings = host.settings;
    RunFrame frame2(second, state, report, runs, Env::system());
    second.frame = &frame2;
    second.clickAtPump = 1;
    EXPECT_EQ(frame2.Command1_Click(), ClickResult::Stopped);
    EXPECT_EQ(second.innerClicks,
              (std::vector<ClickResult>{ClickResult::Ignored, ClickResult::StopMade}));
    EXPECT_EQ(second.messages.size(), 1u);
}

TEST_F(FrameFixture, RefusalShowsTheCriticalMessageAndSetsNoFlag) {
    host.settings.hyperdir.clear();
    EXPECT_EQ(frame.Command1_Click(), ClickResult::Refused);
    EXPECT_EQ(host.messages,
              std::vector<std::string>{"critical: Please choose a working directory"});
    EXPECT_FALSE(state.runInProgress);
    EXPECT_EQ(host.pumps, 0);
    EXPECT_TRUE(host.tabsSelectable);
}

TEST_F(FrameFixture, FailureBeforeTheRunShowsTheFatalBoxAndStartsNothing) {
    // The window's own steps before any run fail: nothing runs, the pointer is restored and
    // the fatal box says so, once.
    struct FailingHost : FakeHost {
        bool busyReset = false;
        void showBarsAndClearHelp() override { throw std::runtime_error("no progress bars"); }
        void setBusyPointer(bool busy) override { busyReset = !busy; }
    };
    FailingHost failing;
    failing.settings = host.settings;
    RunFrame frame2(failing, state, report, runs, Env::system());
    EXPECT_EQ(frame2.Command1_Click(), ClickResult::Fatal);
    EXPECT_EQ(failing.messages,
              std::vector<std::string>{"critical: Erreur de lecture de fichier, le programme va "
                                       "quitter.\nla ligne :\n\n n'est pas correcte."});
    EXPECT_TRUE(failing.busyReset);
    EXPECT_EQ(failing.pumps, 0);
    EXPECT_FALSE(state.runInProgress);
}

TEST_F(FrameFixture, IndexTabWithNeitherOptionCompletesAtOnce) {
    host.settings.tab = Tab::Index;
    EXPECT_EQ(frame.Command1_Click(), ClickResult::Completed);
    EXPECT_EQ(host.messages, std::vector<std::string>{"information: Process done..."});
}

TEST_F(FrameFixture, NextRunClearsTheStopRequest) {
    host.clickAtPump = 1;
    EXPECT_EQ(frame.Command1_Click(), ClickResult::Stopped);
    host.clickAtPump = 0;
    EXPECT_EQ(frame.Command1_Click(), ClickResult::Completed);
    EXPECT_FALSE(state.stopRequested);
}

}  // namespace
}  // namespace pw
