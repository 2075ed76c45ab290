// The key of every control of the main window's panel. Code names a setting by this key; the string
// names ("RowHeightCm") are only what settings files and `--set` call them.
#pragma once

#include <string_view>

namespace settings {

// First item of every settings list: leave this property of the document as it is.
inline constexpr std::string_view kUnchanged = "不变";

// In panel order: frame by frame, each frame row by row, left pair first. Two controls fill no
// FormatSettings member: TableFirstLineIndent (shown and filled, but no command reads it) and
// VerticalAlignment (a fixed picture; the run always centres cells vertically).
enum class Field {
    // 表格设置
    TopBottomLine,
    LeftRightLine,
    InnerLine,
    RowHeightCm,
    TableWidthMode,
    SpecifiedWidthCm,
    LeftIndentCm,
    IncludeBorderlessTables,
    // 表内文字
    LineSpacingLines,
    TextFont,
    NumberFont,
    FontSize,
    TableFirstLineIndent,
    CellRightMarginCm,
    RemoveSpaces,
    AddThousandsSeparators,
    // 对齐方式
    HeaderRowAlign,
    OtherAreaAlign,
    VerticalAlignment,
    RepeatHeaderRows,
    // 表外文字排版
    BodySpaceBefore,
    BodyLineSpacing,
    BodyTextFont,
    BodyNumberFont,
    BodySpaceAfter,
    BodyFontSize,
    BodyFirstLineIndent,
};

inline constexpr int kFieldCount = static_cast<int>(Field::BodyFirstLineIndent) + 1;

// The key as an index into per-field arrays (0 to kFieldCount - 1).
constexpr int fieldIndex(Field key) { return static_cast<int>(key); }

}  // namespace settings
