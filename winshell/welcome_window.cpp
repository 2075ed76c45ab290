#include "winshell/welcome_window.h"

#include <algorithm>

#include "settings/shell_texts.h"

namespace winshell {

namespace {

constexpr int kOpenId = 100;
constexpr int kExitId = 101;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;

}  // namespace

std::string drivenProgramLine(const std::string& progId) {
    if (progId == "Word.Application") return "本程序现在使用的是 Microsoft Word。";
    return "本程序现在使用的是 WPS 文字（" + progId + "），而不是 Microsoft Word。";
}

WelcomeWindow::WelcomeWindow(const std::string& progId, std::function<void()> open, std::function<void()> exit)
    : onOpen_(std::move(open)), onExit_(std::move(exit)) {
    create(L"GridwrightForm5", settings::kWelcomeCaption, kStyle);
    int id = 200;
    for (std::string_view text : settings::kWelcomeInstructions)
        lines_.push_back(createControl(hwnd(), L"STATIC", text, WS_VISIBLE | SS_LEFT | SS_NOPREFIX, id++, font_.get()));
    lines_.push_back(createControl(hwnd(), L"STATIC", drivenProgramLine(progId), WS_VISIBLE | SS_LEFT | SS_NOPREFIX, id,
                                   font_.get()));
    open_ = createControl(hwnd(), L"BUTTON", settings::kOpenDocumentCaption, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                          kOpenId, font_.get());
    exit_ = createControl(hwnd(), L"BUTTON", settings::kExitCaption, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, kExitId,
                          font_.get());
    layout();
}

void WelcomeWindow::layout() {
    // Each label as large as its text, one under the other; the buttons side by side below them.
    HDC dc = GetDC(hwnd());
    HGDIOBJ previous = SelectObject(dc, font_.get());
    const int margin = dpi_.scaled(16);
    int top = margin;
    int widest = 0;
    std::vector<RECT> sizes;
    for (HWND line : lines_) {
        const std::wstring text = wide(windowText(line));
        RECT size{0, 0, 0, 0};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &size, DT_CALCRECT | DT_NOPREFIX);
        sizes.push_back(size);
        widest = std::max<int>(widest, size.right);
    }
    SelectObject(dc, previous);
    ReleaseDC(hwnd(), dc);
    for (size_t i = 0; i < lines_.size(); ++i) {
        // The line naming the program stands apart from the instructions.
        if (i + 1 == lines_.size()) top += dpi_.scaled(8);
        SetWindowPos(lines_[i], nullptr, margin, top, widest, sizes[i].bottom, SWP_NOZORDER);
        top += sizes[i].bottom + dpi_.scaled(2);
    }
    top += dpi_.scaled(12);
    const int buttonWidth = dpi_.scaled(180);
    const int buttonHeight = dpi_.scaled(30);
    const int gap = dpi_.scaled(40);
    const int clientWidth = widest + 2 * margin;
    const int left = (clientWidth - 2 * buttonWidth - gap) / 2;
    SetWindowPos(open_, nullptr, left, top, buttonWidth, buttonHeight, SWP_NOZORDER);
    SetWindowPos(exit_, nullptr, left + buttonWidth + gap, top, buttonWidth, buttonHeight, SWP_NOZORDER);
    const SIZE outer = outerSize(kStyle, clientWidth, top + buttonHeight + margin, dpi_);
    SetWindowPos(hwnd(), nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void WelcomeWindow::showCentred() {
    RECT outer{};
    GetWindowRect(hwnd(), &outer);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(hwnd(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& area = monitor.rcWork;
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    SetWindowPos(hwnd(), HWND_TOP, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(hwnd());
}

LRESULT WelcomeWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == kOpenId) onOpen_();
            if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == kExitId) onExit_();
            return 0;
        case WM_CLOSE: hide(); return 0;  // its close box only closes this window
        default: return Window::handle(message, wParam, lParam);
    }
}

}  // namespace winshell
