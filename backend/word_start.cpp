#include "backend/word_start.h"

#ifdef GRIDWRIGHT_EMBEDDED_WORD
#include "automation/ooxml/application.h"
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

}  // namespace backend
