// Excel through COM: attached to the running Excel or started anew, members by Excel's names, Nothing
// and a missing Excel as the numbers Excel macros see.
#include "com_test_fixture.h"

#include "automation/com/excel_application.h"

using namespace comtest;
using namespace automation;

namespace {

using Calls = std::vector<std::string>;

class ExcelTest : public ComTest {
protected:
    std::shared_ptr<excel::Launcher> launcher = com::createExcelLauncher();
};

TEST_F(ExcelTest, AttachesToTheRunningExcelAndReachesTheUsedRange) {
    server.runExcel();
    {
        excel::ApplicationPtr excel = launcher->attachRunning();
        server.clearCalls();
        excel::WorksheetPtr sheet = excel->ActiveWorkbook()->Worksheets()->Item(1);
        excel::RangePtr used = sheet->UsedRange();
        sheet->Columns("A:Z")->EntireColumn()->AutoFit();
        used->Copy();
        EXPECT_EQ(server.calls(), (Calls{"Excel.Application.ActiveWorkbook GET()", "Excel.Workbook.Worksheets GET()",
                                         "Excel.Worksheets.Item GET(I4 1)", "Excel.Worksheet.UsedRange GET()",
                                         "Excel.Worksheet.Columns GET(BSTR A:Z)", "Excel.Range.EntireColumn GET()",
                                         "Excel.Range.AutoFit METHOD()", "Excel.Range.Copy METHOD(missing)"}));
    }
    server.stopExcel();
}

TEST_F(ExcelTest, WithoutARunningExcelAttachingFailsWith429) {
    EXPECT_EQ(errorNumber([&] { launcher->attachRunning(); }), errors::CannotCreateObject);
}

TEST_F(ExcelTest, ANewExcelOpensTheWorkbookByFileName) {
    excel::ApplicationPtr excel = launcher->createNew();
    server.clearCalls();
    excel->Workbooks()->Open("C:\\程序\\2Brindle2012dll.xls");
    excel->SetVisible(false);
    server.returnString("Excel.Range.Address", "$B$2:$D$9");
    server.on("Excel.Range.ColumnWidth", answers([](VARIANT* v) {
                  v->vt = VT_R8;
                  v->dblVal = 8.43;
              }));
    excel::RangePtr used = excel->ActiveWorkbook()->Worksheets()->Item(1)->UsedRange();
    EXPECT_EQ(used->Address(), "$B$2:$D$9");
    EXPECT_DOUBLE_EQ(used->ColumnWidth(), 8.43);
    EXPECT_EQ(server.calls()[0], "Excel.Application.Workbooks GET()");
    EXPECT_EQ(server.calls()[1], "Excel.Workbooks.Open METHOD(BSTR C:\\程序\\2Brindle2012dll.xls)");
    EXPECT_EQ(server.calls()[2], "Excel.Application.Visible PUT(BOOL 0)");
}

TEST_F(ExcelTest, NoActiveWorkbookIsObjectNotSet) {
    server.on("Excel.Application.ActiveWorkbook", answers([](VARIANT* v) {
                  v->vt = VT_DISPATCH;
                  v->pdispVal = nullptr;
              }));
    excel::ApplicationPtr excel = launcher->createNew();
    EXPECT_EQ(errorNumber([&] { excel->ActiveWorkbook(); }), errors::ObjectNotSet);
}

TEST_F(ExcelTest, WordsSideOfTheConversion) {
    server.clearCalls();
    word->ActiveDocument()->InlineShapes()->Item(1)->OLEFormat()->Edit();
    word->Selection()->PasteAndFormat(wdPasteDefault);
    EXPECT_EQ(server.calls(),
              (Calls{"Application.ActiveDocument GET()", "Document.InlineShapes GET()",
                     "InlineShapes.Item METHOD(I4 1)", "InlineShape.OLEFormat GET()", "OLEFormat.Edit METHOD()",
                     "Application.Selection GET()", "Selection.PasteAndFormat METHOD(I4 0)"}));
}

}  // namespace
