// "删除所有表格中的空行": blank rows below the first two of every table.
#include <string>
#include <string_view>

#include "commands/active_document.h"
#include "commands/pass_over.h"
#include "utilities/form_fields.h"
#include "utilities/utilities.h"

namespace utilities {

namespace {

constexpr std::string_view kSpace = " ";
constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";  // U+3000, the full-width space
constexpr std::string_view kEndOfCell = "\r\a";

// Removes leading and trailing spaces, ordinary and full-width. A cell text ends with its end-of-cell
// mark, so spaces before the mark stay: there only the leading ones go.
std::string_view trimSpaces(std::string_view text) {
    for (bool again = true; again;) {
        again = false;
        for (std::string_view space : {kSpace, kIdeographicSpace}) {
            while (text.substr(0, space.size()) == space) {
                text.remove_prefix(space.size());
                again = true;
            }
            while (text.size() >= space.size() && text.substr(text.size() - space.size()) == space) {
                text.remove_suffix(space.size());
                again = true;
            }
        }
    }
    return text;
}

}  // namespace

std::string emptyRowsMessage(int count) { return "完成!共删除" + std::to_string(count) + "行."; }

UtilityResult deleteEmptyRows(automation::Application& word, commands::CommandHost& host) {
    UtilityResult result;
    const automation::DocumentPtr document = commands::activeDocument(word);
    if (!document) return noDocument(host);

    host.hideMainWindow();
    commands::PassOver passOver(true);
    automation::TablesPtr tables;
    int tableCount = 0;
    passOver.run([&] {
        tables = document->Tables();
        tableCount = tables->Count();
    });

    // Form fields have no text of their own, yet a row holding one is not blank.
    FormFieldPositions formFields(*document, passOver);
    for (int t = 1; t <= tableCount; ++t) {
        automation::TablePtr table;
        int rows = 0, columns = 0;
        if (!passOver.run([&] {
                table = tables->Item(t);
                rows = table->Rows()->Count();
                columns = table->Columns()->Count();
            }))
            continue;

        // Bottom up, so that a deletion never moves a row still to be visited; rows 1 and 2 stay.
        for (int r = rows; r >= 3; --r) {
            // The row is blank when every cell that can be read holds only its end-of-cell mark once
            // its spaces are trimmed. A cell that does not exist (merged) contributes nothing.
            bool blank = true;
            automation::CellPtr first, last;
            for (int c = 1; c <= columns && blank; ++c) {
                automation::CellPtr cell;
                std::string text;
                bool formField = false;
                if (!passOver.run([&] {
                        cell = table->Cell(r, c);
                        automation::RangePtr range = cell->Range();
                        text = range->Text();
                        formField = formFields.within(range->Start(), range->End());
                    }))
                    continue;
                if (trimSpaces(text) != kEndOfCell || formField) blank = false;
                if (c == 1) first = cell;
                last = cell;
            }
            if (!blank || !first) continue;

            // Select the row from the start of its first cell to the end of its last one (of cell C, or
            // of the last cell a row with merged cells has). A row that cannot be selected as a whole
            // stays: one whose first cell continues a merge from above, or one whose selection Word
            // cannot count columns of (a cell merged down into the next row).
            int start = 0, end = 0;
            if (!passOver.run([&] {
                    start = first->Range()->Start();
                    end = last->Range()->End();
                }))
                continue;
            bool deleted = formFields.deleteRows(start, [&] {
                document->Range(start, end)->Select();
                automation::SelectionPtr selection = word.Selection();
                selection->Columns()->Count();
                selection->Rows()->Delete();
            });
            if (deleted) ++result.count;
        }
    }

    result.passedOver = passOver.failures();
    host.showMessage(emptyRowsMessage(result.count));
    host.showMainWindow();
    return result;
}

}  // namespace utilities
