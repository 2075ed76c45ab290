#include "batch/worker.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <chrono>
#include <optional>
#include <sstream>
#include <system_error>

#include "automation/error.h"
#include "batch/worker_process.h"
#include "batch/worker_protocol.h"

namespace batch {

namespace fs = std::filesystem;

namespace {

// Puts the finished file at its place in one step. An existing output keeps its permissions, as a
// save over it in Word would; an output that is a link is replaced as a link, except with --in-place,
// where the file it points to is replaced, as Word's Save does.
void moveIntoPlace(const fs::path& staged, fs::path output, bool inPlace) {
    std::error_code ec;
    if (inPlace && fs::is_symlink(output, ec)) output = fs::canonical(output);
    const fs::file_status existing = fs::symlink_status(output, ec);
    if (fs::is_regular_file(existing)) fs::permissions(staged, existing.permissions(), ec);
#ifdef _WIN32
    if (!MoveFileExW(staged.c_str(), output.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throw fs::filesystem_error("MoveFileEx", staged, output,
                                   std::error_code(static_cast<int>(GetLastError()), std::system_category()));
#else
    fs::rename(staged, output);
#endif
}

void fail(DocumentResult& result, const std::string& reason, const std::string& problem) {
    result.status = DocumentStatus::Failed;
    result.error = reason;
    result.problem = problem;
}

// One document, start to end; the Word is started when there is none and dropped after a failure.
DocumentResult processRequest(const WorkerRequest& request, std::optional<WordSession>& word,
                              const std::function<std::shared_ptr<automation::Application>()>& startWord,
                              const std::vector<Step>& steps, const SettingValues& settings, std::ostream& messages) {
    const fs::path input = pathFromUtf8(request.input);
    const fs::path output = pathFromUtf8(request.output);
    const fs::path staging = pathFromUtf8(request.staging);
    DocumentResult result;
    std::error_code ec;
    if (const std::string problem = checkInput(input); !problem.empty()) {
        fail(result, problem, problem);
        return result;
    }
    fs::create_directories(output.parent_path().empty() ? fs::path(".") : output.parent_path(), ec);
    if (!ec) fs::create_directory(staging, ec);
    if (ec) {
        fail(
            result, "无法建立输出文件夹：" + ec.message(),
            "无法为 " + request.input + " 建立输出文件夹 " + utf8FromPath(staging.parent_path()) + "：" + ec.message());
        return result;
    }
    if (!word) {
        try {
            word.emplace(startWord());
        } catch (const automation::Error& error) {
            fail(result, error.message(), "处理 " + request.input + " 时出错：" + error.message());
            fs::remove_all(staging, ec);
            return result;
        }
    }
    const fs::path staged = staging / output.filename();
    result = runDocument(word->handle(), {input, staged, &steps, &settings}, messages);
    if (result.status == DocumentStatus::Ok) {
        try {
            moveIntoPlace(staged, output, fs::equivalent(input, output, ec));
        } catch (const fs::filesystem_error& error) {
            fail(result, "无法保存到输出文件：" + std::string(error.what()),
                 "无法把 " + request.input + " 的结果保存到 " + request.output + "：" + error.code().message());
        }
    }
    fs::remove_all(staging, ec);
    // After a failure Word may be in any state; the next document gets a new one.
    if (result.status != DocumentStatus::Ok) word.reset();
    return result;
}

}  // namespace

int runWorker(const std::function<std::shared_ptr<automation::Application>()>& startWord,
              const std::vector<Step>& steps, const SettingValues& settings) {
    WorkerChannel channel;
    MessageBuffer buffer;
    std::optional<WordSession> word;
    char bytes[4096];
    for (;;) {
        std::optional<WorkerRequest> request = buffer.nextRequest();
        if (!request) {
            const std::size_t got = channel.receive(bytes, sizeof bytes);
            if (got == 0) return 0;  // the run is over
            buffer.append(bytes, got);
            continue;
        }
        const auto started = std::chrono::steady_clock::now();
        std::ostringstream messages;
        DocumentResult result = processRequest(*request, word, startWord, steps, settings, messages);
        result.input = request->input;
        result.output = request->output;
        result.messages = messages.str();
        result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        WorkerReply reply{result.status,      result.changed, result.errorNumber,
                          reportLine(result), result.problem, result.messages};
        if (!channel.send(encodeReply(reply))) return 1;
        releaseFreeMemory();
    }
}

}  // namespace batch
