#include "uninstall/removal.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>

namespace pw {

namespace fs = std::filesystem;

namespace {

size_t depthOf(const fs::path& path) {
    return static_cast<size_t>(std::distance(path.begin(), path.end()));
}

}  // namespace

RemovalPlan planRemoval(const Manifest& manifest, const fs::path& installDir, RegistryApi& api) {
    RemovalPlan plan;
    plan.installDir = installDir.lexically_normal();
    if (plan.installDir.filename().empty()) {
        plan.installDir = plan.installDir.parent_path();
    }
    plan.prefix = plan.installDir.parent_path().parent_path();
    for (const std::string& file : manifest.files) {
        fs::path path = plan.prefix / file;
        std::error_code error;
        fs::file_status status = fs::symlink_status(path, error);
        if (!error && fs::exists(status) && !fs::is_directory(status)) {
            plan.files.push_back(path);
        }
    }
    for (const std::string& dir : manifest.dirs) {
        fs::path path = (plan.prefix / dir).lexically_normal();
        if (path.filename().empty()) {
            path = path.parent_path();
        }
        std::error_code error;
        if (fs::is_directory(fs::symlink_status(path, error)) &&
            std::find(plan.dirs.begin(), plan.dirs.end(), path) == plan.dirs.end()) {
            plan.dirs.push_back(path);
        }
    }
    std::stable_sort(plan.dirs.begin(), plan.dirs.end(),
                     [](const fs::path& a, const fs::path& b) { return depthOf(a) > depthOf(b); });
    plan.record = {manifest.program, manifest.uninstallCommand};
    if (!manifest.program.empty()) {
        plan.records = findInstallRecords(plan.record, api);
    }
    return plan;
}

RemovalOutcome carryOut(const RemovalPlan& plan, RegistryApi& api, Env& env) {
    RemovalOutcome outcome;
    if (plan.records.any()) {
        std::vector<std::string> messages;
        forgetInstall(
            plan.record, [&](const std::string& m) { messages.push_back(m); }, api);
        RecordsFound left = findInstallRecords(plan.record, api);
        outcome.forgotten.appPaths = plan.records.appPaths && !left.appPaths;
        outcome.forgotten.uninstallSlot = plan.records.uninstallSlot && !left.uninstallSlot;
        if (left.any()) {
            std::string failure = "registry";
            for (const std::string& message : messages) {
                failure += ": " + message;
            }
            outcome.failures.push_back(failure);
        }
    }
    for (const fs::path& file : plan.files) {
        Status removed = env.unlink(Env::kCurrentDirectory, file.c_str(), 0);
        if (removed.ok()) {
            outcome.removedFiles.push_back(file);
        } else if (!removed.isNotFound()) {
            outcome.failures.push_back(file.string() + ": " + removed.reason());
        }
    }
    for (const fs::path& dir : plan.dirs) {
        Status removed = env.unlink(Env::kCurrentDirectory, dir.c_str(), AT_REMOVEDIR);
        if (removed.ok()) {
            outcome.removedDirs.push_back(dir);
        } else if (removed.sysError() == ENOTEMPTY || removed.sysError() == EEXIST) {
            outcome.keptDirs.push_back(dir);
        } else if (!removed.isNotFound()) {
            outcome.failures.push_back(dir.string() + ": " + removed.reason());
        }
    }
    return outcome;
}

}  // namespace pw
