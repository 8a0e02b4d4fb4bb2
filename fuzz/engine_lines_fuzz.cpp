// Reads arbitrary bytes line by line, fed in chunks of every size, and splits each line into
// columns. The lines must not depend on how the bytes arrive, must match a plain reading of
// CR, LF and CR LF as line ends, and the columns joined again must give the line back.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/column_table.h"
#include "fs/line_reader.h"

namespace {

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// The lines as a person reads them: each CR, LF or CR LF ends one line.
std::vector<std::string> plainLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::string current;
    bool pending = false;
    for (size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(current);
            current.clear();
            pending = false;
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                ++i;
            }
        } else {
            current += c;
            pending = true;
        }
    }
    if (pending) {
        lines.push_back(current);
    }
    return lines;
}

std::vector<std::string> readerLines(pw::LineReader& reader) {
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.next(line)) {
        lines.emplace_back(line);
    }
    require(!reader.failed());
    return lines;
}

// A reader over `bytes` that hands out at most `chunk` bytes per read, through a buffer of
// `bufferSize` bytes, so line ends fall on every kind of boundary.
pw::LineReader chunkedReader(std::string_view bytes, size_t chunk, size_t bufferSize) {
    auto position = std::make_shared<size_t>(0);
    return pw::LineReader(
        [bytes, position, chunk](char* buffer, size_t capacity) -> long {
            size_t n = std::min({capacity, chunk, bytes.size() - *position});
            std::memcpy(buffer, bytes.data() + *position, n);
            *position += n;
            return static_cast<long>(n);
        },
        bufferSize);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    // Two leading bytes choose the chunk size and the column separator; the rest is the text.
    size_t chunk = 1 + data[0] % 37;
    char separator = static_cast<char>(data[1]);
    std::string_view bytes(reinterpret_cast<const char*>(data + 2), size - 2);

    std::vector<std::string> expected = plainLines(bytes);
    pw::LineReader whole = pw::LineReader::fromMemory(bytes);
    require(readerLines(whole) == expected);
    pw::LineReader pieces = chunkedReader(bytes, chunk, 16 + data[0] % 5);
    require(readerLines(pieces) == expected);

    pw::LineReader counter = chunkedReader(bytes, chunk, 64);
    require(counter.countRemaining() == expected.size());

    // A byte-order mark is dropped only at the very start.
    pw::LineReader bom = chunkedReader(bytes, chunk, 16);
    bom.skipByteOrderMark();
    std::string_view rest = bytes;
    if (rest.substr(0, 3) == "\xEF\xBB\xBF") {
        rest.remove_prefix(3);
    }
    require(readerLines(bom) == plainLines(rest));

    pw::ColumnTable columns;
    for (const std::string& line : expected) {
        columns.clear();
        columns.split(line, separator);
        size_t fields = static_cast<size_t>(std::count(line.begin(), line.end(), separator)) + 1;
        size_t kept = std::min<size_t>(fields, pw::ColumnTable::kSlots);
        std::string joined;
        for (size_t k = 0; k < kept; ++k) {
            if (k > 0) {
                joined += separator;
            }
            joined += columns.at(static_cast<long long>(k));
        }
        if (fields <= pw::ColumnTable::kSlots) {
            require(joined == line);
        } else {
            require(line.compare(0, joined.size(), joined) == 0);
            require(line[joined.size()] == separator);
        }
        for (size_t k = kept; k < pw::ColumnTable::kSlots; ++k) {
            require(columns.at(static_cast<long long>(k)).empty());
        }
        require(columns.at(-1).empty() && columns.at(pw::ColumnTable::kSlots).empty());
    }
    return 0;
}
