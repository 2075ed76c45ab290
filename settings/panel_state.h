// The values the panel holds: the text of every list, the value of every check box and the three
// LineSpecs. The windows keep it in their widgets; the command-line front end keeps it here.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "settings/line_spec.h"

namespace settings {

struct PanelState {
    std::map<std::string, std::string, std::less<>> texts;  // list name ("Combo8") -> its text
    std::map<std::string, bool, std::less<>> checks;        // check box name ("Check2") -> on
    EdgeLines lines;

    // The text of a list; empty for a name it does not hold.
    std::string_view text(std::string_view control) const;
    // Whether a check box is on; off for a name it does not hold.
    bool checked(std::string_view control) const;

    void setText(std::string_view control, std::string_view text);
    void setChecked(std::string_view control, bool on);

    bool operator==(const PanelState&) const = default;
};

// The panel as the main window's load step leaves it (the load steps applied in order, Check4 off).
PanelState initialPanelState();

}  // namespace settings
