// gridwright-batch: opens a .docx in the embedded Word, runs the requested commands in order, saves.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "automation/word.h"
#include "batch/commands.h"

namespace batch {

// Exit statuses of the tool.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // the document could not be opened, changed or saved
inline constexpr int kExitUsage = 2;   // the command line itself is wrong

// A command picked on the command line, with its value (empty for a switch).
struct Step {
    const Command* command = nullptr;
    std::string value;
};

// What one run is asked to do, after the command line has been checked.
struct Job {
    std::filesystem::path input;
    std::filesystem::path output;  // the input itself with --in-place
    bool inPlace = false;
    std::vector<Step> steps;
    SettingValues settings;  // the settings options, in command-line order
    std::size_t word = 0;    // which of the tool's Words, by its place in the list
};

// Starts the Word the tool works in (the embedded one; tests may wrap it).
using WordFactory = std::function<std::shared_ptr<automation::Application>()>;

// A Word the tool can work in, under the name --backend gives it.
struct WordChoice {
    std::string name;
    WordFactory start;
};

class BatchApp {
public:
    BatchApp(CommandRegistry commands, WordFactory startWord);
    // With more than one Word, --backend picks one by name; the first is the default.
    BatchApp(CommandRegistry commands, std::vector<WordChoice> words);

    // Runs the tool on argv as main() receives it (UTF-8); returns the exit status.
    int run(int argc, const char* const* argv, std::ostream& out, std::ostream& err);
    // The same with the arguments after the program name.
    int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

private:
    // Reads and checks the command line. Returns the job, or nullopt with *status set
    // (help shown: kExitOk; a bad command line: kExitUsage, the reason already on err).
    std::optional<Job> parse(int argc, const char* const* argv, std::ostream& out, std::ostream& err, int* status);
    int process(const Job& job, std::ostream& out, std::ostream& err);

    CommandRegistry commands_;
    std::vector<WordChoice> words_;
};

// The file paths of the command line are UTF-8 on every platform; these convert at that boundary.
std::filesystem::path pathFromUtf8(const std::string& text);
std::string utf8FromPath(const std::filesystem::path& path);

}  // namespace batch
