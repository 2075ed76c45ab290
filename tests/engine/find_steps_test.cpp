// The run's steps that work with Word's find and replace: space removal in the other area, and
// thousands separators over the whole main text before the tables (the step itself: thousands_test.cpp).
#include "engine_fixture.h"

using namespace gwtest;

namespace {

class FindSteps : public FormatTest {};

TEST_F(FindSteps, SpacesGoFromTheOtherAreaOnly) {
    open(para("正文 有 空格") +
         tbl(row(cell("标 题") + cell("金 额") + cell("备 注")) + row(cell("收 入") + cell("1 234") + cell("   ")) +
                 row(cell("支 出") + cell("5 6") + cell("a b")),
             kFramed, 3) +
         para("后 文"));
    set("RemoveSpaces", "1");
    // Word keeps the selection's find options from earlier searches; "continue" must not carry the
    // removal past the selected cells.
    word->Selection()->Find()->SetWrap(automation::wdFindContinue);
    EXPECT_EQ(format(), engine::FormatOutcome::Done);
    EXPECT_EQ(word->DisplayAlerts(), automation::wdAlertsNone);  // not set back

    pugi::xml_document& doc = saved();
    pugi::xml_node t = nthTable(doc, 1);
    EXPECT_EQ(cellText(tcAt(t, 2, 2)), "1234");
    EXPECT_EQ(cellText(tcAt(t, 2, 3)), "");
    EXPECT_EQ(cellText(tcAt(t, 3, 3)), "ab");
    EXPECT_EQ(cellText(tcAt(t, 1, 2)), "金 额");  // title row
    EXPECT_EQ(cellText(tcAt(t, 3, 1)), "支 出");  // column 1
    std::string text;
    for (pugi::xpath_node n : doc.select_nodes("/w:document/w:body/w:p//w:t")) text += n.node().text().get();
    EXPECT_EQ(text, "正文 有 空格后 文");  // the text around the table keeps its spaces
}

TEST_F(FindSteps, SpaceRemovalOnAOneRowTableActsOnTheTitleRow) {
    open(tbl(row(cell("a b") + cell("c d")), kFramed, 2));
    set("RemoveSpaces", "1");
    format();
    pugi::xml_node t = nthTable(saved(), 1);
    EXPECT_EQ(cellText(tcAt(t, 1, 1)), "ab");
    EXPECT_EQ(cellText(tcAt(t, 1, 2)), "cd");
}

std::string allText(pugi::xml_document& doc) {
    std::string text;
    for (pugi::xpath_node n : doc.select_nodes("//w:t")) text += n.node().text().get() + std::string("|");
    return text;
}

TEST_F(FindSteps, TheRunAddsSeparatorsEvenWithoutTablesAndToSkippedTables) {
    open(para("合计 45678.9 元") + table(1, 1, "", "12345.6 "));
    set("AddThousandsSeparators", "1");
    EXPECT_EQ(format(), engine::FormatOutcome::Done);
    EXPECT_EQ(host.messages, (std::vector<std::string>{"完成"}));
    const std::string text = allText(saved());
    EXPECT_NE(text.find("45,678.9"), std::string::npos) << text;
    EXPECT_NE(text.find("12,345.6"), std::string::npos) << text;
}

}  // namespace
