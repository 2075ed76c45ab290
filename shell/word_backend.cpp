#include "shell/word_backend.h"

#include "automation/ooxml/application.h"
#include "shell/document_window.h"

namespace shell {

WordBackend startEmbeddedWord() {
    std::shared_ptr<automation::ooxml::WordApplication> word = automation::ooxml::createWord();
    WordBackend backend;
    backend.application = word;
    backend.window = new DocumentWindow(word);
    backend.excel = word->excel();
    return backend;
}

WordBackend startWord() {
    // A Word reached through COM would be created here on Windows; the embedded Word works everywhere.
    return startEmbeddedWord();
}

}  // namespace shell
