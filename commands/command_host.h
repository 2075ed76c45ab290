// What a command needs from the windows that started it. The Qt windows, the command line and the
// tests each provide one; the commands themselves never see a window.
#pragma once

#include <string>

namespace commands {

class CommandHost {
public:
    virtual ~CommandHost() = default;
    virtual void hideMainWindow() = 0;
    // Shows the main window again (modeless) and brings it forward.
    virtual void showMainWindow() = 0;
    // A modal message box with one OK button, titled with the program's title.
    virtual void showMessage(const std::string& text) = 0;
};

}  // namespace commands
