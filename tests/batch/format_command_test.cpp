// gridwright-batch --format on the bundled example and on documents built in code.
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "automation/ooxml/application.h"
#include "batch/batch_app.h"
#include "support/docx_builder.h"
#include "support/libreoffice.h"

namespace {

namespace fs = std::filesystem;
using gwtest::TempDir;

const fs::path kSample = fs::path(GRIDWRIGHT_SOURCE_DIR) / "examples" / "sample-report.docx";

struct Result {
    int status;
    std::string out;
    std::string err;
};

Result runBatch(const std::vector<std::string>& args) {
    batch::BatchApp app(batch::defaultCommands(), [] { return automation::ooxml::createWord(); });
    std::ostringstream out, err;
    const int status = app.run(args, out, err);
    return {status, out.str(), err.str()};
}

std::vector<pugi::xml_node> outerTables(const pugi::xml_document& doc) {
    std::vector<pugi::xml_node> tables;
    for (pugi::xml_node t : doc.child("w:document").child("w:body").children("w:tbl")) tables.push_back(t);
    return tables;
}

std::string edge(pugi::xml_node tbl, const std::string& name) {
    pugi::xml_node e = tbl.child("w:tblPr").child("w:tblBorders").child(("w:" + name).c_str());
    return std::string(e.attribute("w:val").value()) + "/" + e.attribute("w:sz").value();
}

std::string fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

const std::vector<std::string> kEdges = {"top", "left", "bottom", "right", "insideH", "insideV"};

TEST(FormatCommandLibreOffice, DefaultSettingsOnTheExampleDrawSingleOnePointLines) {
    TempDir dir;
    const fs::path output = dir.file("sample-formatted.docx");
    const Result result = runBatch({kSample.string(), "-o", output.string(), "--format"});
    ASSERT_EQ(result.status, batch::kExitOk) << result.err;
    EXPECT_NE(result.out.find("完成\n"), std::string::npos) << result.out;

    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(gwtest::readPart(output, "word/document.xml").c_str()));
    const std::vector<pugi::xml_node> tables = outerTables(doc);
    ASSERT_EQ(tables.size(), 4u);
    for (int t : {0, 1, 2})
        for (const std::string& name : kEdges) EXPECT_EQ(edge(tables[t], name), "single/8") << t + 1 << " " << name;
    for (const std::string& name : kEdges) EXPECT_EQ(edge(tables[3], name), "none/0") << name;  // the layout table

    gwtest::expectOpensInLibreOffice(output);
}

TEST(FormatCommand, SettingsFromFileOptionsAndOneTable) {
    TempDir dir;
    const fs::path input = dir.file("in.docx");
    const std::string lines =
        "<w:tblBorders><w:top w:val=\"single\" w:sz=\"4\"/><w:left w:val=\"single\" w:sz=\"4\"/></w:tblBorders>";
    gwtest::writeDocx(input,
                      gwtest::table(3, 3, lines) + gwtest::para("") + gwtest::table(3, 3, lines) + gwtest::para(""));
    const fs::path settingsFile = dir.file("panel.txt");
    std::ofstream(settingsFile) << "# 表格设置\nOtherAreaAlign=居右\nTopBottomLine=2/12\n";

    const fs::path output = dir.file("out.docx");
    const Result result =
        runBatch({input.string(), "-o", output.string(), "--format", "--settings", settingsFile.string(), "--line",
                  "Option20", "--set", "HeaderRowAlign=居中", "--table", "2", "--report"});
    ASSERT_EQ(result.status, batch::kExitOk) << result.err;
    EXPECT_NE(result.out.find("完成"), std::string::npos);
    EXPECT_NE(result.out.find("没有跳过任何操作。"), std::string::npos) << result.out;

    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(gwtest::readPart(output, "word/document.xml").c_str()));
    const std::vector<pugi::xml_node> tables = outerTables(doc);
    ASSERT_EQ(tables.size(), 2u);
    // Only table 2 is formatted, as a whole.
    EXPECT_EQ(edge(tables[0], "top"), "single/4");
    EXPECT_EQ(edge(tables[1], "top"), "dotted/12");
    EXPECT_EQ(edge(tables[1], "left"), "nil/");
    EXPECT_EQ(edge(tables[1], "insideH"), "single/8");
    pugi::xml_node secondRow = tables[1].child("w:tr").next_sibling("w:tr");
    EXPECT_STREQ(secondRow.last_child().child("w:p").child("w:pPr").child("w:jc").attribute("w:val").value(), "right");
}

TEST(FormatCommand, BadSettingsFailBeforeTheDocumentIsTouched) {
    TempDir dir;
    const fs::path output = dir.file("never.docx");
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"--set", "RowHeightCm=abc"},
                                                {"--set", "NoSuchField=1"},
                                                {"--set", "Check=1"},
                                                {"--line", "Option19"},
                                                {"--table", "0"},
                                                {"--settings", dir.file("missing.txt").string()}}) {
        std::vector<std::string> args = {kSample.string(), "-o", output.string(), "--format"};
        args.insert(args.end(), bad.begin(), bad.end());
        const Result result = runBatch(args);
        EXPECT_EQ(result.status, batch::kExitUsage) << bad[1];
        EXPECT_FALSE(result.err.empty()) << bad[1];
        EXPECT_FALSE(fs::exists(output)) << bad[1];
    }
    const Result bad = runBatch({kSample.string(), "-o", output.string(), "--format", "--set", "LineSpacingLines=x"});
    EXPECT_NE(bad.err.find("“行    距”中的“x”不是有效的数字。"), std::string::npos) << bad.err;

    const Result noTable = runBatch({kSample.string(), "-o", output.string(), "--format", "--table", "9"});
    EXPECT_EQ(noTable.status, batch::kExitFailed);
    EXPECT_NE(noTable.err.find("第 9 个表格"), std::string::npos) << noTable.err;
    EXPECT_FALSE(fs::exists(output));
}

// Values Word would refuse are refused up front, each message naming the field's label; the settings
// file must be a regular file.
TEST(FormatCommand, NumbersWordCannotTakeAreRefusedBeforeTheDocumentIsOpened) {
    TempDir dir;
    const fs::path output = dir.file("never.docx");
    fs::create_directory(dir.file("folder"));
    struct Case {
        std::vector<std::string> options;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"--format", "--set", "RowHeightCm=-0.5"}, "“行    高”中的“-0.5”超出了 Word 能接受的范围"},
        {{"--format", "--set", "TableWidthMode=指定宽度", "--set", "SpecifiedWidthCm=1e9"},
         "“指定宽度”中的“1e9”超出了 Word 能接受的范围"},
        {{"--format", "--set", "SpecifiedWidthCm=-1"}, "“指定宽度”中的“-1”超出了 Word 能接受的范围"},
        {{"--format", "--set", "LeftIndentCm=宽"}, "“左缩进”中的“宽”不是有效的数字。"},
        {{"--format", "--set", "LineSpacingLines=0"}, "“行    距”中的“0”超出了 Word 能接受的范围"},
        {{"--format", "--set", "CellRightMarginCm=abc"}, "“单元格右边距(厘米)”中的“abc”不是有效的数字。"},
        {{"--format", "--set", "InnerLine=7/48"}, "“内横竖线”的线型 7 与线宽 48 不是 Word 提供的组合"},
        {{"--format", "--set", "TopBottomLine=25/8"},
         "“上下边框”的线型 25 与线宽 8 不是 Word 提供的组合（没有这种线型）。"},
        {{"--format", "--set", "LeftRightLine=1/5"}, "“左右边框”的线型 1 与线宽 5"},
        {{"--body", "--set", "BodySpaceBefore=-1"}, "“段    前”中的“-1”超出了 Word 能接受的范围"},
        {{"--body", "--set", "BodyLineSpacing=200"}, "“行    距”中的“200”超出了 Word 能接受的范围"},
        {{"--body", "--set", "BodyFirstLineIndent=x"}, "“首行缩进”中的“x”不是有效的数字。"},
        {{"--format", "--settings", "/dev/zero"}, "设置文件不是普通文件"},
        {{"--format", "--settings", dir.file("folder").string()}, "设置文件不是普通文件"},
    };
    for (const Case& bad : cases) {
        std::vector<std::string> args = {kSample.string(), "-o", output.string()};
        args.insert(args.end(), bad.options.begin(), bad.options.end());
        const Result result = runBatch(args);
        EXPECT_EQ(result.status, batch::kExitUsage) << bad.message;
        EXPECT_NE(result.err.find(bad.message), std::string::npos) << result.err;
        EXPECT_FALSE(fs::exists(output)) << bad.message;
    }

    // The limits themselves, a placeholder left in a width box and a line without a style are sound;
    // a body-text number does not concern the table run, nor a table number the body-text command.
    for (const std::vector<std::string>& sound :
         {std::vector<std::string>{"--format", "--set", "RowHeightCm=0", "--set", "LeftIndentCm=-1"},
          {"--format", "--set", "TableWidthMode=指定宽度", "--set", "LeftIndentCm=0.5", "--line", "Option20"},
          {"--format", "--set", "BodySpaceBefore=-1"},
          {"--body", "--set", "RowHeightCm=-1", "--set", "BodySpaceBefore=0"}}) {
        std::vector<std::string> args = {kSample.string(), "-o", output.string()};
        args.insert(args.end(), sound.begin(), sound.end());
        const Result result = runBatch(args);
        EXPECT_EQ(result.status, batch::kExitOk) << sound[2] << "\n" << result.err;
    }
}

// An output that is a symbolic link is replaced as a link; the file it pointed to keeps its bytes.
TEST(FormatCommand, AnOutputLinkIsReplacedNotFollowed) {
    TempDir dir;
    const fs::path target = dir.file("elsewhere.docx");
    fs::copy_file(kSample, target);
    const std::string before = fileBytes(target);
    const fs::path link = dir.file("out.docx");
    fs::create_symlink(target, link);

    const Result result = runBatch({kSample.string(), "-o", link.string(), "--format"});
    ASSERT_EQ(result.status, batch::kExitOk) << result.err;
    EXPECT_FALSE(fs::is_symlink(link));
    EXPECT_TRUE(fs::is_regular_file(link));
    EXPECT_EQ(fileBytes(target), before);
    EXPECT_NE(gwtest::readPart(link, "word/document.xml").find("w:tbl"), std::string::npos);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 2);  // no temporary file left beside it
}

}  // namespace
