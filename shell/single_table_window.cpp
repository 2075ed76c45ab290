#include "shell/single_table_window.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>

#include "settings/shell_texts.h"
#include "shell/twips.h"
#include "shell/utf8.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace shell {

namespace {

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
      okButton_(new QPushButton(qs(settings::kSingleTableOkCaption), this)),
      returnButton_(new QPushButton(qs(settings::kSingleTableReturnCaption), this)) {
    setObjectName(qs(settings::kSingleTableFormName));
    setWindowTitle(qs(settings::kSingleTableCaption));
    setAttribute(Qt::WA_QuitOnClose, false);
    const Twips twips = Twips::ofScreen();
    setFixedSize(twips.x(settings::kSingleTableClientWidthTwips), twips.y(settings::kSingleTableClientHeightTwips));

    okButton_->setObjectName(QStringLiteral("CommandOk"));
    okButton_->setToolTip(qs(settings::kSingleTableOkTooltip));
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
