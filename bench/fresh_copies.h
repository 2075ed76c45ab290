// Timing a command on a document opened afresh in every iteration, so that no run sees another's edits;
// the documents written once per name and size.
#pragma once

#include <benchmark/benchmark.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <utility>

#include "automation/ooxml/application.h"
#include "support/docx_builder.h"
#include "support/recording_host.h"

namespace gwbench {

// A document whose body is body(size), written once per name and size, then reused by every run of
// the program.
inline const std::filesystem::path& madeOnce(const std::string& name, int size,
                                             const std::function<std::string(int)>& body) {
    static gwtest::TempDir dir;
    static std::map<std::pair<std::string, int>, std::filesystem::path> made;
    if (auto it = made.find({name, size}); it != made.end()) return it->second;
    auto path = dir.file(name + "-" + std::to_string(size) + ".docx");
    gwtest::writeDocx(path, body(size));
    return made.emplace(std::make_pair(name, size), path).first->second;
}

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
