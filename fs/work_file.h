#pragma once

#include <string>
#include <string_view>

#include "fs/directory.h"
#include "fs/file.h"

namespace pw {

// How far a delivered file is pushed towards the disk.
enum class Durability {
    // The rename (or link) is atomic, so a crash of the program leaves the old or the new file;
    // after a power loss the system may still hold neither on disk. Pages use this: a run
    // writes thousands of them, a sync each would cost more than the run, and a page lost to a
    // power cut is made again by running once more.
    kAtomic,
    // The file is synced before it takes its name and the directory after: the new version
    // survives a power loss once delivery returns. For the settings file and the registry hive,
    // which hold what a person cannot make again.
    kSynced,
};

// What a replacement did.
enum class Delivery { kWritten, kUnchanged };

// The new version of a file of a directory, which appears under its name only whole, so the
// name always holds the old or the new version. A file that does not exist yet is written
// unnamed (O_TMPFILE) and linked under its name: nothing is left behind when the process is
// killed. An existing file is replaced by renaming a work file over it; the work file never
// ends in ".htm", is removed when the new version is not delivered, and its name holds the
// process number (".pagewright-work-<pid>.tmp"), so writers of two processes in one directory
// never share one. A writer holds its directory shared from its first new version on (the
// lock is taken once, not per file); the first new version of a directory that no other
// writer holds removes the work files killed writers left.
class WorkFile {
  public:
    WorkFile(const Directory& directory, Durability durability)
        : m_directory(directory), m_durability(durability) {}
    WorkFile(const WorkFile&) = delete;
    WorkFile& operator=(const WorkFile&) = delete;
    ~WorkFile() { discard(); }

    // Starts the new version of `name`, which now holds `previous` (Directory::openExisting).
    // A replaced plain file keeps its mode.
    Status open(const std::string& name, const Entry& previous);
    bool isOpen() const { return m_handle.valid(); }
    Status write(std::string_view bytes);
    // Puts the new version under its name.
    Status deliver();
    // Drops the new version if it was not delivered.
    void discard();

    // Every work file's name begins with kWorkPrefix and ends with kWorkSuffix.
    static constexpr std::string_view kWorkPrefix = ".pagewright-work";
    static constexpr std::string_view kWorkSuffix = ".tmp";
    // How many work files one process may hold open in one directory at a time.
    static constexpr int kWorkSlots = 16;

  private:
    Status openNamed();
    void release();

    const Directory& m_directory;
    Durability m_durability;
    FileHandle m_handle;
    std::string m_target;
    bool m_replacesTaken = true;
    // The work file's slot; 0 while the new version has no name.
    int m_slot = 0;
};

// The new version of a file, made piece by piece as it streams. While it equals the file
// already there it is only compared with it; from the first difference on it goes to a work
// file, which first gets the equal part from the old file. A version equal to the old file
// writes nothing and leaves it untouched. Small pieces are gathered before they go out, long
// ones (a long line) go out at once, so memory stays bounded by the longest piece.
class StreamedVersion {
  public:
    // `old` is the open file that `name` holds now (Directory::openExisting), or an invalid
    // handle for a new file; it is read with readAt, so its position does not matter.
    StreamedVersion(const Directory& directory, const std::string& name, const Entry& previous,
                    const FileHandle& old, Durability durability);

    // Appends `bytes` to the new version; after a failure, does nothing and returns it again.
    Status write(std::string_view bytes);
    // Ends the new version: delivers it, unless it equals the old file.
    Status finish(Delivery& delivery);

  private:
    void flush();
    void put(std::string_view bytes);
    bool matchesOld(std::string_view bytes);
    void diverge();

    const Directory& m_directory;
    const std::string& m_name;
    const Entry& m_previous;
    int m_old;
    bool m_comparing;
    uint64_t m_matched = 0;
    WorkFile m_work;
    std::string m_pending;
    std::string m_chunk;
    Status m_status;
};

// Writes `bytes` as the new version of `name` in `directory`, which now holds `previous`
// (Directory::openExisting); an existing file this process may not write is refused.
Status writeVersion(const Directory& directory, const std::string& name, std::string_view bytes,
                    const Entry& previous, Durability durability);

// Replaces `name` in `directory` with `bytes` as writeVersion does, unless the file already
// holds exactly `bytes` (then it is left untouched and `delivery` says so).
Status replaceFile(const Directory& directory, const std::string& name, std::string_view bytes,
                   Durability durability, Delivery& delivery);

// Copies the file at `from` to `name` in `directory` the same way.
Status copyFileInto(const std::string& from, const Directory& directory, const std::string& name,
                    Delivery& delivery);

}  // namespace pw
