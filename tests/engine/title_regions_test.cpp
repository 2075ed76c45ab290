// How the run finds the title rows and the other area on plain and merged tables, seen through the
// alignments and repeat flags it leaves: title rows "居中", other area "居右".
#include "engine_fixture.h"

using namespace gwtest;

namespace {

const std::string kRestart = "<w:vMerge w:val=\"restart\"/>";
const std::string kContinue = "<w:vMerge/>";

class TitleRegions : public FormatTest {
protected:
    void SetUp() override {
        set("HeaderRowAlign", "居中");
        set("OtherAreaAlign", "居右");
    }

    // Formats a document holding just this table and returns the saved table.
    pugi::xml_node formatOne(const std::string& table) {
        open(table);
        EXPECT_EQ(format(), engine::FormatOutcome::Done);
        return nthTable(saved(), 1);
    }
};

TEST_F(TitleRegions, PlainTablesOfEveryShape) {
    pugi::xml_node t = formatOne(framed(3, 3));
    EXPECT_EQ(alignmentMap(t), "ccc|-rr|-rr");
    EXPECT_EQ(headingMap(t), "100");

    t = formatOne(framed(2, 3));  // two rows: the other area is row 2 from column 2
    EXPECT_EQ(alignmentMap(t), "ccc|-rr");

    // One row or one column: both other-area selections fail and the title row is right-aligned.
    t = formatOne(framed(1, 3));
    EXPECT_EQ(alignmentMap(t), "rrr");
    EXPECT_EQ(headingMap(t), "1");
    t = formatOne(framed(3, 1));
    EXPECT_EQ(alignmentMap(t), "r|-|-");
    EXPECT_EQ(headingMap(t), "100");
}

TEST_F(TitleRegions, AVerticalMergeFarBelowMakesTheTitleTwoRows) {
    // Cell (2, C) exists; rows 4 and 5 of column 1 are merged. Cell (2, 2) exists too, so the other
    // area starts at row 2 and its alignment overrides the title's there.
    auto mergedBelow = [](const std::string& c4, const std::string& c5, const std::string& last4,
                          const std::string& last5) {
        return tbl(row(cell("a") + cell("b") + cell("c")) + row(cell("d") + cell("e") + cell("f")) +
                       row(cell("g") + cell("h") + cell("i")) + row(cell("j", c4) + cell("k") + cell("l", last4)) +
                       row(cell("", c5) + cell("n") + cell("o", last5)),
                   kFramed, 3);
    };
    pugi::xml_node t = formatOne(mergedBelow(kRestart, kContinue, "", ""));
    EXPECT_EQ(alignmentMap(t), "ccc|crr|-rr|-rr|-rr");
    EXPECT_EQ(headingMap(t), "11000");

    // The merge in the last column hides cell (R, C): no other area is found, the title rows get "居右".
    t = formatOne(mergedBelow("", "", kRestart, kContinue));
    EXPECT_EQ(alignmentMap(t), "rrr|rrr|---|---|---");
    EXPECT_EQ(headingMap(t), "11000");
}

TEST_F(TitleRegions, ATitleCellInColumnTwoMergedDownStartsTheOtherAreaAtRowThree) {
    pugi::xml_node t = formatOne(tbl(
        row(cell("项目") + cell("金额", kRestart) + cell("备注")) + row(cell("") + cell("", kContinue) + cell("说明")) +
            row(cell("收入") + cell("1") + cell("2")) + row(cell("支出") + cell("3") + cell("4")),
        kFramed, 3));
    EXPECT_EQ(alignmentMap(t), "ccc|ccc|-rr|-rr");
    EXPECT_EQ(headingMap(t), "1100");
}

TEST_F(TitleRegions, WhenNeitherTitleSelectionSucceedsTheRepeatFlagsAreClearedButNotSet) {
    // The last column is merged over rows 1 and 2: neither title selection succeeds, the whole table
    // stays selected and takes the title alignment, but no row is made a repeating title row, and a
    // row that already was one keeps its flag.
    const std::string header = "<w:tblHeader/>";
    pugi::xml_node t = formatOne(tbl(
        row(cell("a") + cell("b") + cell("c", kRestart), header) + row(cell("d") + cell("e") + cell("", kContinue)) +
            row(cell("g") + cell("h") + cell("i")) + row(cell("j") + cell("k") + cell("l")),
        kFramed, 3));
    EXPECT_EQ(alignmentMap(t), "ccc|crr|crr|crr");
    EXPECT_EQ(headingMap(t), "1000");
    int titleFailures = 0;
    for (const auto& p : passedOver)
        titleFailures +=
            p.operation == "Table.Cell(1,1)-Cell(2,C).Select" || p.operation == "Table.Rows.Item(1).Select";
    EXPECT_EQ(titleFailures, 2);

    // With the repeat box off the flags of the whole table are cleared, as the user asked.
    set("RepeatHeaderRows", "0");
    t = formatOne(tbl(row(cell("a") + cell("b") + cell("c", kRestart), header) +
                          row(cell("d") + cell("e") + cell("", kContinue), header) +
                          row(cell("g") + cell("h") + cell("i"), header),
                      kFramed, 3));
    EXPECT_EQ(headingMap(t), "000");
}

}  // namespace
