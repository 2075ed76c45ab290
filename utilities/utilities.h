// The document utilities started from the main window's frames "文档内嵌excel表格" and "其他".
//
// Each works on Word's active document through the automation interface, reads no settings and runs
// in pass-over mode: a Word operation that fails is abandoned and the command goes on with the next
// one. When Word has no active document each shows one message and changes nothing; any other failure
// to reach the document's tables or fields is Word's error and ends the command.
#pragma once

#include <string>
#include <vector>

#include "automation/excel.h"
#include "automation/word.h"
#include "commands/command_host.h"
#include "commands/pass_over.h"

namespace utilities {

inline constexpr const char* kNoDocumentMessage = "Word 中没有打开的文档，请先打开要处理的文档。";

struct UtilityResult {
    bool noDocument = false;  // Word had no active document; nothing was done
    int count = 0;            // rows deleted, or fields handled; not limited to 16 bits
    int passedOver = 0;       // Word operations that failed and were abandoned
};

inline constexpr const char* kEmbeddedSheetsNotice =
    "由于计算量极大，word程序很容易非正常关闭，每次处理表格限制为10个，表格多的请多运行几次";
inline constexpr int kEmbeddedSheetAttempts = 10;
inline constexpr const char* kExcelSheet8 = "Excel.Sheet.8";

// Why an embedded object the conversion looked at is still in the document.
enum class SheetProblem {
    None,          // converted: the table stands in its place
    NotWorksheet,  // another kind of object than an Excel 97-2003 worksheet
    Encrypted,
    OldVersion,  // saved by Excel 5.0/95 or older
    Damaged,
    TooLarge,
    NotReplaced,  // pasted, but the object stayed (Word pasted elsewhere)
    Failed,       // a Word or Excel step failed; the reason names it
};

// One embedded object (an inline shape of type 1) the conversion looked at.
struct SheetOutcome {
    int object = 0;  // its number among the embedded objects met, in document order
    std::string progId;
    SheetProblem problem = SheetProblem::None;
    std::string reason;                             // in Chinese, for the user; empty when converted
    std::vector<commands::PassedOver> failedSteps;  // the Word and Excel operations that failed on it
};

struct SheetConversionResult : UtilityResult {
    std::vector<SheetOutcome> objects;  // in the order the run met them
    int waiting = 0;                    // "Excel.Sheet.8" objects behind the last attempt, left for the next run
};

// "开   始" (Command3): shows kEmbeddedSheetsNotice, then turns up to ten embedded "Excel.Sheet.8"
// worksheets into Word tables (OLEFormat.Edit, the running Excel's worksheet 1: UsedRange, fitting
// columns A to Z, Copy; Selection.PasteAndFormat) and makes Word visible. A conversion counts only
// when the object has left the document. When the run met embedded objects it closes with
// sheetConversionSummary. count: objects converted.
SheetConversionResult convertEmbeddedSheets(automation::Application& word, automation::excel::Launcher& excel,
                                            commands::CommandHost& host);
// "已转换 N 个，未能转换 M 个：" and one line per object left, with its reason; the objects left for the
// next run.
std::string sheetConversionSummary(const SheetConversionResult& result);
// Every object met, converted or not, with the operations that failed on it (for --report).
std::string sheetConversionReport(const SheetConversionResult& result);

// "整理表格": from every table removes the last column when all its cells are empty, then the last
// row when all its cells are empty; the number of tables is taken once, before the first. Shows no
// message. A table removed by deleting its only column or row does not make the next table be skipped.
UtilityResult tidyTables(automation::Application& word, commands::CommandHost& host);

// "删除所有表格中的空行": deletes, bottom up, every row below the second whose cells hold nothing but
// spaces (ordinary or full-width), then shows "完成!共删除N行.". The main window is hidden meanwhile.
UtilityResult deleteEmptyRows(automation::Application& word, commands::CommandHost& host);

// "删除文档中的所有外部链接": unlinks every field of the main text once, then shows "完成! 共删除N处链接.".
UtilityResult unlinkFields(automation::Application& word, commands::CommandHost& host);

// What a utility does when Word has no active document: shows kNoDocumentMessage, changes nothing.
UtilityResult noDocument(commands::CommandHost& host);

std::string emptyRowsMessage(int count);
std::string unlinkedFieldsMessage(int count);

}  // namespace utilities
