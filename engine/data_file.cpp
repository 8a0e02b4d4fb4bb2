#include "engine/data_file.h"

#include "fs/file.h"
#include "fs/line_reader.h"

namespace pw {

uint64_t countRecords(Env& env, const std::string& path) {
    FileHandle file;
    uint64_t count = 0;
    if (openForReading(env, path, file).ok()) {
        LineReader reader = LineReader::fromFd(env, file.fd());
        reader.skipByteOrderMark();
        count = reader.countRemaining();
    }
    return count == 0 ? 1 : count;
}

bool readFirstRecord(Env& env, const std::string& path, char separator, ColumnTable& columns) {
    FileHandle file;
    if (!openForReading(env, path, file).ok()) {
        return false;
    }
    LineReader reader = LineReader::fromFd(env, file.fd());
    reader.skipByteOrderMark();
    std::string_view line;
    if (!reader.next(line)) {
        return false;
    }
    columns.split(line, separator);
    return true;
}

}  // namespace pw
