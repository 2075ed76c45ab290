// The renderer's own parts that need no LibreOffice: the table marks written into the copy it draws,
// read back from a picture and numbered by their order down the pages; and the rule that the
// renderer process dies with the program that started it.
#include <signal.h>
#include <sys/types.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <fstream>

#include "shell/page_renderer.h"
#include "shell/renderer/table_marks.h"
#include "support/docx_builder.h"
#include "support/word_fixture.h"

namespace gwtest {
namespace {

std::uint32_t fillOf(pugi::xml_node tc) {
    return static_cast<std::uint32_t>(
        std::stoul(tc.child("w:tcPr").child("w:shd").attribute("w:fill").value(), nullptr, 16));
}

TEST(TableMarksTest, EveryCellCarriesItsTablesCodeAndKeepsItsLook) {
    TempDir dir;
    // Table 1 plain, table 2 with a shaded title cell, table 3 shaded by its style (left alone but for
    // its own shading), table 4 inside a content control; a nested table takes its outer table's code.
    const std::string shaded = "<w:shd w:val=\"clear\" w:color=\"auto\" w:fill=\"D9D9D9\"/>";
    DocxSpec docx;
    const std::string nesting = "<w:tc>" + para("b") + tbl(row(cell("inner"))) + para("") + "</w:tc>";
    docx.body = tbl(row(cell("a") + nesting)) + para("") +
                tbl(row(cell("title", shaded) + cell("x")) + row(cell("1") + cell("2"))) + para("") +
                tbl(row(cell("styled") + cell("own", shaded)), "<w:tblStyle w:val=\"Shaded\"/>") + para("") +
                "<w:sdt><w:sdtContent>" + tbl(row(cell("in control"))) + "</w:sdtContent></w:sdt>" + para("");
    docx.styles =
        "<w:style w:type=\"table\" w:styleId=\"Base\"><w:tcPr><w:shd w:val=\"clear\" w:fill=\"4472C4\"/></w:tcPr>"
        "</w:style><w:style w:type=\"table\" w:styleId=\"Shaded\"><w:basedOn w:val=\"Base\"/></w:style>";
    writeDocx(dir.file("in.docx"), docx);
    std::string error;
    const auto marked = render::writeMarkedCopy(dir.file("in.docx").string(), dir.file("out.docx").string(), error);
    ASSERT_TRUE(marked) << error;
    EXPECT_EQ(marked->tables, 4);

    const Xml xml(readPart(dir.file("out.docx"), "word/document.xml"));
    const auto cells = xml.all("//w:tc");
    ASSERT_EQ(cells.size(), 10u);
    const auto codeOf = [&](std::size_t i) { return marked->colours.codeOf(fillOf(cells[i].node())); };
    // Table 1 and the table nested in it: code 0, a near-white.
    for (std::size_t i : {0u, 1u, 2u}) EXPECT_EQ(codeOf(i), 0) << i;
    EXPECT_EQ(fillOf(cells[0].node()) >> 16, 0xFFu - 1);
    // Table 2: the shaded cell a near-twin of its grey, every channel within 4 of it.
    for (std::size_t i : {3u, 4u, 5u, 6u}) EXPECT_EQ(codeOf(i), 1) << i;
    for (int shift : {0, 8, 16}) EXPECT_NEAR(static_cast<int>(fillOf(cells[3].node()) >> shift & 0xFF), 0xD9, 4);
    // Table 3: its style shades the first cell, which keeps that look; its own shading is marked.
    EXPECT_FALSE(cells[7].node().child("w:tcPr").child("w:shd"));
    EXPECT_EQ(codeOf(8), 2);
    EXPECT_EQ(codeOf(9), 3);
    // Other parts are copied as they were.
    EXPECT_EQ(readPart(dir.file("out.docx"), "word/styles.xml"), readPart(dir.file("in.docx"), "word/styles.xml"));

    // Read back from a picture: solid areas only, a code needs a few pixels, white and greys mean nothing.
    const int width = 40;
    const int height = 30;
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * 4, 0xFF);
    const auto paint = [&](int left, int top, int right, int bottom, std::uint32_t colour) {
        for (int y = top; y <= bottom; ++y) {
            for (int x = left; x <= right; ++x) {
                unsigned char* p = &pixels[(static_cast<std::size_t>(y) * width + x) * 4];
                p[0] = colour & 0xFF;
                p[1] = colour >> 8 & 0xFF;
                p[2] = colour >> 16 & 0xFF;
            }
        }
    };
    paint(5, 15, 30, 25, render::MarkColours::marked(0xD9D9D9, 1));
    paint(5, 2, 30, 10, render::MarkColours::marked(0xFFFFFF, 0));
    paint(20, 5, 22, 7, 0x000000);                                  // text on it
    paint(35, 2, 36, 3, render::MarkColours::marked(0xFFFFFF, 2));  // too small to count
    const auto boxes = render::findCodeBoxes(pixels.data(), width, height, marked->colours);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].code, 0);
    EXPECT_EQ(std::make_tuple(boxes[0].left, boxes[0].top, boxes[0].right, boxes[0].bottom),
              std::make_tuple(5, 2, 30, 10));
    EXPECT_EQ(boxes[1].code, 1);
}

TEST(TableMarksTest, CodesThatRepeatAreNumberedByTheirOrderDownThePages) {
    const auto box = [](int code, int top) { return shell::MarkBox{code, QRect(0, top, 100, 50)}; };
    const int n = render::kMarkCodes;
    std::vector<std::optional<std::vector<shell::MarkBox>>> pages(4);
    pages[0] = std::vector{box(0, 0), box(1, 100)};      // tables 1 and 2
    pages[1] = std::vector{box(1, 0), box(3, 100)};      // 2 goes on; 3 has no marks, 4 follows
    pages[2] = std::vector{box(n - 1, 0), box(0, 100)};  // tables n and n + 1: the codes repeat
    const QVector<shell::TablePlace> places = shell::locateTables(pages, n + 1);
    QList<std::pair<int, int>> found;  // (table, page)
    for (const shell::TablePlace& place : places) found.append({place.table, place.page});
    EXPECT_EQ(found, (QList<std::pair<int, int>>{{1, 0}, {2, 0}, {2, 1}, {4, 1}, {n, 2}, {n + 1, 2}}));
    // A page not probed yet stops the numbering: nothing after it is placed.
    pages[1].reset();
    EXPECT_EQ(shell::locateTables(pages, n + 1).size(), 2);
}

TEST(RendererTest, DiesWithItsProgram) {
    TempDir dir;
    // A renderer that notes its process number and waits.
    const auto pidFile = dir.file("renderer.pid");
    const auto script = dir.file("waiting-render.sh");
    std::ofstream(script) << "#!/bin/sh\necho $$ > '" << pidFile.string() << "'\necho ready\nexec sleep 60\n";
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("GRIDWRIGHT_RENDERER"), QString::fromStdString(script.string()));
    program.setProcessEnvironment(environment);
    program.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--renderer-child")});
    const auto written = [&] {
        std::error_code missing;
        const auto size = std::filesystem::file_size(pidFile, missing);
        return !missing && size > 0;
    };
    ASSERT_TRUE(QTest::qWaitFor(written, 20'000));
    std::ifstream in(pidFile);
    pid_t renderer = 0;
    in >> renderer;
    ASSERT_GT(renderer, 0);
    ASSERT_EQ(kill(renderer, 0), 0);

    // Killed, the program has no chance to end its renderer: the renderer goes by itself.
    program.kill();
    program.waitForFinished(5000);
    const auto gone = [&] {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(renderer));
        return !stat.open(QIODevice::ReadOnly) || stat.readAll().contains(") Z ");
    };
    EXPECT_TRUE(QTest::qWaitFor(gone, 5000));
    if (!gone()) kill(renderer, SIGKILL);
}

}  // namespace
}  // namespace gwtest
