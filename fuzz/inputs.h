// What each fuzz target does with one input. The libFuzzer programs of this folder and the test that
// replays the inputs kept under tests/data/fuzz/ call the same functions.
//
// A function returns for every input the program handles soundly, refusals with Word's or Excel's
// errors included. Anything else ends the process: a sanitizer report, an exception that is no
// automation::Error, or a broken promise (a document that opened and then cannot be saved, or comes
// back from its file with other text; a command line that passed its checks and then fails on a sound
// document), which is reported on stderr before abort().
#pragma once

#include <string_view>
#include <vector>

namespace fuzz {

// A .docx file: opened, every table, paragraph, field and inline shape touched through the object
// model, every command of the command line run on it, saved and opened again.
void package(std::string_view bytes);
// The XML of the main document part, in an otherwise sound package; then as package().
void mainPart(std::string_view bytes);
// A compound file with an Excel 97-2003 workbook as Word embeds it, or a bare Workbook stream (records),
// which is put into a compound file first: opened in the embedded Excel, each worksheet's used range
// fitted and copied.
void worksheet(std::string_view bytes);
// One byte of options (1 wildcards, 2 match case, 4 whole word, 8 backward), then the find text, the
// searched text and the replacement, separated by NUL bytes: every match found and a replace-all
// planned. The find text and the replacement are cut to Word's 255 characters.
void wildcard(std::string_view bytes);
// A settings file given to `gridwright-batch --format --body --settings FILE` on a sound document.
void settingsFile(std::string_view bytes);
// Command-line arguments, one a line, after `gridwright-batch DOC -o OUT --format --body`: only the
// settings options --set and --line with their values (joined as --set=VALUE) and --report are kept,
// so that no other file is named.
void commandLine(std::string_view bytes);

struct Target {
    const char* name;  // as scripts/fuzz.sh and the folders of tests/data/fuzz/ name it
    void (*run)(std::string_view bytes);
};
const std::vector<Target>& targets();

}  // namespace fuzz
