// gridwright-render [PROFILE-FOLDER]: draws the pages of .docx files with LibreOffice, for the
// document window. GRIDWRIGHT_LIBREOFFICE names LibreOffice's program folder when it is not the
// Debian one.
// It runs as a process of its own so that a crash or a hang of LibreOffice never takes the
// windows or the user's document with it. Requests come one per line on stdin, fields separated by
// tabs; every answer starts with one text line on stdout, pixel data follows it where said.
//
//   load <path>             loads a copy of the .docx with its tables marked (table_marks.h), written
//                           beside it and removed once loaded: loaded <pages> <tables> then one
//                           "page <x> <y> <w> <h>" line per page (twips, document coordinates), or
//                           failed <message>
//   open <path>             loads the .docx as it is (to print it): the same answer
//   render <page> <width>   image <page> <width> <height>, then width*height*4 bytes (BGRA,
//                           premultiplied), or failed <message>
//   probe <page>            where the marked tables stand on that page: boxes <page> <n> then n lines
//                           "box <code> <x> <y> <w> <h>" (twips), top to bottom, or failed <message>
//   pdf <path> <target>     LibreOffice's own PDF of the .docx at path, written to target: saved, or
//                           failed <message>
//
// While LibreOffice reads a document it reports how far it got: "progress <percent>" lines come before
// the answer to a load.
//
// LibreOffice prints notes of its own on stdout; they are sent to stderr so they never mix with
// the answers.
#define LOK_USE_UNSTABLE_API
#include <LibreOfficeKit/LibreOfficeKitEnums.h>
#include <unistd.h>
#include <LibreOfficeKit/LibreOfficeKit.hxx>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "table_marks.h"

namespace {

constexpr int kProbeTwipsPerPixel = 20;  // 72 dots an inch: places within a pixel or two of the pictures shown

struct Rect {
    long x = 0, y = 0, w = 0, h = 0;
};

std::FILE* answers = nullptr;

void answer(const std::string& line) {
    std::fputs(line.c_str(), answers);
    std::fputc('\n', answers);
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out;
    std::stringstream stream(line);
    std::string field;
    while (std::getline(stream, field, '\t')) out.push_back(field);
    return out;
}

std::string fileUrl(const std::string& path) {
    std::string url = "file://";
    static const char* hexDigits = "0123456789ABCDEF";
    for (unsigned char c : std::filesystem::absolute(path).string()) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.') {
            url += static_cast<char>(c);
        } else {
            url += '%';
            url += hexDigits[c >> 4];
            url += hexDigits[c & 15];
        }
    }
    return url;
}

std::vector<Rect> pageRectangles(lok::Document& document) {
    std::vector<Rect> pages;
    char* text = document.getPartPageRectangles();
    if (!text) return pages;
    std::stringstream stream(text);
    std::free(text);
    std::string item;
    while (std::getline(stream, item, ';')) {
        Rect rect;
        if (std::sscanf(item.c_str(), " %ld, %ld, %ld, %ld", &rect.x, &rect.y, &rect.w, &rect.h) == 4)
            pages.push_back(rect);
    }
    return pages;
}

std::string lastError(lok::Office& office) {
    char* text = office.getError();
    std::string message = text ? text : "LibreOffice could not load the document";
    std::free(text);
    for (char& c : message)
        if (c == '\n' || c == '\t') c = ' ';
    return message;
}

// LibreOffice's own progress while it reads a document.
void officeCallback(int type, const char* payload, void*) {
    if (type == LOK_CALLBACK_STATUS_INDICATOR_SET_VALUE && payload) {
        answer(std::string("progress\t") + std::to_string(std::atoi(payload)));
        std::fflush(answers);
    }
}

class Renderer {
public:
    explicit Renderer(lok::Office* office) : office_(office) {}

    void load(const std::string& path, bool marked) {
        document_.reset();
        pages_.clear();
        colours_ = render::MarkColours();
        int tables = 0;
        std::string url = fileUrl(path);
        const std::string copy = path + ".marked.docx";
        if (marked) {
            std::string error;
            std::optional<render::MarkedCopy> written = render::writeMarkedCopy(path, copy, error);
            if (written) {
                tables = written->tables;
                colours_ = std::move(written->colours);
                url = fileUrl(copy);
            }
        }
        document_.reset(office_->documentLoad(url.c_str(), "Language=zh-CN"));
        if (marked) std::filesystem::remove(copy);
        if (!document_) return answer("failed\t" + lastError(*office_));
        document_->initializeForRendering("{}");
        pages_ = pageRectangles(*document_);
        answer("loaded\t" + std::to_string(pages_.size()) + '\t' + std::to_string(tables));
        for (const Rect& page : pages_)
            answer("page\t" + std::to_string(page.x) + '\t' + std::to_string(page.y) + '\t' + std::to_string(page.w) +
                   '\t' + std::to_string(page.h));
    }

    void render(int page, int width) {
        if (!document_ || page < 0 || page >= static_cast<int>(pages_.size()) || width < 1 || width > 8000)
            return answer("failed\tno such page");
        const Rect& rect = pages_[page];
        const int height = std::max(1, static_cast<int>(rect.h * width / std::max(1L, rect.w)));
        std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * 4);
        document_->paintTile(pixels.data(), width, height, static_cast<int>(rect.x), static_cast<int>(rect.y),
                             static_cast<int>(rect.w), static_cast<int>(rect.h));
        answer("image\t" + std::to_string(page) + '\t' + std::to_string(width) + '\t' + std::to_string(height));
        std::fwrite(pixels.data(), 1, pixels.size(), answers);
    }

    // The page drawn small, and the solid areas of the marks on it.
    void probe(int page) {
        if (!document_ || page < 0 || page >= static_cast<int>(pages_.size())) return answer("failed\tno such page");
        const Rect& rect = pages_[page];
        const int width = static_cast<int>(rect.w / kProbeTwipsPerPixel);
        const int height = static_cast<int>(rect.h / kProbeTwipsPerPixel);
        std::vector<std::string> lines;
        if (width >= 3 && height >= 3) {
            std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * 4);
            document_->paintTile(pixels.data(), width, height, static_cast<int>(rect.x), static_cast<int>(rect.y),
                                 static_cast<int>(rect.w), static_cast<int>(rect.h));
            for (const render::CodeBox& box : render::findCodeBoxes(pixels.data(), width, height, colours_)) {
                const auto twips = [&](int pixels, long origin, long extent, int size) {
                    return std::to_string(origin + pixels * extent / size);
                };
                lines.push_back("box\t" + std::to_string(box.code) + '\t' + twips(box.left, rect.x, rect.w, width) +
                                '\t' + twips(box.top, rect.y, rect.h, height) + '\t' +
                                twips(box.right - box.left + 1, 0, rect.w, width) + '\t' +
                                twips(box.bottom - box.top + 1, 0, rect.h, height));
            }
        }
        answer("boxes\t" + std::to_string(page) + '\t' + std::to_string(lines.size()));
        for (const std::string& line : lines) answer(line);
    }

    // A document of its own, so that the one on show stays loaded.
    void pdf(const std::string& path, const std::string& target) {
        std::unique_ptr<lok::Document> document(office_->documentLoad(fileUrl(path).c_str(), "Language=zh-CN"));
        if (!document) return answer("failed\t" + lastError(*office_));
        if (!document->saveAs(fileUrl(target).c_str(), "pdf")) return answer("failed\t" + lastError(*office_));
        answer("saved");
    }

private:
    lok::Office* office_;
    std::unique_ptr<lok::Document> document_;
    std::vector<Rect> pages_;
    render::MarkColours colours_;
};

}  // namespace

int main(int argc, char** argv) {
    // The answers get a descriptor of their own; whatever else writes to stdout lands on stderr.
    const int answerFd = dup(STDOUT_FILENO);
    if (answerFd < 0 || dup2(STDERR_FILENO, STDOUT_FILENO) < 0) return 2;
    answers = fdopen(answerFd, "wb");
    if (!answers) return 2;

    if (!std::getenv("FONTCONFIG_FILE")) {
        std::error_code ignored;
        const auto fonts =
            std::filesystem::read_symlink("/proc/self/exe", ignored).parent_path() / "gridwright-fonts.conf";
        if (std::filesystem::exists(fonts, ignored)) setenv("FONTCONFIG_FILE", fonts.c_str(), 1);
    }
    const char* install = std::getenv("GRIDWRIGHT_LIBREOFFICE");
    if (!install) install = "/usr/lib/libreoffice/program";
    // A profile of its own, so that renderers running side by side never share one: the folder the
    // caller names (and removes), or one removed at the end.
    const bool ownProfile = argc < 2;
    const std::filesystem::path profile =
        ownProfile ? std::filesystem::temp_directory_path() / ("gridwright-render-" + std::to_string(getpid()))
                   : std::filesystem::path(argv[1]);
    std::unique_ptr<lok::Office> office(lok::lok_cpp_init(install, fileUrl(profile.string()).c_str()));
    if (!office) {
        answer("failed\tLibreOffice not found in " + std::string(install));
        std::fflush(answers);
        return 3;
    }
    office->registerCallback(officeCallback, nullptr);
    answer("ready");
    std::fflush(answers);
    {
        Renderer renderer(office.get());
        std::string line;
        while (std::getline(std::cin, line)) {
            const std::vector<std::string> request = fields(line);
            if (request.size() == 2 && (request[0] == "load" || request[0] == "open")) {
                renderer.load(request[1], request[0] == "load");
            } else if (request.size() == 3 && request[0] == "render") {
                renderer.render(std::atoi(request[1].c_str()), std::atoi(request[2].c_str()));
            } else if (request.size() == 2 && request[0] == "probe") {
                renderer.probe(std::atoi(request[1].c_str()));
            } else if (request.size() == 3 && request[0] == "pdf") {
                renderer.pdf(request[1], request[2]);
            } else {
                answer("failed\tunknown request");
            }
            std::fflush(answers);
        }
    }
    std::error_code ignored;
    if (ownProfile) std::filesystem::remove_all(profile, ignored);
    // LibreOffice's own shutdown is slow and not needed: the process ends here.
    std::_Exit(0);
}
