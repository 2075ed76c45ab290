#include "support/libreoffice.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "support/docx_builder.h"

namespace gwtest {

namespace fs = std::filesystem;

namespace {

fs::path findOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    if (!path) return {};
    std::stringstream folders(path);
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        if (folder.empty()) continue;
        const fs::path candidate = fs::path(folder) / program;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return {};
}

// The LibreOffice profile every conversion of this test program uses: a profile is made once (the
// first start of LibreOffice with a new profile costs about half a second more) and conversions run one
// after the other. ctest names a folder per test program in GRIDWRIGHT_LIBREOFFICE_PROFILE, so that the
// program's tests, each its own process, share it, and lets one of them at a time use it; a program run
// by hand makes its own for as long as it runs.
fs::path sharedProfile() {
    if (const char* named = std::getenv("GRIDWRIGHT_LIBREOFFICE_PROFILE"); named && *named) {
        const fs::path profile(named);
        std::error_code ec;
        fs::create_directories(profile, ec);
        // A LibreOffice killed at its time limit leaves its lock behind; nobody else holds this profile.
        fs::remove(profile / "user" / ".lock", ec);
        return profile;
    }
    static const TempDir own;
    return own.path();
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

bool libreOfficeAvailable() { return !findOnPath("soffice").empty(); }

Conversion convertWithLibreOffice(const fs::path& docx, const std::string& format, const fs::path& outDir,
                                  std::chrono::seconds timeout) {
    return convertWithLibreOffice(std::vector<fs::path>{docx}, format, outDir, timeout);
}

Conversion convertWithLibreOffice(const std::vector<fs::path>& docxs, const std::string& format, const fs::path& outDir,
                                  std::chrono::seconds timeout) {
    Conversion conversion;
    // "txt:Text (encoded):UTF8" names a filter after the extension.
    for (const fs::path& docx : docxs)
        conversion.results.push_back(outDir / (docx.stem().string() + "." + format.substr(0, format.find(':'))));
    if (!conversion.results.empty()) conversion.result = conversion.results.front();
    const fs::path soffice = findOnPath("soffice");
    if (soffice.empty()) {
        conversion.log = "soffice not found";
        return conversion;
    }

    // The program's own profile, so that conversions never meet the user's running LibreOffice.
    const fs::path profile = sharedProfile();
    TempDir logs;
    const fs::path logFile = logs.path() / "soffice.log";
    std::vector<std::string> args = {
        soffice.string(),
        "--headless",
        "--norestore",
        "--nologo",
        "-env:UserInstallation=file://" + (profile / "user").string(),
        "--convert-to",
        format,
        "--outdir",
        outDir.string(),
    };
    for (const fs::path& docx : docxs) args.push_back(fs::absolute(docx).string());
    std::vector<char*> argv;
    for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    const pid_t child = ::fork();
    if (child < 0) {
        conversion.log = "fork failed";
        return conversion;
    }
    if (child == 0) {
        // Its own process group, so a timeout ends the helper processes soffice starts too.
        ::setpgid(0, 0);
        const int log = ::open(logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (log >= 0) {
            ::dup2(log, STDOUT_FILENO);
            ::dup2(log, STDERR_FILENO);
            ::close(log);
        }
        const int devNull = ::open("/dev/null", O_RDONLY);
        if (devNull >= 0) ::dup2(devNull, STDIN_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::setpgid(child, child);

    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child) {
            conversion.finished = true;
            conversion.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        if (done < 0) break;
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(-child, SIGKILL);
            ::waitpid(child, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    // Helpers left behind by a finished soffice go with their group.
    ::kill(-child, SIGKILL);
    conversion.log = readFile(logFile);
    return conversion;
}

void expectOpensInLibreOffice(const fs::path& docx) { expectOpensInLibreOffice(std::vector<fs::path>{docx}); }

void expectOpensInLibreOffice(const std::vector<fs::path>& docxs) {
    if (!libreOfficeAvailable()) GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    TempDir out;
    const Conversion conversion = convertWithLibreOffice(docxs, "pdf", out.path());
    ASSERT_TRUE(conversion.finished) << "LibreOffice did not finish converting\n" << conversion.log;
    EXPECT_EQ(conversion.exitStatus, 0) << conversion.log;
    for (std::size_t i = 0; i < docxs.size(); ++i) {
        const fs::path& pdfPath = conversion.results[i];
        std::error_code ec;
        EXPECT_TRUE(fs::exists(pdfPath)) << "LibreOffice wrote no PDF for " << docxs[i] << "\n" << conversion.log;
        EXPECT_GT(fs::file_size(pdfPath, ec), 0u) << docxs[i] << "\n" << conversion.log;
        std::ifstream pdf(pdfPath, std::ios::binary);
        char magic[5] = {};
        pdf.read(magic, sizeof magic);
        EXPECT_EQ(std::string(magic, sizeof magic), "%PDF-") << docxs[i] << "\n" << conversion.log;
    }
}

}  // namespace gwtest
