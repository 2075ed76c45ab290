// The windows' tests start the whole program against the scripted Word, as gridwright.exe would
// against the user's Word, and drive it with window messages. Messages to the user are collected
// instead of shown; the document watch ticks when a test sends it a tick.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "automation/com/excel_application.h"
#include "automation/com/word_application.h"
#include "winshell/main_window.h"
#include "word_double.h"

namespace wintest {

class WinshellTest : public ::testing::Test {
protected:
    void SetUp() override {
        server.install();
        start();
    }

    void TearDown() override {
        main.reset();
        pump();
        EXPECT_EQ(server.liveObjects(), 0) << "a handle kept its Word object";
    }

    // Starts the program on whatever server the double is installed as.
    void start() {
        const automation::com::DesktopWord word = automation::com::createDesktopWord();
        main = std::make_unique<winshell::MainWindow>(
            winshell::WordSession{word.application, word.progId, automation::com::createExcelLauncher()},
            [this](HWND, const std::string& text) { messages.push_back(text); });
        KillTimer(main->hwnd(), winshell::kDocumentWatchTimer);
        pump();
    }

    // Lets the windows handle what is waiting for them; the program's end is noted, not acted on.
    static void pump() {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    static void click(HWND button) {
        ASSERT_NE(button, nullptr);
        SendMessageW(button, BM_CLICK, 0, 0);
        pump();
    }

    // A mouse click on a label or a picture (a double click when twice is true).
    static void press(HWND window, bool twice = false) {
        ASSERT_NE(window, nullptr);
        SendMessageW(window, twice ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, MK_LBUTTON, 0);
        SendMessageW(window, WM_LBUTTONUP, 0, 0);
        pump();
    }

    void tick(UINT_PTR timer) {
        SendMessageW(main->hwnd(), WM_TIMER, timer, 0);
        pump();
    }

    HWND control(const char* name) const { return main->control(name); }

    // The calls between the first ones that start with `from` and `to`, both excluded.
    std::vector<std::string> callsBetween(const std::string& from, const std::string& to) const {
        const auto& calls = server.calls();
        auto starts = [](const std::string& prefix) {
            return [prefix](const std::string& call) { return call.rfind(prefix, 0) == 0; };
        };
        const auto first = std::find_if(calls.begin(), calls.end(), starts(from));
        if (first == calls.end()) return {};
        const auto last = std::find_if(first + 1, calls.end(), starts(to));
        return std::vector<std::string>(first + 1, last);
    }

    int count(const std::string& prefix) const {
        return static_cast<int>(std::count_if(server.calls().begin(), server.calls().end(),
                                              [&](const std::string& call) { return call.rfind(prefix, 0) == 0; }));
    }

    comtest::WordDouble server;
    std::unique_ptr<winshell::MainWindow> main;
    std::vector<std::string> messages;
};

}  // namespace wintest
