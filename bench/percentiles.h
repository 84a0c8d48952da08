// Per-iteration times for Google Benchmark: each timed piece is measured on
// its own, and the run reports the 50th, 99th and 99.9th percentiles (in
// nanoseconds) beside Google Benchmark's mean.
#ifndef ZORVAK_BENCH_PERCENTILES_H
#define ZORVAK_BENCH_PERCENTILES_H

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <vector>

namespace bench {

class Samples {
public:
    using Clock = std::chrono::steady_clock;

    // Times fn() as one iteration (the benchmark uses UseManualTime()).
    template <class F> void Time(benchmark::State &state, F &&fn) {
        const Clock::time_point start = Clock::now();
        fn();
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(seconds);
        ns_.push_back(seconds * 1e9);
    }

    // Puts p50, p99, p99.9 and the largest time into the state's counters.
    void Report(benchmark::State &state) {
        if (ns_.empty()) {
            return;
        }
        std::sort(ns_.begin(), ns_.end());
        auto at = [&](double q) { return ns_[std::min(ns_.size() - 1, size_t(q * ns_.size()))]; };
        state.counters["p50_ns"] = at(0.50);
        state.counters["p99_ns"] = at(0.99);
        state.counters["p99.9_ns"] = at(0.999);
        state.counters["max_ns"] = ns_.back();
    }

private:
    std::vector<double> ns_;
};

} // namespace bench

#endif
