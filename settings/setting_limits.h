// The checks a front end makes before it starts a command: every number the command will hand to Word
// must be a number, and one Word takes, so that a bad setting is reported with its label and the
// document is never touched by a run that cannot finish. The fields, their ranges and which command
// reads them come from the panel table.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/controls.h"
#include "settings/format_settings.h"

namespace settings {

// The table run's settings: the start-of-run numbers, then the width boxes, then the three lines. A
// width box still holding its placeholder is sound (the run leaves that property alone), and so is a
// line whose numbers are no numbers (the run meets that as Word's conversion error).
std::optional<std::string> checkTableSettings(const FormatSettings& settings);

// The body-text command's numbers.
std::optional<std::string> checkBodySettings(const FormatSettings& settings);

// A numeric setting that is neither "不变" nor a number.
struct SettingProblem {
    Field key;
    std::string text;     // the offending text
    std::string message;  // “行    高”中的“abc”不是有效的数字。
};

// The message shown for a bad number in the list with this label.
std::string invalidNumberMessage(std::string_view label, std::string_view text);

// The first bad number among the fields a command converts when it starts (readBy TableRunAtStart or
// BodyTextAtStart), in panel order. The commands themselves stop on it before they change anything.
std::optional<SettingProblem> firstInvalidNumber(const FormatSettings& settings, ReadBy readBy);

}  // namespace settings
