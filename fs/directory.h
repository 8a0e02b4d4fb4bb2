#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "fs/env.h"
#include "fs/file.h"

namespace pw {

// What lies at a name inside a directory, without following a final symbolic link.
struct Entry {
    bool exists = false;
    bool regular = false;
    bool symlink = false;
    // This process may replace the file: its permission bits let this user write it (the
    // superuser as its owner). A symbolic link is replaced, never written through.
    bool writable = true;
    mode_t mode = 0;
    uint64_t size = 0;
};

// A directory that files are read and written in by name only: a name can never reach outside.
class Directory {
  public:
    // Opens `path` (with or without its final separator) through `env`; check ok().
    Directory(Env& env, const std::string& path);

    bool ok() const { return m_handle.valid(); }
    // Why the directory could not be opened.
    const Status& status() const { return m_status; }
    Env& env() const { return m_env; }
    // The path, ending with a separator.
    const std::string& path() const { return m_path; }
    int fd() const { return m_handle.fd(); }

    // The directory path joined with `name`, for messages.
    std::string pathOf(std::string_view name) const;

    Entry entry(const std::string& name) const;
    // Opens a file of the directory for reading, following links.
    Status openForReading(const std::string& name, FileHandle& file) const;
    // Removes a file of the directory; missing is fine.
    void remove(const std::string& name) const;

    // The names of the regular files that `keep` accepts, in listing order (see
    // sortInListingOrder). With `followLinks`, a link to a regular file counts as one.
    std::vector<std::string> listFiles(const std::function<bool(std::string_view)>& keep,
                                       bool followLinks) const;

    // Removes the work files that writers killed before they could clean up left in the
    // directory: those of processes that no longer exist and whose lock nobody holds. Done once;
    // later calls do nothing.
    void removeStaleWorkFiles() const;

    // The stem of this process's work file names, taken once.
    const std::string& workFileStem() const;

  private:
    Env& m_env;
    std::string m_path;
    FileHandle m_handle;
    Status m_status;
    mutable bool m_swept = false;
    mutable std::string m_workStem;
    // Who this process is, for `writable`: taken when the directory is opened.
    uid_t m_user = 0;
    gid_t m_group = 0;
    std::vector<gid_t> m_groups;
};

// Puts file names in the order the runs list a directory's pages: by name with a-z read as
// A-Z, then by bytes. Every file system then gives the same order, and it does not change when
// a page is replaced.
void sortInListingOrder(std::vector<std::string>& names);

}  // namespace pw
