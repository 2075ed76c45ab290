#include "settings/format_settings.h"
#include "settings/setting_limits.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using namespace settings;

const NumberLocale kPoint{"."};
const NumberLocale kComma{","};

// The record of a loaded panel whose lists were then given these texts.
FormatSettings withTexts(const std::vector<std::pair<Field, const char*>>& texts, const NumberLocale& locale = kPoint) {
    FormatSettings settings = defaultFormatSettings(locale);
    for (const auto& [key, text] : texts) setText(settings, key, text, locale);
    return settings;
}

TEST(FormatSettingsBuild, DefaultsOfALoadedPanel) {
    const FormatSettings settings = defaultFormatSettings(kPoint);
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
    EXPECT_FALSE(settings.SpecifiedWidthCm.value.has_value());  // the placeholder is no number
    EXPECT_FALSE(settings.LeftIndentCm.value.has_value());
    EXPECT_FALSE(firstInvalidNumber(settings, ReadBy::TableRunAtStart).has_value());
    EXPECT_FALSE(firstInvalidNumber(settings, ReadBy::BodyTextAtStart).has_value());
    EXPECT_FALSE(checkTableSettings(settings).has_value());
    EXPECT_FALSE(checkBodySettings(settings).has_value());
}

TEST(FormatSettingsBuild, ChoiceFieldsActOnlyOnExactItems) {
    const FormatSettings settings = withTexts({{Field::TextFont, "黑体"},  // typed font that is no item
                                               {Field::NumberFont, "Arial Narrow"},
                                               {Field::FontSize, "小五"},
                                               {Field::BodyFontSize, "四号 "},  // trailing space: no item
                                               {Field::TableWidthMode, "指定宽度 "},
                                               {Field::HeaderRowAlign, "居右"},  // not an item of 标题行
                                               {Field::OtherAreaAlign, "居右"},
                                               {Field::BodyTextFont, "仿宋_GB2312"}});
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
    FormatSettings settings = withTexts({{Field::LineSpacingLines, "1"},
                                         {Field::RowHeightCm, "0,5"},
                                         {Field::TableWidthMode, "指定宽度"},
                                         {Field::SpecifiedWidthCm, "12,5"},
                                         {Field::LeftIndentCm, "0.2"}},
                                        kComma);
    EXPECT_EQ(settings.LineSpacingLines.value, 1.0F);
    EXPECT_EQ(settings.RowHeightCm.value, 0.5F);
    EXPECT_EQ(settings.TableWidthMode, WidthMode::Specified);
    EXPECT_EQ(settings.SpecifiedWidthCm.value, 12.5F);
    EXPECT_FALSE(settings.LeftIndentCm.value.has_value());  // "." is no decimal point here

    settings = withTexts({{Field::LineSpacingLines, "1.0"}, {Field::RowHeightCm, "0,5"}});
    EXPECT_EQ(settings.LineSpacingLines.value, 1.0F);
    EXPECT_TRUE(settings.RowHeightCm.isInvalid());
}

TEST(FormatSettingsValidation, FirstBadNumberIsReportedWithLabelAndText) {
    FormatSettings settings = withTexts({{Field::CellRightMarginCm, "abc"},
                                         // a leading space: neither the sentinel nor a number
                                         {Field::LineSpacingLines, " 不变"}});
    std::optional<SettingProblem> problem = firstInvalidNumber(settings, ReadBy::TableRunAtStart);
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->key, Field::LineSpacingLines);
    EXPECT_EQ(problem->message, "“行    距”中的“ 不变”不是有效的数字。");
    EXPECT_EQ(checkTableSettings(settings), problem->message);  // the front ends' check says the same

    setText(settings, Field::RowHeightCm, "abc", kPoint);
    problem = firstInvalidNumber(settings, ReadBy::TableRunAtStart);
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->message, "“行    高”中的“abc”不是有效的数字。");
    EXPECT_FALSE(firstInvalidNumber(settings, ReadBy::BodyTextAtStart).has_value());

    // Body fields: line spacing before space after.
    settings = withTexts({{Field::BodySpaceAfter, "x"}, {Field::BodyLineSpacing, "1,5"}});
    problem = firstInvalidNumber(settings, ReadBy::BodyTextAtStart);
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->key, Field::BodyLineSpacing);
    EXPECT_EQ(problem->message, "“行    距”中的“1,5”不是有效的数字。");
    EXPECT_FALSE(firstInvalidNumber(settings, ReadBy::TableRunAtStart).has_value());
    // The width texts are not checked by the run itself: it leaves the property alone instead. The
    // front ends refuse them before a run, naming the box by its placeholder.
    setText(settings, Field::SpecifiedWidthCm, "宽", kPoint);
    EXPECT_FALSE(firstInvalidNumber(settings, ReadBy::TableRunAtStart).has_value());
    EXPECT_EQ(checkTableSettings(settings), "“指定宽度”中的“宽”不是有效的数字。");
}

}  // namespace
