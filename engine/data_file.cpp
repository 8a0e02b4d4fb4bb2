#include "engine/data_file.h"

namespace pw {

DataFile::DataFile(Env& env, const std::string& path, bool counted)
    : m_reader(LineReader::Source()) {
    m_status = openForReading(env, path, m_file);
    if (!m_status.ok()) {
        return;
    }
    m_reader = LineReader::fromFd(env, m_file.fd());
    m_reader.skipByteOrderMark();
    if (!counted) {
        m_hasAhead = m_reader.next(m_ahead);
        if (m_reader.failed()) {
            readFailed();
        }
        return;
    }
    const uint64_t count = m_reader.countRemaining();
    if (m_reader.failed()) {
        readFailed();
        return;
    }
    m_count = count == 0 ? 1 : count;
    m_status = env.seek(m_file.fd(), 0);
    m_reader.restart();
}

bool DataFile::next(std::string_view& record) {
    if (!m_status.ok()) {
        return false;
    }
    if (m_hasAhead) {
        m_hasAhead = false;
        record = m_ahead;
        return true;
    }
    if (m_reader.next(record)) {
        return true;
    }
    if (m_reader.failed()) {
        readFailed();
    }
    return false;
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
