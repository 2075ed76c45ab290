// What the utilities share: pass-over mode (a failing Word operation is abandoned and the command
// goes on) and the active document.
#pragma once

#include <utility>

#include "automation/error.h"
#include "automation/word.h"
#include "settings/pass_over.h"

namespace utilities {

// Every utility runs in pass-over mode from its start.
using settings::PassOver;

// Word's active document, or null when there is none.
inline automation::DocumentPtr activeDocument(automation::Application& word) {
    try {
        return word.ActiveDocument();
    } catch (const automation::Error&) {
        return nullptr;
    }
}

}  // namespace utilities
