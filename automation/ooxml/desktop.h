// What the embedded Word and the embedded Excel share, as Word and Excel share a desktop: the clipboard
// and the Excel that runs.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "automation/excel.h"
#include "automation/ooxml/xls_workbook.h"

namespace automation::ooxml {

// One side of a copied cell's border: Excel's line style (0 none) and colour (0xRRGGBB, -1 automatic).
struct ClipboardBorder {
    int style = 0;
    int rgb = -1;
};

// One cell of a copied range as Excel puts it on the clipboard.
struct ClipboardCell {
    std::string text;  // as displayed
    xls::FontInfo font;
    int alignment = 0;  // wdAlignParagraph*
    int rowSpan = 1;    // the merged area that starts here
    int columnSpan = 1;
    bool covered = false;                      // inside a merged area, not its top left cell
    std::array<ClipboardBorder, 4> borders{};  // by xls::Side
};

// A copied range: rows x columns cells row by row, and the width of each column in points.
struct ClipboardRange {
    int rows = 0;
    int columns = 0;
    std::vector<ClipboardCell> cells;
    std::vector<double> columnWidths;
    bool bordered = false;  // some cell of the range has a border

    const ClipboardCell& at(int row, int column) const {
        return cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) +
                     static_cast<std::size_t>(column)];
    }
};

class ExcelState;

struct Desktop {
    std::optional<ClipboardRange> clipboard;
    std::shared_ptr<ExcelState> runningExcel;  // the Excel GetObject attaches to; none before one starts
};

// Excel as reached through this desktop.
std::shared_ptr<excel::Launcher> makeLauncher(const std::shared_ptr<Desktop>& desktop);

// Opens an embedded worksheet (the bytes of its compound file) in the running Excel, starting one when
// none runs, and makes it that Excel's active workbook. Fails with Excel's 1004 on an unreadable one.
void openEmbeddedWorkbook(const std::shared_ptr<Desktop>& desktop, const std::string& compoundFile,
                          const std::string& name);

}  // namespace automation::ooxml
