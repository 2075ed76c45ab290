// The table format run: what "开   始" on the main window and the single-table window's OK do.
//
// The run applies the panel's table settings to every table of the active document, or to the table
// that holds Word's selection (the single-table window's run), one table after the other, working on
// Word's selection. It reaches the windows only through the CommandHost.
#pragma once

#include <string>
#include <vector>

#include "automation/word.h"
#include "commands/command_host.h"
#include "commands/pass_over.h"
#include "engine/table_steps.h"
#include "settings/format_settings.h"

namespace engine {

// The message the run ends with.
inline constexpr const char* kDoneMessage = "完成";

enum class FormatOutcome {
    Done,            // every table was visited and "完成" was shown
    InvalidSetting,  // a numeric setting was no number: nothing was changed, the main window stayed
    Stopped,         // Word failed while pass-over was off: the run stopped with a message
};

// What a run walks.
enum class Scope {
    WholeDocument,  // every outermost table of the active document, each selected in turn
    SelectedTable,  // one pass over the table that holds Word's selection, which the run leaves as it is
};

class FormatRun {
public:
    FormatRun(automation::Application& word, commands::CommandHost& host);

    FormatOutcome run(const settings::FormatSettings& settings, Scope scope);

    // The operations the last run abandoned while pass-over was on, in the order they failed.
    const std::vector<commands::PassedOver>& passedOver() const { return passOver_.passedOver(); }
    // The message shown when the last run stopped or did not start; empty otherwise.
    const std::string& problem() const { return problem_; }
    // Word's error number when the last run stopped on a Word failure; 0 otherwise.
    long problemNumber() const { return problemNumber_; }

private:
    void formatTable(const settings::FormatSettings& settings, int index, bool singleTable);
    FormatOutcome stop(const std::string& message, long number);

    automation::Application& word_;
    commands::CommandHost& host_;
    commands::PassOver passOver_;
    std::string problem_;
    long problemNumber_ = 0;
};

// "第 3 个表格" in whole-document mode, "所选表格" in single-table mode.
std::string tableName(int index, bool singleTable);

}  // namespace engine
