// An Excel 97-2003 workbook (BIFF8) as the embedded Excel reads it: the workbook's fonts, cell formats
// and number formats, and per worksheet its cells, merged areas and column widths.
#pragma once

#include <array>
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
enum class HAlign {
    General = 0,
    Left = 1,
    Center = 2,
    Right = 3,
    Fill = 4,
    Justify = 5,
    CenterAcross = 6,
    Distributed = 7
};

// One side of a cell's border: Excel's line style (0 none, 1 thin, 2 medium, 5 thick, 6 double, ...) and
// its colour as an index into the palette.
struct BorderLine {
    int style = 0;
    int colour = 64;  // 64: the system's window text colour ("automatic")
    bool operator==(const BorderLine&) const = default;
};

enum Side : std::size_t { Left, Right, Top, Bottom };

struct CellFormat {
    int font = 0;          // index into Workbook::fonts
    int numberFormat = 0;  // Excel's format number (ifmt)
    HAlign align = HAlign::General;
    std::array<BorderLine, 4> borders{};  // by Side
    int fill = 0;                         // fill pattern, 0 none
    bool operator==(const CellFormat&) const = default;
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
    double defaultWidth = 8.43;          // characters: STANDARDWIDTH, else DEFCOLWIDTH

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
    std::vector<CellFormat> formats;                     // XF records in order
    std::vector<std::uint32_t> palette;                  // PALETTE: 0xRRGGBB for colours 8 on, when given
    std::unordered_map<int, std::string> numberFormats;  // FORMAT records: ifmt -> code
    std::vector<std::string> strings;                    // shared strings
    std::vector<SheetEntry> sheets;
    std::string stream;  // the Workbook stream, for the sheets read later

    const FontInfo& font(int xf) const;
    // The workbook's standard font (FONT 0): the Normal style's, whose digits measure column widths.
    const FontInfo& standardFont() const;
    const CellFormat& format(int xf) const;
    // Whether a cell format looks like the default one (XF 15), so that a blank cell under it is no cell
    // for Excel's used range.
    bool isDefaultFormat(int xf) const;
    // A palette colour as 0xRRGGBB, or -1 for the system's colours ("automatic").
    int colour(int index) const;
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
