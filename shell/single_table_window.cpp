#include "shell/single_table_window.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>

#include "shell/twips.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace shell {

namespace {

constexpr int kClientWidthTwips = 3264;
constexpr int kClientHeightTwips = 588;

Qt::WindowFlags singleTableFlags() {
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                            Qt::MSWindowsFixedSizeDialogHint;
#ifndef _WIN32
    // On Windows SetWindowPos puts the window on top when it is first shown.
    flags |= Qt::WindowStaysOnTopHint;
#endif
    return flags;
}

}  // namespace

SingleTableWindow::SingleTableWindow(QWidget* parent)
    : QWidget(parent, singleTableFlags()),
      okButton_(new QPushButton(QStringLiteral("确 定"), this)),
      returnButton_(new QPushButton(QStringLiteral("返 回"), this)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("选中一个表设置"));
    setAttribute(Qt::WA_QuitOnClose, false);
    const Twips twips = Twips::ofScreen();
    setFixedSize(twips.x(kClientWidthTwips), twips.y(kClientHeightTwips));

    okButton_->setObjectName(QStringLiteral("CommandOk"));
    okButton_->setToolTip(QStringLiteral("先选中一个表格"));
    returnButton_->setObjectName(QStringLiteral("CommandReturn"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    layout->addWidget(okButton_);
    layout->addWidget(returnButton_);

    connect(okButton_, &QPushButton::clicked, this, &SingleTableWindow::okRequested);
    connect(returnButton_, &QPushButton::clicked, this, &SingleTableWindow::returnRequested);
}

void SingleTableWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (placedOnTop_) return;
    placedOnTop_ = true;
#ifdef _WIN32
    // Keep the place and size, and stay above every window that is not topmost itself.
    const QRect frame = frameGeometry();
    SetWindowPos(reinterpret_cast<HWND>(winId()), HWND_TOPMOST, frame.x(), frame.y(), frame.width(), frame.height(), 0);
#endif
}

void SingleTableWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closedByUser();
}

}  // namespace shell
