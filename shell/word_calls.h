// Every call into Word from a window's slot goes through callWord: what Word throws (its refusals as
// automation::Error, anything else as a standard exception) is shown by report and never reaches the
// event loop.
#pragma once

#include <QString>

#include <exception>
#include <functional>

#include "commands/failure_message.h"

namespace shell {

// Runs call; false when it threw, after report has been given the reason.
template <typename Call>
bool callWord(const std::function<void(const QString&)>& report, Call&& call) {
    try {
        call();
        return true;
    } catch (const std::exception& error) {
        report(QString::fromStdString(commands::failureMessage(error)));
    }
    return false;
}

}  // namespace shell
