#include "winshell/about_window.h"

#include "winshell/welcome_window.h"

namespace winshell {

namespace {

constexpr int kCloseId = 100;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;

constexpr const char* kText =
    "Gridwright 表格排版工具\r\n\r\n"
    "本程序把一份 Word 文档里的所有表格一次排成统一的样式：线条、行高、表格宽度、行距、字体字号、"
    "标题行居中并跨页重复、其他区域居中或居右、删除空格、数字加千分位符号。\r\n\r\n"
    "使用步骤\r\n"
    "1、在欢迎窗口中点击“打开要排版的word文件”，在 Word 的打开对话框中选择要排版的文件。文件在本程序启动的 "
    "Word 中打开，排版工具界面随后自动显示。\r\n"
    "2、在“表格设置”“表内文字”“对齐方式”中选择要改的项目；保持“不变”的项目不会改动文档。"
    "点击“上下边框”“左右边框”“内横竖线”右边的线条图片，可以选择线型和粗细。\r\n"
    "3、点击“开   始”，程序逐个处理文档中的表格，完成后显示“完成”。在 Word 中按一次 Ctrl+Z 即可撤销整次排版"
    "（Word 2010 及以后的版本）。\r\n"
    "4、点击“更多功能 >>”可以使用表外文字排版、删除空行、删除外部链接等功能。\r\n"
    "5、只想处理一个表格时：在主窗口中按 Tab 键把焦点移到隐藏的“1”按钮上，按空格键进入单表设置窗口；"
    "在 Word 中点击该表格，再点击“确 定”。\r\n"
    "6、程序不会保存或关闭文档，请在 Word 中保存。关闭本程序后 Word 和文档保持打开。";

}  // namespace

AboutWindow::AboutWindow(const std::string& progId) {
    create(L"GridwrightAbout", "使用说明", kStyle);
    text_ = createControl(hwnd(), L"STATIC", std::string(kText) + "\r\n\r\n" + drivenProgramLine(progId),
                          WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 101, font_.get());
    close_ = createControl(hwnd(), L"BUTTON", "关  闭", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, kCloseId, font_.get());
    layout();
}

void AboutWindow::layout() {
    const int margin = dpi_.scaled(12);
    const int width = dpi_.scaled(520);
    // The text wraps at the window's width; its height is what it needs there.
    const std::wstring text = wide(windowText(text_));
    RECT size{0, 0, width - 2 * margin, 0};
    HDC dc = GetDC(hwnd());
    HGDIOBJ previous = SelectObject(dc, font_.get());
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &size, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, previous);
    ReleaseDC(hwnd(), dc);
    SetWindowPos(text_, nullptr, margin, margin, width - 2 * margin, size.bottom, SWP_NOZORDER);
    const int buttonWidth = dpi_.scaled(88);
    const int buttonHeight = dpi_.scaled(28);
    const int buttonTop = margin + size.bottom + margin;
    SetWindowPos(close_, nullptr, width - margin - buttonWidth, buttonTop, buttonWidth, buttonHeight, SWP_NOZORDER);
    const SIZE outer = outerSize(kStyle, width, buttonTop + buttonHeight + margin, dpi_);
    SetWindowPos(hwnd(), nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void AboutWindow::show() {
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
}

LRESULT AboutWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == kCloseId && HIWORD(wParam) == BN_CLICKED) {
        DestroyWindow(hwnd());
        return 0;
    }
    return Window::handle(message, wParam, lParam);
}

}  // namespace winshell
