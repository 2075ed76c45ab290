#include "batch/document_report.h"

#include <charconv>
#include <cstdio>

namespace batch {

const char* statusName(DocumentStatus status) {
    switch (status) {
        case DocumentStatus::Ok: return "ok";
        case DocumentStatus::Refused: return "refused";
        case DocumentStatus::Failed: return "failed";
        case DocumentStatus::Timeout: return "timeout";
        case DocumentStatus::Skipped: return "skipped";
    }
    return "failed";
}

void StepRecord::add(const std::string& command, const std::string& name, long value) {
    for (Count& count : counts)
        if (count.command == command && count.name == name) {
            count.value += value;
            return;
        }
    counts.push_back({command, name, value});
}

namespace {

// The length of the well-formed UTF-8 sequence at text[i], or 0 when the bytes there are not one.
std::size_t utf8Sequence(const std::string& text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // no overlong forms
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    if (byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
    return length;
}

void appendString(std::string& json, const std::string& text) {
    json += '"';
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const std::size_t length = utf8Sequence(text, i);
        if (length == 0) {
            json += "\xEF\xBF\xBD";  // U+FFFD for a byte that belongs to no character
            ++i;
            continue;
        }
        if (length > 1) {
            json.append(text, i, length);
        } else if (c == '"' || c == '\\') {
            json += '\\';
            json += static_cast<char>(c);
        } else if (c == '\n') {
            json += "\\n";
        } else if (c == '\t') {
            json += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            json += escaped;
        } else {
            json += static_cast<char>(c);
        }
        i += length;
    }
    json += '"';
}

void appendKey(std::string& json, const char* key) {
    if (json.back() != '{') json += ',';
    json += '"';
    json += key;
    json += "\":";
}

}  // namespace

std::string reportLine(const DocumentResult& result) {
    std::string json = "{";
    appendKey(json, "input");
    appendString(json, result.input);
    appendKey(json, "output");
    appendString(json, result.output);
    appendKey(json, "status");
    appendString(json, statusName(result.status));
    appendKey(json, "changed");
    json += result.changed ? "true" : "false";
    if (!result.error.empty()) {
        appendKey(json, "error");
        json += '{';
        if (result.status == DocumentStatus::Refused) {
            appendKey(json, "number");
            json += std::to_string(result.errorNumber);
        }
        appendKey(json, "message");
        appendString(json, result.error);
        json += '}';
    }
    appendKey(json, "passed_over");
    json += '[';
    for (const commands::PassedOver& step : result.record.passedOver) {
        if (json.back() != '[') json += ',';
        json += "{\"table\":" + std::to_string(step.table) + ",\"operation\":";
        appendString(json, step.operation);
        json += ",\"number\":" + std::to_string(step.number) + ",\"message\":";
        appendString(json, step.message);
        json += '}';
    }
    json += ']';
    appendKey(json, "counts");
    json += '{';
    // Grouped by command, in the order the commands first counted something.
    std::vector<std::string> commands;
    for (const StepRecord::Count& count : result.record.counts) {
        bool seen = false;
        for (const std::string& command : commands) seen = seen || command == count.command;
        if (!seen) commands.push_back(count.command);
    }
    for (const std::string& command : commands) {
        if (json.back() != '{') json += ',';
        appendString(json, command);
        json += ":{";
        for (const StepRecord::Count& count : result.record.counts) {
            if (count.command != command) continue;
            if (json.back() != '{') json += ',';
            appendString(json, count.name);
            json += ':' + std::to_string(count.value);
        }
        json += '}';
    }
    json += '}';
    appendKey(json, "messages");
    json += '[';
    for (std::size_t start = 0; start < result.messages.size();) {
        std::size_t end = result.messages.find('\n', start);
        if (end == std::string::npos) end = result.messages.size();
        if (json.back() != '[') json += ',';
        appendString(json, result.messages.substr(start, end - start));
        start = end + 1;
    }
    json += ']';
    appendKey(json, "seconds");
    // to_chars, not printf: a decimal comma of the user's locale would not be JSON.
    char seconds[32];
    const auto written = std::to_chars(seconds, seconds + sizeof seconds, result.seconds < 0 ? 0.0 : result.seconds,
                                       std::chars_format::fixed, 3);
    json.append(seconds, written.ptr);
    json += "}\n";
    return json;
}

}  // namespace batch
