#include "settings/line_spec.h"

#include <set>
#include <string>

#include <gtest/gtest.h>

namespace {

using namespace settings;

TEST(PickerOptions, FramesOfferEighteenNineteenAndFourteenChoices) {
    EXPECT_EQ(pickerOptionsOf(EdgeGroup::TopBottom).size(), 18U);
    EXPECT_EQ(pickerOptionsOf(EdgeGroup::LeftRight).size(), 19U);
    EXPECT_EQ(pickerOptionsOf(EdgeGroup::Inner).size(), 14U);

    std::set<std::string_view> names;
    for (const PickerOption& option : pickerOptions()) {
        EXPECT_TRUE(names.insert(option.name).second) << option.name;
    }
    for (const char* unused : {"Option19", "Option53", "Option54", "Option55", "Option56", "Option57"}) {
        EXPECT_EQ(findPickerOption(unused), nullptr) << unused;
    }
}

TEST(PickerOptions, PresetsOfEachColumn) {
    const PickerOption* option = findPickerOption("Option18");
    ASSERT_NE(option, nullptr);
    EXPECT_EQ(option->column, SampleColumn::Double);
    EXPECT_EQ(option->row, 4);
    EXPECT_EQ(option->style, "7");
    EXPECT_EQ(option->width, "12");
    EXPECT_EQ(option->sampleImage, "Picture20");

    // The left/right numbering runs the other way; the same line uses the same image.
    option = findPickerOption("Option38");
    ASSERT_NE(option, nullptr);
    EXPECT_EQ(option->group, EdgeGroup::LeftRight);
    EXPECT_EQ(option->style, "1");
    EXPECT_EQ(option->width, "2");
    EXPECT_EQ(option->sampleImage, "Picture1");

    option = findPickerOption("Option3");
    ASSERT_NE(option, nullptr);
    EXPECT_EQ(option->sampleImage, "Picture4");  // there is no Picture3
}

TEST(PickerOptions, NoLineClearsLeftRightStyleAndKeepsWidth) {
    EdgeLines lines;
    ASSERT_NE(applyPickerOption("Option27", lines), nullptr);  // dotted 1.5 pt
    ASSERT_NE(applyPickerOption("Option20", lines), nullptr);
    EXPECT_EQ(lines.LeftRightLine, (LineSpec{"", "12"}));

    // A choice in another group leaves the left/right style empty.
    applyPickerOption("Option5", lines);
    EXPECT_EQ(lines.LeftRightLine, (LineSpec{"", "12"}));
    EXPECT_EQ(lines.TopBottomLine, (LineSpec{"1", "12"}));

    // A left/right line afterwards restores style and width.
    applyPickerOption("Option24", lines);
    EXPECT_EQ(lines.LeftRightLine, (LineSpec{"7", "2"}));
}

TEST(PickerOptions, InnerChoiceTouchesOnlyInnerLine) {
    EdgeLines lines;
    lines.LeftRightLine = LineSpec{"", "4"};
    const EdgeLines before = lines;
    applyPickerOption("Option50", lines);
    EXPECT_EQ(lines.InnerLine, (LineSpec{"2", "12"}));
    EXPECT_EQ(lines.LeftRightLine, before.LeftRightLine);
    EXPECT_EQ(lines.TopBottomLine, before.TopBottomLine);

    const EdgeLines once = lines;
    applyPickerOption("Option50", lines);
    EXPECT_EQ(lines, once);

    EXPECT_EQ(applyPickerOption("Option99", lines), nullptr);
    EXPECT_EQ(applyPickerOption("", lines), nullptr);
    EXPECT_EQ(lines, once);
}

TEST(SampleImages, LabelsWidthsAndStyles) {
    EXPECT_EQ(sampleImages().size(), 19U);
    const std::pair<const char*, const char*> labels[] = {
        {"Picture1", "¼ 磅"},   {"Picture2", "½ 磅"},   {"Picture4", "¾ 磅"}, {"Picture5", "1 磅"},
        {"Picture6", "1 ½ 磅"}, {"Picture7", "2 ¼ 磅"}, {"Picture8", "3 磅"}, {"Picture20", "1 ½ 磅"}};
    for (const auto& [name, label] : labels) {
        const SampleImage* image = findSampleImage(name);
        ASSERT_NE(image, nullptr) << name;
        EXPECT_EQ(image->label, label) << name;
    }
    EXPECT_DOUBLE_EQ(findSampleImage("Picture14")->widthPoints, 2.25);
    EXPECT_EQ(findSampleImage("Picture14")->style, "2");
    EXPECT_EQ(findSampleImage("Picture24")->style, "");
    EXPECT_EQ(findSampleImage("Picture24")->label, "");
    EXPECT_EQ(findSampleImage("Picture21"), nullptr);

    EXPECT_EQ(sampleImageFor(defaultLineSpec())->name, "Picture5");
    EXPECT_EQ(sampleImageFor(LineSpec{"", "8"})->name, "Picture24");
    EXPECT_EQ(sampleImageFor(LineSpec{"7", "8"}), nullptr);  // no 1 pt double line on offer
}

TEST(PickerTexts, TooltipsAndNames) {
    EXPECT_EQ(sampleTooltip(EdgeGroup::TopBottom, SampleColumn::Single), "点击图片可以关闭窗体\r\n");
    EXPECT_EQ(sampleTooltip(EdgeGroup::TopBottom, SampleColumn::Dotted), "双击关闭窗体");
    EXPECT_EQ(sampleTooltip(EdgeGroup::LeftRight, SampleColumn::Single), "双击关闭窗体");
    EXPECT_EQ(sampleTooltip(EdgeGroup::Inner, SampleColumn::Dotted), "双击关闭窗体");
    EXPECT_EQ(sampleTooltip(EdgeGroup::TopBottom, SampleColumn::Double), "");
    EXPECT_EQ(edgeGroupCaption(EdgeGroup::Inner), "内横竖线");
}

}  // namespace
