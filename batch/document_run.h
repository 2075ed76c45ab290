// One document through Word: open, the steps in command-line order, save. The single-file run and
// each worker of a many-document run go through here.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "automation/word.h"
#include "batch/commands.h"
#include "batch/document_report.h"

namespace batch {

// A command picked on the command line, with its value (empty for a switch).
struct Step {
    const Command* command = nullptr;
    std::string value;
};

struct DocumentTask {
    std::filesystem::path input;
    // Where the document is saved; nullopt saves it into the input (Word's Save). An output that is a
    // symbolic link is replaced as a link: the file it pointed to stays as it was.
    std::optional<std::filesystem::path> saveAs;
    const std::vector<Step>* steps = nullptr;
    const SettingValues* settings = nullptr;
};

// Runs the task in word; what the commands print goes to messages as they print it. Never throws:
// a Word error is Refused (Word's number and message), anything else Failed; either way nothing is
// saved. result.problem then holds the line for the console. input, output and seconds are left to
// the caller.
DocumentResult runDocument(const std::shared_ptr<automation::Application>& word, const DocumentTask& task,
                           std::ostream& messages);

// Checks an input file before Word starts; returns a Chinese reason, or empty when it is a file.
std::string checkInput(const std::filesystem::path& input);

// Ends the Word of a run on every path out of it.
class WordSession {
public:
    explicit WordSession(std::shared_ptr<automation::Application> word) : word_(std::move(word)) {}
    ~WordSession();
    WordSession(const WordSession&) = delete;
    WordSession& operator=(const WordSession&) = delete;
    const std::shared_ptr<automation::Application>& handle() const { return word_; }

private:
    std::shared_ptr<automation::Application> word_;
};

// The file paths of the command line are UTF-8 on every platform; these convert at that boundary.
std::filesystem::path pathFromUtf8(const std::string& text);
std::string utf8FromPath(const std::filesystem::path& path);

}  // namespace batch
