// Where the pieces of the line-style picker stand, for both front ends: in pixels at 96 dots per inch,
// which each window scales to its own resolution. The three frames stand one under the other; in a
// frame three columns of sample lines (single, dotted, double), an option button right of each line,
// and in the left/right frame the row "不显示" below the double lines.
#pragma once

#include "settings/line_spec.h"

namespace settings {

struct PixelRect {
    int left;
    int top;
    int width;
    int height;

    bool operator==(const PixelRect&) const = default;
};

inline constexpr int kPickerRowHeight = 24;  // one sample line

// The picker's client area.
int pickerClientWidth();
int pickerClientHeight();

// The frame of a group, in the client area.
PixelRect pickerFrame(EdgeGroup group);
// The picture that shows a column's `lines` sample lines, in its frame; for NoLine the blank sample.
PixelRect pickerSamples(SampleColumn column, int lines);
// The option button of a choice, in its frame: right of its sample line.
PixelRect pickerOption(const PickerOption& option);
// The caption "不显示", in the left/right frame.
PixelRect pickerNoLineLabel();

}  // namespace settings
