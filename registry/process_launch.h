#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pw {

// Splits a command line into the program and its arguments without a shell: blanks separate
// arguments, double quotes group (and are removed), a backslash is literal except before a
// double quote, where 2n backslashes give n and start or end quoting, and 2n+1 give n and a
// literal quote. "" inside quotes gives one literal quote.
std::vector<std::string> splitCommandLine(std::string_view commandLine);

// The full path of an executable file `name` in one of the directories of $PATH; empty when
// none holds it.
std::string findOnPath(std::string_view name);

// Starts `argv[0]` (looked up on PATH when it holds no '/') with `argv` in a new session and
// does not wait for it; standard input, output and error go to /dev/null. Returns the process
// id, or -1 when it could not be started (an empty argv among others). The caller reaps the
// child if it lives long enough to care.
int startDetached(const std::vector<std::string>& argv);

}  // namespace pw
