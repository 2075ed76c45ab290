// The main story's positions and text, as Word counts them.
#include <gtest/gtest.h>

#include "automation/ooxml/application.h"
#include "support/word_fixture.h"

using namespace gwtest;

namespace {

class Story : public WordTest {};

TEST_F(Story, ParagraphsTabsBreaksAndMarks) {
    auto doc = open(para("ab") + "<w:p><w:r><w:t>c</w:t><w:tab/><w:t>d</w:t><w:br/></w:r></w:p>" + para(""));
    EXPECT_EQ(doc->Content()->Text(), "ab\rc\td\v\r\r");
    EXPECT_EQ(doc->Content()->End(), 9);
    EXPECT_EQ(doc->Range(3, 6)->Text(), "c\td");
    EXPECT_EQ(doc->Range(std::nullopt, 2)->Text(), "ab");
    EXPECT_EQ(doc->Range(7)->Text(), "\r\r");
}

TEST_F(Story, CellsEndWithCellAndRowMarks) {
    // x | a b | c ; row of two cells; then y.
    auto doc = open(para("x") + tbl(row(cell("ab") + cell("c")), "", 2) + para("y"));
    auto t = doc->Tables()->Item(1);
    auto a = t->Cell(1, 1)->Range();
    EXPECT_EQ(a->Start(), 2);
    EXPECT_EQ(a->End(), 5);
    EXPECT_EQ(a->Text(), "ab\r\a");
    auto c = t->Cell(1, 2)->Range();
    EXPECT_EQ(c->Start(), 5);
    EXPECT_EQ(c->End(), 7);
    EXPECT_EQ(t->Range()->End(), 8);  // the end-of-row mark
    EXPECT_EQ(doc->Content()->Text(), "x\rab\r\ac\r\a\r\ay\r");
    EXPECT_EQ(doc->Content()->End(), 10);
}

TEST_F(Story, CellWithTwoParagraphsAndNestedTable) {
    const std::string inner = tbl(row(cell("n")), "", 1);
    auto doc = open(tbl(row("<w:tc>" + para("p1") + inner + para("") + "</w:tc>"), "", 1));
    auto outer = doc->Tables()->Item(1);
    EXPECT_EQ(doc->Tables()->Count(), 1);
    EXPECT_EQ(outer->Tables()->Count(), 1);
    EXPECT_EQ(outer->Cell(1, 1)->Range()->Text(), "p1\rn\r\a\r\a\r\a");
    auto nested = outer->Tables()->Item(1);
    EXPECT_EQ(nested->Cell(1, 1)->Range()->Start(), 3);
    EXPECT_EQ(nested->Cell(1, 1)->Range()->End(), 5);
}

TEST_F(Story, FieldsCountTheirResultOnly) {
    const std::string complex =
        "<w:p><w:r><w:t>a</w:t></w:r><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>"
        "<w:r><w:instrText> PAGE </w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
        "<w:r><w:t>12</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r><w:r><w:t>b</w:t></w:r></w:p>";
    const std::string simple = "<w:p><w:fldSimple w:instr=\" DATE \"><w:r><w:t>today</w:t></w:r></w:fldSimple></w:p>";
    auto doc = open(complex + simple);
    EXPECT_EQ(doc->Content()->Text(), "a12b\rtoday\r");
}

TEST_F(Story, NestedFieldCodesAreSkipped) {
    const std::string nested =
        "<w:p><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText>IF </w:instrText></w:r>"
        "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText>PAGE</w:instrText></w:r>"
        "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:t>1</w:t></w:r>"
        "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r><w:r><w:instrText> = 1 \"yes\"</w:instrText></w:r>"
        "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:t>yes</w:t></w:r>"
        "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r></w:p>";
    auto doc = open(nested);
    EXPECT_EQ(doc->Content()->Text(), "yes\r");
}

TEST_F(Story, ObjectsDeletionsAndTransparentWrappers) {
    const std::string drawing =
        "<w:r><w:drawing><wp:inline><wp:extent cx=\"1\" cy=\"1\"/></wp:inline></w:drawing></w:r>";
    const std::string floating =
        "<w:r><w:drawing><wp:anchor><wp:extent cx=\"1\" cy=\"1\"/></wp:anchor></w:drawing></w:r>";
    const std::string body =
        "<w:p>" + drawing + floating +
        "<w:del><w:r><w:delText>gone</w:delText></w:r></w:del>"
        "<w:ins><w:r><w:t>new</w:t></w:r></w:ins>"
        "<w:hyperlink r:id=\"x\"><w:r><w:t>link</w:t></w:r></w:hyperlink><w:bookmarkStart w:id=\"0\" w:name=\"b\"/>"
        "<w:sdt><w:sdtPr/><w:sdtContent><w:r><w:t>cc</w:t></w:r></w:sdtContent></w:sdt>"
        "<w:r><w:footnoteReference w:id=\"1\"/><w:sym w:font=\"Wingdings\" w:char=\"F04A\"/></w:r></w:p>";
    auto doc = open(body);
    EXPECT_EQ(doc->Content()->Text(), "\x01newlinkcc\x02(\r");
    EXPECT_EQ(doc->InlineShapes()->Count(), 1);
}

TEST_F(Story, TextBoxesAreAnotherStory) {
    const std::string body =
        "<w:p><w:r><w:t>a</w:t></w:r><w:r><mc:AlternateContent><mc:Choice Requires=\"wps\"><w:drawing><wp:anchor>"
        "<a:graphic><a:graphicData><wps:wsp><wps:txbx><w:txbxContent><w:p><w:r><w:t>inside</w:t></w:r></w:p>"
        "</w:txbxContent></wps:txbx></wps:wsp></a:graphicData></a:graphic></wp:anchor></w:drawing></mc:Choice>"
        "<mc:Fallback><w:pict/></mc:Fallback></mc:AlternateContent></w:r><w:r><w:t>b</w:t></w:r></w:p>";
    auto doc = open(body);
    EXPECT_EQ(doc->Content()->Text(), "ab\r");
    EXPECT_EQ(doc->Paragraphs()->Count(), 1);
}

TEST_F(Story, ChineseAndSurrogatePairsCountInUtf16) {
    auto doc = open(para("年度𠀀x"));
    EXPECT_EQ(doc->Content()->End(), 6);  // 年 度 (2) + 𠀀 (2) + x + mark
    EXPECT_EQ(doc->Range(2, 4)->Text(), "𠀀");
    EXPECT_EQ(doc->Range(0, 2)->Text(), "年度");
}

TEST_F(Story, RangeArgumentsOutsideTheStoryFail) {
    auto doc = open(para("abc"));
    EXPECT_THROW(doc->Range(0, 99), automation::Error);
    EXPECT_THROW(doc->Range(-1, 2), automation::Error);
    auto r = doc->Range(3, 1);
    EXPECT_EQ(r->Start(), 1);
    EXPECT_EQ(r->End(), 3);
}

TEST_F(Story, ParagraphsListCellParagraphsInDocumentOrder) {
    auto doc = open(para("one") + tbl(row(cell("c1") + cell("c2")), "", 2) + para("two"));
    auto paragraphs = doc->Paragraphs();
    ASSERT_EQ(paragraphs->Count(), 4);
    EXPECT_EQ(paragraphs->Item(2)->Range()->Text(), "c1\r\a");
    EXPECT_EQ(paragraphs->Item(2)->Range()->Tables()->Count(), 1);
    EXPECT_EQ(paragraphs->Item(4)->Range()->Tables()->Count(), 0);
}

TEST(WordLifetime, NoDocumentAndQuit) {
    auto word = automation::ooxml::createWord();
    try {
        word->ActiveDocument();
        FAIL();
    } catch (const automation::Error& e) {
        EXPECT_EQ(e.number(), 4248);
    }
    EXPECT_EQ(word->Documents()->Count(), 0);
    word->Quit();
    try {
        word->Documents()->Count();
        FAIL();
    } catch (const automation::Error& e) {
        EXPECT_EQ(e.number(), 462);
    }
}

TEST(WordLifetime, OpenDialogAsksTheInstalledChooser) {
    TempDir dir;
    writeDocx(dir.file("a.docx"), para("x"));
    auto word = automation::ooxml::createWord();
    auto dialog = word->Dialogs()->Item(automation::wdDialogFileOpen);
    EXPECT_EQ(dialog->Show(), 0);  // no chooser: nothing happens
    word->setFileChooser([] { return std::optional<std::string>(); });
    EXPECT_EQ(dialog->Show(), 0);
    EXPECT_EQ(word->Documents()->Count(), 0);
    word->setFileChooser([&] { return std::optional<std::string>(dir.file("a.docx").string()); });
    EXPECT_EQ(dialog->Show(), -1);
    EXPECT_EQ(word->Documents()->Count(), 1);
    EXPECT_EQ(word->ActiveDocument()->Content()->Text(), "x\r");
}

}  // namespace
