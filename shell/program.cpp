#include "shell/program.h"

#include <QGuiApplication>
#include <QScreen>

#include "shell/document_window.h"
#include "shell/main_window.h"

namespace shell {

Program::Program(WordBackend backend, QObject* parent) : QObject(parent), backend_(std::move(backend)) {
    if (auto* window = qobject_cast<DocumentWindow*>(backend_.window.data())) {
        connect(window, &DocumentWindow::wordEnded, this, [this] {
            wordWindowGone_ = true;
            check();
        });
    } else {
        wordWindowGone_ = true;
    }
    main_ = new MainWindow(backend_.application);
    main_->setExcel(backend_.excel);
    connect(main_, &MainWindow::programEnded, this, &Program::check);
    if (auto* window = qobject_cast<DocumentWindow*>(backend_.window.data())) {
        connect(main_, &MainWindow::commandStarted, window, &DocumentWindow::commandStarted);
        connect(main_, &MainWindow::commandEnded, window, &DocumentWindow::commandEnded);
        connect(main_, &MainWindow::formatRunReported, window, &DocumentWindow::showRefusals);
        connect(window, &DocumentWindow::singleTableModeRequested, main_, &MainWindow::enterSingleTableMode);
    }
    place();
    main_->show();
}

Program::~Program() {
    delete main_;
    delete backend_.window;
}

// Both windows side by side on the screen, the document window taking the room the main window
// leaves (a 1366 x 768 screen holds both).
void Program::place() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const int margin = 8;
    main_->move(area.left() + margin, area.top() + margin);
    if (!backend_.window) return;
    const int left = area.left() + margin + main_->frameGeometry().width() + margin;
    const int width = std::max(480, area.right() - left - margin);
    const int height = std::max(400, area.height() - 2 * margin - 40);
    backend_.window->setGeometry(left, area.top() + margin + 30, width, height);
}

void Program::check() {
    if (finished_ || !main_->hasEnded()) return;
    if (!wordWindowGone_ && backend_.window && backend_.window->isVisible()) return;
    finished_ = true;
    emit finished();
}

}  // namespace shell
