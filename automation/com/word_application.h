// Word reached through COM: the whole automation interface over IDispatch late binding.
// Only for Windows; the thread must be in a single-threaded apartment (see message_filter.h).
#pragma once

#include <memory>

#include "automation/word.h"

struct IDispatch;

namespace automation::com {

// Starts a new, separate Word from the ProgID "Word.Application". Throws automation::Error with a
// Chinese message when Word cannot be created.
std::shared_ptr<Application> createWord();

// An Application over an object the caller already holds; its reference moves into the handle.
std::shared_ptr<Application> wordFromDispatch(IDispatch* application);

// Ctrl+C, Ctrl+Break and closing the console quit this Word (dropping unsaved changes) before the
// program ends. Only for a Word from createWord; other handles are left alone.
void quitOnConsoleInterrupt(const std::shared_ptr<Application>& word);

}  // namespace automation::com
