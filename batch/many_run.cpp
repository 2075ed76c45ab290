#include "batch/many_run.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <charconv>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <thread>

#include "batch/document_run.h"
#include "batch/exit_status.h"
#include "batch/progress.h"
#include "batch/worker_process.h"
#include "batch/worker_protocol.h"

namespace batch {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

const char* const kProgram = "gridwright-batch";
// How often the run looks at the clock, the workers' memory and Ctrl+C while it waits for replies.
constexpr auto kTick = std::chrono::milliseconds(100);
// How often the progress line is drawn at most.
constexpr auto kRedraw = std::chrono::milliseconds(250);
// How long a worker that has no more documents may take to quit its Word and end.
constexpr auto kQuitGrace = std::chrono::seconds(10);

struct Event {
    std::size_t slot = 0;
    std::uint64_t generation = 0;
    bool ended = false;   // the worker's channel closed: it ended
    bool broken = false;  // it wrote something that is no reply
    WorkerReply reply;
};

class EventQueue {
public:
    void push(Event event) {
        {
            std::lock_guard lock(mutex_);
            events_.push_back(std::move(event));
        }
        ready_.notify_one();
    }
    // What has come, waiting until something comes or until the deadline.
    std::deque<Event> take(Clock::time_point deadline) {
        std::unique_lock lock(mutex_);
        ready_.wait_until(lock, deadline, [this] { return !events_.empty(); });
        return std::exchange(events_, {});
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Event> events_;
};

// Reads a worker's replies until its channel closes; runs on a thread of its own per worker.
void readReplies(WorkerProcess* process, std::size_t slot, std::uint64_t generation, EventQueue* queue) {
    MessageBuffer buffer;
    std::vector<char> bytes(1 << 16);
    for (;;) {
        const std::size_t got = process->receive(bytes.data(), bytes.size());
        if (got == 0) break;
        buffer.append(bytes.data(), got);
        bool broken = false;
        while (std::optional<WorkerReply> reply = buffer.nextReply(&broken))
            queue->push({slot, generation, false, false, std::move(*reply)});
        if (broken) {
            queue->push({slot, generation, false, true, {}});
            break;
        }
    }
    queue->push({slot, generation, true, false, {}});
}

struct Slot {
    std::unique_ptr<WorkerProcess> process;
    std::thread reader;
    std::uint64_t generation = 0;
    std::optional<std::size_t> document;  // the document it works on
    Clock::time_point started;
    fs::path staging;
};

// Puts the finished file at its place in one step. An existing output keeps its permissions, as a
// save over it in Word would; an output that is a link is replaced as a link, except with --in-place,
// where the file it points to is replaced, as Word's Save does.
void moveIntoPlace(const fs::path& staged, const PlannedDocument& document) {
    std::error_code ec;
    fs::path output = document.output;
    if (fs::equivalent(document.input, output, ec) && fs::is_symlink(output, ec)) output = fs::canonical(output);
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

std::string megabytes(std::uint64_t bytes) { return std::to_string(bytes >> 20) + " MB"; }

class Run {
public:
    Run(const ManyRun& run, std::ostream& out, std::ostream& err)
        : run_(run),
          err_(err),
          talk_(run.reportJson == "-" ? err : out),
          display_(err, run.progressTerminal && run.verbosity != Verbosity::Quiet),
          slots_(std::max<std::size_t>(1, std::min<std::size_t>(run.workers, run.documents.size()))) {
        tally_.total = run.documents.size();
        token_ = std::to_string(std::random_device{}());
    }
    ~Run() {
        for (Slot& slot : slots_) stop(slot);
    }

    int execute(std::ostream& out) {
        if (run_.verbosity != Verbosity::Quiet)
            for (const std::string& note : run_.notes) err_ << kProgram << "：" << note << "\n";
        std::ofstream reportFile;
        if (run_.reportJson == "-") {
            report_ = &out;
        } else if (!run_.reportJson.empty()) {
            reportFile.open(pathFromUtf8(run_.reportJson), std::ios::binary | std::ios::trunc);
            if (!reportFile) {
                err_ << kProgram << "：无法写入报告文件：" << run_.reportJson << "\n";
                return kExitFailed;
            }
            report_ = &reportFile;
        }
        began_ = Clock::now();
        InterruptWatch interrupts;
        while (!fatal_) {
            if (interrupts.interrupted()) break;
            dispatch();
            if (next_ >= run_.documents.size() && busy() == 0) break;
            for (Event& event : queue_.take(Clock::now() + kTick)) handle(event);
            watch();
            if (Clock::now() - drawn_ >= kRedraw) {
                display_.show(progressLine(tally_, elapsed()));
                drawn_ = Clock::now();
            }
        }
        const bool interrupted = interrupts.interrupted();
        // Documents whose answer has come are finished; only those still in work are given up.
        for (Event& event : queue_.take(Clock::now())) handle(event);
        for (Slot& slot : slots_) {
            if (slot.document) {
                stop(slot);  // interrupted or failed to start: the document stays unsaved
                removeStaging(slot);
            } else {
                finish(slot);
            }
        }
        display_.clear();
        if (run_.verbosity != Verbosity::Quiet) talk_ << summary(tally_, elapsed(), interrupted);
        talk_.flush();
        if (interrupted) return 128 + interrupts.signal();
        if (fatal_) return kExitFailed;
        return tally_.failures() > 0 ? kExitSomeFailed : kExitOk;
    }

private:
    double elapsed() const { return std::chrono::duration<double>(Clock::now() - began_).count(); }

    std::size_t busy() const {
        std::size_t count = 0;
        for (const Slot& slot : slots_) count += slot.document ? 1 : 0;
        return count;
    }

    // Gives every idle worker its next document, starting workers as needed.
    void dispatch() {
        for (std::size_t i = 0; i < slots_.size() && !fatal_; ++i) {
            Slot& slot = slots_[i];
            while (!slot.document && next_ < run_.documents.size() && !fatal_) {
                const std::size_t index = next_++;
                const PlannedDocument& document = run_.documents[index];
                if (run_.skipExisting && upToDate(document)) {
                    DocumentResult result = resultFor(document, DocumentStatus::Skipped);
                    record(result, reportLine(result), "", "");
                    continue;
                }
                std::string problem;
                if (!send(i, document, &problem)) {
                    DocumentResult result = resultFor(document, DocumentStatus::Failed);
                    result.error = problem;
                    record(result, reportLine(result), problem, "");
                    fatal_ = true;  // without workers nothing more can be done
                    return;
                }
                slot.document = index;
                slot.started = Clock::now();
            }
        }
    }

    static bool upToDate(const PlannedDocument& document) {
        std::error_code inputError, outputError;
        const auto input = fs::last_write_time(document.input, inputError);
        const auto output = fs::last_write_time(document.output, outputError);
        return !inputError && !outputError && output > input;
    }

    // Sends the document to the slot's worker, starting one when it has none or its worker has gone;
    // false with *problem set when no worker can be started.
    bool send(std::size_t index, const PlannedDocument& document, std::string* problem) {
        Slot& slot = slots_[index];
        fs::path folder = document.output.parent_path();
        if (folder.empty()) folder = ".";
        slot.staging = folder / (".gridwright-" + token_ + "-" + std::to_string(index) + ".tmp");
        const std::string request =
            encodeRequest({utf8FromPath(document.input), utf8FromPath(document.output), utf8FromPath(slot.staging)});
        for (int attempt = 0; attempt < 2; ++attempt) {
            if (!slot.process) {
                slot.process = WorkerProcess::start(run_.program, run_.workerArgs, problem);
                if (!slot.process) return false;
                ++slot.generation;
                slot.reader = std::thread(readReplies, slot.process.get(), index, slot.generation, &queue_);
            }
            if (slot.process->send(request)) return true;
            stop(slot);  // it ended while idle; a new one takes the document
        }
        *problem = "工作进程启动后立即结束了";
        return false;
    }

    void handle(Event& event) {
        Slot& slot = slots_[event.slot];
        if (event.generation != slot.generation || !slot.process) return;  // from a worker already ended
        if (event.ended || event.broken) {
            if (slot.document) {
                const std::string how = event.broken ? "的回答无法读懂" : "意外结束（" + slot.process->end() + "）";
                failBusy(slot, DocumentStatus::Failed, "工作进程" + how, "时工作进程" + how);
            }
            stop(slot);
            return;
        }
        if (!slot.document) return;
        const PlannedDocument& document = run_.documents[*slot.document];
        DocumentResult result = resultFor(document, event.reply.status);
        result.changed = event.reply.changed;
        result.errorNumber = event.reply.errorNumber;
        std::string line = std::move(event.reply.reportLine);
        std::string problem = std::move(event.reply.problem);
        if (result.status == DocumentStatus::Ok) {
            try {
                moveIntoPlace(slot.staging / document.output.filename(), document);
            } catch (const fs::filesystem_error& error) {
                result.status = DocumentStatus::Failed;
                result.error = "无法保存到输出文件：" + error.code().message();
                result.seconds = std::chrono::duration<double>(Clock::now() - slot.started).count();
                line = reportLine(result);
                problem = "无法把 " + result.input + " 的结果保存到 " + result.output + "：" + error.code().message();
            }
        }
        removeStaging(slot);
        slot.document.reset();
        record(result, line, problem, event.reply.messages);
    }

    // Ends the workers whose document takes too long or who use too much memory.
    void watch() {
        const auto now = Clock::now();
        for (Slot& slot : slots_) {
            if (!slot.document) continue;
            if (run_.timeoutSeconds > 0 && now - slot.started > std::chrono::duration<double>(run_.timeoutSeconds)) {
                char text[32];
                const std::string limit(text, std::to_chars(text, text + sizeof text, run_.timeoutSeconds).ptr);
                failBusy(slot, DocumentStatus::Timeout, "超过 " + limit + " 秒仍未完成",
                         "超过 " + limit + " 秒仍未完成，已停止");
            } else if (run_.memoryLimit > 0) {
                const std::uint64_t used = slot.process->residentBytes();
                if (used > run_.memoryLimit)
                    failBusy(slot, DocumentStatus::Failed, "超出内存上限（" + megabytes(run_.memoryLimit) + "）",
                             "时超出内存上限（用了 " + megabytes(used) + "，上限 " + megabytes(run_.memoryLimit) +
                                 "），已停止");
            }
        }
    }

    // Ends the slot's worker and reports its document with status: reason for the report, what for
    // the console after "处理 FILE".
    void failBusy(Slot& slot, DocumentStatus status, const std::string& reason, const std::string& what) {
        const PlannedDocument& document = run_.documents[*slot.document];
        DocumentResult result = resultFor(document, status);
        result.error = reason;
        result.seconds = std::chrono::duration<double>(Clock::now() - slot.started).count();
        const std::string input = utf8FromPath(document.input);
        const std::string problem = "处理 " + input + " " + what;
        stop(slot);
        removeStaging(slot);
        slot.document.reset();
        record(result, reportLine(result), problem, "");
    }

    static DocumentResult resultFor(const PlannedDocument& document, DocumentStatus status) {
        DocumentResult result;
        result.input = utf8FromPath(document.input);
        result.output = utf8FromPath(document.output);
        result.status = status;
        return result;
    }

    void record(const DocumentResult& result, const std::string& line, const std::string& problem,
                const std::string& messages) {
        tally_.count(result);
        if (report_) {
            *report_ << line;
            report_->flush();
        }
        if (!problem.empty()) display_.print(err_, std::string(kProgram) + "：" + problem + "\n");
        if (run_.verbosity != Verbosity::Verbose) return;
        std::string text;
        if (result.status == DocumentStatus::Ok) text = "已保存：" + result.output + "\n";
        if (result.status == DocumentStatus::Skipped) text = "跳过（输出文件比输入文件新）：" + result.input + "\n";
        for (std::size_t start = 0; start < messages.size();) {
            std::size_t end = messages.find('\n', start);
            if (end == std::string::npos) end = messages.size();
            text += "  " + messages.substr(start, end - start) + "\n";
            start = end + 1;
        }
        if (!text.empty()) display_.print(talk_, text);
    }

    void stop(Slot& slot) {
        if (!slot.process) return;
        slot.process->end();
        if (slot.reader.joinable()) slot.reader.join();
        slot.process.reset();
    }

    // A worker with nothing more to do: its channel is closed, so it quits its Word and ends.
    void finish(Slot& slot) {
        if (!slot.process) return;
        slot.process->finish(kQuitGrace);
        stop(slot);
    }

    void removeStaging(const Slot& slot) {
        std::error_code ec;
        if (!slot.staging.empty()) fs::remove_all(slot.staging, ec);
    }

    const ManyRun& run_;
    std::ostream& err_;
    std::ostream& talk_;  // the summary and --verbose lines: standard output unless the report goes there
    ProgressDisplay display_;
    std::vector<Slot> slots_;
    EventQueue queue_;
    Tally tally_;
    std::ostream* report_ = nullptr;
    std::string token_;
    std::size_t next_ = 0;
    bool fatal_ = false;
    Clock::time_point began_;
    Clock::time_point drawn_;
};

}  // namespace

int runMany(const ManyRun& run, std::ostream& out, std::ostream& err) { return Run(run, out, err).execute(out); }

}  // namespace batch
