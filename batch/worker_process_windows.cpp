// Workers on Windows: CreateProcessW with anonymous pipes as the worker's standard input and output,
// in a process group of its own. Ending one first sends it Ctrl+Break, on which a worker with Word
// through COM quits its Word (a Word started through COM is no child of the worker and would stay
// behind, invisible); a worker that does not end within a few seconds is terminated.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <utility>

#include "batch/worker_process.h"

namespace batch {

struct WorkerProcess::Handles {
    HANDLE process = nullptr;
    DWORD id = 0;
    HANDLE toWorker = nullptr;    // the write end of the worker's standard input
    HANDLE fromWorker = nullptr;  // the read end of the worker's standard output
    bool reaped = false;
    std::string ending;
};

namespace {

std::wstring wide(const std::string& text) {
    if (text.empty()) return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size);
    return result;
}

// One argument quoted as CommandLineToArgvW reads it back: backslashes are literal except before a
// quote, where they are doubled.
std::wstring quoted(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
    std::wstring result = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"')
            result.append(backslashes * 2 + 1, L'\\');
        else
            result.append(backslashes, L'\\');
        backslashes = 0;
        result += c;
    }
    result.append(backslashes * 2, L'\\');
    return result + L"\"";
}

// Writes all of bytes to a pipe; false once the other end has gone.
bool writeAll(HANDLE pipe, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        if (!WriteFile(pipe, bytes.data() + done, chunk, &written, nullptr)) return false;
        done += written;
    }
    return true;
}

// Reads what has come, waiting until something has; 0 at the end or on an error.
std::size_t readSome(HANDLE pipe, char* buffer, std::size_t size) {
    DWORD got = 0;
    return ReadFile(pipe, buffer, static_cast<DWORD>(size), &got, nullptr) ? got : 0;
}

std::string systemMessage(DWORD error) { return "（系统错误 " + std::to_string(error) + "）"; }

}  // namespace

WorkerProcess::WorkerProcess(std::unique_ptr<Handles> handles) : handles_(std::move(handles)) {}

std::unique_ptr<WorkerProcess> WorkerProcess::start(const std::filesystem::path& program,
                                                    const std::vector<std::string>& args, std::string* problem) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE inRead = nullptr, inWrite = nullptr, outRead = nullptr, outWrite = nullptr;
    if (!CreatePipe(&inRead, &inWrite, &inherit, 0) || !CreatePipe(&outRead, &outWrite, &inherit, 0)) {
        *problem = "无法建立与工作进程的连接" + systemMessage(GetLastError());
        for (HANDLE h : {inRead, inWrite, outRead, outWrite})
            if (h) CloseHandle(h);
        return nullptr;
    }
    // Only the worker's ends are inherited, and only by this worker: workers start one at a time.
    SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);

    std::wstring commandLine = quoted(program.wstring());
    for (const std::string& arg : args) commandLine += L" " + quoted(wide(arg));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inRead;
    startup.hStdOutput = outWrite;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION info{};
    const BOOL started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                        CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &startup, &info);
    const DWORD error = GetLastError();
    CloseHandle(inRead);
    CloseHandle(outWrite);
    if (!started) {
        CloseHandle(inWrite);
        CloseHandle(outRead);
        *problem = "无法启动工作进程" + systemMessage(error);
        return nullptr;
    }
    CloseHandle(info.hThread);
    auto handles = std::make_unique<Handles>();
    handles->process = info.hProcess;
    handles->id = info.dwProcessId;
    handles->toWorker = inWrite;
    handles->fromWorker = outRead;
    return std::unique_ptr<WorkerProcess>(new WorkerProcess(std::move(handles)));
}

WorkerProcess::~WorkerProcess() {
    end();
    if (handles_->toWorker) CloseHandle(handles_->toWorker);
    CloseHandle(handles_->fromWorker);
    CloseHandle(handles_->process);
}

bool WorkerProcess::send(const std::string& bytes) {
    return handles_->toWorker != nullptr && writeAll(handles_->toWorker, bytes);
}

std::size_t WorkerProcess::receive(char* buffer, std::size_t size) {
    return readSome(handles_->fromWorker, buffer, size);
}

std::string WorkerProcess::end() {
    if (!handles_->reaped && WaitForSingleObject(handles_->process, 0) == WAIT_TIMEOUT) {
        // Ctrl+Break reaches only the worker's own group; its handler quits Word, then the worker ends.
        if (!GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, handles_->id) ||
            WaitForSingleObject(handles_->process, 5000) != WAIT_OBJECT_0)
            TerminateProcess(handles_->process, 1);
    }
    // A reader blocked on the pipe returns once the worker, which held its other end, is gone.
    return wait();
}

std::string WorkerProcess::finish(std::chrono::milliseconds grace) {
    if (handles_->toWorker) CloseHandle(std::exchange(handles_->toWorker, nullptr));
    WaitForSingleObject(handles_->process, static_cast<DWORD>(grace.count()));
    return end();
}

std::string WorkerProcess::wait() {
    if (handles_->reaped) return handles_->ending;
    WaitForSingleObject(handles_->process, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(handles_->process, &code);
    handles_->reaped = true;
    char text[32];
    snprintf(text, sizeof text, code > 0xFFFF ? "0x%08lX" : "%lu", static_cast<unsigned long>(code));
    handles_->ending = std::string("退出状态 ") + text;
    return handles_->ending;
}

std::uint64_t WorkerProcess::residentBytes() const {
    PROCESS_MEMORY_COUNTERS counters{};
    if (!K32GetProcessMemoryInfo(handles_->process, &counters, sizeof counters)) return 0;
    return counters.WorkingSetSize;
}

WorkerChannel::WorkerChannel()
    : in_(reinterpret_cast<std::intptr_t>(GetStdHandle(STD_INPUT_HANDLE))),
      out_(reinterpret_cast<std::intptr_t>(GetStdHandle(STD_OUTPUT_HANDLE))) {
    // Whatever else is written to standard output goes to standard error instead of into the channel.
    SetStdHandle(STD_OUTPUT_HANDLE, GetStdHandle(STD_ERROR_HANDLE));
}

std::size_t WorkerChannel::receive(char* buffer, std::size_t size) {
    return readSome(reinterpret_cast<HANDLE>(in_), buffer, size);
}

bool WorkerChannel::send(const std::string& bytes) { return writeAll(reinterpret_cast<HANDLE>(out_), bytes); }

namespace {

// Set by the console's handler thread; the one process-wide state of a run, as the console's handler
// is process-wide itself.
std::atomic<bool> interruptNoted{false};

BOOL WINAPI noteInterrupt(DWORD) {
    interruptNoted.store(true);
    return TRUE;  // handled: the run ends its workers and then itself
}

}  // namespace

InterruptWatch::InterruptWatch() {
    interruptNoted.store(false);
    SetConsoleCtrlHandler(noteInterrupt, TRUE);
}

InterruptWatch::~InterruptWatch() { SetConsoleCtrlHandler(noteInterrupt, FALSE); }

bool InterruptWatch::interrupted() const { return interruptNoted.load(); }

int InterruptWatch::signal() const { return 2; }

void releaseFreeMemory() {}

unsigned availableProcessors() {
    DWORD_PTR process = 0, system = 0;
    unsigned count = 0;
    if (GetProcessAffinityMask(GetCurrentProcess(), &process, &system))
        for (; process != 0; process &= process - 1) ++count;
    return count > 0 ? count : 1;
}

std::uint64_t physicalMemory() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    return GlobalMemoryStatusEx(&status) ? status.ullTotalPhys : 0;
}

std::filesystem::path ownProgram() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

bool isTerminal(int stream) {
    HANDLE handle = GetStdHandle(stream == 1 ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    DWORD mode = 0;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

}  // namespace batch
