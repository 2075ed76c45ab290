// Checks that a document opens in LibreOffice: a second, independent reader of the files we write.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>

namespace gwtest {

// True when soffice is on the PATH.
bool libreOfficeAvailable();

struct Conversion {
    bool finished = false;         // false: soffice did not end within the time allowed (it was killed)
    int exitStatus = -1;           // soffice's exit status when it finished
    std::filesystem::path result;  // outDir/<stem>.<format>, whether or not it was written
    std::string log;               // what soffice printed
};

// Runs `soffice --headless --convert-to format` on docx into outDir, with a private profile
// that is removed afterwards, killing it after timeout.
Conversion convertWithLibreOffice(const std::filesystem::path& docx, const std::string& format,
                                  const std::filesystem::path& outDir,
                                  std::chrono::seconds timeout = std::chrono::seconds(180));

// Adds a test failure unless LibreOffice converts docx to a non-empty PDF; skips the test when
// LibreOffice is not installed (callers return after it when IsSkipped()).
void expectOpensInLibreOffice(const std::filesystem::path& docx);

}  // namespace gwtest
