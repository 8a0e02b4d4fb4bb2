#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/status.h"

namespace pw {

// An open file descriptor, closed when the owner goes.
class FileHandle {
  public:
    FileHandle() = default;
    explicit FileHandle(int fd) : m_fd(fd) {}
    FileHandle(FileHandle&& other) noexcept : m_fd(other.release()) {}
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle();

    bool valid() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    int release();

  private:
    int m_fd = -1;
};

// Opens `path` for reading (following links); invalid when it cannot be opened.
FileHandle openForReading(const std::string& path);

// Reads the whole of `fd` from its current position into `bytes` (replacing its content).
Status readAll(int fd, std::string& bytes);

// Writes all of `bytes` to `fd`.
Status writeAll(int fd, std::string_view bytes);

// True when `name` can be a file directly inside a directory: not empty, not "." or "..", and
// without a path separator or a NUL byte. Anything else would leave the chosen directory.
bool isPlainFileName(std::string_view name);

// Puts file names in the order the runs list a directory's pages: by name with a-z read as
// A-Z, then by bytes. Every file system then gives the same order, and it
// does not change when a page is replaced.
void sortInListingOrder(std::vector<std::string>& names);

// What lies at a name inside a directory, without following a final symbolic link.
struct Entry {
    bool exists = false;
    bool regular = false;
    bool symlink = false;
    bool writable = true;  // the owner may write it
    mode_t mode = 0;
    uint64_t size = 0;
};

// A directory the runs read and write files in, by name only: a name can never reach outside.
class Directory {
  public:
    // Opens `path` (with or without its final separator); check ok().
    explicit Directory(const std::string& path);

    bool ok() const { return m_handle.valid(); }
    const std::string& path() const { return m_path; }
    int fd() const { return m_handle.fd(); }

    // The directory path joined with `name`, for messages.
    std::string pathOf(std::string_view name) const;

    Entry entry(const std::string& name) const;
    // Opens a file of the directory for reading (following links).
    FileHandle openForReading(const std::string& name) const;
    // Removes a file of the directory; missing is fine.
    void remove(const std::string& name) const;

    // Removes the work files that runs killed before they could clean up left in the directory:
    // those of processes that no longer exist and whose lock nobody holds. Done once; later
    // calls do nothing.
    void removeStaleWorkFiles() const;

  private:
    std::string m_path;
    FileHandle m_handle;
    mutable bool m_swept = false;
};

// A new version of a file of a directory, written beside it under a work name and renamed
// over it on delivery, so the file is always either its old or its new version. The work
// file never ends in ".htm" and is removed when the new version is not delivered. Its name
// holds the process number (".pagewright-work-<pid>.tmp"), so runs of two processes in one
// directory never share one, and the first work file of a run removes those of killed runs.
class WorkFile {
  public:
    explicit WorkFile(const Directory& directory) : m_directory(directory) {}
    WorkFile(const WorkFile&) = delete;
    WorkFile& operator=(const WorkFile&) = delete;
    ~WorkFile() { discard(); }

    // Creates the work file; any earlier content is gone.
    Status open();
    bool isOpen() const { return m_handle.valid(); }
    Status write(std::string_view bytes);
    // Renames the work file over `name`, which keeps its permissions when it existed.
    Status deliver(const std::string& name, const Entry& previous);
    // Removes the work file if it is still there.
    void discard();

    // Every work file's name begins with kWorkPrefix and ends with kWorkSuffix.
    static constexpr std::string_view kWorkPrefix = ".pagewright-work";
    static constexpr std::string_view kWorkSuffix = ".tmp";
    // How many work files one process may hold open in one directory at a time.
    static constexpr int kWorkSlots = 16;

  private:
    const Directory& m_directory;
    FileHandle m_handle;
    std::string m_name;
};

// Replaces `name` in `directory` with `bytes` through a work file; leaves a file whose content
// is already `bytes` untouched. Sets `unchanged` accordingly.
Status replaceFile(const Directory& directory, const std::string& name, std::string_view bytes,
                   bool& unchanged);

// Copies the file `from` to `name` in `directory` the same way.
Status copyFileInto(const std::string& from, const Directory& directory, const std::string& name,
                    bool& unchanged);

// Test seam: after this many more bytes written to work files, writes fail as on a full disk;
// a negative value turns the failure off.
void failWorkFileWritesAfterForTesting(long long bytes);

}  // namespace pw
