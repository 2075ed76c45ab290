// Embedded Excel 97-2003 worksheets in the embedded Word: inline shapes and OLE objects, opening an
// object in the embedded Excel, Excel's used range, AutoFit and Copy, and PasteAndFormat replacing the
// object by a Word table.
#include <gtest/gtest.h>

#include "automation/constants.h"
#include "automation/excel.h"
#include "support/libreoffice.h"
#include "support/sheet_docs.h"
#include "support/word_fixture.h"

namespace {

using namespace automation;
using gwtest::errorNumber;
using gwtest::SheetDocument;

class EmbeddedSheetTest : public gwtest::WordTest {
protected:
    void SetUp() override {
        if (gwtest::sampleWorkbooks().empty())
            GTEST_SKIP() << "/usr/bin/python3 with xlwt is needed to write the workbooks";
    }
    std::string workbook(const std::string& name) { return gwtest::fileBytes(gwtest::sampleWorkbooks() / name); }

    // Opens a document holding just this workbook and opens the workbook in Excel: its first worksheet.
    excel::WorksheetPtr editWorkbook(const std::string& name) {
        SheetDocument doc;
        doc.object(workbook(name));
        open(doc.docx());
        return editFirstShape();
    }
    // Opens the first inline shape in Excel: its first worksheet.
    excel::WorksheetPtr editFirstShape() {
        word->ActiveDocument()->InlineShapes()->Item(1)->OLEFormat()->Edit();
        return word->excel()->attachRunning()->ActiveWorkbook()->Worksheets()->Item(1);
    }
    // Word's and Excel's steps for the first inline shape, as the conversion command takes them.
    void convertFirstShape() {
        excel::WorksheetPtr sheet = editFirstShape();
        excel::RangePtr used = sheet->UsedRange();
        sheet->Columns("A:Z")->EntireColumn()->AutoFit();
        used->Copy();
        word->Selection()->PasteAndFormat(wdPasteDefault);
    }
    std::string cellText(int table, int row, int column) {
        std::string text = word->ActiveDocument()->Tables()->Item(table)->Cell(row, column)->Range()->Text();
        return text.substr(0, text.size() - 2);  // without the end-of-cell mark
    }
};

TEST_F(EmbeddedSheetTest, ObjectsArePictureOrOleShapesWithTheirProgId) {
    SheetDocument doc;
    doc.picture().object(workbook("numbers.xls")).object("x", "Word.Document.12");
    gwtest::DocxSpec package = doc.docx();
    package.body =
        "<w:p><w:r><w:object><w:objectEmbed w:progId=\"Excel.Sheet.12\" r:id=\"rIdOle1\"/></w:object></w:r></w:p>" +
        package.body;
    DocumentPtr document = open(package);
    InlineShapesPtr shapes = document->InlineShapes();
    ASSERT_EQ(shapes->Count(), 4);
    EXPECT_EQ(shapes->Item(1)->Type(), wdInlineShapeEmbeddedOLEObject);
    EXPECT_EQ(shapes->Item(1)->OLEFormat()->ProgID(), "Excel.Sheet.12");
    EXPECT_EQ(shapes->Item(2)->Type(), wdInlineShapePicture);
    EXPECT_EQ(errorNumber([&] { shapes->Item(2)->OLEFormat(); }), errors::NotAvailable);
    EXPECT_EQ(shapes->Item(3)->OLEFormat()->ProgID(), "Excel.Sheet.8");
    EXPECT_EQ(shapes->Item(4)->OLEFormat()->ProgID(), "Word.Document.12");
    // Only Excel 97-2003 worksheets open in the embedded Excel.
    EXPECT_EQ(errorNumber([&] { shapes->Item(4)->OLEFormat()->Edit(); }), errors::CommandFailed);
    EXPECT_EQ(errorNumber([&] { shapes->Item(1)->OLEFormat()->Edit(); }), errors::CommandFailed);
    EXPECT_EQ(errorNumber([&] { word->excel()->attachRunning(); }), errors::CannotCreateObject);
}

TEST_F(EmbeddedSheetTest, EditOpensTheWorksheetAndSelectsTheObject) {
    SheetDocument doc;
    doc.text("前言").object(workbook("two_sheets.xls"));
    open(doc.docx());
    word->ActiveDocument()->InlineShapes()->Item(1)->OLEFormat()->Edit();
    EXPECT_EQ(word->Selection()->Start(), 3);
    EXPECT_EQ(word->Selection()->End(), 4);
    excel::ApplicationPtr excel = word->excel()->attachRunning();
    excel::WorksheetsPtr sheets = excel->ActiveWorkbook()->Worksheets();
    ASSERT_EQ(sheets->Count(), 2);
    EXPECT_EQ(sheets->Item(1)->Name(), "第一");
    EXPECT_EQ(sheets->Item(1)->UsedRange()->Address(), "$A$1");
    EXPECT_EQ(errorNumber([&] { sheets->Item(3); }), errors::SubscriptOutOfRange);
    EXPECT_EQ(errorNumber([&] { sheets->Item(1)->UsedRange()->AutoFit(); }), errors::ExcelRefused);
    EXPECT_EQ(errorNumber([&] { sheets->Item(1)->Columns("A:?"); }), errors::ExcelRefused);
    EXPECT_EQ(errorNumber([&] { word->excel()->createNew()->ActiveWorkbook(); }), errors::ObjectNotSet);
}

// Suites whose name ends in "LibreOffice" start LibreOffice (see tests/CMakeLists.txt).
class EmbeddedSheetLibreOffice : public EmbeddedSheetTest {};

TEST_F(EmbeddedSheetLibreOffice, AWorksheetBecomesATableWithTheTextsExcelShows) {
    SheetDocument doc;
    doc.text("表一").object(workbook("numbers.xls")).text("表后");
    open(doc.docx());
    convertFirstShape();
    DocumentPtr document = word->ActiveDocument();
    EXPECT_EQ(document->InlineShapes()->Count(), 0);
    ASSERT_EQ(document->Tables()->Count(), 1);
    TablePtr table = document->Tables()->Item(1);
    ASSERT_EQ(table->Rows()->Count(), 19);
    EXPECT_EQ(table->Columns()->Count(), 2);
    const std::vector<std::pair<std::string, std::string>> expected = {{"项目", "金额"},
                                                                       {"常规", "1234.5"},
                                                                       {"整数", "1235"},
                                                                       {"两位小数", "3.14"},
                                                                       {"千分位", "1,234,567"},
                                                                       {"千分位两位", "-1,234,567.89"},
                                                                       {"百分比", "26%"},
                                                                       {"百分比两位", "12.35%"},
                                                                       {"科学计数", "1.23E+05"},
                                                                       {"括号负数", "(1,500)"},
                                                                       {"中文日期", "2024年3月5日"},
                                                                       {"短日期", "2023/12/31"},
                                                                       {"时间", "13:05:09"},
                                                                       {"中文时间", "9时30分"},
                                                                       {"文本", "00123"},
                                                                       {"大数", "1.23457E+14"},
                                                                       {"小数", "0.3"},
                                                                       {"负数", "-42"},
                                                                       {"合计", "TRUE"}};
    for (int r = 0; r < 19; ++r) {
        EXPECT_EQ(cellText(1, r + 1, 1), expected[static_cast<std::size_t>(r)].first);
        EXPECT_EQ(cellText(1, r + 1, 2), expected[static_cast<std::size_t>(r)].second);
    }
    // The table stands where the object stood, between the paragraphs around it.
    EXPECT_EQ(document->Paragraphs()->Item(1)->Range()->Text(), "表一\r");
    const std::string text = document->Content()->Text();
    EXPECT_EQ(text.substr(text.size() - 9), "\a\r表后\r");  // the object's paragraph stays, empty

    const std::string main = savedMainPart();
    gwtest::Xml xml(main);
    EXPECT_EQ(xml.count("//w:object"), 0u);
    // A worksheet without borders becomes a table without borders, as Word pastes it.
    EXPECT_EQ(xml.count("//w:tblBorders") + xml.count("//w:tcBorders"), 0u);
    // Header: bold and centred as in the worksheet; numbers right-aligned under General alignment.
    EXPECT_EQ(xml.count("//w:tr[1]/w:tc[1]/w:p/w:r/w:rPr/w:b"), 1u);
    EXPECT_EQ(xml.attr("//w:tr[1]/w:tc[1]/w:p/w:pPr/w:jc", "w:val"), "center");
    EXPECT_EQ(xml.attr("//w:tr[2]/w:tc[2]/w:p/w:pPr/w:jc", "w:val"), "right");
    EXPECT_EQ(xml.attr("//w:tr[2]/w:tc[1]/w:p/w:pPr/w:jc", "w:val"), "left");
    EXPECT_EQ(xml.attr("//w:tr[19]/w:tc[1]/w:p/w:r/w:rPr/w:sz", "w:val"), "28");
    EXPECT_EQ(xml.count("//w:tr[19]/w:tc[1]/w:p/w:r/w:rPr/w:i"), 1u);
    EXPECT_EQ(xml.attr("//w:tr[2]/w:tc[1]/w:p/w:r/w:rPr/w:rFonts", "w:eastAsia"), "宋体");

    // The object's data and its preview left the package with it.
    const auto saved = dir.file("out" + std::to_string(files) + ".docx");
    const auto parts = gwtest::readAllParts(saved);
    EXPECT_EQ(parts.count("word/embeddings/oleObject1.bin"), 0u);
    EXPECT_EQ(parts.count("word/media/image1.png"), 0u);
    EXPECT_EQ(parts.at("word/_rels/document.xml.rels").find("rIdOle1"), std::string::npos);
    gwtest::expectOpensInLibreOffice(saved);
}

TEST_F(EmbeddedSheetTest, MergedAreasBecomeMergedCellsAndOnlyAToZAreFitted) {
    excel::WorksheetPtr sheet = editWorkbook("merged.xls");
    excel::RangePtr used = sheet->UsedRange();
    EXPECT_EQ(used->Address(), "$B$2:$AB$6");
    EXPECT_DOUBLE_EQ(sheet->Columns("C")->ColumnWidth(), 20);
    sheet->Columns("A:Z")->EntireColumn()->AutoFit();
    EXPECT_LT(sheet->Columns("C")->ColumnWidth(), 5);   // two digits
    EXPECT_GT(sheet->Columns("B")->ColumnWidth(), 24);  // thirteen Chinese characters; merged cells do not count
    EXPECT_DOUBLE_EQ(sheet->Columns("A")->ColumnWidth(), 8.43);   // empty: left alone
    EXPECT_DOUBLE_EQ(sheet->Columns("AB")->ColumnWidth(), 8.43);  // beyond Z: left alone
    used->Copy();
    word->Selection()->PasteAndFormat(wdPasteDefault);

    gwtest::Xml xml(savedMainPart());
    EXPECT_EQ(xml.count("//w:tblGrid/w:gridCol"), 27u);  // B to AB: copied whole
    EXPECT_EQ(xml.count("//w:tr"), 5u);
    EXPECT_EQ(xml.attr("//w:tr[1]/w:tc[1]/w:tcPr/w:gridSpan", "w:val"), "4");
    EXPECT_EQ(xml.count("//w:tr[1]/w:tc"), 24u);
    EXPECT_EQ(xml.attr("//w:tr[2]/w:tc[1]/w:tcPr/w:vMerge", "w:val"), "restart");
    EXPECT_EQ(xml.count("//w:tr[3]/w:tc[1]/w:tcPr/w:vMerge[not(@w:val)]"), 1u);
    EXPECT_EQ(xml.count("//w:tr[4]/w:tc[1]/w:tcPr/w:vMerge[not(@w:val)]"), 1u);
    EXPECT_EQ(cellText(1, 1, 1), "二〇二四年度统计表");
    EXPECT_EQ(cellText(1, 2, 1), "华东");
    EXPECT_EQ(cellText(1, 2, 2), "22");
    EXPECT_EQ(cellText(1, 5, 27), "AB列");
}

// Excel's own answers: formatted blank cells belong to the used range, AutoFit measures with the
// workbook's standard font (宋体 20 here) and gives empty columns the STANDARDWIDTH back, and the table
// takes each cell's borders.
TEST_F(EmbeddedSheetTest, UsedRangeWidthsAndBordersAreExcels) {
    excel::WorksheetPtr sheet = editWorkbook("borders.xls");
    excel::RangePtr used = sheet->UsedRange();
    EXPECT_EQ(used->Address(), "$A$1:$D$5");
    EXPECT_DOUBLE_EQ(sheet->Columns("F")->ColumnWidth(), 12);
    EXPECT_DOUBLE_EQ(sheet->Columns("E")->ColumnWidth(), 30);
    sheet->Columns("A:Z")->EntireColumn()->AutoFit();
    EXPECT_NEAR(sheet->Columns("B")->ColumnWidth(), 10.5, 0.3);  // ten digits of the standard font
    EXPECT_DOUBLE_EQ(sheet->Columns("E")->ColumnWidth(), 12);
    used->Copy();
    word->Selection()->PasteAndFormat(wdPasteDefault);

    gwtest::Xml xml(savedMainPart());
    EXPECT_EQ(xml.count("//w:tr"), 5u);
    EXPECT_EQ(xml.count("//w:tblBorders"), 0u);
    for (const char* side : {"top", "left", "bottom", "right"})
        EXPECT_EQ(xml.attr(("//w:tr[1]/w:tc[1]/w:tcPr/w:tcBorders/w:" + std::string(side)).c_str(), "w:color"),
                  "000000");
    EXPECT_EQ(xml.attr("//w:tr[1]/w:tc[1]/w:tcPr/w:tcBorders/w:top", "w:sz"), "4");
    EXPECT_EQ(xml.attr("//w:tr[1]/w:tc[2]/w:tcPr/w:tcBorders/w:bottom", "w:sz"), "8");
    EXPECT_EQ(xml.attr("//w:tr[1]/w:tc[2]/w:tcPr/w:tcBorders/w:bottom", "w:color"), "FF0000");
    EXPECT_EQ(xml.attr("//w:tr[1]/w:tc[2]/w:tcPr/w:tcBorders/w:left", "w:color"), "auto");
    EXPECT_EQ(xml.attr("//w:tr[3]/w:tc[3]/w:tcPr/w:tcBorders/w:top", "w:val"), "double");
    EXPECT_EQ(xml.count("//w:tr[3]/w:tc[3]/w:tcPr/w:tcBorders/*"), 1u);
    EXPECT_EQ(xml.count("//w:tr[5]//w:tcBorders"), 0u);
    EXPECT_EQ(cellText(1, 2, 2), "1234567890");
}

TEST_F(EmbeddedSheetTest, PastingWithNothingCopiedOrNothingSelectedChangesNothing) {
    SheetDocument doc;
    doc.object(workbook("numbers.xls"));
    open(doc.docx());
    DocumentPtr document = word->ActiveDocument();
    document->InlineShapes()->Item(1)->Range()->Select();
    EXPECT_EQ(errorNumber([&] { word->Selection()->PasteAndFormat(wdPasteDefault); }), errors::CommandFailed);
    EXPECT_EQ(document->InlineShapes()->Count(), 1);
    EXPECT_EQ(document->Tables()->Count(), 0);
    EXPECT_TRUE(document->Saved());
    // With a range copied but the selection elsewhere, nothing is pasted either.
    document->InlineShapes()->Item(1)->OLEFormat()->Edit();
    word->excel()->attachRunning()->ActiveWorkbook()->Worksheets()->Item(1)->UsedRange()->Copy();
    document->Range(0, 0)->Select();
    EXPECT_EQ(errorNumber([&] { word->Selection()->PasteAndFormat(wdPasteDefault); }), errors::CommandFailed);
    EXPECT_EQ(document->InlineShapes()->Count(), 1);
}

TEST_F(EmbeddedSheetTest, ADamagedWorksheetFailsToOpenAndStaysInPlace) {
    SheetDocument doc;
    std::string broken = workbook("numbers.xls");
    broken.resize(broken.size() / 2);
    doc.object(broken).object(gwtest::compoundFile("Workbook", std::string("\x09\x08\x10\0\0\x06\x05\0", 8)));
    open(doc.docx());
    InlineShapesPtr shapes = word->ActiveDocument()->InlineShapes();
    EXPECT_EQ(errorNumber([&] { shapes->Item(1)->OLEFormat()->Edit(); }), errors::ExcelRefused);
    EXPECT_EQ(errorNumber([&] { shapes->Item(2)->OLEFormat()->Edit(); }), errors::ExcelRefused);
    EXPECT_EQ(shapes->Count(), 2);
    EXPECT_EQ(errorNumber([&] { word->excel()->attachRunning(); }), errors::CannotCreateObject);
}

TEST_F(EmbeddedSheetTest, ThreeObjectsBecomeThreeTablesInDocumentOrder) {
    SheetDocument doc;
    doc.object(workbook("numbers.xls")).object(workbook("merged.xls")).object(workbook("two_sheets.xls"));
    open(doc.docx());
    for (int i = 0; i < 3; ++i) convertFirstShape();
    DocumentPtr document = word->ActiveDocument();
    EXPECT_EQ(document->InlineShapes()->Count(), 0);
    ASSERT_EQ(document->Tables()->Count(), 3);
    EXPECT_EQ(cellText(1, 1, 1), "项目");
    EXPECT_EQ(cellText(2, 1, 1), "二〇二四年度统计表");
    EXPECT_EQ(cellText(3, 1, 1), "第一张表");
    const auto saved = dir.file("three.docx");
    document->SaveAs(saved.string());
    for (const auto& [name, bytes] : gwtest::readAllParts(saved)) {
        EXPECT_EQ(name.find("embeddings/"), std::string::npos) << name;
        EXPECT_EQ(name.find("media/"), std::string::npos) << name;
    }
}

}  // namespace
