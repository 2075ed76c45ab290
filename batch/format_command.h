// `--format`: the table format run of the main window's "开   始" button, on the command line.
//
// The panel starts as after the main window loads and is changed, in command-line order, by
//   --set FIELD=TEXT     a FormatSettings field, TEXT exactly as the control would hold it
//   --settings FILE      a file of FIELD=TEXT lines
//   --line OptionN       a choice of the line-style picker
// --table N formats only table N (as the single-table window does, with N's first cell selected);
// --report lists, per table, the operations that were passed over.
#pragma once

#include <optional>
#include <string>

#include "batch/commands.h"
#include "settings/format_settings.h"

namespace batch {

struct FormatRequest {
    // The panel's defaults, changed by the options; typed numbers are read in the platform's locale.
    settings::FormatSettings settings = settings::defaultFormatSettings(settings::platformNumberLocale());
    std::optional<int> table;  // single-table mode on this table
    bool report = false;
};

// Reads the settings options into a request; a Chinese reason when one of them is wrong (unknown
// field, a text the field cannot hold, an unreadable settings file, an unknown picker choice, a bad
// table number). The numbers are checked by the command that reads them (settings/setting_limits.h).
std::optional<std::string> readFormatRequest(const SettingValues& values, FormatRequest& request);

// Registers --format and its settings options.
void addFormatCommand(CommandRegistry& registry);

}  // namespace batch
