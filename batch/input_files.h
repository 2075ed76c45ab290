// The documents of a many-document run: which files, and where each one's result goes.
#pragma once

#include <filesystem>
#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace batch {

// Where the inputs come from and how outputs are named, as the command line gives them.
struct InputRequest {
    std::vector<std::string> named;        // files and folders on the command line (UTF-8)
    std::optional<std::string> filesFrom;  // a file listing inputs, "-" for standard input
    bool nullSeparated = false;            // the list is separated by NUL instead of line ends
    std::optional<std::string> output;     // -o: the output of the one input file
    std::optional<std::string> outDir;
    std::string suffix;  // added to each output's name before its extension
    bool inPlace = false;
};

struct PlannedDocument {
    std::filesystem::path input;
    std::filesystem::path output;  // the input itself with --in-place
};

struct InputPlan {
    std::vector<PlannedDocument> documents;  // in the order named; a folder's files sorted by path
    std::vector<std::string> notes;          // what was left out and why (Chinese), for --verbose
};

// Collects the documents. Folders are searched recursively for .docx files, leaving out hidden files
// and folders, Office's lock files (~$*.docx) and the output folder. A file named on the command line
// or in the list keeps its name in the output folder; a file found in a folder keeps its place below
// that folder; a relative path in the list (without "..") keeps its place below the current folder.
// A file named twice is taken once; a file that is another input's output is left out (it would be
// overwritten while it is read). Missing files are kept: the run reports them as failed.
// Returns a Chinese reason (a usage error) when the outputs cannot be named: no output folder, suffix
// or --in-place; two inputs with one output; an output that is its own input; an unreadable list.
std::optional<std::string> planDocuments(const InputRequest& request, std::istream& standardInput, InputPlan& plan);

// True for a file name a folder search takes: *.docx in any letter case, not hidden, no lock file.
bool isDocumentName(const std::filesystem::path& name);

}  // namespace batch
