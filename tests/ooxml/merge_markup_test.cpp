// Merge markup as converters write it, read the way Word reads it: a vertical merge that nothing
// continues is no merge, and a legacy horizontal merge is one cell.
#include <gtest/gtest.h>

#include "support/word_fixture.h"

using namespace gwtest;
using namespace automation;

namespace {

class MergeMarkup : public WordTest {};

TEST_F(MergeMarkup, AVerticalMergeThatNothingContinuesIsNoMerge) {
    const std::string restartAlone = "<w:vMerge w:val=\"restart\"/>";
    open(tbl(row(cell("标题", restartAlone) + cell("乙")) + row(cell("1") + cell("2")) + row(cell("3") + cell("4")), "", 2) +
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

}  // namespace
