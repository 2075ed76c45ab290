// Word reached through COM: the whole automation interface over IDispatch late binding.
// Only for Windows; the thread must be in a single-threaded apartment (see message_filter.h).
#pragma once

#include <array>
#include <memory>
#include <string>

#include "automation/word.h"

struct IDispatch;

namespace automation::com {

// Starts a new, separate Word from the ProgID "Word.Application". Throws automation::Error with a
// Chinese message when Word cannot be created.
std::shared_ptr<Application> createWord();

// The automation servers the windows try, in order: Word, then WPS Writer under its two names.
inline constexpr std::array<const char*, 3> kDesktopWordProgIds = {"Word.Application", "KWPS.Application",
                                                                   "WPS.Application"};

// The program that stands in for Word on the user's desktop, and the ProgID it was created from.
struct DesktopWord {
    std::shared_ptr<Application> application;
    std::string progId;
};

// Starts a new Word from "Word.Application"; when that cannot be created, WPS Writer from
// "KWPS.Application", then "WPS.Application". Throws automation::Error with a Chinese message that
// names every ProgID tried when none can be created.
DesktopWord createDesktopWord();

// An Application over an object the caller already holds; its reference moves into the handle.
std::shared_ptr<Application> wordFromDispatch(IDispatch* application);

// Ctrl+C, Ctrl+Break and closing the console quit this Word (dropping unsaved changes) before the
// program ends. Only for a Word from createWord; other handles are left alone.
void quitOnConsoleInterrupt(const std::shared_ptr<Application>& word);

// The IDispatch behind a Word from this backend (borrowed: the handle keeps its reference); null for
// any other Application.
IDispatch* dispatchOf(Application& word);

}  // namespace automation::com
