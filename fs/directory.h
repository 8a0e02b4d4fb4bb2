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

// What lies at a name inside a directory: the file itself, or what its symbolic link leads to.
struct Entry {
    bool exists = false;
    // The file (for a link, the file it leads to) is a plain file.
    bool regular = false;
    // The name is a symbolic link; it is replaced, never written through.
    bool symlink = false;
    // This process may replace the file: its permission bits let this user write it (the
    // superuser as its owner). Always true for a symbolic link.
    bool writable = true;
    mode_t mode = 0;
    uint64_t size = 0;
    // The name was not looked up but taken to be free: a new version that finds it taken when
    // it is delivered fails (EEXIST) instead of replacing what is there.
    bool assumedFree = false;
    // Which file it is and when it last changed: a file with the same inode, size and change
    // time has not been written since.
    uint64_t inode = 0;
    int64_t changedNs = 0;

    // A new version keeps the mode of a plain file that no link stands for.
    bool keepsMode() const { return exists && regular && !symlink; }
    // Both describe the same plain file, unchanged in between.
    bool sameVersionAs(const Entry& other) const {
        return exists && other.exists && regular && other.regular && !symlink && !other.symlink &&
               inode == other.inode && size == other.size && changedNs == other.changedNs;
    }
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

    // Opens the file `name` for reading, following a final link, and tells what the name holds:
    // one open and one fstat for a file, one failed open for a free name (then `entry.exists`
    // is false, `file` closed and the status ok). When a file is there but cannot be opened, the
    // status says why and `entry` still describes it.
    Status openExisting(const std::string& name, FileHandle& file, Entry& entry) const;
    // Tells what the name holds without opening it (one stat; a link is not followed).
    Status lookup(const std::string& name, Entry& entry) const;
    // Opens a file of the directory for reading, following links.
    Status openForReading(const std::string& name, FileHandle& file) const;
    // Removes a file of the directory; missing is fine.
    void remove(const std::string& name) const;

    // True when the directory is known to hold no name that `matches`: it holds few names and
    // none of them matches. Reads only the start of a large directory (then the answer is no).
    bool holdsNone(const std::function<bool(std::string_view)>& matches) const;

    // The names of the regular files that `keep` accepts, in listing order (see
    // sortInListingOrder). With `followLinks`, a link to a regular file counts as one.
    std::vector<std::string> listFiles(const std::function<bool(std::string_view)>& keep,
                                       bool followLinks) const;

    // Gets the directory ready for this process's work files, once: removes those that killed
    // writers left when no other writer holds the directory, then holds it shared until it is
    // closed, so that no other process removes this one's work files.
    void prepareWorkFiles() const;

    // Whether new files can be written here unnamed (O_TMPFILE) and linked to their name
    // through /proc/self/fd: tried once, with a throwaway file. A failure that would stop a
    // named work file too (a read-only file system, a full disk) leaves it to be tried again.
    bool linksUnnamedFiles() const;

    // The mode the system gives a new file here, learnt once from the open new file `fd`.
    mode_t creationMode(int fd) const;

    // A work file name of this process that is not in use by it: the number of a free slot
    // (from 1, up to WorkFile::kWorkSlots), or 0 when all are in use. Slot 0 is the name of the
    // throwaway file of linksUnnamedFiles.
    int takeWorkSlot() const;
    void releaseWorkSlot(int slot) const;
    std::string workFileName(int slot) const;

  private:
    bool writableBy(const FileInfo& info) const;
    // Fills `entry` from what a stat of an existing file told; `entry.symlink` is already set.
    void describe(const FileInfo& info, Entry& entry) const;
    const std::string& workFileStem() const;
    void removeStaleWorkFiles() const;

    Env& m_env;
    std::string m_path;
    FileHandle m_handle;
    Status m_status;
    mutable bool m_prepared = false;
    // The work files of the last full listing (listFiles), when there was one.
    mutable bool m_workFilesListed = false;
    mutable std::vector<std::string> m_workFilesSeen;
    mutable std::string m_workStem;
    mutable uint32_t m_workSlots = 0;
    enum class Unnamed { kUntried, kLinked, kRefused };
    mutable Unnamed m_unnamed = Unnamed::kUntried;
    mutable bool m_creationModeKnown = false;
    mutable mode_t m_creationMode = 0;
    // Who this process is, for `writable`: taken when the directory is opened.
    uid_t m_user = 0;
    gid_t m_group = 0;
    std::vector<gid_t> m_groups;
};

// The path through which an open file, named or not, can be linked under a name
// (linkat with AT_SYMLINK_FOLLOW; AT_EMPTY_PATH would need a privilege).
std::string procPathOf(int fd);

// Puts file names in the order the runs list a directory's pages: by name with a-z read as
// A-Z, then by bytes. Every file system then gives the same order, and it does not change when
// a page is replaced.
void sortInListingOrder(std::vector<std::string>& names);

}  // namespace pw
