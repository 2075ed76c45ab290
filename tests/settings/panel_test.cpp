#include "settings/controls.h"
#include "settings/panel_state.h"

#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using namespace settings;

TEST(PanelLoad, DefaultsAfterLoad) {
    const PanelState panel = initialPanelState();
    for (const ControlSpec& entry : panelControls()) {
        if (entry.kind != ControlKind::ComboBox) {
            continue;
        }
        if (entry.name == "Combo7") {
            EXPECT_EQ(panel.text(entry.name), "调整到页面宽度");
        } else if (entry.name == "Combo13") {
            EXPECT_EQ(panel.text(entry.name), "指定宽度");
            EXPECT_FALSE(entry.initiallyVisible);
        } else if (entry.name == "Combo6") {
            EXPECT_EQ(panel.text(entry.name), "左缩进");
            EXPECT_FALSE(entry.initiallyVisible);
        } else {
            EXPECT_EQ(panel.text(entry.name), "不变") << entry.name;
            ASSERT_FALSE(entry.items.empty());
            EXPECT_EQ(entry.items.front(), "不变") << entry.name;
        }
    }
    EXPECT_TRUE(panel.checked("Check2"));
    EXPECT_FALSE(panel.checked("Check3"));
    EXPECT_FALSE(panel.checked("Check4"));
    EXPECT_FALSE(panel.checked("Check5"));
    const LineSpec single1pt{"1", "8"};
    EXPECT_EQ(panel.lines, (EdgeLines{single1pt, single1pt, single1pt}));
}

TEST(PanelLoad, StepsFillListsInLoadOrder) {
    std::vector<std::string_view> order;
    for (const LoadStep& step : loadSteps()) {
        order.push_back(step.kind == LoadStepKind::ResetLines ? "lines" : step.control);
    }
    const std::vector<std::string_view> expected = {
        "lines",  "Combo1",  "Combo2",  "Combo3",  "Combo4",  "Combo5",  "Combo6",  "Combo7",
        "Combo8", "Combo9",  "Combo11", "Combo12", "Combo13", "Check2",  "Check3",  "Check5",
        "Combo19", "Combo18", "Combo17", "Combo16", "Combo14", "Combo15", "Combo20"};
    EXPECT_EQ(order, expected);
    // Every list of the panel is filled exactly once.
    std::set<std::string_view> filled;
    for (const LoadStep& step : loadSteps()) {
        if (step.kind == LoadStepKind::FillList) {
            EXPECT_TRUE(filled.insert(step.control).second);
        }
    }
    std::set<std::string_view> lists;
    for (const ControlSpec& entry : panelControls()) {
        if (entry.kind == ControlKind::ComboBox) {
            lists.insert(entry.name);
        }
    }
    EXPECT_EQ(filled, lists);
}

TEST(PanelControls, LookupAndTexts) {
    const ControlSpec* rowHeight = findControl("Combo8");
    ASSERT_NE(rowHeight, nullptr);
    EXPECT_EQ(rowHeight->label, "行    高");
    EXPECT_EQ(rowHeight->labelTooltip, "厘米");
    EXPECT_EQ(rowHeight->tooltip, "厘米  可以选择或直接输入");
    EXPECT_EQ(rowHeight->items.size(), 14U);
    EXPECT_EQ(rowHeight->items.back(), "1.10");
    EXPECT_EQ(rowHeight->value, ValueKind::Numeric);
    EXPECT_EQ(findControlForField("RowHeightCm"), rowHeight);

    EXPECT_EQ(findControl("Check5")->tooltip,
              "复制的数据有时会含有大量空格可以选中本选项进行\r\n处理，仅对表格中标题行和标题列之外的区域有效。\r\n");
    EXPECT_EQ(findControl("Check4")->labelAction, LabelAction::OpenCompanionWorkbook);
    EXPECT_EQ(findControl("Combo4")->field, "");
    EXPECT_EQ(findControl(""), nullptr);
    EXPECT_EQ(findControl("Combo10"), nullptr);

    std::set<std::string_view> names;
    std::set<std::string_view> fields;
    for (const ControlSpec& entry : panelControls()) {
        if (!entry.name.empty()) {
            EXPECT_TRUE(names.insert(entry.name).second) << entry.name;
        }
        if (!entry.field.empty()) {
            EXPECT_TRUE(fields.insert(entry.field).second) << entry.field;
        }
    }
    EXPECT_EQ(fields.size(), 25U);
}

TEST(PanelWindow, WidthToggleAndWidthDetails) {
    EXPECT_EQ(toggledWindowWidth(kNarrowWidthTwips), kWideWidthTwips);
    EXPECT_EQ(toggledWindowWidth(toggledWindowWidth(kNarrowWidthTwips)), kNarrowWidthTwips);
    EXPECT_EQ(toggledWindowWidth(13394), kWideWidthTwips);

    EXPECT_TRUE(widthDetailsVisible("指定宽度"));
    EXPECT_FALSE(widthDetailsVisible("调整到页面宽度"));
    EXPECT_FALSE(widthDetailsVisible(" 指定宽度"));

    const ButtonSpec& entry = findButton(ButtonAction::EnterSingleTableMode);
    EXPECT_EQ(entry.caption, "1");
    ASSERT_TRUE(entry.rect.has_value());
    EXPECT_GT(entry.rect->left, kWideWidthTwips);  // never in view
    EXPECT_EQ(findButton("Command10")->caption, "开  始");
    EXPECT_EQ(findButton("Command1")->caption, "开   始");
    EXPECT_EQ(frameSpec(PanelFrame::BodyText).caption, "表外文字排版");
    EXPECT_EQ(controlsOf(PanelFrame::BodyText).size(), 7U);
}

}  // namespace
