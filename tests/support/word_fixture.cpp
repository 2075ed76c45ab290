#include "support/word_fixture.h"

namespace gwtest {

automation::DocumentPtr WordTest::open(const std::string& body, const std::string& styles) {
    DocxSpec package;
    package.body = body;
    package.styles = styles;
    return open(package);
}

automation::DocumentPtr WordTest::open(const DocxSpec& package) {
    const auto path = dir.file("in" + std::to_string(++files) + ".docx");
    writeDocx(path, package);
    return word->Documents()->Open(path.string());
}

std::string WordTest::savedMainPart() { return savedPart("word/document.xml"); }

std::string WordTest::savedPart(const std::string& name) {
    const auto path = dir.file("out" + std::to_string(++files) + ".docx");
    word->ActiveDocument()->SaveAs(path.string());
    return readPart(path, name);
}

long errorNumber(const std::function<void()>& call) {
    try {
        call();
    } catch (const automation::Error& e) {
        return e.number();
    }
    return 0;
}

int count(const std::string& haystack, const std::string& needle) {
    int n = 0;
    for (size_t at = haystack.find(needle); at != std::string::npos; at = haystack.find(needle, at + needle.size()))
        ++n;
    return n;
}

std::string cell(const std::string& text, const std::string& tcPr) {
    std::string xml = "<w:tc>";
    if (!tcPr.empty()) xml += "<w:tcPr>" + tcPr + "</w:tcPr>";
    return xml + para(text) + "</w:tc>";
}

std::string row(const std::string& cells, const std::string& trPr) {
    return "<w:tr>" + (trPr.empty() ? "" : "<w:trPr>" + trPr + "</w:trPr>") + cells + "</w:tr>";
}

std::string tbl(const std::string& rows, const std::string& tblPr, int gridColumns) {
    std::string grid = "<w:tblGrid>";
    for (int i = 0; i < gridColumns; ++i) grid += "<w:gridCol w:w=\"1500\"/>";
    grid += "</w:tblGrid>";
    return "<w:tbl><w:tblPr>" + tblPr + "</w:tblPr>" + grid + rows + "</w:tbl>";
}

}  // namespace gwtest
