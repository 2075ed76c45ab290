#include "shell/prompts.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>

namespace shell {

namespace {

QString filterOf(FileKind kind) {
    switch (kind) {
        case FileKind::Document: return QStringLiteral("Word 文档 (*.docx)");
        case FileKind::Settings: return QStringLiteral("排版设置 (*.txt);;所有文件 (*)");
        case FileKind::Pdf: return QStringLiteral("PDF 文件 (*.pdf)");
    }
    return QString();
}

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
    p.chooseOpenFile = [](QWidget* parent, FileKind kind) {
        return QFileDialog::getOpenFileName(parent, QStringLiteral("打开"), QString(), filterOf(kind));
    };
    p.chooseSaveFile = [](QWidget* parent, FileKind kind, const QString& suggestion) {
        return QFileDialog::getSaveFileName(
            parent, kind == FileKind::Pdf ? QStringLiteral("导出为 PDF") : QStringLiteral("另存为"), suggestion,
            filterOf(kind));
    };
    p.setUpPrinter = [](QWidget* parent, QPrinter& printer) {
        QPrintDialog dialog(&printer, parent);
        dialog.setWindowTitle(QStringLiteral("打印"));
        return dialog.exec() == QDialog::Accepted;
    };
    return p;
}

Prompts& prompts() {
    static Prompts current = systemPrompts();
    return current;
}

}  // namespace shell
