// Where every piece of the main window's panel stands, in twips of the window's client area, worked
// out from the panel table alone: each frame at its rectangle, its rows spread evenly over the height
// below the caption, each row split into a left and a right half that hold a label and its control
// (Middle and Right share the right half, Whole spans both), every piece centred in its row. The
// window converts the rectangles to pixels at its own resolution.
#pragma once

#include <optional>
#include <vector>

#include "settings/controls.h"

namespace winshell {

struct PanelLayout {
    std::vector<settings::TwipRect> frames;                 // one per panelFrames() entry
    std::vector<settings::TwipRect> controls;               // one per panelControls() entry
    std::vector<std::optional<settings::TwipRect>> labels;  // the label beside each control, if it has one
    std::vector<settings::TwipRect> buttons;                // one per panelButtons() entry
    std::vector<settings::TwipRect> texts;                  // one per panelLabels() entry
};

const PanelLayout& panelLayout();

// Height of a list, a check box, a label or a text in its row.
inline constexpr int kControlHeightTwips = 360;

}  // namespace winshell
