// The BIFF8 record reader: the compound file through libgsf, the Workbook stream record by record.
// Every read is bounds-checked; anything that does not add up is a damaged workbook (Excel's 1004).
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <mutex>
#include <set>

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input.h>
#include <gsf/gsf-utils.h>

#include "automation/error.h"
#include "automation/excel.h"
#include "automation/ooxml/unicode.h"
#include "automation/ooxml/xls_number_format.h"

namespace automation::ooxml::xls {

namespace {

enum Record : std::uint16_t {
    Formula = 0x0006,
    Eof = 0x000A,
    DateMode = 0x0022,
    FilePass = 0x002F,
    FontRecord = 0x0031,
    Continue = 0x003C,
    CodePage = 0x0042,
    DefColWidth = 0x0055,
    Palette = 0x0092,
    StandardWidth = 0x0099,
    ColInfo = 0x007D,
    BoundSheet = 0x0085,
    MulRk = 0x00BD,
    MulBlank = 0x00BE,
    Xf = 0x00E0,
    MergedCells = 0x00E5,
    Sst = 0x00FC,
    LabelSst = 0x00FD,
    Dimensions = 0x0200,
    Blank = 0x0201,
    Number = 0x0203,
    Label = 0x0204,
    BoolErr = 0x0205,
    StringRecord = 0x0207,
    RowRecord = 0x0208,
    Rk = 0x027E,
    FormatRecord = 0x041E,
    FormulaBiff3 = 0x0206,  // older ids of FORMULA, still met in BIFF8 streams some writers make
    FormulaBiff4 = 0x0406,
    Bof = 0x0809,
};

bool isFormula(std::uint16_t type) { return type == Formula || type == FormulaBiff3 || type == FormulaBiff4; }

bool isCell(std::uint16_t type) {
    switch (type) {
        case Number:
        case Rk:
        case MulRk:
        case LabelSst:
        case Label:
        case BoolErr:
        case Blank:
        case MulBlank: return true;
        default: return isFormula(type);
    }
}

constexpr std::uint16_t kBiff8 = 0x0600;
constexpr std::size_t kMaxStream = 256u << 20;

[[noreturn]] void damaged(const std::string& what) {
    throw excel::WorkbookRefused(excel::WorkbookProblem::Damaged, "工作簿已损坏（" + what + "）");
}
[[noreturn]] void encrypted() {
    throw excel::WorkbookRefused(excel::WorkbookProblem::Encrypted, "工作簿已加密，需要密码才能打开");
}
[[noreturn]] void oldVersion(const char* version) {
    throw excel::WorkbookRefused(excel::WorkbookProblem::OldVersion,
                                 std::string("工作簿是 ") + version + "（较早的 Excel 版本），无法读取");
}

std::uint16_t u16(const std::string& b, std::size_t at) {
    if (at + 2 > b.size()) damaged("记录过短");
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8);
}
std::uint32_t u32(const std::string& b, std::size_t at) {
    return static_cast<std::uint32_t>(u16(b, at)) | static_cast<std::uint32_t>(u16(b, at + 2)) << 16;
}
double f64(const std::string& b, std::size_t at) {
    if (at + 8 > b.size()) damaged("记录过短");
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = bits << 8 | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// RK: a 30-bit integer or the high 30 bits of a double, optionally divided by 100.
double rkValue(std::uint32_t rk) {
    double value;
    if (rk & 2) {
        value = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
    } else {
        const std::uint64_t bits = static_cast<std::uint64_t>(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return (rk & 1) ? value / 100 : value;
}

struct RecordView {
    std::uint16_t type = 0;
    std::string data;
    std::vector<std::size_t> continues;  // offsets in data where a CONTINUE record began
};

// Walks the records of the stream from an offset; CONTINUE records are joined to the record before.
class RecordStream {
public:
    RecordStream(const std::string& stream, std::size_t offset) : s_(stream), pos_(offset) {
        if (offset > stream.size()) damaged("工作表位置超出文件");
    }

    bool next(RecordView& r) {
        if (pos_ + 4 > s_.size()) return false;
        r.type = u16(s_, pos_);
        r.data = body();
        r.continues.clear();
        while (pos_ + 4 <= s_.size() && u16(s_, pos_) == Continue) {
            r.continues.push_back(r.data.size());
            r.data += body();
        }
        return true;
    }

private:
    std::string body() {
        const std::size_t length = u16(s_, pos_ + 2);
        if (pos_ + 4 + length > s_.size()) damaged("记录超出文件末尾");
        std::string data = s_.substr(pos_ + 4, length);
        pos_ += 4 + length;
        return data;
    }

    const std::string& s_;
    std::size_t pos_;
};

// Reads Excel's unicode strings, following CONTINUE boundaries (where a string's characters go on
// with a fresh option byte).
class StringReader {
public:
    StringReader(const RecordView& r, std::size_t at) : r_(r), at_(at) {}

    std::size_t position() const { return at_; }
    std::uint8_t byte() {
        if (at_ >= r_.data.size()) damaged("字符串超出记录");
        return static_cast<std::uint8_t>(r_.data[at_++]);
    }
    std::uint16_t word() {
        const std::uint16_t v = u16(r_.data, at_);
        at_ += 2;
        return v;
    }
    std::uint32_t dword() {
        const std::uint32_t v = u32(r_.data, at_);
        at_ += 4;
        return v;
    }
    void skip(std::size_t n) {
        if (n > r_.data.size() - std::min(at_, r_.data.size())) damaged("字符串超出记录");
        at_ += n;
    }

    // cch characters with an option byte first (ShortXLUnicodeString/XLUnicodeString/rich SST string).
    std::string text(std::size_t cch, bool richAllowed) {
        const std::uint8_t flags = byte();
        bool wide = flags & 0x01;
        std::uint16_t runs = 0;
        std::uint32_t ext = 0;
        if (richAllowed && (flags & 0x08)) runs = word();
        if (richAllowed && (flags & 0x04)) ext = dword();
        std::u16string chars;
        chars.reserve(std::min<std::size_t>(cch, r_.data.size()));
        while (chars.size() < cch) {
            if (at_ >= r_.data.size()) damaged("字符串超出记录");
            // Characters that go on in a CONTINUE record start it with a fresh option byte.
            if (isBoundary(at_)) wide = byte() & 0x01;
            if (at_ >= r_.data.size()) damaged("字符串超出记录");
            const std::size_t limit = nextBoundary(at_);
            while (chars.size() < cch && at_ < limit) {
                if (wide) {
                    chars.push_back(static_cast<char16_t>(u16(r_.data, at_)));
                    at_ += 2;
                } else {
                    chars.push_back(static_cast<char16_t>(static_cast<unsigned char>(r_.data[at_++])));
                }
            }
        }
        skip(static_cast<std::size_t>(runs) * 4);
        skip(ext);
        return toUtf8(chars);
    }

private:
    bool isBoundary(std::size_t at) const { return std::binary_search(r_.continues.begin(), r_.continues.end(), at); }
    std::size_t nextBoundary(std::size_t at) const {
        const auto next = std::upper_bound(r_.continues.begin(), r_.continues.end(), at);
        return next == r_.continues.end() ? r_.data.size() : *next;
    }

    const RecordView& r_;
    std::size_t at_;
};

std::string shortString(const RecordView& r, std::size_t at) {
    StringReader s(r, at);
    const std::size_t cch = s.byte();
    return s.text(cch, false);
}

std::string longString(const RecordView& r, std::size_t at) {
    StringReader s(r, at);
    const std::size_t cch = s.word();
    return s.text(cch, false);
}

void checkBof(const RecordView& r) {
    if (r.type == 0x0009 || r.type == 0x0209 || r.type == 0x0409) oldVersion("Excel 4.0 或更早的格式");
    if (r.type != Bof) damaged("缺少 BOF 记录");
    if (u16(r.data, 0) != kBiff8) oldVersion("Excel 5.0/95 格式");
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// The stream of that name at the root; compound files compare names without case.
GsfInput* childNamed(GsfInfile* ole, std::string_view name) {
    const int count = gsf_infile_num_children(ole);
    for (int i = 0; i < count; ++i) {
        const char* child = gsf_infile_name_by_index(ole, i);
        if (child && sameName(child, name)) return gsf_infile_child_by_index(ole, i);
    }
    return nullptr;
}

// The Workbook stream of the compound file.
std::string workbookStream(const std::string& compoundFile) {
    static std::once_flag initialised;
    std::call_once(initialised, [] {
        gsf_init();
        // A damaged compound file is reported as Excel's error; libgsf's own complaints stay quiet.
        g_log_set_handler(
            "libgsf:msole", static_cast<GLogLevelFlags>(G_LOG_LEVEL_MASK),
            [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
    });
    GsfInput* input = gsf_input_memory_new(reinterpret_cast<const guint8*>(compoundFile.data()),
                                           static_cast<gsf_off_t>(compoundFile.size()), FALSE);
    if (!input) damaged("无法读取复合文档");
    GError* error = nullptr;
    GsfInfile* ole = gsf_infile_msole_new(input, &error);
    if (error) g_error_free(error);
    g_object_unref(input);
    if (!ole) damaged("不是有效的复合文档");
    // Excel 97 and later write "Workbook"; Excel 5.0/95 wrote "Book", and some writers put BIFF8 there
    // too, so its BOF decides.
    GsfInput* stream = childNamed(ole, "Workbook");
    if (!stream) stream = childNamed(ole, "Book");
    if (!stream) {
        g_object_unref(ole);
        damaged("复合文档中没有 Workbook 流");
    }
    std::string bytes;
    const gsf_off_t size = gsf_input_size(stream);
    if (size > static_cast<gsf_off_t>(kMaxStream)) {
        g_object_unref(stream);
        g_object_unref(ole);
        throw excel::WorkbookRefused(excel::WorkbookProblem::TooLarge, "工作簿超过 256 MB，无法读取");
    }
    bool ok = size >= 0;
    if (ok) {
        bytes.resize(static_cast<std::size_t>(size));
        ok = size == 0 ||
             gsf_input_read(stream, static_cast<std::size_t>(size), reinterpret_cast<guint8*>(bytes.data()));
    }
    g_object_unref(stream);
    g_object_unref(ole);
    if (!ok) damaged("无法读取 Workbook 流");
    return bytes;
}

void readSst(const RecordView& r, std::vector<std::string>& strings) {
    StringReader s(r, 0);
    s.dword();
    const std::uint32_t unique = s.dword();
    // Each string takes at least three bytes, so a count beyond that is a lie.
    if (unique > r.data.size() / 3 + 1) damaged("共享字符串表的条目数不对");
    strings.reserve(strings.size() + unique);
    for (std::uint32_t i = 0; i < unique && s.position() < r.data.size(); ++i) {
        const std::size_t cch = s.word();
        strings.push_back(s.text(cch, true));
    }
}

}  // namespace

double Worksheet::columnWidth(int column) const {
    const auto it = columnWidths.find(column);
    return it == columnWidths.end() ? defaultWidth : it->second;
}

const Cell* Worksheet::find(int row, int column) const {
    const auto it = lookup_.find(static_cast<std::uint64_t>(row) << 32 | static_cast<std::uint32_t>(column));
    return it == lookup_.end() ? nullptr : &cells[it->second];
}

void Worksheet::finish() {
    // A later record for the same cell wins, as Excel reads it.
    std::stable_sort(cells.begin(), cells.end(), [](const Cell& a, const Cell& b) {
        return std::tie(a.row, a.column) < std::tie(b.row, b.column);
    });
    std::vector<Cell> unique;
    unique.reserve(cells.size());
    for (Cell& c : cells) {
        if (!unique.empty() && unique.back().row == c.row && unique.back().column == c.column)
            unique.back() = std::move(c);
        else
            unique.push_back(std::move(c));
    }
    cells = std::move(unique);
    lookup_.clear();
    lookup_.reserve(cells.size());
    for (std::size_t i = 0; i < cells.size(); ++i)
        lookup_[static_cast<std::uint64_t>(cells[i].row) << 32 | static_cast<std::uint32_t>(cells[i].column)] = i;
}

const FontInfo& Workbook::font(int xf) const {
    static const FontInfo standard;
    int index = format(xf).font;
    if (index >= 4) --index;  // font number 4 does not exist in BIFF
    if (index < 0 || static_cast<std::size_t>(index) >= fonts.size()) return fonts.empty() ? standard : fonts.front();
    return fonts[static_cast<std::size_t>(index)];
}

const FontInfo& Workbook::standardFont() const {
    static const FontInfo standard;
    return fonts.empty() ? standard : fonts.front();
}

const CellFormat& Workbook::format(int xf) const {
    static const CellFormat standard;
    if (xf < 0 || static_cast<std::size_t>(xf) >= formats.size()) return standard;
    return formats[static_cast<std::size_t>(xf)];
}

bool Workbook::isDefaultFormat(int xf) const { return xf == 15 || format(xf) == format(15); }

int Workbook::colour(int index) const {
    // Excel 97's own palette of colours 8 to 63; a PALETTE record replaces it.
    static constexpr std::array<std::uint32_t, 56> standard = {
        0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, 0x800000, 0x008000,
        0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080, 0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF,
        0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF, 0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000,
        0x008080, 0x0000FF, 0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
        0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696, 0x003366, 0x339966,
        0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333};
    std::uint32_t rgb = 0;
    if (index >= 0 && index < 8) {
        static constexpr std::array<std::uint32_t, 8> first = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00,
                                                               0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF};
        rgb = first[static_cast<std::size_t>(index)];
    } else if (index >= 8 && index < 64) {
        const auto i = static_cast<std::size_t>(index - 8);
        rgb = i < palette.size() ? palette[i] : standard[i];
    } else {
        return -1;
    }
    return static_cast<int>(rgb);
}

std::shared_ptr<Workbook> readWorkbook(const std::string& compoundFile) {
    // Excel 2.1 to 4.0 saved the records without a compound file around them; their BOF tells the version.
    const std::uint16_t first = compoundFile.size() >= 2 ? u16(compoundFile, 0) : 0;
    if (first == 0x0009 || first == 0x0209 || first == 0x0409 || first == Bof) return readWorkbookStream(compoundFile);
    return readWorkbookStream(workbookStream(compoundFile));
}

std::shared_ptr<Workbook> readWorkbookStream(std::string stream) {
    auto book = std::make_shared<Workbook>();
    book->stream = std::move(stream);
    RecordStream records(book->stream, 0);
    RecordView r;
    if (!records.next(r)) damaged("Workbook 流为空");
    checkBof(r);
    if (u16(r.data, 2) != 0x0005) damaged("第一个子流不是工作簿全局设置");
    bool ended = false;
    while (!ended && records.next(r)) {
        switch (r.type) {
            case FilePass: encrypted();
            case Eof: ended = true; break;
            case DateMode: book->date1904 = u16(r.data, 0) == 1; break;
            case FontRecord: {
                FontInfo font;
                font.size = u16(r.data, 0) / 20.0;
                font.italic = u16(r.data, 2) & 0x0002;
                font.bold = u16(r.data, 6) >= 700;
                font.name = shortString(r, 14);
                book->fonts.push_back(std::move(font));
                break;
            }
            case FormatRecord: book->numberFormats[u16(r.data, 0)] = longString(r, 2); break;
            case Xf: {
                CellFormat f;
                f.font = u16(r.data, 0);
                f.numberFormat = u16(r.data, 2);
                f.align = static_cast<HAlign>(u16(r.data, 6) & 0x07);
                if (r.data.size() >= 20) {
                    const std::uint16_t styles = u16(r.data, 10);
                    const std::uint16_t sides = u16(r.data, 12);
                    const std::uint32_t more = u32(r.data, 14);
                    f.borders[Left] = {styles & 0x0F, sides & 0x7F};
                    f.borders[Right] = {styles >> 4 & 0x0F, sides >> 7 & 0x7F};
                    f.borders[Top] = {styles >> 8 & 0x0F, static_cast<int>(more & 0x7F)};
                    f.borders[Bottom] = {styles >> 12 & 0x0F, static_cast<int>(more >> 7 & 0x7F)};
                    f.fill = static_cast<int>(more >> 26 & 0x3F);
                }
                book->formats.push_back(f);
                break;
            }
            case Palette: {
                const std::size_t count = std::min<std::size_t>(u16(r.data, 0), 56);
                book->palette.clear();
                for (std::size_t i = 0; i < count; ++i) {
                    const std::size_t at = 2 + i * 4;
                    if (at + 3 > r.data.size()) break;
                    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(r.data[at + k]); };
                    book->palette.push_back(static_cast<std::uint32_t>(byte(0)) << 16 | byte(1) << 8 | byte(2));
                }
                break;
            }
            case Sst: readSst(r, book->strings); break;
            case BoundSheet: {
                SheetEntry sheet;
                sheet.offset = u32(r.data, 0);
                sheet.type = static_cast<unsigned char>(u16(r.data, 4) >> 8);
                sheet.name = shortString(r, 6);
                book->sheets.push_back(std::move(sheet));
                break;
            }
            default: break;
        }
    }
    if (!ended) damaged("工作簿全局设置没有结束");
    std::set<std::uint32_t> offsets;
    for (const SheetEntry& sheet : book->sheets)
        if (sheet.offset >= book->stream.size() || !offsets.insert(sheet.offset).second) damaged("工作表位置不对");
    return book;
}

Worksheet readWorksheet(const Workbook& book, std::size_t index) {
    if (index >= book.sheets.size()) throw errors::subscriptOutOfRange();
    const SheetEntry& entry = book.sheets[index];
    Worksheet sheet;
    sheet.name = entry.name;
    RecordStream records(book.stream, entry.offset);
    RecordView r;
    if (!records.next(r)) damaged("工作表为空");
    checkBof(r);
    auto add = [&](std::size_t at, CellValue value) {
        Cell c;
        c.row = u16(r.data, at);
        c.column = u16(r.data, at + 2);
        c.xf = u16(r.data, at + 4);
        c.value = std::move(value);
        sheet.cells.push_back(std::move(c));
    };
    auto number = [](double v) { return CellValue{ValueKind::Number, v, {}}; };
    int nested = 0;  // charts and other substreams inside the sheet
    bool pendingString = false;
    bool standardWidth = false;
    bool ended = false;
    while (!ended && records.next(r)) {
        if (r.type == Bof) {
            ++nested;
            continue;
        }
        if (r.type == Eof) {
            if (nested == 0)
                ended = true;
            else
                --nested;
            continue;
        }
        if (nested > 0) continue;
        // A formula's text result follows in a STRING record, after the shared, array or table formula
        // it may belong to; the next cell ends the wait.
        if (isCell(r.type)) pendingString = false;
        switch (isFormula(r.type) ? std::uint16_t{Formula} : r.type) {
            case Number: add(0, number(f64(r.data, 6))); break;
            case Rk: add(0, number(rkValue(u32(r.data, 6)))); break;
            case MulRk: {
                if (r.data.size() < 6) damaged("MULRK 记录过短");
                const int row = u16(r.data, 0);
                const int first = u16(r.data, 2);
                const std::size_t count = (r.data.size() - 6) / 6;
                for (std::size_t i = 0; i < count; ++i) {
                    const std::size_t at = 4 + i * 6;
                    sheet.cells.push_back(
                        Cell{row, first + static_cast<int>(i), u16(r.data, at), number(rkValue(u32(r.data, at + 2)))});
                }
                break;
            }
            case LabelSst: {
                const std::uint32_t i = u32(r.data, 6);
                if (i >= book.strings.size()) damaged("共享字符串编号超出范围");
                add(0, CellValue{ValueKind::Text, 0, book.strings[i]});
                break;
            }
            case Label: add(0, CellValue{ValueKind::Text, 0, longString(r, 6)}); break;
            case BoolErr: {
                const int v = static_cast<unsigned char>(r.data.size() > 6 ? r.data[6] : 0);
                const bool error = r.data.size() > 7 && r.data[7];
                add(0, CellValue{error ? ValueKind::Error : ValueKind::Boolean, static_cast<double>(v), {}});
                break;
            }
            case Blank: add(0, CellValue{}); break;
            case MulBlank: {
                if (r.data.size() < 6) damaged("MULBLANK 记录过短");
                const int row = u16(r.data, 0);
                const int first = u16(r.data, 2);
                const std::size_t count = (r.data.size() - 6) / 2;
                for (std::size_t i = 0; i < count; ++i)
                    sheet.cells.push_back(Cell{row, first + static_cast<int>(i), u16(r.data, 4 + i * 2), CellValue{}});
                break;
            }
            case Formula: {
                if (r.data.size() < 14) damaged("FORMULA 记录过短");
                const bool special = u16(r.data, 12) == 0xFFFF;
                const int kind = static_cast<unsigned char>(r.data[6]);
                if (!special)
                    add(0, number(f64(r.data, 6)));
                else if (kind == 0) {
                    add(0, CellValue{ValueKind::Text, 0, {}});
                    pendingString = true;
                } else if (kind == 1)
                    add(0,
                        CellValue{ValueKind::Boolean, static_cast<double>(static_cast<unsigned char>(r.data[8])), {}});
                else if (kind == 2)
                    add(0, CellValue{ValueKind::Error, static_cast<double>(static_cast<unsigned char>(r.data[8])), {}});
                else
                    add(0, CellValue{ValueKind::Text, 0, {}});
                break;
            }
            case StringRecord:
                if (pendingString) sheet.cells.back().value.text = longString(r, 0);
                pendingString = false;
                break;
            case ColInfo: {
                const int first = u16(r.data, 0);
                const int last = std::min<int>(u16(r.data, 2), 255);
                const double width = u16(r.data, 4) / 256.0;
                const bool hidden = u16(r.data, 8) & 0x0001;
                for (int c = first; c <= last; ++c) sheet.columnWidths[c] = hidden ? 0 : width;
                break;
            }
            // STANDARDWIDTH, where a sheet has one, wins over DEFCOLWIDTH wherever the two stand.
            case DefColWidth:
                if (!standardWidth) sheet.defaultWidth = u16(r.data, 0) + 0.43;
                break;
            case StandardWidth:
                sheet.defaultWidth = u16(r.data, 0) / 256.0;
                standardWidth = true;
                break;
            case MergedCells: {
                const std::size_t count = u16(r.data, 0);
                for (std::size_t i = 0; i < count; ++i) {
                    const std::size_t at = 2 + i * 8;
                    MergedArea m{u16(r.data, at), u16(r.data, at + 2), u16(r.data, at + 4), u16(r.data, at + 6)};
                    if (m.row1 <= m.row2 && m.column1 <= m.column2) sheet.merged.push_back(m);
                }
                break;
            }
            case FilePass: encrypted();
            default: break;  // DIMENSIONS, ROW and the rest carry nothing the copy shows
        }
    }
    sheet.finish();
    return sheet;
}

std::string Workbook::numberFormat(int xf) const {
    const int id = format(xf).numberFormat;
    if (auto it = numberFormats.find(id); it != numberFormats.end()) return it->second;
    return builtinNumberFormat(id);
}

}  // namespace automation::ooxml::xls
