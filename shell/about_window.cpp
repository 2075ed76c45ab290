#include "shell/about_window.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace shell {

AboutWindow::AboutWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("About"));
    setWindowTitle(QStringLiteral("使用说明"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setAttribute(Qt::WA_DeleteOnClose);

    auto* text = new QLabel(this);
    text->setObjectName(QStringLiteral("AboutText"));
    text->setWordWrap(true);
    text->setTextFormat(Qt::RichText);
    text->setText(QStringLiteral(
        "<h3>Gridwright 表格排版工具</h3>"
        "<p>本程序把一份 Word 文档里的所有表格一次排成统一的样式：线条、行高、表格宽度、行距、字体字号、"
        "标题行居中并跨页重复、其他区域居中或居右、删除空格、数字加千分位符号。</p>"
        "<p><b>使用步骤</b></p>"
        "<ol>"
        "<li>在欢迎窗口中点击“打开要排版的word文件”，选择要排版的文件。文件会在程序自带的 Word 窗口中打开，"
        "排版工具界面随后自动显示。</li>"
        "<li>在“表格设置”“表内文字”“对齐方式”中选择要改的项目；保持“不变”的项目不会改动文档。"
        "点击“上下边框”“左右边框”“内横竖线”右边的线条图片，可以选择线型和粗细。</li>"
        "<li>点击“开   始”，程序逐个处理文档中的表格，完成后显示“完成”。</li>"
        "<li>点击“更多功能 >>”可以使用表外文字排版、删除空行、删除外部链接等功能。</li>"
        "<li>只想处理一个表格时：在主窗口中按 Tab 键把焦点移到隐藏的“1”按钮上，按空格键进入单表设置窗口；"
        "在 Word 窗口中点击该表格，再点击“确 定”。</li>"
        "<li>程序不会自动保存文档。请在 Word 窗口的“文件”菜单中保存或另存为。</li>"
        "</ol>"));

    auto* close = new QPushButton(QStringLiteral("关  闭"), this);
    close->setObjectName(QStringLiteral("CommandClose"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(close, 0, Qt::AlignRight);
    resize(520, 420);
}

}  // namespace shell
