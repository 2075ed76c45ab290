#include "shell/welcome_window.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace shell {

namespace {

// The instructions, one label each, exactly as they stand.
const char* const kInstructions[] = {
    "程序使用方法：\r\n  ",
    "     1、点击本窗体下方的“打开要排版的word文件”按钮，然后在出现的打开文件对话框中找到你想对其",
    "进行排版设置的word文件，再点击对话框右下方的打开按钮，打开该文件，之后排版工具界面会自动显示。",
    "    2、必须用1中的方法使用本工具打开word文件，直接在文件夹中双击打开或用其他方法打开时，本程",
    "序无法对其设置。    ",
};

}  // namespace

WelcomeWindow::WelcomeWindow(QWidget* parent)
    : QWidget(parent, Qt::Window),
      openButton_(new QPushButton(QStringLiteral("打开要排版的word文件"), this)),
      exitButton_(new QPushButton(QStringLiteral("退出程序"), this)) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("你好，欢迎使用本程序！"));
    setAttribute(Qt::WA_QuitOnClose, false);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(2);
    int number = 1;
    for (const char* text : kInstructions) {
        auto* label = new QLabel(QString::fromUtf8(text), this);
        label->setObjectName(QStringLiteral("Label%1").arg(number++));
        layout->addWidget(label);
    }
    layout->addSpacing(12);
    openButton_->setObjectName(QStringLiteral("CommandOpen"));
    exitButton_->setObjectName(QStringLiteral("CommandExit"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(openButton_);
    buttons->addSpacing(40);
    buttons->addWidget(exitButton_);
    buttons->addStretch();
    layout->addLayout(buttons);

    connect(openButton_, &QPushButton::clicked, this, &WelcomeWindow::openRequested);
    connect(exitButton_, &QPushButton::clicked, this, &WelcomeWindow::exitRequested);
}

void WelcomeWindow::showCentred() {
    adjustSize();
    if (const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    show();
    raise();
}

}  // namespace shell
