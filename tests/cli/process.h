#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

extern char** environ;

namespace pw::test {

// What a program run as a process printed and how it ended.
struct ProcessResult {
    int status = -1;
    std::string out;
    std::string err;
};

// A program started as a process, its output captured in files.
struct Child {
    pid_t pid = -1;
    std::unique_ptr<TempDir> capture = std::make_unique<TempDir>();
};

// Starts `program` with `args` and the current environment plus `env` ("NAME=value").
inline Child startProcess(const std::string& program, const std::vector<std::string>& args,
                          const std::vector<std::string>& env = {}) {
    Child child;
    std::string outPath = *child.capture / "out";
    std::string errPath = *child.capture / "err";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    std::vector<std::string> argStrings{program};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argStrings) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    // The given variables replace those of the same name (the first of a name is the one seen).
    std::vector<std::string> envStrings = env;
    for (char** e = environ; *e; ++e) {
        std::string entry = *e;
        std::string name = entry.substr(0, entry.find('=') + 1);
        bool replaced = false;
        for (const auto& given : env) {
            replaced = replaced || given.rfind(name, 0) == 0;
        }
        if (!replaced) {
            envStrings.push_back(entry);
        }
    }
    std::vector<char*> envp;
    for (auto& e : envStrings) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    if (posix_spawn(&child.pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) !=
        0) {
        child.pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return child;
}

// True while `child` runs; it is not reaped.
inline bool running(const Child& child) {
    siginfo_t info{};
    return child.pid > 0 &&
           waitid(P_PID, static_cast<id_t>(child.pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == 0;
}

// Waits for `child` to end and collects what it printed.
inline ProcessResult waitFor(Child& child) {
    ProcessResult result;
    if (child.pid > 0) {
        int status = 0;
        waitpid(child.pid, &status, 0);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    result.out = readFile(*child.capture / "out");
    result.err = readFile(*child.capture / "err");
    return result;
}

// Runs `program` with `args`, the current environment plus `env` ("NAME=value"), and waits.
inline ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                                const std::vector<std::string>& env = {}) {
    Child child = startProcess(program, args, env);
    return waitFor(child);
}

}  // namespace pw::test
