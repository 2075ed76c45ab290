#include "settings/controls.h"

#include <algorithm>

namespace settings {

int toggledWindowWidth(int outerWidthTwips) {
    return outerWidthTwips == kWideWidthTwips ? kNarrowWidthTwips : kWideWidthTwips;
}

bool widthDetailsVisible(std::string_view tableWidthText) { return tableWidthText == "指定宽度"; }

const std::vector<FrameSpec>& panelFrames() {
    static const std::vector<FrameSpec> frames = {
        {PanelFrame::TableSettings, "表格设置", FrameColumn::Left, {240, 120, 6735, 2175}},
        {PanelFrame::TableText, "表内文字", FrameColumn::Left, {240, 2400, 6735, 2175}},
        {PanelFrame::Alignment, "对齐方式", FrameColumn::Left, {240, 4680, 6735, 1815}},
        {PanelFrame::EmbeddedExcel, "文档内嵌excel表格", FrameColumn::Right, {7440, 120, 5655, 1815}},
        {PanelFrame::Other, "其他", FrameColumn::Right, {7440, 2040, 5655, 1335}},
        {PanelFrame::BodyText, "表外文字排版", FrameColumn::Right, {7440, 3480, 5655, 2295}},
    };
    return frames;
}

const FrameSpec& frameSpec(PanelFrame frame) {
    const auto& frames = panelFrames();
    return *std::find_if(frames.begin(), frames.end(), [&](const FrameSpec& entry) { return entry.id == frame; });
}

namespace {

// Shorthands for the table below.
ControlSpec combo(std::string_view name, PanelFrame frame, int row, Placement placement, std::string_view label,
                  std::vector<std::string_view> items, ValueKind value, Unit unit, std::string_view field) {
    return ControlSpec{name,  ControlKind::ComboBox, frame, row, placement, label, "", "", "", std::move(items),
                       kUnchanged, "", false, true, value, unit, field, LabelAction::None};
}

ControlSpec preview(std::string_view name, int row, std::string_view label, std::string_view field) {
    return ControlSpec{name, ControlKind::LinePreview, PanelFrame::TableSettings, row, Placement::Left, label, "", "", "",
                       {}, "", "", false, true, ValueKind::Line, Unit::None, field,
                       LabelAction::OpenPickerOnDoubleClick};
}

ControlSpec check(std::string_view name, PanelFrame frame, int row, Placement placement, std::string_view caption,
                  std::string_view tooltip, bool checked, std::string_view field) {
    return ControlSpec{name, ControlKind::CheckBox, frame, row, placement, "", "", caption, tooltip, {}, "", "",
                       checked, true, ValueKind::Check, Unit::None, field, LabelAction::None};
}

std::vector<ControlSpec> makeControls() {
    using enum PanelFrame;
    using enum Placement;
    std::vector<ControlSpec> c;

    // 表格设置
    c.push_back(preview("Picture21", 1, "上下边框", "TopBottomLine"));
    c.push_back(preview("Picture22", 2, "左右边框", "LeftRightLine"));
    c.push_back(preview("Picture23", 3, "内横竖线", "InnerLine"));
    {
        ControlSpec rowHeight = combo("Combo8", TableSettings, 1, Right, "行    高",
                                      {"不变", "0.50", "0.55", "0.60", "0.65", "0.70", "0.75", "0.80", "0.85", "0.90",
                                       "0.95", "1.00", "1.05", "1.10"},
                                      ValueKind::Numeric, Unit::Centimetres, "RowHeightCm");
        rowHeight.labelTooltip = "厘米";
        rowHeight.tooltip = "厘米  可以选择或直接输入";
        c.push_back(std::move(rowHeight));
    }
    {
        ControlSpec widthMode = combo("Combo7", TableSettings, 2, Right, "表格宽度", {"不变", "调整到页面宽度", "指定宽度"},
                                      ValueKind::Choice, Unit::None, "TableWidthMode");
        widthMode.defaultText = "调整到页面宽度";
        c.push_back(std::move(widthMode));
    }
    {
        // The width-detail boxes: no "不变" item, the placeholder stands in the box until a value is
        // picked or typed. The run converts their texts itself, table by table.
        ControlSpec width = combo("Combo13", TableSettings, 3, Middle, "", {"8", "10", "12", "14", "16"},
                                  ValueKind::Numeric, Unit::Centimetres, "SpecifiedWidthCm");
        width.tooltip = "厘米 可以选择或直接输入数字";
        width.defaultText = width.placeholder = "指定宽度";
        width.initiallyVisible = false;
        c.push_back(std::move(width));
        ControlSpec indent = combo("Combo6", TableSettings, 3, Right, "", {"0", "0.2", "0.4", "0.6", "0.8", "1.0"},
                                   ValueKind::Numeric, Unit::Centimetres, "LeftIndentCm");
        indent.tooltip = "厘米 可以选择或直接输入数字";
        indent.defaultText = indent.placeholder = "左缩进";
        indent.initiallyVisible = false;
        c.push_back(std::move(indent));
    }
    c.push_back(check("Check3", TableSettings, 4, Whole, "  包含特殊表格（预览中看不到线条的表格）",
                      "指边框颜色为无色的表格,常用于固定文字位置，默认对这类表格不进行格式设置。", false,
                      "IncludeBorderlessTables"));

    // 表内文字
    c.push_back(combo("Combo1", TableText, 1, Left, "行    距", {"不变", "1.0", "1.5"}, ValueKind::Numeric, Unit::Lines,
                      "LineSpacingLines"));
    c.push_back(combo("Combo2", TableText, 2, Left, "文字字体", {"不变", "宋体", "仿宋_GB2312"}, ValueKind::Choice,
                      Unit::None, "TextFont"));
    c.push_back(combo("Combo12", TableText, 3, Left, "数字字体", {"不变", "Times New Roman", "Arial Narrow"},
                      ValueKind::Choice, Unit::None, "NumberFont"));
    c.push_back(combo("Combo3", TableText, 1, Right, "字    号", {"不变", "四号", "小四", "五号", "小五"},
                      ValueKind::Choice, Unit::Points, "FontSize"));
    // Shown and filled, but no run reads it.
    c.push_back(combo("Combo4", TableText, 2, Right, "首行缩进", {"不变", "0.5", "1.0"}, ValueKind::None, Unit::None, ""));
    {
        ControlSpec margin = combo("Combo5", TableText, 3, Right, "单元格右边距(厘米)",
                                   {"不变", "0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7", "0.8"}, ValueKind::Numeric,
                                   Unit::Centimetres, "CellRightMarginCm");
        margin.labelTooltip = "想让表内数字右对齐但又要离开右框一定距离时可以在此设置。必须在下方的对齐方式中的其他区域中"
                              "选定居右后设置才生效。只对标题行标题列这外的区域有效。";
        c.push_back(std::move(margin));
    }
    c.push_back(check("Check5", TableText, 4, Left, "  同时删除表格中的空格",
                      "复制的数据有时会含有大量空格可以选中本选项进行\r\n处理，仅对表格中标题行和标题列之外的区域有效。\r\n",
                      false, "RemoveSpaces"));
    {
        // A caption-less check box with a label on its left; a click on the label opens the companion
        // workbook and leaves the check box as it is.
        ControlSpec separators = check("Check4", TableText, 4, Right, "", "", false, "AddThousandsSeparators");
        separators.label = "数字加千分位符号";
        separators.labelTooltip = "对表内表外数字都有效，所有带小数点的4位以上数字（不带小数点的数字无效）";
        separators.labelAction = LabelAction::OpenCompanionWorkbook;
        c.push_back(std::move(separators));
    }

    // 对齐方式
    {
        ControlSpec header = combo("Combo9", Alignment, 1, Left, "标 题 行", {"不变", "居中"}, ValueKind::Choice,
                                   Unit::None, "HeaderRowAlign");
        header.labelTooltip = "有时标题行可能会是两行，程序自己判断。";
        c.push_back(std::move(header));
        ControlSpec other = combo("Combo11", Alignment, 2, Left, "其他区域", {"不变", "居中", "居右"}, ValueKind::Choice,
                                  Unit::None, "OtherAreaAlign");
        other.labelTooltip = "标题行标题列之外的区域";
        c.push_back(std::move(other));
    }
    // Vertical alignment is not selectable: the run always centres cells vertically.
    c.push_back(ControlSpec{"", ControlKind::AlignmentIcons, Alignment, 3, Left, "上下对齐", "", "", "", {}, "", "",
                            false, true, ValueKind::None, Unit::None, "", LabelAction::None});
    c.push_back(check("Check2", Alignment, 1, Right, " 跨页显示标题行", "", true, "RepeatHeaderRows"));

    // 表外文字排版
    c.push_back(combo("Combo15", BodyText, 1, Left, "段    前", {"不变", "0", "0.5"}, ValueKind::Numeric, Unit::Lines,
                      "BodySpaceBefore"));
    c.push_back(combo("Combo19", BodyText, 2, Left, "行    距", {"不变", "1.0", "1.5"}, ValueKind::Numeric, Unit::Lines,
                      "BodyLineSpacing"));
    c.push_back(combo("Combo18", BodyText, 3, Left, "文字字体", {"不变", "宋体", "仿宋_GB2312"}, ValueKind::Choice,
                      Unit::None, "BodyTextFont"));
    c.push_back(combo("Combo14", BodyText, 4, Left, "数字字体", {"不变", "Times New Roman", "Arial Narrow"},
                      ValueKind::Choice, Unit::None, "BodyNumberFont"));
    c.push_back(combo("Combo20", BodyText, 1, Right, "段    后", {"不变", "0", "0.5"}, ValueKind::Numeric, Unit::Lines,
                      "BodySpaceAfter"));
    c.push_back(combo("Combo17", BodyText, 2, Right, "字    号", {"不变", "四号", "小四", "五号", "小五"},
                      ValueKind::Choice, Unit::Points, "BodyFontSize"));
    c.push_back(combo("Combo16", BodyText, 3, Right, "首行缩进", {"不变", "1.0", "2.0"}, ValueKind::Numeric,
                      Unit::Characters, "BodyFirstLineIndent"));
    return c;
}

}  // namespace

const std::vector<ControlSpec>& panelControls() {
    static const std::vector<ControlSpec> controls = makeControls();
    return controls;
}

const ControlSpec* findControl(std::string_view name) {
    if (name.empty()) {
        return nullptr;
    }
    const auto& controls = panelControls();
    const auto it =
        std::find_if(controls.begin(), controls.end(), [&](const ControlSpec& entry) { return entry.name == name; });
    return it == controls.end() ? nullptr : &*it;
}

const ControlSpec* findControlForField(std::string_view field) {
    if (field.empty()) {
        return nullptr;
    }
    const auto& controls = panelControls();
    const auto it =
        std::find_if(controls.begin(), controls.end(), [&](const ControlSpec& entry) { return entry.field == field; });
    return it == controls.end() ? nullptr : &*it;
}

std::vector<const ControlSpec*> controlsOf(PanelFrame frame) {
    std::vector<const ControlSpec*> out;
    for (const ControlSpec& entry : panelControls()) {
        if (entry.frame == frame) {
            out.push_back(&entry);
        }
    }
    std::stable_sort(out.begin(), out.end(), [](const ControlSpec* a, const ControlSpec* b) { return a->row < b->row; });
    return out;
}

const std::vector<ButtonSpec>& panelButtons() {
    using enum PanelFrame;
    static const std::vector<ButtonSpec> buttons = {
        {ButtonAction::FormatRun, "Command1", "开   始", "", Alignment, std::nullopt},
        {ButtonAction::About, "", "使 用 说 明", "", Alignment, std::nullopt},
        {ButtonAction::ToggleWidth, "", "更多功能 >>", "", Alignment, std::nullopt},
        {ButtonAction::ConvertEmbeddedSheets, "Command3", "开   始", "此功能和前页的排版功能是独立的。", EmbeddedExcel,
         std::nullopt},
        {ButtonAction::TidyTables, "Command6", "整理表格", "如果处理后的表格有多余的行和列,可以使用此功能删除。",
         EmbeddedExcel, std::nullopt},
        {ButtonAction::RemoveEmptyRows, "Command9", "确  定", "", Other, std::nullopt},
        {ButtonAction::RemoveExternalLinks, "Command11", "确  定", "", Other, std::nullopt},
        {ButtonAction::FormatBodyText, "Command10", "开  始", "", BodyText, std::nullopt},
        // Lies right of the wide width, so it is never in view but can take the keyboard focus.
        {ButtonAction::EnterSingleTableMode, "", "1", "点击进入按以上设置对一个表进行操作界面", std::nullopt,
         TwipRect{14640, 5640, 1215, 375}},
    };
    return buttons;
}

const ButtonSpec& findButton(ButtonAction action) {
    const auto& buttons = panelButtons();
    return *std::find_if(buttons.begin(), buttons.end(), [&](const ButtonSpec& entry) { return entry.action == action; });
}

const ButtonSpec* findButton(std::string_view name) {
    if (name.empty()) {
        return nullptr;
    }
    const auto& buttons = panelButtons();
    const auto it =
        std::find_if(buttons.begin(), buttons.end(), [&](const ButtonSpec& entry) { return entry.name == name; });
    return it == buttons.end() ? nullptr : &*it;
}

const std::vector<LabelSpec>& panelLabels() {
    static const std::vector<LabelSpec> labels = {
        {" 处理成word表格，删除原表", "", PanelFrame::EmbeddedExcel, ButtonAction::ConvertEmbeddedSheets},
        {"删除所有表格中的空行", "", PanelFrame::Other, ButtonAction::RemoveEmptyRows},
        {"删除文档中的所有外部链接", "相当于[编辑]菜单中的[链接]操作功能,数据锁定为当前数据。", PanelFrame::Other,
         ButtonAction::RemoveExternalLinks},
    };
    return labels;
}

namespace {

std::vector<LoadStep> makeLoadSteps() {
    std::vector<LoadStep> steps;
    steps.push_back({LoadStepKind::ResetLines, "", "", false});
    const auto fill = [&](std::string_view name) {
        steps.push_back({LoadStepKind::FillList, name, findControl(name)->defaultText, false});
    };
    for (std::string_view name : {"Combo1", "Combo2", "Combo3", "Combo4", "Combo5", "Combo6", "Combo7", "Combo8",
                                  "Combo9", "Combo11", "Combo12", "Combo13"}) {
        fill(name);
    }
    steps.push_back({LoadStepKind::SetCheck, "Check2", "", true});
    steps.push_back({LoadStepKind::SetCheck, "Check3", "", false});
    steps.push_back({LoadStepKind::SetCheck, "Check5", "", false});
    for (std::string_view name : {"Combo19", "Combo18", "Combo17", "Combo16", "Combo14", "Combo15", "Combo20"}) {
        fill(name);
    }
    return steps;
}

}  // namespace

const std::vector<LoadStep>& loadSteps() {
    static const std::vector<LoadStep> steps = makeLoadSteps();
    return steps;
}

}  // namespace settings
