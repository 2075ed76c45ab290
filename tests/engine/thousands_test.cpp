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

// The integer part of a number written with a point and at least one fraction digit, grouped by hand.
std::string grouped(const std::string& integerPart) {
    std::string out;
    for (size_t i = 0; i < integerPart.size(); ++i) {
        if (i > 0 && (integerPart.size() - i) % 3 == 0) out += ',';
        out += integerPart[i];
    }
    return out;
}

TEST_F(ThousandsTest, OnlyTheIntegerPartOfANumberWithAPointGetsSeparators) {
    const auto after = paragraphsAfterStep(
        para("金额 1234.5 元") + para("1234567.89") + para("编号 1234 与 5678") + para("1234") + para("1234,5") +
        para("1,234.56") + para("123.45") + para("圆周率约为 3.14159.") + para("12345678901.5 和 0.5") +
        para("合计1234567.5元，增长12.5%。") + para("共 98765.4.") + para("-4321.09") + para("型号 A12345.6"));
    EXPECT_EQ(after, (std::vector<std::string>{"金额 1,234.5 元", "1,234,567.89", "编号 1234 与 5678", "1234", "1234,5",
                                               "1,234.56", "123.45", "圆周率约为 3.14159.", "12,345,678,901.5 和 0.5",
                                               "合计1,234,567.5元，增长12.5%。", "共 98,765.4.", "-4,321.09",
                                               "型号 A12,345.6"}));
}

TEST_F(ThousandsTest, YearsPostcodesDatesVersionsAndDecimalCommasStayAsTheyAre) {
    const std::vector<std::string> untouched = {"founded in 2006.",    "Berkeley, CA 94709, USA",
                                                "25.12.2016.",         "截至2023.12.31的余额",
                                                "2023.1.5 起",         "3.14159.",
                                                "23835512,64",         "电话 0571,8888",
                                                "版本 10.0.12345.6",   "1.2.3456.7",
                                                "12,3456.7",           "1234.5.6 版",
                                                "12345.678,23456.789", "0.12345.6",
                                                "2024.06.30.12"};
    std::string body;
    for (const std::string& text : untouched) body += para(text);
    EXPECT_EQ(paragraphsAfterStep(body + para("其中 5678.9")), [&] {
        auto expected = untouched;
        expected.push_back("其中 5,678.9");
        return expected;
    }());
}

TEST_F(ThousandsTest, EveryLengthOfIntegerPartIsGroupedFromThePoint) {
    // Up to 24 digits one pattern takes the whole integer part; longer ones are grouped one by one.
    std::string body;
    std::vector<std::string> expected;
    for (int digits = 1; digits <= 40; ++digits) {
        std::string integer;
        for (int i = 0; i < digits; ++i) integer += static_cast<char>('1' + (i % 9));
        body += para("数 " + integer + ".05 止");
        expected.push_back("数 " + (digits >= 4 ? grouped(integer) : integer) + ".05 止");
    }
    EXPECT_EQ(paragraphsAfterStep(body), expected);
}

TEST_F(ThousandsTest, ARunOfTwoHundredThousandDigitsIsGroupedOnce) {
    const std::string digits(200000, '7');
    const auto after =
        paragraphsAfterStep(para("A " + digits + ".5") + para(digits + " 没有小数点") + para("后面 1234.5"));
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(after[0], "A " + grouped(digits) + ".5");
    EXPECT_EQ(after[1], digits + " 没有小数点");
    EXPECT_EQ(after[2], "后面 1,234.5");
}

TEST_F(ThousandsTest, TablesAreIncludedEvenWithoutLines) {
    // A table without any borders (the format run would skip it later) and numbers split inside cells.
    const std::string table = tbl(row("<w:tc>" + p(run("98765") + run("43.21", "<w:i/>")) + "</w:tc>" + cell("1234")) +
                                      row(cell("12.5") + cell("合计 5555.5")),
                                  "", 2);
    const auto after = paragraphsAfterStep(para("表一") + table + para("4321.0"));
    EXPECT_EQ(after, (std::vector<std::string>{"表一", "9,876,543.21", "1234", "12.5", "合计 5,555.5", "4,321.0"}));
}

TEST_F(ThousandsTest, HeadersFootersAndTextBoxesAreNotTouched) {
    const std::string header =
        std::string(kXmlDecl) + "<w:hdr " + kWordNamespaces + ">" + para("页眉 1234.5") + "</w:hdr>";
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
    auto doc = open(para("没有数字") + para("1234 5678") + para("1,234.5 和 2006."));
    engine::addThousandsSeparators(*faulty);
    // One find, no replace-all; the document is untouched.
    EXPECT_EQ(plan->callCount("Find.Execute"), 1);
    EXPECT_TRUE(doc->Saved());
}

TEST_F(ThousandsTest, AMarkerCharacterTheTextHoldsIsNotUsed) {
    const std::string privateUse = "\xEE\x80\x80";  // U+E000, the first marker tried
    const auto after = paragraphsAfterStep(para("图标" + privateUse + " 2023.12.31 与 4567.8"));
    EXPECT_EQ(after, (std::vector<std::string>{"图标" + privateUse + " 2023.12.31 与 4,567.8"}));
}

TEST_F(ThousandsTest, AFailingReplacementLeavesNoMarkerBehind) {
    // The candidate, the marker check, the two replace-alls that set markers; then the first grouping.
    for (int failing : {4, 5}) {
        auto plan = std::make_shared<FaultPlan>();
        auto faulty = faultyWord(word, plan);
        auto doc = open(para("截至2023.12.31 为 1.2.3456.7 与 7654.3"));
        plan->failOn("Find.Execute", failing, failing, "无效的过程调用或参数");
        EXPECT_THROW(engine::addThousandsSeparators(*faulty), automation::Error);
        EXPECT_EQ(doc->Content()->Text(), "截至2023.12.31 为 1.2.3456.7 与 7654.3\r") << failing;
    }
}

TEST_F(ThousandsTest, TheSelectionKeepsItsTextAfterCommasWentInBeforeIt) {
    const std::string longDigits(30, '7');
    auto doc = open(para("A" + longDigits + ".5 与 " + longDigits + ".5 和 12345.6") + para("选中的文字") +
                    para("其后 98765.4"));
    automation::RangePtr chosen = doc->Paragraphs()->Item(2)->Range();
    const int start = chosen->Start();
    chosen->Select();
    engine::addThousandsSeparators(*word);
    const int commas = 2 * ((30 - 1) / 3) + 1;
    EXPECT_EQ(word->Selection()->Text(), "选中的文字\r");
    EXPECT_EQ(word->Selection()->Start(), start + commas);
    EXPECT_EQ(doc->Paragraphs()->Item(1)->Range()->Text(),
              "A" + grouped(longDigits) + ".5 与 " + grouped(longDigits) + ".5 和 12,345.6\r");
}

}  // namespace
