#include "runs/dry_run.h"

#include <cstdlib>
#include <filesystem>

#include "engine/pages_run.h"
#include "engine/run_frame.h"
#include "fs/dry_run_env.h"

namespace pw {

namespace {

// A run that shows nothing and cannot be stopped.
class QuietHost : public RunHost {
  public:
    explicit QuietHost(RunSettings settings) : m_settings(std::move(settings)) {}
    RunSettings runSettings() override { return m_settings; }
    void showMessage(Icon, std::string_view) override {}
    void setStatus(std::string_view) override {}
    void setRecordText(std::string_view) override {}
    void setTotalBar(int) override {}
    void setLineText(std::string_view) override {}
    void setLineBar(int) override {}
    void setTimeText(std::string_view) override {}
    void pumpEvents() override {}
    void ringBell() override {}

  private:
    RunSettings m_settings;
};

}  // namespace

StandInFolder::StandInFolder() {
    std::error_code error;
    std::string pattern =
        (std::filesystem::temp_directory_path(error) / "pagewright-dry-run-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) {
        m_path = pattern + "/";
    }
}

StandInFolder::~StandInFolder() {
    if (!m_path.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
}

Status dryRunPages(Env& env, RunSettings settings, DryRunCounts& counts) {
    counts = DryRunCounts{};
    StandInFolder standIn;
    std::error_code error;
    if (!std::filesystem::is_directory(settings.destination, error)) {
        settings.destination = standIn.path();
    }
    DryRunEnv dry(env);
    QuietHost host(settings);
    RunState state;
    RunReport report;
    RunContext context{settings, host, state, report, dry};
    if (runPages(context) == RunOutcome::Failed) {
        return Status::ioError(context.failure);
    }
    counts.created = dry.pagesCreated();
    counts.replaced = dry.pagesReplaced();
    counts.unchanged = report.unchangedCount();
    counts.refused = report.failedCount();
    return Status();
}

}  // namespace pw
