#include "backend/word_start.h"

#ifdef GRIDWRIGHT_EMBEDDED_WORD
#include "automation/ooxml/application.h"
#endif
#if defined(GRIDWRIGHT_EMBEDDED_WORD) && defined(__linux__)
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#endif
#ifdef _WIN32
#include "automation/com/excel_application.h"
#include "automation/com/word_application.h"
#endif

namespace backend {

std::vector<WordKind> availableKinds() {
    std::vector<WordKind> kinds;
#ifdef _WIN32
    kinds.push_back(WordKind::Com);
#endif
#ifdef GRIDWRIGHT_EMBEDDED_WORD
    kinds.push_back(WordKind::Embedded);
#endif
    return kinds;
}

std::string nameOf(WordKind kind) { return kind == WordKind::Com ? "word" : "embedded"; }

std::shared_ptr<automation::Application> startWord(WordKind kind) {
#ifdef _WIN32
    if (kind == WordKind::Com) return automation::com::createWord();
#endif
#ifdef GRIDWRIGHT_EMBEDDED_WORD
    if (kind == WordKind::Embedded) return automation::ooxml::createWord();
#endif
    throw automation::Error(
        automation::errors::NotAvailable,
        kind == WordKind::Com ? "此版本不能通过 COM 使用 Word（仅 Windows 版提供）。" : "此版本不含内嵌 Word。");
}

HostedWord startHostedWord() {
#ifdef GRIDWRIGHT_EMBEDDED_WORD
    std::shared_ptr<automation::ooxml::WordApplication> word = automation::ooxml::createWord();
    return HostedWord{word, word, word->excel()};
#else
    throw automation::Error(automation::errors::NotAvailable, "此版本不含内嵌 Word。");
#endif
}

std::shared_ptr<automation::excel::Launcher> excelFor(
    [[maybe_unused]] const std::shared_ptr<automation::Application>& word) {
#ifdef GRIDWRIGHT_EMBEDDED_WORD
    if (auto embedded = std::dynamic_pointer_cast<automation::ooxml::WordApplication>(word)) return embedded->excel();
#endif
#ifdef _WIN32
    return automation::com::createExcelLauncher();
#else
    throw automation::errors::cannotCreateObject();
#endif
}

void quitOnInterrupt([[maybe_unused]] const std::shared_ptr<automation::Application>& word) {
#ifdef _WIN32
    automation::com::quitOnConsoleInterrupt(word);
#endif
}

void useLargePageHeap(char** argv) {
#if defined(GRIDWRIGHT_EMBEDDED_WORD) && defined(__linux__)
    constexpr const char* kTunables = "GLIBC_TUNABLES";
    constexpr const char* kSetting = "glibc.malloc.hugetlb";
    // What GLIBC_TUNABLES was before the start below: "-" for unset, or "+" and its value.
    constexpr const char* kBefore = "GRIDWRIGHT_GLIBC_TUNABLES_BEFORE";
    auto putBack = [&](const std::string& before) {
        if (!before.empty() && before[0] == '+')
            setenv(kTunables, before.c_str() + 1, 1);
        else
            unsetenv(kTunables);
    };
    if (const char* before = std::getenv(kBefore)) {
        // Started again below: the allocator has read the setting, and the processes this one starts
        // get the environment the user gave it.
        putBack(before);
        unsetenv(kBefore);
        return;
    }
    const char* current = std::getenv(kTunables);
    const std::string before = current ? std::string("+") + current : std::string("-");
    if (current && std::strstr(current, kSetting)) return;
    if (const char* preloaded = std::getenv("LD_PRELOAD"); preloaded && *preloaded) return;
    const std::string value = (current && *current ? std::string(current) + ":" : std::string()) + kSetting + "=1";
    if (setenv(kBefore, before.c_str(), 1) != 0 || setenv(kTunables, value.c_str(), 1) != 0) {
        putBack(before);
        unsetenv(kBefore);
        return;
    }
    execv("/proc/self/exe", argv);
    putBack(before);  // not started again: on as before
    unsetenv(kBefore);
#else
    (void)argv;
#endif
}

}  // namespace backend
