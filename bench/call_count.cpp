#include "bench/call_count.h"

#include <cstdio>

#include "bench/counting_env.h"
#include "engine/pages_run.h"
#include "engine/quiet_host.h"
#include "engine/run_frame.h"

namespace pw::bench {

namespace {

// A front end that shows nothing but the run's messages.

class FailureCount : public RunReport {
  protected:
    void onFailure(std::string_view path, std::string_view reason) override {
        std::fprintf(stderr, "not written: %.*s: %.*s\n", static_cast<int>(path.size()),
                     path.data(), static_cast<int>(reason.size()), reason.data());
    }
};

}  // namespace

int countPagesCalls(const std::vector<std::string>& args) {
    if (args.size() != 3) {
        std::fputs("pagewright-bench calls: DATA MODEL DEST\n", stderr);
        return 2;
    }
    RunSettings settings;
    settings.tab = Tab::Pages;
    settings.language = Language::English;
    settings.source = args[0];
    settings.fichiermodele = args[1];
    settings.destination = args[2];
    settings.separateur = ';';
    QuietHost host(settings);
    RunState state;
    FailureCount report;
    CountingEnv env;
    RunFrame frame(host, state, report, RunTable{&runPages, nullptr, nullptr, nullptr}, env);
    if (frame.Command1_Click() != ClickResult::Completed) {
        std::fprintf(stderr, "%s\n", host.lastCritical().c_str());
        return 1;
    }
    const uint64_t pages = report.writtenCount() + report.unchangedCount() + report.failedCount();
    const double per = pages > 0 ? 1.0 / static_cast<double>(pages) : 0;
    std::printf("%llu %llu %.2f", static_cast<unsigned long long>(pages),
                static_cast<unsigned long long>(env.total()),
                static_cast<double>(env.total()) * per);
    for (int call = 0; call < CountingEnv::kCallKinds; ++call) {
        const uint64_t n = env.count(static_cast<CountingEnv::Call>(call));
        if (n > 0) {
            std::printf(" %s=%.2f", CountingEnv::kNames[call].data(), static_cast<double>(n) * per);
        }
    }
    std::printf("\n");
    return report.failedCount() == 0 ? 0 : 1;
}

}  // namespace pw::bench
