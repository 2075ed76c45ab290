// Workers on Linux: posix_spawn with a socket pair as the worker's standard input and output (a send
// to a worker that has died fails with EPIPE instead of raising SIGPIPE in this process).
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#ifdef __linux__
#include <sched.h>
#include <sys/prctl.h>
#endif
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <thread>

#include "batch/worker_process.h"

extern char** environ;

namespace batch {

struct WorkerProcess::Handles {
    pid_t pid = -1;
    int socket = -1;
    bool reaped = false;
    std::string ending;
};

namespace {

std::string describeStatus(int status) {
    if (WIFSIGNALED(status)) {
        const int signal = WTERMSIG(status);
        return "被信号 " + std::to_string(signal) + (signal == SIGSEGV ? "（内存访问错误）" : "") + " 结束";
    }
    if (WIFEXITED(status)) return "退出状态 " + std::to_string(WEXITSTATUS(status));
    return "意外结束";
}

// Writes all of bytes to a socket; false once the other end has gone (EPIPE, without a SIGPIPE).
bool sendAll(int socket, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t sent = ::send(socket, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (sent < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(sent);
    }
    return true;
}

// Reads what has come, waiting until something has; 0 at the end or on an error.
std::size_t receiveSome(int socket, char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t got = ::read(socket, buffer, size);
        if (got >= 0) return static_cast<std::size_t>(got);
        if (errno != EINTR) return 0;
    }
}

}  // namespace

WorkerProcess::WorkerProcess(std::unique_ptr<Handles> handles) : handles_(std::move(handles)) {}

std::unique_ptr<WorkerProcess> WorkerProcess::start(const std::filesystem::path& program,
                                                    const std::vector<std::string>& args, std::string* problem) {
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        *problem = "无法建立与工作进程的连接：" + std::string(std::strerror(errno));
        return nullptr;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], 0);
    posix_spawn_file_actions_adddup2(&actions, ends[1], 1);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) sigaddset(&signals, signal);
    posix_spawnattr_setsigdefault(&attributes, &signals);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<std::string> words;
    words.push_back("gridwright-batch");
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    pid_t pid = -1;
    const int failure = ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(ends[1]);
    if (failure != 0) {
        ::close(ends[0]);
        *problem = "无法启动工作进程 " + program.string() + "：" + std::strerror(failure);
        return nullptr;
    }
    auto handles = std::make_unique<Handles>();
    handles->pid = pid;
    handles->socket = ends[0];
    return std::unique_ptr<WorkerProcess>(new WorkerProcess(std::move(handles)));
}

WorkerProcess::~WorkerProcess() {
    end();
    ::close(handles_->socket);
}

bool WorkerProcess::send(const std::string& bytes) { return sendAll(handles_->socket, bytes); }

std::size_t WorkerProcess::receive(char* buffer, std::size_t size) {
    return receiveSome(handles_->socket, buffer, size);
}

std::string WorkerProcess::end() {
    if (!handles_->reaped) ::kill(handles_->pid, SIGKILL);
    // Wakes a reader blocked on the socket even when something else still holds the worker's end.
    ::shutdown(handles_->socket, SHUT_RDWR);
    return wait();
}

std::string WorkerProcess::finish(std::chrono::milliseconds grace) {
    ::shutdown(handles_->socket, SHUT_WR);
    const auto until = std::chrono::steady_clock::now() + grace;
    while (!handles_->reaped && std::chrono::steady_clock::now() < until) {
        int status = 0;
        const pid_t ended = ::waitpid(handles_->pid, &status, WNOHANG);
        if (ended == handles_->pid) {
            handles_->reaped = true;
            handles_->ending = describeStatus(status);
        } else if (ended < 0 && errno != EINTR) {
            break;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    return end();
}

std::string WorkerProcess::wait() {
    if (handles_->reaped) return handles_->ending;
    int status = 0;
    while (::waitpid(handles_->pid, &status, 0) < 0 && errno == EINTR) {}
    handles_->reaped = true;
    handles_->ending = describeStatus(status);
    return handles_->ending;
}

std::uint64_t WorkerProcess::residentBytes() const {
    std::ifstream statm("/proc/" + std::to_string(handles_->pid) + "/statm");
    std::uint64_t size = 0, resident = 0;
    if (!(statm >> size >> resident)) return 0;
    return resident * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
}

WorkerChannel::WorkerChannel() : in_(0), out_(::fcntl(1, F_DUPFD_CLOEXEC, 3)) {
    if (out_ >= 0) ::dup2(2, 1);
#ifdef __linux__
    // A worker whose batch has gone (killed outright) ends too, instead of finishing its document.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
}

std::size_t WorkerChannel::receive(char* buffer, std::size_t size) {
    return receiveSome(static_cast<int>(in_), buffer, size);
}

bool WorkerChannel::send(const std::string& bytes) { return sendAll(static_cast<int>(out_), bytes); }

namespace {

// The signal that came, or 0. Signals are process-wide, so this is too; only InterruptWatch uses it.
std::atomic<int> noted{0};
constexpr int kWatched[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction previous[3];

void noteSignal(int signal) { noted.store(signal); }

}  // namespace

InterruptWatch::InterruptWatch() {
    noted.store(0);
    struct sigaction action {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < 3; ++i) ::sigaction(kWatched[i], &action, &previous[i]);
}

InterruptWatch::~InterruptWatch() {
    for (int i = 0; i < 3; ++i) ::sigaction(kWatched[i], &previous[i], nullptr);
}

bool InterruptWatch::interrupted() const { return noted.load() != 0; }

int InterruptWatch::signal() const { return noted.load(); }

void releaseFreeMemory() {
#ifdef __GLIBC__
    ::malloc_trim(0);
#endif
}

unsigned availableProcessors() {
#ifdef __linux__
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return static_cast<unsigned>(CPU_COUNT(&set));
#endif
    const unsigned count = std::thread::hardware_concurrency();
    return count > 0 ? count : 1;
}

std::uint64_t physicalMemory() {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long size = ::sysconf(_SC_PAGESIZE);
    return pages > 0 && size > 0 ? static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(size) : 0;
}

// The running program's own file, even when a new build has replaced it on disk meanwhile.
std::filesystem::path ownProgram() { return "/proc/self/exe"; }

bool isTerminal(int stream) { return ::isatty(stream) == 1; }

}  // namespace batch
