// Writes the seed corpus of one fuzz target into a folder: documents made with the test suite's
// builders, the outside documents of ../shared/corpus/ (read where they lie, never kept here), and for
// the settings targets a dictionary of field names, list items and picker choices.
//
// usage: fuzz_seeds TARGET FOLDER [DICTIONARY]
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-utils.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "automation/error.h"
#include "automation/ooxml/package.h"
#include "settings/controls.h"
#include "settings/line_spec.h"
#include "support/docx_builder.h"
#include "support/sheet_docs.h"
#include "support/word_fixture.h"

namespace fs = std::filesystem;
using namespace gwtest;

namespace {

class Seeds {
public:
    explicit Seeds(fs::path folder) : folder_(std::move(folder)) { fs::create_directories(folder_); }
    void add(const std::string& name, const std::string& bytes) {
        std::ofstream(folder_ / name, std::ios::binary) << bytes;
    }
    void copy(const fs::path& file) { fs::copy_file(file, folder_ / file.filename(), fs::copy_options::skip_existing); }

private:
    fs::path folder_;
};

std::vector<fs::path> filesIn(const fs::path& folder, const std::string& extension) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        if (entry.path().extension() == extension) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<fs::path> outsideDocuments() {
    const fs::path corpus = GRIDWRIGHT_CORPUS_DIR;
    std::vector<fs::path> files = filesIn(corpus, ".docx");
    for (const fs::path& file : filesIn(corpus / "pandoc", ".docx")) files.push_back(file);
    return files;
}

std::vector<fs::path> workbooks() {
    std::vector<fs::path> files = filesIn(fs::path(GRIDWRIGHT_CORPUS_DIR) / "xls", ".xls");
    if (const fs::path made = sampleWorkbooks(); !made.empty())
        for (const fs::path& file : filesIn(made, ".xls")) files.push_back(file);
    return files;
}

std::string field(const std::string& code, const std::string& result) {
    return "<w:p><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText xml:space=\"preserve\">" + code +
           "</w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:t>" + result +
           "</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r></w:p>";
}

// Documents that reach the readers' corners: merges of every kind, rows that skip grid columns,
// nesting, content controls around rows, fields, text boxes, alternate content, headers, embedded
// worksheets.
std::vector<DocxSpec> builtDocuments() {
    const std::string lines =
        "<w:tblBorders><w:top w:val=\"single\" w:sz=\"8\"/><w:left w:val=\"single\" w:sz=\"8\"/>"
        "<w:bottom w:val=\"double\" w:sz=\"4\"/><w:right w:val=\"single\" w:sz=\"8\"/>"
        "<w:insideH w:val=\"dotted\" w:sz=\"4\"/><w:insideV w:val=\"single\" w:sz=\"4\"/></w:tblBorders>";
    std::vector<std::string> bodies;
    bodies.push_back(para("报告 1234567.89 元") + table(3, 4, lines) + para("合计 12345.6，3.14159。"));
    bodies.push_back(
        tbl(row(cell("地区", "<w:vMerge w:val=\"restart\"/>") + cell("金额", "<w:gridSpan w:val=\"2\"/>")) +
                row(cell("", "<w:vMerge/>") + cell("上年") + cell("本年")) +
                row(cell("北京") + cell("1000.5") + cell("2000.25")),
            lines + "<w:tblW w:w=\"5000\" w:type=\"pct\"/>", 3) +
        para(""));
    bodies.push_back(tbl(row(cell("a"), "<w:gridBefore w:val=\"1\"/><w:wBefore w:w=\"500\" w:type=\"dxa\"/>") +
                             row(cell("b", "<w:hMerge w:val=\"restart\"/>") + cell("c", "<w:hMerge/>")) +
                             row(cell("d") + cell("e"), "<w:gridAfter w:val=\"1\"/><w:trHeight w:val=\"400\"/>"),
                         "<w:tblInd w:w=\"200\" w:type=\"dxa\"/>", 3) +
                     para(""));
    bodies.push_back(
        tbl(row("<w:tc>" + tbl(row(cell("内") + cell("1234.5")), lines, 2) + para("") + "</w:tc>" + cell("外")), lines,
            2) +
        para(""));
    bodies.push_back("<w:tbl><w:tblPr/><w:tblGrid><w:gridCol w:w=\"2000\"/></w:tblGrid><w:sdt><w:sdtContent>" +
                     row(cell("控件")) + "</w:sdtContent></w:sdt><w:customXml w:element=\"r\">" + row(cell("x")) +
                     "</w:customXml></w:tbl>" + para(""));
    bodies.push_back(field(" HYPERLINK \"http://example.com\" ", "链接") +
                     "<w:p><w:fldSimple w:instr=\" PAGE \"><w:r><w:t>1</w:t></w:r></w:fldSimple></w:p>" +
                     field(" LINK Excel.Sheet.8 \"C:\\\\a.xls\" \"Sheet1!R1C1:R2C2\" \\a \\f 4 \\h ", "表") +
                     field(" INCLUDETEXT \"b.docx\" ", "正文") + para("x", "", "<w:b/><w:sz w:val=\"28\"/>"));
    bodies.push_back(
        "<w:p><w:r><w:pict><v:shape style=\"width:100pt;height:50pt\"><v:textbox><w:txbxContent>" +
        para("文本框 1234.5") +
        "</w:txbxContent></v:textbox></v:shape></w:pict></w:r></w:p><w:p><mc:AlternateContent><mc:Choice "
        "Requires=\"wps\"><w:r><w:t>新</w:t></w:r></mc:Choice><mc:Fallback><w:r><w:t>旧</w:t></w:r></mc:Fallback>"
        "</mc:AlternateContent></w:p>" +
        para("页",
             "<w:pStyle w:val=\"Heading1\"/><w:spacing w:line=\"360\" w:lineRule=\"auto\"/><w:ind "
             "w:firstLineChars=\"200\"/>"));
    std::vector<DocxSpec> documents;
    for (const std::string& body : bodies) {
        DocxSpec docx;
        docx.body = body;
        documents.push_back(docx);
    }
    DocxSpec styled;
    styled.body = tbl(row(cell("样式")), "<w:tblStyle w:val=\"Grid\"/>", 1) + para("正文", "<w:pStyle w:val=\"P\"/>");
    styled.styles =
        "<w:style w:type=\"table\" w:styleId=\"Grid\"><w:tblPr>" + lines +
        "</w:tblPr></w:style><w:style w:type=\"paragraph\" w:styleId=\"P\"><w:basedOn w:val=\"P\"/><w:rPr><w:sz "
        "w:val=\"24\"/></w:rPr></w:style>";
    styled.extraParts["word/header1.xml"] =
        std::string("<w:hdr ") + kWordNamespaces + ">" + para("页眉 1234.5") + "</w:hdr>";
    styled.extraRelationships["rIdHeader"] = {
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships/header", "header1.xml"};
    documents.push_back(styled);
    SheetDocument sheets;
    sheets.text("表一");
    for (const fs::path& workbook : workbooks())
        if (workbook.filename().string().find("OOM") == std::string::npos && fs::file_size(workbook) < 20000)
            sheets.object(fileBytes(workbook));
    sheets.picture().table(table(2, 2));
    documents.push_back(sheets.docx());
    return documents;
}

void packageSeeds(Seeds& seeds) {
    TempDir dir;
    int n = 0;
    for (const DocxSpec& docx : builtDocuments()) {
        const fs::path path = dir.file("built" + std::to_string(++n) + ".docx");
        writeDocx(path, docx);
        seeds.copy(path);
    }
    for (const fs::path& file : outsideDocuments()) seeds.copy(file);
}

void mainPartSeeds(Seeds& seeds) {
    TempDir dir;
    std::vector<fs::path> files = outsideDocuments();
    int n = 0;
    for (const DocxSpec& docx : builtDocuments()) {
        files.push_back(dir.file("built" + std::to_string(++n) + ".docx"));
        writeDocx(files.back(), docx);
    }
    for (const fs::path& file : files) {
        try {
            automation::ooxml::Package package = automation::ooxml::Package::open(file.string());
            if (auto xml = package.part(package.mainPartName())) seeds.add(file.stem().string() + ".xml", *xml);
        } catch (const automation::Error&) {}
    }
}

// The Workbook stream of a compound file, for the bare-stream form of the worksheet target.
std::string workbookStream(const std::string& file) {
    GsfInput* input = gsf_input_memory_new(reinterpret_cast<const guint8*>(file.data()), file.size(), FALSE);
    GsfInfile* ole = gsf_infile_msole_new(input, nullptr);
    std::string stream;
    if (ole) {
        if (GsfInput* child = gsf_infile_child_by_name(ole, "Workbook")) {
            stream.resize(static_cast<std::size_t>(gsf_input_size(child)));
            if (!gsf_input_read(child, stream.size(), reinterpret_cast<guint8*>(stream.data()))) stream.clear();
            g_object_unref(child);
        }
        g_object_unref(ole);
    }
    g_object_unref(input);
    return stream;
}

void worksheetSeeds(Seeds& seeds) {
    gsf_init();
    for (const fs::path& file : workbooks()) {
        seeds.copy(file);
        const std::string stream = workbookStream(fileBytes(file));
        if (!stream.empty()) seeds.add(file.stem().string() + ".stream", stream);
    }
}

void wildcardSeeds(Seeds& seeds) {
    struct Search {
        char flags;
        std::string pattern, text, replacement;
    };
    const std::string report = "合计 1234567.89 元，3.14159。\r表格\r\a1,234.5\r\a";
    const Search searches[] = {
        {1, "([0-9])([0-9]{3})([.,])", report, "\\1,\\2\\3"},
        {1, "<[A-Z]@>", "THE Quick BROWN fox", "^&"},
        {1, "[!a-z]{2,4}", "ab12CD34ef", "-"},
        {1, "a*b", "aaxbyb", "\\0"},
        {1, "?@^13", "x\ry\r", "^p"},
        {1, "(x)(y)\\1", "xyx xyy", "\\2\\1"},
        {1, "[一-龥]{1,}", "中文 text 表格", "[\\1]"},
        {1, "[\\(\\)]{1,}", "((a))", "^t"},
        {0, "^p^t^#^$^?", "\r\t1a\x01", "^^"},
        {2, "Word", "word Word WORD", "Excel"},
        {4, "表格", "表格中的表格", "^0065"},
        {9, "(<*>)", "one two", "\\1"},
        {0, "^w^s^~^-", "a \xC2\xA0-b", "^l^m^n"},
    };
    int n = 0;
    for (const Search& s : searches)
        seeds.add("search" + std::to_string(++n),
                  std::string(1, s.flags) + s.pattern + '\0' + s.text + '\0' + s.replacement);
}

// Every field with each of its items (check boxes on and off, lines as picker pairs).
std::vector<std::string> assignments() {
    std::vector<std::string> out;
    for (const settings::ControlSpec& control : settings::panelControls()) {
        if (control.field.empty()) continue;
        const std::string field(control.field);
        if (control.kind == settings::ControlKind::CheckBox) {
            out.push_back(field + "=1");
            out.push_back(field + "=0");
        } else if (control.kind == settings::ControlKind::LinePreview) {
            out.push_back(field + "=2/12");
            out.push_back(field + "=/8");
        } else {
            for (std::string_view item : control.items) out.push_back(field + "=" + std::string(item));
        }
    }
    return out;
}

void settingsSeeds(Seeds& seeds, bool commandLine) {
    // A settings file with a byte order mark, a comment and Windows line ends.
    std::string all = commandLine ? "" : "\xEF\xBB\xBF# 全部字段\r\n";
    for (const std::string& assignment : assignments()) {
        all += (commandLine ? "--set\n" : "") + assignment + (commandLine ? "\n" : "\r\n");
        // One seed per field, with its last item.
        seeds.add(assignment.substr(0, assignment.find('=')), (commandLine ? "--set\n" : "") + assignment + "\n");
    }
    seeds.add("all", all);
    if (commandLine) {
        std::string lines = "--report\n";
        for (const settings::PickerOption& option : settings::pickerOptions())
            lines += "--line\n" + std::string(option.name) + "\n";
        seeds.add("lines", lines);
        seeds.add("equals", "--set=TableWidthMode=指定宽度\n--set=SpecifiedWidthCm=12\n--set=LeftIndentCm=0.4\n");
    } else {
        seeds.add("width", "  TableWidthMode =指定宽度\nSpecifiedWidthCm=1e3\nLeftIndentCm=-0.2\n\n   # x\n");
    }
}

// Field names, list items and picker choices: tokens the mutator would hardly guess.
void settingsDictionary(const fs::path& path) {
    std::ofstream out(path, std::ios::binary);
    // libFuzzer reads printable ASCII between the quotes; every other byte is written as \xNN.
    auto token = [&out](std::string_view text) {
        out << '"';
        for (char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x20 || byte >= 0x7F) {
                const char* digits = "0123456789abcdef";
                out << "\\x" << digits[byte >> 4] << digits[byte & 15];
            } else {
                if (c == '"' || c == '\\') out << '\\';
                out << c;
            }
        }
        out << "\"\n";
    };
    for (const settings::ControlSpec& control : settings::panelControls()) {
        if (control.field.empty()) continue;
        token(control.field);
        for (std::string_view item : control.items) token(item);
    }
    for (const settings::PickerOption& option : settings::pickerOptions()) token(option.name);
    for (std::string_view text : {"--set", "--line", "--report", "不变", "=", "/", "1e38", "-0", "nan", "inf", "0x1p3"})
        token(text);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: fuzz_seeds TARGET FOLDER [DICTIONARY]\n";
        return 2;
    }
    const std::string target = argv[1];
    Seeds seeds(argv[2]);
    if (target == "package")
        packageSeeds(seeds);
    else if (target == "main_part")
        mainPartSeeds(seeds);
    else if (target == "worksheet")
        worksheetSeeds(seeds);
    else if (target == "wildcard")
        wildcardSeeds(seeds);
    else if (target == "settings_file" || target == "command_line")
        settingsSeeds(seeds, target == "command_line");
    else {
        std::cerr << "fuzz_seeds: no target " << target << "\n";
        return 2;
    }
    if (argc > 3) settingsDictionary(argv[3]);
    return 0;
}
