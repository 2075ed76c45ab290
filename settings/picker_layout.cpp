#include "settings/picker_layout.h"

namespace settings {

namespace {

constexpr int kMargin = 8;
constexpr int kRows = 7;
constexpr int kSampleWidth = 128;
constexpr int kColumnPitch = 160;
constexpr int kFrameWidth = 3 * kColumnPitch + 10;
constexpr int kFrameHeight = 26 + kRows * kPickerRowHeight + 10;
constexpr int kFirstLine = 24;    // below the frame's caption
constexpr int kNoLineRow = 6;     // "不显示" stands in the double-line column, below its samples
constexpr int kNoLineWidth = 60;  // its caption, and its blank sample beside it

int columnLeft(SampleColumn column) {
    switch (column) {
        case SampleColumn::Single: return 10;
        case SampleColumn::Dotted: return 10 + kColumnPitch;
        case SampleColumn::Double:
        case SampleColumn::NoLine: break;
    }
    return 10 + 2 * kColumnPitch;
}

int lineTop(int row) { return kFirstLine + (row - 1) * kPickerRowHeight; }

}  // namespace

int pickerClientWidth() { return kFrameWidth + 2 * kMargin; }

int pickerClientHeight() { return kMargin + static_cast<int>(kEdgeGroups.size()) * (kFrameHeight + kMargin); }

PixelRect pickerFrame(EdgeGroup group) {
    return {kMargin, kMargin + static_cast<int>(group) * (kFrameHeight + kMargin), kFrameWidth, kFrameHeight};
}

PixelRect pickerSamples(SampleColumn column, int lines) {
    if (column == SampleColumn::NoLine)
        return {columnLeft(column) + kNoLineWidth + 4, lineTop(kNoLineRow), kNoLineWidth, kPickerRowHeight};
    return {columnLeft(column), kFirstLine, kSampleWidth, lines * kPickerRowHeight};
}

PixelRect pickerOption(const PickerOption& option) {
    const int row = option.column == SampleColumn::NoLine ? kNoLineRow : option.row;
    return {columnLeft(option.column) + kSampleWidth + 4, lineTop(row), 22, kPickerRowHeight};
}

PixelRect pickerNoLineLabel() {
    return {columnLeft(SampleColumn::NoLine), lineTop(kNoLineRow), kNoLineWidth, kPickerRowHeight};
}

}  // namespace settings
