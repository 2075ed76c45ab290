// The steps the command-line tool can run on a document, each behind one long option.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "automation/excel.h"
#include "automation/word.h"
#include "batch/document_report.h"

namespace batch {

// The settings options of a command line (see SettingOption), in command-line order: option name
// without dashes and its value ("set", "RowHeightCm=0.50"); a switch has an empty value.
using SettingValues = std::vector<std::pair<std::string, std::string>>;

// What a step gets: the Word it runs in, the open document, where to report progress, and the record
// of what it did for the report.
struct CommandContext {
    automation::Application& word;
    automation::DocumentPtr document;
    std::ostream& out;
    SettingValues settings = {};
    // The Excel that goes with this Word (its embedded worksheets open there); fails with 429 when there
    // is none.
    std::function<std::shared_ptr<automation::excel::Launcher>()> excel = {};
    StepRecord record = {};
};

// An option that is no step of its own but gives steps their settings, e.g. `--set FIELD=TEXT`.
// It may be given any number of times.
struct SettingOption {
    std::string name;         // without its dashes
    std::string description;  // the help text, in Chinese
    std::string valueName;    // empty: a plain switch
};

// One step: `gridwright-batch IN.docx --NAME [VALUE] -o OUT.docx`. Steps run in the order given.
struct Command {
    std::string name;         // the long option without its dashes, for example "format"
    std::string description;  // the help text, in Chinese
    std::string valueName;    // empty: a plain switch; otherwise the option takes one value shown under this name
    std::function<void(CommandContext&, const std::string& value)> run;
    // Optional: checks the settings options before Word starts; a Chinese reason rejects the command line.
    std::function<std::optional<std::string>(const SettingValues&)> check = {};
};

class CommandRegistry {
public:
    // Adds a command; a second command with the same name replaces the first.
    void add(Command command);
    const std::vector<Command>& commands() const { return commands_; }
    const Command* find(std::string_view name) const;

    // Adds a settings option; a second option with the same name replaces the first.
    void addOption(SettingOption option);
    const std::vector<SettingOption>& options() const { return options_; }

private:
    std::vector<Command> commands_;
    std::vector<SettingOption> options_;
};

// The commands this build offers.
CommandRegistry defaultCommands();

}  // namespace batch
