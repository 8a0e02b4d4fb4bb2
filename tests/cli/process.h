#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

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

// Runs `program` with `args`, the current environment plus `env` ("NAME=value"), and waits.
inline ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                                const std::vector<std::string>& env = {}) {
    TempDir capture;
    std::string outPath = capture / "out";
    std::string errPath = capture / "err";
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
    ProcessResult result;
    pid_t pid;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    result.out = readFile(outPath);
    result.err = readFile(errPath);
    return result;
}

}  // namespace pw::test
