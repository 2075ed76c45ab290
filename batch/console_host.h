// The windows of a command-line run: messages are printed and there is no main window to hide.
#pragma once

#include <ostream>
#include <string>

#include "commands/command_host.h"

namespace batch {

class ConsoleHost : public commands::CommandHost {
public:
    explicit ConsoleHost(std::ostream& out) : out_(out) {}
    void hideMainWindow() override {}
    void showMainWindow() override {}
    void showMessage(const std::string& text) override { out_ << text << "\n"; }

private:
    std::ostream& out_;
};

}  // namespace batch
