#include "shell/program.h"

#include <QGuiApplication>
#include <QScreen>

#include "shell/document_window.h"
#include "shell/main_window.h"

namespace shell {

Program::Program(backend::HostedWord word, QObject* parent)
    : QObject(parent), word_(std::move(word)), window_(new DocumentWindow(word_.word, word_.documents)) {
    connect(window_, &DocumentWindow::wordEnded, this, [this] {
        wordWindowGone_ = true;
        check();
    });
    main_ = new MainWindow(word_.word);
    main_->setExcel(word_.excel);
    connect(main_, &MainWindow::programEnded, this, &Program::check);
    connect(main_, &MainWindow::commandStarted, window_, &DocumentWindow::commandStarted);
    connect(main_, &MainWindow::commandEnded, window_, &DocumentWindow::commandEnded);
    connect(main_, &MainWindow::formatRunReported, window_, &DocumentWindow::showRefusals);
    connect(window_, &DocumentWindow::singleTableModeRequested, main_, &MainWindow::enterSingleTableMode);
    place();
    main_->show();
}

Program::~Program() {
    delete main_;
    delete window_;
}

// Both windows side by side on the screen, the document window taking the room the main window
// leaves (a 1366 x 768 screen holds both).
void Program::place() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || !window_) return;
    const QRect area = screen->availableGeometry();
    const int margin = 8;
    main_->move(area.left() + margin, area.top() + margin);
    const int left = area.left() + margin + main_->frameGeometry().width() + margin;
    const int width = std::max(480, area.right() - left - margin);
    const int height = std::max(400, area.height() - 2 * margin - 40);
    window_->setGeometry(left, area.top() + margin + 30, width, height);
}

void Program::check() {
    if (finished_ || !main_->hasEnded()) return;
    if (!wordWindowGone_ && window_ && window_->isVisible()) return;
    finished_ = true;
    emit finished();
}

}  // namespace shell
