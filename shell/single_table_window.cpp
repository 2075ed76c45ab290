#include "shell/single_table_window.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>

#include "shell/twips.h"

namespace shell {

namespace {

constexpr int kClientWidthTwips = 3264;
constexpr int kClientHeightTwips = 588;

constexpr Qt::WindowFlags kSingleTableFlags =
    Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint;

}  // namespace

SingleTableWindow::SingleTableWindow(QWidget* parent)
    : QWidget(parent, kSingleTableFlags),
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

void SingleTableWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closedByUser();
}

}  // namespace shell
