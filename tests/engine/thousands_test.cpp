// The thousands-separator step on real documents: numbers in running text and tables, split over runs
// with their own formatting; headers, footers and text boxes are not part of the main text.
#include <gtest/gtest.h>

#include "automation/error.h"
#include "engine/thousands_separators.h"
#include "support/fault_word.h"
#include "support/word_fixture.h"

using namespace gwtest;

namespace {

std::string run(const std::string& text, const std::string& rPr = "") {
    return "<w:r>" + (rPr.empty() ? "" : "<w:rPr>" + rPr + "</w:rPr>") + "<w:t xml:space=\"preserve\">" + text +
           "</w:t></w:r>";
}
std::string p(const std::string& runs) { return "<w:p>" + runs + "</w:p>"; }

const char* const kXmlDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
const char* const kHeaderRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/header";
const char* const kFooterRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/footer";

// A paragraph holding a floating text box whose own paragraph holds text.
std::string textBox(const std::string& text) {
    return "<w:p><w:r><w:drawing><wp:anchor><wp:extent cx=\"900000\" cy=\"300000\"/><a:graphic>"
           "<a:graphicData uri=\"http://schemas.microsoft.com/office/word/2010/wordprocessingShape\">"
           "<wps:wsp><wps:txbx><w:txbxContent>" +
           para(text) +
           "</w:txbxContent></wps:txbx></wps:wsp></a:graphicData></a:graphic></wp:anchor></w:drawing></w:r></w:p>";
}

class ThousandsTest : public WordTest {
protected:
    // The text of each paragraph of the main story after the step.
    std::vector<std::string> paragraphsAfterStep(const std::string& body) {
        auto doc = open(body);
        engine::addThousandsSeparators(*word);
        std::vector<std::string> out;
        auto paragraphs = doc->Paragraphs();
        for (int i = 1; i <= paragraphs->Count(); ++i) {
            std::string text = paragraphs->Item(i)->Range()->Text();
            while (!text.empty() && (text.back() == '\r' || text.back() == '\a')) text.pop_back();
            out.push_back(text);
        }
        return out;
    }
};

TEST_F(ThousandsTest, NumbersWithAPointGetSeparatorsAndOthersStayAsTheyAre) {
    const auto after = paragraphsAfterStep(
        para("金额 1234.5 元") + para("1234567.89") + para("编号 1234 与 5678") + para("1234") + para("1234,5") +
        para("1,234.56") + para("123.45") + para("圆周率约为 3.14159.") + para("12345678901.5 和 0.5"));
    EXPECT_EQ(after, (std::vector<std::string>{"金额 1,234.5 元", "1,234,567.89", "编号 1234 与 5678", "1234",
                                               "1,234,5", "1,234.56", "123.45", "圆周率约为 3.14,159.",
                                               "12,345,678,901.5 和 0.5"}));
}

TEST_F(ThousandsTest, NumbersSplitOverRunsKeepTheirRunsFormatting) {
    const std::string body = p(run("12", "<w:b/>") + run("34.5", "<w:b/><w:color w:val=\"FF0000\"/>")) +
                             p(run("合计") + run("98", "<w:b/>") + run("76543", "<w:b/>") + run(".21", "<w:b/>")) +
                             p(run("1") + run("234") + run(",5"));
    auto doc = open(body);
    engine::addThousandsSeparators(*word);
    EXPECT_EQ(doc->Content()->Text(), "1,234.5\r合计9,876,543.21\r1,234,5\r");
    Xml xml(savedMainPart());
    // Every digit of the first two paragraphs was bold before and is bold after; "合计" stays plain.
    int paragraph = 0;
    for (pugi::xpath_node pn : xml.all("//w:p")) {
        if (++paragraph > 2) break;
        for (pugi::xml_node r : pn.node().children("w:r")) {
            const std::string text = r.child("w:t").text().get();
            const bool bold = r.child("w:rPr").child("w:b");
            EXPECT_EQ(bold, text.find_first_of("0123456789") != std::string::npos) << text;
        }
    }
    // "1" + "234" + ",5": the match began in "1", which took the new text; "234" was emptied and went.
    EXPECT_EQ(xml.count("//w:p[3]/w:r"), 2u);
    EXPECT_EQ(xml.count("//w:p"), 3u);
    EXPECT_EQ(xml.count("//w:t[not(text())]"), 0u);
    EXPECT_EQ(xml.count("//w:r[not(w:t)]"), 0u);  // runs emptied by the replacement are gone
}

TEST_F(ThousandsTest, TablesAreIncludedEvenWithoutLines) {
    // A table without any borders (the format run would skip it later) and numbers split inside cells.
    const std::string table =
        tbl(row("<w:tc>" + p(run("98765") + run("43.21", "<w:i/>")) + "</w:tc>" + cell("1234")) +
                row(cell("12.5") + cell("合计 5555.5")),
            "", 2);
    const auto after = paragraphsAfterStep(para("表一") + table + para("4321.0"));
    EXPECT_EQ(after, (std::vector<std::string>{"表一", "9,876,543.21", "1234", "12.5", "合计 5,555.5", "4,321.0"}));
}

TEST_F(ThousandsTest, HeadersFootersAndTextBoxesAreNotTouched) {
    const std::string header = std::string(kXmlDecl) + "<w:hdr " + kWordNamespaces + ">" + para("页眉 1234.5") + "</w:hdr>";
    const std::string footer = std::string(kXmlDecl) + "<w:ftr " + kWordNamespaces + ">" + para("9876.5") + "</w:ftr>";
    DocxSpec package;
    package.body = para("正文 1234.5") + textBox("框内 1234.5") +
                "<w:sectPr><w:headerReference w:type=\"default\" r:id=\"rIdH\"/>"
                "<w:footerReference w:type=\"default\" r:id=\"rIdF\"/></w:sectPr>";
    package.extraParts["word/header1.xml"] = header;
    package.extraParts["word/footer1.xml"] = footer;
    package.extraRelationships["rIdH"] = {kHeaderRel, "header1.xml"};
    package.extraRelationships["rIdF"] = {kFooterRel, "footer1.xml"};
    auto doc = open(package);
    engine::addThousandsSeparators(*word);
    EXPECT_EQ(savedPart("word/header1.xml"), header);
    EXPECT_EQ(savedPart("word/footer1.xml"), footer);
    const std::string main = savedMainPart();
    EXPECT_EQ(count(main, "正文 1,234.5"), 1);
    EXPECT_EQ(count(main, "框内 1234.5"), 1);
}

TEST_F(ThousandsTest, TheStepEndsWhenAFindFindsNothing) {
    auto plan = std::make_shared<FaultPlan>();
    auto faulty = faultyWord(word, plan);

    auto doc = open(para("没有数字") + para("1234 5678"));
    engine::addThousandsSeparators(*faulty);
    // One find, no replace-all; the document is untouched.
    EXPECT_EQ(plan->callCount("Find.Execute"), 1);
    EXPECT_TRUE(doc->Saved());

    plan->clearCalls();
    auto two = open(para("1234567.89") + para("7654.3"));
    engine::addThousandsSeparators(*faulty);
    // find, replace-all, find, replace-all, find.
    EXPECT_EQ(plan->callsOf({"Find.Execute"}).size(), 5u);
    EXPECT_EQ(two->Content()->Text(), "1,234,567.89\r7,654.3\r");
}

TEST_F(ThousandsTest, ARunawayLoopFailsInsteadOfGoingOnForEver) {
    auto doc = open(para("1234567.89"));
    try {
        engine::addThousandsSeparators(*word, 1);
        ADD_FAILURE() << "the bound was not enforced";
    } catch (const automation::Error& error) {
        EXPECT_FALSE(error.message().empty());
    }
    // The rounds made before the bound stay; a second call with room to spare finishes the work.
    EXPECT_EQ(doc->Content()->Text(), "1234,567.89\r");
    engine::addThousandsSeparators(*word);
    EXPECT_EQ(doc->Content()->Text(), "1,234,567.89\r");
}

}  // namespace
