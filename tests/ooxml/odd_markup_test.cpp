// Markup that real files rarely hold but that must never crash the embedded Word: empty tables,
// rows without cells, cells without paragraphs, absurd spans, merges that start nowhere.
#include <gtest/gtest.h>

#include "support/word_fixture.h"

using namespace gwtest;
using namespace automation;

namespace {

class OddMarkup : public WordTest {
protected:
    // Every call a format run makes on a table; failures are Word's refusals, never crashes.
    void exercise() {
        auto doc = word->ActiveDocument();
        const int count = doc->Tables()->Count();
        for (int i = 1; i <= count; ++i) {
            auto attempt = [](const std::function<void()>& call) {
                try {
                    call();
                } catch (const Error&) {}
            };
            if (i > doc->Tables()->Count()) break;  // deleting rows and columns removed tables
            auto t = doc->Tables()->Item(i);
            attempt([&] { t->Select(); });
            auto sel = word->Selection();
            attempt([&] { sel->Borders()->Item(wdBorderLeft)->LineStyle(); });
            attempt([&] { sel->Borders()->Item(wdBorderHorizontal)->SetLineStyle(1); });
            attempt([&] { sel->Rows()->SetHeight(20); });
            attempt([&] { sel->Cells()->SetVerticalAlignment(1); });
            attempt([&] { sel->Font()->SetName("宋体"); });
            attempt([&] { t->AutoFitBehavior(wdAutoFitWindow); });
            attempt([&] { doc->Range(t->Cell(1, 1)->Range()->Start(), t->Cell(2, 2)->Range()->End())->Select(); });
            attempt([&] { t->Rows()->Item(1)->Select(); });
            attempt([&] { sel->Columns()->Count(); });
            attempt([&] { t->Columns()->Item(1)->Delete(); });
            attempt([&] { t->Rows()->Item(1)->Delete(); });
        }
        doc->Content()->Text();
        savedMainPart();
    }
};

TEST_F(OddMarkup, EmptyTablesRowsAndCells) {
    open("<w:tbl><w:tblPr/></w:tbl>" + para("a") + "<w:tbl><w:tr/></w:tbl>" + para("b") +
         "<w:tbl><w:tr><w:tc/><w:tc><w:p/></w:tc></w:tr><w:tr/></w:tbl>" + para("c"));
    EXPECT_NO_FATAL_FAILURE(exercise());
}

TEST_F(OddMarkup, AbsurdSpansAndOrphanMerges) {
    open(tbl(row(cell("a", "<w:vMerge/>") + cell("b", "<w:gridSpan w:val=\"99999999\"/>")) +
                 row(cell("c", "<w:gridSpan w:val=\"-5\"/>") + cell("d", "<w:vMerge w:val=\"restart\"/>")),
             "", 2) +
         para("") + tbl(row(cell("x"), "<w:gridBefore w:val=\"100000\"/><w:gridAfter w:val=\"-3\"/>"), "", 1) +
         para(""));
    EXPECT_NO_FATAL_FAILURE(exercise());
}

// Page, margin, cell and line widths beyond anything Word allows are read as the nearest it allows:
// fitting a table to the page never writes a width wider than Word's widest page, and a line is at
// most 12 points wide.
TEST_F(OddMarkup, AbsurdPageCellAndLineWidths) {
    const std::string huge = "999999999999999";
    const std::string inner = tbl(row(cell("i") + cell("j")), "", 2);
    auto doc = open(
        tbl(row("<w:tc><w:tcPr><w:tcW w:w=\"" + huge + "\" w:type=\"dxa\"/></w:tcPr>" + inner + para("") + "</w:tc>"),
            "<w:tblBorders><w:top w:val=\"single\" w:sz=\"" + huge + "\"/></w:tblBorders>", 1) +
        para("") + tbl(row(cell("a") + cell("b")), "", 2) + "<w:sectPr><w:pgSz w:w=\"" + huge +
        "\" w:h=\"16838\"/><w:pgMar w:left=\"-" + huge +
        "\" w:right=\"-5\" w:top=\"1440\" w:bottom=\"1440\"/></w:sectPr>");
    EXPECT_EQ(doc->Tables()->Item(1)->Borders()->Item(wdBorderTop)->LineWidth(), 96);
    doc->Tables()->Item(1)->Tables()->Item(1)->AutoFitBehavior(wdAutoFitWindow);
    doc->Tables()->Item(2)->AutoFitBehavior(wdAutoFitWindow);
    const std::string xml = savedMainPart();
    for (std::size_t at = xml.find("w:w=\""); at != std::string::npos; at = xml.find("w:w=\"", at + 1)) {
        if (xml.compare(at + 5, huge.size(), huge) == 0) continue;  // the markup's own, left as written
        const long width = std::stol(xml.substr(at + 5, 16));
        EXPECT_GE(width, 0) << xml.substr(at, 30);
        EXPECT_LE(width, 31680) << xml.substr(at, 30);
    }
    EXPECT_NE(xml.find("<w:gridCol w:w=\"15840\"/>"), std::string::npos) << xml;  // half of the widest page
}

TEST_F(OddMarkup, DeeplyNestedTables) {
    std::string inner = para("core");
    for (int level = 0; level < 40; ++level) inner = tbl(row("<w:tc>" + inner + para("") + "</w:tc>"), "", 1);
    auto doc = open(inner + para(""));
    EXPECT_EQ(doc->Tables()->Count(), 1);
    EXPECT_NO_FATAL_FAILURE(exercise());
}

TEST_F(OddMarkup, UnknownMarkupIsKeptUntouched) {
    const std::string custom = "<w:customXml w:element=\"invoice\"><w:p><w:r><w:t>x</w:t></w:r></w:p></w:customXml>";
    auto doc = open(custom +
                    "<w:p><w:pPr><w:rPr><w:w w:val=\"80\"/></w:rPr></w:pPr><w:r><w:rPr><w:em w:val=\"dot\"/>"
                    "</w:rPr><w:t>y</w:t></w:r></w:p>");
    doc->Content()->Font()->SetSize(12);
    const std::string xml = savedMainPart();
    EXPECT_NE(xml.find("w:element=\"invoice\""), std::string::npos);
    EXPECT_NE(xml.find("<w:em w:val=\"dot\"/>"), std::string::npos);
    EXPECT_NE(xml.find("<w:w w:val=\"80\"/>"), std::string::npos);
    EXPECT_EQ(doc->Content()->Text(), "x\ry\r");
}

}  // namespace
