#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/column_table.h"
#include "fs/env.h"
#include "fs/file.h"
#include "fs/line_reader.h"

namespace pw {

// A data file open for a run: its records are counted first when the run shows a record
// counter, then handed out one by one. A record is a line, blank ones included; a UTF-8
// byte-order mark at the start is not part of the first record.
class DataFile {
  public:
    // Opens the file at `path` and, with `counted`, counts its records; otherwise it reads the
    // first record ahead, so a file that cannot be read is known before anything is written.
    // Check status().
    DataFile(Env& env, const std::string& path, bool counted = true);

    // Why the file cannot be read, when it cannot.
    const Status& status() const { return m_status; }
    // The number of records when counted, else 0. An empty counted file counts as 1, so the
    // progress arithmetic never divides by zero and the run then finds no record.
    uint64_t count() const { return m_count; }
    // Stores the next record in `record`, valid until the next call; false at the end of the
    // file, or when a read fails (then status() says why).
    bool next(std::string_view& record);

  private:
    void readFailed() { m_status = Status::ioError("read error"); }

    FileHandle m_file;
    LineReader m_reader;
    Status m_status;
    uint64_t m_count = 0;
    // The first record, read ahead by an uncounted file.
    std::string_view m_ahead;
    bool m_hasAhead = false;
};

// Splits the first record of the data file at `path` into `columns` (the naming example);
// false, with `columns` unchanged, when the file cannot be read or holds no record.
bool readFirstRecord(Env& env, const std::string& path, char separator, ColumnTable& columns);

}  // namespace pw
