#pragma once

#include <string>
#include <string_view>

#include "fs/directory.h"
#include "fs/file.h"

namespace pw {

// How far a delivered file is pushed towards the disk.
enum class Durability {
    // The rename is atomic, so a crash of the program leaves the old or the new file; after a
    // power loss the system may still hold neither on disk. Pages use this: a run writes
    // thousands of them, a sync each would cost more than the run, and a page lost to a power
    // cut is made again by running once more.
    kAtomic,
    // The file is synced before the rename and the directory after it: the new version survives
    // a power loss once delivery returns. For the settings file and the registry hive, which
    // hold what a person cannot make again.
    kSynced,
};

// What a replacement did.
enum class Delivery { kWritten, kUnchanged };

// A new version of a file of a directory, written beside it under a work name and renamed
// over it on delivery, so the file is always either its old or its new version. The work
// file never ends in ".htm" and is removed when the new version is not delivered. Its name
// holds the process number (".pagewright-work-<pid>.tmp"), so writers of two processes in one
// directory never share one, and the first work file of a directory removes those of killed
// writers.
class WorkFile {
  public:
    WorkFile(const Directory& directory, Durability durability)
        : m_directory(directory), m_durability(durability) {}
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
    Durability m_durability;
    FileHandle m_handle;
    std::string m_name;
};

// Replaces `name` in `directory` with `bytes` through a work file, unless the file already
// holds exactly `bytes` (then it is left untouched and `delivery` says so). An existing file
// this process may not write is refused and left as it is.
Status replaceFile(const Directory& directory, const std::string& name, std::string_view bytes,
                   Durability durability, Delivery& delivery);

// Copies the file at `from` to `name` in `directory` the same way.
Status copyFileInto(const std::string& from, const Directory& directory, const std::string& name,
                    Delivery& delivery);

}  // namespace pw
