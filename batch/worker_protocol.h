// What a many-document run and its workers say to each other over the worker's standard input and
// output. To the worker: one document at a time, as three NUL-terminated UTF-8 paths (input, output,
// the folder to save into first). Back: one reply per document, a header line
//   STATUS CHANGED ERROR-NUMBER REPORT-BYTES PROBLEM-BYTES MESSAGES-BYTES\n
// followed by the document's report line, the console's problem line and the commands' messages.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "batch/document_report.h"

namespace batch {

struct WorkerRequest {
    std::string input;
    std::string output;
    std::string staging;  // a folder beside the output, made and removed for this document
};

struct WorkerReply {
    DocumentStatus status = DocumentStatus::Failed;
    bool changed = false;
    long errorNumber = 0;
    std::string reportLine;  // ends with '\n'
    std::string problem;
    std::string messages;
};

std::string encodeRequest(const WorkerRequest& request);
std::string encodeReply(const WorkerReply& reply);

// Collects the bytes as they arrive and hands out whole messages.
class MessageBuffer {
public:
    void append(const char* bytes, std::size_t size) { buffer_.append(bytes, size); }
    std::optional<WorkerRequest> nextRequest();
    // A reply, or nullopt while incomplete; *broken is set when the bytes are no reply at all.
    std::optional<WorkerReply> nextReply(bool* broken);

private:
    std::string buffer_;
};

}  // namespace batch
