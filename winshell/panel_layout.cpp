#include "winshell/panel_layout.h"

#include <algorithm>

namespace winshell {

namespace {

using settings::Placement;
using settings::TwipRect;

constexpr int kCaptionBand = 300;  // the frame's caption above its first row
constexpr int kBottomMargin = 90;
constexpr int kSideMargin = 150;
constexpr int kGap = 150;             // between the halves of a row, and between two controls of a half
constexpr int kLabelGap = 60;         // between a label and its control
constexpr int kShortestLabel = 870;   // labels of one column line up at this width or more
constexpr int kLongestList = 2400;    // a list never grows wider than this
constexpr int kBareCheckWidth = 300;  // a check box without caption
constexpr int kAlignmentIconsWidth = 1170;
constexpr int kPixelTwips = 15;  // the table's pixel sizes are pixels at 96 dots per inch

// A label as wide as its text in the 9-point UI font: a Chinese character is a square of 9 points
// (180 twips), any other character half of that, plus a little air.
int labelWidth(std::string_view text) {
    int width = 90;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte & 0xC0) == 0x80) continue;  // a continuation byte of the character before
        width += byte < 0x80 ? 90 : 180;
    }
    return std::max(width, kShortestLabel);
}

// One frame's rows and halves.
struct FrameGrid {
    TwipRect frame;
    int rows;

    int rowTop(int row) const { return frame.top + kCaptionBand + (row - 1) * rowHeight(); }
    int rowHeight() const { return (frame.height - kCaptionBand - kBottomMargin) / rows; }
    int halfWidth() const { return (frame.width - 2 * kSideMargin - kGap) / 2; }
    int leftHalf() const { return frame.left + kSideMargin; }
    int rightHalf() const { return leftHalf() + halfWidth() + kGap; }

    // The horizontal span of a placement; Middle and Right split the right half when the row has both.
    std::pair<int, int> span(Placement placement, bool rowHasMiddle) const {
        const int part = (halfWidth() - kGap) / 2;
        switch (placement) {
            case Placement::Left: return {leftHalf(), halfWidth()};
            case Placement::Whole: return {leftHalf(), 2 * halfWidth() + kGap};
            case Placement::Middle: return {rightHalf(), part};
            case Placement::Right: break;
        }
        return rowHasMiddle ? std::pair{rightHalf() + part + kGap, part} : std::pair{rightHalf(), halfWidth()};
    }

    // A piece of this height centred in the row.
    int top(int row, int height) const { return rowTop(row) + (rowHeight() - height) / 2; }
};

FrameGrid gridOf(settings::PanelFrame frame) {
    const settings::FrameSpec& described = settings::frameSpec(frame);
    return FrameGrid{described.rect, described.rows};
}

bool rowHasMiddle(settings::PanelFrame frame, int row) {
    for (const settings::ControlSpec& control : settings::panelControls())
        if (control.frame == frame && control.row == row && control.placement == Placement::Middle) return true;
    for (const settings::ButtonSpec& button : settings::panelButtons())
        if (button.frame == frame && button.row == row && button.placement == Placement::Middle) return true;
    return false;
}

// The control's width when it may fill what its label leaves of its place.
int controlWidth(const settings::ControlSpec& control, int room) {
    switch (control.kind) {
        case settings::ControlKind::ComboBox: return std::min(room, kLongestList);
        case settings::ControlKind::CheckBox: return control.caption.empty() ? kBareCheckWidth : room;
        case settings::ControlKind::LinePreview: return settings::kPreviewWidthPixels * kPixelTwips;
        case settings::ControlKind::AlignmentIcons: break;
    }
    return kAlignmentIconsWidth;
}

int controlHeight(const settings::ControlSpec& control) {
    return control.kind == settings::ControlKind::LinePreview ? settings::kPreviewHeightPixels * kPixelTwips
                                                              : kControlHeightTwips;
}

PanelLayout makeLayout() {
    PanelLayout layout;
    for (const settings::FrameSpec& frame : settings::panelFrames()) layout.frames.push_back(frame.rect);

    for (const settings::ControlSpec& control : settings::panelControls()) {
        const FrameGrid grid = gridOf(control.frame);
        auto [left, room] = grid.span(control.placement, rowHasMiddle(control.frame, control.row));
        std::optional<TwipRect> label;
        if (!control.label.empty()) {
            const int width = labelWidth(control.label);
            label = TwipRect{left, grid.top(control.row, kControlHeightTwips), width, kControlHeightTwips};
            left += width + kLabelGap;
            room -= width + kLabelGap;
        }
        const int height = controlHeight(control);
        layout.controls.push_back(TwipRect{left, grid.top(control.row, height), controlWidth(control, room), height});
        layout.labels.push_back(label);
    }

    for (const settings::ButtonSpec& button : settings::panelButtons()) {
        if (button.rect) {
            layout.buttons.push_back(*button.rect);
            continue;
        }
        const FrameGrid grid = gridOf(*button.frame);
        const int height = button.heightPixels * kPixelTwips;
        auto [left, room] = grid.span(button.placement, rowHasMiddle(*button.frame, button.row));
        if (button.widthPixels > 0) {
            // A button of fixed width stands at the right end of its place.
            const int width = button.widthPixels * kPixelTwips;
            left += room - width;
            room = width;
        }
        layout.buttons.push_back(TwipRect{left, grid.top(button.row, height), room, height});
    }

    for (const settings::LabelSpec& text : settings::panelLabels()) {
        const FrameGrid grid = gridOf(text.frame);
        auto [left, room] = grid.span(Placement::Left, false);
        layout.texts.push_back(TwipRect{left, grid.top(text.row, kControlHeightTwips), room, kControlHeightTwips});
    }
    return layout;
}

}  // namespace

const PanelLayout& panelLayout() {
    static const PanelLayout layout = makeLayout();
    return layout;
}

}  // namespace winshell
