// gw_window_bench [TABLES]: opens a generated document of TABLES tables (300 unless given) in the
// document window and prints
//   - how long opening takes on the window thread (with the window's first paint), until the first pages are shown, until the pages
//     in sight after the scrolling below are shown, and until the table places are found;
//   - the longest time the window thread was busy (a 5 ms timer's worst lateness), and the time a
//     click on the page and a scroll take, while LibreOffice is still working;
//   - the same after a format run, which makes LibreOffice draw the document again.
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTest>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <vector>

#include "shell/document_window.h"
#include "shell/main_window.h"
#include "shell/page_view.h"
#include "shell/program.h"
#include "shell/prompts.h"
#include "support/docx_builder.h"

namespace {

std::string borderedTable(int rows, int cols, const std::string& prefix) {
    const std::string border = "w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"000000\"";
    return gwtest::table(rows, cols,
                         "<w:tblBorders><w:top " + border + "/><w:left " + border + "/><w:bottom " + border +
                             "/><w:right " + border + "/><w:insideH " + border + "/><w:insideV " + border +
                             "/></w:tblBorders>",
                         prefix);
}

// The worst lateness of a 5 ms timer: the longest stretch the window thread did not answer.
class Responsiveness : public QObject {
public:
    Responsiveness() {
        timer_.setInterval(5);
        connect(&timer_, &QTimer::timeout, this, [this] {
            if (clock_.isValid())
                worst_ = std::max(worst_, clock_.restart() - 5);
            else
                clock_.start();
        });
    }
    void start() {
        worst_ = 0;
        clock_.invalidate();
        timer_.start();
    }
    qint64 stop() {
        timer_.stop();
        return worst_;
    }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 worst_ = 0;
};

void waitUntil(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 180'000) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int tables = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
    QTextStream out(stdout);
    shell::prompts().message = [](QWidget*, const QString&) {};

    gwtest::TempDir dir;
    std::string body;
    for (int i = 0; i < tables; ++i) body += gwtest::para("表 " + std::to_string(i + 1)) + borderedTable(6, 5, "T");
    const auto path = dir.file("large.docx");
    gwtest::writeDocx(path, body + gwtest::para(""));

    shell::Program program(backend::startHostedWord());
    shell::DocumentWindow* window = program.wordWindow();
    shell::PageView* pages = window->pageView();
    Responsiveness responsiveness;

    QElapsedTimer clock;
    clock.start();
    window->openPath(QString::fromStdString(path.string()));
    window->refresh();
    // Until the window has shown the opened document once (its first paint sets up fonts and styles).
    QCoreApplication::processEvents();
    const qint64 opened = clock.elapsed();
    responsiveness.start();

    // While LibreOffice loads: clicks and scrolls, each timed; and when the first pages came.
    std::vector<qint64> clickTimes;
    qint64 worstScroll = 0;
    qint64 firstPages = -1;
    const auto notePages = [&] {
        if (firstPages < 0 && pages->pageCount() > 0 && pages->visiblePagesDrawn()) firstPages = clock.elapsed();
    };
    while (window->renderer()->busy() && clickTimes.size() < 40) {
        QElapsedTimer one;
        one.start();
        QTest::mouseClick(pages->viewport(), Qt::LeftButton, {}, QPoint(200, 200));
        QCoreApplication::processEvents();
        clickTimes.push_back(one.elapsed());
        notePages();
        one.restart();
        pages->verticalScrollBar()->setValue(pages->verticalScrollBar()->value() + 300);
        QCoreApplication::processEvents();
        worstScroll = std::max(worstScroll, one.elapsed());
        for (int i = 0; i < 20; ++i) {
            QTest::qWait(5);
            notePages();
        }
    }
    waitUntil([&] { return pages->pageCount() > 0 && pages->visiblePagesDrawn(); });
    const qint64 pagesShown = clock.elapsed();
    if (firstPages < 0) firstPages = pagesShown;
    const int clicks = static_cast<int>(clickTimes.size());
    const auto worstClickAt = std::max_element(clickTimes.begin(), clickTimes.end());
    const qint64 worstClick = worstClickAt == clickTimes.end() ? 0 : *worstClickAt;
    std::vector<qint64> sorted = clickTimes;
    std::sort(sorted.begin(), sorted.end());
    const qint64 medianClick = sorted.empty() ? 0 : sorted[sorted.size() / 2];
    waitUntil([&] { return !window->renderer()->busy(); });
    const qint64 tablesFound = clock.elapsed();
    const qint64 worstWhileLoading = responsiveness.stop();

    out << tables << " tables, " << pages->pageCount() << " pages, " << pages->tablePlaces().size()
        << " table places\n";
    out << "open (window thread): " << opened << " ms\n";
    out << "first pages shown after: " << firstPages << " ms\n";
    out << "pages in sight after the scrolling shown after: " << pagesShown << " ms\n";
    out << "table places found after: " << tablesFound << " ms\n";
    out << "while loading: " << clicks << " clicks and scrolls, median click " << medianClick << " ms, worst click "
        << worstClick << " ms (click " << (worstClickAt - clickTimes.begin()) + 1 << "), worst scroll " << worstScroll
        << " ms, longest busy stretch of the window thread " << worstWhileLoading << " ms\n";

    // A format run, then the new rendering.
    clock.restart();
    program.mainWindow()->startFormatRun();
    const qint64 run = clock.elapsed();
    responsiveness.start();
    QElapsedTimer again;
    again.start();
    QCoreApplication::processEvents();
    const qint64 refresh = again.elapsed();
    waitUntil([&] { return !window->renderer()->busy() && pages->visiblePagesDrawn(); });
    out << "format run: " << run << " ms; window refresh after it (copy for the renderer, table list): " << refresh
        << " ms; pages and table places again after " << again.elapsed() << " ms; longest busy stretch meanwhile "
        << responsiveness.stop() << " ms\n";
    out.flush();
    return 0;
}
