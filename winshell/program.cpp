#include "winshell/program.h"

#include "automation/com/excel_application.h"
#include "automation/com/message_filter.h"
#include "automation/com/word_application.h"
#include "commands/failure_message.h"
#include "winshell/main_window.h"

namespace winshell {

int messageLoop() {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        HWND top = GetAncestor(message.hwnd, GA_ROOT);
        if (top != nullptr && IsDialogMessageW(top, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

int runProgram() {
    try {
        automation::com::enterApartment();
    } catch (const std::exception& error) {
        systemMessage(nullptr, commands::failureMessage(error));
        return 1;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    automation::com::DesktopWord word;
    try {
        word = automation::com::createDesktopWord();
    } catch (const std::exception& error) {
        systemMessage(nullptr, commands::failureMessage(error));
        return 1;
    }
    MainWindow main(WordSession{word.application, word.progId, automation::com::createExcelLauncher()});
    return messageLoop();
}

}  // namespace winshell
