#include "batch/worker_protocol.h"

#include <charconv>

namespace batch {

namespace {

constexpr DocumentStatus kStatuses[] = {DocumentStatus::Ok, DocumentStatus::Refused, DocumentStatus::Failed,
                                        DocumentStatus::Timeout, DocumentStatus::Skipped};

// Reads one space-ended decimal number of the header at *at.
template <typename Number>
bool readNumber(const std::string& header, std::size_t* at, Number* value) {
    const char* begin = header.data() + *at;
    const char* end = header.data() + header.size();
    const auto [stop, problem] = std::from_chars(begin, end, *value);
    if (problem != std::errc() || stop == begin) return false;
    *at = static_cast<std::size_t>(stop - header.data()) + 1;  // past the space
    return true;
}

}  // namespace

std::string encodeRequest(const WorkerRequest& request) {
    std::string bytes;
    for (const std::string* field : {&request.input, &request.output, &request.staging}) {
        bytes += *field;
        bytes += '\0';
    }
    return bytes;
}

std::string encodeReply(const WorkerReply& reply) {
    return std::string(statusName(reply.status)) + " " + (reply.changed ? "1" : "0") + " " +
           std::to_string(reply.errorNumber) + " " + std::to_string(reply.reportLine.size()) + " " +
           std::to_string(reply.problem.size()) + " " + std::to_string(reply.messages.size()) + "\n" +
           reply.reportLine + reply.problem + reply.messages;
}

std::optional<WorkerRequest> MessageBuffer::nextRequest() {
    std::size_t ends[3];
    std::size_t from = 0;
    for (std::size_t& end : ends) {
        end = buffer_.find('\0', from);
        if (end == std::string::npos) return std::nullopt;
        from = end + 1;
    }
    WorkerRequest request{buffer_.substr(0, ends[0]), buffer_.substr(ends[0] + 1, ends[1] - ends[0] - 1),
                          buffer_.substr(ends[1] + 1, ends[2] - ends[1] - 1)};
    buffer_.erase(0, ends[2] + 1);
    return request;
}

std::optional<WorkerReply> MessageBuffer::nextReply(bool* broken) {
    *broken = false;
    const std::size_t lineEnd = buffer_.find('\n');
    if (lineEnd == std::string::npos) {
        *broken = buffer_.size() > 200;  // a header is a few dozen bytes
        return std::nullopt;
    }
    const std::string header = buffer_.substr(0, lineEnd) + " ";
    WorkerReply reply;
    const std::size_t nameEnd = header.find(' ');
    bool known = false;
    for (DocumentStatus status : kStatuses)
        if (header.compare(0, nameEnd, statusName(status)) == 0) {
            reply.status = status;
            known = true;
        }
    std::size_t at = nameEnd + 1;
    int changed = 0;
    std::size_t sizes[3] = {};
    if (!known || !readNumber(header, &at, &changed) || !readNumber(header, &at, &reply.errorNumber) ||
        !readNumber(header, &at, &sizes[0]) || !readNumber(header, &at, &sizes[1]) ||
        !readNumber(header, &at, &sizes[2]) || at != header.size()) {
        *broken = true;
        return std::nullopt;
    }
    const std::size_t total = lineEnd + 1 + sizes[0] + sizes[1] + sizes[2];
    if (buffer_.size() < total) return std::nullopt;
    reply.changed = changed != 0;
    std::size_t from = lineEnd + 1;
    std::string* fields[3] = {&reply.reportLine, &reply.problem, &reply.messages};
    for (int i = 0; i < 3; ++i) {
        fields[i]->assign(buffer_, from, sizes[i]);
        from += sizes[i];
    }
    buffer_.erase(0, total);
    return reply;
}

}  // namespace batch
