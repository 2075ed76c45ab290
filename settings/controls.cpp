#include "settings/controls.h"

#include <algorithm>

namespace settings {

int toggledWindowWidth(int outerWidthTwips) {
    return outerWidthTwips == kWideWidthTwips ? kNarrowWidthTwips : kWideWidthTwips;
}

bool widthDetailsVisible(std::string_view tableWidthText) { return tableWidthText == "指定宽度"; }

const std::vector<FrameSpec>& panelFrames() {
    static const std::vector<FrameSpec> frames = {
        {PanelFrame::TableSettings, "FrameTableSettings", "表格设置", {240, 120, 6735, 2175}, 4},
        {PanelFrame::TableText, "FrameTableText", "表内文字", {240, 2400, 6735, 2175}, 4},
        {PanelFrame::Alignment, "FrameAlignment", "对齐方式", {240, 4680, 6735, 1815}, 3},
        {PanelFrame::EmbeddedExcel, "FrameEmbeddedExcel", "文档内嵌excel表格", {7440, 120, 5655, 1815}, 3},
        {PanelFrame::Other, "FrameOther", "其他", {7440, 2040, 5655, 1335}, 2},
        {PanelFrame::BodyText, "FrameBodyText", "表外文字排版", {7440, 3480, 5655, 2295}, 4},
    };
    return frames;
}

const FrameSpec& frameSpec(PanelFrame frame) {
    const auto& frames = panelFrames();
    return *std::find_if(frames.begin(), frames.end(), [&](const FrameSpec& entry) { return entry.id == frame; });
}

namespace {

using F = FormatSettings;

// Word's ranges: lengths and line spacing as points, spacing before and after in lines, indents in
// characters.
constexpr WordRange kLength{true, 0.0f, 1584.0f, "0 至 55.88 厘米"};
constexpr WordRange kSignedLength{true, -1584.0f, 1584.0f, "-55.88 至 55.88 厘米"};
constexpr WordRange kLineSpacing{true, 0.7f, 1584.0f, "0.06 至 132 行"};
constexpr WordRange kParagraphSpace{false, 0.0f, 132.0f, "0 至 132 行"};
constexpr WordRange kCharacterIndent{false, -1584.0f, 1584.0f, "-1584 至 1584 字符"};

// Shorthands for the table below. What every row has: its key, names, kind, place, reader and member.
ControlSpec control(Field key, std::string_view field, std::string_view name, ControlKind kind, PanelFrame frame,
                    int row, Placement placement, ReadBy readBy, Member member) {
    ControlSpec entry{.key = key, .kind = kind, .frame = frame, .row = row, .placement = placement};
    entry.field = field;
    entry.name = name;
    entry.readBy = readBy;
    entry.member = member;
    return entry;
}

ControlSpec combo(Field key, std::string_view field, std::string_view name, PanelFrame frame, int row,
                  Placement placement, std::string_view label, std::vector<std::string_view> items, ReadBy readBy,
                  Member member) {
    ControlSpec entry = control(key, field, name, ControlKind::ComboBox, frame, row, placement, readBy, member);
    entry.label = label;
    entry.items = std::move(items);
    entry.defaultText = kUnchanged;
    return entry;
}

// A numeric list: its unit and what Word takes.
ControlSpec number(ControlSpec entry, Unit unit, WordRange range) {
    entry.unit = unit;
    entry.range = range;
    return entry;
}

ControlSpec preview(Field key, std::string_view field, std::string_view name, int row, std::string_view label,
                    LineNumbers F::*member) {
    ControlSpec entry = control(key, field, name, ControlKind::LinePreview, PanelFrame::TableSettings, row,
                                Placement::Left, ReadBy::TableRun, member);
    entry.label = label;
    entry.labelAction = LabelAction::OpenPickerOnDoubleClick;
    return entry;
}

ControlSpec check(Field key, std::string_view field, std::string_view name, PanelFrame frame, int row,
                  Placement placement, std::string_view caption, std::string_view tooltip, bool checked,
                  bool F::*member) {
    ControlSpec entry =
        control(key, field, name, ControlKind::CheckBox, frame, row, placement, ReadBy::TableRun, member);
    entry.caption = caption;
    entry.tooltip = tooltip;
    entry.defaultChecked = checked;
    return entry;
}

std::vector<ControlSpec> makeControls() {
    using enum PanelFrame;
    using enum Placement;
    // The lists the table text and the body text share.
    const std::vector<std::string_view> lineSpacings = {"不变", "1.0", "1.5"};
    const std::vector<std::string_view> textFonts = {"不变", "宋体", "仿宋_GB2312"};
    const std::vector<std::string_view> numberFonts = {"不变", "Times New Roman", "Arial Narrow"};
    const std::vector<std::string_view> fontSizes = {"不变", "四号", "小四", "五号", "小五"};
    std::vector<ControlSpec> c;

    // 表格设置
    c.push_back(preview(Field::TopBottomLine, "TopBottomLine", "Picture21", 1, "上下边框", &F::TopBottomLine));
    c.push_back(preview(Field::LeftRightLine, "LeftRightLine", "Picture22", 2, "左右边框", &F::LeftRightLine));
    c.push_back(preview(Field::InnerLine, "InnerLine", "Picture23", 3, "内横竖线", &F::InnerLine));
    {
        ControlSpec rowHeight =
            number(combo(Field::RowHeightCm, "RowHeightCm", "Combo8", TableSettings, 1, Right, "行    高",
                         {"不变", "0.50", "0.55", "0.60", "0.65", "0.70", "0.75", "0.80", "0.85", "0.90", "0.95",
                          "1.00", "1.05", "1.10"},
                         ReadBy::TableRunAtStart, &F::RowHeightCm),
                   Unit::Centimetres, kLength);
        rowHeight.labelTooltip = "厘米";
        rowHeight.tooltip = "厘米  可以选择或直接输入";
        c.push_back(std::move(rowHeight));
    }
    {
        ControlSpec widthMode =
            combo(Field::TableWidthMode, "TableWidthMode", "Combo7", TableSettings, 2, Right, "表格宽度",
                  {"不变", "调整到页面宽度", "指定宽度"}, ReadBy::TableRun, &F::TableWidthMode);
        widthMode.defaultText = "调整到页面宽度";
        c.push_back(std::move(widthMode));
    }
    {
        // The width-detail boxes: no "不变" item, the placeholder stands in the box until a value is
        // picked or typed; a text that is no number leaves that table property as it is.
        ControlSpec width =
            number(combo(Field::SpecifiedWidthCm, "SpecifiedWidthCm", "Combo13", TableSettings, 3, Middle, "",
                         {"8", "10", "12", "14", "16"}, ReadBy::TableRun, &F::SpecifiedWidthCm),
                   Unit::Centimetres, kLength);
        width.tooltip = "厘米 可以选择或直接输入数字";
        width.defaultText = "指定宽度";
        width.initiallyVisible = false;
        c.push_back(std::move(width));
        ControlSpec indent = number(combo(Field::LeftIndentCm, "LeftIndentCm", "Combo6", TableSettings, 3, Right, "",
                                          {"0", "0.2", "0.4", "0.6", "0.8", "1.0"}, ReadBy::TableRun, &F::LeftIndentCm),
                                    Unit::Centimetres, kSignedLength);
        indent.tooltip = "厘米 可以选择或直接输入数字";
        indent.defaultText = "左缩进";
        indent.initiallyVisible = false;
        c.push_back(std::move(indent));
    }
    c.push_back(check(Field::IncludeBorderlessTables, "IncludeBorderlessTables", "Check3", TableSettings, 4, Whole,
                      "  包含特殊表格（预览中看不到线条的表格）",
                      "指边框颜色为无色的表格,常用于固定文字位置，默认对这类表格不进行格式设置。", false,
                      &F::IncludeBorderlessTables));

    // 表内文字
    c.push_back(number(combo(Field::LineSpacingLines, "LineSpacingLines", "Combo1", TableText, 1, Left, "行    距",
                             lineSpacings, ReadBy::TableRunAtStart, &F::LineSpacingLines),
                       Unit::Lines, kLineSpacing));
    c.push_back(combo(Field::TextFont, "TextFont", "Combo2", TableText, 2, Left, "文字字体", textFonts,
                      ReadBy::TableRun, &F::TextFont));
    c.push_back(combo(Field::NumberFont, "NumberFont", "Combo12", TableText, 3, Left, "数字字体", numberFonts,
                      ReadBy::TableRun, &F::NumberFont));
    {
        ControlSpec size = combo(Field::FontSize, "FontSize", "Combo3", TableText, 1, Right, "字    号", fontSizes,
                                 ReadBy::TableRun, &F::FontSize);
        size.unit = Unit::Points;
        c.push_back(std::move(size));
    }
    // Shown and filled, but no command reads it.
    c.push_back(combo(Field::TableFirstLineIndent, "", "Combo4", TableText, 2, Right, "首行缩进",
                      {"不变", "0.5", "1.0"}, ReadBy::Nothing, {}));
    {
        ControlSpec margin =
            number(combo(Field::CellRightMarginCm, "CellRightMarginCm", "Combo5", TableText, 3, Right,
                         "单元格右边距(厘米)", {"不变", "0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7", "0.8"},
                         ReadBy::TableRunAtStart, &F::CellRightMarginCm),
                   Unit::Centimetres, kSignedLength);
        margin.labelTooltip =
            "想让表内数字右对齐但又要离开右框一定距离时可以在此设置。必须在下方的对齐方式中的其他区域中"
            "选定居右后设置才生效。只对标题行标题列这外的区域有效。";
        c.push_back(std::move(margin));
    }
    c.push_back(
        check(Field::RemoveSpaces, "RemoveSpaces", "Check5", TableText, 4, Left, "  同时删除表格中的空格",
              "复制的数据有时会含有大量空格可以选中本选项进行\r\n处理，仅对表格中标题行和标题列之外的区域有效。\r\n",
              false, &F::RemoveSpaces));
    {
        // A caption-less check box with a label on its left; a click on the label opens the companion
        // workbook and leaves the check box as it is.
        ControlSpec separators = check(Field::AddThousandsSeparators, "AddThousandsSeparators", "Check4", TableText, 4,
                                       Right, "", "", false, &F::AddThousandsSeparators);
        separators.label = "数字加千分位符号";
        separators.labelTooltip = "对表内表外数字都有效，所有带小数点的4位以上数字（不带小数点的数字无效）";
        separators.labelAction = LabelAction::OpenCompanionWorkbook;
        c.push_back(std::move(separators));
    }

    // 对齐方式
    {
        ControlSpec header = combo(Field::HeaderRowAlign, "HeaderRowAlign", "Combo9", Alignment, 1, Left, "标 题 行",
                                   {"不变", "居中"}, ReadBy::TableRun, &F::HeaderRowAlign);
        header.labelTooltip = "有时标题行可能会是两行，程序自己判断。";
        c.push_back(std::move(header));
        ControlSpec other = combo(Field::OtherAreaAlign, "OtherAreaAlign", "Combo11", Alignment, 2, Left, "其他区域",
                                  {"不变", "居中", "居右"}, ReadBy::TableRun, &F::OtherAreaAlign);
        other.labelTooltip = "标题行标题列之外的区域";
        c.push_back(std::move(other));
    }
    // Vertical alignment is not selectable: the run always centres cells vertically.
    c.push_back(ControlSpec{.key = Field::VerticalAlignment,
                            .kind = ControlKind::AlignmentIcons,
                            .frame = Alignment,
                            .row = 3,
                            .placement = Left,
                            .label = "上下对齐"});
    c.push_back(check(Field::RepeatHeaderRows, "RepeatHeaderRows", "Check2", Alignment, 1, Right, " 跨页显示标题行", "",
                      true, &F::RepeatHeaderRows));

    // 表外文字排版
    c.push_back(number(combo(Field::BodySpaceBefore, "BodySpaceBefore", "Combo15", BodyText, 1, Left, "段    前",
                             {"不变", "0", "0.5"}, ReadBy::BodyTextAtStart, &F::BodySpaceBefore),
                       Unit::Lines, kParagraphSpace));
    c.push_back(number(combo(Field::BodyLineSpacing, "BodyLineSpacing", "Combo19", BodyText, 2, Left, "行    距",
                             lineSpacings, ReadBy::BodyTextAtStart, &F::BodyLineSpacing),
                       Unit::Lines, kLineSpacing));
    c.push_back(combo(Field::BodyTextFont, "BodyTextFont", "Combo18", BodyText, 3, Left, "文字字体", textFonts,
                      ReadBy::BodyText, &F::BodyTextFont));
    c.push_back(combo(Field::BodyNumberFont, "BodyNumberFont", "Combo14", BodyText, 4, Left, "数字字体", numberFonts,
                      ReadBy::BodyText, &F::BodyNumberFont));
    c.push_back(number(combo(Field::BodySpaceAfter, "BodySpaceAfter", "Combo20", BodyText, 1, Right, "段    后",
                             {"不变", "0", "0.5"}, ReadBy::BodyTextAtStart, &F::BodySpaceAfter),
                       Unit::Lines, kParagraphSpace));
    {
        ControlSpec size = combo(Field::BodyFontSize, "BodyFontSize", "Combo17", BodyText, 2, Right, "字    号",
                                 fontSizes, ReadBy::BodyText, &F::BodyFontSize);
        size.unit = Unit::Points;
        c.push_back(std::move(size));
    }
    c.push_back(number(combo(Field::BodyFirstLineIndent, "BodyFirstLineIndent", "Combo16", BodyText, 3, Right,
                             "首行缩进", {"不变", "1.0", "2.0"}, ReadBy::BodyTextAtStart, &F::BodyFirstLineIndent),
                       Unit::Characters, kCharacterIndent));
    return c;
}

}  // namespace

const std::vector<ControlSpec>& panelControls() {
    static const std::vector<ControlSpec> controls = makeControls();
    return controls;
}

const ControlSpec& fieldSpec(Field key) { return panelControls()[static_cast<std::size_t>(fieldIndex(key))]; }

const ControlSpec* findField(std::string_view field) {
    if (field.empty()) {
        return nullptr;
    }
    const auto& controls = panelControls();
    const auto it =
        std::find_if(controls.begin(), controls.end(), [&](const ControlSpec& entry) { return entry.field == field; });
    return it == controls.end() ? nullptr : &*it;
}

const std::vector<ButtonSpec>& panelButtons() {
    using enum PanelFrame;
    using enum Placement;
    static const std::vector<ButtonSpec> buttons = {
        {ButtonAction::FormatRun, "Command1", "开   始", "", Alignment, 2, Right, 0, 28, std::nullopt},
        {ButtonAction::About, "CommandAbout", "使 用 说 明", "", Alignment, 3, Middle, 0, 26, std::nullopt},
        {ButtonAction::ToggleWidth, "CommandMore", "更多功能 >>", "", Alignment, 3, Right, 0, 26, std::nullopt},
        {ButtonAction::ConvertEmbeddedSheets, "Command3", "开   始", "此功能和前页的排版功能是独立的。", EmbeddedExcel,
         1, Right, 96, 26, std::nullopt},
        {ButtonAction::TidyTables, "Command6", "整理表格", "如果处理后的表格有多余的行和列,可以使用此功能删除。",
         EmbeddedExcel, 2, Right, 96, 26, std::nullopt},
        {ButtonAction::RemoveEmptyRows, "Command9", "确  定", "", Other, 1, Right, 96, 26, std::nullopt},
        {ButtonAction::RemoveExternalLinks, "Command11", "确  定", "", Other, 2, Right, 96, 26, std::nullopt},
        {ButtonAction::FormatBodyText, "Command10", "开  始", "", BodyText, 4, Right, 96, 26, std::nullopt},
        // Lies right of the wide width, so it is never in view but can take the keyboard focus.
        {ButtonAction::EnterSingleTableMode, "CommandSingleTable", "1", "点击进入按以上设置对一个表进行操作界面",
         std::nullopt, 0, Whole, 0, 0, TwipRect{14640, 5640, 1215, 375}},
    };
    return buttons;
}

const std::vector<LabelSpec>& panelLabels() {
    static const std::vector<LabelSpec> labels = {
        {" 处理成word表格，删除原表", "", PanelFrame::EmbeddedExcel, 1},
        {"删除所有表格中的空行", "", PanelFrame::Other, 1},
        {"删除文档中的所有外部链接", "相当于[编辑]菜单中的[链接]操作功能,数据锁定为当前数据。", PanelFrame::Other, 2},
    };
    return labels;
}

}  // namespace settings
