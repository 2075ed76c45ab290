// gridwright-batch --convert-sheets: embedded worksheets become tables that a format run afterwards
// lays out like every other table.
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <filesystem>
#include <sstream>

#include "automation/ooxml/application.h"
#include "batch/batch_app.h"
#include "support/libreoffice.h"
#include "support/sheet_docs.h"
#include "support/word_fixture.h"
#include "utilities/utilities.h"

namespace {

std::string tableLayout(pugi::xml_node tbl) {
    std::string layout;
    pugi::xml_node tblPr = tbl.child("w:tblPr");
    for (pugi::xml_node edge : tblPr.child("w:tblBorders").children())
        layout += std::string(edge.name()) + "=" + edge.attribute("w:val").value() + "/" +
                  edge.attribute("w:sz").value() + " ";
    layout += std::string("width=") + tblPr.child("w:tblW").attribute("w:type").value() + " ";
    layout += std::string("align=") + tblPr.child("w:jc").attribute("w:val").value();
    return layout;
}

// Writes a document, runs gridwright-batch on it with the given steps, and reads what it saved.
class ConvertSheetsLibreOffice : public ::testing::Test {
protected:
    void SetUp() override {
        workbooks = gwtest::sampleWorkbooks();
        if (workbooks.empty()) GTEST_SKIP() << "/usr/bin/python3 with xlwt is needed to write the workbooks";
    }
    std::string workbook(const char* name) { return gwtest::fileBytes(workbooks / name); }
    void run(const gwtest::SheetDocument& doc, std::vector<std::string> steps) {
        gwtest::writeDocx(in, doc.docx());
        steps.insert(steps.begin(), in.string());
        steps.insert(steps.end(), {"-o", out.string()});
        batch::BatchApp app(batch::defaultCommands(), [] { return automation::ooxml::createWord(); });
        std::ostringstream log, err;
        ASSERT_EQ(app.run(steps, log, err), batch::kExitOk) << err.str();
        printed = log.str();
        ASSERT_TRUE(main.load_string(gwtest::readPart(out, "word/document.xml").c_str()));
        for (pugi::xml_node t : main.child("w:document").child("w:body").children("w:tbl")) tables.push_back(t);
    }
    // The texts of a column of a table (1-based, as in XPath), row by row.
    std::vector<std::string> column(std::size_t table, int n) {
        std::vector<std::string> texts;
        for (pugi::xml_node tr : tables.at(table).children("w:tr")) {
            std::string text;
            for (pugi::xpath_node t : tr.select_nodes(("w:tc[" + std::to_string(n) + "]//w:t").c_str()))
                text += t.node().text().get();
            texts.push_back(text);
        }
        return texts;
    }

    std::filesystem::path workbooks;
    gwtest::TempDir dir;
    std::filesystem::path in = dir.file("in.docx");
    std::filesystem::path out = dir.file("out.docx");
    std::string printed;
    pugi::xml_document main;
    std::vector<pugi::xml_node> tables;
};

TEST_F(ConvertSheetsLibreOffice, ConvertedTablesAreFormattedLikeTheOthers) {
    gwtest::SheetDocument doc;
    // A table of the document itself, with borders (the format run leaves borderless tables alone).
    const std::string borders =
        "<w:tblBorders><w:top w:val=\"double\" w:sz=\"4\"/><w:insideV w:val=\"single\" w:sz=\"4\"/></w:tblBorders>";
    doc.text("报表")
        .table(gwtest::tbl(
            gwtest::row(gwtest::cell("甲") + gwtest::cell("乙")) + gwtest::row(gwtest::cell("1") + gwtest::cell("2")),
            borders, 2))
        .object(workbook("numbers.xls"))
        .object(workbook("merged.xls"));
    // The worksheets have no borders, so their tables come without, as Word pastes them; the format run
    // takes them with "包含特殊表格".
    run(doc, {"--convert-sheets", "--format", "--set", "IncludeBorderlessTables=1"});
    EXPECT_NE(printed.find(utilities::kEmbeddedSheetsNotice), std::string::npos);
    ASSERT_EQ(tables.size(), 3u);
    EXPECT_EQ(main.select_nodes("//w:object").size(), 0u);
    EXPECT_EQ(tableLayout(tables[1]), tableLayout(tables[0]));
    EXPECT_EQ(tableLayout(tables[2]), tableLayout(tables[0]));
    gwtest::expectOpensInLibreOffice(out);
}

// Workbooks with every record and number format the embedded Excel reads: the tables show what Excel
// shows, cell for cell, and the closing count names the objects left with their reasons.
TEST_F(ConvertSheetsLibreOffice, TablesShowWhatExcelShowsAndTheCountNamesWhatStayed) {
    gwtest::SheetDocument doc;
    for (const char* name : {"formats.xls", "encrypted.xls", "formulas.xls", "excel95.xls", "borders.xls"})
        doc.object(workbook(name));
    run(doc, {"--convert-sheets", "--report"});
    for (const char* line : {"已转换 3 个，未能转换 2 个：\n第 2 个嵌入对象：工作簿已加密，需要密码才能打开\n"
                             "第 4 个嵌入对象：工作簿是 Excel 5.0/95 格式（较早的 Excel 版本），无法读取\n",
                             "第 1 个嵌入对象（Excel.Sheet.8）：已转换\n"})
        EXPECT_NE(printed.find(line), std::string::npos) << printed;
    ASSERT_EQ(tables.size(), 3u);
    EXPECT_EQ(main.select_nodes("//w:object").size(), 2u);

    const std::vector<std::string> shown = column(0, 1);
    const std::vector<gwtest::FormatCase> cases = gwtest::numberFormatCases();
    std::size_t compared = 0;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        if (cases[i].valueText.rfind("error:", 0) == 0) continue;  // xlwt writes no error values
        ASSERT_LT(i, shown.size());
        EXPECT_EQ(shown[i], cases[i].expected) << cases[i].code << " | " << cases[i].valueText;
        ++compared;
    }
    EXPECT_GT(compared, 90u);
    EXPECT_EQ(column(1, 2), (std::vector<std::string>{"是", "否", "数组结果", "运算结果", "42.5", "旧编号结果",
                                                      "已保存的结果", "TRUE", "#N/A", "", "1234.5"}));
    EXPECT_EQ(main.select_nodes("//w:tbl[3]//w:tcBorders").size(), 7u);  // A1:B3 and C3
    gwtest::expectOpensInLibreOffice(out);
}

}  // namespace
