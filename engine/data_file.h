#pragma once

#include <cstdint>
#include <string>

#include "engine/column_table.h"
#include "fs/env.h"

namespace pw {

// The number of records of a data file: its lines, blank ones included, a byte-order mark
// at its start ignored; 0 (an empty or unreadable file) counts as 1, so the progress
// arithmetic never divides by zero and the run then finds no record.
uint64_t countRecords(Env& env, const std::string& path);

// Splits the first record of the data file at `path` into `columns` (the naming example);
// false, with `columns` unchanged, when the file cannot be read or holds no record.
bool readFirstRecord(Env& env, const std::string& path, char separator, ColumnTable& columns);

}  // namespace pw
