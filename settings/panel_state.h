// The values the panel holds, by FormatSettings field: the text of every list, the value of every check
// box and the three LineSpecs. The windows keep it in their widgets; the command-line front end keeps
// it here.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "settings/line_spec.h"

namespace settings {

struct PanelState {
    std::map<std::string, std::string, std::less<>> texts;  // list field ("RowHeightCm") -> its text
    std::map<std::string, bool, std::less<>> checks;        // check box field ("RepeatHeaderRows") -> on
    EdgeLines lines;

    // The text of a list field; empty for a field it does not hold.
    std::string_view text(std::string_view field) const;
    // Whether a check box field is on; off for a field it does not hold.
    bool checked(std::string_view field) const;

    void setText(std::string_view field, std::string_view text);
    void setChecked(std::string_view field, bool on);

    bool operator==(const PanelState&) const = default;
};

// The panel as the main window's load step leaves it: every field at its default, all lines 1 pt single.
PanelState initialPanelState();

}  // namespace settings
