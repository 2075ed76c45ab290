// Table border lines: the three edge groups, their LineSpecs and the presets of the line-style picker.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/field.h"

namespace settings {

// The three border groups of a table.
enum class EdgeGroup { TopBottom, LeftRight, Inner };

inline constexpr std::array<EdgeGroup, 3> kEdgeGroups = {EdgeGroup::TopBottom, EdgeGroup::LeftRight, EdgeGroup::Inner};

// A line as Word numbers, both held as decimal text: the line style (WdLineStyle; empty = no line,
// which only the left/right group receives) and the line width (WdLineWidth, eighths of a point).
struct LineSpec {
    std::string style = "1";
    std::string width = "8";

    bool operator==(const LineSpec&) const = default;
};

// Single line, 1 pt: what every group holds after the main window loads.
LineSpec defaultLineSpec();

// The three LineSpecs the program keeps for its whole life, one per edge group.
struct EdgeLines {
    LineSpec TopBottomLine;
    LineSpec LeftRightLine;
    LineSpec InnerLine;

    LineSpec& of(EdgeGroup group);
    const LineSpec& of(EdgeGroup group) const;

    bool operator==(const EdgeLines&) const = default;
};

// Which column of samples a picker choice stands in.
enum class SampleColumn { Single, Dotted, Double, NoLine };

// One option button of the picker and what it stores.
struct PickerOption {
    std::string_view name;  // "Option1" ... "Option52"
    EdgeGroup group;
    SampleColumn column;
    int row;                                // 1-based within its column (the "不显示" row is 1)
    std::string_view style;                 // "1", "2", "7" or "" (no line)
    std::optional<std::string_view> width;  // none: the choice keeps the group's width
    std::string_view sampleImage;           // "Picture1" ... "Picture24"
};

// All options, frame by frame (TopBottom, LeftRight, Inner), each frame in its on-screen order.
const std::vector<PickerOption>& pickerOptions();

// The options of one frame in their on-screen order (18, 19 and 14 of them).
std::vector<const PickerOption*> pickerOptionsOf(EdgeGroup group);

// The option with this name, or nullptr.
const PickerOption* findPickerOption(std::string_view name);

// The steps of one choice on the group's LineSpec: the style is always set, the width only when
// the option carries one.
void applyPreset(const PickerOption& option, LineSpec& line);

// Applies the named option to its own group of lines. Returns the option, or nullptr (and changes
// nothing) when no option has that name.
const PickerOption* applyPickerOption(std::string_view name, EdgeLines& lines);

// The group's caption, used for its frame in the picker and its label on the main window:
// "上下边框", "左右边框", "内横竖线".
std::string_view edgeGroupCaption(EdgeGroup group);

// The field that holds the group's line: Field::TopBottomLine, ...
Field edgeGroupField(EdgeGroup group);

// The picker window.
inline constexpr std::string_view kPickerFormName = "Form3";
inline constexpr std::string_view kPickerCaption = "表格上下、左右和内部线型设置";
// The caption of the extra row in the left/right frame.
inline constexpr std::string_view kNoLineCaption = "不显示";

// Tooltip of a sample picture of the picker (single, dotted and double columns of each frame):
// "点击图片可以关闭窗体\r\n" on the single-line sample of the top/bottom frame, "双击关闭窗体" on the
// other single and dotted samples, none (empty) on the double samples and the blank one.
std::string_view sampleTooltip(EdgeGroup group, SampleColumn column);

// A sample image of the main window, described so that it can be drawn at run time.
struct SampleImage {
    std::string_view name;   // "Picture1" ... "Picture20", "Picture24" (blank)
    std::string_view style;  // "1" single, "2" dotted, "7" double, "" blank
    std::string_view width;  // Word width number, "" for the blank image
    double widthPoints;      // 0.25 ... 3; 0 for the blank image
    std::string_view label;  // "¼ 磅", "1 ½ 磅", ...; "" for the blank image
};

// The 19 sample images (18 lines and the blank one), in picker order.
const std::vector<SampleImage>& sampleImages();

// The sample image with this name, or nullptr.
const SampleImage* findSampleImage(std::string_view name);

// The sample image showing this LineSpec: the blank one for an empty style, the matching line
// otherwise (so the defaults give "Picture5"); nullptr for a line the picker does not offer.
const SampleImage* sampleImageFor(const LineSpec& line);

}  // namespace settings
