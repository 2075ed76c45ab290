// Documents with embedded Excel 97-2003 worksheets, built the way Word stores them, from workbooks an
// outside writer (python3-xlwt) makes; python3-xlrd as the outside reader of the same workbooks.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "automation/ooxml/xls_workbook.h"
#include "support/docx_builder.h"

namespace gwtest {

// The folder of workbooks tests/tools/make_workbooks.py wrote for this test program (made once);
// empty when /usr/bin/python3 with xlwt is missing.
std::filesystem::path sampleWorkbooks();
std::string fileBytes(const std::filesystem::path& path);

// What xlrd reads from a workbook's first worksheet (tests/tools/xls_oracle.py).
struct OracleCell {
    int row = 0;
    int column = 0;
    std::string kind;  // number, text, boolean, error
    std::string value;
    std::string format;
};
struct Oracle {
    int datemode = 0;
    std::vector<OracleCell> cells;
    std::vector<std::array<int, 4>> merged;  // row1, row2, column1, column2, inclusive
};
Oracle readWithXlrd(const std::filesystem::path& workbook);

// One row of tests/data/number_formats.tsv: a format code, a value, and the text Excel shows for it.
struct FormatCase {
    std::string code;
    std::string valueText;  // as written: a number, text:..., bool:0|1, error:CODE
    automation::ooxml::xls::CellValue value;
    std::string expected;
    std::string note;
};
std::vector<FormatCase> numberFormatCases();

// A compound file holding one stream, written with libgsf (for workbooks no writer would make).
std::string compoundFile(const std::string& streamName, const std::string& bytes);

// Builds a document paragraph by paragraph: text, embedded objects, inline pictures.
class SheetDocument {
public:
    SheetDocument& text(const std::string& text);
    // An embedded OLE object in a paragraph of its own; its data is a compound file.
    SheetDocument& object(const std::string& compoundFile, const std::string& progId = "Excel.Sheet.8");
    // The same object between text, in one paragraph.
    SheetDocument& objectBetween(const std::string& before, const std::string& compoundFile, const std::string& after);
    SheetDocument& picture();
    // A worksheet object and a text box that float: their VML shapes are positioned ("absolute",
    // "relative"), so Word counts them among its Shapes, not its InlineShapes.
    SheetDocument& floatingObject(const std::string& compoundFile, const std::string& position = "absolute");
    SheetDocument& floatingTextBox(const std::string& text, const std::string& position = "absolute");
    // A table, as the format run would meet any other.
    SheetDocument& table(const std::string& tableXml);
    DocxSpec docx() const;

private:
    std::string objectRun(const std::string& compoundFile, const std::string& progId,
                          const std::string& style = "width:225pt;height:60pt");

    std::string body_;
    DocxSpec spec_;
    int next_ = 0;
};

}  // namespace gwtest
