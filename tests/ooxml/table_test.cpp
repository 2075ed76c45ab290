// Tables as Word addresses them: cells, rows and columns, Word's refusals on merged tables, and
// selections of cell blocks.
#include <gtest/gtest.h>

#include "support/word_fixture.h"

using namespace gwtest;
using automation::Error;

namespace {

// 4 rows x 3 columns; the first column's title cell is merged down over rows 1 and 2.
std::string verticallyMergedTitle() {
    const std::string restart = "<w:vMerge w:val=\"restart\"/>";
    const std::string cont = "<w:vMerge/>";
    return tbl(row(cell("项目", restart) + cell("金额") + cell("备注")) +
                   row(cell("", cont) + cell("元") + cell("说明")) + row(cell("收入") + cell("1234.5") + cell("a")) +
                   row(cell("支出") + cell("99.5") + cell("b")),
               "", 3);
}

// Row 1 has a title spanning columns 2 and 3.
std::string horizontallyMergedTitle() {
    return tbl(row(cell("项目") + cell("金额（元）", "<w:gridSpan w:val=\"2\"/>")) +
                   row(cell("收入") + cell("1") + cell("2")) + row(cell("支出") + cell("3") + cell("4")),
               "", 3);
}

class Tables : public WordTest {};

TEST_F(Tables, CountsAndCellsOfAPlainTable) {
    auto doc = open(para("x") + table(3, 4) + para("y") + table(2, 2));
    ASSERT_EQ(doc->Tables()->Count(), 2);
    auto t = doc->Tables()->Item(1);
    EXPECT_EQ(t->Rows()->Count(), 3);
    EXPECT_EQ(t->Columns()->Count(), 4);
    EXPECT_EQ(t->Cell(2, 3)->Range()->Text(), "2,3\r\a");
    EXPECT_EQ(t->Rows()->Item(2)->Cells()->Count(), 4);
    EXPECT_EQ(t->Columns()->Item(4)->Cells()->Item(3)->Range()->Text(), "3,4\r\a");
    EXPECT_EQ(errorNumber([&] { t->Cell(4, 1); }), 5941);
    EXPECT_EQ(errorNumber([&] { t->Cell(1, 5); }), 5941);
    EXPECT_EQ(errorNumber([&] { doc->Tables()->Item(3); }), 5941);
}

TEST_F(Tables, VerticalMergeRefusesRowsAndTheCoveredCell) {
    auto doc = open(verticallyMergedTitle());
    auto t = doc->Tables()->Item(1);
    EXPECT_EQ(errorNumber([&] { t->Cell(2, 1); }), 5941);
    EXPECT_EQ(t->Cell(2, 3)->Range()->Text(), "说明\r\a");
    EXPECT_EQ(errorNumber([&] { t->Rows()->Item(1); }), 5991);
    EXPECT_EQ(errorNumber([&] { t->Rows()->Item(4); }), 5991);
    EXPECT_EQ(t->Rows()->Count(), 4);
    EXPECT_EQ(t->Columns()->Count(), 3);
    EXPECT_NO_THROW(t->Columns()->Item(1));
    // Collection-level setters still work on such tables.
    EXPECT_NO_THROW(t->Rows()->SetHeadingFormat(true));
    EXPECT_NO_THROW(t->Rows()->SetHeight(20));
}

TEST_F(Tables, HorizontalMergeAndUnevenRowsRefuseColumns) {
    auto doc = open(horizontallyMergedTitle() + para("") + tbl(row(cell("a") + cell("b")) + row(cell("c")), "", 2) +
                    para("") + tbl(row(cell("a"), "<w:gridBefore w:val=\"1\"/>") + row(cell("b") + cell("c")), "", 2));
    auto merged = doc->Tables()->Item(1);
    EXPECT_EQ(merged->Columns()->Count(), 3);
    EXPECT_EQ(errorNumber([&] { merged->Columns()->Item(2); }), 5992);
    EXPECT_EQ(errorNumber([&] { merged->Cell(1, 3); }), 5941);
    EXPECT_NO_THROW(merged->Rows()->Item(1));
    EXPECT_EQ(errorNumber([&] { doc->Tables()->Item(2)->Columns()->Item(1); }), 5992);
    EXPECT_EQ(errorNumber([&] { doc->Tables()->Item(3)->Columns()->Item(1); }), 5992);
}

TEST_F(Tables, RangeFromCornerCellsSelectsTheBlock) {
    auto doc = open(para("before") + table(5, 4) + para("after"));
    auto t = doc->Tables()->Item(1);
    // Rows 1 and 2, every column: the title block.
    doc->Range(t->Cell(1, 1)->Range()->Start(), t->Cell(2, 4)->Range()->End())->Select();
    auto sel = word->Selection();
    EXPECT_EQ(sel->Rows()->Count(), 2);
    EXPECT_EQ(sel->Cells()->Count(), 8);
    EXPECT_EQ(sel->Columns()->Count(), 4);
    // Rows 2 to 5, columns 2 to 4: the other area.
    doc->Range(t->Cell(2, 2)->Range()->Start(), t->Cell(5, 4)->Range()->End())->Select();
    EXPECT_EQ(sel->Cells()->Count(), 12);
    EXPECT_EQ(sel->Columns()->Count(), 3);
    sel->ParagraphFormat()->SetAlignment(automation::wdAlignParagraphRight);
    Xml xml(savedMainPart());
    auto rows = xml.all("//w:tr");
    ASSERT_EQ(rows.size(), 5u);
    for (size_t r = 0; r < rows.size(); ++r) {
        auto cells = rows[r].node().select_nodes("w:tc");
        for (size_t c = 0; c < cells.size(); ++c) {
            const bool inBlock = r >= 1 && c >= 1;
            EXPECT_EQ(std::string(cells[c].node().select_node(".//w:jc").node().attribute("w:val").value()),
                      inBlock ? "right" : "")
                << "row " << r + 1 << " column " << c + 1;
        }
    }
}

TEST_F(Tables, RangeInsideOneCellOrOutsideIsText) {
    auto doc = open(para("before") + table(2, 2));
    auto t = doc->Tables()->Item(1);
    auto c = t->Cell(1, 1)->Range();
    doc->Range(c->Start(), c->Start() + 1)->Select();
    auto sel = word->Selection();
    EXPECT_EQ(sel->Start(), c->Start());
    EXPECT_EQ(sel->End(), c->Start() + 1);
    EXPECT_EQ(sel->Tables()->Count(), 1);
    EXPECT_EQ(sel->Rows()->Count(), 1);
    doc->Range(0, 3)->Select();
    EXPECT_EQ(sel->Tables()->Count(), 0);
    EXPECT_EQ(errorNumber([&] { sel->Tables()->Item(1); }), 5941);
    EXPECT_NE(errorNumber([&] { sel->Rows(); }), 0);
}

TEST_F(Tables, SelectionTablesGivesTheInnermostTableAtTheStart) {
    const std::string inner = tbl(row(cell("n1") + cell("n2")), "", 2);
    auto doc = open(tbl(row("<w:tc>" + para("o") + inner + para("") + "</w:tc>" + cell("x")), "", 2));
    auto outer = doc->Tables()->Item(1);
    auto nested = outer->Tables()->Item(1);
    nested->Cell(1, 2)->Range()->Select();
    EXPECT_EQ(word->Selection()->Tables()->Item(1)->Cell(1, 1)->Range()->Text(), "n1\r\a");
    outer->Select();
    EXPECT_EQ(word->Selection()->Tables()->Item(1)->Cell(1, 2)->Range()->Text(), "x\r\a");
}

TEST_F(Tables, BlockOfMergedTitleRows) {
    auto doc = open(verticallyMergedTitle());
    auto t = doc->Tables()->Item(1);
    // The two-row title: Cell(1,1) to Cell(2,C).
    doc->Range(t->Cell(1, 1)->Range()->Start(), t->Cell(2, 3)->Range()->End())->Select();
    auto sel = word->Selection();
    EXPECT_EQ(sel->Rows()->Count(), 2);
    EXPECT_EQ(sel->Cells()->Count(), 6);
    // A row crossed by a merge is not a rectangle of whole cells.
    doc->Range(t->Cell(2, 2)->Range()->Start(), t->Cell(2, 3)->Range()->End())->Select();
    EXPECT_EQ(sel->Columns()->Count(), 2);
    t->Rows()->SetHeadingFormat(false);
    doc->Range(t->Cell(1, 1)->Range()->Start(), t->Cell(1, 3)->Range()->End())->Select();
    EXPECT_EQ(errorNumber([&] { sel->Columns()->Count(); }), 5992);
}

TEST_F(Tables, DeletingRowsAndColumns) {
    auto doc = open(table(3, 3) + para("") + table(1, 1) + para("") + table(2, 2));
    auto t = doc->Tables()->Item(1);
    t->Rows()->Item(2)->Delete();
    EXPECT_EQ(t->Rows()->Count(), 2);
    EXPECT_EQ(t->Cell(2, 1)->Range()->Text(), "3,1\r\a");
    t->Columns()->Item(3)->Delete();
    EXPECT_EQ(t->Columns()->Count(), 2);
    // The last column of a one-column table takes the table with it.
    doc->Tables()->Item(2)->Columns()->Item(1)->Delete();
    EXPECT_EQ(doc->Tables()->Count(), 2);
    EXPECT_EQ(doc->Tables()->Item(2)->Cell(1, 1)->Range()->Text(), "1,1\r\a");
    Xml xml(savedMainPart());
    EXPECT_EQ(xml.count("//w:tbl[1]/w:tblGrid/w:gridCol"), 2u);
}

TEST_F(Tables, DeletingTheRestartRowOfAMergeRestartsBelow) {
    const std::string restart = "<w:vMerge w:val=\"restart\"/>";
    auto doc = open(tbl(row(cell("a", restart) + cell("1")) + row(cell("", "<w:vMerge/>") + cell("2")) +
                            row(cell("", "<w:vMerge/>") + cell("3")),
                        "", 2));
    auto t = doc->Tables()->Item(1);
    doc->Range(t->Cell(1, 1)->Range()->Start(), t->Cell(1, 2)->Range()->End())->Select();
    word->Selection()->Rows()->Delete();
    Xml xml(savedMainPart());
    EXPECT_EQ(xml.attr("//w:tr[1]/w:tc[1]/w:tcPr/w:vMerge", "w:val"), "restart");
    EXPECT_EQ(xml.count("//w:tr"), 2u);
}

TEST_F(Tables, DeletedObjectsFailInsteadOfTouchingFreedNodes) {
    auto doc = open(table(2, 2) + para(""));
    auto t = doc->Tables()->Item(1);
    auto c = t->Cell(1, 1);
    t->Delete();
    EXPECT_EQ(doc->Tables()->Count(), 0);
    EXPECT_EQ(errorNumber([&] { c->Range(); }), 5825);
    EXPECT_EQ(errorNumber([&] { t->Rows(); }), 5825);
}

}  // namespace

namespace {

// Deleting rows and tables adjusts the position index in place; it must agree with a fresh one.
class IndexAfterDeletes : public WordTest {
protected:
    void expectSameAsFresh(automation::Document& doc) {
        const std::string saved = dir.file("check.docx").string();
        doc.SaveAs(saved);
        auto other = automation::ooxml::createWord();
        auto fresh = other->Documents()->Open(saved);
        EXPECT_EQ(doc.Content()->Text(), fresh->Content()->Text());
        ASSERT_EQ(doc.Tables()->Count(), fresh->Tables()->Count());
        for (int t = 1; t <= doc.Tables()->Count(); ++t) {
            auto mine = doc.Tables()->Item(t);
            auto theirs = fresh->Tables()->Item(t);
            const int rows = mine->Rows()->Count();
            const int columns = mine->Columns()->Count();
            ASSERT_EQ(rows, theirs->Rows()->Count()) << "table " << t;
            ASSERT_EQ(columns, theirs->Columns()->Count()) << "table " << t;
            EXPECT_EQ(errorNumber([&] { mine->Columns()->Item(1); }), errorNumber([&] { theirs->Columns()->Item(1); }))
                << "table " << t;
            for (int r = 1; r <= rows; ++r)
                for (int c = 1; c <= columns; ++c) {
                    long a = -1, b = -1, ae = -1, be = -1;
                    try {
                        auto cell = mine->Cell(r, c);
                        a = cell->Range()->Start();
                        ae = cell->Range()->End();
                        EXPECT_EQ(cell->RowIndex(), r);
                    } catch (const Error&) {}
                    try {
                        auto cell = theirs->Cell(r, c)->Range();
                        b = cell->Start();
                        be = cell->End();
                    } catch (const Error&) {}
                    EXPECT_EQ(a, b) << "table " << t << " cell " << r << "," << c;
                    EXPECT_EQ(ae, be) << "table " << t << " cell " << r << "," << c;
                }
        }
        ASSERT_EQ(doc.Paragraphs()->Count(), fresh->Paragraphs()->Count());
        for (int p = 1; p <= doc.Paragraphs()->Count(); ++p)
            EXPECT_EQ(doc.Paragraphs()->Item(p)->Range()->Start(), fresh->Paragraphs()->Item(p)->Range()->Start());
        ASSERT_EQ(doc.Fields()->Count(), fresh->Fields()->Count());
        for (int f = 1; f <= doc.Fields()->Count(); ++f)
            EXPECT_EQ(doc.Fields()->Item(f)->Result()->Start(), fresh->Fields()->Item(f)->Result()->Start());
    }
};

TEST_F(IndexAfterDeletes, RowsOfOuterAndNestedTablesAndWholeTables) {
    const std::string field = "<w:p><w:fldSimple w:instr=\" PAGE \"><w:r><w:t>7</w:t></w:r></w:fldSimple></w:p>";
    const std::string nested = tbl(row(cell("n1")) + row(cell("n2")) + row(cell("n3")), "", 1);
    auto doc = open(
        para("a") + field + table(4, 3) + para("b") +
        tbl(row("<w:tc>" + para("o") + nested + field + "</w:tc>" + cell("x")) + row(cell("y") + cell("z")), "", 2) +
        field + table(2, 2) + para("end"));
    doc->Tables()->Item(1)->Rows()->Item(2)->Delete();
    expectSameAsFresh(*doc);
    doc->Tables()->Item(2)->Tables()->Item(1)->Rows()->Item(3)->Delete();
    expectSameAsFresh(*doc);
    doc->Tables()->Item(2)->Rows()->Item(2)->Delete();
    expectSameAsFresh(*doc);
    doc->Tables()->Item(3)->Delete();
    expectSameAsFresh(*doc);
    doc->Tables()->Item(1)->Rows()->Item(1)->Delete();
    doc->Tables()->Item(1)->Rows()->Item(2)->Delete();
    expectSameAsFresh(*doc);
}

TEST_F(IndexAfterDeletes, RowsOfTablesWithUnevenRowsOneByOne) {
    // The widest row, a row with a span, a row starting after a skipped grid column, plain rows.
    const std::string before = "<w:trPr><w:gridBefore w:val=\"1\"/></w:trPr>";
    auto doc = open(table(2, 2) + para("") +
                    tbl(row(cell("a") + cell("b") + cell("c") + cell("d")) + row(cell("e") + cell("f") + cell("g")) +
                            row(cell("h", "<w:gridSpan w:val=\"2\"/>") + cell("i") + cell("j")) +
                            row(cell("k") + cell("l") + cell("m"), before) + row(cell("n") + cell("o") + cell("p")) +
                            row(cell("q") + cell("r") + cell("s")),
                        "", 4) +
                    para("end"));
    auto table = doc->Tables()->Item(2);
    auto last = table->Rows()->Item(6);
    // Row 1 (the widest), then the span, then the row after the skipped column: then the columns are even.
    for (int r : {1, 2, 2}) {
        doc->Range(table->Cell(r, 1)->Range()->Start(), table->Cell(r, 2)->Range()->End())->Select();
        word->Selection()->Rows()->Delete();
        expectSameAsFresh(*doc);
        EXPECT_EQ(last->Index(), table->Rows()->Count());
    }
    EXPECT_EQ(table->Columns()->Count(), 3);
    table->Rows()->Item(2)->Delete();
    expectSameAsFresh(*doc);
    EXPECT_EQ(table->Cell(2, 3)->Range()->Text(), "s\r\a");
}

TEST_F(IndexAfterDeletes, UnlinkingFieldsOneByOne) {
    const std::string begin = "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>";
    const std::string separate = "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>";
    const std::string end = "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>";
    auto code = [](const std::string& text) { return "<w:r><w:instrText>" + text + "</w:instrText></w:r>"; };
    auto text = [](const std::string& t) { return "<w:r><w:t>" + t + "</w:t></w:r>"; };
    const std::string nested = "<w:p>" + text("a") + begin + code(" IF ") + begin + code(" PAGE ") + separate +
                               text("1") + end + code(" = 1 x ") + separate + text("x") + begin + code(" SEQ t ") +
                               separate + text("2") + end + end + text("b") + "</w:p>";
    const std::string simple = "<w:p><w:fldSimple w:instr=\" DATE \"><w:r><w:t>today</w:t></w:r></w:fldSimple></w:p>";
    auto doc = open(nested + table(2, 2) + simple + "<w:p>" + begin + code(" NOTHING ") + end + text("c") + "</w:p>");
    while (doc->Fields()->Count() > 0) {
        doc->Fields()->Item(1)->Unlink();
        expectSameAsFresh(*doc);
    }
    EXPECT_EQ(doc->Content()->Text().substr(0, 5), "ax2b\r");
}

}  // namespace
