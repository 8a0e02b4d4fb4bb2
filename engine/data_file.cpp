#include "engine/data_file.h"

#include "engine/disk.h"
#include "engine/line_reader.h"

namespace pw {

uint64_t countRecords(const std::string& path) {
    FileHandle file = openForReading(path);
    uint64_t count = 0;
    if (file.valid()) {
        LineReader reader = LineReader::fromFd(file.fd());
        reader.skipByteOrderMark();
        count = reader.countRemaining();
    }
    return count == 0 ? 1 : count;
}

}  // namespace pw
