// What happened to one document of a run, and its line in the --report-json file (JSON Lines: one
// object per document, so that the reports of several runs concatenate into one file).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "commands/pass_over.h"

namespace batch {

enum class DocumentStatus {
    Ok,       // saved
    Refused,  // Word refused an operation (its error number and message are given); nothing saved
    Failed,   // anything else went wrong: a missing file, a crash, the memory limit; nothing saved
    Timeout,  // ended after --timeout seconds; nothing saved
    Skipped,  // --skip-existing: the output was newer than the input
};

// "ok", "refused", "failed", "timeout", "skipped": the names the report uses.
const char* statusName(DocumentStatus status);

// What the steps tell about one document besides changing it.
struct StepRecord {
    // The operations Word refused and the format run passed over, per table (what --report prints).
    std::vector<commands::PassedOver> passedOver;
    // Per command, what it counted: ("delete-empty-rows", "rows") -> 3. A command run twice adds up.
    struct Count {
        std::string command;
        std::string name;
        long value = 0;
    };
    std::vector<Count> counts;

    void add(const std::string& command, const std::string& name, long value);
};

struct DocumentResult {
    std::string input;   // UTF-8, as the user named it or as found in a folder
    std::string output;  // where the document is (or would have been) saved
    DocumentStatus status = DocumentStatus::Ok;
    bool changed = false;  // Word saw the document changed before it was saved
    long errorNumber = 0;  // Word's error number (Refused), else 0
    std::string error;     // Word's message (Refused) or the reason (Failed, Timeout); empty when Ok
    std::string problem;   // the line the console shows for a failure, naming the file
    std::string messages;  // what the commands printed (the message boxes of the windows), one a line
    StepRecord record;
    double seconds = 0;
};

// The document's JSON object on one line, ending with '\n'. Texts that are not valid UTF-8 (a file
// name in another encoding) have the bad bytes replaced by U+FFFD, so the line is always valid JSON.
std::string reportLine(const DocumentResult& result);

}  // namespace batch
