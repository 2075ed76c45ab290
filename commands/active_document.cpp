#include "commands/active_document.h"

#include "automation/error.h"

namespace commands {

automation::DocumentPtr activeDocument(automation::Application& word) {
    try {
        return word.ActiveDocument();
    } catch (const automation::Error& error) {
        if (error.number() != automation::errors::NoDocumentOpen) throw;
        return nullptr;
    }
}

}  // namespace commands
