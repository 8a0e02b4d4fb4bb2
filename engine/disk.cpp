#include "engine/disk.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>

namespace pw {

namespace {

long long g_writeBudget = -1;

Status errnoStatus(std::string_view what) {
    std::string reason(what);
    reason += ": ";
    reason += std::strerror(errno);
    return Status::error(reason);
}

// True when some open file holds the lock of the regular file `name` of `dir`.
bool lockedElsewhere(int dir, const std::string& name) {
    FileHandle file(::openat(dir, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    return file.valid() && ::flock(file.fd(), LOCK_EX | LOCK_NB) != 0;
}

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

bool processExists(long pid) {
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

}  // namespace

void failWorkFileWritesAfterForTesting(long long bytes) {
    g_writeBudget = bytes;
}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        m_fd = other.release();
    }
    return *this;
}

FileHandle::~FileHandle() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

int FileHandle::release() {
    int fd = m_fd;
    m_fd = -1;
    return fd;
}

FileHandle openForReading(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) {
        return FileHandle();
    }
    return FileHandle(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
}

Status readAll(int fd, std::string& bytes) {
    bytes.clear();
    struct stat info;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        bytes.reserve(static_cast<size_t>(info.st_size));
    }
    char chunk[65536];
    for (;;) {
        ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errnoStatus("read");
        }
        if (got == 0) {
            return Status();
        }
        bytes.append(chunk, static_cast<size_t>(got));
    }
}

Status writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t put = ::write(fd, bytes.data(), bytes.size());
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errnoStatus("write");
        }
        bytes.remove_prefix(static_cast<size_t>(put));
    }
    return Status();
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

bool isPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

Directory::Directory(const std::string& path) : m_path(path) {
    if (!m_path.empty() && m_path.back() != '/') {
        m_path += '/';
    }
    if (!path.empty() && path.find('\0') == std::string::npos) {
        m_handle = FileHandle(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    }
}

std::string Directory::pathOf(std::string_view name) const {
    std::string full = m_path;
    full += name;
    return full;
}

Entry Directory::entry(const std::string& name) const {
    Entry result;
    struct stat info;
    if (!ok() || !isPlainFileName(name) ||
        ::fstatat(fd(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return result;
    }
    result.exists = true;
    result.symlink = S_ISLNK(info.st_mode);
    result.regular = S_ISREG(info.st_mode);
    result.mode = info.st_mode & 07777;
    result.writable = result.symlink || (info.st_mode & S_IWUSR) != 0;
    result.size = static_cast<uint64_t>(info.st_size);
    return result;
}

FileHandle Directory::openForReading(const std::string& name) const {
    if (!ok() || !isPlainFileName(name)) {
        return FileHandle();
    }
    return FileHandle(::openat(fd(), name.c_str(), O_RDONLY | O_CLOEXEC));
}

void Directory::remove(const std::string& name) const {
    if (ok() && isPlainFileName(name)) {
        ::unlinkat(fd(), name.c_str(), 0);
    }
}

void Directory::removeStaleWorkFiles() const {
    if (m_swept || !ok()) {
        return;
    }
    m_swept = true;
    FileHandle own(::openat(fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    DIR* listing = own.valid() ? ::fdopendir(own.fd()) : nullptr;
    if (listing == nullptr) {
        return;
    }
    own.release();  // the listing closes it
    const long self = static_cast<long>(::getpid());
    while (const struct dirent* item = ::readdir(listing)) {
        const long owner = workFileOwner(item->d_name);
        if (owner < 0 || owner == self || (owner > 0 && processExists(owner))) {
            continue;
        }
        // Removed only while holding its lock, and only if the name still holds the file that
        // was locked: a live writer keeps its work file locked from creation to delivery.
        FileHandle file(
            ::openat(fd(), item->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat opened;
        struct stat named;
        if (file.valid() && ::flock(file.fd(), LOCK_EX | LOCK_NB) == 0 &&
            ::fstat(file.fd(), &opened) == 0 && S_ISREG(opened.st_mode) &&
            ::fstatat(fd(), item->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            named.st_ino == opened.st_ino && named.st_dev == opened.st_dev) {
            ::unlinkat(fd(), item->d_name, 0);
        }
    }
    ::closedir(listing);
}

Status WorkFile::open() {
    discard();
    if (!m_directory.ok()) {
        return Status::error("directory cannot be opened");
    }
    m_directory.removeStaleWorkFiles();
    // The work file is created anew, never opened through whatever a name already holds. Only
    // this process makes names with its number: one that exists is either another work file
    // this process holds locked (the next slot is used) or was left by a killed process that
    // had the same number (it is removed).
    const int dir = m_directory.fd();
    std::string base(kWorkPrefix);
    base += '-';
    base += std::to_string(::getpid());
    for (int slot = 1; slot <= kWorkSlots; ++slot) {
        std::string name = base;
        if (slot > 1) {
            name += '-';
            name += std::to_string(slot);
        }
        name += kWorkSuffix;
        for (int attempt = 0; attempt < 2; ++attempt) {
            int fd = ::openat(dir, name.c_str(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            if (fd >= 0) {
                ::flock(fd, LOCK_EX | LOCK_NB);
                m_handle = FileHandle(fd);
                m_name = std::move(name);
                return Status();
            }
            if (errno != EEXIST) {
                return errnoStatus("cannot create the work file");
            }
            if (lockedElsewhere(dir, name)) {
                break;
            }
            ::unlinkat(dir, name.c_str(), 0);
        }
    }
    return Status::error("work file in use");
}

Status WorkFile::write(std::string_view bytes) {
    if (!m_handle.valid()) {
        return Status::error("work file not open");
    }
    if (g_writeBudget >= 0) {
        if (static_cast<long long>(bytes.size()) > g_writeBudget) {
            size_t part = static_cast<size_t>(g_writeBudget);
            g_writeBudget = 0;
            (void)writeAll(m_handle.fd(), bytes.substr(0, part));
            errno = ENOSPC;
            return errnoStatus("write");
        }
        g_writeBudget -= static_cast<long long>(bytes.size());
    }
    return writeAll(m_handle.fd(), bytes);
}

Status WorkFile::deliver(const std::string& name, const Entry& previous) {
    if (!m_handle.valid()) {
        return Status::error("work file not open");
    }
    if (!isPlainFileName(name)) {
        return Status::error("name would leave the directory");
    }
    if (previous.exists && previous.regular) {
        ::fchmod(m_handle.fd(), previous.mode);
    }
    if (::renameat(m_directory.fd(), m_name.c_str(), m_directory.fd(), name.c_str()) != 0) {
        Status status = errnoStatus("cannot replace the file");
        discard();
        return status;
    }
    m_handle = FileHandle();
    m_name.clear();
    return Status();
}

void WorkFile::discard() {
    if (m_handle.valid()) {
        ::unlinkat(m_directory.fd(), m_name.c_str(), 0);
        m_handle = FileHandle();
        m_name.clear();
    }
}

namespace {

// True when the file `name` of `directory` holds exactly `bytes`.
bool sameContent(const Directory& directory, const std::string& name, const Entry& entry,
                 std::string_view bytes) {
    if (!entry.exists || !entry.regular || entry.size != bytes.size()) {
        return false;
    }
    FileHandle file = directory.openForReading(name);
    if (!file.valid()) {
        return false;
    }
    char chunk[65536];
    size_t offset = 0;
    for (;;) {
        ssize_t got = ::read(file.fd(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got == 0 && offset == bytes.size();
        }
        if (offset + static_cast<size_t>(got) > bytes.size() ||
            std::memcmp(chunk, bytes.data() + offset, static_cast<size_t>(got)) != 0) {
            return false;
        }
        offset += static_cast<size_t>(got);
    }
}

}  // namespace

Status replaceFile(const Directory& directory, const std::string& name, std::string_view bytes,
                   bool& unchanged) {
    unchanged = false;
    if (!isPlainFileName(name)) {
        return Status::error("name would leave the directory");
    }
    Entry entry = directory.entry(name);
    if (sameContent(directory, name, entry, bytes)) {
        unchanged = true;
        return Status();
    }
    if (entry.exists && !entry.writable) {
        return Status::error("read-only file");
    }
    WorkFile work(directory);
    Status status = work.open();
    if (status.ok()) {
        status = work.write(bytes);
    }
    if (status.ok()) {
        status = work.deliver(name, entry);
    }
    return status;
}

Status copyFileInto(const std::string& from, const Directory& directory, const std::string& name,
                    bool& unchanged) {
    unchanged = false;
    FileHandle source = openForReading(from);
    if (!source.valid()) {
        return errnoStatus("cannot open " + from);
    }
    std::string bytes;
    Status status = readAll(source.fd(), bytes);
    if (!status.ok()) {
        return status;
    }
    return replaceFile(directory, name, bytes, unchanged);
}

}  // namespace pw
