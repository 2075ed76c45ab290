// Pass-over mode, proven with Word failures injected into the embedded Word: where a failure is passed
// over and where it stops the run, and the order in which the run calls Word.
#include "engine_fixture.h"

#include "support/fault_word.h"

using namespace gwtest;

namespace {

class PassOverTest : public FormatTest {
protected:
    engine::FormatOutcome formatFaulty() { return format(faulty.get()); }

    bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

    std::shared_ptr<FaultPlan> plan = std::make_shared<FaultPlan>();
    std::shared_ptr<automation::Application> faulty = faultyWord(word, plan);
};

TEST_F(PassOverTest, RowHeightFailingInTheFirstTableStopsTheRun) {
    open(framed(2, 2) + para("") + framed(2, 2));
    set("RowHeightCm", "0.50");
    plan->failOn("Rows.SetHeight", 1);
    EXPECT_EQ(formatFaulty(), engine::FormatOutcome::Stopped);

    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_TRUE(contains(host.messages[0], "第 1 个表格")) << host.messages[0];
    EXPECT_TRUE(contains(host.messages[0], "纵向合并")) << host.messages[0];  // Word's own text
    EXPECT_EQ(host.events.front(), "hide");
    EXPECT_EQ(host.events.back(), "show");
    EXPECT_TRUE(host.mainVisible);

    pugi::xml_document& doc = saved();
    pugi::xml_node first = nthTable(doc, 1);
    EXPECT_TRUE(first.child("w:tr").child("w:trPr").child("w:trHeight"));  // the rule was set before the height
    EXPECT_EQ(tableBorder(first, "top"), "single/4");                      // nothing after the failure ran
    EXPECT_FALSE(formatted(nthTable(doc, 2)));
}

TEST_F(PassOverTest, TheSameFailureInTheSecondTableIsPassedOver) {
    open(framed(3, 3) + para("") + framed(3, 3));
    set("RowHeightCm", "0.50");
    plan->failOn("Rows.SetHeight", 2);
    EXPECT_EQ(formatFaulty(), engine::FormatOutcome::Done);
    EXPECT_EQ(host.messages, (std::vector<std::string>{"完成"}));

    pugi::xml_document& doc = saved();
    EXPECT_STREQ(nthTable(doc, 1).child("w:tr").child("w:trPr").child("w:trHeight").attribute("w:val").value(), "283");
    EXPECT_STRNE(nthTable(doc, 2).child("w:tr").child("w:trPr").child("w:trHeight").attribute("w:val").value(), "283");
    EXPECT_EQ(tableBorder(nthTable(doc, 2), "top"), "single/8");  // the next lines ran
    ASSERT_EQ(passedOver.size(), 1u);
    EXPECT_EQ(passedOver[0].table, 2);
    EXPECT_EQ(passedOver[0].operation, "Selection.Rows.Height");
    EXPECT_EQ(passedOver[0].number, 5991);
}

TEST_F(PassOverTest, TheRepeatStepIsNeverPassedOver) {
    open(framed(2, 2) + para("") + framed(2, 2) + para("") + framed(2, 2));
    plan->failOn("Rows.SetHeadingFormat", 2);
    EXPECT_EQ(formatFaulty(), engine::FormatOutcome::Stopped);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_TRUE(contains(host.messages[0], "第 2 个表格")) << host.messages[0];
    pugi::xml_document& doc = saved();
    EXPECT_EQ(headingMap(nthTable(doc, 1)), "10");
    EXPECT_TRUE(formatted(nthTable(doc, 2)));  // its earlier steps stay done
    EXPECT_FALSE(formatted(nthTable(doc, 3)));
}

TEST_F(PassOverTest, SingleTableModeNamesTheSelectedTable) {
    auto doc = open(framed(2, 2));
    doc->Tables()->Item(1)->Select();
    scope = engine::Scope::SelectedTable;
    plan->failOn("Rows.SetHeadingFormat", 1);
    EXPECT_EQ(formatFaulty(), engine::FormatOutcome::Stopped);
    EXPECT_TRUE(contains(host.messages.at(0), "所选表格")) << host.messages[0];
}

TEST_F(PassOverTest, TheSpecifiedWidthBranchSwitchesPassOverOnInTheFirstTable) {
    open(framed(2, 2));
    set("TableWidthMode", "指定宽度");
    set("SpecifiedWidthCm", "10");
    plan->failOn("Cells.SetVerticalAlignment", 1);
    EXPECT_EQ(formatFaulty(), engine::FormatOutcome::Done);
    EXPECT_EQ(tableBorder(nthTable(saved(), 1), "top"), "single/8");

    // Fitting to the page leaves it off: the same failure stops the run.
    open(framed(2, 2));
    set("TableWidthMode", "调整到页面宽度");
    plan->failOn("Cells.SetVerticalAlignment", 2);
    host.messages.clear();
    EXPECT_EQ(formatFaulty(), engine::FormatOutcome::Stopped);
    EXPECT_TRUE(contains(host.messages.at(0), "第 1 个表格"));
}

TEST_F(PassOverTest, FailuresBeforeTheTablesNameTheirStep) {
    open(framed(2, 2));
    plan->failOn("Tables.Count", 1, 4605, "此方法或属性无效");
    EXPECT_EQ(formatFaulty(), engine::FormatOutcome::Stopped);
    EXPECT_TRUE(contains(host.messages.at(0), "统计表格数目")) << host.messages[0];
    EXPECT_EQ(host.events.back(), "show");
}

TEST_F(PassOverTest, AFailedBorderTestSkipsOnlyThatTable) {
    open(framed(2, 2) + para("") + framed(2, 2) + para("") + framed(2, 2));
    plan->failOn("Border.LineStyle", 3);  // the left border of the second table
    EXPECT_EQ(formatFaulty(), engine::FormatOutcome::Done);
    pugi::xml_document& doc = saved();
    EXPECT_TRUE(formatted(nthTable(doc, 1)));
    EXPECT_FALSE(formatted(nthTable(doc, 2)));
    EXPECT_TRUE(formatted(nthTable(doc, 3)));
}

TEST_F(PassOverTest, AFailingCallAbandonsTheRestOfItsOperationOnly) {
    // Reading cell (2, C) fails in the title operation of rows 1 and 2 of the second table; the
    // operation is dropped and row 1 is selected by the next one.
    open(framed(3, 3) + para("") + framed(3, 3));
    set("HeaderRowAlign", "居中");
    plan->failFrom("Cell.Range", 1);
    EXPECT_EQ(formatFaulty(), engine::FormatOutcome::Done);
    pugi::xml_document& doc = saved();
    EXPECT_EQ(alignmentMap(nthTable(doc, 2)), "ccc|---|---");
    EXPECT_EQ(alignmentMap(nthTable(doc, 1)), "ccc|---|---");
}

// ---- the order of Word calls --------------------------------------------------------------------

TEST_F(PassOverTest, BordersStyleBeforeWidthEdgeByEdge) {
    open(framed(2, 2));
    format(faulty.get());
    std::vector<std::string> sets;
    for (const std::string& call : plan->callsOf({"Border.SetLineStyle", "Border.SetLineWidth"})) sets.push_back(call);
    ASSERT_EQ(sets.size(), 12u);
    for (std::size_t i = 0; i < sets.size(); ++i)
        EXPECT_EQ(sets[i], i % 2 == 0 ? "Border.SetLineStyle" : "Border.SetLineWidth") << i;

    // No line for left and right: two style sets, no widths for them.
    open(framed(2, 2));
    settings::applyPickerOption("Option20", formatSettings);
    plan->clearCalls();
    format(faulty.get());
    EXPECT_EQ(plan->callsOf({"Border.SetLineStyle"}).size(), 6u);
    EXPECT_EQ(plan->callsOf({"Border.SetLineWidth"}).size(), 4u);
}

TEST_F(PassOverTest, IncludingBorderlessTablesReadsNoBorder) {
    open(framed(2, 2) + para("") + table(2, 2));
    set("IncludeBorderlessTables", "1");
    format(faulty.get());
    EXPECT_EQ(plan->callCount("Border.LineStyle"), 0);

    set("IncludeBorderlessTables", "0");
    format(faulty.get());
    EXPECT_EQ(plan->callCount("Border.LineStyle"), 4);  // left then top, in each table
}

TEST_F(PassOverTest, FontsAndParagraphResetInTheirOrder) {
    open(framed(2, 2));
    set("TextFont", "仿宋_GB2312");
    set("NumberFont", "Arial Narrow");
    set("FontSize", "四号");
    format(faulty.get());
    EXPECT_EQ(plan->callsOf({"Font.SetName", "Font.SetSize"}),
              (std::vector<std::string>{"Font.SetName", "Font.SetName", "Font.SetSize"}));
    EXPECT_EQ(plan->callCount("Selection.Font"), 1);
    EXPECT_EQ(plan->callsOf({"ParagraphFormat.SetSpaceBefore", "ParagraphFormat.SetSpaceBeforeAuto",
                             "ParagraphFormat.SetSpaceAfterAuto", "ParagraphFormat.SetLineUnitBefore",
                             "ParagraphFormat.SetWordWrap", "ParagraphFormat.SetCharacterUnitLeftIndent",
                             "ParagraphFormat.SetCharacterUnitRightIndent",
                             "ParagraphFormat.SetCharacterUnitFirstLineIndent"}),
              (std::vector<std::string>{"ParagraphFormat.SetSpaceBefore", "ParagraphFormat.SetSpaceBeforeAuto",
                                        "ParagraphFormat.SetSpaceAfterAuto", "ParagraphFormat.SetLineUnitBefore",
                                        "ParagraphFormat.SetWordWrap", "ParagraphFormat.SetCharacterUnitLeftIndent",
                                        "ParagraphFormat.SetCharacterUnitRightIndent",
                                        "ParagraphFormat.SetCharacterUnitFirstLineIndent"}));
}

TEST_F(PassOverTest, SpaceRemovalSequenceStopsAtTheEndOfTheSelection) {
    open(framed(3, 3));
    set("RemoveSpaces", "1");
    format(faulty.get());
    std::vector<std::string> findCalls;
    for (const std::string& call : plan->calls())
        if (call.rfind("Find.", 0) == 0 || call.rfind("Replacement.", 0) == 0 || call == "Application.SetDisplayAlerts")
            findCalls.push_back(call);
    EXPECT_EQ(findCalls,
              (std::vector<std::string>{"Application.SetDisplayAlerts", "Find.ClearFormatting", "Find.Replacement",
                                        "Replacement.ClearFormatting", "Find.SetText", "Find.Replacement",
                                        "Replacement.SetText", "Find.SetFormat", "Find.SetMatchCase",
                                        "Find.SetMatchWholeWord", "Find.SetWrap", "Find.Execute"}));
    EXPECT_EQ(plan->callCount("Selection.Find"), 1);
}

}  // namespace
