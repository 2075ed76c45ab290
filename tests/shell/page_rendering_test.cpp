// The pages as LibreOffice draws them in the document window: lines where the document has them,
// thicker after a run, Chinese font names mapped to different faces, and a click on a table
// selecting that table in the embedded Word.
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QPrinter>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabBar>
#include <QTest>

#include <fstream>
#include <regex>

#include "shell/page_view.h"
#include "shell/picker_window.h"
#include "shell_fixture.h"
#include "support/libreoffice.h"
#include "support/word_fixture.h"

namespace gwtest {
namespace {

constexpr int kRenderWaitMs = 60'000;  // LibreOffice's first start on a slow, busy machine

bool dark(QRgb pixel) { return qGray(pixel) < 140; }

class PageRenderingTest : public ShellTest {
protected:
    shell::PageView& pages() { return *wordWindow()->pageView(); }

    // Until the pages in sight show the document as it is now, and its tables have been found.
    void waitForPages() {
        settle();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !wordWindow()->renderer()->busy() && pages().visiblePagesDrawn(); },
                                    kRenderWaitMs))
            << pages().notice().toStdString() << " busy " << wordWindow()->renderer()->busy() << " pages "
            << pages().pageCount() << " drawn " << pages().visiblePagesDrawn();
    }

    const shell::TablePlace* place(int table) {
        for (const shell::TablePlace& p : pages().tablePlaces())
            if (p.table == table) return &p;
        return nullptr;
    }

    // The pixel of the page picture at a document point (twips).
    QPoint pixelOf(int page, const QPoint& twips) {
        const QRect pageRect = pages().pageRects().at(page);
        const QImage& image = pages().pageImage(page);
        return QPoint(
            static_cast<int>(static_cast<double>(twips.x() - pageRect.x()) * image.width() / pageRect.width()),
            static_cast<int>(static_cast<double>(twips.y() - pageRect.y()) * image.height() / pageRect.height()));
    }
    // The widest run of dark pixels across the left edge of a table, half way down.
    int leftLineWidth(int table) {
        const shell::TablePlace* p = place(table);
        if (!p) return -1;
        const QImage& image = pages().pageImage(p->page);
        const QPoint edge = pixelOf(p->page, QPoint(p->rect.left(), p->rect.center().y()));
        int best = 0;
        int run = 0;
        for (int x = std::max(0, edge.x() - 20); x < std::min(image.width(), edge.x() + 20); ++x) {
            run = dark(image.pixel(x, edge.y())) ? run + 1 : 0;
            best = std::max(best, run);
        }
        return best;
    }
};

TEST_F(PageRenderingTest, SampleReportShowsItsPagesAndTableLines) {
    open(QStringLiteral(GRIDWRIGHT_SOURCE_DIR "/examples/sample-report.docx"));
    waitForPages();
    ASSERT_EQ(pages().pageCount(), 2);
    EXPECT_EQ(pages().tablePlaces().size(), 4);

    // Table 2 has lines all round: its top edge is dark almost all along, the margin above is white.
    const shell::TablePlace* second = place(2);
    ASSERT_NE(second, nullptr);
    pages().scrollToTable(2);
    waitForPages();
    const QImage& image = pages().pageImage(second->page);
    const QPoint topLeft = pixelOf(second->page, second->rect.topLeft());
    const QPoint topRight = pixelOf(second->page, second->rect.topRight());
    int darkAlongTop = 0;
    for (int x = topLeft.x(); x <= topRight.x(); ++x) {
        for (int y = topLeft.y() - 2; y <= topLeft.y() + 2; ++y) {
            if (dark(image.pixel(x, y))) {
                ++darkAlongTop;
                break;
            }
        }
    }
    EXPECT_GT(darkAlongTop, (topRight.x() - topLeft.x()) * 9 / 10);
    const QRect page = pages().pageRects().at(second->page);
    const QPoint margin = pixelOf(second->page, QPoint(page.x() + 300, page.y() + 300));
    EXPECT_GE(qGray(image.pixel(margin)), 250);
}

TEST_F(PageRenderingTest, ThreePointOuterLinesAreDrawnThickerAfterARun) {
    open(document("粗线.docx", para("表前") + borderedTable(4, 3, "L") + para("表后")));
    settle();  // each document has pages and a zoom of its own
    pages().setZoomPercent(200);
    waitForPages();
    pages().scrollToTable(1);
    waitForPages();
    const int before = leftLineWidth(1);
    ASSERT_GT(before, 0);

    // 3 pt single lines for top/bottom and left/right.
    main().openPicker();
    QTest::mouseClick(main().pickerWindow()->option(QStringLiteral("Option7")), Qt::LeftButton);
    main().openPicker();
    QTest::mouseClick(main().pickerWindow()->option(QStringLiteral("Option32")), Qt::LeftButton);
    main().startFormatRun();
    waitForPages();
    pages().scrollToTable(1);
    waitForPages();
    const int after = leftLineWidth(1);
    EXPECT_GE(after, before + 3) << "before " << before << " after " << after;
}

TEST_F(PageRenderingTest, SongTiAndHeiTiAreDifferentFaces) {
    const auto line = [](const char* font) {
        const std::string name(font);
        return para("永和九年岁在癸丑暮春之初", "",
                    "<w:rFonts w:ascii=\"" + name + "\" w:eastAsia=\"" + name + "\" w:hAnsi=\"" + name +
                        "\"/><w:sz w:val=\"56\"/>");
    };
    open(document("字体.docx", line("宋体") + line("黑体") + line("宋体") + line("楷体") + line("仿宋")));
    waitForPages();
    // The ink of each line of text, top to bottom.
    const QImage& image = pages().pageImage(0);
    std::vector<int> ink;
    bool inLine = false;
    for (int y = 0; y < image.height(); ++y) {
        int row = 0;
        for (int x = 0; x < image.width(); ++x) row += dark(image.pixel(x, y)) ? 1 : 0;
        if (row > 0 && !inLine) ink.push_back(0);
        inLine = row > 0;
        if (inLine) ink.back() += row;
    }
    ASSERT_GE(ink.size(), 5u);
    // The same face twice draws the same ink; 黑体's strokes are far heavier than 宋体's, and 楷体
    // and 仿宋 are faces of their own.
    EXPECT_NEAR(ink[2], ink[0], ink[0] / 20);
    EXPECT_GT(ink[1], ink[0] * 6 / 5) << ink[0] << " " << ink[1];
    EXPECT_GT(std::abs(ink[3] - ink[4]), ink[3] / 20) << ink[3] << " " << ink[4];
}

TEST_F(PageRenderingTest, ClickOnAPageSelectsTheTableThereEvenWhenTablesAreIdentical) {
    open(document("相同.docx",
                  para("前") + borderedTable(3, 3, "X") + para("中间") + borderedTable(3, 3, "X") + para("后")));
    waitForPages();
    ASSERT_NE(place(1), nullptr);
    ASSERT_NE(place(2), nullptr);
    const auto clickTable = [&](int table) {
        pages().scrollToTable(table);
        QTest::mouseClick(pages().viewport(), Qt::LeftButton, {}, pages().viewportPoint(place(table)->rect.center()));
        settle();
    };
    clickTable(2);
    auto second = word().ActiveDocument()->Tables()->Item(2)->Range();
    EXPECT_EQ(word().Selection()->Start(), second->Start());
    EXPECT_EQ(word().Selection()->End(), second->End());
    EXPECT_EQ(pages().selectedTable(), 2);
    EXPECT_EQ(wordWindow()->tablePanel()->currentIndex().row(), 1);

    clickTable(1);
    auto first = word().ActiveDocument()->Tables()->Item(1)->Range();
    EXPECT_EQ(word().Selection()->Start(), first->Start());
    EXPECT_EQ(pages().selectedTable(), 1);

    // Between the tables: an insertion point after the first one, in no table.
    const QPoint between((place(1)->rect.center().x()), (place(1)->rect.bottom() + place(2)->rect.top()) / 2);
    QTest::mouseClick(pages().viewport(), Qt::LeftButton, {}, pages().viewportPoint(between));
    EXPECT_EQ(word().Selection()->Tables()->Count(), 0);
    EXPECT_EQ(word().Selection()->Start(), first->End());
    settle();
    EXPECT_EQ(pages().selectedTable(), 0);
}

TEST_F(PageRenderingTest, EachDocumentKeepsItsOwnPages) {
    open(document("一页.docx", para("只有一页") + borderedTable(2, 2, "A") + para("")));
    waitForPages();
    ASSERT_EQ(pages().pageCount(), 1);
    shell::PageView* first = &pages();

    // A second document never shows the first one's pages, not even before its own are drawn.
    const std::string page = borderedTable(3, 3, "B") + para("");
    ASSERT_TRUE(wordWindow()->openPath(document(
        "三页.docx", page + para("第二页", "<w:pageBreakBefore/>") + page + para("第三页", "<w:pageBreakBefore/>"))));
    settle();
    EXPECT_NE(pages().pageCount(), 1);
    waitForPages();
    EXPECT_EQ(pages().pageCount(), 3);
    EXPECT_EQ(wordWindow()->pageView()->tablePlaces().size(), 2);

    // Back to the first, unchanged: its pages at once, nothing drawn again.
    wordWindow()->tabs()->setCurrentIndex(0);
    settle();
    EXPECT_EQ(&pages(), first);
    EXPECT_EQ(pages().pageCount(), 1);
    EXPECT_TRUE(pages().visiblePagesDrawn());
    EXPECT_FALSE(wordWindow()->renderer()->loading());
}

TEST_F(PageRenderingTest, PrintingAndPdfExportHaveThePagesOfTheSavedFile) {
    if (!libreOfficeAvailable()) GTEST_SKIP() << "soffice is needed";
    const std::string page = borderedTable(4, 3, "P") + para("");
    const QString path = document("打印.docx", page + para("第二页", "<w:pageBreakBefore/>") + page);
    open(path);
    waitForPages();
    const auto pdfPages = [](const std::filesystem::path& pdf) {
        std::ifstream in(pdf, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::regex page("/Type\\s*/Page[^s]");
        return static_cast<int>(
            std::distance(std::sregex_iterator(bytes.begin(), bytes.end(), page), std::sregex_iterator()));
    };
    const Conversion own = convertWithLibreOffice(path.toStdString(), "pdf", dir.file("soffice"));
    ASSERT_TRUE(own.finished && std::filesystem::exists(own.result)) << own.log;
    ASSERT_EQ(pdfPages(own.result), 2);

    QSignalSpy exported(wordWindow(), &shell::DocumentWindow::pdfExported);
    fileToSaveAs = QString::fromStdString(dir.file("导出").string());  // the extension is added
    wordWindow()->exportPdf();
    ASSERT_TRUE(exported.wait(120'000));
    EXPECT_EQ(exported.first().at(1).toString(), QString());
    EXPECT_EQ(pdfPages(dir.file("导出.pdf")), 2);

    // Printed to a PDF file instead of a printer: every page, one sheet each.
    shell::prompts().setUpPrinter = [&](QWidget*, QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(dir.file("打印.pdf").string()));
        return true;
    };
    QSignalSpy printed(wordWindow(), &shell::DocumentWindow::printed);
    wordWindow()->printDocument();
    ASSERT_TRUE(printed.wait(120'000));
    EXPECT_EQ(printed.first().at(0).toString(), QString());
    EXPECT_EQ(pdfPages(dir.file("打印.pdf")), 2);
}

// A renderer that crashes: a script standing in for gridwright-render that notes each start in a
// file and dies on its first request, the first `crashes` times it is started; later starts are the
// real renderer.
class CrashingRendererTest : public PageRenderingTest {
protected:
    void startWithRenderer(int crashes) {
        const std::string real = shell::PageRenderer::program().toStdString();
        const auto script = dir.file("crashing-render.sh");
        std::ofstream(script) << "#!/bin/sh\n"
                              << "echo start >> '" << starts.string() << "'\n"
                              << "if [ $(wc -l < '" << starts.string() << "') -gt " << crashes << " ]; then exec '"
                              << real << "' \"$@\"; fi\n"
                              << "echo ready\nread request\nkill -s SEGV $$\n";
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        program.reset();
        qputenv("GRIDWRIGHT_RENDERER", script.string().c_str());
        program = std::make_unique<shell::Program>(backend::startHostedWord());
    }
    void TearDown() override {
        qunsetenv("GRIDWRIGHT_RENDERER");
        PageRenderingTest::TearDown();
    }
    int startCount() {
        std::ifstream in(starts);
        int count = 0;
        for (std::string line; std::getline(in, line);) ++count;
        return count;
    }
    std::filesystem::path starts = dir.file("starts.txt");
};

TEST_F(CrashingRendererTest, ACrashIsFollowedByANewRendererAtOnce) {
    startWithRenderer(1);
    open(document("崩溃.docx", para("表前") + borderedTable(2, 2, "C") + para("表后")));
    waitForPages();  // no further change was needed
    EXPECT_EQ(startCount(), 2);
    EXPECT_EQ(pages().pageCount(), 1);
    EXPECT_EQ(pages().tablePlaces().size(), 1);
    EXPECT_TRUE(pages().notice().isEmpty());
}

TEST_F(CrashingRendererTest, ALibreOfficeThatAlwaysCrashesIsGivenUpOnForThatVersion) {
    startWithRenderer(1000);
    // Something in the shared profile that may be what crashes it.
    const std::filesystem::path suspect = shell::PageRenderer::sharedProfile().toStdString() + "/user/suspect";
    std::filesystem::create_directories(suspect.parent_path());
    std::ofstream(suspect) << "x";
    open(document("总崩溃.docx", borderedTable(2, 2, "C") + para("")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return pages().notice().contains(QStringLiteral("意外退出")); }, 10'000));
    EXPECT_EQ(startCount(), 1 + shell::PageRenderer::kMaxRestarts);
    EXPECT_EQ(wordWindow()->renderer()->profileInUse(), shell::PageRenderer::sharedProfile());
    EXPECT_FALSE(std::filesystem::exists(suspect));  // the last try had a profile set up anew
    QTest::qWait(300);
    EXPECT_EQ(startCount(), 1 + shell::PageRenderer::kMaxRestarts);
    EXPECT_FALSE(wordWindow()->renderer()->busy());

    // The windows go on working; the next version of the document gets its own tries.
    combo("Combo9")->setEditText(QStringLiteral("居中"));
    main().startFormatRun();
    EXPECT_EQ(messages, QStringList{"完成"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return startCount() == 2 * (1 + shell::PageRenderer::kMaxRestarts); }, 10'000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !wordWindow()->renderer()->busy(); }, 10'000));
}

TEST_F(CrashingRendererTest, RenderersShareOneProfileOneAtATime) {
    // A renderer that answers ready and waits; it notes the profile it was given.
    const auto script = dir.file("quiet-render.sh");
    std::ofstream(script) << "#!/bin/sh\necho \"$1\" >> '" << starts.string() << "'\necho ready\ncat > /dev/null\n";
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    qputenv("GRIDWRIGHT_RENDERER", script.string().c_str());
    const QString docx = document("共用.docx", para("内容"));
    const QString shared = shell::PageRenderer::sharedProfile();
    ASSERT_FALSE(shared.isEmpty());

    auto first = std::make_unique<shell::PageRenderer>();
    first->show(docx);
    EXPECT_EQ(first->profileInUse(), shared);
    // A second program's renderer, while the first runs, gets one of its own.
    shell::PageRenderer second;
    second.show(docx);
    EXPECT_NE(second.profileInUse(), shared);
    EXPECT_FALSE(second.profileInUse().isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return startCount() == 2; }, 10'000));
    std::ifstream in(starts);
    std::vector<std::string> given(2);
    std::getline(in, given[0]);
    std::getline(in, given[1]);
    if (given[1] == shared.toStdString()) std::swap(given[0], given[1]);
    EXPECT_EQ(given[0], shared.toStdString());  // the processes were given what was chosen
    EXPECT_EQ(given[1], second.profileInUse().toStdString());

    // Once the first has gone, the next one has the shared profile again.
    first.reset();
    shell::PageRenderer third;
    third.show(docx);
    EXPECT_EQ(third.profileInUse(), shared);
}

TEST_F(PageRenderingTest, WithoutLibreOfficeTheWindowSaysSoAndEverythingElseWorks) {
    program.reset();
    qputenv("GRIDWRIGHT_RENDERER", "/nonexistent/gridwright-render");
    program = std::make_unique<shell::Program>(backend::startHostedWord());
    open(document("无.docx", borderedTable(2, 2, "N") + para("")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return pages().notice().contains(QStringLiteral("LibreOffice")); }, 10'000));
    qunsetenv("GRIDWRIGHT_RENDERER");
    EXPECT_EQ(wordWindow()->tableList()->rowCount(), 1);
    combo("Combo9")->setEditText(QStringLiteral("居中"));
    main().startFormatRun();
    EXPECT_EQ(messages, QStringList{"完成"});
}

}  // namespace
}  // namespace gwtest
