#include "shell/single_table_window.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>

#include "settings/shell_texts.h"
#include "shell/twips.h"
#include "shell/utf8.h"

namespace shell {

namespace {

constexpr Qt::WindowFlags kSingleTableFlags =
    Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint;

}  // namespace

SingleTableWindow::SingleTableWindow(QWidget* parent)
    : QWidget(parent, kSingleTableFlags),
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

void SingleTableWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closedByUser();
}

}  // namespace shell
