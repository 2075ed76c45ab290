// gridwright-batch with a fault-injecting embedded Word, for the tests of many-document runs: the real
// command line, run and workers, but opening a document whose file name starts with
//   fault-hang   never returns,
//   fault-crash  ends the worker with abort(),
//   fault-bloat  takes memory, 64 MB at a time, up to 2 GB (then hangs), until the run ends the worker.
// Every other document goes to the real embedded Word.
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
            std::vector<std::unique_ptr<char[]>> blocks;
            for (int i = 0; i < 32; ++i) {
                blocks.emplace_back(new char[64 << 20]);
                // Written through volatile, page by page, so that the compiler keeps every write.
                volatile char* block = blocks.back().get();
                for (std::size_t at = 0; at < (64 << 20); at += 4096) block[at] = 1;
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
