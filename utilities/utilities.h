// The document utilities started from the main window's frames "文档内嵌excel表格" and "其他".
//
// Each works on Word's active document through the automation interface, reads no settings and runs
// in pass-over mode: a Word operation that fails is abandoned and the command goes on with the next
// one. When Word has no active document each shows one message and changes nothing; any other failure
// to reach the document's tables or fields is Word's error and ends the command.
#pragma once

#include <string>

#include "automation/excel.h"
#include "automation/word.h"
#include "commands/command_host.h"

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

// "开   始" (Command3): shows kEmbeddedSheetsNotice, then turns up to ten embedded "Excel.Sheet.8"
// worksheets into Word tables (OLEFormat.Edit, the running Excel's worksheet 1: UsedRange, fitting
// columns A to Z, Copy; Selection.PasteAndFormat) and makes Word visible. count: objects converted.
UtilityResult convertEmbeddedSheets(automation::Application& word, automation::excel::Launcher& excel,
                                    commands::CommandHost& host);

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
