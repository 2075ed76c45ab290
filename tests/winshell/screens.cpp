// Shows the program's windows one after the other against the scripted Word, for pictures of them
// (scripts/windows-screenshots.sh). For each picture it writes FOLDER\shot.txt, "name left top width
// height" of the window on the screen, and waits until that file is gone before the next.
//   gw_winshell_screens.exe FOLDER
#include <filesystem>
#include <fstream>
#include <string>

#include "automation/com/excel_application.h"
#include "automation/com/word_application.h"
#include "winshell/about_window.h"
#include "winshell/main_window.h"
#include "winshell/picker_window.h"
#include "winshell/single_table_window.h"
#include "winshell/welcome_window.h"
#include "word_double.h"

namespace {

void pumpFor(DWORD milliseconds) {
    const DWORD started = GetTickCount();
    while (GetTickCount() - started < milliseconds) {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(20);
    }
}

// Hands the window's place to the script and waits (at most a minute) until it has taken the picture.
bool shoot(const std::filesystem::path& folder, const char* name, HWND window) {
    SetWindowPos(window, HWND_TOPMOST, 20, 20, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    pumpFor(700);
    RECT r{};
    GetWindowRect(window, &r);
    const auto shot = folder / "shot.txt";
    const auto written = folder / "shot.tmp";  // renamed when complete, so the script never reads half a line
    std::ofstream(written) << name << ' ' << r.left << ' ' << r.top << ' ' << r.right - r.left << ' '
                           << r.bottom - r.top << '\n';
    std::filesystem::rename(written, shot);
    for (int waited = 0; std::filesystem::exists(shot); waited += 100) {
        if (waited > 60000) return false;
        pumpFor(100);
    }
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_HIDEWINDOW);
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 2;
    const std::filesystem::path folder(argv[1]);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    comtest::WordDouble server;
    server.install();
    const automation::com::DesktopWord word = automation::com::createDesktopWord();
    winshell::MainWindow main(
        winshell::WordSession{word.application, word.progId, automation::com::createExcelLauncher()},
        [](HWND, const std::string&) {});
    KillTimer(main.hwnd(), winshell::kDocumentWatchTimer);
    ShowWindow(main.hwnd(), SW_HIDE);

    bool ok = shoot(folder, "welcome-window", main.welcomeWindow()->hwnd());
    main.welcomeWindow()->hide();
    ok = ok && shoot(folder, "main-window", main.hwnd());
    SendMessageW(main.control("CommandMore"), BM_CLICK, 0, 0);
    ok = ok && shoot(folder, "main-window-wide", main.hwnd());
    SendMessageW(main.control("Picture22"), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageW(main.control("Picture22"), WM_LBUTTONUP, 0, 0);
    if (winshell::PickerWindow* picker = main.pickerWindow()) {
        SendMessageW(picker->option("Option35"), BM_CLICK, 0, 0);
        ok = ok && shoot(folder, "picker-window", picker->hwnd());
    }
    SendMessageW(main.control("CommandSingleTable"), BM_CLICK, 0, 0);
    ok = ok && shoot(folder, "single-table-window", main.singleTableWindow()->hwnd());
    main.singleTableWindow()->hide();
    SendMessageW(main.control("CommandAbout"), BM_CLICK, 0, 0);
    ok = ok && main.aboutWindow() && shoot(folder, "about-window", main.aboutWindow()->hwnd());
    return ok ? 0 : 1;
}
