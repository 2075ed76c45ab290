// FormatSettings: the record of the panel's choices that a table run or the body-text command reads.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/field.h"
#include "settings/line_spec.h"
#include "settings/number_text.h"

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

// The text read the way a numeric list reads it: no conversion of "不变".
NumericSetting numericSetting(std::string_view text, const NumberLocale& locale);

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
    // The width-detail boxes: a text that is no number (the placeholder, for instance) has no value, and
    // the run leaves that table property as it is.
    NumericSetting SpecifiedWidthCm;
    NumericSetting LeftIndentCm;
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

    bool operator==(const FormatSettings&) const = default;
};

// Building the record. Every front end starts from the panel's defaults and writes each control's
// value into it by key; the panel table (controls.h) says which member a key fills and how.

// The record of a panel just loaded: every list at its default text, every check box at its default,
// all three lines single 1 pt.
FormatSettings defaultFormatSettings(const NumberLocale& locale);

// A list's text: a number (locale-aware, "不变" left alone), an item of a choice list (any other text is
// absent), a font-size name. Does nothing for a key that is no list or fills no member.
void setText(FormatSettings& settings, Field key, std::string_view text, const NumberLocale& locale);

// A check box. Does nothing for a key that is no check box.
void setChecked(FormatSettings& settings, Field key, bool on);

// A line preview's LineSpec. Does nothing for a key that is no line.
void setLine(FormatSettings& settings, Field key, const LineSpec& line, const NumberLocale& locale);

// A choice of the line-style picker, written into its group's line: the style always, the width when
// the option carries one. Returns the option, or nullptr (and changes nothing) for an unknown name.
const PickerOption* applyPickerOption(std::string_view name, FormatSettings& settings);

}  // namespace settings
