#pragma once

#include <string_view>

namespace pw {

// How every run reports its progress. The window implements it with its progress frame, the
// command line with a terminal bar. Bars take a whole percentage (already rounded).
class ProgressDisplay {
  public:
    virtual ~ProgressDisplay() = default;

    // The caption naming the running job.
    virtual void setStatus(std::string_view text) = 0;
    // The record (or file) counter, such as "3 sur 10".
    virtual void setRecordText(std::string_view text) = 0;
    virtual void setTotalBar(int percent) = 0;
    // The line counter of the file being written.
    virtual void setLineText(std::string_view text) = 0;
    virtual void setLineBar(int percent) = 0;
    // The time per file and the remaining-time estimate.
    virtual void setTimeText(std::string_view text) = 0;
    // Lets the front end handle pending input; a Stop click may be handled inside this call.
    virtual void pumpEvents() = 0;
    virtual void ringBell() = 0;

    // False when the display shows no counter, bar or time: a run then neither counts its
    // records beforehand nor builds those texts.
    virtual bool showsProgress() const { return true; }
};

}  // namespace pw
