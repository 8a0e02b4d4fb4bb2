#include "engine/data_file.h"

namespace pw {

DataFile::DataFile(Env& env, const std::string& path) : m_env(env), m_reader(LineReader::Source()) {
    m_status = openForReading(env, path, m_file);
    if (!m_status.ok()) {
        return;
    }
    m_reader = LineReader::fromFd(env, m_file.fd());
    m_reader.skipByteOrderMark();
    const uint64_t count = m_reader.countRemaining();
    if (m_reader.failed()) {
        m_status = Status::ioError("read error");
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
    if (m_reader.next(record)) {
        return true;
    }
    if (m_reader.failed()) {
        m_status = Status::ioError("read error");
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
