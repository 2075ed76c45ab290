// Timing a command on a document opened afresh in every iteration, so that no run sees another's edits.
#pragma once

#include <benchmark/benchmark.h>

#include <filesystem>

#include "automation/ooxml/application.h"
#include "support/recording_host.h"

namespace gwbench {

// Times utility(word, host) on a fresh copy of path; opening it is not timed.
template <typename Utility>
void timeOnFreshCopies(benchmark::State& state, const std::filesystem::path& path, Utility utility) {
    for (auto _ : state) {
        state.PauseTiming();
        auto word = automation::ooxml::createWord();
        word->Documents()->Open(path.string());
        gwtest::RecordingHost host;
        state.ResumeTiming();
        benchmark::DoNotOptimize(utility(*word, host).count);
    }
}

}  // namespace gwbench
