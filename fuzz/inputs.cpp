#include "fuzz/inputs.h"

#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "automation/error.h"
#include "automation/ooxml/application.h"
#include "automation/ooxml/desktop.h"
#include "automation/ooxml/text_search.h"
#include "automation/ooxml/unicode.h"
#include "batch/batch_app.h"
#include "batch/commands.h"
#include "support/docx_builder.h"
#include "support/sheet_docs.h"
#include "support/word_fixture.h"

namespace fuzz {

namespace fs = std::filesystem;
using namespace automation;

namespace {

// A broken promise: named on stderr, then the process ends as on a crash, so that the fuzzer keeps
// the input.
[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "fuzz: %s\n", what.c_str());
    std::abort();
}

// Word and Excel may refuse anything; that is a sound answer to a hostile file.
template <typename Call>
void tolerate(Call&& call) {
    try {
        call();
    } catch (const automation::Error&) {}
}

// A fresh folder for one input's files, removed afterwards (under TMPDIR, which fuzz.sh points at
// memory).
class Scratch {
public:
    Scratch() {
        std::string name = (fs::temp_directory_path() / "gw-fuzz-XXXXXX").string();
        if (!::mkdtemp(name.data())) fail("no temporary folder");
        path_ = name;
    }
    ~Scratch() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    std::string file(const char* name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) fail("cannot write " + path);
}

// ---- packages -----------------------------------------------------------------------------------

// A table style with lines and a paragraph style, so that references to them in a main part resolve.
constexpr const char* kStyles =
    R"(<w:docDefaults><w:rPrDefault><w:rPr><w:sz w:val="21"/></w:rPr></w:rPrDefault></w:docDefaults>)"
    R"(<w:style w:type="paragraph" w:default="1" w:styleId="Normal"><w:name w:val="Normal"/></w:style>)"
    R"(<w:style w:type="paragraph" w:styleId="Heading1"><w:name w:val="heading 1"/><w:basedOn w:val="Normal"/>)"
    R"(<w:pPr><w:spacing w:before="240"/></w:pPr><w:rPr><w:b/><w:sz w:val="32"/></w:rPr></w:style>)"
    R"(<w:style w:type="table" w:styleId="TableGrid"><w:name w:val="Table Grid"/><w:tblPr><w:tblBorders>)"
    R"(<w:top w:val="single" w:sz="4"/><w:left w:val="single" w:sz="4"/><w:bottom w:val="single" w:sz="4"/>)"
    R"(<w:right w:val="single" w:sz="4"/><w:insideH w:val="single" w:sz="4"/><w:insideV w:val="single" w:sz="4"/>)"
    R"(</w:tblBorders></w:tblPr></w:style>)";

// A sound package with these bytes as its main part, beside a styles part.
void writePackage(const std::string& path, std::string_view mainPart) {
    gwtest::DocxSpec docx;
    docx.styles = kStyles;
    docx.extraParts[docx.mainPartName] = std::string(mainPart);
    gwtest::writeDocx(path, docx);
}

// The document the command-line targets format: tables as reports have them (a title row, numbers,
// spaces, an empty row, merged title cells, one without lines), and numbers in the running text.
std::string soundBody() {
    using gwtest::cell, gwtest::para, gwtest::row, gwtest::tbl;
    const std::string lined = "<w:tblStyle w:val=\"TableGrid\"/><w:tblW w:w=\"0\" w:type=\"auto\"/>";
    const std::string unlined =
        "<w:tblBorders><w:top w:val=\"nil\"/><w:left w:val=\"nil\"/><w:bottom w:val=\"nil\"/>"
        "<w:right w:val=\"nil\"/></w:tblBorders>";
    return para("二〇二三年收支 1234567.89 元，同比增长 3.14159。") +
           tbl(row(cell("项目") + cell("收入") + cell("支出")) +
                   row(cell("一 季 度") + cell("1234.5") + cell("98765.43")) + row(cell("") + cell("") + cell("")) +
                   row(cell("合计") + cell("1,234.56") + cell("12345678.9")),
               lined, 3) +
           para("") +
           tbl(row(cell("地区", "<w:vMerge w:val=\"restart\"/>") + cell("金额", "<w:gridSpan w:val=\"2\"/>")) +
                   row(cell("", "<w:vMerge/>") + cell("上年") + cell("本年")) +
                   row(cell("北京") + cell("1000.5") + cell("2000.25")),
               lined, 3) +
           para("") + tbl(row(cell("甲") + cell("1234.5")), unlined, 2) + para("完");
}

// ---- documents ---------------------------------------------------------------------------------

// Keeps one input's walk short on a large document.
constexpr int kMostItems = 400;
constexpr int kMostRowsAndColumns = 48;
constexpr int kMostNestingDepth = 4;

// Calls each(item) for the first kMostItems members of a collection, every one on its own.
template <typename CollectionPtr, typename Each>
void forEachItem(const CollectionPtr& collection, Each&& each) {
    const int count = std::min(collection->Count(), kMostItems);
    for (int i = 1; i <= count; ++i) tolerate([&] { each(collection->Item(i)); });
}

void touchRange(const RangePtr& range) {
    range->Start();
    range->End();
    range->Text();
    tolerate([&] { range->Font()->Name(); });
    tolerate([&] { range->ParagraphFormat()->Alignment(); });
}

void touchTable(Application& word, const TablePtr& table, int depth) {
    tolerate([&] {
        table->Select();
        SelectionPtr selection = word.Selection();
        for (int edge = wdBorderTop; edge >= wdBorderVertical; --edge)
            tolerate([&] { selection->Borders()->Item(edge)->LineStyle(); });
        tolerate([&] { selection->Rows()->Count(); });
        tolerate([&] { selection->Cells()->Count(); });
        tolerate([&] { selection->Columns()->Count(); });
    });
    tolerate([&] {
        table->PreferredWidthType();
        table->PreferredWidth();
        table->AllowAutoFit();
        touchRange(table->Range());
    });
    int rows = 0;
    int columns = 0;
    tolerate([&] { rows = std::min(table->Rows()->Count(), kMostRowsAndColumns); });
    tolerate([&] { columns = std::min(table->Columns()->Count(), kMostRowsAndColumns); });
    for (int r = 1; r <= rows; ++r) {
        tolerate([&] { table->Rows()->Item(r)->Cells()->Count(); });
        for (int c = 1; c <= columns; ++c)
            tolerate([&] {
                CellPtr cell = table->Cell(r, c);
                cell->RowIndex();
                cell->ColumnIndex();
                cell->VerticalAlignment();
                cell->RightPadding();
                touchRange(cell->Range());
            });
    }
    for (int c = 1; c <= columns; ++c) tolerate([&] { table->Columns()->Item(c)->Cells()->Count(); });
    if (depth >= kMostNestingDepth) return;
    tolerate(
        [&] { forEachItem(table->Tables(), [&](const TablePtr& nested) { touchTable(word, nested, depth + 1); }); });
}

void touchEverything(Application& word, Document& document) {
    tolerate([&] { touchRange(document.Content()); });
    tolerate([&] {
        forEachItem(document.Paragraphs(), [](const ParagraphPtr& paragraph) {
            touchRange(paragraph->Range());
            ParagraphFormatPtr format = paragraph->Format();
            format->LineSpacing();
            format->SpaceBefore();
            format->CharacterUnitFirstLineIndent();
        });
    });
    tolerate([&] { forEachItem(document.Tables(), [&](const TablePtr& table) { touchTable(word, table, 0); }); });
    tolerate([&] {
        forEachItem(document.Fields(), [](const FieldPtr& field) {
            field->Code();
            touchRange(field->Result());
        });
    });
    tolerate([&] {
        forEachItem(document.InlineShapes(), [](const InlineShapePtr& shape) {
            shape->Type();
            touchRange(shape->Range());
            shape->OLEFormat()->ProgID();
        });
    });
}

// Every choice of the panel away from "不变", so that every step of the runs has work to do.
const batch::SettingValues& everySetting() {
    static const batch::SettingValues values = [] {
        batch::SettingValues v;
        for (const char* assignment : {"RowHeightCm=0.60",
                                       "TableWidthMode=调整到页面宽度",
                                       "IncludeBorderlessTables=1",
                                       "LineSpacingLines=1.5",
                                       "TextFont=宋体",
                                       "NumberFont=Times New Roman",
                                       "FontSize=五号",
                                       "CellRightMarginCm=0.2",
                                       "RemoveSpaces=1",
                                       "AddThousandsSeparators=1",
                                       "HeaderRowAlign=居中",
                                       "OtherAreaAlign=居右",
                                       "RepeatHeaderRows=1",
                                       "BodySpaceBefore=0.5",
                                       "BodySpaceAfter=0",
                                       "BodyLineSpacing=1.5",
                                       "BodyTextFont=仿宋_GB2312",
                                       "BodyNumberFont=Arial Narrow",
                                       "BodyFontSize=小四",
                                       "BodyFirstLineIndent=2.0"})
            v.emplace_back("set", assignment);
        return v;
    }();
    return values;
}

class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
};

// What the command line can do to a document, each command as gridwright-batch runs it.
void runEveryCommand(ooxml::WordApplication& word, const DocumentPtr& document) {
    NullBuffer nothing;
    std::ostream out(&nothing);
    batch::CommandContext context{word, document, out, everySetting(), [&word] { return word.excel(); }};
    const batch::CommandRegistry registry = batch::defaultCommands();
    for (const batch::Command& command : registry.commands())
        tolerate([&] { command.run(context, command.valueName.empty() ? std::string() : std::string("1")); });
}

// Opens the file, uses it, saves it and opens the result: what was saved must open, with the same text.
void openAndUse(const Scratch& scratch, const std::string& path) {
    std::shared_ptr<ooxml::WordApplication> word = ooxml::createWord();
    DocumentPtr document;
    try {
        document = word->Documents()->Open(path);
    } catch (const automation::Error&) {
        return;
    }
    touchEverything(*word, *document);
    runEveryCommand(*word, document);
    std::string text;
    tolerate([&] { text = document->Content()->Text(); });
    const std::string saved = scratch.file("saved.docx");
    try {
        document->SaveAs(saved);
    } catch (const automation::Error& error) {
        fail("a document that opened was not saved: " + error.message());
    }
    std::string again;
    try {
        again = ooxml::createWord()->Documents()->Open(saved)->Content()->Text();
    } catch (const automation::Error& error) {
        fail("the saved document does not open: " + error.message());
    }
    if (again != text) fail("the saved document has other text");
}

// ---- the command line ----------------------------------------------------------------------------

// Runs gridwright-batch on the sound document with these options after --format --body. A command
// line that passes its checks must format the document to its end.
void runBatch(const Scratch& scratch, const std::vector<std::string>& options) {
    const std::string input = scratch.file("报表.docx");
    gwtest::DocxSpec document;
    document.body = soundBody();
    document.styles = kStyles;
    gwtest::writeDocx(input, document);
    std::vector<std::string> args = {input, "-o", scratch.file("out.docx"), "--format", "--body"};
    args.insert(args.end(), options.begin(), options.end());
    batch::BatchApp app(batch::defaultCommands(), [] { return ooxml::createWord(); });
    std::ostringstream out;
    std::ostringstream err;
    if (app.run(args, out, err) == batch::kExitFailed)
        fail("a command line that passed its checks failed on a sound document:\n" + err.str());
}

// ---- worksheets --------------------------------------------------------------------------------

bool validUtf8(std::string_view text) { return ooxml::toUtf8(ooxml::toUtf16(text)) == text; }

// What Copy put on the clipboard must describe a whole range that Word can paste.
void checkClipboard(const ooxml::ClipboardRange& range) {
    if (range.rows < 1 || range.columns < 1) fail("an empty range was copied");
    if (range.cells.size() != static_cast<std::size_t>(range.rows) * static_cast<std::size_t>(range.columns))
        fail("the copied cells do not fill the range");
    if (range.columnWidths.size() != static_cast<std::size_t>(range.columns)) fail("a copied column has no width");
    for (int r = 0; r < range.rows; ++r)
        for (int c = 0; c < range.columns; ++c) {
            const ooxml::ClipboardCell& cell = range.at(r, c);
            if (cell.rowSpan < 1 || cell.columnSpan < 1 || r + cell.rowSpan > range.rows ||
                c + cell.columnSpan > range.columns)
                fail("a copied merged area leaves the range");
            if (!validUtf8(cell.text) || !validUtf8(cell.font.name)) fail("a copied cell shows invalid UTF-8");
        }
}

// ---- find ----------------------------------------------------------------------------------------

// Word takes at most 255 characters of find text and of replacement.
constexpr std::size_t kMostFindCharacters = 255;
// Long enough for every construct of a pattern to meet its text; short enough for many runs a second.
constexpr std::size_t kMostSearchedCharacters = 4096;

void checkMatch(const ooxml::Match& m, std::size_t from, std::size_t to) {
    if (m.start < from || m.end > to || m.start > m.end) fail("a match lies outside the searched stretch");
    if (m.groups[0].start != m.start || m.groups[0].end != m.end) fail("group 0 is not the match");
    for (const ooxml::MatchSpan& group : m.groups)
        if (group.matched() && (group.start > group.end || group.start < m.start || group.end > m.end))
            fail("a group lies outside its match");
}

}  // namespace

void package(std::string_view bytes) {
    Scratch scratch;
    const std::string path = scratch.file("in.docx");
    writeFile(path, bytes);
    openAndUse(scratch, path);
}

void mainPart(std::string_view bytes) {
    Scratch scratch;
    const std::string path = scratch.file("in.docx");
    writePackage(path, bytes);
    openAndUse(scratch, path);
}

void worksheet(std::string_view bytes) {
    constexpr std::string_view kCompoundFileSignature("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    const std::string file = bytes.starts_with(kCompoundFileSignature)
                                 ? std::string(bytes)
                                 : gwtest::compoundFile("Workbook", std::string(bytes));
    auto desktop = std::make_shared<ooxml::Desktop>();
    try {
        ooxml::openEmbeddedWorkbook(desktop, file, "工作表");
    } catch (const automation::Error&) {
        return;
    }
    excel::WorksheetsPtr sheets = ooxml::makeLauncher(desktop)->attachRunning()->ActiveWorkbook()->Worksheets();
    const int count = std::min(sheets->Count(), kMostItems);
    for (int i = 1; i <= count; ++i)
        tolerate([&] {
            excel::WorksheetPtr sheet = sheets->Item(i);
            sheet->Name();
            excel::RangePtr used = sheet->UsedRange();
            used->Address();
            sheet->Columns("A:Z")->EntireColumn()->AutoFit();
            desktop->clipboard.reset();
            used->Copy();
            if (!desktop->clipboard) fail("Copy put nothing on the clipboard");
            checkClipboard(*desktop->clipboard);
        });
}

void wildcard(std::string_view bytes) {
    if (bytes.empty()) return;
    const unsigned flags = static_cast<unsigned char>(bytes.front());
    bytes.remove_prefix(1);
    std::string_view parts[3];
    for (int i = 0; i < 2; ++i) {
        const std::size_t end = std::min(bytes.find('\0'), bytes.size());
        parts[i] = bytes.substr(0, end);
        bytes.remove_prefix(std::min(end + 1, bytes.size()));
    }
    parts[2] = bytes;
    ooxml::SearchOptions options;
    options.text = ooxml::toUtf16(parts[0]).substr(0, kMostFindCharacters);
    options.matchWildcards = flags & 1;
    options.matchCase = flags & 2;
    options.matchWholeWord = flags & 4;
    options.forward = !(flags & 8);
    const std::u16string text = ooxml::toUtf16(parts[1]).substr(0, kMostSearchedCharacters);
    const std::u16string replacement = ooxml::toUtf16(parts[2]).substr(0, kMostFindCharacters);

    std::optional<ooxml::TextSearch> search;
    try {
        search.emplace(options);
    } catch (const automation::Error&) {
        return;
    }
    tolerate([&] {
        std::optional<ooxml::Match> first;
        if (options.forward) {
            for (std::size_t from = 0; from <= text.size();) {
                const std::optional<ooxml::Match> m = search->findNext(text, from, text.size());
                if (!m) break;
                checkMatch(*m, from, text.size());
                if (!first) first = m;
                from = m->end > m->start ? m->end : m->end + 1;
            }
        } else {
            for (std::size_t to = text.size();;) {
                const std::optional<ooxml::Match> m = search->findNext(text, 0, to);
                if (!m) break;
                checkMatch(*m, 0, to);
                if (m->end > m->start)
                    to = m->start;
                else if (m->start == 0)
                    break;
                else
                    to = m->start - 1;
            }
        }
        // A plain find text with case and without ^ codes is found where the text holds it.
        const bool plain = !options.matchWildcards && options.matchCase && !options.matchWholeWord && options.forward &&
                           !options.text.empty() && options.text.find(u'^') == std::u16string::npos &&
                           text.find(ooxml::kCellMark) == std::u16string::npos;
        if (plain) {
            const std::size_t expected = text.find(options.text);
            if ((expected == std::u16string::npos) != !first || (first && first->start != expected))
                fail("a plain find text is not found where the text holds it");
        }
        std::size_t previousEnd = 0;
        for (const ooxml::PlannedReplacement& r : search->planReplaceAll(text, 0, text.size(), replacement)) {
            if (r.start < previousEnd || r.end < r.start || r.end > text.size()) fail("replacements overlap");
            previousEnd = r.end;
        }
    });
}

void settingsFile(std::string_view bytes) {
    Scratch scratch;
    const std::string path = scratch.file("settings.txt");
    writeFile(path, bytes);
    runBatch(scratch, {"--settings", path});
}

void commandLine(std::string_view bytes) {
    std::vector<std::string_view> lines;
    while (!bytes.empty()) {
        const std::size_t end = std::min(bytes.find('\n'), bytes.size());
        lines.push_back(bytes.substr(0, end));
        bytes.remove_prefix(std::min(end + 1, bytes.size()));
    }
    // Each value is joined to its option with "=", so that no line can stand as an option or a file
    // of its own.
    std::vector<std::string> options;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (line == "--report" || line.starts_with("--set=") || line.starts_with("--line="))
            options.emplace_back(line);
        else if ((line == "--set" || line == "--line") && i + 1 < lines.size())
            options.push_back(std::string(line) + "=" + std::string(lines[++i]));
    }
    Scratch scratch;
    runBatch(scratch, options);
}

const std::vector<Target>& targets() {
    static const std::vector<Target> all = {
        {"package", package},   {"main_part", mainPart},         {"worksheet", worksheet},
        {"wildcard", wildcard}, {"settings_file", settingsFile}, {"command_line", commandLine}};
    return all;
}

}  // namespace fuzz
