// The about window that "使 用 说 明" opens: what the program does and how to use it beside Word.
#pragma once

#include <string>

#include "winshell/gui.h"

namespace winshell {

class AboutWindow final : public Window {
public:
    explicit AboutWindow(const std::string& progId);
    void show();

private:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void layout() override;

    HWND text_ = nullptr;
    HWND close_ = nullptr;
};

}  // namespace winshell
