#include "batch/document_run.h"

#include <exception>
#include <new>
#include <random>
#include <system_error>

#include "automation/constants.h"
#include "automation/error.h"
#include "backend/word_start.h"

namespace batch {

namespace fs = std::filesystem;

std::filesystem::path pathFromUtf8(const std::string& text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

std::string utf8FromPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string checkInput(const std::filesystem::path& input) {
    std::error_code ec;
    const auto status = fs::status(input, ec);
    if (!fs::exists(status)) return "找不到输入文件：" + utf8FromPath(input);
    if (fs::is_directory(status)) return "输入的是文件夹，不是 .docx 文件：" + utf8FromPath(input);
    if (!fs::is_regular_file(status)) return "输入的不是普通文件：" + utf8FromPath(input);
    return {};
}

WordSession::~WordSession() {
    try {
        if (word_) word_->Quit();
    } catch (...) {
        // The document is already saved or deliberately left alone; a Word that will not quit changes nothing.
    }
}

namespace {

// Saves to the output file. An output that is a symbolic link is replaced as a link: the document is
// saved beside it under a new name and then renamed over the link, so the file the link pointed to
// stays as it was.
void saveAs(automation::Document& document, const fs::path& output) {
    std::error_code ec;
    if (!fs::is_symlink(output, ec)) {
        document.SaveAs(utf8FromPath(output));
        return;
    }
    fs::path temporary;
    for (unsigned attempt = 0;; ++attempt) {
        temporary = output;
        temporary += ".gridwright-" + std::to_string(std::random_device{}()) + ".docx";
        if (!fs::exists(fs::symlink_status(temporary, ec))) break;
        if (attempt > 100) throw automation::Error(automation::errors::SaveFailed, "无法在输出文件旁建立临时文件");
    }
    try {
        document.SaveAs(utf8FromPath(temporary));
        fs::rename(temporary, output);
    } catch (const fs::filesystem_error& error) {
        fs::remove(temporary, ec);
        throw automation::Error(automation::errors::SaveFailed, "无法替换输出文件：" + std::string(error.what()));
    } catch (...) {
        fs::remove(temporary, ec);
        throw;
    }
}

void refused(DocumentResult& result, const automation::Error& error, std::string problem) {
    result.status = DocumentStatus::Refused;
    result.errorNumber = error.number();
    result.error = error.message();
    result.problem = std::move(problem) + error.message() + "（错误 " + std::to_string(error.number()) + "）";
}

void failed(DocumentResult& result, const std::string& reason, const std::string& problem) {
    result.status = DocumentStatus::Failed;
    result.error = reason;
    result.problem = problem;
}

}  // namespace

DocumentResult runDocument(const std::shared_ptr<automation::Application>& word, const DocumentTask& task,
                           std::ostream& messages) {
    DocumentResult result;
    const std::string inputName = utf8FromPath(task.input);
    std::optional<CommandContext> context;  // outlives the try: a stopped run still reports its steps
    try {
        automation::DocumentPtr document;
        try {
            document = word->Documents()->Open(inputName);
        } catch (const automation::Error& error) {
            // Word's refusal to open a file names the file itself.
            refused(result, error, "");
            return result;
        }
        context.emplace(
            CommandContext{*word, document, messages, *task.settings, [&word] { return backend::excelFor(word); }});
        for (const Step& step : *task.steps) {
            // A failing step throws; nothing is saved then, so neither file is left half done.
            step.command->run(*context, step.value);
        }
        try {
            result.changed = !document->Saved();
        } catch (const automation::Error&) {
            result.changed = true;  // a Word that cannot say is taken at its worst
        }
        if (task.saveAs)
            saveAs(*document, *task.saveAs);
        else
            document->Save();
        try {
            document->Close(automation::wdDoNotSaveChanges);
        } catch (const automation::Error&) {
            // Saved already; a document that will not close goes away with its Word.
        }
    } catch (const automation::Error& error) {
        refused(result, error, "处理 " + inputName + " 时出错：");
    } catch (const std::bad_alloc&) {
        failed(result, "内存不足", "处理 " + inputName + " 时内存不足");
    } catch (const std::exception& error) {
        failed(result, error.what(), "处理 " + inputName + " 时发生意外错误：" + error.what());
    }
    if (context) result.record = std::move(context->record);
    return result;
}

}  // namespace batch
