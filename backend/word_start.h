// Which Word the program works with, chosen once at start-up by the windows or the command line.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "automation/excel.h"
#include "automation/hosted_documents.h"
#include "automation/word.h"

namespace backend {

enum class WordKind {
    Embedded,  // the embedded Word, working on .docx files directly
    Com,       // the user's own Word, through COM (Windows)
};

// The kinds this build has, the preferred one first.
std::vector<WordKind> availableKinds();
// "embedded" and "word", as the command line names them.
std::string nameOf(WordKind kind);

// Starts a new, separate Word of that kind with no document open. Throws automation::Error with a
// Chinese message when it cannot be started or this build does not have it.
std::shared_ptr<automation::Application> startWord(WordKind kind);

// The embedded Word as this program's own windows host it: its object model, its open documents for
// the document window, and its own Excel. Throws automation::Error when this build has no embedded Word.
struct HostedWord {
    std::shared_ptr<automation::Application> word;
    std::shared_ptr<automation::HostedDocuments> documents;
    std::shared_ptr<automation::excel::Launcher> excel;
};
HostedWord startHostedWord();

// The Excel that goes with this Word: the embedded Word's own small Excel, or the real Excel through
// COM beside the user's Word.
std::shared_ptr<automation::excel::Launcher> excelFor(const std::shared_ptr<automation::Application>& word);

// Makes Ctrl+C and closing the console quit this Word before the program ends (a Word started through
// COM would otherwise stay behind, invisible). Nothing to do for the embedded Word.
void quitOnInterrupt(const std::shared_ptr<automation::Application>& word);

// For the embedded Word on Linux: starts this program again, at once, with glibc's allocator asked to
// back its heap with transparent huge pages (GLIBC_TUNABLES glibc.malloc.hugetlb=1): a large document
// fills it by the hundred megabytes (the parsed part's nodes, the position index, table grids), and in
// 4 KiB pages each of them costs a page fault. The setting is read only when a program starts, hence
// the restart. On the 1,000-table report the format run takes 3,000 page faults instead of 59,000, and
// 0.57 s of CPU time instead of 1.35 s; the other way tried, pugixml's own pages taken from blocks
// advised for huge pages, left 10,000 faults and took 0.65 s (bench/compare_builds.py, 21 alternating
// runs of each). The program started again puts the environment back as it was, so processes it starts
// are not affected. Does nothing, and returns, when that setting is there already (whatever its value:
// glibc.malloc.hugetlb=0 turns the restart off), when a library is preloaded (a memory tool watching
// this process) or when the program cannot be started again.
void useLargePageHeap(char** argv);

}  // namespace backend
