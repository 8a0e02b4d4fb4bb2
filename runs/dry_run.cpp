#include "runs/dry_run.h"

#include <cstdlib>
#include <filesystem>

#include "engine/pages_run.h"
#include "engine/quiet_host.h"
#include "engine/run_frame.h"
#include "fs/dry_run_env.h"

namespace pw {

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
    RunContext context{settings, host, state, report, dry, {}};
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
