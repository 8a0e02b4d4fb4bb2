#include "index/htm_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "index/index_scan.h"

namespace pw {

std::vector<std::string> listHtmPages(const Directory& directory) {
    std::vector<std::string> names;
    if (!directory.ok()) {
        return names;
    }
    // The listing gets a descriptor of its own: closedir closes it, the directory keeps its own.
    int fd = ::openat(directory.fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return names;
    }
    DIR* listing = ::fdopendir(fd);
    if (listing == nullptr) {
        ::close(fd);
        return names;
    }
    while (const dirent* item = ::readdir(listing)) {
        std::string_view name = item->d_name;
        if (!isListedPageName(name)) {
            continue;
        }
        bool plain = item->d_type == DT_REG;
        if (item->d_type == DT_UNKNOWN || item->d_type == DT_LNK) {
            struct stat info;
            plain = ::fstatat(directory.fd(), item->d_name, &info, 0) == 0 && S_ISREG(info.st_mode);
        }
        if (plain) {
            names.emplace_back(name);
        }
    }
    ::closedir(listing);
    sortInListingOrder(names);
    return names;
}

}  // namespace pw
