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

TEST(ConvertSheetsLibreOffice, ConvertedTablesAreFormattedLikeTheOthers) {
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

    batch::BatchApp app(batch::defaultCommands(), [] { return automation::ooxml::createWord(); });
    std::ostringstream log, err;
    ASSERT_EQ(app.run({in.string(), "--convert-sheets", "--format", "-o", out.string()}, log, err), batch::kExitOk)
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

}  // namespace
