#include "settings/format_settings.h"

#include <gtest/gtest.h>

namespace {

using namespace settings;

const NumberLocale kPoint{"."};
const NumberLocale kComma{","};

TEST(FormatSettingsBuild, DefaultsOfALoadedPanel) {
    const FormatSettings settings = buildFormatSettings(initialPanelState(), kPoint);
    EXPECT_EQ(settings.TableWidthMode, WidthMode::FitToPage);
    EXPECT_TRUE(settings.RepeatHeaderRows);
    EXPECT_FALSE(settings.IncludeBorderlessTables);
    EXPECT_FALSE(settings.AddThousandsSeparators);
    EXPECT_FALSE(settings.RemoveSpaces);
    for (const NumericSetting* numeric :
         {&settings.RowHeightCm, &settings.LineSpacingLines, &settings.CellRightMarginCm, &settings.BodyLineSpacing}) {
        EXPECT_TRUE(numeric->isUnchanged());
        EXPECT_FALSE(numeric->isInvalid());
        EXPECT_FALSE(numeric->value.has_value());
    }
    EXPECT_FALSE(settings.TextFont || settings.NumberFont || settings.FontSize || settings.HeaderRowAlign ||
                 settings.OtherAreaAlign || settings.BodyFontSize || settings.BodyTextFont);
    const LineNumbers single1pt{LineNumber{"1", 1}, LineNumber{"8", 8}};
    EXPECT_EQ(settings.TopBottomLine, single1pt);
    EXPECT_EQ(settings.LeftRightLine, single1pt);
    EXPECT_EQ(settings.InnerLine, single1pt);
    EXPECT_FALSE(settings.SpecifiedWidthCm.has_value());  // the placeholder is no number
    EXPECT_FALSE(settings.LeftIndentCm.has_value());
    EXPECT_FALSE(firstInvalidTableNumber(settings).has_value());
    EXPECT_FALSE(firstInvalidBodyNumber(settings).has_value());
}

TEST(FormatSettingsBuild, ChoiceFieldsActOnlyOnExactItems) {
    PanelState panel = initialPanelState();
    panel.setText("TextFont", "黑体");  // typed font that is no item
    panel.setText("NumberFont", "Arial Narrow");
    panel.setText("FontSize", "小五");
    panel.setText("BodyFontSize", "四号 ");  // trailing space: no item
    panel.setText("TableWidthMode", "指定宽度 ");
    panel.setText("HeaderRowAlign", "居右");  // not an item of 标题行
    panel.setText("OtherAreaAlign", "居右");
    panel.setText("BodyTextFont", "仿宋_GB2312");
    const FormatSettings settings = buildFormatSettings(panel, kPoint);
    EXPECT_FALSE(settings.TextFont.has_value());
    EXPECT_EQ(settings.NumberFont, "Arial Narrow");
    EXPECT_EQ(settings.FontSize, 9.0F);
    EXPECT_FALSE(settings.BodyFontSize.has_value());
    EXPECT_EQ(settings.TableWidthMode, WidthMode::Unchanged);
    EXPECT_FALSE(settings.HeaderRowAlign.has_value());
    EXPECT_EQ(settings.OtherAreaAlign, HorizontalAlign::Right);
    EXPECT_EQ(settings.BodyTextFont, "仿宋_GB2312");

    EXPECT_EQ(chineseFontSizePoints("四号"), 14.0F);
    EXPECT_EQ(chineseFontSizePoints("小四"), 12.0F);
    EXPECT_EQ(chineseFontSizePoints("五号"), 10.5F);
    EXPECT_FALSE(chineseFontSizePoints("不变").has_value());
}

TEST(FormatSettingsBuild, NumericTextsUseTheGivenLocale) {
    PanelState panel = initialPanelState();
    panel.setText("LineSpacingLines", "1");
    panel.setText("RowHeightCm", "0,5");
    panel.setText("TableWidthMode", "指定宽度");
    panel.setText("SpecifiedWidthCm", "12,5");
    panel.setText("LeftIndentCm", "0.2");
    FormatSettings settings = buildFormatSettings(panel, kComma);
    EXPECT_EQ(settings.LineSpacingLines.value, 1.0F);
    EXPECT_EQ(settings.RowHeightCm.value, 0.5F);
    EXPECT_EQ(settings.TableWidthMode, WidthMode::Specified);
    EXPECT_EQ(settings.SpecifiedWidthCm, 12.5F);
    EXPECT_FALSE(settings.LeftIndentCm.has_value());  // "." is no decimal point here

    panel.setText("LineSpacingLines", "1.0");
    settings = buildFormatSettings(panel, kPoint);
    EXPECT_EQ(settings.LineSpacingLines.value, 1.0F);
    EXPECT_TRUE(settings.RowHeightCm.isInvalid());
}

TEST(FormatSettingsValidation, FirstBadNumberIsReportedWithLabelAndText) {
    PanelState panel = initialPanelState();
    panel.setText("CellRightMarginCm", "abc");
    panel.setText("LineSpacingLines", " 不变");  // a leading space: neither the sentinel nor a number
    FormatSettings settings = buildFormatSettings(panel, kPoint);
    std::optional<SettingProblem> problem = firstInvalidTableNumber(settings);
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->field, "LineSpacingLines");
    EXPECT_EQ(problem->control, "Combo1");
    EXPECT_EQ(problem->message, "“行    距”中的“ 不变”不是有效的数字。");

    panel.setText("RowHeightCm", "abc");
    settings = buildFormatSettings(panel, kPoint);
    problem = firstInvalidTableNumber(settings);
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->message, "“行    高”中的“abc”不是有效的数字。");
    EXPECT_FALSE(firstInvalidBodyNumber(settings).has_value());

    // Body fields in the command's conversion order: line spacing before space after.
    panel = initialPanelState();
    panel.setText("BodySpaceAfter", "x");
    panel.setText("BodyLineSpacing", "1,5");
    settings = buildFormatSettings(panel, kPoint);
    problem = firstInvalidBodyNumber(settings);
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->field, "BodyLineSpacing");
    EXPECT_EQ(problem->label, "行    距");
    EXPECT_FALSE(firstInvalidTableNumber(settings).has_value());
    // The width texts are not checked up front: the run leaves the property alone instead.
    panel.setText("SpecifiedWidthCm", "宽");
    EXPECT_FALSE(firstInvalidTableNumber(buildFormatSettings(panel, kPoint)).has_value());
}

}  // namespace
