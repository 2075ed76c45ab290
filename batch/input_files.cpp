#include "batch/input_files.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <system_error>

#include "batch/document_run.h"

namespace batch {

namespace fs = std::filesystem;

namespace {

// A file and where its output goes below the output folder.
struct Candidate {
    fs::path input;
    fs::path placed;
    bool named = false;  // named on the command line, not found in a folder or a list
};

// The same file always gives the same key, whether named by a relative path, with "..", or a link.
std::string fileKey(const fs::path& path) {
    std::error_code ec;
    fs::path full = fs::weakly_canonical(fs::absolute(path, ec), ec);
    if (ec) full = fs::absolute(path, ec).lexically_normal();
    std::string key = utf8FromPath(full);
#ifdef _WIN32
    // Windows' file names do not tell letter case apart.
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
#endif
    return key;
}

bool isHidden(const fs::directory_entry& entry) {
    const std::string name = utf8FromPath(entry.path().filename());
    if (!name.empty() && name[0] == '.') return true;
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesW(entry.path().c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN)) return true;
#endif
    return false;
}

bool sameFolder(const fs::path& a, const std::optional<fs::path>& b) {
    std::error_code ec;
    return b && fs::exists(*b, ec) && fs::equivalent(a, *b, ec);
}

// The documents below folder, sorted by their path below it.
void searchFolder(const fs::path& folder, const std::optional<fs::path>& outDir, std::vector<Candidate>& found,
                  std::vector<std::string>& notes) {
    std::vector<Candidate> documents;
    std::error_code ec;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const fs::directory_entry& entry = *it;
        std::error_code typeError;
        const bool directory = entry.is_directory(typeError);
        if (isHidden(entry) || (directory && sameFolder(entry.path(), outDir))) {
            if (directory) it.disable_recursion_pending();
            continue;
        }
        if (directory || !entry.is_regular_file(typeError) || !isDocumentName(entry.path().filename())) continue;
        documents.push_back({entry.path(), entry.path().lexically_relative(folder), false});
    }
    if (ec)
        notes.push_back("无法读完文件夹 " + utf8FromPath(folder) + "（" + ec.message() + "），其中有些文档没有处理");
    std::sort(documents.begin(), documents.end(),
              [](const Candidate& a, const Candidate& b) { return a.placed.u8string() < b.placed.u8string(); });
    found.insert(found.end(), std::make_move_iterator(documents.begin()), std::make_move_iterator(documents.end()));
}

// Where a listed file goes below the output folder: its relative path when it stays below the
// current folder, else its name.
fs::path placeOfListed(const fs::path& path) {
    const fs::path normal = path.lexically_normal();
    if (normal.is_absolute() || normal.has_root_name() || normal.has_root_directory()) return path.filename();
    for (const fs::path& part : normal)
        if (part == "..") return path.filename();
    return normal;
}

std::optional<std::string> readList(const std::string& name, std::istream& standardInput, bool nullSeparated,
                                    std::vector<std::string>& entries) {
    std::string content;
    if (name == "-") {
        content.assign(std::istreambuf_iterator<char>(standardInput), std::istreambuf_iterator<char>());
    } else {
        // Not only regular files: a list often comes through a pipe, as in <(find ...).
        std::error_code ec;
        if (fs::is_directory(pathFromUtf8(name), ec)) return "文件列表是一个文件夹：" + name;
        std::ifstream file(pathFromUtf8(name), std::ios::binary);
        if (!file) return "无法读取文件列表：" + name;
        content.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    if (content.starts_with("\xEF\xBB\xBF")) content.erase(0, 3);
    const char separator = nullSeparated ? '\0' : '\n';
    for (std::size_t start = 0; start < content.size();) {
        std::size_t end = content.find(separator, start);
        if (end == std::string::npos) end = content.size();
        std::string entry = content.substr(start, end - start);
        if (!nullSeparated && entry.ends_with('\r')) entry.pop_back();
        if (!entry.empty()) entries.push_back(std::move(entry));
        start = end + 1;
    }
    return std::nullopt;
}

fs::path withSuffix(const fs::path& path, const std::string& suffix) {
    if (suffix.empty()) return path;
    fs::path named = path.parent_path() / path.stem();
    named += pathFromUtf8(suffix);
    named += path.extension();
    return named;
}

}  // namespace

bool isDocumentName(const fs::path& name) {
    const std::string text = utf8FromPath(name);
    if (text.size() <= 5 || text[0] == '.' || text.starts_with("~$")) return false;
    std::string extension = text.substr(text.size() - 5);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".docx";
}

std::optional<std::string> planDocuments(const InputRequest& request, std::istream& standardInput, InputPlan& plan) {
    const int ways = (request.outDir ? 1 : 0) + (request.inPlace ? 1 : 0) + (request.output ? 1 : 0);
    if (ways > 1 || (request.inPlace && !request.suffix.empty()))
        return "-o、--out-dir 和 --in-place 只能选一个；--suffix 不能与 --in-place 同用。";
    if (ways == 0 && request.suffix.empty())
        return "没有说明结果保存在哪里：请用 --out-dir 指定输出文件夹，或用 --suffix 在原文件旁另存，"
               "或用 --in-place 直接改写原文件。";
    std::optional<fs::path> outDir;
    if (request.outDir) outDir = pathFromUtf8(*request.outDir);
    std::error_code ec;
    if (outDir && fs::exists(*outDir, ec) && !fs::is_directory(*outDir, ec))
        return "输出文件夹的位置上已有一个文件：" + *request.outDir;

    std::vector<Candidate> candidates;
    auto take = [&](const fs::path& path, const fs::path& placed, bool named) {
        if (fs::is_directory(path, ec))
            searchFolder(path, outDir, candidates, plan.notes);
        else
            candidates.push_back({path, placed, named});
    };
    for (const std::string& name : request.named) {
        const fs::path path = pathFromUtf8(name);
        take(path, path.filename(), true);
    }
    if (request.filesFrom) {
        std::vector<std::string> entries;
        if (auto problem = readList(*request.filesFrom, standardInput, request.nullSeparated, entries)) return problem;
        for (const std::string& entry : entries) {
            const fs::path path = pathFromUtf8(entry);
            take(path, placeOfListed(path), false);
        }
    }

    if (request.output) {
        if (candidates.size() != 1 || !candidates.front().named)
            return "-o 只用于一个输入文件；有多个输入或输入的是文件夹时，请用 --out-dir 指定输出文件夹。";
    }

    // Each file once, each with its output.
    std::vector<PlannedDocument> documents;
    std::vector<std::string> inputKeys;
    std::set<std::string> seen;
    for (const Candidate& candidate : candidates) {
        std::string key = fileKey(candidate.input);
        if (!seen.insert(key).second) continue;
        fs::path output;
        if (request.output)
            output = pathFromUtf8(*request.output);
        else if (request.inPlace)
            output = candidate.input;
        else if (outDir)
            output = withSuffix(*outDir / candidate.placed, request.suffix);
        else
            output = withSuffix(candidate.input, request.suffix);
        documents.push_back({candidate.input, output});
        inputKeys.push_back(std::move(key));
    }

    std::map<std::string, std::size_t> outputOf;  // output key -> document
    if (!request.inPlace) {
        for (std::size_t i = 0; i < documents.size(); ++i) outputOf.emplace(fileKey(documents[i].output), i);
    }
    std::map<std::string, std::size_t> taken;
    for (std::size_t i = 0; i < documents.size(); ++i) {
        const PlannedDocument& document = documents[i];
        if (!request.inPlace) {
            const auto producer = outputOf.find(inputKeys[i]);
            if (producer != outputOf.end() && producer->second != i) {
                plan.notes.push_back("跳过 " + utf8FromPath(document.input) + "：它是 " +
                                     utf8FromPath(documents[producer->second].input) + " 的输出文件");
                continue;
            }
            if (producer != outputOf.end())
                return "输出文件就是输入文件：" + utf8FromPath(document.output) +
                       "\n不会覆盖输入文件；确实要改写它，请用 --in-place。";
        }
        const auto [other, added] = taken.emplace(fileKey(document.output), i);
        if (!added)
            return "两个输入会保存到同一个输出文件 " + utf8FromPath(document.output) + "：" +
                   utf8FromPath(documents[other->second].input) + " 和 " + utf8FromPath(document.input) +
                   "\n几个文件夹里有同名的文件时，请分别处理，或者给出它们共同的上级文件夹。";
        plan.documents.push_back(document);
    }
    return std::nullopt;
}

}  // namespace batch
