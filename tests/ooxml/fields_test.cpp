// Fields of the main story (listing, code, result, unlink), and the members the utilities lean on.
#include <gtest/gtest.h>

#include "automation/ooxml/application.h"
#include "support/word_fixture.h"

using namespace gwtest;

namespace {

std::string fldRun(const std::string& type) { return "<w:r><w:fldChar w:fldCharType=\"" + type + "\"/></w:r>"; }
std::string instr(const std::string& code) {
    return "<w:r><w:instrText xml:space=\"preserve\">" + code + "</w:instrText></w:r>";
}
std::string textRun(const std::string& text, const std::string& rPr = "") {
    return "<w:r>" + (rPr.empty() ? "" : "<w:rPr>" + rPr + "</w:rPr>") + "<w:t xml:space=\"preserve\">" + text +
           "</w:t></w:r>";
}
// A complex field with this code and result runs.
std::string complexField(const std::string& code, const std::string& resultRuns) {
    return fldRun("begin") + instr(code) + fldRun("separate") + resultRuns + fldRun("end");
}

class Fields : public WordTest {};

TEST_F(Fields, ListsSimpleComplexAndNestedFieldsInOrderOfTheirStart) {
    // IF with a PAGE field in its code, then a simple DATE field, then a LINK field.
    const std::string ifField = fldRun("begin") + instr("IF ") + complexField("PAGE", textRun("1")) +
                                instr(" = 1 \"yes\"") + fldRun("separate") + textRun("yes") + fldRun("end");
    auto doc = open("<w:p>" + textRun("a") + ifField + "</w:p>" +
                    "<w:p><w:fldSimple w:instr=\" DATE \"><w:r><w:t>today</w:t></w:r></w:fldSimple></w:p>" + "<w:p>" +
                    complexField(" LINK Excel.Sheet.8 \"book.xls\" ", textRun("12.5")) + "</w:p>");
    auto fields = doc->Fields();
    ASSERT_EQ(fields->Count(), 4);
    EXPECT_EQ(fields->Item(1)->Code(), "IF  = 1 \"yes\"");
    EXPECT_EQ(fields->Item(2)->Code(), "PAGE");
    EXPECT_EQ(fields->Item(3)->Code(), " DATE ");
    EXPECT_EQ(fields->Item(4)->Code(), " LINK Excel.Sheet.8 \"book.xls\" ");
    EXPECT_EQ(fields->Item(1)->Result()->Text(), "yes");
    EXPECT_EQ(fields->Item(1)->Result()->Start(), 1);
    EXPECT_EQ(fields->Item(3)->Result()->Text(), "today");
    EXPECT_EQ(fields->Item(4)->Result()->Text(), "12.5");
    EXPECT_THROW(fields->Item(5), automation::Error);
    EXPECT_THROW(fields->Item(0), automation::Error);
}

TEST_F(Fields, UnlinkKeepsTheResultRunsWithTheirFormatting) {
    // The begin marker shares its run with text, the separator shares its run with code.
    const std::string body =
        "<w:p><w:r><w:t>a</w:t><w:fldChar w:fldCharType=\"begin\"/></w:r>"
        "<w:r><w:instrText> LINK x </w:instrText><w:fldChar w:fldCharType=\"separate\"/></w:r>" +
        textRun("12", "<w:b/>") + fldRun("end") + textRun("b") + "</w:p>";
    auto doc = open(body);
    doc->Fields()->Item(1)->Unlink();
    EXPECT_EQ(doc->Fields()->Count(), 0);
    EXPECT_EQ(doc->Content()->Text(), "a12b\r");
    const std::string xml = savedMainPart();
    EXPECT_EQ(count(xml, "fldChar"), 0);
    EXPECT_EQ(count(xml, "instrText"), 0);
    EXPECT_EQ(count(xml, "<w:b/>"), 1);
    EXPECT_EQ(count(xml, "<w:r>"), 3);  // "a", "12", "b": no empty run left behind
}

TEST_F(Fields, UnlinkOfAFieldWithoutResultLeavesNothing) {
    auto doc = open("<w:p>" + textRun("x") + fldRun("begin") + instr(" PAGE ") + fldRun("end") + textRun("y") +
                    "</w:p><w:p><w:fldSimple w:instr=\" AUTHOR \"/></w:p>");
    ASSERT_EQ(doc->Fields()->Count(), 2);
    EXPECT_EQ(doc->Fields()->Item(1)->Result()->Text(), "");
    doc->Fields()->Item(1)->Unlink();
    doc->Fields()->Item(1)->Unlink();
    EXPECT_EQ(doc->Fields()->Count(), 0);
    EXPECT_EQ(doc->Content()->Text(), "xy\r\r");
    EXPECT_EQ(count(savedMainPart(), "fldSimple"), 0);
}

TEST_F(Fields, UnlinkOfATableOfContentsTurnsNestedFieldsAndLinksIntoText) {
    auto entry = [](const std::string& title, const std::string& page) {
        return "<w:p><w:hyperlink w:anchor=\"_Toc1\">" + textRun(title) +
               complexField(" PAGEREF _Toc1 \\h ", textRun(page)) + "</w:hyperlink></w:p>";
    };
    const std::string toc = "<w:p>" + fldRun("begin") + instr(" TOC \\o \"1-3\" \\h ") + fldRun("separate") + "</w:p>" +
                            entry("第一章", "1") + entry("第二章", "5") + "<w:p>" + fldRun("end") + "</w:p>";
    auto doc = open(toc + "<w:p><w:fldSimple w:instr=\" SEQ 表 \"><w:r><w:t>3</w:t></w:r></w:fldSimple></w:p>");
    auto fields = doc->Fields();
    ASSERT_EQ(fields->Count(), 4);
    EXPECT_EQ(fields->Item(1)->Result()->Text(), "\r第一章1\r第二章5\r");
    fields->Item(1)->Unlink();
    EXPECT_EQ(fields->Count(), 1);  // the SEQ field after the table of contents
    EXPECT_EQ(fields->Item(1)->Code(), " SEQ 表 ");
    EXPECT_EQ(doc->Content()->Text(), "\r第一章1\r第二章5\r\r3\r");
    const std::string xml = savedMainPart();
    EXPECT_EQ(count(xml, "fldChar"), 0);
    EXPECT_EQ(count(xml, "hyperlink"), 0);
    EXPECT_EQ(count(xml, "<w:fldSimple"), 1);
}

TEST_F(Fields, AFieldHandleOutlivesNeitherItsFieldNorItsWord) {
    auto doc = open("<w:p>" + complexField(" PAGE ", textRun("7")) + "</w:p>");
    auto field = doc->Fields()->Item(1);
    field->Unlink();
    EXPECT_THROW(field->Unlink(), automation::Error);
    EXPECT_THROW(field->Code(), automation::Error);
    word->Quit();
    EXPECT_THROW(doc->Fields(), automation::Error);
}

TEST_F(Fields, FieldsOfHeadersAndFootersAreNotListed) {
    DocxSpec package;
    package.body = para("body") + "<w:sectPr><w:footerReference w:type=\"default\" r:id=\"rIdFooter\"/></w:sectPr>";
    package.extraParts["word/footer1.xml"] =
        std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><w:ftr ") + kWordNamespaces +
        "><w:p>" + complexField(" PAGE ", textRun("1")) + "</w:p></w:ftr>";
    package.extraRelationships["rIdFooter"] = {
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships/footer", "footer1.xml"};
    auto doc = open(package);
    EXPECT_EQ(doc->Fields()->Count(), 0);
}

// Members the utilities and the body-text command use, checked here against Word's behaviour.
class UtilityMembers : public WordTest {};

TEST_F(UtilityMembers, RowAndColumnCellsAndATablesParagraphs) {
    auto doc = open(para("before") + table(3, 2) + para("after"));
    auto t = doc->Tables()->Item(1);
    auto rowCells = t->Rows()->Item(3)->Cells();
    ASSERT_EQ(rowCells->Count(), 2);
    EXPECT_EQ(rowCells->Item(2)->Range()->Text(), "3,2\r\a");
    auto columnCells = t->Columns()->Item(2)->Cells();
    ASSERT_EQ(columnCells->Count(), 3);
    EXPECT_EQ(columnCells->Item(3)->Range()->Text(), "3,2\r\a");
    auto paragraphs = doc->Paragraphs();
    EXPECT_EQ(paragraphs->Count(), 8);
    EXPECT_EQ(paragraphs->Item(1)->Range()->Tables()->Count(), 0);
    EXPECT_EQ(paragraphs->Item(2)->Range()->Tables()->Count(), 1);
    EXPECT_EQ(paragraphs->Item(8)->Range()->Tables()->Count(), 0);
}

TEST_F(UtilityMembers, SelectedRowIsDeletedAndAMergedRowCannotBeCounted) {
    // Row 2's first cell is merged down into row 3.
    const std::string body =
        tbl(row(cell("a") + cell("b")) + row(cell("", "<w:vMerge w:val=\"restart\"/>") + cell("")) +
                row(cell("", "<w:vMerge/>") + cell("")) + row(cell("") + cell("")),
            "", 2);
    auto doc = open(body);
    auto t = doc->Tables()->Item(1);
    auto select = [&](int r) { doc->Range(t->Cell(r, 1)->Range()->Start(), t->Cell(r, 2)->Range()->End())->Select(); };
    select(2);
    EXPECT_THROW(word->Selection()->Columns()->Count(), automation::Error);
    select(4);
    EXPECT_EQ(word->Selection()->Columns()->Count(), 2);
    word->Selection()->Rows()->Delete();
    EXPECT_EQ(t->Rows()->Count(), 3);
    EXPECT_EQ(t->Cell(1, 1)->Range()->Text(), "a\r\a");
}

TEST_F(UtilityMembers, AlignmentComesThroughTheStyleChain) {
    const std::string styles =
        "<w:style w:type=\"paragraph\" w:styleId=\"Title\"><w:pPr><w:jc w:val=\"center\"/></w:pPr></w:style>"
        "<w:style w:type=\"paragraph\" w:styleId=\"Sub\"><w:basedOn w:val=\"Title\"/></w:style>";
    auto doc = open(
        para("a", "<w:pStyle w:val=\"Sub\"/>") + para("b", "<w:pStyle w:val=\"Sub\"/><w:jc w:val=\"left\"/>"), styles);
    EXPECT_EQ(doc->Paragraphs()->Item(1)->Format()->Alignment(), automation::wdAlignParagraphCenter);
    EXPECT_EQ(doc->Paragraphs()->Item(2)->Format()->Alignment(), automation::wdAlignParagraphLeft);
    doc->UndoClear();
}

}  // namespace
