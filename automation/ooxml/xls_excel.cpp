// The embedded Excel: workbooks read from embedded worksheets or .xls files, the used range, fitting
// column widths and copying a range onto the desktop's clipboard.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "automation/constants.h"
#include "automation/error.h"
#include "automation/ooxml/desktop.h"
#include "automation/ooxml/unicode.h"
#include "automation/ooxml/xls_number_format.h"

namespace automation::ooxml {

namespace {

constexpr int kMaxRow = 65535;   // BIFF8 worksheets have 65536 rows
constexpr int kMaxColumn = 255;  // and 256 columns
constexpr std::size_t kMaxCopiedCells = 1000000;

struct BookState {
    std::string name;
    std::shared_ptr<xls::Workbook> book;
    std::vector<std::shared_ptr<xls::Worksheet>> sheets;  // read on first use

    std::shared_ptr<xls::Worksheet> sheet(std::size_t index) {
        if (index >= book->sheets.size()) throw errors::subscriptOutOfRange();
        if (sheets.size() < book->sheets.size()) sheets.resize(book->sheets.size());
        if (!sheets[index]) sheets[index] = std::make_shared<xls::Worksheet>(xls::readWorksheet(*book, index));
        return sheets[index];
    }
};

}  // namespace

class ExcelState {
public:
    bool visible = false;
    std::vector<std::shared_ptr<BookState>> books;
    std::shared_ptr<BookState> active;
    std::weak_ptr<Desktop> desktop;

    void open(std::shared_ptr<BookState> book) {
        books.push_back(book);
        active = std::move(book);
    }
};

namespace {

std::string columnName(int column) {
    std::string name;
    for (int c = column + 1; c > 0; c = (c - 1) / 26) name.insert(name.begin(), static_cast<char>('A' + (c - 1) % 26));
    return name;
}

// "A", "$AB": a column number (0-based); -1 when it is not one.
int parseColumn(std::string_view text) {
    if (!text.empty() && text.front() == '$') text.remove_prefix(1);
    if (text.empty() || text.size() > 3) return -1;
    int column = 0;
    for (char c : text) {
        const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (upper < 'A' || upper > 'Z') return -1;
        column = column * 26 + (upper - 'A' + 1);
    }
    return column - 1 <= kMaxColumn ? column - 1 : -1;
}

// The width in pixels (at 96 an inch) of a digit of the workbook's standard font (FONT 0): the unit of
// Excel's column widths. Digits are about half as wide as the font is high: 7 pixels for 11-point
// Calibri or 10-point Arial, 8 for 12-point 宋体.
double digitPixels(const xls::FontInfo& standard) { return std::max(1.0, std::round(standard.size * 96 / 72 / 2)); }

// Width in points of a column that is `characters` wide: the digits and a margin of a quarter digit on
// either side, at least two pixels, and one for the grid line.
double widthInPoints(double characters, const xls::FontInfo& standard) {
    if (characters <= 0) return 0;
    const double digit = digitPixels(standard);
    return std::round(characters * digit + 2 * std::ceil(digit / 4) + 1) * 0.75;
}

// How wide a text shows, in characters of the standard font: half-width characters are about as wide
// as a digit, full-width ones two, both growing with the cell's font against the standard font.
double textWidth(const std::string& text, const xls::FontInfo& font, const xls::FontInfo& standard) {
    double units = 0;
    for (char16_t c : toUtf16(text)) {
        // A surrogate pair (CJK beyond the first plane) counts one for each half.
        const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
                          (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
                          (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6);
        units += wide ? 2 : 1;
    }
    double width = units * font.size / std::max(1.0, standard.size);
    if (font.bold) width *= 1.1;
    return width;
}

int wordAlignment(xls::HAlign align, xls::ValueKind kind) {
    switch (align) {
        case xls::HAlign::Center:
        case xls::HAlign::CenterAcross: return wdAlignParagraphCenter;
        case xls::HAlign::Right: return wdAlignParagraphRight;
        case xls::HAlign::Justify: return wdAlignParagraphJustify;
        case xls::HAlign::Distributed: return wdAlignParagraphDistribute;
        case xls::HAlign::Left:
        case xls::HAlign::Fill: return wdAlignParagraphLeft;
        case xls::HAlign::General: break;
    }
    if (kind == xls::ValueKind::Number) return wdAlignParagraphRight;
    if (kind == xls::ValueKind::Boolean || kind == xls::ValueKind::Error) return wdAlignParagraphCenter;
    return wdAlignParagraphLeft;
}

struct Rect {
    int row1 = 0, row2 = 0, column1 = 0, column2 = 0;
};

// The merged area holding each cell, found in one sweep over the rows.
class MergeLookup {
public:
    explicit MergeLookup(const std::vector<xls::MergedArea>& merged) : merged_(merged) {
        std::sort(merged_.begin(), merged_.end(), [](const auto& a, const auto& b) { return a.row1 < b.row1; });
    }
    // Rows must be asked in ascending order.
    const xls::MergedArea* at(int row, int column) {
        while (next_ < merged_.size() && merged_[next_].row1 <= row) active_.push_back(&merged_[next_++]);
        std::erase_if(active_, [&](const xls::MergedArea* m) { return m->row2 < row; });
        for (const xls::MergedArea* m : active_)
            if (m->column1 <= column && column <= m->column2) return m;
        return nullptr;
    }

private:
    std::vector<xls::MergedArea> merged_;
    std::vector<const xls::MergedArea*> active_;
    std::size_t next_ = 0;
};

class RangeImpl final : public excel::Range {
public:
    RangeImpl(std::shared_ptr<ExcelState> excel, std::shared_ptr<BookState> book, std::size_t sheet, Rect rect)
        : excel_(std::move(excel)), book_(std::move(book)), sheet_(sheet), rect_(rect) {}

    std::string Address() override {
        auto cell = [](int row, int column) { return "$" + columnName(column) + "$" + std::to_string(row + 1); };
        if (wholeColumns()) return "$" + columnName(rect_.column1) + ":$" + columnName(rect_.column2);
        if (rect_.row1 == rect_.row2 && rect_.column1 == rect_.column2) return cell(rect_.row1, rect_.column1);
        return cell(rect_.row1, rect_.column1) + ":" + cell(rect_.row2, rect_.column2);
    }
    excel::RangePtr EntireColumn() override {
        return std::make_shared<RangeImpl>(excel_, book_, sheet_, Rect{0, kMaxRow, rect_.column1, rect_.column2});
    }
    // Measures with the workbook's standard font; a column with nothing to show goes back to the
    // standard width, a hidden one stays hidden.
    void AutoFit() override {
        if (!wholeColumns()) throw errors::excelRefused("Range 类的 AutoFit 方法无效：只能自动调整整行或整列");
        xls::Worksheet& sheet = *book_->sheet(sheet_);
        const xls::FontInfo& standard = book_->book->standardFont();
        std::vector<double> widest(static_cast<std::size_t>(rect_.column2 - rect_.column1 + 1), 0);
        MergeLookup merges(sheet.merged);
        for (const xls::Cell& c : sheet.cells) {
            if (c.column < rect_.column1 || c.column > rect_.column2 || c.value.kind == xls::ValueKind::Empty) continue;
            if (merges.at(c.row, c.column)) continue;  // Excel leaves merged cells out of the fit
            const double width = textWidth(shown(c), book_->book->font(c.xf), standard);
            double& w = widest[static_cast<std::size_t>(c.column - rect_.column1)];
            w = std::max(w, width);
        }
        for (std::size_t i = 0; i < widest.size(); ++i) {
            const int column = rect_.column1 + static_cast<int>(i);
            if (sheet.columnWidth(column) == 0) continue;
            if (widest[i] > 0)
                sheet.columnWidths[column] = std::min(255.0, std::ceil(widest[i] * 4 + 2) / 4);
            else
                sheet.columnWidths.erase(column);
        }
    }
    double ColumnWidth() override { return book_->sheet(sheet_)->columnWidth(rect_.column1); }
    void Copy() override {
        const xls::Worksheet& sheet = *book_->sheet(sheet_);
        const auto rows = static_cast<std::size_t>(rect_.row2 - rect_.row1 + 1);
        const auto columns = static_cast<std::size_t>(rect_.column2 - rect_.column1 + 1);
        if (rows * columns > kMaxCopiedCells)
            throw excel::WorkbookRefused(excel::WorkbookProblem::TooLarge, "要复制的区域有 " + std::to_string(rows) +
                                                                               " 行 " + std::to_string(columns) +
                                                                               " 列，超过 100 万个单元格，无法复制");
        std::shared_ptr<Desktop> desktop = excel_->desktop.lock();
        if (!desktop) throw errors::serverGone();
        ClipboardRange clip;
        clip.rows = static_cast<int>(rows);
        clip.columns = static_cast<int>(columns);
        clip.cells.resize(rows * columns);
        for (ClipboardCell& c : clip.cells) c.font = book_->book->standardFont();
        auto inside = [&](int row, int column) {
            return row >= rect_.row1 && row <= rect_.row2 && column >= rect_.column1 && column <= rect_.column2;
        };
        auto at = [&](int row, int column) -> ClipboardCell& {
            return clip.cells[static_cast<std::size_t>(row - rect_.row1) * columns +
                              static_cast<std::size_t>(column - rect_.column1)];
        };
        auto first = std::lower_bound(sheet.cells.begin(), sheet.cells.end(), rect_.row1,
                                      [](const xls::Cell& c, int row) { return c.row < row; });
        for (auto it = first; it != sheet.cells.end() && it->row <= rect_.row2; ++it) {
            if (!inside(it->row, it->column)) continue;
            ClipboardCell& c = at(it->row, it->column);
            const xls::CellFormat& format = book_->book->format(it->xf);
            c.text = shown(*it);
            c.font = book_->book->font(it->xf);
            c.alignment = wordAlignment(format.align, it->value.kind);
            for (std::size_t side = 0; side < 4; ++side) {
                const xls::BorderLine& line = format.borders[side];
                if (line.style == 0) continue;
                c.borders[side] = {line.style, book_->book->colour(line.colour)};
                clip.bordered = true;
            }
        }
        for (const xls::MergedArea& m : sheet.merged) {
            const Rect r{std::max(m.row1, rect_.row1), std::min(m.row2, rect_.row2), std::max(m.column1, rect_.column1),
                         std::min(m.column2, rect_.column2)};
            if (r.row1 > r.row2 || r.column1 > r.column2 || (r.row1 == r.row2 && r.column1 == r.column2)) continue;
            if (at(r.row1, r.column1).covered || at(r.row1, r.column1).rowSpan > 1 ||
                at(r.row1, r.column1).columnSpan > 1)
                continue;  // overlapping merged areas: the first one read wins
            ClipboardCell& top = at(r.row1, r.column1);
            top.rowSpan = r.row2 - r.row1 + 1;
            top.columnSpan = r.column2 - r.column1 + 1;
            for (int row = r.row1; row <= r.row2; ++row)
                for (int column = r.column1; column <= r.column2; ++column)
                    if (row != r.row1 || column != r.column1) at(row, column).covered = true;
        }
        for (int column = rect_.column1; column <= rect_.column2; ++column)
            clip.columnWidths.push_back(widthInPoints(sheet.columnWidth(column), book_->book->standardFont()));
        desktop->clipboard = std::move(clip);
    }

private:
    bool wholeColumns() const { return rect_.row1 == 0 && rect_.row2 == kMaxRow; }
    std::string shown(const xls::Cell& c) const {
        return xls::displayText(c.value, book_->book->numberFormat(c.xf), book_->book->date1904);
    }

    std::shared_ptr<ExcelState> excel_;
    std::shared_ptr<BookState> book_;
    std::size_t sheet_;
    Rect rect_;
};

class WorksheetImpl final : public excel::Worksheet {
public:
    WorksheetImpl(std::shared_ptr<ExcelState> excel, std::shared_ptr<BookState> book, std::size_t index)
        : excel_(std::move(excel)), book_(std::move(book)), index_(index) {}

    std::string Name() override { return book_->book->sheets[index_].name; }
    excel::RangePtr UsedRange() override {
        const xls::Worksheet& sheet = *book_->sheet(index_);
        Rect used{kMaxRow + 1, -1, kMaxColumn + 1, -1};
        auto include = [&](int row1, int row2, int column1, int column2) {
            used = {std::min(used.row1, row1), std::max(used.row2, row2), std::min(used.column1, column1),
                    std::max(used.column2, column2)};
        };
        // Excel counts every cell that holds something or has a format of its own (a blank cell with
        // borders, say), and merged areas that start in one.
        const xls::Workbook& book = *book_->book;
        auto counts = [&](const xls::Cell& c) {
            return c.value.kind != xls::ValueKind::Empty || !book.isDefaultFormat(c.xf);
        };
        for (const xls::Cell& c : sheet.cells)
            if (counts(c)) include(c.row, c.row, c.column, c.column);
        for (const xls::MergedArea& m : sheet.merged) {
            const xls::Cell* c = sheet.find(m.row1, m.column1);
            if (c && counts(*c)) include(m.row1, m.row2, m.column1, m.column2);
        }
        if (used.row2 < 0) used = Rect{};  // an empty sheet's used range is A1
        used.row2 = std::min(used.row2, kMaxRow);
        used.column2 = std::min(used.column2, kMaxColumn);
        return std::make_shared<RangeImpl>(excel_, book_, index_, used);
    }
    excel::RangePtr Columns(const std::string& address) override {
        const auto colon = address.find(':');
        const int first = parseColumn(std::string_view(address).substr(0, colon));
        const int last = colon == std::string::npos ? first : parseColumn(std::string_view(address).substr(colon + 1));
        if (first < 0 || last < 0) throw errors::excelRefused("列地址“" + address + "”无效");
        return std::make_shared<RangeImpl>(excel_, book_, index_,
                                           Rect{0, kMaxRow, std::min(first, last), std::max(first, last)});
    }

private:
    std::shared_ptr<ExcelState> excel_;
    std::shared_ptr<BookState> book_;
    std::size_t index_;
};

class WorksheetsImpl final : public excel::Worksheets {
public:
    WorksheetsImpl(std::shared_ptr<ExcelState> excel, std::shared_ptr<BookState> book)
        : excel_(std::move(excel)), book_(std::move(book)) {}

    int Count() override { return static_cast<int>(worksheets().size()); }
    excel::WorksheetPtr Item(int index) override {
        const std::vector<std::size_t> list = worksheets();
        if (index < 1 || index > static_cast<int>(list.size())) throw errors::subscriptOutOfRange();
        return std::make_shared<WorksheetImpl>(excel_, book_, list[static_cast<std::size_t>(index - 1)]);
    }

private:
    // Worksheets leaves charts and macro sheets out.
    std::vector<std::size_t> worksheets() const {
        std::vector<std::size_t> list;
        for (std::size_t i = 0; i < book_->book->sheets.size(); ++i)
            if (book_->book->sheets[i].type == 0) list.push_back(i);
        return list;
    }

    std::shared_ptr<ExcelState> excel_;
    std::shared_ptr<BookState> book_;
};

class WorkbookImpl final : public excel::Workbook {
public:
    WorkbookImpl(std::shared_ptr<ExcelState> excel, std::shared_ptr<BookState> book)
        : excel_(std::move(excel)), book_(std::move(book)) {}

    std::string Name() override { return book_->name; }
    excel::WorksheetsPtr Worksheets() override { return std::make_shared<WorksheetsImpl>(excel_, book_); }

private:
    std::shared_ptr<ExcelState> excel_;
    std::shared_ptr<BookState> book_;
};

std::shared_ptr<BookState> readBook(const std::string& bytes, const std::string& name) {
    auto book = std::make_shared<BookState>();
    book->name = name;
    book->book = xls::readWorkbook(bytes);
    return book;
}

class WorkbooksImpl final : public excel::Workbooks {
public:
    explicit WorkbooksImpl(std::shared_ptr<ExcelState> excel) : excel_(std::move(excel)) {}

    int Count() override { return static_cast<int>(excel_->books.size()); }
    excel::WorkbookPtr Item(int index) override {
        if (index < 1 || index > Count()) throw errors::subscriptOutOfRange();
        return std::make_shared<WorkbookImpl>(excel_, excel_->books[static_cast<std::size_t>(index - 1)]);
    }
    excel::WorkbookPtr Open(const std::string& fileName) override {
        std::ifstream in(std::filesystem::path(fileName), std::ios::binary);
        if (!in) throw errors::excelRefused("找不到“" + fileName + "”。请检查文件名称的拼写，并检查文件位置是否正确");
        std::ostringstream bytes;
        bytes << in.rdbuf();
        excel_->open(readBook(bytes.str(), fileName.substr(fileName.find_last_of("/\\") + 1)));
        return std::make_shared<WorkbookImpl>(excel_, excel_->active);
    }

private:
    std::shared_ptr<ExcelState> excel_;
};

class ApplicationImpl final : public excel::Application {
public:
    explicit ApplicationImpl(std::shared_ptr<ExcelState> excel) : excel_(std::move(excel)) {}

    bool Visible() override { return excel_->visible; }
    void SetVisible(bool visible) override { excel_->visible = visible; }
    excel::WorkbookPtr ActiveWorkbook() override {
        if (!excel_->active) throw errors::objectNotSet();
        return std::make_shared<WorkbookImpl>(excel_, excel_->active);
    }
    excel::WorkbooksPtr Workbooks() override { return std::make_shared<WorkbooksImpl>(excel_); }

private:
    std::shared_ptr<ExcelState> excel_;
};

std::shared_ptr<ExcelState> startExcel(const std::shared_ptr<Desktop>& desktop) {
    auto excel = std::make_shared<ExcelState>();
    excel->desktop = desktop;
    if (!desktop->runningExcel) desktop->runningExcel = excel;
    return excel;
}

class LauncherImpl final : public excel::Launcher {
public:
    explicit LauncherImpl(std::shared_ptr<Desktop> desktop) : desktop_(std::move(desktop)) {}

    excel::ApplicationPtr attachRunning() override {
        if (!desktop_->runningExcel) throw errors::cannotCreateObject();
        return std::make_shared<ApplicationImpl>(desktop_->runningExcel);
    }
    excel::ApplicationPtr createNew() override { return std::make_shared<ApplicationImpl>(startExcel(desktop_)); }

private:
    std::shared_ptr<Desktop> desktop_;
};

}  // namespace

std::shared_ptr<excel::Launcher> makeLauncher(const std::shared_ptr<Desktop>& desktop) {
    return std::make_shared<LauncherImpl>(desktop);
}

void openEmbeddedWorkbook(const std::shared_ptr<Desktop>& desktop, const std::string& compoundFile,
                          const std::string& name) {
    std::shared_ptr<BookState> book = readBook(compoundFile, name);
    if (!desktop->runningExcel) startExcel(desktop);
    desktop->runningExcel->open(std::move(book));
}

}  // namespace automation::ooxml
