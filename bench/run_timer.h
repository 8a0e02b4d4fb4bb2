#pragma once

#include <string>
#include <vector>

namespace pw::bench {

// Runs `command` (a program and its arguments, found on PATH) as a child process and writes
// "wall_ms peak_rss_kb exit_status user_ms system_ms" as one line to `resultPath`: the
// wall-clock time from start to exit, the child's peak resident memory, its exit status
// (128 + signal when a signal ended it) and the processor time it used. The child keeps this
// process's standard streams. Returns the child's exit status, or 127 when it could not be started.
int timeCommand(const std::string& resultPath, const std::vector<std::string>& command);

}  // namespace pw::bench
