// Fonts, paragraph formats, table geometry and borders as the embedded Word writes and reads them.
#include <gtest/gtest.h>

#include "automation/global.h"
#include "support/word_fixture.h"

using namespace gwtest;
using namespace automation;

namespace {

class Formatting : public WordTest {};

TEST_F(Formatting, EastAsianFontThenLatinFontKeepsChineseText) {
    auto doc = open(table(2, 2));
    doc->Tables()->Item(1)->Select();
    auto font = word->Selection()->Font();
    font->SetName("宋体");
    font->SetName("Times New Roman");
    font->SetSize(10.5f);
    Xml xml(savedMainPart());
    auto fonts = xml.all("//w:tc//w:r/w:rPr/w:rFonts");
    ASSERT_EQ(fonts.size(), 4u);
    for (auto f : fonts) {
        EXPECT_STREQ(f.node().attribute("w:eastAsia").value(), "宋体");
        EXPECT_STREQ(f.node().attribute("w:ascii").value(), "Times New Roman");
        EXPECT_STREQ(f.node().attribute("w:hAnsi").value(), "Times New Roman");
    }
    EXPECT_EQ(xml.count("//w:tc//w:r/w:rPr/w:sz[@w:val='21']"), 4u);
    EXPECT_EQ(xml.count("//w:tc//w:pPr/w:rPr/w:sz[@w:val='21']"), 4u);  // the paragraph marks too
    EXPECT_FLOAT_EQ(font->Size(), 10.5f);
    EXPECT_EQ(font->Name(), "Times New Roman");
}

// The document's parts as the package keeps them (read again from the file, or deflated by a save)
// come back whole in a captured state, and a restored document takes edits and saves as before.
TEST_F(Formatting, CapturedStatesSurviveSavesAndRestoredDocumentsTakeEdits) {
    auto doc = open(table(2, 2));
    const std::string opened = savedMainPart();
    auto untouched = word->captureState();  // before any change: the part as the file holds it

    doc->Tables()->Item(1)->Select();
    word->Selection()->ParagraphFormat()->SetAlignment(1);
    const std::string centred = savedMainPart();
    auto afterSave = word->captureState();  // the part as the save deflated it
    word->Selection()->ParagraphFormat()->SetAlignment(2);
    EXPECT_EQ(count(savedMainPart(), "w:val=\"right\""), 4);

    word->restoreState(*afterSave, true);
    EXPECT_EQ(savedMainPart(), centred);
    word->restoreState(*untouched, true);
    EXPECT_EQ(savedMainPart(), opened);
    doc->Tables()->Item(1)->Select();
    word->Selection()->ParagraphFormat()->SetSpaceBefore(6.0f);
    EXPECT_EQ(count(savedMainPart(), "w:before=\"120\""), 4);
}

// The copy of a long document's beginning: its first blocks with the page setup of the section they
// end in, the styles as they stand, and the document itself untouched; a short document has none.
TEST_F(Formatting, BeginningCopyHoldsTheFirstBlocksWithTheirSection) {
    const std::string landscape = "<w:sectPr><w:pgSz w:w=\"16838\" w:h=\"11906\" w:orient=\"landscape\"/></w:sectPr>";
    std::string body = para("第一节", "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/></w:sectPr>");
    for (int i = 1; i <= 6; ++i) body += para("段落" + std::to_string(i)) + table(2, 2);
    auto doc = open(body + landscape);
    doc->Content()->Font()->SetSize(15.0f);  // a change not saved yet: the copy has it
    const std::string whole = savedMainPart();

    const auto beginning = dir.file("beginning.docx");
    ASSERT_TRUE(word->saveBeginningCopy(beginning.string(), 8));  // 2 and 4 in each block and table
    const Xml cut(readPart(beginning, "word/document.xml"));
    EXPECT_EQ(cut.count("/w:document/w:body/*"), 6u);  // five blocks and the closing page setup
    EXPECT_EQ(cut.count("/w:document/w:body/w:tbl"), 2u);
    EXPECT_EQ(cut.attr("/w:document/w:body/w:sectPr/w:pgSz", "w:orient"), "landscape");
    EXPECT_EQ(cut.count("//w:p/w:pPr/w:sectPr"), 1u);  // the first section's own break comes along
    EXPECT_EQ(cut.attr("//w:r/w:rPr/w:sz", "w:val"), "30");
    EXPECT_EQ(savedMainPart(), whole);
    EXPECT_FALSE(word->saveBeginningCopy(dir.file("none.docx").string(), 31));
    EXPECT_FALSE(std::filesystem::exists(dir.file("none.docx")));
}

TEST_F(Formatting, LatinNamedEastAsianFontsAndThemeFonts) {
    auto doc = open(
        "<w:p><w:r><w:rPr><w:rFonts w:asciiTheme=\"minorHAnsi\" w:eastAsiaTheme=\"minorEastAsia\"/>"
        "</w:rPr><w:t>x</w:t></w:r></w:p>");
    doc->Content()->Font()->SetName("SimHei");
    Xml xml(savedMainPart());
    auto f = xml.one("//w:r/w:rPr/w:rFonts");
    EXPECT_STREQ(f.attribute("w:eastAsia").value(), "SimHei");
    EXPECT_TRUE(f.attribute("w:asciiTheme").empty());
    EXPECT_TRUE(f.attribute("w:eastAsiaTheme").empty());
    EXPECT_EQ(errorNumber([&] { doc->Content()->Font()->SetSize(0.0f); }), 4608);
}

TEST_F(Formatting, ParagraphResetAndSpacing) {
    auto doc = open(para("a",
                         "<w:spacing w:before=\"120\" w:beforeLines=\"50\"/><w:ind w:leftChars=\"200\" "
                         "w:left=\"420\" w:firstLineChars=\"200\" w:firstLine=\"420\"/>"));
    auto pf = doc->Content()->ParagraphFormat();
    pf->SetSpaceBefore(0);
    pf->SetSpaceBeforeAuto(false);
    pf->SetSpaceAfterAuto(false);
    pf->SetLineUnitBefore(0);
    pf->SetWordWrap(true);
    pf->SetCharacterUnitLeftIndent(0);
    pf->SetCharacterUnitRightIndent(0);
    pf->SetCharacterUnitFirstLineIndent(0);
    pf->SetLineSpacing(18);
    pf->SetAlignment(wdAlignParagraphCenter);
    Xml xml(savedMainPart());
    auto spacing = xml.one("//w:pPr/w:spacing");
    EXPECT_STREQ(spacing.attribute("w:before").value(), "0");
    EXPECT_STREQ(spacing.attribute("w:beforeLines").value(), "0");
    EXPECT_STREQ(spacing.attribute("w:beforeAutospacing").value(), "0");
    EXPECT_STREQ(spacing.attribute("w:afterAutospacing").value(), "0");
    EXPECT_STREQ(spacing.attribute("w:line").value(), "360");  // 1.5 lines
    EXPECT_STREQ(spacing.attribute("w:lineRule").value(), "auto");
    auto ind = xml.one("//w:pPr/w:ind");
    EXPECT_STREQ(ind.attribute("w:leftChars").value(), "0");
    EXPECT_STREQ(ind.attribute("w:left").value(), "0");
    EXPECT_STREQ(ind.attribute("w:firstLineChars").value(), "0");
    EXPECT_STREQ(ind.attribute("w:firstLine").value(), "0");
    EXPECT_EQ(xml.attr("//w:pPr/w:wordWrap", "w:val"), "1");
    EXPECT_EQ(xml.attr("//w:pPr/w:jc", "w:val"), "center");
    // Children stay in the schema's order: wordWrap, spacing, ind, jc.
    std::string order;
    for (auto c : xml.one("//w:pPr").children()) order += std::string(c.name()) + " ";
    EXPECT_EQ(order, "w:wordWrap w:spacing w:ind w:jc ");
    EXPECT_FLOAT_EQ(pf->LineSpacing(), 18.0f);
    EXPECT_EQ(pf->LineSpacingRule(), wdLineSpace1pt5);
}

TEST_F(Formatting, ExactLineSpacingStaysExactAndIndentsInPointsAndCharacters) {
    auto doc = open(para("a", "<w:spacing w:line=\"300\" w:lineRule=\"exact\"/>") + para("b"));
    doc->Paragraphs()->Item(1)->Format()->SetLineSpacing(12);
    auto second = doc->Paragraphs()->Item(2)->Format();
    second->SetLineUnitBefore(0.5f);
    second->SetLineUnitAfter(1);
    second->SetCharacterUnitFirstLineIndent(2);
    second->SetLeftIndent(0);
    second->SetRightIndent(8.5f);
    Xml xml(savedMainPart());
    EXPECT_EQ(xml.attr("//w:p[1]/w:pPr/w:spacing", "w:line"), "240");
    EXPECT_EQ(xml.attr("//w:p[1]/w:pPr/w:spacing", "w:lineRule"), "exact");
    EXPECT_EQ(xml.attr("//w:p[2]/w:pPr/w:spacing", "w:beforeLines"), "50");
    EXPECT_EQ(xml.attr("//w:p[2]/w:pPr/w:spacing", "w:afterLines"), "100");
    EXPECT_EQ(xml.attr("//w:p[2]/w:pPr/w:ind", "w:firstLineChars"), "200");
    EXPECT_EQ(xml.attr("//w:p[2]/w:pPr/w:ind", "w:left"), "0");
    EXPECT_EQ(xml.attr("//w:p[2]/w:pPr/w:ind", "w:right"), "170");
    EXPECT_FLOAT_EQ(second->CharacterUnitFirstLineIndent(), 2.0f);
}

TEST_F(Formatting, AlignmentResolvesThroughTheStyleChain) {
    const std::string styles =
        "<w:docDefaults><w:pPrDefault><w:pPr><w:jc w:val=\"both\"/></w:pPr></w:pPrDefault></w:docDefaults>"
        "<w:style w:type=\"paragraph\" w:styleId=\"Base\"><w:pPr><w:jc w:val=\"center\"/></w:pPr></w:style>"
        "<w:style w:type=\"paragraph\" w:styleId=\"Title\"><w:basedOn w:val=\"Base\"/></w:style>";
    auto doc = open(para("t", "<w:pStyle w:val=\"Title\"/>") + para("b") +
                        para("r", "<w:pStyle w:val=\"Title\"/><w:jc w:val=\"right\"/>"),
                    styles);
    auto paragraphs = doc->Paragraphs();
    EXPECT_EQ(paragraphs->Item(1)->Format()->Alignment(), wdAlignParagraphCenter);
    EXPECT_EQ(paragraphs->Item(2)->Format()->Alignment(), wdAlignParagraphJustify);
    EXPECT_EQ(paragraphs->Item(3)->Format()->Alignment(), wdAlignParagraphRight);
    EXPECT_EQ(doc->Content()->ParagraphFormat()->Alignment(), wdUndefined);
}

TEST_F(Formatting, TableWidthRowsAndCells) {
    auto doc = open(table(3, 2, "<w:tblW w:w=\"3000\" w:type=\"dxa\"/><w:tblInd w:w=\"200\" w:type=\"dxa\"/>") +
                    "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/><w:pgMar w:left=\"1800\" w:right=\"1800\" "
                    "w:top=\"1440\" w:bottom=\"1440\"/></w:sectPr>");
    auto t = doc->Tables()->Item(1);
    t->SetPreferredWidthType(wdPreferredWidthAuto);
    t->SetPreferredWidth(0);
    EXPECT_EQ(t->PreferredWidthType(), wdPreferredWidthAuto);
    t->Rows()->SetHeightRule(wdRowHeightAtLeast);
    t->Rows()->SetHeight(14.17f);
    t->Rows()->SetHeadingFormat(true);
    t->Select();
    word->Selection()->Cells()->SetVerticalAlignment(wdCellAlignVerticalCenter);
    t->Cell(2, 2)->SetRightPadding(0);
    t->AutoFitBehavior(wdAutoFitWindow);
    Xml fitted(savedMainPart());
    EXPECT_EQ(fitted.attr("//w:tblPr/w:tblW", "w:type"), "pct");
    EXPECT_EQ(fitted.attr("//w:tblPr/w:tblW", "w:w"), "5000");
    EXPECT_EQ(fitted.attr("//w:tblPr/w:tblInd", "w:w"), "200");  // fitting keeps the indent
    EXPECT_EQ(fitted.attr("//w:tblGrid/w:gridCol[1]", "w:w"), "4153");
    EXPECT_EQ(fitted.attr("//w:tblGrid/w:gridCol[2]", "w:w"), "4153");
    EXPECT_EQ(fitted.count("//w:trPr/w:trHeight[@w:val='283'][@w:hRule='atLeast']"), 3u);
    EXPECT_EQ(fitted.count("//w:trPr/w:tblHeader"), 3u);
    EXPECT_EQ(fitted.count("//w:tcPr/w:vAlign[@w:val='center']"), 6u);
    EXPECT_EQ(fitted.attr("//w:tr[2]/w:tc[2]/w:tcPr/w:tcMar/w:right", "w:w"), "0");

    t->SetAllowAutoFit(false);
    t->Rows()->SetLeftIndent(0);
    t->SetPreferredWidthType(wdPreferredWidthPoints);
    t->SetPreferredWidth(340.16f);
    t->Rows()->SetHeadingFormat(false);
    Xml fixed(savedMainPart());
    EXPECT_EQ(fixed.attr("//w:tblPr/w:tblLayout", "w:type"), "fixed");
    EXPECT_EQ(fixed.attr("//w:tblPr/w:tblInd", "w:w"), "0");
    EXPECT_EQ(fixed.attr("//w:tblPr/w:tblW", "w:type"), "dxa");
    EXPECT_EQ(fixed.attr("//w:tblPr/w:tblW", "w:w"), "6803");
    EXPECT_EQ(fixed.count("//w:tblHeader"), 0u);
    std::string order;
    for (auto c : fixed.one("//w:tblPr").children()) order += std::string(c.name()) + " ";
    EXPECT_EQ(order, "w:tblW w:tblInd w:tblLayout ");
}

TEST_F(Formatting, BordersOfAWholeTableReplaceCellBorders) {
    const std::string cellBorders =
        "<w:tcBorders><w:top w:val=\"single\" w:sz=\"2\"/><w:left w:val=\"single\" w:sz=\"2\"/>"
        "<w:bottom w:val=\"single\" w:sz=\"2\"/><w:right w:val=\"single\" w:sz=\"2\"/></w:tcBorders>";
    auto doc = open(
        tbl(row(cell("a", cellBorders) + cell("b", cellBorders)) + row(cell("c", cellBorders) + cell("d", cellBorders)),
            "", 2));
    doc->Tables()->Item(1)->Select();
    auto borders = word->Selection()->Borders();
    for (int edge : {wdBorderLeft, wdBorderRight, wdBorderTop, wdBorderBottom, wdBorderHorizontal, wdBorderVertical}) {
        borders->Item(edge)->SetLineStyle(wdLineStyleSingle);
        borders->Item(edge)->SetLineWidth(wdLineWidth100pt);
    }
    Xml xml(savedMainPart());
    for (const char* edge : {"top", "left", "bottom", "right", "insideH", "insideV"}) {
        const std::string path = std::string("//w:tblPr/w:tblBorders/w:") + edge;
        EXPECT_EQ(xml.attr(path.c_str(), "w:val"), "single") << edge;
        EXPECT_EQ(xml.attr(path.c_str(), "w:sz"), "8") << edge;
    }
    EXPECT_EQ(xml.count("//w:tcBorders/*"), 0u);
    for (int edge : {wdBorderLeft, wdBorderTop, wdBorderHorizontal, wdBorderVertical}) {
        EXPECT_EQ(borders->Item(edge)->LineStyle(), wdLineStyleSingle);
        EXPECT_EQ(borders->Item(edge)->LineWidth(), wdLineWidth100pt);
    }
    // No left and right lines: style 0 written as nil.
    borders->Item(wdBorderLeft)->SetLineStyle(wdLineStyleNone);
    EXPECT_EQ(borders->Item(wdBorderLeft)->LineStyle(), wdLineStyleNone);
    EXPECT_EQ(Xml(savedMainPart()).attr("//w:tblBorders/w:left", "w:val"), "nil");
}

TEST_F(Formatting, LineStylesAndWidthsWordDoesNotOffer) {
    auto doc = open(table(2, 2));
    doc->Tables()->Item(1)->Select();
    auto top = word->Selection()->Borders()->Item(wdBorderTop);
    top->SetLineStyle(wdLineStyleSingle);
    top->SetLineWidth(wdLineWidth100pt);
    // Switching to a double line keeps a width that a double line has.
    top->SetLineStyle(wdLineStyleDouble);
    EXPECT_EQ(top->LineStyle(), wdLineStyleDouble);
    EXPECT_EQ(errorNumber([&] { top->SetLineWidth(wdLineWidth100pt); }), 4608);
    EXPECT_NO_THROW(top->SetLineWidth(wdLineWidth150pt));
    EXPECT_EQ(errorNumber([&] { top->SetLineStyle(99); }), 4608);
    EXPECT_EQ(errorNumber([&] { top->SetLineWidth(7); }), 4608);
    EXPECT_EQ(errorNumber([&] { word->Selection()->Borders()->Item(-7); }), 5941);
}

TEST_F(Formatting, BorderReadFollowsTableStyleAndReportsMixedEdges) {
    const std::string styles =
        "<w:style w:type=\"table\" w:styleId=\"Base\"><w:tblPr><w:tblBorders>"
        "<w:top w:val=\"double\" w:sz=\"4\"/><w:left w:val=\"single\" w:sz=\"4\"/><w:insideH w:val=\"dotted\" "
        "w:sz=\"4\"/>"
        "</w:tblBorders></w:tblPr></w:style>"
        "<w:style w:type=\"table\" w:styleId=\"Grid\"><w:basedOn w:val=\"Base\"/></w:style>";
    const std::string noLeft = "<w:tcBorders><w:left w:val=\"nil\"/></w:tcBorders>";
    auto doc = open(
        table(2, 2, "<w:tblStyle w:val=\"Grid\"/>") + para("") +
            tbl(row(cell("a", noLeft) + cell("b")) + row(cell("c") + cell("d")), "<w:tblStyle w:val=\"Grid\"/>", 2) +
            para("") + table(2, 2),
        styles);
    auto styled = doc->Tables()->Item(1);
    EXPECT_EQ(styled->Borders()->Item(wdBorderTop)->LineStyle(), wdLineStyleDouble);
    EXPECT_EQ(styled->Borders()->Item(wdBorderLeft)->LineStyle(), wdLineStyleSingle);
    EXPECT_EQ(styled->Borders()->Item(wdBorderHorizontal)->LineStyle(), wdLineStyleDot);
    EXPECT_EQ(styled->Borders()->Item(wdBorderBottom)->LineStyle(), wdLineStyleNone);
    doc->Tables()->Item(2)->Select();
    EXPECT_EQ(word->Selection()->Borders()->Item(wdBorderLeft)->LineStyle(), wdUndefined);
    doc->Tables()->Item(3)->Select();
    EXPECT_EQ(word->Selection()->Borders()->Item(wdBorderLeft)->LineStyle(), wdLineStyleNone);
    EXPECT_EQ(word->Selection()->Borders()->Item(wdBorderTop)->LineStyle(), wdLineStyleNone);
}

TEST_F(Formatting, PartOfATableGetsCellBorders) {
    auto doc = open(table(3, 3));
    auto t = doc->Tables()->Item(1);
    doc->Range(t->Cell(2, 2)->Range()->Start(), t->Cell(3, 3)->Range()->End())->Select();
    word->Selection()->Borders()->Item(wdBorderTop)->SetLineStyle(wdLineStyleDouble);
    Xml xml(savedMainPart());
    EXPECT_EQ(xml.count("//w:tblBorders"), 0u);
    EXPECT_EQ(xml.count("//w:tr[2]/w:tc/w:tcPr/w:tcBorders/w:top[@w:val='double']"), 2u);
    EXPECT_EQ(xml.count("//w:tr[1]/w:tc/w:tcPr/w:tcBorders/w:bottom[@w:val='double']"), 2u);
}

// Whether a table's cells have borders of their own is remembered between changes: cell borders
// written after the table's lines are seen by the next read of the whole table and go with its next line.
TEST_F(Formatting, CellBordersWrittenAfterTableLinesAreSeenAndReplaced) {
    auto doc = open(table(3, 3));
    auto t = doc->Tables()->Item(1);
    t->Select();
    word->Selection()->Borders()->Item(wdBorderHorizontal)->SetLineStyle(wdLineStyleSingle);
    EXPECT_EQ(word->Selection()->Borders()->Item(wdBorderHorizontal)->LineStyle(), wdLineStyleSingle);
    doc->Range(t->Cell(2, 2)->Range()->Start(), t->Cell(3, 3)->Range()->End())->Select();
    word->Selection()->Borders()->Item(wdBorderTop)->SetLineStyle(wdLineStyleDouble);
    ASSERT_EQ(Xml(savedMainPart()).count("//w:tcBorders/*"), 4u);
    t->Select();
    auto inside = word->Selection()->Borders()->Item(wdBorderHorizontal);
    EXPECT_EQ(inside->LineStyle(), wdUndefined);
    inside->SetLineStyle(wdLineStyleSingle);
    EXPECT_EQ(Xml(savedMainPart()).count("//w:tcBorders/*"), 0u);
    EXPECT_EQ(inside->LineStyle(), wdLineStyleSingle);
}

TEST_F(Formatting, AnInsertionPointInACellAnswersWithTheCellsBorders) {
    const std::string noTop = "<w:tcBorders><w:top w:val=\"nil\"/></w:tcBorders>";
    auto doc = open(tbl(row(cell("a", noTop) + cell("b")),
                        "<w:tblBorders><w:top w:val=\"single\" w:sz=\"4\"/>"
                        "</w:tblBorders>",
                        2));
    auto t = doc->Tables()->Item(1);
    const int inB = t->Cell(1, 2)->Range()->Start();
    doc->Range(inB, inB)->Select();
    EXPECT_EQ(word->Selection()->Borders()->Item(wdBorderTop)->LineStyle(), wdLineStyleSingle);
    word->Selection()->Borders()->Item(wdBorderBottom)->SetLineStyle(wdLineStyleDouble);
    Xml xml(savedMainPart());
    EXPECT_EQ(xml.count("//w:tc[2]/w:tcPr/w:tcBorders/w:bottom[@w:val='double']"), 1u);
    EXPECT_EQ(xml.count("//w:pBdr"), 0u);
}

TEST_F(Formatting, ParagraphBordersAnswerForTextSelections) {
    auto doc = open(para("a", "<w:pBdr><w:top w:val=\"single\" w:sz=\"4\"/></w:pBdr>") + para("b"));
    doc->Range(0, 1)->Select();
    auto borders = word->Selection()->Borders();
    EXPECT_EQ(borders->Item(wdBorderTop)->LineStyle(), wdLineStyleSingle);
    EXPECT_EQ(borders->Item(wdBorderLeft)->LineStyle(), wdLineStyleNone);
    doc->Content()->Select();
    EXPECT_EQ(word->Selection()->Borders()->Item(wdBorderTop)->LineStyle(), wdUndefined);
}

TEST_F(Formatting, UnitConversionsAreSinglePrecision) {
    EXPECT_FLOAT_EQ(CentimetersToPoints(0.5f), 14.173228f);
    EXPECT_FLOAT_EQ(CentimetersToPoints(12), 340.15747f);
    EXPECT_FLOAT_EQ(LinesToPoints(1.5f), 18.0f);
}

}  // namespace
