// Form1, the single-table window: a small window that stays above every other window of the desktop
// while the user clicks into a table in Word; "确 定" formats that table, "返 回" goes back to the main
// window, and its close box ends the program.
#pragma once

#include <functional>

#include "winshell/gui.h"

namespace winshell {

class SingleTableWindow final : public Window {
public:
    SingleTableWindow(std::function<void()> ok, std::function<void()> back, std::function<void()> close);

    // Shows the window, modeless; the first time it is put above all windows that are not topmost
    // themselves, keeping its place and size.
    void show();
    void hide() { ShowWindow(hwnd(), SW_HIDE); }

    HWND okButton() const { return ok_; }
    HWND returnButton() const { return return_; }
    std::string tooltipOf(HWND control) const { return tooltips_->textOf(control); }

private:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void layout() override;

    std::function<void()> onOk_;
    std::function<void()> onReturn_;
    std::function<void()> onClose_;
    std::unique_ptr<Tooltips> tooltips_;
    HWND ok_ = nullptr;
    HWND return_ = nullptr;
    bool loaded_ = false;
};

}  // namespace winshell
