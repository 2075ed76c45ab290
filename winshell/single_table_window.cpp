#include "winshell/single_table_window.h"

#include "settings/shell_texts.h"

namespace winshell {

namespace {

constexpr int kOkId = 100;
constexpr int kReturnId = 101;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;  // fixed size, close box only

}  // namespace

SingleTableWindow::SingleTableWindow(std::function<void()> ok, std::function<void()> back, std::function<void()> close)
    : onOk_(std::move(ok)), onReturn_(std::move(back)), onClose_(std::move(close)) {
    create(L"GridwrightForm1", settings::kSingleTableCaption, kStyle);
    tooltips_ = std::make_unique<Tooltips>(hwnd());
    tooltips_->setFont(font_.get());
    ok_ = createControl(hwnd(), L"BUTTON", settings::kSingleTableOkCaption, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                        kOkId, font_.get());
    return_ = createControl(hwnd(), L"BUTTON", settings::kSingleTableReturnCaption,
                            WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, kReturnId, font_.get());
    tooltips_->add(ok_, settings::kSingleTableOkTooltip);
    layout();
}

void SingleTableWindow::layout() {
    const int width = dpi_.px(settings::kSingleTableClientWidthTwips);
    const int height = dpi_.px(settings::kSingleTableClientHeightTwips);
    const SIZE outer = outerSize(kStyle, width, height, dpi_);
    SetWindowPos(hwnd(), nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The two buttons side by side, "确 定" on the left.
    const int margin = dpi_.scaled(6);
    const int buttonWidth = (width - 3 * margin) / 2;
    SetWindowPos(ok_, nullptr, margin, margin, buttonWidth, height - 2 * margin, SWP_NOZORDER);
    SetWindowPos(return_, nullptr, 2 * margin + buttonWidth, margin, buttonWidth, height - 2 * margin, SWP_NOZORDER);
}

void SingleTableWindow::show() {
    ShowWindow(hwnd(), SW_SHOW);
    if (!loaded_) {
        loaded_ = true;
        RECT place{};
        GetWindowRect(hwnd(), &place);
        SetWindowPos(hwnd(), HWND_TOPMOST, place.left, place.top, place.right - place.left, place.bottom - place.top,
                     0);
    }
    SetForegroundWindow(hwnd());
}

LRESULT SingleTableWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == kOkId) onOk_();
            if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == kReturnId) onReturn_();
            return 0;
        case WM_CLOSE: onClose_(); return 0;
        default: return Window::handle(message, wParam, lParam);
    }
}

}  // namespace winshell
