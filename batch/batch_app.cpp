#include "batch/batch_app.h"

#include <CLI/CLI.hpp>

#include <exception>
#include <map>
#include <random>
#include <system_error>
#include <utility>

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

namespace {

const char* const kProgram = "gridwright-batch";

// Columns a UTF-8 text takes in a terminal: CJK characters and full-width forms take two.
std::size_t displayWidth(const std::string& text) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        width += length >= 3 ? 2 : 1;
        i += length;
    }
    return width;
}

// CLI11's help in Chinese: its fixed words are labels that can be replaced, and the option
// column is padded by display width so that Chinese names line up.
class ChineseFormatter : public CLI::Formatter {
public:
    ChineseFormatter() {
        label("Usage", "用法");
        label("OPTIONS", "选项");
        label("Positionals", "参数");
        label("REQUIRED", "（必填）");
        label("TEXT", "文本");
        label("Env", "环境变量");
        label("Needs", "需要");
        label("Excludes", "不能与之同用");
        column_width(kColumn);
    }

    std::string make_option(const CLI::Option* opt, bool isPositional) const override {
        const std::string name = "  " + make_option_name(opt, isPositional) + make_option_opts(opt);
        const std::size_t width = displayWidth(name);
        std::string line = name;
        if (width < kColumn)
            line += std::string(kColumn - width, ' ');
        else
            line += "\n" + std::string(kColumn, ' ');
        for (const char c : make_option_desc(opt)) {
            line += c;
            if (c == '\n') line += std::string(kColumn, ' ');
        }
        return line + "\n";
    }

private:
    static constexpr std::size_t kColumn = 26;
};

// The option named at the start of one of CLI11's messages ("-o: 1 required ..."), if any.
std::string leadingOptionName(const std::string& message) {
    if (message.empty() || message[0] != '-') return {};
    const auto end = message.find_first_of(": ");
    return message.substr(0, end);
}

// A Chinese reason for a command line CLI11 rejected.
std::string describeParseError(const CLI::ParseError& error, const CLI::App& app) {
    if (dynamic_cast<const CLI::ExtrasError*>(&error)) {
        std::string extras;
        for (const auto& arg : app.remaining()) extras += (extras.empty() ? "" : " ") + arg;
        return extras.empty() ? "命令行中有无法识别的参数。" : "无法识别的参数：" + extras;
    }
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error)) {
        const std::string option = leadingOptionName(error.what());
        if (!option.empty()) return "选项 " + option + " 缺少值，或给出的值个数不对。";
        return "某个选项缺少值，或给出的值个数不对。";
    }
    if (dynamic_cast<const CLI::ConversionError*>(&error) || dynamic_cast<const CLI::ValidationError*>(&error))
        return "某个选项的值无效。";
    return "命令行有误。";
}

// True when a and b name the same file (an existing b is compared by identity, so links count).
bool sameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    if (fs::exists(b, ec) && fs::equivalent(a, b, ec)) return true;
    const fs::path ca = fs::weakly_canonical(fs::absolute(a, ec), ec);
    const fs::path cb = fs::weakly_canonical(fs::absolute(b, ec), ec);
    return !ec && ca == cb;
}

// Checks the files of a job before Word is started; returns a Chinese reason, or empty when fine.
std::string checkFiles(const Job& job) {
    std::error_code ec;
    const auto input = fs::status(job.input, ec);
    if (!fs::exists(input)) return "找不到输入文件：" + utf8FromPath(job.input);
    if (fs::is_directory(input)) return "输入的是文件夹，不是 .docx 文件：" + utf8FromPath(job.input);
    if (!fs::is_regular_file(input)) return "输入的不是普通文件：" + utf8FromPath(job.input);
    if (job.inPlace) return {};

    if (fs::is_directory(job.output, ec)) return "输出路径是一个文件夹：" + utf8FromPath(job.output);
    fs::path folder = job.output.parent_path();
    if (folder.empty()) folder = ".";
    if (!fs::is_directory(folder, ec)) return "输出文件所在的文件夹不存在：" + utf8FromPath(folder);
    return {};
}

// Ends the Word of a run on every path out of it.
class WordSession {
public:
    explicit WordSession(std::shared_ptr<automation::Application> word) : word_(std::move(word)) {}
    ~WordSession() {
        try {
            if (word_) word_->Quit();
        } catch (...) {
            // The document is already saved or deliberately left alone; a Word that will not quit changes nothing.
        }
    }
    WordSession(const WordSession&) = delete;
    WordSession& operator=(const WordSession&) = delete;
    automation::Application& operator*() const { return *word_; }
    automation::Application* operator->() const { return word_.get(); }
    const std::shared_ptr<automation::Application>& handle() const { return word_; }

private:
    std::shared_ptr<automation::Application> word_;
};

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

}  // namespace

BatchApp::BatchApp(CommandRegistry commands, WordFactory startWord)
    : BatchApp(std::move(commands), std::vector<WordChoice>{{"embedded", std::move(startWord)}}) {}

BatchApp::BatchApp(CommandRegistry commands, std::vector<WordChoice> words)
    : commands_(std::move(commands)), words_(std::move(words)) {}

int BatchApp::run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<const char*> argv;
    argv.push_back(kProgram);
    for (const auto& arg : args) argv.push_back(arg.c_str());
    return run(static_cast<int>(argv.size()), argv.data(), out, err);
}

int BatchApp::run(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    int status = kExitOk;
    const std::optional<Job> job = parse(argc, argv, out, err, &status);
    if (!job) return status;
    return process(*job, out, err);
}

std::optional<Job> BatchApp::parse(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                                   int* status) {
    CLI::App app(
        "Gridwright 命令行版：在 Word 中打开一个文档，\n"
        "按命令行上给出的先后顺序执行各项命令，再保存到输出文件。",
        kProgram);
    app.formatter(std::make_shared<ChineseFormatter>());
    app.option_defaults()->group("选项");
    app.set_help_flag("-h,--help", "显示本帮助并退出");
    app.footer(
        "示例：\n"
        "  gridwright-batch 报告.docx -o 报告-排版后.docx\n"
        "  gridwright-batch 报告.docx --in-place\n"
        "输出文件已存在时会被覆盖；输入文件只有在给出 --in-place 时才会被改写。");

    std::string input;
    std::string output;
    bool inPlace = false;
    app.add_option("输入文件", input, "要处理的 .docx 文件")->type_name("");
    app.add_option("-o,--output", output, "保存结果的 .docx 文件（不能是输入文件本身）")->type_name("输出文件");
    app.add_flag("--in-place", inPlace, "直接保存到输入文件（此时可以不写 -o）");
    std::string wordName;
    if (words_.size() > 1) {
        std::vector<std::string> names;
        std::string list;
        for (const WordChoice& word : words_) {
            names.push_back(word.name);
            list += (list.empty() ? "" : "|") + word.name;
        }
        app.add_option(
               "--backend", wordName,
               "使用哪个 Word：word 为本机安装的 Word，embedded 为内置的 Word（默认 " + words_.front().name + "）")
            ->type_name(list)
            ->check(CLI::IsMember(names));
    }

    // A flag when the option takes no value, else an option that may be given several times.
    auto addOption = [&app](const std::string& name, const std::string& description, const std::string& valueName) {
        if (valueName.empty()) return app.add_flag("--" + name, description);
        return app.add_option("--" + name, description)
            ->type_name(valueName)
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    };
    std::map<const CLI::Option*, const Command*> commandOf;
    for (const auto& command : commands_.commands())
        commandOf[addOption(command.name, command.description, command.valueName)] = &command;
    std::map<const CLI::Option*, const SettingOption*> settingOf;
    for (const auto& setting : commands_.options())
        settingOf[addOption(setting.name, setting.description, setting.valueName)] = &setting;

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        *status = kExitOk;
        return std::nullopt;
    } catch (const CLI::ParseError& error) {
        err << kProgram << "：" << describeParseError(error, app) << "\n用 --help 查看用法。\n";
        *status = kExitUsage;
        return std::nullopt;
    }

    auto usageError = [&](const std::string& reason) {
        err << kProgram << "：" << reason << "\n用 --help 查看用法。\n";
        *status = kExitUsage;
        return std::nullopt;
    };
    if (input.empty()) return usageError("没有给出输入文件。");

    Job job;
    for (std::size_t i = 0; i < words_.size(); ++i)
        if (words_[i].name == wordName) job.word = i;
    job.input = pathFromUtf8(input);
    job.inPlace = inPlace;
    if (inPlace) {
        if (!output.empty() && !sameFile(job.input, pathFromUtf8(output)))
            return usageError("给出 --in-place 时，-o 只能是输入文件本身（也可以省略 -o）。");
        job.output = job.input;
    } else {
        if (output.empty()) return usageError("没有给出输出文件：请用 -o 指定，或用 --in-place 保存到输入文件。");
        job.output = pathFromUtf8(output);
        if (sameFile(job.input, job.output))
            return usageError("输出文件就是输入文件：" + output +
                              "\n不会覆盖输入文件；确实要改写它，请用 --in-place。");
    }

    // Every occurrence of a command option is one step, in command-line order.
    std::map<const CLI::Option*, std::size_t> seen;
    for (const CLI::Option* option : app.parse_order()) {
        const auto found = commandOf.find(option);
        if (found == commandOf.end()) continue;
        const std::size_t occurrence = seen[option]++;
        Step step;
        step.command = found->second;
        if (!step.command->valueName.empty() && occurrence < option->results().size())
            step.value = option->results()[occurrence];
        job.steps.push_back(std::move(step));
    }
    for (const CLI::Option* option : app.parse_order()) {
        const auto found = settingOf.find(option);
        if (found == settingOf.end()) continue;
        const std::size_t occurrence = seen[option]++;
        std::string value;
        if (!found->second->valueName.empty() && occurrence < option->results().size())
            value = option->results()[occurrence];
        job.settings.emplace_back(found->second->name, std::move(value));
    }
    // The settings are checked before Word starts, so a bad one never touches the document.
    for (const Step& step : job.steps) {
        if (!step.command->check) continue;
        if (const auto problem = step.command->check(job.settings)) return usageError(*problem);
    }
    return job;
}

int BatchApp::process(const Job& job, std::ostream& out, std::ostream& err) {
    if (const std::string problem = checkFiles(job); !problem.empty()) {
        err << kProgram << "：" << problem << "\n";
        return kExitFailed;
    }
    const std::string inputName = utf8FromPath(job.input);
    try {
        WordSession word(words_[job.word].start());
        automation::DocumentPtr document;
        try {
            document = word->Documents()->Open(inputName);
        } catch (const automation::Error& error) {
            // Word's refusal to open a file names the file itself.
            err << kProgram << "：" << error.message() << "（错误 " << error.number() << "）\n";
            return kExitFailed;
        }
        CommandContext context{*word, document, out, job.settings,
                               [&word] { return backend::excelFor(word.handle()); }};
        for (const Step& step : job.steps) {
            // A failing step throws; nothing is saved then, so neither file is left half done.
            step.command->run(context, step.value);
        }
        if (job.inPlace)
            document->Save();
        else
            saveAs(*document, job.output);
        try {
            document->Close(automation::wdDoNotSaveChanges);
        } catch (const automation::Error&) {
            // Saved already; a document that will not close goes away with its Word.
        }
    } catch (const automation::Error& error) {
        err << kProgram << "：处理 " << inputName << " 时出错：" << error.message() << "（错误 " << error.number()
            << "）\n";
        return kExitFailed;
    } catch (const std::exception& error) {
        err << kProgram << "：处理 " << inputName << " 时发生意外错误：" << error.what() << "\n";
        return kExitFailed;
    }
    out << "已保存：" << utf8FromPath(job.output) << "\n";
    return kExitOk;
}

}  // namespace batch
