// gridwright-batch: the command-line front end. It works in the Words this build has: the embedded Word,
// and on Windows the user's own Word through COM.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "backend/word_start.h"
#include "batch/batch_app.h"
#include "batch/worker_process.h"

#ifdef _WIN32
// shellapi.h needs what windows.h declares.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#endif

namespace {

// A Word for one run: the user's Word stays invisible, asks nothing and goes away with Ctrl+C too.
std::shared_ptr<automation::Application> startRunWord(backend::WordKind kind) {
    std::shared_ptr<automation::Application> word = backend::startWord(kind);
    if (kind == backend::WordKind::Com) {
        backend::quitOnInterrupt(word);
        word->SetDisplayAlerts(automation::wdAlertsNone);
    }
    return word;
}

// The arguments after the program name, in UTF-8 (Windows hands main() the ANSI code page).
std::vector<std::string> arguments(int argc, char** argv) {
    std::vector<std::string> args;
#ifdef _WIN32
    (void)argc;
    (void)argv;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; wide != nullptr && i < count; ++i) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(static_cast<size_t>(size > 0 ? size - 1 : 0), '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), size, nullptr, nullptr);
        args.push_back(std::move(arg));
    }
    LocalFree(wide);
    SetConsoleOutputCP(CP_UTF8);
    // A file list on standard input is read as it is: CR LF line ends are handled, and Ctrl+Z ends nothing.
    _setmode(_fileno(stdin), _O_BINARY);
#else
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
#endif
    return args;
}

}  // namespace

int main(int argc, char** argv) {
    backend::useLargePageHeap(argv);
    try {
        std::vector<batch::WordChoice> words;
        for (backend::WordKind kind : backend::availableKinds())
            words.push_back({backend::nameOf(kind), [kind] { return startRunWord(kind); }});
        batch::BatchApp app(batch::defaultCommands(), std::move(words));
        app.setProcess({batch::ownProgram(), &std::cin, batch::isTerminal(2)});
        return app.run(arguments(argc, argv), std::cout, std::cerr);
    } catch (const std::exception& error) {
        std::cerr << "gridwright-batch：意外错误：" << error.what() << "\n";
    } catch (...) {
        std::cerr << "gridwright-batch：意外错误。\n";
    }
    return batch::kExitFailed;
}
