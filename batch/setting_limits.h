// What the command line checks before it opens the document: every number a command will hand to Word
// must be a number Word takes, so that a bad setting is reported with its label and the document is
// never touched by a run that cannot finish.
#pragma once

#include <optional>
#include <string>

#include "settings/format_settings.h"

namespace batch {

// The table run's settings: the three start-of-run numbers, the two width boxes and the three lines.
// A width box still holding its placeholder is sound (the run leaves that property alone).
std::optional<std::string> checkTableSettings(const settings::PanelState& panel, const settings::FormatSettings& s);

// The body-text command's four numbers.
std::optional<std::string> checkBodySettings(const settings::FormatSettings& s);

}  // namespace batch
