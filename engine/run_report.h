#pragma once

#include <cstdint>
#include <string_view>

#include "fs/status.h"
#include "fs/work_file.h"

namespace pw {

// What a run did to its files, for the command line's summary. The window ignores it: runs
// stay silent about files they could not write.
class RunReport {
  public:
    virtual ~RunReport() = default;

    void written() { ++m_written; }
    void unchanged() { ++m_unchanged; }
    void failed(std::string_view path, std::string_view reason) {
        ++m_failed;
        onFailure(path, reason);
    }
    // Counts the file at `path` from the outcome of writing it: not written when `status`
    // failed, else as `delivery` says.
    void record(std::string_view path, const Status& status, Delivery delivery) {
        if (!status.ok()) {
            failed(path, status.reason());
        } else if (delivery == Delivery::kUnchanged) {
            unchanged();
        } else {
            written();
        }
    }

    uint64_t writtenCount() const { return m_written; }
    uint64_t unchangedCount() const { return m_unchanged; }
    uint64_t failedCount() const { return m_failed; }

  protected:
    // Called once per file that could not be written, as it happens.
    virtual void onFailure(std::string_view /*path*/, std::string_view /*reason*/) {}

  private:
    uint64_t m_written = 0;
    uint64_t m_unchanged = 0;
    uint64_t m_failed = 0;
};

}  // namespace pw
