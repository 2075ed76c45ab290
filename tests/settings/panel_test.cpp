#include "settings/controls.h"
#include "settings/panel_state.h"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using namespace settings;

TEST(PanelLoad, DefaultsAfterLoad) {
    const PanelState panel = initialPanelState();
    for (const ControlSpec& entry : panelControls()) {
        if (entry.kind != ControlKind::ComboBox || entry.field.empty()) {
            continue;
        }
        if (entry.field == "TableWidthMode") {
            EXPECT_EQ(panel.text(entry.field), "调整到页面宽度");
        } else if (entry.field == "SpecifiedWidthCm") {
            EXPECT_EQ(panel.text(entry.field), "指定宽度");
            EXPECT_FALSE(entry.initiallyVisible);
        } else if (entry.field == "LeftIndentCm") {
            EXPECT_EQ(panel.text(entry.field), "左缩进");
            EXPECT_FALSE(entry.initiallyVisible);
        } else {
            EXPECT_EQ(panel.text(entry.field), "不变") << entry.field;
            ASSERT_FALSE(entry.items.empty());
            EXPECT_EQ(entry.items.front(), "不变") << entry.field;
        }
    }
    EXPECT_TRUE(panel.checked("RepeatHeaderRows"));
    EXPECT_FALSE(panel.checked("IncludeBorderlessTables"));
    EXPECT_FALSE(panel.checked("AddThousandsSeparators"));
    EXPECT_FALSE(panel.checked("RemoveSpaces"));
    const LineSpec single1pt{"1", "8"};
    EXPECT_EQ(panel.lines, (EdgeLines{single1pt, single1pt, single1pt}));
}

TEST(PanelControls, LookupAndTexts) {
    const ControlSpec* rowHeight = findField("RowHeightCm");
    ASSERT_NE(rowHeight, nullptr);
    EXPECT_EQ(rowHeight->name, "Combo8");
    EXPECT_EQ(rowHeight->label, "行    高");
    EXPECT_EQ(rowHeight->displayName(), "行    高");
    EXPECT_EQ(rowHeight->labelTooltip, "厘米");
    EXPECT_EQ(rowHeight->tooltip, "厘米  可以选择或直接输入");
    EXPECT_EQ(rowHeight->items.size(), 14U);
    EXPECT_EQ(rowHeight->items.back(), "1.10");
    EXPECT_EQ(rowHeight->parse, Parse::Number);
    EXPECT_EQ(fieldSpec("SpecifiedWidthCm").displayName(), "指定宽度");  // no label: its placeholder

    EXPECT_EQ(fieldSpec("RemoveSpaces").tooltip,
              "复制的数据有时会含有大量空格可以选中本选项进行\r\n处理，仅对表格中标题行和标题列之外的区域有效。\r\n");
    EXPECT_EQ(fieldSpec("AddThousandsSeparators").labelAction, LabelAction::OpenCompanionWorkbook);
    EXPECT_EQ(findField(""), nullptr);
    EXPECT_EQ(findField("Combo8"), nullptr);  // fields, not widget names

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

    const auto& buttons = panelButtons();
    const auto entry = std::find_if(buttons.begin(), buttons.end(), [](const ButtonSpec& button) {
        return button.action == ButtonAction::EnterSingleTableMode;
    });
    ASSERT_NE(entry, buttons.end());
    ASSERT_TRUE(entry->rect.has_value());
    EXPECT_GT(entry->rect->left, kWideWidthTwips);  // never in view
}

}  // namespace
