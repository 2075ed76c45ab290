// The embedded Word: an automation::Application that works on .docx files directly.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "automation/excel.h"
#include "automation/hosted_documents.h"
#include "automation/word.h"

namespace automation::ooxml {

// How one table of the active document is drawn: Word's object model has no merge spans, so the
// embedded Word's own document window asks for them here.
struct CellLayout {
    int row = 0;  // Word's Cell(row, column)
    int column = 0;
    int gridColumn = 0;  // 0-based first grid column it covers
    int columnSpan = 1;
    int rowSpan = 1;  // rows a vertical merge that starts here reaches down
};
struct TableLayout {
    int gridColumns = 0;
    int rows = 0;
    std::vector<CellLayout> cells;  // row by row, left to right; cells continuing a merge are left out
};

// The embedded Word: Word's object model, and what its document window in this program needs of it.
class WordApplication : public automation::Application, public automation::HostedDocuments {
public:
    // The layout of the active document's table whose range is [start, end); none when there is none.
    virtual std::optional<TableLayout> tableLayout(int start, int end) = 0;
    // Excel as this Word's embedded worksheet objects reach it: OLEFormat.Edit opens them in the Excel
    // this launcher attaches to, and that Excel's Copy fills the clipboard Selection.PasteAndFormat reads.
    virtual std::shared_ptr<excel::Launcher> excel() = 0;
};

// A new, separate embedded Word with no document open.
std::shared_ptr<WordApplication> createWord();

}  // namespace automation::ooxml
