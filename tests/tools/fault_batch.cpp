// gridwright-batch with a fault-injecting embedded Word, for the tests of many-document runs: the real
// command line, run and workers, but opening a document whose file name starts with
//   fault-hang   never returns,
//   fault-crash  ends the worker with abort(),
//   fault-bloat  takes memory, 256 MB at a time, up to 2 GB (then hangs), until the run ends the worker.
// Every other document goes to the real embedded Word.
#include <sys/mman.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <thread>
#include <vector>

#include "automation/ooxml/application.h"
#include "batch/batch_app.h"
#include "batch/worker_process.h"

namespace {

[[noreturn]] void hang() {
    for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
}

class FaultyDocuments : public automation::Documents {
public:
    explicit FaultyDocuments(automation::DocumentsPtr real) : real_(std::move(real)) {}
    int Count() override { return real_->Count(); }
    automation::DocumentPtr Item(int index) override { return real_->Item(index); }
    automation::DocumentPtr Open(const std::string& path) override {
        const std::string name = std::filesystem::path(path).filename().string();
        if (name.starts_with("fault-hang")) hang();
        if (name.starts_with("fault-crash")) std::abort();
        if (name.starts_with("fault-bloat")) {
            // Mapped and filled by the kernel in one call each, with no huge pages to wait for: the
            // memory is there at once, however busy the machine.
            for (int i = 0; i < 8; ++i) {
                ::mmap(nullptr, std::size_t{256} << 20, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            hang();
        }
        return real_->Open(path);
    }

private:
    automation::DocumentsPtr real_;
};

class FaultyWord : public automation::Application {
public:
    explicit FaultyWord(automation::ApplicationPtr real) : real_(std::move(real)) {}
    bool Visible() override { return real_->Visible(); }
    void SetVisible(bool visible) override { real_->SetVisible(visible); }
    void Activate() override { real_->Activate(); }
    automation::DocumentsPtr Documents() override { return std::make_shared<FaultyDocuments>(real_->Documents()); }
    automation::DocumentPtr ActiveDocument() override { return real_->ActiveDocument(); }
    automation::SelectionPtr Selection() override { return real_->Selection(); }
    automation::DialogsPtr Dialogs() override { return real_->Dialogs(); }
    int DisplayAlerts() override { return real_->DisplayAlerts(); }
    void SetDisplayAlerts(int level) override { real_->SetDisplayAlerts(level); }
    void Quit() override { real_->Quit(); }

private:
    automation::ApplicationPtr real_;
};

}  // namespace

int main(int argc, char** argv) {
    batch::BatchApp app(batch::defaultCommands(),
                        [] { return std::make_shared<FaultyWord>(automation::ooxml::createWord()); });
    app.setProcess({batch::ownProgram(), &std::cin, batch::isTerminal(2)});
    return app.run(argc, argv, std::cout, std::cerr);
}
