#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace pw {

// The result of an operation that may fail: ok, or a kind of failure with a short reason fit to
// show a person. A failed system call also keeps its errno value, so callers can tell a missing
// file from a refused one.
class Status {
  public:
    enum class Code { kOk, kNotFound, kInvalidArgument, kIoError };

    // Success.
    Status() = default;

    // A file or directory that does not exist.
    static Status notFound(std::string reason) {
        return Status(Code::kNotFound, std::move(reason), 0);
    }
    // A request refused before anything was touched (a name or value the operation cannot take).
    static Status invalidArgument(std::string reason) {
        return Status(Code::kInvalidArgument, std::move(reason), 0);
    }
    // A failure of the file system or of a read or write; `sysError` is the errno value, or 0.
    static Status ioError(std::string reason, int sysError = 0) {
        return Status(Code::kIoError, std::move(reason), sysError);
    }
    // The failure of a system call that set `error` (an errno value): not found for ENOENT and
    // ENOTDIR, an I/O error otherwise. The reason is `what`, a colon and the system's text.
    static Status fromErrno(int error, std::string_view what);

    bool ok() const { return m_code == Code::kOk; }
    bool isNotFound() const { return m_code == Code::kNotFound; }
    bool isInvalidArgument() const { return m_code == Code::kInvalidArgument; }
    Code code() const { return m_code; }
    // The errno value of the system call that failed; 0 when ok or when no call failed.
    int sysError() const { return m_sysError; }
    // Empty when ok.
    const std::string& reason() const { return m_reason; }

  private:
    Status(Code code, std::string reason, int sysError)
        : m_code(code), m_reason(std::move(reason)), m_sysError(sysError) {
        if (m_reason.empty()) {
            m_reason = "failed";
        }
    }

    Code m_code = Code::kOk;
    std::string m_reason;
    int m_sysError = 0;
};

}  // namespace pw
