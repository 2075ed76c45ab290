// What a command needs from the windows that started it. The Qt windows, the command line and the
// tests each provide one; the commands themselves never see a window.
#pragma once

#include <string>

namespace settings {

class CommandHost {
public:
    virtual ~CommandHost() = default;
    virtual void hideMainWindow() = 0;
    // Shows the main window again (modeless) and brings it forward.
    virtual void showMainWindow() = 0;
    virtual bool singleTableWindowVisible() = 0;
    // A modal message box with one OK button, titled with the program's title.
    virtual void showMessage(const std::string& text) = 0;
};

// Values the program shares between its commands while it runs.
struct ProgramState {
    // Tables the next walk visits. Word's own limit is far above 32767, so it is a plain int.
    int TablesToProcess = 0;
    // The start-of-run numbers of the table run; kept from run to run as the panel keeps its texts.
    float RowHeightCm = 0.0f;
    float LineSpacingLines = 0.0f;
    float CellRightMarginCm = 0.0f;
};

}  // namespace settings
