#include "batch/batch_app.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <cmath>
#include <exception>
#include <iostream>
#include <map>
#include <system_error>
#include <utility>

#include "automation/error.h"
#include "batch/progress.h"
#include "batch/worker.h"
#include "batch/worker_process.h"

namespace batch {

namespace fs = std::filesystem;

namespace {

const char* const kProgram = "gridwright-batch";

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

// Checks the output of a one-file job before Word is started; returns a Chinese reason, or empty.
std::string checkOutput(const fs::path& output) {
    std::error_code ec;
    if (fs::is_directory(output, ec)) return "输出路径是一个文件夹：" + utf8FromPath(output);
    fs::path folder = output.parent_path();
    if (folder.empty()) folder = ".";
    if (!fs::is_directory(folder, ec)) return "输出文件所在的文件夹不存在：" + utf8FromPath(folder);
    return {};
}

// A whole number of at least 1, or nullopt.
template <typename Number>
std::optional<Number> positive(const std::string& text) {
    Number number = 0;
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (problem != std::errc() || end != text.data() + text.size() || number < 1) return std::nullopt;
    return number;
}

// A number of seconds, 0 or more ("0.5" too); nullopt otherwise.
std::optional<double> seconds(const std::string& text) {
    double number = 0;
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (problem != std::errc() || end != text.data() + text.size() || !std::isfinite(number) || number < 0 ||
        number > 1e7)
        return std::nullopt;
    return number;
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
    if (job->worker) return runWorker(words_[job->word].start, job->steps, job->settings);
    return job->many ? processMany(*job, out, err) : processOne(*job, out, err);
}

std::optional<Job> BatchApp::parse(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                                   int* status) {
    const bool comDefault = words_.front().name == "word";
    CLI::App app(
        "Gridwright 命令行版：在 Word 中打开文档，按命令行上给出的先后顺序执行各项命令，再保存。\n"
        "可以一次处理一个文件，也可以处理多个文件、整个文件夹或一份文件列表。",
        kProgram);
    app.formatter(std::make_shared<ChineseFormatter>());
    app.option_defaults()->group("选项");
    app.set_help_flag("-h,--help", "显示本帮助并退出");
    app.footer(std::string("示例：\n"
                           "  gridwright-batch 报告.docx -o 报告-排版后.docx --format\n"
                           "  gridwright-batch 报告.docx --in-place --format\n"
                           "  gridwright-batch 年报/ 月报/*.docx --out-dir 排版后/ --format --report-json 报告.jsonl\n"
                           "  find 档案 -name '*.docx' | gridwright-batch --files-from - --out-dir 排版后/ --format\n"
                           "  gridwright-batch 档案/ --out-dir 排版后/ --skip-existing --format   # 中断后接着处理\n"
                           "一个输入文件时，输出文件已存在会被覆盖；输入文件只有在给出 --in-place 时才会被改写。\n"
                           "多个输入时，每份文档由一个工作进程处理：一份文档出错、超时或占用内存过多，只结束它自己\n"
                           "的工作进程，其余文档照常处理；结果先写在输出位置旁的临时文件夹里，完成后一步换到位，\n"
                           "所以输出文件要么完整，要么不存在（按 Ctrl+C 中断时也是如此）。\n"
                           "不止一台机器时：用 GNU parallel（--sshlogin）把文件列表分给多台机器，或用 Slurm 作业数组\n"
                           "（scripts/slurm-batch.sh）；各部分的 --report-json 报告可以直接首尾相接成一个文件：\n"
                           "  parallel --pipe -N 50 --sshlogin 1/:,1/服务器2 gridwright-batch --files-from - \\\n"
                           "      --out-dir 排版后/ --report-json - --format < 列表.txt > 报告.jsonl\n"
                           "  sbatch --array=0-9 scripts/slurm-batch.sh 列表.txt --out-dir 排版后/ \\\n"
                           "      --report-json 报告/part-%a.jsonl --format\n"
                           "退出状态：0 全部完成；1 文档无法处理（一个文件时）或无法开始；2 命令行有误；\n"
                           "3 多个文档中有处理失败的；被中断时为 128 加信号编号（Ctrl+C 为 130）。") +
               (comDefault ? "\n使用本机 Word 时 -j 默认为 1：每个工作进程各启动一个 Word，几个 Word 同时运行会争用\n"
                             "剪贴板和正在运行的 Excel（--convert-sheets 要用到它们），每个 Word 还要占用数百 MB 内存。"
                           : ""));

    std::vector<std::string> inputs;
    std::string output;
    bool inPlace = false;
    app.add_option("输入", inputs, "要处理的 .docx 文件，或文件夹（查找其中所有的 .docx，包括子文件夹）")
        ->type_name("");
    app.add_option("-o,--output", output, "一个输入文件时，保存结果的 .docx 文件（不能是输入文件本身）")
        ->type_name("输出文件");
    app.add_flag("--in-place", inPlace, "直接保存到输入文件（此时可以不写 -o）");
    std::string filesFrom, outDir, suffix, jobs, timeout, memory, reportJson;
    bool nullSeparated = false, skipExisting = false, quiet = false, verbose = false, worker = false;
    app.add_option("--files-from", filesFrom, "从文件读取输入文件的列表，每行一个；- 表示从标准输入读取")
        ->type_name("文件");
    app.add_flag("-0,--null", nullSeparated, "--files-from 的列表以 NUL 字符分隔（如 find -print0 的输出）");
    app.add_option("--out-dir", outDir, "多个输入时，保存结果的文件夹；文件夹中找到的文件保持原来的子文件夹结构")
        ->type_name("文件夹");
    app.add_option("--suffix", suffix, "在输出文件名（扩展名之前）加上这段文字；不给 --out-dir 时结果存在原文件旁")
        ->type_name("文字");
    app.add_option("-j,--jobs", jobs,
                   comDefault ? "同时处理几份文档（工作进程数），默认 1（原因见下）"
                              : "同时处理几份文档（工作进程数），默认为处理器数")
        ->type_name("N");
    app.add_option("--timeout", timeout, "每份文档最多处理多少秒，超时的文档记为失败（默认 300，0 为不限）")
        ->type_name("秒");
    app.add_option("--memory-limit", memory,
                   "每个工作进程最多用多少 MB 内存，超出的文档记为失败（默认为内存的四分之三除以进程数）")
        ->type_name("MB");
    app.add_option("--report-json", reportJson,
                   "把每份文档的结果写入文件，每行一个 JSON 对象（JSON Lines）；- 表示写到标准输出")
        ->type_name("文件");
    app.add_flag("--skip-existing", skipExisting, "跳过输出文件已存在且比输入文件新的文档，用于接着处理中断的任务");
    app.add_flag("-q,--quiet", quiet, "只显示错误");
    app.add_flag("-v,--verbose", verbose, "多个输入时，逐个列出保存的文件和各命令的提示");
    app.add_flag("--worker", worker, "")->group("");  // how a many-document run starts its workers
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
    auto given = [&app](const char* name) { return app.count(name) > 0; };

    Job job;
    for (std::size_t i = 0; i < words_.size(); ++i)
        if (words_[i].name == wordName) job.word = i;
    job.worker = worker;

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
    if (job.worker) return job;

    if (quiet && verbose) return usageError("--quiet 和 --verbose 不能同用。");
    job.verbosity = quiet ? Verbosity::Quiet : verbose ? Verbosity::Verbose : Verbosity::Normal;
    if (given("--jobs")) {
        job.workers = positive<unsigned>(jobs);
        if (!job.workers || *job.workers > 256) return usageError("-j 需要 1 到 256 之间的整数，“" + jobs + "”不是。");
    }
    if (given("--timeout")) {
        const std::optional<double> limit = seconds(timeout);
        if (!limit) return usageError("--timeout 需要一个不小于 0 的秒数，“" + timeout + "”不是。");
        job.timeoutSeconds = *limit;
    }
    if (given("--memory-limit")) {
        job.memoryLimitMb = positive<std::uint64_t>(memory);
        if (!job.memoryLimitMb || *job.memoryLimitMb > (std::uint64_t{1} << 30))
            return usageError("--memory-limit 需要一个以 MB 为单位的正整数，“" + memory + "”不是。");
    }
    job.skipExisting = skipExisting;
    job.reportJson = reportJson;
    if (skipExisting && inPlace)
        return usageError("--skip-existing 不能与 --in-place 同用：输出就是输入，无从比较新旧。");
    if (comWord(job) && job.workers.value_or(1) > 1) {
        for (const Step& step : job.steps)
            if (step.command->name == "convert-sheets")
                return usageError(
                    "使用本机 Word 时，--convert-sheets 只能用一个工作进程（-j 1）：它要用剪贴板和正在运行的 Excel。");
    }

    InputRequest& request = job.inputs;
    request.named = inputs;
    if (given("--files-from")) request.filesFrom = filesFrom;
    request.nullSeparated = nullSeparated;
    if (!output.empty()) request.output = output;
    if (given("--out-dir")) request.outDir = outDir;
    request.suffix = suffix;
    request.inPlace = inPlace;
    if (nullSeparated && !request.filesFrom) return usageError("-0 只用于 --files-from 的列表。");
    if (given("--out-dir") && outDir.empty()) return usageError("--out-dir 不能是空的。");
    if (inputs.empty() && !request.filesFrom) return usageError("没有给出输入文件。");

    // One input file with none of the options for many: the document is done here, as it always was.
    const bool manyOptions = request.filesFrom || request.outDir || !suffix.empty() || !reportJson.empty() ||
                             skipExisting || job.workers || given("--timeout") || job.memoryLimitMb;
    std::error_code ec;
    job.many = manyOptions || inputs.size() != 1 || (output.empty() && fs::is_directory(pathFromUtf8(inputs[0]), ec));
    if (job.many) return job;

    // The one file, in this process.
    const fs::path input = pathFromUtf8(inputs[0]);
    if (inPlace) {
        if (!output.empty() && !sameFile(input, pathFromUtf8(output)))
            return usageError("给出 --in-place 时，-o 只能是输入文件本身（也可以省略 -o）。");
        request.output = inputs[0];
    } else {
        if (output.empty()) return usageError("没有给出输出文件：请用 -o 指定，或用 --in-place 保存到输入文件。");
        if (sameFile(input, pathFromUtf8(output)))
            return usageError("输出文件就是输入文件：" + output +
                              "\n不会覆盖输入文件；确实要改写它，请用 --in-place。");
    }
    return job;
}

int BatchApp::processOne(const Job& job, std::ostream& out, std::ostream& err) {
    const fs::path input = pathFromUtf8(job.inputs.named.front());
    const fs::path output = pathFromUtf8(*job.inputs.output);
    std::string problem = checkInput(input);
    if (problem.empty() && !job.inputs.inPlace) problem = checkOutput(output);
    if (!problem.empty()) {
        err << kProgram << "：" << problem << "\n";
        return kExitFailed;
    }
    std::ostringstream discarded;
    std::ostream& messages = job.verbosity == Verbosity::Quiet ? discarded : out;
    DocumentResult result;
    try {
        WordSession word(words_[job.word].start());
        DocumentTask task{input, std::nullopt, &job.steps, &job.settings};
        if (!job.inputs.inPlace) task.saveAs = output;
        result = runDocument(word.handle(), task, messages);
    } catch (const automation::Error& error) {  // Word could not be started
        result.status = DocumentStatus::Refused;
        result.problem = "处理 " + utf8FromPath(input) + " 时出错：" + error.message() + "（错误 " +
                         std::to_string(error.number()) + "）";
    }
    if (result.status != DocumentStatus::Ok) {
        err << kProgram << "：" << result.problem << "\n";
        return kExitFailed;
    }
    messages << "已保存：" << utf8FromPath(output) << "\n";
    return kExitOk;
}

int BatchApp::processMany(const Job& job, std::ostream& out, std::ostream& err) {
    InputPlan plan;
    std::istream& standardInput = process_.standardInput ? *process_.standardInput : std::cin;
    if (auto problem = planDocuments(job.inputs, standardInput, plan)) {
        err << kProgram << "：" << *problem << "\n用 --help 查看用法。\n";
        return kExitUsage;
    }
    ManyRun run;
    run.documents = std::move(plan.documents);
    run.notes = std::move(plan.notes);
    run.program = process_.program;
    run.workerArgs = workerArguments(job);
    run.workers = job.workers.value_or(comWord(job) ? 1 : availableProcessors());
    run.timeoutSeconds = job.timeoutSeconds;
    if (job.memoryLimitMb)
        run.memoryLimit = *job.memoryLimitMb << 20;
    else
        run.memoryLimit = physicalMemory() / 4 * 3 / std::max(1u, run.workers);
    run.skipExisting = job.skipExisting;
    run.reportJson = job.reportJson;
    run.verbosity = job.verbosity;
    run.progressTerminal = process_.errIsTerminal;
    if (run.program.empty()) {
        err << kProgram << "：无法启动工作进程：不知道本程序的位置。\n";
        return kExitFailed;
    }
    return runMany(run, out, err);
}

std::vector<std::string> BatchApp::workerArguments(const Job& job) const {
    std::vector<std::string> args = {"--worker"};
    if (words_.size() > 1) args.push_back("--backend=" + words_[job.word].name);
    // "--name=value": a value that starts with "-" is not taken for an option.
    for (const Step& step : job.steps)
        args.push_back("--" + step.command->name + (step.command->valueName.empty() ? "" : "=" + step.value));
    for (const auto& [name, value] : job.settings) {
        const SettingOption* option = nullptr;
        for (const SettingOption& candidate : commands_.options())
            if (candidate.name == name) option = &candidate;
        args.push_back("--" + name + (option && option->valueName.empty() ? "" : "=" + value));
    }
    return args;
}

}  // namespace batch
