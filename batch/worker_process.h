// The operating system's side of the workers of a many-document run: starting this program again as
// a worker with a two-way channel to it (its standard input and output), ending it, watching its
// memory; and, inside the worker, its end of that channel. POSIX and Windows implementations.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace batch {

class WorkerProcess {
public:
    // Starts program with args (UTF-8, without the program name) in a process group of its own, so
    // that the terminal's Ctrl+C reaches only this process, which then ends the workers itself.
    // Returns null with *problem set (Chinese) when the program cannot be started.
    static std::unique_ptr<WorkerProcess> start(const std::filesystem::path& program,
                                                const std::vector<std::string>& args, std::string* problem);
    // Ends the worker if it still runs and waits for it.
    ~WorkerProcess();
    WorkerProcess(const WorkerProcess&) = delete;
    WorkerProcess& operator=(const WorkerProcess&) = delete;

    // Writes all of bytes to the worker's standard input; false when the worker is gone.
    bool send(const std::string& bytes);
    // Reads what the worker wrote to its standard output; blocks until there is something. Returns 0
    // once the worker has ended (or end() was called). For one reading thread at a time.
    std::size_t receive(char* buffer, std::size_t size);
    // Ends the worker at once (the COM worker is first asked to quit its Word) and waits for it.
    // Returns how it ended, in Chinese ("被信号 9 结束", "退出状态 3"). Safe to call more than once.
    std::string end();
    // Closes the worker's input, on which it ends by itself (quitting its Word); ends it after grace.
    std::string finish(std::chrono::milliseconds grace);
    // Returns how a worker that ended by itself ended; waits for it.
    std::string wait();
    // The worker's resident memory in bytes; 0 when it cannot be read.
    std::uint64_t residentBytes() const;

    struct Handles;

private:
    explicit WorkerProcess(std::unique_ptr<Handles> handles);
    std::unique_ptr<Handles> handles_;
};

// Inside a worker: the channel to the process that started it. open() takes standard input and
// output for the channel and points the program's own standard output at standard error, so that
// nothing else written there can mix into the channel.
class WorkerChannel {
public:
    WorkerChannel();
    // Reads up to size bytes; 0 at the end of the input (the batch is over).
    std::size_t receive(char* buffer, std::size_t size);
    bool send(const std::string& bytes);

private:
    std::intptr_t in_;
    std::intptr_t out_;
};

// While it lives, Ctrl+C (and on POSIX SIGTERM and SIGHUP) no longer end this process at once but are
// noted, so that a run can end its workers and clean up first. One at a time.
class InterruptWatch {
public:
    InterruptWatch();
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;
    bool interrupted() const;
    // The signal that came (POSIX; Ctrl+C is SIGINT), for the exit status 128 + signal.
    int signal() const;
};

// Inside a worker: gives memory the allocator holds but no longer uses back to the system, so that
// the memory watch sees what the next document needs, not what the largest one left behind.
void releaseFreeMemory();

// How many processors this process may run on (its affinity, e.g. under Slurm); at least 1.
unsigned availableProcessors();
// The installed memory in bytes; 0 when unknown.
std::uint64_t physicalMemory();
// This program's own file, to start it again as a worker.
std::filesystem::path ownProgram();
// True when the stream is a terminal (1 standard output, 2 standard error).
bool isTerminal(int stream);

}  // namespace batch
