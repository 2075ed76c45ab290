// The format run on real documents: which tables it formats, what each setting leaves in the saved
// document, and how it ends.
#include "engine_fixture.h"

#include "engine/table_steps.h"
#include "settings/line_spec.h"

using namespace gwtest;

namespace {

class FormatRunTest : public FormatTest {};

// ---- the run as a whole ------------------------------------------------------------------------

TEST_F(FormatRunTest, DefaultSettingsDrawSingleOnePointLinesAndEndWithDone) {
    open(para("前") + framed(3, 3) + para("后"));
    EXPECT_EQ(format(), engine::FormatOutcome::Done);
    EXPECT_EQ(host.events, (std::vector<std::string>{"hide", "message:完成", "show"}));

    pugi::xml_node t = nthTable(saved(), 1);
    for (const char* edge : {"top", "left", "bottom", "right", "insideH", "insideV"})
        EXPECT_EQ(tableBorder(t, edge), "single/8") << edge;
    EXPECT_TRUE(formatted(t));
    EXPECT_EQ(headingMap(t), "100");  // "跨页显示标题行" is on after load
    EXPECT_TRUE(passedOver.empty());
}

TEST_F(FormatRunTest, DocumentWithoutTablesStillEndsWithDone) {
    open(para("只有正文"));
    EXPECT_EQ(format(), engine::FormatOutcome::Done);
    EXPECT_EQ(host.events, (std::vector<std::string>{"hide", "message:完成", "show"}));
}

TEST_F(FormatRunTest, BadNumberChangesNothingAndKeepsTheMainWindow) {
    auto doc = open(framed(2, 2));
    set("LineSpacingLines", "1.5");
    set("RowHeightCm", "abc");
    EXPECT_EQ(format(), engine::FormatOutcome::InvalidSetting);
    EXPECT_EQ(host.messages, (std::vector<std::string>{"“行    高”中的“abc”不是有效的数字。"}));
    EXPECT_TRUE(host.mainVisible);
    EXPECT_EQ(host.events.size(), 1u);  // no hide, no show
    EXPECT_TRUE(doc->Saved());          // not even the sound numbers are applied
}

TEST_F(FormatRunTest, UnchangedNumbersAreNotAppliedAfterARunThatSetThem) {
    open(framed(2, 2));
    set("RowHeightCm", "0.50");
    format();
    set("RowHeightCm", "不变");
    open(framed(2, 2));
    format();
    pugi::xml_node t = nthTable(saved(), 1);
    EXPECT_FALSE(t.child("w:tr").child("w:trPr").child("w:trHeight"));
    EXPECT_TRUE(formatted(t));
}

// ---- which tables are formatted ---------------------------------------------------------------

// Left and top none, everything else drawn; left none but top drawn; left mixed (one cell drawn).
std::string threeKindsOfLines() {
    const std::string rightBottomInner =
        "<w:tblBorders><w:bottom w:val=\"single\" w:sz=\"4\"/><w:right w:val=\"single\" w:sz=\"4\"/>"
        "<w:insideH w:val=\"single\" w:sz=\"4\"/><w:insideV w:val=\"single\" w:sz=\"4\"/></w:tblBorders>";
    const std::string topOnly = "<w:tblBorders><w:top w:val=\"single\" w:sz=\"4\"/></w:tblBorders>";
    const std::string leftCell = "<w:tcBorders><w:left w:val=\"single\" w:sz=\"4\"/></w:tcBorders>";
    const std::string mixedLeft = tbl(row(cell("a", leftCell) + cell("b")) + row(cell("c") + cell("d")), "", 2);
    return table(2, 2, rightBottomInner) + para("") + table(2, 2, topOnly) + para("") + mixedLeft;
}

TEST_F(FormatRunTest, TablesWithoutLeftAndTopLinesAreLeftAlone) {
    open(threeKindsOfLines());
    EXPECT_EQ(format(), engine::FormatOutcome::Done);
    pugi::xml_document& doc = saved();
    EXPECT_FALSE(formatted(nthTable(doc, 1)));
    EXPECT_EQ(tableBorder(nthTable(doc, 1), "right"), "single/4");
    EXPECT_TRUE(formatted(nthTable(doc, 2)));
    EXPECT_TRUE(formatted(nthTable(doc, 3)));  // a mixed left edge counts as drawn
    EXPECT_EQ(host.messages.back(), "完成");
}

TEST_F(FormatRunTest, IncludingBorderlessTablesFormatsThemAll) {
    open(threeKindsOfLines() + para("") + table(2, 2));
    set("IncludeBorderlessTables", "1");
    format();
    pugi::xml_document& doc = saved();
    for (int n = 1; n <= 4; ++n) {
        EXPECT_TRUE(formatted(nthTable(doc, n))) << n;
        EXPECT_EQ(tableBorder(nthTable(doc, n), "left"), "single/8") << n;
    }
}

TEST_F(FormatRunTest, SingleTableModeFormatsOnlyTheSelectedThirdTable) {
    auto doc = open(framed(2, 2) + para("") + framed(2, 2) + para("") + framed(3, 3) + para(""));
    doc->Tables()->Item(3)->Cell(2, 2)->Select();
    scope = engine::Scope::SelectedTable;
    set("HeaderRowAlign", "居中");
    set("OtherAreaAlign", "居右");
    EXPECT_EQ(format(), engine::FormatOutcome::Done);
    EXPECT_EQ(host.events, (std::vector<std::string>{"hide", "message:完成", "show"}));

    pugi::xml_document& saved = this->saved();
    EXPECT_FALSE(formatted(nthTable(saved, 1)));
    EXPECT_FALSE(formatted(nthTable(saved, 2)));
    EXPECT_EQ(alignmentMap(nthTable(saved, 1)), "--|--");
    // Only the selected cell was formatted by the table-wide steps (they act on the selection), but the
    // title row and the other area are found in the third table.
    EXPECT_EQ(alignmentMap(nthTable(saved, 3)), "ccc|-rr|-rr");
    EXPECT_EQ(headingMap(nthTable(saved, 3)), "100");
}

TEST_F(FormatRunTest, SingleTableModeOutsideAnyTableWithoutLinesChangesNothing) {
    auto doc = open(para("正文") + framed(2, 2));
    doc->Range(0, 1)->Select();
    scope = engine::Scope::SelectedTable;
    EXPECT_EQ(format(), engine::FormatOutcome::Done);
    EXPECT_TRUE(doc->Saved());
}

// ---- borders ----------------------------------------------------------------------------------

TEST_F(FormatRunTest, PickerChoicesReachTheirEdges) {
    open(framed(3, 3));
    settings::applyPickerOption("Option20", formatSettings);  // 左右边框 "不显示"
    settings::applyPickerOption("Option50", formatSettings);  // inner dotted 1.5 pt
    settings::applyPickerOption("Option15", formatSettings);  // top/bottom double 0.25 pt
    format();
    pugi::xml_node t = nthTable(saved(), 1);
    EXPECT_EQ(tableBorder(t, "left").substr(0, 4), "nil/");
    EXPECT_EQ(tableBorder(t, "right").substr(0, 4), "nil/");
    EXPECT_EQ(tableBorder(t, "top"), "double/2");
    EXPECT_EQ(tableBorder(t, "bottom"), "double/2");
    EXPECT_EQ(tableBorder(t, "insideH"), "dotted/12");
    EXPECT_EQ(tableBorder(t, "insideV"), "dotted/12");
}

TEST_F(FormatRunTest, LineTextsWithFractionsRoundHalfToEvenAndBadTextsArePassedOverLater) {
    EXPECT_EQ(engine::wordNumber(settings::lineNumber("12", {})), 12);
    EXPECT_EQ(engine::wordNumber(settings::lineNumber("2.5", {})), 2);
    EXPECT_EQ(engine::wordNumber(settings::lineNumber("3.5", {})), 4);
    EXPECT_EQ(engine::wordNumber(settings::lineNumber("7.4", {})), 7);
    for (const char* bad : {"", "x", "1/8", "99999999999", "1e20"}) {
        try {
            engine::wordNumber(settings::lineNumber(bad, {}));
            ADD_FAILURE() << bad;
        } catch (const automation::Error& e) {
            EXPECT_TRUE(e.number() == automation::errors::TypeMismatch || e.number() == automation::errors::Overflow)
                << bad;
        }
    }

    // In a second table pass-over is on: a bad width is passed over, the style still lands.
    open(framed(2, 2) + para("") + framed(2, 2));
    settings::setLine(formatSettings, settings::Field::InnerLine, {"1.5", "abc"}, {});  // style rounds to 2
    set("TableWidthMode", "指定宽度");  // pass-over on from the first table
    set("SpecifiedWidthCm", "10");
    EXPECT_EQ(format(), engine::FormatOutcome::Done);
    pugi::xml_document& doc = saved();
    EXPECT_EQ(tableBorder(nthTable(doc, 2), "insideH").substr(0, 7), "dotted/");
    int widthFailures = 0;
    for (const auto& p : passedOver) widthFailures += p.operation == "Selection.Borders.Item.LineWidth";
    EXPECT_EQ(widthFailures, 4);  // insideH and insideV of both tables
}

// ---- text inside the table --------------------------------------------------------------------

TEST_F(FormatRunTest, TextFontThenNumberFontAndChineseSizes) {
    open(framed(2, 2) + para("") + framed(2, 2));
    set("TextFont", "宋体");
    set("NumberFont", "Times New Roman");
    set("FontSize", "五号");
    format();
    pugi::xml_node run = tcAt(nthTable(saved(), 1), 2, 2).child("w:p").child("w:r");
    pugi::xml_node fonts = run.child("w:rPr").child("w:rFonts");
    EXPECT_STREQ(fonts.attribute("w:eastAsia").value(), "宋体");
    EXPECT_STREQ(fonts.attribute("w:ascii").value(), "Times New Roman");
    EXPECT_STREQ(fonts.attribute("w:hAnsi").value(), "Times New Roman");
    EXPECT_STREQ(run.child("w:rPr").child("w:sz").attribute("w:val").value(), "21");  // 10.5 pt

    // 不变 for the text font: only the Latin font changes; 小五 is 9 pt.
    open(framed(2, 2));
    set("TextFont", "不变");
    set("FontSize", "小五");
    format();
    run = tcAt(nthTable(saved(), 1), 1, 1).child("w:p").child("w:r");
    fonts = run.child("w:rPr").child("w:rFonts");
    EXPECT_FALSE(fonts.attribute("w:eastAsia"));
    EXPECT_STREQ(fonts.attribute("w:ascii").value(), "Times New Roman");
    EXPECT_STREQ(run.child("w:rPr").child("w:sz").attribute("w:val").value(), "18");
}

TEST_F(FormatRunTest, ParagraphResetLeavesSpaceAfterAndLineSpacingAlone) {
    const std::string pPr =
        "<w:spacing w:before=\"240\" w:beforeLines=\"50\" w:beforeAutospacing=\"1\" w:after=\"120\" "
        "w:afterAutospacing=\"1\" w:line=\"300\" w:lineRule=\"auto\"/>"
        "<w:ind w:leftChars=\"100\" w:rightChars=\"100\" w:firstLineChars=\"200\"/>";
    const std::string c = "<w:tc><w:tcPr/>" + para("数据", pPr) + "</w:tc>";
    open(tbl(row(c + c) + row(c + c), kFramed, 2));
    format();
    pugi::xml_node pPrOut = tcAt(nthTable(saved(), 1), 2, 1).child("w:p").child("w:pPr");
    pugi::xml_node spacing = pPrOut.child("w:spacing");
    EXPECT_STREQ(spacing.attribute("w:before").value(), "0");
    EXPECT_STREQ(spacing.attribute("w:beforeLines").value(), "0");
    EXPECT_STREQ(spacing.attribute("w:beforeAutospacing").value(), "0");
    EXPECT_STREQ(spacing.attribute("w:afterAutospacing").value(), "0");
    EXPECT_STREQ(spacing.attribute("w:after").value(), "120");
    EXPECT_STREQ(spacing.attribute("w:line").value(), "300");
    pugi::xml_node ind = pPrOut.child("w:ind");
    for (const char* a : {"w:leftChars", "w:rightChars", "w:firstLineChars"})
        EXPECT_STREQ(ind.attribute(a).value(), "0") << a;
    const std::string wrap = pPrOut.child("w:wordWrap").attribute("w:val").value();
    EXPECT_TRUE(!pPrOut.child("w:wordWrap") || wrap == "1" || wrap == "true" || wrap == "on");
}

TEST_F(FormatRunTest, RepeatFlagIsSetAndCleared) {
    // Only the title row's flag is written; a flag further down stays as the document had it.
    const std::string flagged = "<w:tblHeader/>";
    open(tbl(row(cell("a") + cell("b"), flagged) + row(cell("c") + cell("d")) + row(cell("e") + cell("f"), flagged),
             kFramed, 2));
    set("RepeatHeaderRows", "0");
    format();
    EXPECT_EQ(headingMap(nthTable(saved(), 1)), "001");

    open(framed(3, 2));
    set("RepeatHeaderRows", "1");
    format();
    EXPECT_EQ(headingMap(nthTable(saved(), 1)), "100");
}

TEST_F(FormatRunTest, RightAlignmentWithAndWithoutACellRightMargin) {
    open(framed(3, 3));
    set("OtherAreaAlign", "居右");
    format();
    pugi::xml_node t = nthTable(saved(), 1);
    EXPECT_EQ(alignmentMap(t), "---|-rr|-rr");
    EXPECT_FALSE(tcAt(t, 2, 2).child("w:tcPr").child("w:tcMar"));
    EXPECT_EQ(cellParagraphValue(tcAt(t, 2, 2), "w:ind", "w:right"), "0");  // from the paragraph reset

    open(framed(3, 3));
    set("CellRightMarginCm", "0.3");
    format();
    t = nthTable(saved(), 1);
    EXPECT_STREQ(tcAt(t, 2, 2).child("w:tcPr").child("w:tcMar").child("w:right").attribute("w:w").value(), "0");
    EXPECT_FALSE(tcAt(t, 2, 3).child("w:tcPr").child("w:tcMar"));  // the first cell only
    for (int r = 2; r <= 3; ++r)
        for (int c = 2; c <= 3; ++c) EXPECT_EQ(cellParagraphValue(tcAt(t, r, c), "w:ind", "w:right"), "170");
    EXPECT_EQ(cellParagraphValue(tcAt(t, 2, 1), "w:ind", "w:right"), "0");  // column 1 is not touched

    open(framed(3, 3));
    set("OtherAreaAlign", "居中");
    format();
    t = nthTable(saved(), 1);
    EXPECT_EQ(alignmentMap(t), "---|-cc|-cc");
    EXPECT_FALSE(tcAt(t, 2, 2).child("w:tcPr").child("w:tcMar"));
}

// ---- geometry ---------------------------------------------------------------------------------

TEST_F(FormatRunTest, RowHeightLineSpacingAndPreferredWidthReset) {
    open(table(2, 2, kFramed + "<w:tblW w:w=\"4000\" w:type=\"dxa\"/>"));
    set("TableWidthMode", "不变");
    set("RowHeightCm", "0.50");
    set("LineSpacingLines", "1.5");
    format();
    pugi::xml_node t = nthTable(saved(), 1);
    pugi::xml_node height = t.child("w:tr").child("w:trPr").child("w:trHeight");
    EXPECT_STREQ(height.attribute("w:val").value(), "283");  // 14.17 pt
    EXPECT_STREQ(height.attribute("w:hRule").value(), "atLeast");
    EXPECT_EQ(cellParagraphValue(tcAt(t, 2, 2), "w:spacing", "w:line"), "360");  // 18 pt
    EXPECT_STREQ(t.child("w:tblPr").child("w:tblW").attribute("w:type").value(), "auto");
}

TEST_F(FormatRunTest, SpecifiedWidthAndIndent) {
    const std::string indented = kFramed + "<w:tblInd w:w=\"567\" w:type=\"dxa\"/>";
    open(table(2, 2, indented));
    set("TableWidthMode", "指定宽度");
    set("SpecifiedWidthCm", "12");
    set("LeftIndentCm", "0");
    format();
    pugi::xml_node tblPr = nthTable(saved(), 1).child("w:tblPr");
    EXPECT_STREQ(tblPr.child("w:tblW").attribute("w:type").value(), "dxa");
    EXPECT_STREQ(tblPr.child("w:tblW").attribute("w:w").value(), "6803");  // 12 cm
    EXPECT_STREQ(tblPr.child("w:tblInd").attribute("w:w").value(), "0");
    EXPECT_STREQ(tblPr.child("w:tblLayout").attribute("w:type").value(), "fixed");

    // The untouched placeholders are no numbers: the width falls back to 0 points with its type, the
    // indent stays, and neither is a Word failure.
    open(table(2, 2, indented));
    set("SpecifiedWidthCm", "指定宽度");
    set("LeftIndentCm", "左缩进");
    EXPECT_EQ(format(), engine::FormatOutcome::Done);
    tblPr = nthTable(saved(), 1).child("w:tblPr");
    EXPECT_STREQ(tblPr.child("w:tblW").attribute("w:type").value(), "dxa");
    EXPECT_STREQ(tblPr.child("w:tblW").attribute("w:w").value(), "0");
    EXPECT_STREQ(tblPr.child("w:tblInd").attribute("w:w").value(), "567");
    ASSERT_EQ(passedOver.size(), 1u);  // a two-row table has no row 3 for the other area
    EXPECT_EQ(passedOver[0].operation, "Table.Cell(3,2)-Cell(R,C).Select");
}

TEST_F(FormatRunTest, FitToPageKeepsTheIndent) {
    open(table(2, 2, kFramed + "<w:tblInd w:w=\"567\" w:type=\"dxa\"/>"));
    set("TableWidthMode", "调整到页面宽度");
    format();
    pugi::xml_node tblPr = nthTable(saved(), 1).child("w:tblPr");
    EXPECT_STREQ(tblPr.child("w:tblInd").attribute("w:w").value(), "567");
    EXPECT_STREQ(tblPr.child("w:tblW").attribute("w:type").value(), "pct");
}

}  // namespace
