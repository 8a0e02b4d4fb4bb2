#include "fs/dry_run_env.h"

#include <fcntl.h>

#include <string_view>

namespace pw {

namespace {

bool isPage(std::string_view name) {
    if (name.size() < 4) {
        return false;
    }
    std::string_view end = name.substr(name.size() - 4);
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return end[0] == '.' && lower(end[1]) == 'h' && lower(end[2]) == 't' && lower(end[3]) == 'm';
}

}  // namespace

Status DryRunEnv::open(int dir, const char* name, int flags, mode_t mode, int& fd) {
    const bool writes = (flags & O_ACCMODE) != O_RDONLY || (flags & (O_CREAT | O_TRUNC)) != 0;
    if (!writes) {
        return target().open(dir, name, flags, mode, fd);
    }
    return target().open(Env::kCurrentDirectory, "/dev/null", O_WRONLY, 0, fd);
}

Status DryRunEnv::rename(int, const char*, int toDir, const char* to, unsigned) {
    delivered(toDir, to);
    return Status();
}

Status DryRunEnv::link(int, const char*, int toDir, const char* to, int) {
    delivered(toDir, to);
    return Status();
}

void DryRunEnv::delivered(int dir, const char* name) {
    if (!isPage(name)) {
        return;
    }
    FileInfo info;
    const bool exists = target().stat(dir, name, AT_SYMLINK_NOFOLLOW, info).ok();
    if (m_delivered.emplace(dir, name).second && !exists) {
        ++m_created;
    } else {
        ++m_replaced;
    }
}

}  // namespace pw
