// "开   始" of the frame "文档内嵌excel表格": the document's embedded Excel 97-2003 worksheets become
// Word tables, at most ten attempts a run.
//
// Each attempt looks at one inline shape. A shape that is not an "Excel.Sheet.8" object, or whose
// conversion failed, is stepped past, so that a picture or a damaged worksheet in front does not
// block every object behind it; it still counts as one of the ten. A converted object leaves the
// document, so the next attempt meets the shape that followed it at the same number.
#include "commands/active_document.h"
#include "commands/pass_over.h"
#include "utilities/utilities.h"

namespace utilities {

namespace {

// Excel's steps on the worksheet just opened for editing: the used range of worksheet 1 of the active
// workbook is taken, columns A to Z are fitted, then the range is copied. True when this attempt's
// range is on the clipboard (only then may it be pasted).
bool copyFirstWorksheet(automation::excel::Launcher& excel, commands::PassOver& passOver) {
    automation::excel::ApplicationPtr running;
    automation::excel::WorksheetPtr sheet;
    automation::excel::RangePtr used;
    passOver.run("GetObject", [&] { running = excel.attachRunning(); });
    if (!running) return false;
    passOver.run("ActiveWorkbook.Worksheets.UsedRange", [&] {
        sheet = running->ActiveWorkbook()->Worksheets()->Item(1);
        used = sheet->UsedRange();
    });
    if (!used) return false;
    passOver.run("Columns.EntireColumn.AutoFit", [&] { sheet->Columns("A:Z")->EntireColumn()->AutoFit(); });
    return passOver.run("Range.Copy", [&] { used->Copy(); });
}

}  // namespace

UtilityResult convertEmbeddedSheets(automation::Application& word, automation::excel::Launcher& excel,
                                    commands::CommandHost& host) {
    host.showMessage(kEmbeddedSheetsNotice);
    const automation::DocumentPtr document = commands::activeDocument(word);
    if (!document) return noDocument(host);
    const automation::InlineShapesPtr shapes = document->InlineShapes();
    const int shapeCount = shapes->Count();

    UtilityResult result;
    commands::PassOver passOver;  // off until the first embedded OLE object is met
    int next = 1;                 // the number of the shape the next attempt looks at
    for (int attempt = 1; attempt <= shapeCount && attempt <= kEmbeddedSheetAttempts; ++attempt) {
        automation::InlineShapePtr shape;
        int type = 0;
        // A shape whose type cannot be read ends its attempt, pass-over or not.
        const bool readable = commands::PassOver(true).run([&] {
            if (shapes->Count() < next) return;
            shape = shapes->Item(next);
            type = shape->Type();
        });
        if (readable && !shape) break;  // no shape left
        if (!readable || type != automation::wdInlineShapeEmbeddedOLEObject) {
            ++next;
            continue;
        }
        passOver.setOn(true);
        std::string progId;
        const bool converted = passOver.run("OLEFormat.ProgID", [&] { progId = shape->OLEFormat()->ProgID(); }) &&
                               progId == kExcelSheet8 &&
                               passOver.run("OLEFormat.Edit", [&] { shape->OLEFormat()->Edit(); }) &&
                               copyFirstWorksheet(excel, passOver) && passOver.run("Selection.PasteAndFormat", [&] {
                                   word.Selection()->PasteAndFormat(automation::wdPasteDefault);
                               });
        if (converted)
            ++result.count;
        else
            ++next;
    }
    passOver.setOn(true);
    passOver.run("Application.Visible", [&] { word.SetVisible(true); });
    result.passedOver = passOver.failures();
    return result;
}

}  // namespace utilities
