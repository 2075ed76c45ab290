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

std::optional<WordKind> kindNamed(const std::string& name) {
    for (WordKind kind : {WordKind::Embedded, WordKind::Com})
        if (nameOf(kind) == name) return kind;
    return std::nullopt;
}

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

std::shared_ptr<automation::Application> tryStartComWord() {
#ifdef _WIN32
    try {
        return automation::com::createWord();
    } catch (const automation::Error&) {}
#endif
    return nullptr;
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
    constexpr const char* kSetting = "glibc.malloc.hugetlb";
    const char* tunables = std::getenv("GLIBC_TUNABLES");
    if (tunables && std::strstr(tunables, kSetting)) return;
    if (const char* preloaded = std::getenv("LD_PRELOAD"); preloaded && *preloaded) return;
    const std::string value = (tunables && *tunables ? std::string(tunables) + ":" : std::string()) + kSetting + "=1";
    if (setenv("GLIBC_TUNABLES", value.c_str(), 1) != 0) return;
    execv("/proc/self/exe", argv);
    // Not started again: on as before, without the setting (it would only tell children what this
    // process does not do).
    if (tunables)
        setenv("GLIBC_TUNABLES", tunables, 1);
    else
        unsetenv("GLIBC_TUNABLES");
#else
    (void)argv;
#endif
}

}  // namespace backend
