// Merge markup as converters write it, read the way Word reads it: a vertical merge that nothing
// continues is no merge, a legacy horizontal merge is one cell, and a whole-table edge wins over the
// cell borders on it whatever the rows' cells are.
#include <gtest/gtest.h>

#include "support/word_fixture.h"

using namespace gwtest;
using namespace automation;

namespace {

class MergeMarkup : public WordTest {};

TEST_F(MergeMarkup, AVerticalMergeThatNothingContinuesIsNoMerge) {
    const std::string restartAlone = "<w:vMerge w:val=\"restart\"/>";
    open(tbl(row(cell("标题", restartAlone) + cell("乙")) + row(cell("1") + cell("2")) + row(cell("3") + cell("4")), "",
             2) +
         para("") + tbl(row(cell("a", "<w:vMerge/>") + cell("b")) + row(cell("c") + cell("d")), "", 2) + para("") +
         tbl(row(cell("x", restartAlone) + cell("y")) + row(cell("", "<w:vMerge/>") + cell("z")), "", 2));
    auto tables = word->ActiveDocument()->Tables();
    for (int t = 1; t <= 2; ++t) {
        SCOPED_TRACE(t);
        auto table = tables->Item(t);
        EXPECT_EQ(errorNumber([&] { table->Rows()->Item(1)->Select(); }), 0);
        EXPECT_EQ(table->Cell(1, 1)->Range()->Text(), std::string(t == 1 ? "标题" : "a") + "\r\a");
        EXPECT_EQ(errorNumber([&] { table->Columns()->Item(1)->Select(); }), 0);
    }
    // A real merge still makes Word refuse a single row.
    EXPECT_EQ(errorNumber([&] { tables->Item(3)->Rows()->Item(1); }), errors::VerticallyMerged);
    EXPECT_NE(errorNumber([&] { tables->Item(3)->Cell(2, 1); }), 0);
}

TEST_F(MergeMarkup, ALegacyHorizontalMergeIsOneCell) {
    open(tbl(row(cell("合并", "<w:hMerge w:val=\"restart\"/>") + cell("", "<w:hMerge/>") + cell("丙")) +
                 row(cell("1") + cell("2") + cell("3")),
             "", 3) +
         para(""));
    auto table = word->ActiveDocument()->Tables()->Item(1);
    EXPECT_EQ(table->Rows()->Item(1)->Cells()->Count(), 2);
    EXPECT_EQ(table->Rows()->Item(2)->Cells()->Count(), 3);
    EXPECT_EQ(table->Columns()->Count(), 3);
    EXPECT_EQ(table->Cell(1, 2)->Range()->Text(), "丙\r\a");
    EXPECT_NE(errorNumber([&] { table->Cell(1, 3); }), 0);
    EXPECT_EQ(errorNumber([&] { table->Columns()->Item(1); }), errors::MixedCellWidths);
}

TEST_F(MergeMarkup, AWholeTableEdgeClearsEveryCellBorderOnIt) {
    const std::string thick =
        "<w:tcBorders><w:bottom w:val=\"single\" w:sz=\"12\" w:space=\"0\" w:color=\"auto\"/>"
        "<w:right w:val=\"single\" w:sz=\"12\"/></w:tcBorders>";
    const std::string thin =
        "<w:tcBorders><w:top w:val=\"single\" w:sz=\"4\"/><w:bottom w:val=\"single\" w:sz=\"4\"/>"
        "</w:tcBorders>";
    open(tbl(row(cell("a", thick) + cell("b", thick) + cell("c", thick)) +
                 row(cell("合计", "<w:gridSpan w:val=\"3\"/>" + thin)) +
                 row(cell("d", "<w:vMerge w:val=\"restart\"/>" + thick) + cell("e") + cell("f")) +
                 row(cell("", "<w:vMerge/>" + thick) + cell("g", thick) + cell("h", thick)),
             "", 3) +
         para(""));
    word->ActiveDocument()->Tables()->Item(1)->Select();
    auto borders = word->Selection()->Borders();
    borders->Item(wdBorderHorizontal)->SetLineStyle(wdLineStyleDouble);
    borders->Item(wdBorderVertical)->SetLineStyle(wdLineStyleSingle);
    borders->Item(wdBorderVertical)->SetLineWidth(wdLineWidth050pt);
    EXPECT_EQ(borders->Item(wdBorderHorizontal)->LineStyle(), wdLineStyleDouble);
    EXPECT_EQ(borders->Item(wdBorderVertical)->LineWidth(), wdLineWidth050pt);

    Xml xml(savedMainPart());
    // Inside lines are the table's alone; the outer bottom and right of the last cells stay theirs.
    EXPECT_EQ(xml.count("//w:tc/w:tcPr/w:tcBorders/w:top"), 0u);
    EXPECT_EQ(xml.count("//w:tr[position() < 3]/w:tc/w:tcPr/w:tcBorders/w:bottom"), 0u);
    // The cells whose bottom is the table's: the last row's and the one merged down to it.
    EXPECT_EQ(xml.count("//w:tr[position() > 2]/w:tc/w:tcPr/w:tcBorders/w:bottom"), 4u);
    EXPECT_EQ(xml.count("//w:tcBorders/w:right"), 2u);  // the last cells of rows 1 and 4
    EXPECT_EQ(xml.attr("//w:tblBorders/w:insideH", "w:val"), "double");
}

}  // namespace
