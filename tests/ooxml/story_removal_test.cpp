// Deleting rows, columns and tables and unlinking fields one after another: every position, text and
// list the document answers with afterwards is what a fresh reading of the saved result gives.
#include <gtest/gtest.h>

#include "automation/ooxml/application.h"
#include "support/word_fixture.h"

using namespace gwtest;

namespace {

std::string link(const std::string& result) {
    return "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText> LINK Excel.Sheet.8 \"a.xls\" "
           "</w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:t>" +
           result + "</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r>";
}

// A table of rows x columns whose cells read "<name><row><column>".
std::string grid(const std::string& name, int rows, int columns) {
    std::string out;
    for (int r = 1; r <= rows; ++r) {
        std::string cells;
        for (int c = 1; c <= columns; ++c) cells += cell(name + std::to_string(r) + std::to_string(c));
        out += row(cells);
    }
    return tbl(out, "", columns);
}

// Everything a command may ask for, in an order that reads positions before whole lists.
std::string look(automation::Document& doc) {
    std::string out;
    auto tables = doc.Tables();
    for (int t = 1; t <= tables->Count(); ++t) {
        auto table = tables->Item(t);
        auto range = table->Range();
        out += "table " + std::to_string(range->Start()) + "-" + std::to_string(range->End()) + "\n";
        const int rows = table->Rows()->Count();
        const int columns = table->Columns()->Count();
        for (int r = 1; r <= rows; ++r)
            for (int c = 1; c <= columns; ++c) {
                if (errorNumber([&] { table->Cell(r, c); }) != 0) {
                    out += " none\n";
                    continue;
                }
                auto cellRange = table->Cell(r, c)->Range();
                out += " " + std::to_string(cellRange->Start()) + "-" + std::to_string(cellRange->End()) + " " +
                       cellRange->Text() + " nested " + std::to_string(cellRange->Tables()->Count()) + "\n";
            }
    }
    out += "text " + doc.Content()->Text() + " end " + std::to_string(doc.Content()->End()) + "\n";
    auto paragraphs = doc.Paragraphs();
    for (int p = 1; p <= paragraphs->Count(); ++p)
        out += "paragraph " + std::to_string(paragraphs->Item(p)->Range()->Start()) + "\n";
    auto fields = doc.Fields();
    for (int f = 1; f <= fields->Count(); ++f) {
        auto result = fields->Item(f)->Result();
        out += "field " + std::to_string(result->Start()) + "-" + std::to_string(result->End()) + " " + result->Text() +
               "\n";
    }
    return out;
}

class StoryRemoval : public WordTest {
protected:
    // The look of the document once it is saved and read again by another Word.
    std::string reread(automation::Document& doc) {
        const auto path = dir.file("reread" + std::to_string(++files) + ".docx");
        doc.SaveAs(path.string());
        auto fresh = automation::ooxml::createWord();
        return look(*fresh->Documents()->Open(path.string()));
    }
};

TEST_F(StoryRemoval, EditsOneAfterAnotherAnswerAsAFreshReading) {
    const std::string nested = tbl(row(cell("n1") + cell("n2")), "", 2);
    const std::string withNested =
        row(cell("a11") + "<w:tc>" + para("a12") + nested + para("") + "</w:tc>" + cell("a13")) +
        row(cell("a21") + "<w:tc><w:p>" + link("5.5") + "</w:p></w:tc>" + cell("a23"));
    const std::string merged =
        row(cell("m11", "<w:vMerge w:val=\"restart\"/>") + cell("m12")) + row(cell("", "<w:vMerge/>") + cell("m22"));
    auto doc =
        open(para("前言") + "<w:p>" + link("1.5") + "</w:p>" + tbl(withNested, "", 3) + grid("b", 5, 2) + "<w:p>" +
             link("2.5") + "</w:p>" + grid("c", 3, 3) + tbl(merged, "", 2) + grid("d", 6, 2) + para("后记"));
    ASSERT_EQ(doc->Fields()->Count(), 3);

    // Several removals before anything asks for a whole list.
    auto tables = doc->Tables();
    tables->Item(2)->Rows()->Item(4)->Delete();
    tables->Item(5)->Rows()->Item(2)->Delete();
    tables->Item(2)->Columns()->Item(1)->Delete();
    tables->Item(3)->Delete();
    tables->Item(4)->Rows()->Item(5)->Delete();
    EXPECT_EQ(tables->Count(), 4);
    EXPECT_EQ(look(*doc), reread(*doc));

    // The row holding a nested table and a field, a field, then the rest of a table row by row.
    doc->Tables()->Item(1)->Rows()->Item(2)->Delete();
    doc->Fields()->Item(1)->Unlink();
    doc->Tables()->Item(1)->Rows()->Item(1)->Delete();
    auto last = doc->Tables()->Item(3);
    for (int r = last->Rows()->Count(); r >= 2; --r) last->Rows()->Item(r)->Delete();
    doc->Tables()->Item(2)->Columns()->Item(1)->Delete();
    EXPECT_EQ(look(*doc), reread(*doc));

    // Down to no table at all: the last column of one, the last row of another.
    doc->Tables()->Item(2)->Columns()->Item(1)->Delete();
    doc->Tables()->Item(2)->Rows()->Item(1)->Delete();
    doc->Tables()->Item(1)->Delete();
    EXPECT_EQ(doc->Tables()->Count(), 0);
    EXPECT_EQ(look(*doc), reread(*doc));
    EXPECT_EQ(doc->Content()->Text(), "前言\r1.5\r2.5\r后记\r");
}

TEST_F(StoryRemoval, UnlinkingFieldAfterFieldKeepsTheCollectionInStep) {
    std::string body;
    for (int i = 0; i < 40; ++i) body += "<w:p>" + link(std::to_string(i)) + link("x") + "</w:p>";
    auto doc = open(body);
    auto fields = doc->Fields();
    ASSERT_EQ(fields->Count(), 80);
    // Every other field, from the back, then the first ones: the handles of the others stay good.
    auto kept = fields->Item(2);
    for (int f = 79; f >= 1; f -= 2) fields->Item(f)->Unlink();
    EXPECT_EQ(fields->Count(), 40);
    EXPECT_EQ(kept->Result()->Text(), "x");
    fields->Item(1)->Unlink();
    EXPECT_EQ(errorNumber([&] { kept->Code(); }), automation::errors::ObjectDeleted);
    EXPECT_EQ(fields->Count(), 39);
    EXPECT_EQ(errorNumber([&] { fields->Item(40); }), automation::errors::NoSuchMember);
    EXPECT_EQ(look(*doc), reread(*doc));
}

}  // namespace
