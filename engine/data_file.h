#pragma once

#include <cstdint>
#include <string>

namespace pw {

// The number of records of a data file: its lines, blank ones included, a byte-order mark
// at its start ignored; 0 (an empty or unreadable file) counts as 1, so the progress
// arithmetic never divides by zero and the run then finds no record.
uint64_t countRecords(const std::string& path);

}  // namespace pw
