#include "support/sheet_docs.h"

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-utils.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <stdexcept>

namespace gwtest {

namespace {

constexpr const char* kPython = "/usr/bin/python3";

std::string run(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) return {};
    std::string out;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe.get())) out.append(buffer, n);
    return out;
}

std::vector<std::string> split(const std::string& line, char separator) {
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, separator)) fields.push_back(field);
    return fields;
}

// A 1x1 PNG, the preview Word keeps beside an object.
std::string previewPng() {
    static const unsigned char bytes[] = {
        0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00,
        0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00, 0x00, 0x1f, 0x15, 0xc4, 0x89, 0x00, 0x00, 0x00,
        0x0d, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9c, 0x63, 0xf8, 0xff, 0xff, 0x3f, 0x00, 0x05, 0xfe, 0x02, 0xfe, 0xa7,
        0x35, 0x81, 0x84, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

}  // namespace

std::filesystem::path sampleWorkbooks() {
    static std::once_flag made;
    static std::filesystem::path folder;
    std::call_once(made, [] {
        if (!std::filesystem::exists(kPython)) return;
        auto target = std::filesystem::temp_directory_path() / ("gw-workbooks-" + std::to_string(::getpid()));
        std::filesystem::create_directories(target);
        const std::string script = std::string(GRIDWRIGHT_SOURCE_DIR) + "/tests/tools/make_workbooks.py";
        if (std::system((std::string(kPython) + " " + script + " " + target.string()).c_str()) == 0) folder = target;
    });
    return folder;
}

std::string fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

Oracle readWithXlrd(const std::filesystem::path& workbook) {
    const std::string script = std::string(GRIDWRIGHT_SOURCE_DIR) + "/tests/tools/xls_oracle.py";
    Oracle oracle;
    std::istringstream lines(run(std::string(kPython) + " " + script + " '" + workbook.string() + "'"));
    for (std::string line; std::getline(lines, line);) {
        const auto f = split(line, '\t');
        if (f.size() == 2 && f[0] == "datemode") oracle.datemode = std::stoi(f[1]);
        if (f.size() == 5 && f[0] == "merged")
            oracle.merged.push_back({std::stoi(f[1]), std::stoi(f[2]), std::stoi(f[3]), std::stoi(f[4])});
        if (f.size() >= 5 && f[0] == "cell")
            oracle.cells.push_back({std::stoi(f[1]), std::stoi(f[2]), f[3], f[4], f.size() > 5 ? f[5] : ""});
    }
    return oracle;
}

std::vector<FormatCase> numberFormatCases() {
    using automation::ooxml::xls::CellValue;
    using automation::ooxml::xls::ValueKind;
    std::ifstream in(std::string(GRIDWRIGHT_SOURCE_DIR) + "/tests/data/number_formats.tsv");
    std::vector<FormatCase> cases;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line.rfind("//", 0) == 0) continue;
        const auto f = split(line, '\t');
        if (f.size() < 3) throw std::runtime_error("number_formats.tsv: " + line);
        FormatCase c{f[0], f[1], {}, f[2], f.size() > 3 ? f[3] : ""};
        const std::string& v = c.valueText;
        if (v.rfind("text:", 0) == 0)
            c.value = CellValue{ValueKind::Text, 0, v.substr(5)};
        else if (v.rfind("bool:", 0) == 0)
            c.value = CellValue{ValueKind::Boolean, std::stod(v.substr(5)), {}};
        else if (v.rfind("error:", 0) == 0)
            c.value = CellValue{ValueKind::Error, std::stod(v.substr(6)), {}};
        else
            c.value = CellValue{ValueKind::Number, std::stod(v), {}};
        cases.push_back(std::move(c));
    }
    return cases;
}

std::string compoundFile(const std::string& streamName, const std::string& bytes) {
    gsf_init();
    GsfOutput* sink = gsf_output_memory_new();
    GsfOutfile* ole = gsf_outfile_msole_new(sink);
    GsfOutput* stream = gsf_outfile_new_child(ole, streamName.c_str(), FALSE);
    gsf_output_write(stream, bytes.size(), reinterpret_cast<const guint8*>(bytes.data()));
    gsf_output_close(stream);
    g_object_unref(stream);
    gsf_output_close(GSF_OUTPUT(ole));
    g_object_unref(ole);
    const guint8* data = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(sink));
    std::string out(reinterpret_cast<const char*>(data), static_cast<std::size_t>(gsf_output_size(sink)));
    g_object_unref(sink);
    return out;
}

SheetDocument& SheetDocument::text(const std::string& text) {
    body_ += para(text);
    return *this;
}

std::string SheetDocument::objectRun(const std::string& data, const std::string& progId, const std::string& style) {
    const std::string n = std::to_string(++next_);
    const std::string shape = "_x0000_i10" + std::to_string(24 + next_);
    spec_.extraParts["word/embeddings/oleObject" + n + ".bin"] = data;
    spec_.extraParts["word/media/image" + n + ".png"] = previewPng();
    spec_.extraRelationships["rIdOle" + n] = {
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships/oleObject",
        "embeddings/oleObject" + n + ".bin"};
    spec_.extraRelationships["rIdImg" + n] = {
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships/image", "media/image" + n + ".png"};
    return "<w:r><w:object w:dxaOrig=\"4500\" w:dyaOrig=\"1200\"><v:shape id=\"" + shape +
           "\" type=\"#_x0000_t75\" style=\"" + style + "\" o:ole=\"\"><v:imagedata r:id=\"rIdImg" + n +
           "\" o:title=\"\"/></v:shape><o:OLEObject Type=\"Embed\" ProgID=\"" + progId + "\" ShapeID=\"" + shape +
           "\" DrawAspect=\"Content\" ObjectID=\"_17000000" + n + "\" r:id=\"rIdOle" + n + "\"/></w:object></w:r>";
}

SheetDocument& SheetDocument::object(const std::string& data, const std::string& progId) {
    body_ += "<w:p>" + objectRun(data, progId) + "</w:p>";
    return *this;
}

SheetDocument& SheetDocument::objectBetween(const std::string& before, const std::string& data,
                                            const std::string& after) {
    body_ += "<w:p><w:r><w:t xml:space=\"preserve\">" + before + "</w:t></w:r>" + objectRun(data, "Excel.Sheet.8") +
             "<w:r><w:t xml:space=\"preserve\">" + after + "</w:t></w:r></w:p>";
    return *this;
}

SheetDocument& SheetDocument::picture() {
    const std::string n = std::to_string(++next_);
    spec_.extraParts["word/media/image" + n + ".png"] = previewPng();
    spec_.extraRelationships["rIdImg" + n] = {
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships/image", "media/image" + n + ".png"};
    body_ += "<w:p><w:r><w:pict><v:shape style=\"width:20pt;height:20pt\"><v:imagedata r:id=\"rIdImg" + n +
             "\" o:title=\"\"/></v:shape></w:pict></w:r></w:p>";
    return *this;
}

SheetDocument& SheetDocument::floatingObject(const std::string& data, const std::string& position) {
    body_ += "<w:p>" +
             objectRun(data, "Excel.Sheet.8",
                       "position:" + position + ";margin-left:30pt;margin-top:12pt;width:225pt;height:60pt;z-index:2") +
             "<w:r><w:t>浮动的工作表</w:t></w:r></w:p>";
    return *this;
}

SheetDocument& SheetDocument::floatingTextBox(const std::string& text, const std::string& position) {
    body_ +=
        "<w:p><w:r><w:pict><v:shape type=\"#_x0000_t202\" style=\" POSITION : " + position +
        " ;margin-left:0;margin-top:0;width:120pt;height:40pt;z-index:3\"><v:textbox><w:txbxContent><w:p><w:r><w:t>" +
        text + "</w:t></w:r></w:p></w:txbxContent></v:textbox></v:shape></w:pict></w:r></w:p>";
    return *this;
}

SheetDocument& SheetDocument::table(const std::string& tableXml) {
    body_ += tableXml + para("");
    return *this;
}

DocxSpec SheetDocument::docx() const {
    DocxSpec package = spec_;
    package.body = body_ +
                   "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/><w:pgMar w:top=\"1440\" w:right=\"1800\" "
                   "w:bottom=\"1440\" w:left=\"1800\"/></w:sectPr>";
    package.defaultContentTypes["bin"] = "application/vnd.openxmlformats-officedocument.oleObject";
    package.defaultContentTypes["png"] = "image/png";
    return package;
}

}  // namespace gwtest
