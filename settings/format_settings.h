// FormatSettings: the record of the panel's choices that a table run or the body-text command reads.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "settings/controls.h"
#include "settings/line_spec.h"
#include "settings/number_text.h"
#include "settings/panel_state.h"

namespace settings {

enum class WidthMode { Unchanged, FitToPage, Specified };
enum class HorizontalAlign { Centre, Right };

// Chinese font-size names in points: "四号" 14, "小四" 12, "五号" 10.5, "小五" 9; none for other texts.
std::optional<float> chineseFontSizePoints(std::string_view name);

// A numeric list field: its text exactly as the list holds it and, when the text converts, the number.
// The text "不变" (exactly, no trimming) leaves the property alone; any other text that does not
// convert is a bad number, which the runs report before they change anything.
struct NumericSetting {
    std::string text{kUnchanged};
    std::optional<float> value;

    bool isUnchanged() const { return text == kUnchanged; }
    bool isInvalid() const { return !isUnchanged() && !value.has_value(); }

    bool operator==(const NumericSetting&) const = default;
};

// A line's style or width as the whole number Word receives: a fraction rounds to the nearest whole
// number, halves to the even one. A text that is no number, or one beyond an int, has no value and
// says why; the run meets that as Word's conversion error when it reaches the line.
struct LineNumber {
    enum class Problem { None, NotANumber, TooLarge };

    std::string text;
    std::optional<int> value;
    Problem problem = Problem::None;

    bool operator==(const LineNumber&) const = default;
};

LineNumber lineNumber(std::string_view text, const NumberLocale& locale);

// The line of one edge group as Word numbers. No style: no line at all (left and right edges only).
struct LineNumbers {
    std::optional<LineNumber> style;
    LineNumber width;

    bool operator==(const LineNumbers&) const = default;
};

struct FormatSettings {
    // Borders of the three edge groups.
    LineNumbers TopBottomLine;
    LineNumbers LeftRightLine;
    LineNumbers InnerLine;

    // 表格设置
    NumericSetting RowHeightCm;
    WidthMode TableWidthMode = WidthMode::Unchanged;
    // The width-detail boxes; none when the text is no number (the placeholder, for instance), in which
    // case the run leaves that table property as it is.
    std::optional<float> SpecifiedWidthCm;
    std::optional<float> LeftIndentCm;
    bool IncludeBorderlessTables = false;

    // 表内文字
    NumericSetting LineSpacingLines;
    std::optional<std::string> TextFont;
    std::optional<std::string> NumberFont;
    std::optional<float> FontSize;
    NumericSetting CellRightMarginCm;
    bool AddThousandsSeparators = false;
    bool RemoveSpaces = false;

    // 对齐方式
    std::optional<HorizontalAlign> HeaderRowAlign;  // only Centre
    std::optional<HorizontalAlign> OtherAreaAlign;
    bool RepeatHeaderRows = false;

    // 表外文字排版
    NumericSetting BodySpaceBefore;
    NumericSetting BodySpaceAfter;
    NumericSetting BodyLineSpacing;
    NumericSetting BodyFirstLineIndent;
    std::optional<float> BodyFontSize;
    std::optional<std::string> BodyTextFont;
    std::optional<std::string> BodyNumberFont;
};

// Reads the record from the panel's texts, check values and LineSpecs. Numeric texts are converted
// with the given conventions (normally platformNumberLocale()).
FormatSettings buildFormatSettings(const PanelState& panel, const NumberLocale& locale);

// A numeric setting that is neither "不变" nor a number.
struct SettingProblem {
    std::string field;    // "RowHeightCm"
    std::string control;  // "Combo8"
    std::string label;    // "行    高"
    std::string text;     // the offending text
    std::string message;  // “行    高”中的“abc”不是有效的数字。
};

// The message shown for a bad number in the list with this label.
std::string invalidNumberMessage(std::string_view label, std::string_view text);

// The first bad number among the fields a table run converts at its start (RowHeightCm,
// LineSpacingLines, CellRightMarginCm, in this order).
std::optional<SettingProblem> firstInvalidTableNumber(const FormatSettings& settings);

// The first bad number among the fields the body-text command converts at its start
// (BodyLineSpacing, BodySpaceBefore, BodySpaceAfter, BodyFirstLineIndent, in this order).
std::optional<SettingProblem> firstInvalidBodyNumber(const FormatSettings& settings);

}  // namespace settings
