#include "links/page_list.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pw {

bool isPageName(std::string_view name) {
    if (name.size() < 3 || name.front() == '.') {
        return false;
    }
    std::string_view end = name.substr(name.size() - 3);
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return lower(end[0]) == 'h' && lower(end[1]) == 't' && lower(end[2]) == 'm';
}

std::vector<std::string> listPages(const Directory& directory) {
    std::vector<std::string> pages;
    if (!directory.ok()) {
        return pages;
    }
    int fd = ::fcntl(directory.fd(), F_DUPFD_CLOEXEC, 0);
    if (fd < 0) {
        return pages;
    }
    DIR* listing = ::fdopendir(fd);
    if (listing == nullptr) {
        ::close(fd);
        return pages;
    }
    ::rewinddir(listing);
    while (const dirent* item = ::readdir(listing)) {
        std::string_view name = item->d_name;
        if (!isPageName(name) || !isPlainFileName(name)) {
            continue;
        }
        bool regular = item->d_type == DT_REG;
        if (item->d_type == DT_UNKNOWN) {
            struct stat info;
            regular = ::fstatat(directory.fd(), item->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                      S_ISREG(info.st_mode);
        }
        if (regular) {
            pages.emplace_back(name);
        }
    }
    ::closedir(listing);
    sortInListingOrder(pages);
    return pages;
}

}  // namespace pw
