// "整理表格": trailing empty columns and rows.
#include <string>
#include <vector>

#include "commands/active_document.h"
#include "commands/pass_over.h"
#include "utilities/form_fields.h"
#include "utilities/utilities.h"

namespace utilities {

namespace {

// Word's length of a text: UTF-16 code units.
int wordLength(const std::string& utf8) {
    int length = 0;
    for (unsigned char c : utf8) {
        if ((c & 0xC0) != 0x80) ++length;  // a character starts here
        if (c >= 0xF0) ++length;           // outside the basic plane: two code units
    }
    return length;
}

// A cell is empty when its text is no more than its end-of-cell mark (spaces are content here) and it
// holds no form field, which has no text of its own. The cells' ranges are kept in ranges.
bool allEmpty(const automation::CellsPtr& cells, const FormFieldPositions& formFields,
              std::vector<TextStretch>& ranges) {
    ranges.clear();
    const int count = cells->Count();
    for (int i = 1; i <= count; ++i) {
        automation::RangePtr range = cells->Item(i)->Range();
        const TextStretch stretch{range->Start(), range->End()};
        if (wordLength(range->Text()) > 2 || formFields.within(stretch.start, stretch.end)) return false;
        ranges.push_back(stretch);
    }
    return true;
}

}  // namespace

UtilityResult tidyTables(automation::Application& word, commands::CommandHost& host) {
    UtilityResult result;
    const automation::DocumentPtr document = commands::activeDocument(word);
    if (!document) return noDocument(host);
    const automation::TablesPtr tables = document->Tables();
    const int TablesToProcess = tables->Count();

    commands::PassOver passOver(true);
    FormFieldPositions formFields(*document, passOver);
    // The tables still in the document: a table that goes away with its last column or row makes
    // the following ones move up, so the next one is then found under the same number.
    auto tableCount = [&] {
        int count = -1;
        passOver.run([&] { count = tables->Count(); });
        return count;
    };
    int index = 1;
    for (int visit = 1; visit <= TablesToProcess; ++visit) {
        automation::TablePtr table;
        if (!passOver.run([&] { table = tables->Item(index); })) {
            ++index;
            continue;
        }
        bool removed = false;

        bool empty = false;
        std::vector<TextStretch> cells;
        automation::ColumnPtr column;
        passOver.run([&] {
            automation::ColumnsPtr columns = table->Columns();
            column = columns->Item(columns->Count());
            empty = allEmpty(column->Cells(), formFields, cells);
        });
        if (empty) {
            const int before = tableCount();
            if (formFields.deleteCells(cells, [&] { column->Delete(); }))
                removed = before >= 0 && tableCount() < before;
        }

        if (!removed) {
            empty = false;
            automation::RowPtr row;
            passOver.run([&] {
                automation::RowsPtr rows = table->Rows();
                row = rows->Item(rows->Count());
                empty = allEmpty(row->Cells(), formFields, cells) && !cells.empty();
            });
            if (empty) {
                const int before = tableCount();
                if (formFields.deleteRows(cells.front().start, [&] { row->Delete(); }))
                    removed = before >= 0 && tableCount() < before;
            }
        }
        if (!removed) ++index;
    }
    result.passedOver = passOver.failures();
    return result;
}

}  // namespace utilities
