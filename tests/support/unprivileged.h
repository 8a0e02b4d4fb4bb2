#pragma once

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <string>

namespace pw::test {

// The user the permission tests drop to when they run as root: nobody.
inline constexpr uid_t kUnprivilegedId = 65534;

// Runs `body` in a child process as an unprivileged user, so file permissions bind as they do for
// a person: as uid and gid kUnprivilegedId when the tests run as root (as CI does), else as the
// user running them. The body's assertions are reported by the child; the result is true when
// all of them passed. Every file the body touches must be reachable by that user (see
// openToEveryone).
inline bool runUnprivileged(const std::function<void()>& body) {
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(kUnprivilegedId) != 0 ||
                                 ::setuid(kUnprivilegedId) != 0)) {
            std::_Exit(3);
        }
        body();
        std::fflush(nullptr);
        std::_Exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child) {
        return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Lets every user read, write and enter the directory `path`.
inline void openToEveryone(const std::string& path) {
    ::chmod(path.c_str(), 0777);
}

}  // namespace pw::test
