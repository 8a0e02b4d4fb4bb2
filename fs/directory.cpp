#include "fs/directory.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
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

bool Directory::writableBy(const FileInfo& info) const {
    mode_t bit = S_IWOTH;
    if (m_user == 0 || info.owner == m_user) {
        bit = S_IWUSR;
    } else if (info.group == m_group ||
               std::find(m_groups.begin(), m_groups.end(), info.group) != m_groups.end()) {
        bit = S_IWGRP;
    }
    return (info.mode & bit) != 0;
}

void Directory::describe(const FileInfo& info, Entry& entry) const {
    entry.exists = true;
    entry.regular = info.regular;
    entry.mode = info.mode;
    entry.size = info.size;
    entry.writable = entry.symlink || writableBy(info);
    entry.inode = info.inode;
    entry.changedNs = info.changedNs;
}

Status Directory::openExisting(const std::string& name, FileHandle& file, Entry& entry) const {
    file.reset();
    entry = Entry{};
    if (!ok()) {
        return m_status;
    }
    if (!isPlainFileName(name)) {
        return Status::invalidArgument("the name would leave the directory");
    }
    // Not blocking, so that a FIFO under a page's name cannot hold the run.
    int descriptor = -1;
    Status status =
        m_env.open(fd(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK, 0, descriptor);
    if (!status.ok() && status.sysError() == ELOOP) {
        entry.symlink = true;
        status = m_env.open(fd(), name.c_str(), O_RDONLY | O_NONBLOCK, 0, descriptor);
    }
    FileInfo info;
    if (!status.ok()) {
        if (entry.symlink) {
            entry.exists = true;
            return status;
        }
        if (status.sysError() == ENOENT) {
            return Status();
        }
        // Something is there that cannot be read: a stat still tells what it is.
        if (m_env.stat(fd(), name.c_str(), AT_SYMLINK_NOFOLLOW, info).ok()) {
            describe(info, entry);
        }
        return status;
    }
    file = FileHandle(m_env, descriptor);
    entry.exists = true;
    if (Status stat = m_env.stat(descriptor, "", AT_EMPTY_PATH, info); !stat.ok()) {
        file.reset();
        return stat;
    }
    describe(info, entry);
    return Status();
}

Status Directory::lookup(const std::string& name, Entry& entry) const {
    entry = Entry{};
    if (!ok()) {
        return m_status;
    }
    if (!isPlainFileName(name)) {
        return Status::invalidArgument("the name would leave the directory");
    }
    FileInfo info;
    Status status = m_env.stat(fd(), name.c_str(), AT_SYMLINK_NOFOLLOW, info);
    if (!status.ok()) {
        return status.sysError() == ENOENT ? Status() : status;
    }
    entry.symlink = info.symlink;
    describe(info, entry);
    return Status();
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

bool Directory::holdsNone(const std::function<bool(std::string_view)>& matches) const {
    std::vector<DirectoryEntry> entries;
    bool complete = false;
    if (!ok() || !m_env.listFirst(fd(), 256, entries, complete).ok() || !complete) {
        return false;
    }
    for (const DirectoryEntry& item : entries) {
        if (matches(item.name)) {
            return false;
        }
    }
    return true;
}

std::vector<std::string> Directory::listFiles(const std::function<bool(std::string_view)>& keep,
                                              bool followLinks) const {
    std::vector<std::string> names;
    std::vector<DirectoryEntry> entries;
    if (!ok() || !m_env.list(fd(), entries).ok()) {
        return names;
    }
    // The work files among the names serve the sweep of prepareWorkFiles, which then needs no
    // listing of its own.
    m_workFilesSeen.clear();
    m_workFilesListed = true;
    for (DirectoryEntry& item : entries) {
        if (workFileOwner(item.name) >= 0) {
            m_workFilesSeen.push_back(item.name);
        }
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

std::string Directory::workFileName(int slot) const {
    std::string name = workFileStem();
    if (slot != 1) {
        name += '-';
        name += std::to_string(slot);
    }
    name += WorkFile::kWorkSuffix;
    return name;
}

int Directory::takeWorkSlot() const {
    for (int slot = 1; slot <= WorkFile::kWorkSlots; ++slot) {
        const uint32_t bit = 1u << slot;
        if ((m_workSlots & bit) == 0) {
            m_workSlots |= bit;
            return slot;
        }
    }
    return 0;
}

void Directory::releaseWorkSlot(int slot) const {
    m_workSlots &= ~(1u << slot);
}

void Directory::prepareWorkFiles() const {
    if (m_prepared || !ok()) {
        return;
    }
    m_prepared = true;
    // Every writer holds its directory shared while it may have work files in it, so holding it
    // alone proves that the work files here belong to nobody: killed writers left them.
    if (m_env.lock(fd(), LOCK_EX | LOCK_NB).ok()) {
        removeStaleWorkFiles();
    }
    (void)m_env.lock(fd(), LOCK_SH);
}

void Directory::removeStaleWorkFiles() const {
    std::vector<std::string> candidates;
    if (m_workFilesListed) {
        // Files that killed writers left before this run listed the directory; one left since
        // goes with a later run.
        candidates = std::move(m_workFilesSeen);
    } else {
        std::vector<DirectoryEntry> entries;
        if (!m_env.list(fd(), entries).ok()) {
            return;
        }
        for (DirectoryEntry& item : entries) {
            if (workFileOwner(item.name) >= 0) {
                candidates.push_back(std::move(item.name));
            }
        }
    }
    const long self = m_env.processId();
    for (const std::string& name : candidates) {
        const long owner = workFileOwner(name);
        // A writer of an earlier version does not hold the directory: a process that still
        // exists, or a lock on the file, keeps its work file.
        if (owner < 0 || (owner > 0 && owner != self && m_env.processExists(owner))) {
            continue;
        }
        int descriptor = -1;
        Status opened =
            m_env.open(fd(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK, 0, descriptor);
        if (!opened.ok()) {
            // A link is never a work file: work files are created as plain files.
            if (opened.sysError() == ELOOP) {
                (void)m_env.unlink(fd(), name.c_str(), 0);
            }
            continue;
        }
        // Removed only while holding its lock, and only if the name still holds the file that
        // was locked.
        FileHandle file(m_env, descriptor);
        FileInfo held;
        FileInfo named;
        if (m_env.lock(file.fd(), LOCK_EX | LOCK_NB).ok() &&
            m_env.stat(file.fd(), "", AT_EMPTY_PATH, held).ok() && held.regular &&
            m_env.stat(fd(), name.c_str(), AT_SYMLINK_NOFOLLOW, named).ok() &&
            named.inode == held.inode && named.device == held.device) {
            (void)m_env.unlink(fd(), name.c_str(), 0);
        }
    }
}

bool Directory::linksUnnamedFiles() const {
    if (m_unnamed != Unnamed::kUntried || !ok()) {
        return m_unnamed == Unnamed::kLinked;
    }
    int descriptor = -1;
    Status status = m_env.open(fd(), ".", O_TMPFILE | O_WRONLY, 0666, descriptor);
    if (!status.ok()) {
        const int error = status.sysError();
        // Refused by the kernel or the file system, as opposed to a refusal a work file would
        // meet as well.
        if (error == EOPNOTSUPP || error == EISDIR || error == EINVAL) {
            m_unnamed = Unnamed::kRefused;
        }
        return false;
    }
    FileHandle file(m_env, descriptor);
    const std::string probe = workFileName(0);
    status = m_env.link(Env::kCurrentDirectory, procPathOf(descriptor).c_str(), fd(), probe.c_str(),
                        AT_SYMLINK_FOLLOW);
    // EEXIST: the link itself worked, the name was taken.
    if (status.ok() || status.sysError() == EEXIST) {
        if (status.ok()) {
            (void)m_env.unlink(fd(), probe.c_str(), 0);
        }
        m_unnamed = Unnamed::kLinked;
    } else {
        m_unnamed = Unnamed::kRefused;
    }
    return m_unnamed == Unnamed::kLinked;
}

mode_t Directory::creationMode(int descriptor) const {
    FileInfo info;
    if (!m_creationModeKnown && m_env.stat(descriptor, "", AT_EMPTY_PATH, info).ok()) {
        m_creationMode = info.mode;
        m_creationModeKnown = true;
    }
    return m_creationMode;
}

std::string procPathOf(int fd) {
    return "/proc/self/fd/" + std::to_string(fd);
}

void sortInListingOrder(std::vector<std::string>& names) {
    // Each name is folded once, into one buffer, so that a comparison is a compare of bytes
    // instead of a fold of both names at every step of the sort. The bytes every name starts
    // with are skipped, and the next eight become a number, so that most comparisons are one
    // compare of numbers (pages named after a running count share a long start).
    struct Keyed {
        uint64_t key;
        size_t begin;
        size_t size;
        size_t index;
    };
    if (names.size() < 2) {
        return;
    }
    std::string folded;
    size_t total = 0;
    for (const std::string& name : names) {
        total += name.size();
    }
    folded.reserve(total);
    std::vector<Keyed> keyed;
    keyed.reserve(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        keyed.push_back(Keyed{0, folded.size(), names[i].size(), i});
        for (char c : names[i]) {
            folded += c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c;
        }
    }
    const std::string_view bytes = folded;
    auto nameAt = [&bytes](const Keyed& k) { return bytes.substr(k.begin, k.size); };
    const std::string_view first = nameAt(keyed[0]);
    size_t common = first.size();
    for (const Keyed& k : keyed) {
        const std::string_view name = nameAt(k).substr(0, common);
        common = static_cast<size_t>(std::mismatch(name.begin(), name.end(), first.begin()).first -
                                     name.begin());
    }
    // A name that ends within the eight bytes reads as followed by zeros, which no name holds:
    // it comes before every longer name it starts.
    for (Keyed& k : keyed) {
        const std::string_view name = nameAt(k);
        for (size_t at = common; at < common + 8; ++at) {
            k.key = k.key << 8 | (at < name.size() ? static_cast<unsigned char>(name[at]) : 0u);
        }
    }
    const size_t past = common + 8;
    std::sort(keyed.begin(), keyed.end(), [&](const Keyed& a, const Keyed& b) {
        if (a.key != b.key) {
            return a.key < b.key;
        }
        const std::string_view restA = nameAt(a).substr(std::min(past, a.size));
        const std::string_view restB = nameAt(b).substr(std::min(past, b.size));
        const int order = restA.compare(restB);
        return order != 0 ? order < 0 : names[a.index] < names[b.index];
    });
    std::vector<std::string> sorted;
    sorted.reserve(names.size());
    for (const Keyed& k : keyed) {
        sorted.push_back(std::move(names[k.index]));
    }
    names.swap(sorted);
}

}  // namespace pw
