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
        ssize_t put = ::write(fd, bytes.data(), chunk);
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
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0) {
            return true;
        }
        if (got < 0 && errno != EINTR) {
            return false;
        }
    }
}

int openDirectory(const std::string& path) {
    return ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

bool writeFiles(const std::string& step, int dir, const std::vector<Item>& items) {
    const char* work = ".floor-work.tmp";
    for (const Item& item : items) {
        const char* name = item.name.c_str();
        if (step == "new") {
            int fd = ::openat(dir, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd < 0 || !writeBytes(fd, item.size) || ::close(fd) != 0) {
                return fail(item.name);
            }
        } else if (step == "rename") {
            int fd = ::openat(dir, work, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd < 0 || !writeBytes(fd, item.size) || ::close(fd) != 0 ||
                ::renameat(dir, work, dir, name) != 0) {
                return fail(item.name);
            }
        } else if (step == "checked") {
            // The system calls a careful writer makes for a new file: look the name up, create
            // a locked work file, write it, rename it to the name.
            struct stat info;
            if (::fstatat(dir, name, &info, AT_SYMLINK_NOFOLLOW) == 0) {
                errno = EEXIST;
                return fail(item.name);
            }
            int fd =
                ::openat(dir, work, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0 || !writeBytes(fd, item.size) ||
                ::renameat(dir, work, dir, name) != 0 || ::close(fd) != 0) {
                return fail(item.name);
            }
        } else if (step == "linktmp") {
            int fd = ::openat(dir, ".", O_WRONLY | O_TMPFILE | O_CLOEXEC, 0666);
            char path[64];
            std::snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
            if (fd < 0 || !writeBytes(fd, item.size) ||
                ::linkat(AT_FDCWD, path, dir, name, AT_SYMLINK_FOLLOW) != 0 || ::close(fd) != 0) {
                return fail(item.name);
            }
        } else if (step == "inplace") {
            int fd = ::openat(dir, name, O_WRONLY | O_CLOEXEC);
            if (fd < 0 || !writeBytes(fd, item.size) ||
                ::ftruncate(fd, static_cast<off_t>(item.size)) != 0 || ::close(fd) != 0) {
                return fail(item.name);
            }
        } else if (step == "trunc") {
            int fd = ::openat(dir, name, O_WRONLY | O_TRUNC | O_CLOEXEC);
            if (fd < 0 || !writeBytes(fd, item.size) || ::close(fd) != 0) {
                return fail(item.name);
            }
        } else {
            int fd = ::openat(dir, name, O_RDONLY | O_CLOEXEC);
            if (fd < 0 || !readWhole(fd) || ::close(fd) != 0) {
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
        int fd = ::openat(dir, entry->d_name, O_RDONLY | O_CLOEXEC);
        struct stat info;
        if (fd < 0 || ::fstat(fd, &info) != 0) {
            ok = fail(entry->d_name);
        } else if (S_ISREG(info.st_mode) && !readWhole(fd)) {
            ok = fail(entry->d_name);
        }
        if (fd >= 0) {
            ::close(fd);
        }
    }
    ::closedir(listing);
    return ok;
}

}  // namespace

int runFloor(const std::vector<std::string>& args) {
    size_t i = 0;
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
                int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
                if (fd < 0 || !readWhole(fd)) {
                    fail(path);
                    return 1;
                }
                ::close(fd);
            }
            i += 2;
            continue;
        }
        bool known = step == "new" || step == "rename" || step == "checked" || step == "linktmp" ||
                     step == "inplace" || step == "trunc" || step == "readlist";
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
        ::close(dir);
        if (!ok) {
            return 1;
        }
        i += 3;
    }
    if (i != args.size()) {
        std::fprintf(stderr, "pagewright-bench floor: bad step '%s'\n", args[i].c_str());
        return 1;
    }
    return 0;
}

}  // namespace pw::bench
