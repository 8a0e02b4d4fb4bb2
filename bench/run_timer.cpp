#include "bench/run_timer.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace pw::bench {

int timeCommand(const std::string& resultPath, const std::vector<std::string>& command) {
    if (command.empty()) {
        return 127;
    }
    std::vector<char*> argv;
    for (const std::string& word : command) {
        argv.push_back(const_cast<char*>(word.c_str()));
    }
    argv.push_back(nullptr);

    auto start = std::chrono::steady_clock::now();
    pid_t child = ::fork();
    if (child < 0) {
        std::perror("pagewright-bench time: fork");
        return 127;
    }
    if (child == 0) {
        ::execvp(argv[0], argv.data());
        std::fprintf(stderr, "pagewright-bench time: %s: %s\n", argv[0], std::strerror(errno));
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    while (::wait4(child, &status, 0, &usage) < 0) {
        if (errno != EINTR) {
            std::perror("pagewright-bench time: wait4");
            return 127;
        }
    }
    double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    int exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);

    std::FILE* result = std::fopen(resultPath.c_str(), "w");
    if (result == nullptr) {
        std::perror("pagewright-bench time: result file");
        return 127;
    }
    auto msOf = [](const struct timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    std::fprintf(result, "%.3f %ld %d %.3f %.3f\n", ms, usage.ru_maxrss, exitStatus,
                 msOf(usage.ru_utime), msOf(usage.ru_stime));
    std::fclose(result);
    return exitStatus;
}

}  // namespace pw::bench
