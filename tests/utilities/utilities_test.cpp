// Table tidy, empty-row removal and external link removal on real documents in the embedded Word.
#include <gtest/gtest.h>

#include "automation/error.h"
#include "commands/active_document.h"
#include "support/fault_word.h"
#include "support/recording_host.h"
#include "support/word_fixture.h"
#include "utilities/utilities.h"

using namespace gwtest;

namespace {

std::string cellParas(const std::string& paragraphs) { return "<w:tc>" + paragraphs + "</w:tc>"; }
std::string rowOf(std::initializer_list<std::string> texts) {
    std::string cells;
    for (const auto& t : texts) cells += cell(t);
    return row(cells);
}

class Tidy : public WordTest {
protected:
    void tidy() { utilities::tidyTables(*word, host); }
    int rows(int t) { return word->ActiveDocument()->Tables()->Item(t)->Rows()->Count(); }
    int columns(int t) { return word->ActiveDocument()->Tables()->Item(t)->Columns()->Count(); }

    RecordingHost host;
};

TEST_F(Tidy, TwoEmptyTrailingColumnsNeedTwoRuns) {
    auto doc = open(tbl(rowOf({"a", "", ""}) + rowOf({"b", "", ""}), "", 3) + para(""));
    tidy();
    EXPECT_EQ(columns(1), 2);
    EXPECT_EQ(rows(1), 2);  // the last row holds "b"
    tidy();
    EXPECT_EQ(columns(1), 1);
    tidy();
    EXPECT_EQ(columns(1), 1);
    EXPECT_EQ(doc->Tables()->Item(1)->Cell(2, 1)->Range()->Text(), "b\r\a");
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(Tidy, ASpaceOrAnEmptySecondParagraphIsContent) {
    open(tbl(rowOf({"a", ""}) + rowOf({"b", " "}), "", 2) + para("") +
         tbl(row(cell("a") + cellParas(para("") + para(""))) + rowOf({"b", ""}), "", 2) + para(""));
    tidy();
    EXPECT_EQ(columns(1), 2);
    EXPECT_EQ(columns(2), 2);
}

TEST_F(Tidy, ColumnFirstThenRowAndOneColumnTablesDoNotSkipTheNext) {
    // Table 1: only an empty column -> removed. Table 2: empty last column and last row. Table 3: one
    // empty row -> removed. Table 4: empty last column.
    open(tbl(rowOf({""}) + rowOf({""}), "", 1) + para("") + tbl(rowOf({"a", ""}) + rowOf({"", ""}), "", 2) + para("") +
         tbl(rowOf({"", ""}), "", 2) + para("") + tbl(rowOf({"x", ""}), "", 2) + para(""));
    tidy();
    auto tables = word->ActiveDocument()->Tables();
    ASSERT_EQ(tables->Count(), 2);
    EXPECT_EQ(columns(1), 1);
    EXPECT_EQ(rows(1), 1);
    EXPECT_EQ(tables->Item(1)->Range()->Text(), "a\r\a\r\a");
    EXPECT_EQ(tables->Item(2)->Range()->Text(), "x\r\a\r\a");
}

TEST_F(Tidy, NoTablesNoDocumentAndMergedLastColumn) {
    auto doc = open(para("text"));
    tidy();
    EXPECT_TRUE(doc->Saved());
    // A last column merged with its neighbour in one row cannot be enumerated: it stays.
    open(tbl(rowOf({"a", "", ""}) + row(cell("b") + cell("", "<w:gridSpan w:val=\"2\"/>")), "", 3) + para(""));
    tidy();
    EXPECT_EQ(word->ActiveDocument()->Tables()->Item(1)->Rows()->Count(), 2);
    EXPECT_TRUE(word->ActiveDocument()->Saved());
    word->ActiveDocument()->Close();
    doc->Close();
    const auto result = utilities::tidyTables(*word, host);
    EXPECT_TRUE(result.noDocument);
    EXPECT_EQ(host.messages, (std::vector<std::string>{utilities::kNoDocumentMessage}));
}

class EmptyRows : public WordTest {
protected:
    utilities::UtilityResult removeRows() { return utilities::deleteEmptyRows(*word, host); }
    std::string text(int t) { return word->ActiveDocument()->Tables()->Item(t)->Range()->Text(); }

    RecordingHost host;
};

TEST_F(EmptyRows, BlankRowsBelowTheSecondGoBottomUp) {
    open(tbl(rowOf({"", ""}) + rowOf({" ", ""}) + rowOf({" ", "  "}) + rowOf({"4", ""}) + rowOf({"", ""}) +
                 rowOf({"", "6"}),
             "", 2) +
         para(""));
    auto result = removeRows();
    EXPECT_EQ(result.count, 2);
    EXPECT_EQ(word->ActiveDocument()->Tables()->Item(1)->Rows()->Count(), 4);
    EXPECT_EQ(text(1), "\r\a\r\a\r\a \r\a\r\a\r\a4\r\a\r\a\r\a\r\a6\r\a\r\a");
    EXPECT_EQ(host.events, (std::vector<std::string>{"hide", "message:完成!共删除2行.", "show"}));
}

TEST_F(EmptyRows, TabsParagraphsFullWidthSpacesMergedRowsAndTotals) {
    const std::string tab = "<w:p><w:r><w:tab/></w:r></w:p>";
    open(tbl(rowOf({"h", "h"}) + rowOf({"h", "h"}) + row(cellParas(tab) + cell("")) +
                 row(cellParas(para("") + para("")) + cell("")) + rowOf({"\u3000 \u3000", " "}) +
                 rowOf({"", "x \u3000"}),
             "", 2) +
         para("") +
         // Row 3's first cell is merged down into row 4: neither can be selected as a whole.
         tbl(rowOf({"h", "h"}) + rowOf({"h", "h"}) + row(cell("", "<w:vMerge w:val=\"restart\"/>") + cell("")) +
                 row(cell("", "<w:vMerge/>") + cell("")) + row(cell("", "<w:gridSpan w:val=\"2\"/>")) + rowOf({"", ""}),
             "", 2) +
         para("") + tbl(rowOf({"", ""}) + rowOf({"", ""}), "", 2) + para(""));
    auto result = removeRows();
    EXPECT_EQ(result.count, 3);  // the full-width row, and rows 6 and 5 of the second table
    EXPECT_EQ(word->ActiveDocument()->Tables()->Item(1)->Rows()->Count(), 5);
    EXPECT_EQ(word->ActiveDocument()->Tables()->Item(2)->Rows()->Count(), 4);
    EXPECT_EQ(word->ActiveDocument()->Tables()->Item(3)->Rows()->Count(), 2);
    EXPECT_EQ(host.messages, (std::vector<std::string>{"完成!共删除3行."}));
}

TEST_F(EmptyRows, NoTablesAndNoDocument) {
    auto doc = open(para("x"));
    EXPECT_EQ(removeRows().count, 0);
    EXPECT_EQ(host.messages.back(), "完成!共删除0行.");
    EXPECT_TRUE(doc->Saved());
    doc->Close();
    host.events.clear();
    EXPECT_TRUE(removeRows().noDocument);
    EXPECT_EQ(host.events, (std::vector<std::string>{std::string("message:") + utilities::kNoDocumentMessage}));
}

TEST(UtilityMessages, CountsAreNotCutTo16Bits) {
    EXPECT_EQ(utilities::emptyRowsMessage(40000), "完成!共删除40000行.");
    EXPECT_EQ(utilities::unlinkedFieldsMessage(32768), "完成! 共删除32768处链接.");
}

std::string fldRun(const std::string& type) { return "<w:r><w:fldChar w:fldCharType=\"" + type + "\"/></w:r>"; }
std::string complexField(const std::string& code, const std::string& result) {
    return fldRun("begin") + "<w:r><w:instrText xml:space=\"preserve\">" + code + "</w:instrText></w:r>" +
           fldRun("separate") + result + fldRun("end");
}
std::string textRun(const std::string& text) { return "<w:r><w:t xml:space=\"preserve\">" + text + "</w:t></w:r>"; }

class Links : public WordTest {
protected:
    utilities::UtilityResult unlink() { return utilities::unlinkFields(*word, host); }
    RecordingHost host;
};

TEST_F(Links, LinkedRangeAndTableOfContentsBecomeTextFooterStays) {
    const std::string footer = std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><w:ftr ") +
                               kWordNamespaces + "><w:p>" + complexField(" PAGE ", textRun("1")) + "</w:p></w:ftr>";
    auto entry = [](const std::string& title, const std::string& page) {
        return "<w:p><w:hyperlink w:anchor=\"_Toc1\">" + textRun(title) +
               complexField(" PAGEREF _Toc1 \\h ", textRun(page)) + "</w:hyperlink></w:p>";
    };
    DocxSpec package;
    package.body =
        "<w:p>" + fldRun("begin") + "<w:r><w:instrText> TOC \\o \"1-3\" \\h </w:instrText></w:r>" + fldRun("separate") +
        "</w:p>" + entry("一、概况", "1") + entry("二、数据", "2") + "<w:p>" + fldRun("end") + "</w:p>" +
        tbl(row("<w:tc><w:p>" +
                complexField(" LINK Excel.Sheet.8 \"D:\\\\数据.xls\" Sheet1!R1C1 \\a ", textRun("1,234.50")) +
                "</w:p></w:tc>"),
            "", 1) +
        para("") + "<w:sectPr><w:footerReference w:type=\"default\" r:id=\"rIdFooter\"/></w:sectPr>";
    package.extraParts["word/footer1.xml"] = footer;
    package.extraRelationships["rIdFooter"] = {
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships/footer", "footer1.xml"};
    auto doc = open(package);
    ASSERT_EQ(doc->Fields()->Count(), 4);

    auto result = unlink();
    // The table of contents, its two nested page references and the linked range.
    EXPECT_EQ(result.count, 4);
    EXPECT_EQ(host.messages, (std::vector<std::string>{"完成! 共删除4处链接."}));
    EXPECT_EQ(doc->Fields()->Count(), 0);
    EXPECT_EQ(doc->Content()->Text(), "\r一、概况1\r二、数据2\r\r1,234.50\r\a\r\a\r");
    const std::string xml = savedMainPart();
    EXPECT_EQ(count(xml, "fldChar"), 0);
    EXPECT_EQ(count(xml, "instrText"), 0);
    EXPECT_EQ(savedPart("word/footer1.xml"), footer);

    host.messages.clear();
    EXPECT_EQ(unlink().count, 0);
    EXPECT_EQ(host.messages, (std::vector<std::string>{"完成! 共删除0处链接."}));
}

TEST_F(Links, NestedFieldsSideBySideAndNoDocument) {
    // An IF field with a PAGE field in its code, then two simple fields.
    const std::string ifField =
        fldRun("begin") + "<w:r><w:instrText>IF </w:instrText></w:r>" + complexField("PAGE", textRun("1")) +
        "<w:r><w:instrText> = 1 \"是\"</w:instrText></w:r>" + fldRun("separate") + textRun("是") + fldRun("end");
    auto doc = open("<w:p>" + ifField +
                    "<w:fldSimple w:instr=\" SEQ 表 \"><w:r><w:t>2</w:t></w:r></w:fldSimple>"
                    "<w:fldSimple w:instr=\" DATE \"><w:r><w:t>今天</w:t></w:r></w:fldSimple></w:p>");
    EXPECT_EQ(unlink().count, 4);
    EXPECT_EQ(doc->Content()->Text(), "是2今天\r");
    doc->Close();
    host.messages.clear();
    EXPECT_TRUE(unlink().noDocument);
    EXPECT_EQ(host.messages, (std::vector<std::string>{utilities::kNoDocumentMessage}));
}

// Only Word's "no document is open" is a missing document; any other failure to reach the active
// document is Word's error and reaches the caller as it was raised.
class ActiveDocument : public WordTest {
protected:
    std::shared_ptr<FaultPlan> plan = std::make_shared<FaultPlan>();
    std::shared_ptr<automation::Application> faulty = faultyWord(word, plan);
    RecordingHost host;
};

TEST_F(ActiveDocument, OnlyNoDocumentOpenCountsAsNoDocument) {
    open(para("text"));
    EXPECT_NE(commands::activeDocument(*faulty), nullptr);

    plan->failFrom("Application.ActiveDocument", 1, automation::errors::NoDocumentOpen, "没有打开的文档");
    EXPECT_EQ(commands::activeDocument(*faulty), nullptr);
    EXPECT_TRUE(utilities::unlinkFields(*faulty, host).noDocument);

    plan = std::make_shared<FaultPlan>();
    faulty = faultyWord(word, plan);
    plan->failFrom("Application.ActiveDocument", 1, automation::errors::ServerGone, "Word 已退出");
    try {
        utilities::deleteEmptyRows(*faulty, host);
        ADD_FAILURE() << "a lost Word is no missing document";
    } catch (const automation::Error& error) {
        EXPECT_EQ(error.number(), automation::errors::ServerGone);
    }
    EXPECT_EQ(host.messages, (std::vector<std::string>{utilities::kNoDocumentMessage}));  // only the first
}

// Legacy form fields as Word writes them: a check box has no result, a text input five en spaces.
std::string checkBox(bool checked) {
    return std::string(
               "<w:p><w:r><w:fldChar w:fldCharType=\"begin\"><w:ffData><w:name w:val=\"Check\"/><w:enabled/>"
               "<w:checkBox><w:sizeAuto/><w:default w:val=\"") +
           (checked ? "1" : "0") +
           "\"/></w:checkBox></w:ffData></w:fldChar></w:r><w:r><w:instrText xml:space=\"preserve\"> FORMCHECKBOX "
           "</w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r></w:p>";
}

class FormFields : public WordTest {
protected:
    RecordingHost host;
};

TEST_F(FormFields, CellsHoldingCheckBoxesAreNotEmpty) {
    // A one-row table of check boxes, and a table whose rows below the second hold only check boxes.
    const std::string boxes = row(cellParas(checkBox(true)) + cellParas(checkBox(false)));
    auto doc = open(tbl(boxes, "", 2) + para("") +
                    tbl(rowOf({"a", "b"}) + rowOf({"c", "d"}) + boxes + rowOf({"", ""}), "", 2) + para(""));
    utilities::tidyTables(*word, host);
    ASSERT_EQ(doc->Tables()->Count(), 2);
    EXPECT_EQ(doc->Tables()->Item(1)->Rows()->Count(), 1);
    EXPECT_EQ(doc->Tables()->Item(2)->Rows()->Count(), 3);  // only the empty last row went
    EXPECT_EQ(utilities::deleteEmptyRows(*word, host).count, 0);
    EXPECT_EQ(doc->Tables()->Item(2)->Rows()->Count(), 3);
    EXPECT_EQ(doc->Fields()->Count(), 4);
}

TEST_F(FormFields, CheckBoxesStayWhenDeletionsBeforeThemMoveTheText) {
    const std::string boxRow = row(cellParas(checkBox(true)) + cell("") + cell(""));
    auto blank = [] { return rowOf({"", "", ""}); };
    auto filled = [](const std::string& t) { return rowOf({t, t, t}); };
    // Empty-row removal: two blank rows of table 1 before a row of table 2 that holds only a check box.
    auto doc = open(tbl(filled("a") + filled("b") + blank() + blank() + filled("c"), "", 3) + para("") +
                    tbl(filled("d") + filled("e") + boxRow + blank(), "", 3) + para(""));
    EXPECT_EQ(utilities::deleteEmptyRows(*word, host).count, 3);
    EXPECT_EQ(doc->Tables()->Item(2)->Rows()->Count(), 3);
    EXPECT_EQ(doc->Fields()->Count(), 1);

    // Tidy: the empty last column goes from every row, so the last row's check box (same table) and
    // the next table's (whose last column goes too) come earlier than they stood.
    const std::string lastEmpty = row(cell("x") + cell("y") + cell(""));
    doc = open(tbl(lastEmpty + lastEmpty + row(cellParas(checkBox(false)) + cell("") + cell("")), "", 3) + para("") +
               tbl(lastEmpty + row(cellParas(checkBox(true)) + cell("") + cell("")), "", 3) + para(""));
    utilities::tidyTables(*word, host);
    for (int t = 1; t <= 2; ++t) {
        EXPECT_EQ(doc->Tables()->Item(t)->Columns()->Count(), 2) << t;
        EXPECT_EQ(doc->Tables()->Item(t)->Rows()->Count(), t == 1 ? 3 : 2) << t;
    }
    EXPECT_EQ(doc->Fields()->Count(), 2);
}

TEST_F(FormFields, LinkRemovalLeavesFormFieldsAndCountsWhatItUnlinked) {
    const std::string text =
        "<w:p><w:r><w:fldChar w:fldCharType=\"begin\"><w:ffData><w:name w:val=\"Text1\"/>"
        "<w:textInput/></w:ffData></w:fldChar></w:r><w:r><w:instrText> FORMTEXT </w:instrText></w:r>" +
        fldRun("separate") + textRun("\xE2\x80\x82\xE2\x80\x82") + fldRun("end") + "</w:p>";
    auto doc = open(checkBox(true) + text + "<w:p>" + complexField(" formdropdown ", textRun("甲")) + "</w:p><w:p>" +
                    complexField(" LINK Excel.Sheet.8 \"a.xls\" Sheet1!R1C1 \\a ", textRun("1,234")) + "</w:p>");
    ASSERT_EQ(doc->Fields()->Count(), 4);
    EXPECT_EQ(utilities::unlinkFields(*word, host).count, 1);
    EXPECT_EQ(host.messages, (std::vector<std::string>{"完成! 共删除1处链接."}));
    EXPECT_EQ(doc->Fields()->Count(), 3);
    const std::string xml = savedMainPart();
    EXPECT_EQ(count(xml, "FORMCHECKBOX"), 1);
    EXPECT_EQ(count(xml, "<w:checkBox>"), 1);
    EXPECT_EQ(count(xml, "LINK"), 0);
}

}  // namespace
