#include "shell/word_backend.h"

#include "automation/ooxml/application.h"
#include "backend/word_start.h"
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
    // The user's own Word where it can be created (it brings its own window); the embedded Word otherwise.
    if (std::shared_ptr<automation::Application> word = backend::tryStartComWord())
        return WordBackend{word, nullptr, backend::excelFor(word)};
    return startEmbeddedWord();
}

}  // namespace shell
