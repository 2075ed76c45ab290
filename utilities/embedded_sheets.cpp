// "开   始" of the frame "文档内嵌excel表格": the document's embedded Excel 97-2003 worksheets become
// Word tables, at most ten attempts a run.
//
// Each attempt looks at one inline shape. A shape that is not an "Excel.Sheet.8" object, or whose
// conversion failed, is stepped past, so that a picture or a damaged worksheet in front does not
// block every object behind it; it still counts as one of the ten. A converted object leaves the
// document, so the next attempt meets the shape that followed it at the same number. Every embedded
// object the run meets and does not convert is told to the user with its reason.
#include "commands/active_document.h"
#include "commands/pass_over.h"
#include "utilities/utilities.h"

namespace utilities {

namespace {

SheetProblem problemOf(automation::excel::WorkbookProblem problem) {
    switch (problem) {
        case automation::excel::WorkbookProblem::Encrypted: return SheetProblem::Encrypted;
        case automation::excel::WorkbookProblem::OldVersion: return SheetProblem::OldVersion;
        case automation::excel::WorkbookProblem::TooLarge: return SheetProblem::TooLarge;
        case automation::excel::WorkbookProblem::Damaged: break;
    }
    return SheetProblem::Damaged;
}

// The steps of one conversion under pass-over: a step that fails is passed over, and the object's
// outcome keeps why.
class Attempt {
public:
    Attempt(commands::PassOver& passOver, SheetOutcome& outcome)
        : passOver_(passOver), outcome_(outcome), firstFailure_(passOver.passedOver().size()) {}

    // Runs a step; `what` names it for the user.
    template <typename Step>
    bool step(const char* what, const char* operation, Step&& step) {
        return passOver_.run(operation, [&] {
            try {
                step();
            } catch (const automation::excel::WorkbookRefused& e) {
                fail(problemOf(e.problem()), e.reason());
                throw;
            } catch (const automation::Error& e) {
                fail(SheetProblem::Failed, std::string(what) + "失败：" + e.message());
                throw;
            }
        });
    }
    void fail(SheetProblem problem, std::string reason) {
        outcome_.problem = problem;
        outcome_.reason = std::move(reason);
    }
    void finish(bool converted) {
        if (converted) fail(SheetProblem::None, {});
        const auto& all = passOver_.passedOver();
        outcome_.failedSteps.assign(all.begin() + static_cast<std::ptrdiff_t>(firstFailure_), all.end());
    }

private:
    commands::PassOver& passOver_;
    SheetOutcome& outcome_;
    std::size_t firstFailure_;
};

// Excel's steps on the worksheet just opened for editing: the used range of worksheet 1 of the active
// workbook is taken, columns A to Z are fitted, then the range is copied. True when this attempt's
// range is on the clipboard (only then may it be pasted).
bool copyFirstWorksheet(automation::excel::Launcher& excel, Attempt& attempt) {
    automation::excel::ApplicationPtr running;
    automation::excel::WorksheetPtr sheet;
    automation::excel::RangePtr used;
    attempt.step("连接 Excel", "GetObject", [&] { running = excel.attachRunning(); });
    if (!running) return false;
    attempt.step("读取工作表", "ActiveWorkbook.Worksheets.UsedRange", [&] {
        sheet = running->ActiveWorkbook()->Worksheets()->Item(1);
        used = sheet->UsedRange();
    });
    if (!used) return false;
    attempt.step("调整列宽", "Columns.EntireColumn.AutoFit", [&] { sheet->Columns("A:Z")->EntireColumn()->AutoFit(); });
    return attempt.step("复制", "Range.Copy", [&] { used->Copy(); });
}

// Where the object stands before it is opened: the number of inline shapes and its start.
struct Place {
    int shapes = 0;
    int start = 0;
};

bool isWorksheet(const automation::InlineShapePtr& shape) {
    return shape->Type() == automation::wdInlineShapeEmbeddedOLEObject && shape->OLEFormat()->ProgID() == kExcelSheet8;
}

// Whether the object that stood at `index` has left the document: the document has fewer inline
// shapes, and the one now at that number is not the same object (a worksheet where it stood). Word
// pastes at its selection, wherever opening the object left it.
bool objectGone(const automation::InlineShapesPtr& shapes, int index, const Place& before) {
    bool gone = false;
    commands::PassOver(true).run([&] {
        const int count = shapes->Count();
        if (count >= before.shapes) return;
        if (count < index) {
            gone = true;
            return;
        }
        const automation::InlineShapePtr now = shapes->Item(index);
        gone = !isWorksheet(now) || now->Range()->Start() != before.start;
    });
    return gone;
}

// One attempt at the embedded object `shape`, the index-th inline shape: true when the pasted table
// took its place.
bool convertObject(automation::Application& word, automation::excel::Launcher& excel,
                   const automation::InlineShapesPtr& shapes, const automation::InlineShapePtr& shape, int index,
                   Attempt& attempt, SheetOutcome& outcome) {
    if (!attempt.step("读取对象类型", "OLEFormat.ProgID", [&] { outcome.progId = shape->OLEFormat()->ProgID(); }))
        return false;
    if (outcome.progId != kExcelSheet8) {
        attempt.fail(SheetProblem::NotWorksheet, "不是 Excel 97-2003 工作表（" + outcome.progId + "）");
        return false;
    }
    Place before;
    if (!attempt.step("读取对象位置", "InlineShapes.Count", [&] {
            before.shapes = shapes->Count();
            before.start = shape->Range()->Start();
        }))
        return false;
    if (!attempt.step("打开对象", "OLEFormat.Edit", [&] { shape->OLEFormat()->Edit(); })) return false;
    if (!copyFirstWorksheet(excel, attempt)) return false;
    if (!attempt.step("粘贴", "Selection.PasteAndFormat",
                      [&] { word.Selection()->PasteAndFormat(automation::wdPasteDefault); }))
        return false;
    if (objectGone(shapes, index, before)) return true;
    attempt.fail(SheetProblem::NotReplaced, "粘贴的表格没有替换该对象（Word 粘贴到了别处），对象保留在原处");
    return false;
}

// The "Excel.Sheet.8" objects from the shape numbered `from` on.
int worksheetsFrom(const automation::InlineShapesPtr& shapes, int from) {
    int count = 0;
    commands::PassOver(true).run([&] {
        const int n = shapes->Count();
        for (int i = from; i <= n; ++i)
            if (isWorksheet(shapes->Item(i))) ++count;
    });
    return count;
}

}  // namespace

SheetConversionResult convertEmbeddedSheets(automation::Application& word, automation::excel::Launcher& excel,
                                            commands::CommandHost& host) {
    host.showMessage(kEmbeddedSheetsNotice);
    const automation::DocumentPtr document = commands::activeDocument(word);
    SheetConversionResult result;
    if (!document) {
        result.noDocument = noDocument(host).noDocument;
        return result;
    }
    const automation::InlineShapesPtr shapes = document->InlineShapes();
    const int shapeCount = shapes->Count();

    commands::PassOver passOver;  // off until the first embedded OLE object is met
    int next = 1;                 // the number of the shape the next attempt looks at
    int attempt = 1;
    for (; attempt <= shapeCount && attempt <= kEmbeddedSheetAttempts; ++attempt) {
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
        SheetOutcome& outcome = result.objects.emplace_back();
        outcome.object = static_cast<int>(result.objects.size());
        Attempt steps(passOver, outcome);
        const bool converted = convertObject(word, excel, shapes, shape, next, steps, outcome);
        steps.finish(converted);
        if (converted)
            ++result.count;
        else
            ++next;
    }
    if (attempt > kEmbeddedSheetAttempts) result.waiting = worksheetsFrom(shapes, next);
    passOver.setOn(true);
    passOver.run("Application.Visible", [&] { word.SetVisible(true); });
    result.passedOver = passOver.failures();
    if (!result.objects.empty() || result.waiting > 0) host.showMessage(sheetConversionSummary(result));
    return result;
}

std::string sheetConversionSummary(const SheetConversionResult& result) {
    const int left = static_cast<int>(result.objects.size()) - result.count;
    std::string text = "已转换 " + std::to_string(result.count) + " 个";
    if (left > 0) {
        text += "，未能转换 " + std::to_string(left) + " 个：";
        for (const SheetOutcome& o : result.objects)
            if (o.problem != SheetProblem::None)
                text += "\n第 " + std::to_string(o.object) + " 个嵌入对象：" + o.reason;
    } else {
        text += "。";
    }
    if (result.waiting > 0) text += "\n还有 " + std::to_string(result.waiting) + " 个嵌入的 Excel 工作表留待下次运行。";
    return text;
}

std::string sheetConversionReport(const SheetConversionResult& result) {
    std::string text;
    for (const SheetOutcome& o : result.objects) {
        text += "第 " + std::to_string(o.object) + " 个嵌入对象（" + (o.progId.empty() ? "类型不明" : o.progId) +
                "）：" + (o.problem == SheetProblem::None ? "已转换" : "未转换，" + o.reason) + "\n";
        for (const commands::PassedOver& step : o.failedSteps)
            text += "  " + step.operation + "（错误 " + std::to_string(step.number) + "：" + step.message + "）\n";
    }
    return text;
}

}  // namespace utilities
