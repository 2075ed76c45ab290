#include "shell/program.h"

#include <QGuiApplication>
#include <QScreen>

#include "shell/document_window.h"
#include "shell/main_window.h"
#include "shell/panel_settings.h"
#include "shell/screen_fit.h"
#include "shell/welcome_window.h"

namespace shell {

Program::Program(backend::HostedWord word, QObject* parent)
    : QObject(parent),
      word_(std::move(word)),
      screenFit_(new ScreenFit(this)),
      window_(new DocumentWindow(word_.word, word_.documents)) {
    connect(window_, &DocumentWindow::wordEnded, this, [this] {
        wordWindowGone_ = true;
        check();
    });
    main_ = new MainWindow(word_.word);
    main_->setExcel(word_.excel);
    settings_ = new PanelSettings(*main_, window_, this);
    settings_->restoreLast();
    connect(main_, &MainWindow::programEnded, this, &Program::check);
    connect(main_, &MainWindow::commandStarted, settings_, &PanelSettings::remember);
    connect(main_, &MainWindow::commandStarted, window_, &DocumentWindow::commandStarted);
    connect(main_, &MainWindow::commandEnded, window_, &DocumentWindow::commandEnded);
    connect(main_, &MainWindow::formatRunReported, window_, &DocumentWindow::showRefusals);
    connect(window_, &DocumentWindow::singleTableModeRequested, main_, &MainWindow::enterSingleTableMode);
    connect(window_, &DocumentWindow::panelRequested, main_, &MainWindow::reopen);
    connect(window_, &DocumentWindow::loadSettingsRequested, settings_, &PanelSettings::load);
    connect(window_, &DocumentWindow::saveSettingsRequested, settings_, &PanelSettings::save);
    place();
    main_->show();
    // The welcome window stands over the document window, in front of the main window, so that its
    // buttons are never hidden.
    if (WelcomeWindow* welcome = main_->welcomeWindow(); welcome && welcome->isVisible() && window_) {
        QRect frame = welcome->frameGeometry();
        frame.moveCenter(window_->frameGeometry().center());
        welcome->move(frame.topLeft());
        ScreenFit::fit(welcome);
        welcome->raise();
    }
}

Program::~Program() {
    settings_->remember();
    delete main_;
    delete window_;
}

void Program::openAtStart(const QStringList& files) {
    for (const QString& file : files) window_->openPath(file);
    if (word_.documents->activeDocumentId() != 0 && main_->welcomeWindow()) main_->welcomeWindow()->hide();
}

// Both windows side by side on the screen, the document window taking the room the main window
// leaves; on a screen too small for both, the document window takes the whole screen behind it.
void Program::place() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || !window_) return;
    const QRect area = screen->availableGeometry();
    constexpr int kMargin = 8;
    constexpr int kTitleBar = 32;  // until the window system frames them
    constexpr int kNarrowest = 560;
    main_->move(area.left() + kMargin, area.top() + kMargin);
    int left = area.left() + kMargin + main_->frameGeometry().width() + kMargin;
    if (area.right() - left - kMargin < kNarrowest) left = area.left() + kMargin;
    const int width = area.right() - left - kMargin;
    const int height = area.height() - 2 * kMargin - kTitleBar;
    window_->resize(std::max(window_->minimumSizeHint().width(), width), height);
    window_->move(left, area.top() + kMargin);
}

void Program::check() {
    if (finished_ || !main_->hasEnded()) return;
    if (!wordWindowGone_ && window_ && window_->isVisible()) return;
    finished_ = true;
    emit finished();
}

}  // namespace shell
