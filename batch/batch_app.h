// gridwright-batch: opens documents in Word, runs the requested commands in order, saves. One file is
// done in this process; many files (several inputs, folders, a list) by worker processes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "automation/word.h"
#include "batch/commands.h"
#include "batch/document_run.h"
#include "batch/exit_status.h"
#include "batch/input_files.h"
#include "batch/many_run.h"

namespace batch {

// What a run is asked to do, after the command line has been checked.
struct Job {
    InputRequest inputs;
    std::vector<Step> steps;
    SettingValues settings;  // the settings options, in command-line order
    std::size_t word = 0;    // which of the tool's Words, by its place in the list
    bool worker = false;     // started by a many-document run as one of its workers
    bool many = false;       // a many-document run rather than one file in this process
    std::optional<unsigned> workers;
    double timeoutSeconds = 300;
    std::optional<std::uint64_t> memoryLimitMb;
    bool skipExisting = false;
    std::string reportJson;
    Verbosity verbosity = Verbosity::Normal;
};

// Starts the Word the tool works in (the embedded one; tests may wrap it).
using WordFactory = std::function<std::shared_ptr<automation::Application>()>;

// A Word the tool can work in, under the name --backend gives it.
struct WordChoice {
    std::string name;
    WordFactory start;
};

// What a many-document run needs from the process it runs in; main() gives the real one.
struct ProcessContext {
    std::filesystem::path program;          // this program, started again as each worker
    std::istream* standardInput = nullptr;  // for --files-from -
    bool errIsTerminal = false;             // the progress line is drawn on err
};

class BatchApp {
public:
    BatchApp(CommandRegistry commands, WordFactory startWord);
    // With more than one Word, --backend picks one by name; the first is the default.
    BatchApp(CommandRegistry commands, std::vector<WordChoice> words);

    void setProcess(ProcessContext process) { process_ = std::move(process); }

    // Runs the tool on argv as main() receives it (UTF-8); returns the exit status.
    int run(int argc, const char* const* argv, std::ostream& out, std::ostream& err);
    // The same with the arguments after the program name.
    int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

private:
    // Reads and checks the command line. Returns the job, or nullopt with *status set
    // (help shown: kExitOk; a bad command line: kExitUsage, the reason already on err).
    std::optional<Job> parse(int argc, const char* const* argv, std::ostream& out, std::ostream& err, int* status);
    int processOne(const Job& job, std::ostream& out, std::ostream& err);
    int processMany(const Job& job, std::ostream& out, std::ostream& err);
    // The command line of a worker: the commands and settings of this one.
    std::vector<std::string> workerArguments(const Job& job) const;
    // With Word through COM, workers are one by default: see the help of -j.
    bool comWord(const Job& job) const { return words_[job.word].name == "word"; }

    CommandRegistry commands_;
    std::vector<WordChoice> words_;
    ProcessContext process_;
};

}  // namespace batch
