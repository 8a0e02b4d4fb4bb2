#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/column_table.h"
#include "fs/env.h"
#include "fs/file.h"
#include "fs/line_reader.h"

namespace pw {

// A data file open for a run: its records are counted first (for the record counter), then
// handed out one by one. A record is a line, blank ones included; a UTF-8 byte-order mark at
// the start is not part of the first record.
class DataFile {
  public:
    // Opens the file at `path` and counts its records; check status().
    DataFile(Env& env, const std::string& path);

    // Why the file cannot be read, when it cannot.
    const Status& status() const { return m_status; }
    // The number of records; 0 (an empty file) counts as 1, so the progress arithmetic never
    // divides by zero and the run then finds no record.
    uint64_t count() const { return m_count; }
    // Stores the next record in `record`, valid until the next call; false at the end of the
    // file, or when a read fails (then status() says why).
    bool next(std::string_view& record);

  private:
    Env& m_env;
    FileHandle m_file;
    LineReader m_reader;
    Status m_status;
    uint64_t m_count = 1;
};

// Splits the first record of the data file at `path` into `columns` (the naming example);
// false, with `columns` unchanged, when the file cannot be read or holds no record.
bool readFirstRecord(Env& env, const std::string& path, char separator, ColumnTable& columns);

}  // namespace pw
