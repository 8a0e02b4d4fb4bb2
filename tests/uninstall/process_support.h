#pragma once

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "tests/registry/registry_test_support.h"

namespace pw::test {

struct ProcessResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

using Environment = std::vector<std::pair<std::string, std::string>>;

// Standard input of a process run by runProcess: /dev/null, or a terminal (a pseudo-terminal)
// on which `typed` has been typed, which is then its standard output too.
struct Input {
    bool terminal = false;
    std::string typed;
};

// Appends what the terminal `master` shows within `waitMs` to `screen`, line ends as "\n";
// false once nothing is left to show.
inline bool readScreen(int master, std::string& screen, int waitMs) {
    pollfd watched{master, POLLIN, 0};
    if (::poll(&watched, 1, waitMs) <= 0) {
        return false;
    }
    char buffer[4096];
    ssize_t got = ::read(master, buffer, sizeof buffer);
    if (got <= 0) {
        return false;
    }
    for (ssize_t i = 0; i < got; ++i) {
        if (buffer[i] != '\r') {
            screen.push_back(buffer[i]);
        }
    }
    return true;
}

// Runs `argv` in `workDir` with `env` added to this process's environment and waits for it;
// its standard output and error are collected through files in `workDir`, or what the
// terminal showed when it ran on one.
inline ProcessResult runProcess(const std::vector<std::string>& argv, const Environment& env,
                                const std::string& workDir, const Input& input = {}) {
    std::string outPath = workDir + "/.stdout";
    std::string errPath = workDir + "/.stderr";
    int terminal = -1;
    std::string terminalName = "/dev/null";
    if (input.terminal) {
        terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (terminal < 0 || ::grantpt(terminal) != 0 || ::unlockpt(terminal) != 0) {
            return {};
        }
        terminalName = ::ptsname(terminal);
        if (!input.typed.empty() && ::write(terminal, input.typed.data(), input.typed.size()) < 0) {
            return {};
        }
    }
    pid_t child = ::fork();
    if (child == 0) {
        for (const auto& [name, value] : env) {
            ::setenv(name.c_str(), value.c_str(), 1);
        }
        int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int in = ::open(terminalName.c_str(), input.terminal ? O_RDWR | O_NOCTTY : O_RDONLY);
        if (terminal >= 0) {
            ::close(terminal);
        }
        if (out < 0 || err < 0 || in < 0 || ::chdir(workDir.c_str()) != 0) {
            ::_exit(126);
        }
        ::dup2(in, 0);
        ::dup2(input.terminal ? in : out, 1);
        ::dup2(err, 2);
        std::vector<char*> args;
        for (const auto& arg : argv) {
            args.push_back(const_cast<char*>(arg.c_str()));
        }
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ProcessResult result;
    int status = 0;
    std::string screen;
    pid_t ended = 0;
    while (child > 0 && ended == 0) {
        if (terminal >= 0) {
            readScreen(terminal, screen, 20);
        }
        ended = ::waitpid(child, &status, terminal >= 0 ? WNOHANG : 0);
    }
    if (ended == child && WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
    }
    if (terminal >= 0) {
        while (readScreen(terminal, screen, 0)) {
        }
        ::close(terminal);
    }
    result.out = input.terminal ? screen : readAll(outPath);
    result.err = readAll(errPath);
    ::unlink(outPath.c_str());
    ::unlink(errPath.c_str());
    return result;
}

// Makes this process adopt the orphans of its children, so what a child started without
// waiting can be waited for here.
inline void adoptOrphans() {
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
}

// Waits until every remaining child (adopted ones included) has ended; returns how many
// there were.
inline int waitForDescendants() {
    int count = 0;
    int status = 0;
    while (true) {
        pid_t pid = ::waitpid(-1, &status, 0);
        if (pid > 0) {
            ++count;
            continue;
        }
        if (pid < 0 && errno == EINTR) {
            continue;
        }
        return count;
    }
}

}  // namespace pw::test
