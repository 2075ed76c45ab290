// gridwright-batch --convert-sheets: embedded worksheets become tables that a format run afterwards
// lays out like every other table.
#include <gtest/gtest.h>
#include <pugixml.hpp>

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

TEST(ConvertSheetsCommand, ConvertedTablesAreFormattedLikeTheOthers) {
    const auto workbooks = gwtest::sampleWorkbooks();
    if (workbooks.empty()) GTEST_SKIP() << "/usr/bin/python3 with xlwt is needed to write the workbooks";
    gwtest::TempDir dir;
    gwtest::SheetDocument doc;
    // A table of the document itself, with borders (the format run leaves borderless tables alone).
    const std::string borders =
        "<w:tblBorders><w:top w:val=\"double\" w:sz=\"4\"/><w:insideV w:val=\"single\" w:sz=\"4\"/></w:tblBorders>";
    doc.text("报表")
        .table(gwtest::tbl(
            gwtest::row(gwtest::cell("甲") + gwtest::cell("乙")) + gwtest::row(gwtest::cell("1") + gwtest::cell("2")),
            borders, 2))
        .object(gwtest::fileBytes(workbooks / "numbers.xls"))
        .object(gwtest::fileBytes(workbooks / "merged.xls"));
    const auto in = dir.file("in.docx");
    const auto out = dir.file("out.docx");
    gwtest::writeDocx(in, doc.docx());

    // The worksheets have no borders, so their tables come without, as Word pastes them; the format run
    // takes them with "包含特殊表格".
    batch::BatchApp app(batch::defaultCommands(), [] { return automation::ooxml::createWord(); });
    std::ostringstream log, err;
    ASSERT_EQ(
        app.run({in.string(), "--convert-sheets", "--format", "--set", "IncludeBorderlessTables=1", "-o", out.string()},
                log, err),
        batch::kExitOk)
        << err.str();
    EXPECT_NE(log.str().find(utilities::kEmbeddedSheetsNotice), std::string::npos);

    pugi::xml_document main;
    ASSERT_TRUE(main.load_string(gwtest::readPart(out, "word/document.xml").c_str()));
    std::vector<pugi::xml_node> tables;
    for (pugi::xml_node t : main.child("w:document").child("w:body").children("w:tbl")) tables.push_back(t);
    ASSERT_EQ(tables.size(), 3u);
    EXPECT_EQ(main.select_nodes("//w:object").size(), 0u);
    EXPECT_EQ(tableLayout(tables[1]), tableLayout(tables[0]));
    EXPECT_EQ(tableLayout(tables[2]), tableLayout(tables[0]));
    gwtest::expectOpensInLibreOffice(out);
}

// The text of every cell of the first column of a table, row by row.
std::vector<std::string> firstColumn(pugi::xml_node tbl) {
    std::vector<std::string> texts;
    for (pugi::xml_node tr : tbl.children("w:tr")) {
        std::string text;
        for (pugi::xpath_node t : tr.child("w:tc").select_nodes(".//w:t")) text += t.node().text().get();
        texts.push_back(text);
    }
    return texts;
}

// Workbooks with every record and number format the embedded Excel reads: the tables show what Excel
// shows, cell for cell, and the closing count names the objects left with their reasons.
TEST(ConvertSheetsCommand, TablesShowWhatExcelShowsAndTheCountNamesWhatStayed) {
    const auto workbooks = gwtest::sampleWorkbooks();
    if (workbooks.empty()) GTEST_SKIP() << "/usr/bin/python3 with xlwt is needed to write the workbooks";
    gwtest::TempDir dir;
    gwtest::SheetDocument doc;
    for (const char* name : {"formats.xls", "encrypted.xls", "formulas.xls", "excel95.xls", "borders.xls"})
        doc.object(gwtest::fileBytes(workbooks / name));
    const auto in = dir.file("in.docx");
    const auto out = dir.file("out.docx");
    gwtest::writeDocx(in, doc.docx());

    batch::BatchApp app(batch::defaultCommands(), [] { return automation::ooxml::createWord(); });
    std::ostringstream log, err;
    ASSERT_EQ(app.run({in.string(), "--convert-sheets", "--report", "-o", out.string()}, log, err), batch::kExitOk)
        << err.str();
    const std::string printed = log.str();
    for (const char* line : {"已转换 3 个，未能转换 2 个：\n第 2 个嵌入对象：工作簿已加密，需要密码才能打开\n"
                             "第 4 个嵌入对象：工作簿是 Excel 5.0/95 格式（较早的 Excel 版本），无法读取\n",
                             "第 1 个嵌入对象（Excel.Sheet.8）：已转换\n"})
        EXPECT_NE(printed.find(line), std::string::npos) << printed;

    pugi::xml_document main;
    ASSERT_TRUE(main.load_string(gwtest::readPart(out, "word/document.xml").c_str()));
    std::vector<pugi::xml_node> tables;
    for (pugi::xml_node t : main.child("w:document").child("w:body").children("w:tbl")) tables.push_back(t);
    ASSERT_EQ(tables.size(), 3u);
    EXPECT_EQ(main.select_nodes("//w:object").size(), 2u);

    const std::vector<std::string> shown = firstColumn(tables[0]);
    const std::vector<gwtest::FormatCase> cases = gwtest::numberFormatCases();
    std::size_t compared = 0;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        if (cases[i].valueText.rfind("error:", 0) == 0) continue;  // xlwt writes no error values
        ASSERT_LT(i, shown.size());
        EXPECT_EQ(shown[i], cases[i].expected) << cases[i].code << " | " << cases[i].valueText;
        ++compared;
    }
    EXPECT_GT(compared, 90u);

    std::vector<std::string> results;
    for (pugi::xml_node tr : tables[1].children("w:tr")) {
        std::string text;
        for (pugi::xpath_node t : tr.select_nodes("w:tc[2]//w:t")) text += t.node().text().get();
        results.push_back(text);
    }
    EXPECT_EQ(results, (std::vector<std::string>{"是", "否", "数组结果", "运算结果", "42.5", "旧编号结果",
                                                 "已保存的结果", "TRUE", "#N/A", "", "1234.5"}));
    EXPECT_EQ(main.select_nodes("//w:tbl[3]//w:tcBorders").size(), 7u);  // A1:B3 and C3
    gwtest::expectOpensInLibreOffice(out);
}

}  // namespace
