// A command host for tests: records what a command asked of the windows.
#pragma once

#include <string>
#include <vector>

#include "commands/command_host.h"

namespace gwtest {

class RecordingHost : public commands::CommandHost {
public:
    void hideMainWindow() override {
        mainVisible = false;
        events.push_back("hide");
    }
    void showMainWindow() override {
        mainVisible = true;
        events.push_back("show");
    }
    void showMessage(const std::string& text) override {
        messages.push_back(text);
        events.push_back("message:" + text);
    }

    bool mainVisible = true;
    std::vector<std::string> messages;
    std::vector<std::string> events;
};

}  // namespace gwtest
