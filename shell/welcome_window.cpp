#include "shell/welcome_window.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "settings/shell_texts.h"
#include "shell/utf8.h"

namespace shell {

WelcomeWindow::WelcomeWindow(QWidget* parent)
    : QWidget(parent, Qt::Window),
      openButton_(new QPushButton(qs(settings::kOpenDocumentCaption), this)),
      exitButton_(new QPushButton(qs(settings::kExitCaption), this)) {
    setObjectName(qs(settings::kWelcomeFormName));
    setWindowTitle(qs(settings::kWelcomeCaption));
    setAttribute(Qt::WA_QuitOnClose, false);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(2);
    int number = 1;
    for (std::string_view text : settings::kWelcomeInstructions) {
        auto* label = new QLabel(qs(text), this);
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
