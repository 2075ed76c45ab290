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
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        main_->move(area.left() + 20, area.top() + 20);
        if (backend_.window) backend_.window->move(area.left() + 20 + main_->width() + 40, area.top() + 20);
    }
    main_->show();
}

Program::~Program() {
    delete main_;
    delete backend_.window;
}

void Program::check() {
    if (finished_ || !main_->hasEnded()) return;
    if (!wordWindowGone_ && backend_.window && backend_.window->isVisible()) return;
    finished_ = true;
    emit finished();
}

}  // namespace shell
