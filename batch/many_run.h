// A many-document run: hands the documents to worker processes (this program started again with
// --worker), so that one document's crash, hang or memory blow-up ends only its worker; watches each
// document's time and each worker's memory; shows progress, writes the report, sums up.
#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "batch/input_files.h"

namespace batch {

enum class Verbosity { Quiet, Normal, Verbose };

struct ManyRun {
    std::vector<PlannedDocument> documents;
    std::vector<std::string> notes;  // from the search for inputs, shown before the run
    std::filesystem::path program;   // this program
    std::vector<std::string> workerArgs;
    unsigned workers = 1;
    double timeoutSeconds = 300;    // per document; 0: none
    std::uint64_t memoryLimit = 0;  // bytes per worker; 0: none
    bool skipExisting = false;
    std::string reportJson;  // empty: none; "-": standard output
    Verbosity verbosity = Verbosity::Normal;
    bool progressTerminal = false;  // err is a terminal
};

// Returns the exit status: kExitOk, kExitSomeFailed, kExitFailed when the run could not start (the
// report file or the workers), or 128 + the signal when interrupted.
int runMany(const ManyRun& run, std::ostream& out, std::ostream& err);

}  // namespace batch
