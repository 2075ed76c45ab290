// Form5, the welcome window: how to open the document, which program is being driven, and the two
// buttons to open the document through Word's Open dialog or to leave the program.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "winshell/gui.h"

namespace winshell {

// The line under the instructions that names the program the windows drive: Word, or WPS Writer.
std::string drivenProgramLine(const std::string& progId);

class WelcomeWindow final : public Window {
public:
    WelcomeWindow(const std::string& progId, std::function<void()> open, std::function<void()> exit);

    // Shows the window, modeless, in the middle of the screen's work area.
    void showCentred();
    void hide() { ShowWindow(hwnd(), SW_HIDE); }

    HWND openButton() const { return open_; }
    HWND exitButton() const { return exit_; }
    // The instruction labels, then the line naming the program.
    const std::vector<HWND>& lines() const { return lines_; }

private:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void layout() override;

    std::function<void()> onOpen_;
    std::function<void()> onExit_;
    std::vector<HWND> lines_;
    HWND open_ = nullptr;
    HWND exit_ = nullptr;
};

}  // namespace winshell
