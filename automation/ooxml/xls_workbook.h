// An Excel 97-2003 workbook (BIFF8) as the embedded Excel reads it: the workbook's fonts, cell formats
// and number formats, and per worksheet its cells, merged areas and column widths.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace automation::ooxml::xls {

struct FontInfo {
    std::string name = "宋体";
    double size = 12;  // points
    bool bold = false;
    bool italic = false;
};

// Excel's horizontal alignment of a cell (the XF's alc field).
enum class HAlign { General = 0, Left = 1, Center = 2, Right = 3, Fill = 4, Justify = 5, CenterAcross = 6, Distributed = 7 };

struct CellFormat {
    int font = 0;          // index into Workbook::fonts
    int numberFormat = 0;  // Excel's format number (ifmt)
    HAlign align = HAlign::General;
};

enum class ValueKind { Empty, Number, Text, Boolean, Error };

struct CellValue {
    ValueKind kind = ValueKind::Empty;
    double number = 0;  // Number; Boolean as 0/1; Error as Excel's error code
    std::string text;   // Text (UTF-8)
};

struct Cell {
    int row = 0;     // 0-based
    int column = 0;  // 0-based
    int xf = 0;
    CellValue value;
};

struct MergedArea {
    int row1 = 0, row2 = 0, column1 = 0, column2 = 0;  // 0-based, inclusive
};

struct Worksheet {
    std::string name;
    std::vector<Cell> cells;  // sorted by row, then column; one entry per cell
    std::vector<MergedArea> merged;
    std::map<int, double> columnWidths;  // set widths in characters, by 0-based column
    double defaultWidth = 8.43;          // characters

    double columnWidth(int column) const;
    // The cell at row/column, or nullptr.
    const Cell* find(int row, int column) const;
    // Called once the cells are complete: sorts them and builds the lookup.
    void finish();

private:
    std::unordered_map<std::uint64_t, std::size_t> lookup_;
};

struct SheetEntry {
    std::string name;
    std::uint32_t offset = 0;  // where the sheet's BOF stands in the Workbook stream
    int type = 0;              // 0 worksheet, 2 chart, 6 VBA module
};

struct Workbook {
    bool date1904 = false;
    std::vector<FontInfo> fonts;
    std::vector<CellFormat> formats;                  // XF records in order
    std::unordered_map<int, std::string> numberFormats;  // FORMAT records: ifmt -> code
    std::vector<std::string> strings;                 // shared strings
    std::vector<SheetEntry> sheets;
    std::string stream;                               // the Workbook stream, for the sheets read later

    const FontInfo& font(int xf) const;
    const CellFormat& format(int xf) const;
    // The number format code of a cell format: a FORMAT record's, else Excel's built-in one.
    std::string numberFormat(int xf) const;
};

// Reads the compound file around an embedded worksheet (or an .xls file's bytes). Fails with an
// automation::Error (1004) for anything but a readable BIFF8 workbook: an encrypted one, BIFF5 or
// older, or a damaged one.
std::shared_ptr<Workbook> readWorkbook(const std::string& compoundFile);
// The same for the Workbook stream itself (the records), without the compound file around it.
std::shared_ptr<Workbook> readWorkbookStream(std::string stream);
// Reads one worksheet of the workbook (index 0-based into Workbook::sheets). Fails like readWorkbook.
Worksheet readWorksheet(const Workbook& book, std::size_t index);

}  // namespace automation::ooxml::xls
