#pragma once

#include <string>
#include <utility>

namespace pw {

// The result of a settings operation that can fail: ok, or an error with a message for
// logs and tests. The window does not examine it; tests and the command line may.
class SettingsStatus {
  public:
    enum class Code { Ok, InvalidArgument, IoError };

    SettingsStatus() = default;

    // A successful result.
    static SettingsStatus ok() { return SettingsStatus(); }
    // A refused request (a name or value that would break the file's layout).
    static SettingsStatus invalidArgument(std::string message) {
        return SettingsStatus(Code::InvalidArgument, std::move(message));
    }
    // A failure of the file system (cannot create, read, write or rename).
    static SettingsStatus ioError(std::string message) {
        return SettingsStatus(Code::IoError, std::move(message));
    }

    bool isOk() const { return m_code == Code::Ok; }
    Code code() const { return m_code; }
    const std::string& message() const { return m_message; }

  private:
    SettingsStatus(Code code, std::string message) : m_code(code), m_message(std::move(message)) {}

    Code m_code = Code::Ok;
    std::string m_message;
};

}  // namespace pw
