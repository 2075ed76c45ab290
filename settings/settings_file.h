// Settings given as text: FIELD=TEXT assignments (one per --set option of the command line, or one per
// line of a settings file, which the window loads and saves too) that set the panel's fields by their
// string names.
//
// TEXT is exactly what the control would hold: a list's text ("0.50", "不变", "指定宽度"), "1" or "0"
// for a check box, and "STYLE/WIDTH" for a line ("1/8"; "/8" gives no line, left/right edges only).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/field.h"
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

// A settings file holds a few dozen short lines; anything near this size is not one.
inline constexpr std::uintmax_t kMaxSettingsFileBytes = 1 << 20;

// Reads the settings file at path into out, every assignment checked (see parseSettingsFile). A Chinese
// message that names the file as shownName, and out left empty, when it is not a regular file (a device
// would never end), is larger than kMaxSettingsFileBytes, cannot be read, or has lines that do not check.
std::optional<std::string> readSettingsFile(const std::filesystem::path& path, const std::string& shownName,
                                            std::vector<SettingAssignment>& out);

// The text each field's control holds (as FIELD=TEXT gives it), by fieldIndex; fields without a string
// name are not written.
using FieldTexts = std::array<std::string, kFieldCount>;

// The whole panel as a settings file: a comment line, then every named field as FIELD=TEXT in the panel's
// order. A line end inside a text becomes a space: it would end the assignment.
std::string settingsFileText(const FieldTexts& texts);

// Writes settingsFileText(texts) to path: a temporary file beside it, renamed over path only when
// complete. A Chinese message naming shownName when it cannot be written.
std::optional<std::string> writeSettingsFile(const std::filesystem::path& path, const std::string& shownName,
                                             const FieldTexts& texts);

}  // namespace settings
