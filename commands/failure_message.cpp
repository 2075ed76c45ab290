#include "commands/failure_message.h"

#include "automation/error.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace commands {

namespace {

// An exception's text is in the system's code page on Windows (the C runtime's and the system's
// messages), in UTF-8 elsewhere.
std::string systemText(const char* text) {
#ifdef _WIN32
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (wideLength <= 1) return {};
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), wideLength);
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return {};
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, utf8.data(), length, nullptr, nullptr);
    utf8.pop_back();  // the terminating NUL
    return utf8;
#else
    return text;
#endif
}

}  // namespace

std::string failureMessage(const std::exception& error) {
    if (const auto* word = dynamic_cast<const automation::Error*>(&error)) return word->message();
    return "操作没有完成：程序遇到意外错误（" + systemText(error.what()) + "）。";
}

}  // namespace commands
