#pragma once

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

extern char** environ;

namespace pw::test {

// What a program run as a process printed and how it ended: its exit status, 128 plus the
// signal that ended it, or -1 when it could not start.
struct ProcessResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Standard input of a process: /dev/null, or a pseudo-terminal on which `typed` has been
// typed, which is then its standard output too.
struct Input {
    bool terminal = false;
    std::string typed = {};
};

// How a process is started.
struct ProcessSetup {
    // "NAME=value": each replaces the variable of its name in this process's environment.
    std::vector<std::string> env = {};
    // Where it starts; empty for this process's working directory.
    std::string workDir = {};
    Input input = {};
};

// A program started as a process, its standard output and error captured in files (or what
// its terminal shows).
struct Child {
    pid_t pid = -1;
    int terminal = -1;
    std::string screen;
    std::unique_ptr<TempDir> capture = std::make_unique<TempDir>();
};

// Starts `argv` (argv[0] is the program's path) as `setup` says.
inline Child startProcess(const std::vector<std::string>& argv, const ProcessSetup& setup = {}) {
    Child child;
    std::string input = "/dev/null";
    if (setup.input.terminal) {
        child.terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (child.terminal < 0 || ::grantpt(child.terminal) != 0 ||
            ::unlockpt(child.terminal) != 0 ||
            ::write(child.terminal, setup.input.typed.data(), setup.input.typed.size()) < 0) {
            return child;
        }
        input = ::ptsname(child.terminal);
    }
    std::vector<std::string> envStrings = setup.env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('=') + 1);
        bool replaced = false;
        for (const std::string& given : setup.env) {
            replaced = replaced || given.rfind(name, 0) == 0;
        }
        if (!replaced) {
            envStrings.push_back(entry);
        }
    }
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& entry : envStrings) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    const std::string outPath = *child.capture / "out";
    const std::string errPath = *child.capture / "err";
    child.pid = ::fork();
    if (child.pid == 0) {
        int in = ::open(input.c_str(), setup.input.terminal ? O_RDWR | O_NOCTTY : O_RDONLY);
        int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0 ||
            (!setup.workDir.empty() && ::chdir(setup.workDir.c_str()) != 0)) {
            ::_exit(126);
        }
        ::dup2(in, 0);
        ::dup2(setup.input.terminal ? in : out, 1);
        ::dup2(err, 2);
        ::execve(args[0], args.data(), envp.data());
        ::_exit(127);
    }
    return child;
}

// Starts `program` with `args` as `setup` says.
inline Child startProcess(const std::string& program, std::vector<std::string> args,
                          const ProcessSetup& setup = {}) {
    args.insert(args.begin(), program);
    return startProcess(args, setup);
}

// True while `child` runs; it is not reaped.
inline bool running(const Child& child) {
    siginfo_t info{};
    return child.pid > 0 &&
           ::waitid(P_PID, static_cast<id_t>(child.pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == 0;
}

// Appends what `child`'s terminal shows within `waitMs` to its screen, line ends as "\n"; false
// once nothing is left to show.
inline bool readScreen(Child& child, int waitMs) {
    pollfd watched{child.terminal, POLLIN, 0};
    char buffer[4096];
    ssize_t got = 0;
    if (::poll(&watched, 1, waitMs) <= 0 ||
        (got = ::read(child.terminal, buffer, sizeof buffer)) <= 0) {
        return false;
    }
    for (ssize_t i = 0; i < got; ++i) {
        if (buffer[i] != '\r') {
            child.screen.push_back(buffer[i]);
        }
    }
    return true;
}

// Waits for `child` to end and collects what it printed.
inline ProcessResult waitFor(Child& child) {
    ProcessResult result;
    int status = 0;
    pid_t ended = 0;
    while (child.pid > 0 && ended == 0) {
        if (child.terminal >= 0) {
            readScreen(child, 20);
        }
        ended = ::waitpid(child.pid, &status, child.terminal >= 0 ? WNOHANG : 0);
        if (ended < 0 && errno == EINTR) {
            ended = 0;
        }
    }
    if (ended > 0) {
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    if (child.terminal >= 0) {
        while (readScreen(child, 0)) {
        }
        ::close(child.terminal);
        child.terminal = -1;
    }
    result.out = child.screen.empty() ? readFile(*child.capture / "out") : child.screen;
    result.err = readFile(*child.capture / "err");
    return result;
}

// Runs `argv` as `setup` says and waits for it.
inline ProcessResult runProcess(const std::vector<std::string>& argv,
                                const ProcessSetup& setup = {}) {
    Child child = startProcess(argv, setup);
    return waitFor(child);
}

// Runs `program` with `args` as `setup` says and waits for it.
inline ProcessResult runProcess(const std::string& program, std::vector<std::string> args,
                                const ProcessSetup& setup = {}) {
    args.insert(args.begin(), program);
    return runProcess(args, setup);
}

// Makes this process adopt the orphans of its children, so what a child started without
// waiting can be waited for here.
inline void adoptOrphans() {
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
}

// Waits until every remaining child (adopted ones included) has ended; returns how many there
// were.
inline int waitForDescendants() {
    int count = 0;
    int status = 0;
    while (true) {
        pid_t pid = ::waitpid(-1, &status, 0);
        if (pid > 0) {
            ++count;
        } else if (pid < 0 && errno != EINTR) {
            return count;
        }
    }
}

}  // namespace pw::test
