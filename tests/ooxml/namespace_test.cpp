// Documents that bind WordprocessingML to another prefix or to the default namespace, and Strict Open XML
// documents: read by namespace URI, written back with the document's own prefixes and value forms.
#include <gtest/gtest.h>

#include <set>

#include "support/libreoffice.h"
#include "support/word_fixture.h"

using namespace gwtest;
using namespace automation;

namespace {

const std::string kWord = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
const std::string kStrictWord = "http://purl.oclc.org/ooxml/wordprocessingml/main";

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// The main part with WordprocessingML bound to ns0 (as Python's ElementTree writes it).
std::string toNs0(std::string xml) {
    xml = replaceAll(xml, "<w:", "<ns0:");
    xml = replaceAll(xml, "</w:", "</ns0:");
    xml = replaceAll(xml, " w:", " ns0:");
    return replaceAll(xml, "xmlns:w=", "xmlns:ns0=");
}

// The main part with WordprocessingML as the default namespace of elements; attributes keep w:.
std::string toDefault(std::string xml) {
    xml = replaceAll(xml, "<w:", "<");
    xml = replaceAll(xml, "</w:", "</");
    return replaceAll(xml, "xmlns:w=\"" + kWord + "\"", "xmlns=\"" + kWord + "\" xmlns:w=\"" + kWord + "\"");
}

std::string toStrict(std::string xml) {
    xml = replaceAll(xml, kWord, kStrictWord);
    xml = replaceAll(xml, "http://schemas.openxmlformats.org/officeDocument/2006/relationships",
                     "http://purl.oclc.org/ooxml/officeDocument/relationships");
    return replaceAll(xml, "http://schemas.openxmlformats.org/drawingml/2006/main",
                      "http://purl.oclc.org/ooxml/drawingml/main");
}

// Prefixes used in a part without a binding in scope: each makes the part not namespace-well-formed.
std::set<std::string> undeclaredPrefixes(const std::string& xml) {
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_string(xml.c_str()));
    std::set<std::string> missing;
    auto bound = [](pugi::xml_node n, const std::string& prefix) {
        const std::string declaration = prefix.empty() ? "xmlns" : "xmlns:" + prefix;
        for (; n; n = n.parent())
            if (n.attribute(declaration.c_str())) return true;
        return prefix == "xml";
    };
    auto check = [&](pugi::xml_node n, std::string_view name, bool attribute) {
        const auto colon = name.find(':');
        if (colon == std::string_view::npos) return;
        const std::string prefix(name.substr(0, colon));
        if (attribute && prefix == "xmlns") return;
        if (!bound(n, prefix)) missing.insert(prefix);
    };
    for (pugi::xpath_node x : doc.select_nodes("//*")) {
        check(x.node(), x.node().name(), false);
        for (pugi::xml_attribute a : x.node().attributes()) check(x.node(), a.name(), true);
    }
    return missing;
}

class Namespaces : public WordTest {
protected:
    const std::string body = para("正文第一段", "<w:pPr><w:ind w:left=\"0\"/></w:pPr>") +
                             tbl(row(cell("甲") + cell("乙")) + row(cell("1234.5") + cell("")), "", 2) + para("");

    // Writes the usual test package, rewrites its parts with change and opens it.
    DocumentPtr openRewritten(const std::function<std::string(std::string)>& change, const std::string& tblPr = "") {
        const auto path = dir.file("in" + std::to_string(++files) + ".docx");
        DocxSpec package;
        package.body = replaceAll(body, "<w:tblPr>", "<w:tblPr>" + tblPr);
        package.styles =
            "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"a\"><w:name w:val=\"Normal\"/></w:style>";
        writeDocx(path, package);
        auto parts = readAllParts(path);
        for (auto& [name, bytes] : parts)
            if (name.find(".xml") != std::string::npos && name != "[Content_Types].xml") bytes = change(bytes);
        writeZip(path, parts);
        return word->Documents()->Open(path.string());
    }

    // What the format run and the body-text command do to a document, through the object model.
    void formatEverything(const DocumentPtr& doc) {
        doc->Paragraphs()->Item(1)->Range()->ParagraphFormat()->SetLeftIndent(21);
        doc->Paragraphs()->Item(1)->Range()->ParagraphFormat()->SetCharacterUnitFirstLineIndent(2);
        doc->Paragraphs()->Item(1)->Range()->Font()->SetSize(12);
        auto table = doc->Tables()->Item(1);
        table->Select();
        auto sel = word->Selection();
        for (int edge = wdBorderTop; edge >= wdBorderVertical; --edge) sel->Borders()->Item(edge)->SetLineStyle(1);
        sel->Rows()->SetHeadingFormat(true);
        sel->Rows()->SetHeight(20);
        sel->Cells()->SetVerticalAlignment(wdCellAlignVerticalCenter);
        sel->ParagraphFormat()->SetAlignment(wdAlignParagraphRight);
        sel->Font()->SetName("宋体");
        table->AutoFitBehavior(wdAutoFitWindow);
    }
};

TEST_F(Namespaces, OtherPrefixesAndTheDefaultNamespaceAreReadAndKept) {
    for (auto change : {toNs0, toDefault}) {
        auto doc = openRewritten(change);
        ASSERT_EQ(doc->Tables()->Count(), 1);
        EXPECT_EQ(doc->Paragraphs()->Item(1)->Range()->Text(), "正文第一段\r");
        EXPECT_EQ(doc->Tables()->Item(1)->Cell(2, 1)->Range()->Text(), std::string("1234.5\r\a"));
        formatEverything(doc);
        const std::string out = savedMainPart();
        EXPECT_TRUE(undeclaredPrefixes(out).empty()) << out;
        EXPECT_EQ(count(out, "<w:"), 0) << "elements keep the document's own prefix";
        EXPECT_GT(count(out, "tblBorders"), 0);
        EXPECT_GT(count(out, "tblHeader"), 0);

        // Another Word reading the saved file sees what was set.
        auto reader = automation::ooxml::createWord();
        auto again = reader->Documents()->Open((dir.path() / ("out" + std::to_string(files) + ".docx")).string());
        EXPECT_FLOAT_EQ(again->Paragraphs()->Item(1)->Format()->LeftIndent(), 21.0f);
        again->Tables()->Item(1)->Select();
        EXPECT_EQ(reader->Selection()->Borders()->Item(wdBorderTop)->LineStyle(), 1);
        EXPECT_EQ(reader->Selection()->ParagraphFormat()->Alignment(), wdAlignParagraphRight);
        doc->Close(false);
    }
}

TEST_F(Namespaces, NewElementsTakeAPrefixTheDocumentBinds) {
    // Only elements in the default namespace: attributes need a prefix, which is declared on the root.
    auto doc = openRewritten([](std::string xml) {
        xml = toDefault(xml);
        return replaceAll(xml, " xmlns:w=\"" + kWord + "\"", "");
    });
    doc->Paragraphs()->Item(1)->Range()->ParagraphFormat()->SetLeftIndent(21);
    const std::string out = savedMainPart();
    EXPECT_TRUE(undeclaredPrefixes(out).empty()) << out;
    EXPECT_NE(out.find("<ind w:left=\"420\""), std::string::npos) << out;
}

TEST_F(Namespaces, AnotherNamespaceUnderTheUsualPrefixIsNotWordprocessingML) {
    // "w" names something else here; WordprocessingML is bound to "x".
    auto doc = openRewritten([](std::string xml) {
        xml = toNs0(xml);
        xml = replaceAll(replaceAll(xml, "ns0:", "x:"), "xmlns:ns0=", "xmlns:x=");
        return replaceAll(xml, "<x:body>", "<x:body><w:note xmlns:w=\"urn:example\" w:id=\"1\"/>");
    });
    EXPECT_EQ(doc->Tables()->Count(), 1);
    formatEverything(doc);
    const std::string out = savedMainPart();
    EXPECT_TRUE(undeclaredPrefixes(out).empty()) << out;
    EXPECT_NE(out.find("<w:note xmlns:w=\"urn:example\" w:id=\"1\"/>"), std::string::npos);
    EXPECT_EQ(count(out, "<w:"), 1);
}

TEST_F(Namespaces, StrictDocumentsAreReadWithTheirValueForms) {
    const std::string tblPr = "<w:tblW w:w=\"50%\" w:type=\"pct\"/><w:tblInd w:w=\"1cm\" w:type=\"dxa\"/>";
    auto doc = openRewritten(toStrict, tblPr);
    ASSERT_EQ(doc->Tables()->Count(), 1);
    auto table = doc->Tables()->Item(1);
    EXPECT_FLOAT_EQ(table->PreferredWidth(), 50.0f);
    EXPECT_NEAR(table->Rows()->LeftIndent(), 28.35f, 0.05f);
    EXPECT_EQ(doc->Paragraphs()->Item(1)->Range()->Text(), "正文第一段\r");
}

TEST_F(Namespaces, StrictDocumentsAreWrittenBackAsStrict) {
    auto doc = openRewritten(toStrict);
    formatEverything(doc);
    const std::string out = savedMainPart();
    EXPECT_TRUE(undeclaredPrefixes(out).empty()) << out;
    EXPECT_EQ(out.find(kWord), std::string::npos);
    EXPECT_NE(out.find(kStrictWord), std::string::npos);
    Xml xml(out);
    EXPECT_EQ(xml.attr("//w:tblW", "w:w"), "100%");
    EXPECT_EQ(xml.count("//w:tblBorders/w:left"), 0u);
    EXPECT_EQ(xml.count("//w:tblBorders/w:start"), 1u);
    EXPECT_EQ(xml.attr("//w:tc//w:jc", "w:val"), "end");
    EXPECT_EQ(xml.attr("//w:tblHeader", "w:val").empty() ? "true" : xml.attr("//w:tblHeader", "w:val"), "true");
    EXPECT_NE(xml.attr("//w:body/w:p[1]//w:ind", "w:start"), "");
    EXPECT_EQ(xml.attr("//w:body/w:p[1]//w:ind", "w:left"), "");
}

// Suites whose name ends in "LibreOffice" start LibreOffice (see tests/CMakeLists.txt).
class NamespacesLibreOffice : public Namespaces {};

TEST_F(NamespacesLibreOffice, OpensEveryFormattedVariant) {
    if (!libreOfficeAvailable()) GTEST_SKIP() << "LibreOffice is not installed";
    std::vector<std::filesystem::path> variants;
    for (auto change : {toNs0, toDefault, toStrict}) {
        auto doc = openRewritten(change);
        formatEverything(doc);
        variants.push_back(dir.file("variant" + std::to_string(++files) + ".docx"));
        doc->SaveAs(variants.back().string());
        doc->Close(false);
    }
    expectOpensInLibreOffice(variants);
}

}  // namespace
