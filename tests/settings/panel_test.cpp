#include "settings/controls.h"
#include "settings/format_settings.h"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using namespace settings;

TEST(PanelLoad, DefaultsAfterLoad) {
    for (const ControlSpec& entry : panelControls()) {
        if (entry.kind != ControlKind::ComboBox) continue;
        if (entry.key == Field::TableWidthMode) {
            EXPECT_EQ(entry.defaultText, "调整到页面宽度");
        } else if (entry.key == Field::SpecifiedWidthCm || entry.key == Field::LeftIndentCm) {
            EXPECT_EQ(entry.defaultText, entry.key == Field::SpecifiedWidthCm ? "指定宽度" : "左缩进");
            EXPECT_FALSE(entry.initiallyVisible);
        } else {
            EXPECT_EQ(entry.defaultText, "不变") << entry.name;
            ASSERT_FALSE(entry.items.empty());
            EXPECT_EQ(entry.items.front(), "不变") << entry.name;
        }
    }
    const FormatSettings loaded = defaultFormatSettings({});
    EXPECT_TRUE(loaded.RepeatHeaderRows);
    EXPECT_FALSE(loaded.IncludeBorderlessTables || loaded.AddThousandsSeparators || loaded.RemoveSpaces);
    const LineNumbers single1pt{LineNumber{"1", 1}, LineNumber{"8", 8}};
    EXPECT_EQ(loaded.TopBottomLine, single1pt);
    EXPECT_EQ(loaded.LeftRightLine, single1pt);
    EXPECT_EQ(loaded.InnerLine, single1pt);
}

TEST(PanelControls, LookupAndTexts) {
    const ControlSpec* rowHeight = findField("RowHeightCm");
    ASSERT_EQ(rowHeight, &fieldSpec(Field::RowHeightCm));
    EXPECT_EQ(rowHeight->name, "Combo8");
    EXPECT_EQ(rowHeight->label, "行    高");
    EXPECT_EQ(rowHeight->displayName(), "行    高");
    EXPECT_EQ(rowHeight->labelTooltip, "厘米");
    EXPECT_EQ(rowHeight->tooltip, "厘米  可以选择或直接输入");
    EXPECT_EQ(rowHeight->items.size(), 14U);
    EXPECT_EQ(rowHeight->items.back(), "1.10");
    EXPECT_EQ(rowHeight->unit, Unit::Centimetres);
    EXPECT_EQ(fieldSpec(Field::SpecifiedWidthCm).displayName(), "指定宽度");  // no label: its placeholder

    EXPECT_EQ(fieldSpec(Field::RemoveSpaces).tooltip,
              "复制的数据有时会含有大量空格可以选中本选项进行\r\n处理，仅对表格中标题行和标题列之外的区域有效。\r\n");
    EXPECT_EQ(fieldSpec(Field::AddThousandsSeparators).labelAction, LabelAction::OpenCompanionWorkbook);
    EXPECT_EQ(findField(""), nullptr);
    EXPECT_EQ(findField("Combo8"), nullptr);  // fields, not widget names

    // Every key has its row, at the key's place; every string name, widget name and member is one
    // field's, and a field has a string name exactly when a command reads it into a member.
    ASSERT_EQ(panelControls().size(), static_cast<std::size_t>(kFieldCount));
    std::set<std::string_view> names;
    std::set<std::string_view> fields;
    std::vector<Member> members;
    for (const ControlSpec& entry : panelControls()) {
        EXPECT_EQ(&fieldSpec(entry.key), &entry) << entry.name;
        EXPECT_EQ(entry.field.empty(), std::holds_alternative<std::monostate>(entry.member)) << entry.name;
        EXPECT_EQ(entry.readBy == ReadBy::Nothing, entry.field.empty()) << entry.name;
        if (!entry.field.empty()) {
            EXPECT_EQ(std::count(members.begin(), members.end(), entry.member), 0) << entry.name;
            members.push_back(entry.member);
        }
        if (!entry.name.empty()) {
            EXPECT_TRUE(names.insert(entry.name).second) << entry.name;
        }
        if (!entry.field.empty()) {
            EXPECT_TRUE(fields.insert(entry.field).second) << entry.field;
        }
    }
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
