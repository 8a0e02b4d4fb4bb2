#include "engine/run_frame.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "engine/validation.h"
#include "fake_host.h"
#include "tests/support/temp_dir.h"

namespace pw {
namespace {

using test::FakeHost;
using test::TempDir;

// Which message each run's inputs give: every check runs, in order, and the last failing one
// speaks; an index tab with neither option checks nothing.
TEST(Validation, MessageForEachInput) {
    TempDir dir;
    test::writeFile(dir / "data.txt", "a");
    const std::string file = dir / "data.txt";
    const std::string missingFile = dir / "missing.htm";
    const std::string missingDir = dir / "gone/";
    struct Case {
        const char* name;
        Tab tab;
        std::function<void(RunSettings&)> change;  // made to inputs that all pass
        Language language;
        const char* message;  // null: the run starts
    };
    const auto en = Language::English;
    const auto fr = Language::French;
    const std::vector<Case> cases = {
        {"pages, all pass", Tab::Pages, [](RunSettings&) {}, en, nullptr},
        {"pages, all empty", Tab::Pages,
         [](RunSettings& s) { s.source = s.fichiermodele = s.destination = ""; }, fr,
         "Vous devez choisir un répertoire de destination"},
        {"pages, data and model empty", Tab::Pages,
         [](RunSettings& s) { s.source = s.fichiermodele = ""; }, en,
         "You must select a model file"},
        {"pages, data empty", Tab::Pages, [](RunSettings& s) { s.source = ""; }, fr,
         "Vous devez choisir un fichier source"},
        {"pages, data empty, model missing", Tab::Pages,
         [&](RunSettings& s) { s.source = "", s.fichiermodele = missingFile; }, en,
         "The model file doesn't exist anylonger"},
        {"pages, data is a directory", Tab::Pages, [&](RunSettings& s) { s.source = dir.path(); },
         en, "The data file doesn't exist anylonger"},
        {"links, tags empty, directory missing", Tab::Hyperlinks,
         [&](RunSettings& s) { s.sourcelien = s.Textelien = "", s.hyperdir = missingDir; }, en,
         "The working directory doesn't exist anylonger"},
        {"links, all empty", Tab::Hyperlinks,
         [](RunSettings& s) { s.sourcelien = s.Textelien = s.hyperdir = ""; }, en,
         "Please choose a working directory"},
        {"links, no link tag", Tab::Hyperlinks, [](RunSettings& s) { s.sourcelien = ""; }, fr,
         "Vous devez choisir un Tag de lien"},
        {"links, no directory", Tab::Hyperlinks, [](RunSettings& s) { s.hyperdir = ""; }, fr,
         "Choisissez un répertoire contenant les fichiers à traiter"},
        {"index pages, no tags", Tab::Index, [](RunSettings& s) { s.Tagindex = s.tagindex2 = ""; },
         en, "You must select a text tag"},
        {"index pages, no criterion tag", Tab::Index, [](RunSettings& s) { s.tagindex2 = ""; }, fr,
         "Vous devez choisir un Tag de critère"},
        {"index pages, no destination", Tab::Index, [](RunSettings& s) { s.i20 = ""; }, fr,
         "Vous devez choisir un répertoire de destination"},
        {"yearbook, inputs empty, destination missing", Tab::Index,
         [&](RunSettings& s) {
             s.Option3 = false, s.Option4 = true;
             s.i30 = s.i50 = "", s.i40 = missingDir;
         },
         en, "The destination directory doesn't exist anylonger"},
        {"yearbook, no model", Tab::Index,
         [](RunSettings& s) { s.Option3 = false, s.Option4 = true, s.i50 = ""; }, fr,
         "Vous devez choisir un fichier modèle"},
        {"index tab, neither option", Tab::Index,
         [](RunSettings& s) { s.Option3 = false, s.i10 = s.i20 = ""; }, en, nullptr},
    };
    for (const Case& c : cases) {
        RunSettings s;
        s.tab = c.tab;
        s.Option3 = true;
        s.source = s.fichiermodele = s.i30 = s.i50 = file;
        s.destination = s.hyperdir = s.i10 = s.i20 = s.i40 = dir.path();
        s.sourcelien = s.Textelien = s.Tagindex = s.tagindex2 = "Tag N°2";
        c.change(s);
        const std::optional<Wording> message = p_controle(s);
        if (c.message == nullptr) {
            EXPECT_FALSE(message) << c.name;
        } else {
            ASSERT_TRUE(message) << c.name;
            EXPECT_EQ(message->in(c.language), c.message) << c.name;
        }
    }
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
