#include "shell/prompts.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace shell {

namespace {

const char* const kDocxFilter = "Word 文档 (*.docx)";

}  // namespace

Prompts systemPrompts() {
    Prompts p;
    p.message = [](QWidget* parent, const QString& text) {
        QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(kProgramTitle), text, QMessageBox::Ok, parent);
        box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
        box.exec();
    };
    p.askSave = [](QWidget* parent, const QString& documentName) {
        QMessageBox box(QMessageBox::Question, QString::fromUtf8(kProgramTitle),
                        QStringLiteral("是否保存对“%1”的更改？").arg(documentName),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
        box.button(QMessageBox::Yes)->setText(QStringLiteral("是"));
        box.button(QMessageBox::No)->setText(QStringLiteral("否"));
        box.button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
        box.setDefaultButton(QMessageBox::Yes);
        switch (box.exec()) {
            case QMessageBox::Yes: return SaveAnswer::Save;
            case QMessageBox::No: return SaveAnswer::Discard;
            default: return SaveAnswer::Cancel;
        }
    };
    p.chooseOpenFile = [](QWidget* parent) {
        return QFileDialog::getOpenFileName(parent, QStringLiteral("打开"), QString(), QString::fromUtf8(kDocxFilter));
    };
    p.chooseSaveFile = [](QWidget* parent, const QString& suggestion) {
        return QFileDialog::getSaveFileName(parent, QStringLiteral("另存为"), suggestion,
                                            QString::fromUtf8(kDocxFilter));
    };
    return p;
}

Prompts& prompts() {
    static Prompts current = systemPrompts();
    return current;
}

}  // namespace shell
