// gw_window_bench [TABLES | FILE.docx]: opens a document in the document window (FILE, or a generated
// one of TABLES tables, 300 unless given) and prints, in milliseconds:
//   - until the first pages are on screen, until the whole layout is known, until the tables are found;
//   - switching back to it from a second document: until its pages are on screen again;
//   - after a format run on it: until the changed pages are on screen, and until the whole layout is
//     known again;
//   - side by side, LibreOffice loading the same (formatted) document alone in a renderer of its own;
//   - the longest time the window thread was busy meanwhile (a 5 ms timer's worst lateness).
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <functional>

#include "automation/hosted_documents.h"
#include "shell/document_window.h"
#include "shell/main_window.h"
#include "shell/page_renderer.h"
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

// Milliseconds until done, or -1 after ten minutes.
qint64 waitUntil(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > 600'000) return -1;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return timer.elapsed();
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QTextStream out(stdout);
    shell::prompts().message = [](QWidget*, const QString&) {};

    gwtest::TempDir dir;
    const QString argument = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    QString path = argument;
    if (!argument.endsWith(QStringLiteral(".docx"))) {
        const int tables = argument.isEmpty() ? 300 : std::max(1, argument.toInt());
        std::string body;
        for (int i = 0; i < tables; ++i) body += gwtest::para("表 " + std::to_string(i + 1)) + borderedTable(6, 5, "T");
        gwtest::writeDocx(dir.file("large.docx"), body + gwtest::para(""));
        path = QString::fromStdString(dir.file("large.docx").string());
    }
    gwtest::writeDocx(dir.file("small.docx"), gwtest::para("第二个文档") + borderedTable(3, 3, "S") + gwtest::para(""));
    const QString small = QString::fromStdString(dir.file("small.docx").string());

    shell::Program program(backend::startHostedWord());
    shell::DocumentWindow* window = program.wordWindow();
    window->resize(1000, 700);
    window->show();
    Responsiveness responsiveness;
    const auto pages = [&] { return window->pageView(); };
    const auto inSight = [&] { return pages()->pageCount() > 0 && pages()->visiblePagesDrawn(); };

    QElapsedTimer clock;
    clock.start();
    window->openPath(path);
    window->refresh();
    const qint64 opened = clock.elapsed();
    responsiveness.start();
    const qint64 first = waitUntil(inSight) + opened;
    out << QFileInfo(path).fileName() << ": " << window->tables().size() << " tables; open (window thread): " << opened
        << " ms; first pages on screen: " << first << " ms" << Qt::endl;
    const qint64 complete = waitUntil([&] { return pages()->pagesComplete() && inSight(); }) + first;
    const int pageCount = pages()->pageCount();
    out << "whole layout known: " << complete << " ms, " << pageCount << " pages" << Qt::endl;
    const qint64 found = waitUntil([&] { return !window->renderer()->busy(); }) + complete;
    out << "tables found: " << found << " ms, " << pages()->tablePlaces().size()
        << " table places; longest busy stretch of the window thread: " << responsiveness.stop() << " ms" << Qt::endl;

    // Another document, then back to the first, unchanged.
    window->openPath(small);
    window->refresh();
    waitUntil([&] { return inSight() && pages()->pageCount() != pageCount; });
    clock.restart();
    window->tabs()->setCurrentIndex(0);
    const qint64 back = waitUntil(inSight);
    out << "switch back to it: its " << pages()->pageCount() << " pages on screen after " << back << " ms ("
        << (pages()->pageCount() == pageCount ? "its own" : "NOT ITS OWN") << ")" << Qt::endl;

    // A format run, then the changed pages.
    clock.restart();
    program.mainWindow()->startFormatRun();
    const qint64 run = clock.elapsed();
    responsiveness.start();
    clock.restart();
    int layouts = 0;  // of the formatted version
    QObject::connect(window->renderer(), &shell::PageRenderer::pagesReady, [&] { ++layouts; });
    const qint64 changedShown = waitUntil([&] { return layouts > 0 && inSight(); });
    out << "format run: " << run << " ms; changed pages on screen after " << changedShown << " ms" << Qt::endl;
    const qint64 changedComplete =
        waitUntil([&] { return !window->renderer()->loading() && pages()->pagesComplete() && inSight(); }) +
        changedShown;
    const qint64 busiest = responsiveness.stop();
    out << "format run: " << run << " ms; changed pages on screen after " << changedShown
        << " ms; whole layout known after " << changedComplete << " ms; longest busy stretch " << busiest << " ms"
        << Qt::endl;

    // LibreOffice alone: a renderer of its own loads the formatted document as it is.
    QTemporaryDir copies;
    const QString copy = copies.filePath(QStringLiteral("alone.docx"));
    program.documents()->saveCopy(copy.toStdString());
    shell::PageRenderer alone;
    alone.setFindsTables(false);
    bool loaded = false;
    QObject::connect(&alone, &shell::PageRenderer::pagesReady,
                     [&](const QVector<QRect>&, bool done) { loaded = done; });
    alone.show(small);  // the process started and LibreOffice up
    waitUntil([&] { return loaded; });
    loaded = false;
    clock.restart();
    alone.show(copy);
    const qint64 aloneMs = waitUntil([&] { return loaded; });
    out << "LibreOffice alone (its load of the document): " << aloneMs << " ms; changed pages / alone: "
        << QString::number(static_cast<double>(changedShown) / std::max<qint64>(1, aloneMs), 'f', 2) << "\n";
    out.flush();
    return 0;
}
