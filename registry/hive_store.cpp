#include "registry/hive_store.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "fs/file_lock.h"
#include "fs/work_file.h"
#include "registry/hive_file.h"
#include "registry/registry_api.h"

namespace pw {

namespace {

std::string envOr(const char* name, std::string fallback) {
    const char* value = std::getenv(name);
    return (value != nullptr && *value != '\0') ? std::string(value) : fallback;
}

long codeOf(const Status& status) {
    const int error = status.sysError();
    return (error == EACCES || error == EPERM || error == EROFS) ? kErrorAccessDenied
                                                                 : kErrorRegistryIoFailed;
}

// No hive the program writes comes near this; a larger file (or an endless device) is not
// read at all, and never replaced.
constexpr size_t kMaxHiveSize = size_t{64} << 20;

}  // namespace

std::string hivePath() {
    std::string explicitPath = envOr("PAGEWRIGHT_REGISTRY", "");
    if (!explicitPath.empty()) {
        return explicitPath;
    }
    std::string config = envOr("XDG_CONFIG_HOME", "");
    if (config.empty()) {
        config = envOr("HOME", "") + "/.config";
    }
    return config + "/pagewright/registry.reg";
}

Hive HiveStore::load() const {
    std::string text;
    if (!readFile(m_env, m_path, text, kMaxHiveSize).ok()) {
        return Hive();
    }
    return parseHive(text).hive;
}

long HiveStore::update(const std::function<long(Hive& hive, bool& changed)>& change) const {
    const std::filesystem::path path(m_path);
    const std::string folder = path.has_parent_path() ? path.parent_path().string() : ".";
    const std::string name = path.filename().string();
    (void)makeDirectories(m_env, folder);
    Directory directory(m_env, folder);
    if (!directory.ok()) {
        return codeOf(directory.status());
    }
    FileLock lock;
    if (Status status = lock.acquire(directory, name + ".lock"); !status.ok()) {
        return codeOf(status);
    }
    std::string text;
    Status read = readFile(m_env, m_path, text, kMaxHiveSize);
    if (!read.ok() && !read.isNotFound()) {
        // Never replace a hive that exists but could not be read.
        return codeOf(read);
    }
    HiveParse parsed = read.ok() ? parseHive(text) : HiveParse();
    bool changed = false;
    long code = change(parsed.hive, changed);
    if (code != kErrorSuccess || !changed) {
        return code;
    }
    if (parsed.damaged) {
        const std::string keep = name + ".damaged";
        (void)m_env.unlink(directory.fd(), keep.c_str(), 0);
        if (Status status =
                m_env.link(directory.fd(), name.c_str(), directory.fd(), keep.c_str(), 0);
            !status.ok()) {
            return codeOf(status);
        }
    }
    Delivery delivery;
    Status written =
        replaceFile(directory, name, formatHive(parsed.hive), Durability::kSynced, delivery);
    return written.ok() ? kErrorSuccess : codeOf(written);
}

}  // namespace pw
