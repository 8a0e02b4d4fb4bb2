#include "bench/floor_writer.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace pw::bench {

namespace {

// The system calls made on files and the files written or read, for `--calls`.
uint64_t g_calls = 0;
uint64_t g_files = 0;

template <typename Call, typename... Args>
auto counted(Call call, Args... args) {
    ++g_calls;
    return call(args...);
}

struct Item {
    uint64_t size;
    std::string name;
};

// What the floor writes: page-like text, long enough for the largest single write.
const std::string& payload() {
    static const std::string bytes = [] {
        std::string text;
        const std::string line =
            "<tr><td>floor</td><td>bytes of a page, written as they come</td></tr>\r\n";
        while (text.size() < (256u << 10)) {
            text += line;
        }
        return text;
    }();
    return bytes;
}

bool fail(const std::string& what) {
    std::fprintf(stderr, "pagewright-bench floor: %s: %s\n", what.c_str(), std::strerror(errno));
    return false;
}

bool readManifest(const std::string& path, std::vector<Item>& items) {
    std::ifstream in(path);
    if (!in) {
        errno = ENOENT;
        return fail(path);
    }
    Item item;
    while (in >> item.size && in.get() == ' ' && std::getline(in, item.name)) {
        items.push_back(item);
    }
    return true;
}

bool writeBytes(int fd, uint64_t size) {
    const std::string& bytes = payload();
    while (size > 0) {
        size_t chunk = size < bytes.size() ? static_cast<size_t>(size) : bytes.size();
        ssize_t put = counted(::write, fd, bytes.data(), chunk);
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        size -= static_cast<uint64_t>(put);
    }
    return true;
}

bool readWhole(int fd) {
    static char buffer[65536];
    for (;;) {
        ssize_t got = counted(::read, fd, buffer, sizeof buffer);
        if (got == 0) {
            return true;
        }
        if (got < 0 && errno != EINTR) {
            return false;
        }
    }
}

int openDirectory(const std::string& path) {
    return counted(::open, path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

bool writeFiles(const std::string& step, int dir, const std::vector<Item>& items) {
    const char* work = ".floor-work.tmp";
    for (const Item& item : items) {
        ++g_files;
        const char* name = item.name.c_str();
        if (step == "new") {
            int fd = counted(::openat, dir, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd < 0 || !writeBytes(fd, item.size) || counted(::close, fd) != 0) {
                return fail(item.name);
            }
        } else if (step == "rename" || step == "readrename") {
            if (step == "readrename") {
                int old = counted(::openat, dir, name, O_RDONLY | O_CLOEXEC);
                if (old < 0 || !readWhole(old) || counted(::close, old) != 0) {
                    return fail(item.name);
                }
            }
            int fd = counted(::openat, dir, work, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd < 0 || !writeBytes(fd, item.size) || counted(::close, fd) != 0 ||
                counted(::renameat, dir, work, dir, name) != 0) {
                return fail(item.name);
            }
        } else if (step == "checked") {
            // The system calls a careful writer makes for a new file: look the name up, create
            // a locked work file, write it, rename it to the name.
            struct stat info;
            if (counted(::fstatat, dir, name, &info, AT_SYMLINK_NOFOLLOW) == 0) {
                errno = EEXIST;
                return fail(item.name);
            }
            int fd = counted(::openat, dir, work,
                             O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            if (fd < 0 || counted(::flock, fd, LOCK_EX | LOCK_NB) != 0 ||
                !writeBytes(fd, item.size) || counted(::renameat, dir, work, dir, name) != 0 ||
                counted(::close, fd) != 0) {
                return fail(item.name);
            }
        } else if (step == "linktmp") {
            int fd = counted(::openat, dir, ".", O_WRONLY | O_TMPFILE | O_CLOEXEC, 0666);
            char path[64];
            std::snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
            if (fd < 0 || !writeBytes(fd, item.size) ||
                counted(::linkat, AT_FDCWD, path, dir, name, AT_SYMLINK_FOLLOW) != 0 ||
                counted(::close, fd) != 0) {
                return fail(item.name);
            }
        } else if (step == "inplace") {
            int fd = counted(::openat, dir, name, O_WRONLY | O_CLOEXEC);
            if (fd < 0 || !writeBytes(fd, item.size) ||
                counted(::ftruncate, fd, static_cast<off_t>(item.size)) != 0 ||
                counted(::close, fd) != 0) {
                return fail(item.name);
            }
        } else if (step == "trunc") {
            int fd = counted(::openat, dir, name, O_WRONLY | O_TRUNC | O_CLOEXEC);
            if (fd < 0 || !writeBytes(fd, item.size) || counted(::close, fd) != 0) {
                return fail(item.name);
            }
        } else {
            int fd = counted(::openat, dir, name, O_RDONLY | O_CLOEXEC);
            if (fd < 0 || !readWhole(fd) || counted(::close, fd) != 0) {
                return fail(item.name);
            }
        }
    }
    return true;
}

bool readDirectory(const std::string& path) {
    int dir = openDirectory(path);
    DIR* listing = dir < 0 ? nullptr : ::fdopendir(dir);
    if (listing == nullptr) {
        return fail(path);
    }
    bool ok = true;
    while (struct dirent* entry = ::readdir(listing)) {
        if (entry->d_name[0] == '.') {
            continue;
        }
        ++g_files;
        int fd = counted(::openat, dir, entry->d_name, O_RDONLY | O_CLOEXEC);
        struct stat info;
        if (fd < 0 || counted(::fstat, fd, &info) != 0) {
            ok = fail(entry->d_name);
        } else if (S_ISREG(info.st_mode) && !readWhole(fd)) {
            ok = fail(entry->d_name);
        }
        if (fd >= 0) {
            counted(::close, fd);
        }
    }
    ::closedir(listing);
    return ok;
}

}  // namespace

int runFloor(const std::vector<std::string>& args) {
    size_t i = 0;
    std::string callsPath;
    if (args.size() > 2 && args[0] == "--calls") {
        callsPath = args[1];
        i = 2;
    }
    while (i < args.size()) {
        const std::string& step = args[i];
        if (step == "readfile" || step == "readdir") {
            if (i + 1 >= args.size()) {
                break;
            }
            const std::string& path = args[i + 1];
            if (step == "readdir") {
                if (!readDirectory(path)) {
                    return 1;
                }
            } else {
                int fd = counted(::open, path.c_str(), O_RDONLY | O_CLOEXEC);
                if (fd < 0 || !readWhole(fd)) {
                    fail(path);
                    return 1;
                }
                counted(::close, fd);
            }
            i += 2;
            continue;
        }
        bool known = step == "new" || step == "rename" || step == "readrename" ||
                     step == "checked" || step == "linktmp" || step == "inplace" ||
                     step == "trunc" || step == "readlist";
        if (!known || i + 2 >= args.size()) {
            break;
        }
        std::vector<Item> items;
        if (!readManifest(args[i + 2], items)) {
            return 1;
        }
        int dir = openDirectory(args[i + 1]);
        if (dir < 0) {
            fail(args[i + 1]);
            return 1;
        }
        bool ok = writeFiles(step, dir, items);
        counted(::close, dir);
        if (!ok) {
            return 1;
        }
        i += 3;
    }
    if (i != args.size()) {
        std::fprintf(stderr, "pagewright-bench floor: bad step '%s'\n", args[i].c_str());
        return 1;
    }
    if (!callsPath.empty()) {
        std::FILE* out = std::fopen(callsPath.c_str(), "w");
        if (out == nullptr) {
            return fail(callsPath) ? 0 : 1;
        }
        std::fprintf(out, "%llu %llu %.2f\n", static_cast<unsigned long long>(g_files),
                     static_cast<unsigned long long>(g_calls),
                     g_files ? static_cast<double>(g_calls) / static_cast<double>(g_files) : 0.0);
        std::fclose(out);
    }
    return 0;
}

}  // namespace pw::bench
