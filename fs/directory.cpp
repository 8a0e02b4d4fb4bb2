#include "fs/directory.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>

#include "fs/work_file.h"

namespace pw {

namespace {

// The process number in a work file name, 0 for the name of older versions without one, and
// -1 for a name that is not a work file's.
long workFileOwner(std::string_view name) {
    constexpr std::string_view prefix = WorkFile::kWorkPrefix;
    constexpr std::string_view suffix = WorkFile::kWorkSuffix;
    if (name.size() < prefix.size() + suffix.size() || name.substr(0, prefix.size()) != prefix ||
        name.substr(name.size() - suffix.size()) != suffix) {
        return -1;
    }
    std::string_view middle =
        name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    if (middle.empty()) {
        return 0;
    }
    long owner = 0;
    const char* end = middle.data() + middle.size();
    auto parsed = std::from_chars(middle.data() + 1, end, owner);
    if (middle[0] != '-' || parsed.ec != std::errc() || owner <= 0) {
        return -1;
    }
    if (parsed.ptr != end) {
        long slot = 0;
        auto rest = std::from_chars(parsed.ptr + 1, end, slot);
        if (*parsed.ptr != '-' || rest.ec != std::errc() || rest.ptr != end) {
            return -1;
        }
    }
    return owner;
}

}  // namespace

Directory::Directory(Env& env, const std::string& path) : m_env(env), m_path(path) {
    if (!m_path.empty() && m_path.back() != '/') {
        m_path += '/';
    }
    if (path.empty() || path.find('\0') != std::string::npos) {
        m_status = Status::invalidArgument("no directory name");
        return;
    }
    int fd = -1;
    m_status = env.open(Env::kCurrentDirectory, path.c_str(), O_RDONLY | O_DIRECTORY, 0, fd);
    if (m_status.ok()) {
        m_handle = FileHandle(env, fd);
        m_user = ::geteuid();
        m_group = ::getegid();
        int count = ::getgroups(0, nullptr);
        if (count > 0) {
            m_groups.resize(static_cast<size_t>(count));
            count = ::getgroups(count, m_groups.data());
            m_groups.resize(count > 0 ? static_cast<size_t>(count) : 0);
        }
    }
}

std::string Directory::pathOf(std::string_view name) const {
    std::string full = m_path;
    full += name;
    return full;
}

Entry Directory::entry(const std::string& name) const {
    Entry result;
    FileInfo info;
    if (!ok() || !isPlainFileName(name) ||
        !m_env.stat(fd(), name.c_str(), AT_SYMLINK_NOFOLLOW, info).ok()) {
        return result;
    }
    result.exists = true;
    result.symlink = info.symlink;
    result.regular = info.regular;
    result.mode = info.mode;
    result.size = info.size;
    mode_t bit = S_IWOTH;
    if (m_user == 0 || info.owner == m_user) {
        bit = S_IWUSR;
    } else if (info.group == m_group ||
               std::find(m_groups.begin(), m_groups.end(), info.group) != m_groups.end()) {
        bit = S_IWGRP;
    }
    result.writable = info.symlink || (info.mode & bit) != 0;
    return result;
}

Status Directory::openForReading(const std::string& name, FileHandle& file) const {
    file.reset();
    if (!ok()) {
        return m_status;
    }
    if (!isPlainFileName(name)) {
        return Status::invalidArgument("the name would leave the directory");
    }
    int descriptor = -1;
    Status status = m_env.open(fd(), name.c_str(), O_RDONLY, 0, descriptor);
    if (status.ok()) {
        file = FileHandle(m_env, descriptor);
    }
    return status;
}

void Directory::remove(const std::string& name) const {
    if (ok() && isPlainFileName(name)) {
        (void)m_env.unlink(fd(), name.c_str(), 0);
    }
}

std::vector<std::string> Directory::listFiles(const std::function<bool(std::string_view)>& keep,
                                              bool followLinks) const {
    std::vector<std::string> names;
    std::vector<DirectoryEntry> entries;
    if (!ok() || !m_env.list(fd(), entries).ok()) {
        return names;
    }
    for (DirectoryEntry& item : entries) {
        if (!isPlainFileName(item.name) || !keep(item.name)) {
            continue;
        }
        bool regular = item.type == DirectoryEntry::Type::kRegular;
        if (item.type == DirectoryEntry::Type::kUnknown ||
            (followLinks && item.type == DirectoryEntry::Type::kSymlink)) {
            FileInfo info;
            regular =
                m_env.stat(fd(), item.name.c_str(), followLinks ? 0 : AT_SYMLINK_NOFOLLOW, info)
                    .ok() &&
                info.regular;
        }
        if (regular) {
            names.push_back(std::move(item.name));
        }
    }
    sortInListingOrder(names);
    return names;
}

const std::string& Directory::workFileStem() const {
    if (m_workStem.empty()) {
        m_workStem = std::string(WorkFile::kWorkPrefix) + '-' + std::to_string(m_env.processId());
    }
    return m_workStem;
}

void Directory::removeStaleWorkFiles() const {
    if (m_swept || !ok()) {
        return;
    }
    m_swept = true;
    std::vector<DirectoryEntry> entries;
    if (!m_env.list(fd(), entries).ok()) {
        return;
    }
    const long self = m_env.processId();
    for (const DirectoryEntry& item : entries) {
        const long owner = workFileOwner(item.name);
        if (owner < 0 || owner == self || (owner > 0 && m_env.processExists(owner))) {
            continue;
        }
        // Removed only while holding its lock, and only if the name still holds the file that
        // was locked: a live writer keeps its work file locked from creation to delivery.
        int descriptor = -1;
        if (!m_env.open(fd(), item.name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK, 0, descriptor)
                 .ok()) {
            continue;
        }
        FileHandle file(m_env, descriptor);
        FileInfo opened;
        FileInfo named;
        if (m_env.lock(file.fd(), LOCK_EX | LOCK_NB).ok() &&
            m_env.stat(file.fd(), "", AT_EMPTY_PATH, opened).ok() && opened.regular &&
            m_env.stat(fd(), item.name.c_str(), AT_SYMLINK_NOFOLLOW, named).ok() &&
            named.inode == opened.inode && named.device == opened.device) {
            (void)m_env.unlink(fd(), item.name.c_str(), 0);
        }
    }
}

void sortInListingOrder(std::vector<std::string>& names) {
    auto folded = [](unsigned char c) {
        return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - ('a' - 'A')) : c;
    };
    std::sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
        const size_t common = std::min(a.size(), b.size());
        for (size_t i = 0; i < common; ++i) {
            unsigned char x = folded(static_cast<unsigned char>(a[i]));
            unsigned char y = folded(static_cast<unsigned char>(b[i]));
            if (x != y) {
                return x < y;
            }
        }
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
}

}  // namespace pw
