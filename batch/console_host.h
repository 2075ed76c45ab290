// The windows of a command-line run: messages are printed, there is no main window to hide, and
// the single-table window counts as shown when one table was asked for.
#pragma once

#include <ostream>
#include <string>

#include "commands/command_host.h"

namespace batch {

class ConsoleHost : public commands::CommandHost {
public:
    explicit ConsoleHost(std::ostream& out, bool singleTable = false) : out_(out), singleTable_(singleTable) {}
    void hideMainWindow() override {}
    void showMainWindow() override {}
    bool singleTableWindowVisible() override { return singleTable_; }
    void showMessage(const std::string& text) override { out_ << text << "\n"; }

private:
    std::ostream& out_;
    bool singleTable_;
};

}  // namespace batch
