#include "settings/settings_file.h"
#include "settings/controls.h"
#include "settings/format_settings.h"

#include <gtest/gtest.h>

namespace {

using namespace settings;

TEST(SettingsFile, ParsesAssignmentsKeepingTextExactly) {
    const SettingsFile file = parseSettingsFile(
        "\xEF\xBB\xBF# 表格\r\n"
        "\r\n"
        "  # indented comment\n"
        "RowHeightCm=0.50\r\n"
        " TextFont =宋体\n"
        "LineSpacingLines= 不变\n"
        "NumberFont=Times New Roman \n"
        "LeftRightLine=/8\n"
        "RepeatHeaderRows=0");
    ASSERT_TRUE(file.ok()) << file.errors.front();
    ASSERT_EQ(file.assignments.size(), 6U);
    EXPECT_EQ(file.assignments[0].field, "RowHeightCm");
    EXPECT_EQ(file.assignments[0].line, 4);
    EXPECT_EQ(file.assignments[1].field, "TextFont");
    EXPECT_EQ(file.assignments[2].text, " 不变");
    EXPECT_EQ(file.assignments[3].text, "Times New Roman ");

    FormatSettings settings = defaultFormatSettings({});
    for (const SettingAssignment& assignment : file.assignments)
        ASSERT_FALSE(setField(settings, assignment.field, assignment.text, {}).has_value());
    EXPECT_EQ(settings.RowHeightCm.value, 0.5F);
    EXPECT_EQ(settings.TextFont, "宋体");
    EXPECT_FALSE(settings.NumberFont.has_value());  // trailing space: no item
    EXPECT_TRUE(settings.LineSpacingLines.isInvalid());
    EXPECT_FALSE(settings.LeftRightLine.style.has_value());
    EXPECT_EQ(settings.LeftRightLine.width.value, 8);
    EXPECT_FALSE(settings.RepeatHeaderRows);
}

TEST(SettingsFile, ErrorsNameTheLineAndNothingIsApplied) {
    const SettingsFile file = parseSettingsFile(
        "RowHeigth=0.5\n"
        "RowHeightCm 0.5\n"
        "=0.5\n"
        "RepeatHeaderRows=yes\n"
        "TopBottomLine=/8\n"
        "InnerLine=1/x\n"
        "LeftRightLine=2\n"
        "FontSize=小四\n");
    ASSERT_EQ(file.errors.size(), 7U);
    EXPECT_EQ(file.errors[0], "第1行：未知的设置项“RowHeigth”。");
    EXPECT_EQ(file.errors[1], "第2行：缺少“=”，应写成“设置项=值”：“RowHeightCm 0.5”。");
    EXPECT_EQ(file.errors[2], "第3行：“=”前缺少设置项名称：“=0.5”。");
    EXPECT_EQ(file.errors[3], "第4行：设置项“RepeatHeaderRows”的值只能是“1”或“0”，不能是“yes”。");
    EXPECT_EQ(file.errors[4], "第5行：设置项“TopBottomLine”的线型不能为空，只有左右边框可以不显示。");
    EXPECT_EQ(file.errors[5], "第6行：设置项“InnerLine”的值应写成“线型/线宽”（例如“1/8”），不能是“1/x”。");
    EXPECT_EQ(file.errors[6].substr(0, 10), "第7行：");
    ASSERT_EQ(file.assignments.size(), 1U);

    // Widget names are no fields; a refused assignment changes nothing.
    FormatSettings settings = defaultFormatSettings({});
    const FormatSettings before = settings;
    EXPECT_EQ(setField(settings, "Check2", "1", {}), "未知的设置项“Check2”。");
    EXPECT_TRUE(setField(settings, "InnerLine", "1/x", {}).has_value());
    EXPECT_EQ(settings, before);
}

TEST(SettingsFile, EveryFieldCanBeSetAndReachesTheRecord) {
    FormatSettings settings = defaultFormatSettings({});
    for (const ControlSpec& control : panelControls()) {
        if (control.field.empty()) continue;
        const ControlSpec* entry = &control;
        const std::string_view field = control.field;
        std::string text;
        switch (entry->kind) {
            case ControlKind::CheckBox: text = "1"; break;
            case ControlKind::LinePreview: text = field == "LeftRightLine" ? "/12" : "7/6"; break;
            default: text = std::string(entry->items.back()); break;
        }
        ASSERT_FALSE(setField(settings, field, text, {}).has_value()) << field;
    }
    EXPECT_EQ(settings.TableWidthMode, WidthMode::Specified);
    EXPECT_EQ(settings.BodyFontSize, 9.0F);
    EXPECT_EQ(settings.BodyFirstLineIndent.value, 2.0F);
    EXPECT_EQ(settings.InnerLine, (LineNumbers{LineNumber{"7", 7}, LineNumber{"6", 6}}));
    EXPECT_EQ(settings.LeftRightLine, (LineNumbers{std::nullopt, LineNumber{"12", 12}}));
    EXPECT_TRUE(settings.IncludeBorderlessTables && settings.AddThousandsSeparators && settings.RemoveSpaces);
}

}  // namespace
