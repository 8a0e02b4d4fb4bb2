#pragma once

#include <string>
#include <utility>

namespace pw {

// The result of an operation that may fail: ok, or a short reason fit to show a person.
class Status {
  public:
    Status() = default;
    static Status error(std::string reason) { return Status(std::move(reason)); }

    bool ok() const { return m_reason.empty(); }
    // Empty when ok.
    const std::string& reason() const { return m_reason; }

  private:
    explicit Status(std::string reason) : m_reason(std::move(reason)) {
        if (m_reason.empty()) {
            m_reason = "failed";
        }
    }
    std::string m_reason;
};

}  // namespace pw
