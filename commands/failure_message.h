// What a window tells the user when Word, or the program itself, failed in a way the command did not
// expect. Both front ends catch std::exception around every call into Word and show this.
#pragma once

#include <exception>
#include <string>

namespace commands {

// Word's own message for an automation::Error; for anything else a fixed sentence naming the
// exception's text (taken from the system's code page on Windows), in UTF-8.
std::string failureMessage(const std::exception& error);

}  // namespace commands
