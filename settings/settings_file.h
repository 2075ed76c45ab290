// Settings given as text, for the command-line front end: FIELD=TEXT assignments (one per --set
// option, or one per line of a settings file) that set the panel's fields by their string names.
//
// TEXT is exactly what the control would hold: a list's text ("0.50", "不变", "指定宽度"), "1" or "0"
// for a check box, and "STYLE/WIDTH" for a line ("1/8"; "/8" gives no line, left/right edges only).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/format_settings.h"
#include "settings/line_spec.h"
#include "settings/number_text.h"

namespace settings {

// Reads "STYLE/WIDTH" into a LineSpec. Both parts are decimal digits; the style may be empty only for
// the left/right group. Returns a Chinese message when the text is not such a pair.
std::optional<std::string> parseLineSpecText(std::string_view field, std::string_view text, EdgeGroup group,
                                             LineSpec& out);

// Checks an assignment without applying it; a Chinese message for an unknown field or a text the
// field cannot hold. Numeric texts are not checked here: like typed texts they are reported by the
// run (see firstInvalidTableNumber).
std::optional<std::string> checkField(std::string_view field, std::string_view text);

// Sets the field in the record as its control would (see setText, setChecked, setLine). Returns a
// Chinese message (and changes nothing) when the assignment does not check.
std::optional<std::string> setField(FormatSettings& settings, std::string_view field, std::string_view text,
                                    const NumberLocale& locale);

struct SettingAssignment {
    std::string field;
    std::string text;
    int line = 0;  // line of the settings file; 0 for a command-line assignment
};

// Splits "FIELD=TEXT" at the first "=". TEXT is kept exactly; spaces around FIELD are ignored.
// Returns a Chinese message when there is no "=" or no field name; the field itself is not checked.
std::optional<std::string> splitAssignment(std::string_view assignment, SettingAssignment& out);

struct SettingsFile {
    std::vector<SettingAssignment> assignments;  // in file order
    std::vector<std::string> errors;             // Chinese, each naming its line ("第3行：...")

    bool ok() const { return errors.empty(); }
};

// Parses a settings file: one FIELD=TEXT per line, lines starting with "#" (after optional spaces)
// are comments, blank lines are ignored. Only the line end ("\n" or "\r\n") is removed; a UTF-8 byte
// order mark at the start is skipped. Every assignment is checked with checkField.
SettingsFile parseSettingsFile(std::string_view content);

}  // namespace settings
