// Checks that a document opens in LibreOffice: a second, independent reader of the files we write.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace gwtest {

// True when soffice is on the PATH.
bool libreOfficeAvailable();

struct Conversion {
    bool finished = false;                       // false: soffice did not end within the time allowed (it was killed)
    int exitStatus = -1;                         // soffice's exit status when it finished
    std::filesystem::path result;                // outDir/<stem>.<format> of the first input, written or not
    std::vector<std::filesystem::path> results;  // the same for every input, in order
    std::string log;                             // what soffice printed
};

// Runs `soffice --headless --convert-to format` on docx into outDir, with the test program's own
// LibreOffice profile (never the user's), killing it after timeout. Conversions of one program must
// not run at the same time.
Conversion convertWithLibreOffice(const std::filesystem::path& docx, const std::string& format,
                                  const std::filesystem::path& outDir,
                                  std::chrono::seconds timeout = std::chrono::seconds(180));
// The same for several documents in one start of LibreOffice (their stems must differ).
Conversion convertWithLibreOffice(const std::vector<std::filesystem::path>& docxs, const std::string& format,
                                  const std::filesystem::path& outDir,
                                  std::chrono::seconds timeout = std::chrono::seconds(180));

// Adds a test failure unless LibreOffice converts docx to a non-empty PDF; skips the test when
// LibreOffice is not installed (callers return after it when IsSkipped()).
void expectOpensInLibreOffice(const std::filesystem::path& docx);
// The same for several documents, converted in one start of LibreOffice.
void expectOpensInLibreOffice(const std::vector<std::filesystem::path>& docxs);

}  // namespace gwtest
