// Word's active document as a value the caller tests: none when Word has no document open.
#pragma once

#include "automation/word.h"

namespace commands {

// Word's active document, or null when Word answers that no document is open. Any other failure
// (Word gone, for instance) is raised as Word raised it.
automation::DocumentPtr activeDocument(automation::Application& word);

}  // namespace commands
