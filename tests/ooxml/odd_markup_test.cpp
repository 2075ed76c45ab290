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
