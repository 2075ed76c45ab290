#include "batch/worker.h"

#include <chrono>
#include <optional>
#include <sstream>
#include <system_error>
#include <vector>

#include "automation/error.h"
#include "batch/worker_process.h"
#include "batch/worker_protocol.h"

namespace batch {

namespace fs = std::filesystem;

namespace {

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
    // The folders made for this output, deepest first: taken away again when nothing was saved in them.
    std::vector<fs::path> made;
    for (fs::path folder = staging.parent_path(); !folder.empty() && !fs::exists(folder, ec);
         folder = folder.parent_path())
        made.push_back(folder);
    const auto tidy = [&] {
        if (result.status == DocumentStatus::Ok) return;
        fs::remove_all(staging, ec);
        for (const fs::path& folder : made) fs::remove(folder, ec);  // only while empty
    };
    // Twice: another worker may take away a folder it made just as this one makes the folder inside.
    for (int attempt = 0; attempt < 2 && (attempt == 0 || ec); ++attempt) fs::create_directories(staging, ec);
    if (ec) {
        fail(
            result, "无法建立输出文件夹：" + ec.message(),
            "无法为 " + request.input + " 建立输出文件夹 " + utf8FromPath(staging.parent_path()) + "：" + ec.message());
        tidy();
        return result;
    }
    if (!word) {
        try {
            word.emplace(startWord());
        } catch (const automation::Error& error) {
            fail(result, error.message(), "处理 " + request.input + " 时出错：" + error.message());
            tidy();
            return result;
        }
    }
    // Saved into the folder beside the output; the run moves it into place once it has the answer.
    result = runDocument(word->handle(), {input, staging / output.filename(), &steps, &settings}, messages);
    tidy();
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
