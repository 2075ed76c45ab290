// Many documents at once, as a user runs them: the programs themselves on a folder tree of the outside
// documents, interrupted with Ctrl+C and resumed; and the file list spread by GNU parallel and by the
// Slurm array script. The report lines are checked against the schema kept beside the tool.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "automation/ooxml/application.h"
#include "batch/batch_app.h"
#include "batch/document_report.h"
#include "batch/input_files.h"
#include "support/docx_builder.h"
#include "support/sheet_docs.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using gwtest::TempDir;

const fs::path kSource = GRIDWRIGHT_SOURCE_DIR;
const fs::path kCorpus = GRIDWRIGHT_CORPUS_DIR;
const char* const kBatch = GRIDWRIGHT_BATCH_PROGRAM;
const char* const kFaultBatch = GRIDWRIGHT_FAULT_BATCH_PROGRAM;

// Starts program with args, standard output and error into files; returns its process id.
pid_t start(const std::string& program, const std::vector<std::string>& args, const fs::path& out,
            const fs::path& err) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<std::string> words = {program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    EXPECT_EQ(posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ), 0) << program;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// The exit status as a shell reports it: 128 + the signal for a program a signal ended.
int waitFor(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string fileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> lines(const fs::path& path) {
    std::vector<std::string> result;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

// A string field of one report line ("input", "status"); the tool writes no spaces around ':'.
std::string field(const std::string& line, const std::string& name) {
    const std::string key = "\"" + name + "\":\"";
    const auto at = line.find(key);
    if (at == std::string::npos) return {};
    return line.substr(at + key.size(), line.find('"', at + key.size()) - at - key.size());
}

// Report lines by input file.
std::map<std::string, std::string> byInput(const std::vector<std::string>& report) {
    std::map<std::string, std::string> result;
    for (const std::string& line : report) EXPECT_TRUE(result.emplace(field(line, "input"), line).second) << line;
    return result;
}

// Runs the schema check on report files: empty when they pass, "skip" when no validator is installed.
std::string schemaProblems(const std::vector<fs::path>& reports, const fs::path& log) {
    std::string command = "/usr/bin/python3 " + (kSource / "tests/tools/check_report.py").string() + " " +
                          (kSource / "batch/report.schema.json").string();
    for (const fs::path& report : reports) command += " '" + report.string() + "'";
    const int status = std::system((command + " >'" + log.string() + "' 2>&1").c_str());
    if (WIFEXITED(status) && WEXITSTATUS(status) == 2) return "skip";
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? "" : fileText(log);
}

// The files below a folder, as paths relative to it; a hidden folder (one the tool saves into before
// moving the result into place) counts as a file.
std::set<std::string> filesBelow(const fs::path& folder) {
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (!entry.is_directory() || entry.path().filename().string().starts_with("."))
            files.insert(entry.path().lexically_relative(folder).string());
    return files;
}

TEST(ManyDocuments, AFolderTreeInterruptedAndResumedKeepsEveryOutputWholeAndEveryFailureNamed) {
    TempDir dir;
    const fs::path in = dir.file("in"), out = dir.file("out");
    fs::create_directories(in / "corpus/pandoc");
    std::set<std::string> good;
    for (const char* folder : {"", "pandoc"})
        for (const auto& entry : fs::directory_iterator(kCorpus / folder))
            if (entry.path().extension() == ".docx") {
                fs::copy_file(entry.path(), in / "corpus" / folder / entry.path().filename());
                good.insert((fs::path("corpus") / folder / entry.path().filename()).lexically_normal().string());
            }
    ASSERT_GT(good.size(), 20u) << "the outside documents are missing";
    // What a folder search leaves alone: hidden files and folders, Office's lock files, other files.
    fs::create_directories(in / ".cache");
    fs::copy_file(kCorpus / "test.docx", in / ".cache/test.docx");
    fs::copy_file(kCorpus / "test.docx", in / "corpus/.hidden.docx");
    fs::copy_file(kCorpus / "test.docx", in / "corpus/~$test.docx");
    std::ofstream(in / "corpus/notes.txt") << "not a document";
    // The bad ones: cut short, encrypted, and three the fault-injecting Word stumbles over.
    fs::create_directories(in / "bad");
    const std::string whole = fileText(kCorpus / "zh-report-lo.docx");
    std::ofstream(in / "bad/truncated.docx", std::ios::binary) << whole.substr(0, whole.size() / 2);
    std::ofstream(in / "bad/encrypted.docx", std::ios::binary)
        << gwtest::compoundFile("EncryptedPackage", std::string(8192, 'x'));
    fs::copy_file(kCorpus / "test.docx", in / "bad/fault-crash.docx");
    fs::copy_file(kCorpus / "test.docx", in / "bad/fault-bloat.docx");
    fs::create_directories(in / "zz");  // last, so that the first run is interrupted before it
    fs::copy_file(kCorpus / "test.docx", in / "zz/fault-hang.docx");
    const std::size_t total = good.size() + 5;

    // A worker of the sanitizer build takes about 100 MB by itself; the bloating one takes 256 MB at once.
    std::vector<std::string> common = {in.string(), "--out-dir", out.string(), "--format", "--thousands", "-j", "2"};
    common.insert(common.end(), {"--timeout", "3", "--memory-limit", "300"});
    auto withReport = [&](const fs::path& report, std::vector<std::string> more) {
        std::vector<std::string> args = common;
        args.insert(args.end(), {"--report-json", report.string()});
        args.insert(args.end(), more.begin(), more.end());
        return args;
    };

    // Ctrl+C once some documents are done: the run stops, ends its workers, removes their files.
    const fs::path first = dir.file("first.jsonl");
    const pid_t interrupted = start(kFaultBatch, withReport(first, {}), dir.file("1.out"), dir.file("1.err"));
    for (int wait = 0; wait < 1200 && lines(first).size() < 12; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    kill(interrupted, SIGINT);
    EXPECT_EQ(waitFor(interrupted), 130) << fileText(dir.file("1.err"));
    EXPECT_NE(fileText(dir.file("1.out")).find("已中断"), std::string::npos) << fileText(dir.file("1.out"));
    const auto firstReport = byInput(lines(first));
    EXPECT_LT(firstReport.size(), total);
    std::set<std::string> done;
    for (const auto& [input, line] : firstReport)
        if (field(line, "status") == "ok") done.insert(fs::path(field(line, "output")).lexically_relative(out));
    EXPECT_EQ(filesBelow(out), done) << "an output that is not whole, or a temporary file, was left behind";
    for (const std::string& output : done) EXPECT_GT(gwtest::readAllParts(out / output).size(), 3u) << output;

    // Resumed: what is done is skipped, the rest is done, each bad document has its status.
    const fs::path second = dir.file("second.jsonl");
    const pid_t resumed =
        start(kFaultBatch, withReport(second, {"--skip-existing"}), dir.file("2.out"), dir.file("2.err"));
    EXPECT_EQ(waitFor(resumed), 3) << fileText(dir.file("2.err"));
    const auto report = byInput(lines(second));
    EXPECT_EQ(report.size(), total);
    for (const std::string& name : good) {
        const std::string line = report.count((in / name).string()) ? report.at((in / name).string()) : "";
        EXPECT_EQ(field(line, "status"), done.count(name) ? "skipped" : "ok") << name << ": " << line;
    }
    EXPECT_EQ(filesBelow(out), good);
    EXPECT_EQ(filesBelow(in).size(), good.size() + 10) << "the input folder changed";

    const auto statusOf = [&](const std::string& name) { return report.at((in / name).string()); };
    EXPECT_NE(
        statusOf("bad/truncated.docx").find("\"status\":\"refused\",\"changed\":false,\"error\":{\"number\":5174"),
        std::string::npos);
    EXPECT_NE(statusOf("bad/encrypted.docx").find("加密"), std::string::npos);
    EXPECT_EQ(field(statusOf("bad/encrypted.docx"), "status"), "refused");
    EXPECT_EQ(field(statusOf("bad/fault-crash.docx"), "status"), "failed");
    EXPECT_NE(statusOf("bad/fault-crash.docx").find("意外结束"), std::string::npos);
    EXPECT_EQ(field(statusOf("bad/fault-bloat.docx"), "status"), "failed");
    EXPECT_NE(statusOf("bad/fault-bloat.docx").find("内存"), std::string::npos);
    EXPECT_EQ(field(statusOf("zz/fault-hang.docx"), "status"), "timeout");
    const std::string summary = fileText(dir.file("2.out"));
    EXPECT_NE(summary.find("跳过 " + std::to_string(done.size()) + " 份"), std::string::npos) << summary;
    EXPECT_NE(summary.find("失败 5 份"), std::string::npos) << summary;

    const std::string problems = schemaProblems({first, second}, dir.file("schema.log"));
    if (problems == "skip") GTEST_SKIP() << "python3-jsonschema is needed to check the report against its schema";
    EXPECT_EQ(problems, "");
}

// A file list spread over "hosts" by GNU parallel and over the tasks of a Slurm array: every document
// done once, in its place below the output folder, and the reports of the pieces make one report.
TEST(ManyDocuments, AFileListSpreadByParallelAndBySlurmTasks) {
    TempDir dir;
    std::vector<std::string> listed;
    for (const char* name : {"tbl-2x2-table.docx", "tbl-having-tables.docx", "zh-report-lo.docx", "test.docx",
                             "par-alignment.docx", "having-images.docx", "doc-default.docx"}) {
        const fs::path place = fs::path(listed.size() % 2 ? "docs/a" : "docs/b") / name;
        fs::create_directories(dir.path() / place.parent_path());
        fs::copy_file(kCorpus / name, dir.path() / place);
        listed.push_back(place.string());
    }
    std::ofstream list(dir.file("list.txt"));
    for (const std::string& entry : listed) list << entry << "\n";
    list.close();
    const std::string inDir = "cd '" + dir.path().string() + "' && ";
    const std::set<std::string> expected(listed.begin(), listed.end());

    std::vector<fs::path> reports;
    for (int task = 0; task < 3; ++task) {
        const std::string command = inDir + "SLURM_ARRAY_TASK_ID=" + std::to_string(task) +
                                    " SLURM_ARRAY_TASK_COUNT=3 SLURM_CPUS_PER_TASK=1 GRIDWRIGHT_BATCH='" + kBatch +
                                    "' bash '" + (kSource / "scripts/slurm-batch.sh").string() +
                                    "' list.txt --out-dir slurm --report-json part-%a.jsonl --format -q";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        reports.push_back(dir.file("part-" + std::to_string(task) + ".jsonl"));
        EXPECT_EQ(lines(reports.back()).size(), task == 0 ? 3u : 2u) << "task " << task;
    }
    std::ofstream joined(dir.file("slurm.jsonl"));
    for (const fs::path& report : reports) joined << fileText(report);
    joined.close();
    std::set<std::string> inputs;
    for (const std::string& line : lines(dir.file("slurm.jsonl"))) {
        EXPECT_EQ(field(line, "status"), "ok") << line;
        EXPECT_TRUE(inputs.insert(field(line, "input")).second) << line;
    }
    EXPECT_EQ(inputs, expected);
    EXPECT_EQ(filesBelow(dir.file("slurm")), expected);

    if (std::system("command -v parallel >/dev/null") == 0) {
        // --sshlogin ':' is this machine; other hosts are named the same way and see the same files.
        const std::string command = inDir + "parallel --pipe -N 3 --sshlogin : '" + std::string(kBatch) +
                                    "' --files-from - --out-dir spread --report-json - --format <list.txt "
                                    ">parallel.jsonl 2>parallel.err";
        EXPECT_EQ(std::system(command.c_str()), 0) << fileText(dir.file("parallel.err"));
        reports.push_back(dir.file("parallel.jsonl"));
        EXPECT_EQ(byInput(lines(reports.back())).size(), listed.size());
        EXPECT_EQ(filesBelow(dir.file("spread")), expected);
    }
    const std::string problems = schemaProblems(reports, dir.file("schema.log"));
    if (problems == "skip") GTEST_SKIP() << "python3-jsonschema is needed to check the report against its schema";
    EXPECT_EQ(problems, "");
}

// Where each output goes, and the command lines that would lose a document or overwrite an input.
TEST(ManyDocuments, OutputsAreNamedSoThatNoneOverwritesAnotherOrAnInput) {
    TempDir dir;
    const fs::path here = fs::current_path();
    fs::current_path(dir.path());
    for (const char* name :
         {"docs/a.docx", "docs/a-new.docx", "docs/sub/b.DOCX", "docs/out/old.docx", "other/a.docx", "c.docx"}) {
        fs::create_directories(fs::path(name).parent_path().empty() ? "." : fs::path(name).parent_path());
        std::ofstream(name) << "x";
    }
    auto plan = [](batch::InputRequest request, const std::string& list = "") {
        std::istringstream input(list);
        batch::InputPlan result;
        const auto problem = batch::planDocuments(request, input, result);
        std::vector<std::string> pairs;
        for (const auto& document : result.documents)
            pairs.push_back(document.input.generic_string() + ">" + document.output.generic_string());
        return problem ? "error: " + *problem : testing::PrintToString(pairs);
    };
    using V = std::vector<std::string>;
    auto request = [](V named, std::optional<std::string> outDir, std::string suffix = "",
                      std::optional<std::string> output = std::nullopt) {
        batch::InputRequest result;
        result.named = std::move(named);
        result.outDir = std::move(outDir);
        result.suffix = std::move(suffix);
        result.output = std::move(output);
        return result;
    };
    batch::InputRequest listed = request({}, "out");
    listed.filesFrom = "-";
    listed.nullSeparated = true;

    // A folder keeps its files' places (without the output folder inside it); a named file, its name;
    // a relative listed path, its place; a path out of the current folder, its name. -0 lists too.
    EXPECT_EQ(plan(request({"docs", "c.docx"}, "out")),
              testing::PrintToString(V{"docs/a-new.docx>out/a-new.docx", "docs/a.docx>out/a.docx",
                                       "docs/out/old.docx>out/out/old.docx", "docs/sub/b.DOCX>out/sub/b.DOCX",
                                       "c.docx>out/c.docx"}));
    EXPECT_EQ(plan(request({"docs"}, "docs/out")).find("docs/out/old.docx"), std::string::npos);
    EXPECT_EQ(plan(listed, std::string("other/a.docx\0../", 16) + dir.path().filename().string() +
                               std::string("/c.docx\0docs/a.docx\0", 20)),
              testing::PrintToString(V{"other/a.docx>out/other/a.docx",
                                       "../" + dir.path().filename().string() + "/c.docx>out/c.docx",
                                       "docs/a.docx>out/docs/a.docx"}));
    // Beside the inputs with a suffix: an input that is another's output is left out, not read while written.
    EXPECT_EQ(plan(request({"docs/a.docx", "docs/a-new.docx"}, std::nullopt, "-new")),
              testing::PrintToString(V{"docs/a.docx>docs/a-new.docx"}));

    EXPECT_NE(plan(request({"docs", "other"}, "out")).find("同一个输出文件"), std::string::npos);
    EXPECT_NE(plan(request({"docs"}, "docs")).find("--in-place"), std::string::npos);
    EXPECT_NE(plan(request({"docs"}, std::nullopt)).find("--out-dir"), std::string::npos);
    EXPECT_NE(plan(request({"docs", "c.docx"}, std::nullopt, "", "x.docx")).find("-o"), std::string::npos);
    fs::current_path(here);
}

// A report line is one valid JSON object whatever the file name holds.
TEST(ManyDocuments, AReportLineEscapesWhatJsonMustAndReplacesBytesThatAreNoText) {
    batch::DocumentResult result;
    result.input = "a\"b\\c\td\x01\xff\xe4\xb8.docx";
    result.output = "报告.docx";
    result.status = batch::DocumentStatus::Refused;
    result.errorNumber = 5174;
    result.error = "无法打开";
    result.record.passedOver.push_back({2, "Table.Rows.Item(1).Select", 5991, "纵向合并"});
    result.record.add("delete-empty-rows", "rows", 2);
    result.record.add("delete-empty-rows", "rows", 1);
    result.messages = "完成\n共删除3行.\n";
    result.seconds = 1.5;
    EXPECT_EQ(batch::reportLine(result),
              "{\"input\":\"a\\\"b\\\\c\\td\\u0001\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD.docx\",\"output\":\"报告.docx\","
              "\"status\":\"refused\",\"changed\":false,\"error\":{\"number\":5174,\"message\":\"无法打开\"},"
              "\"passed_over\":[{\"table\":2,\"operation\":\"Table.Rows.Item(1).Select\",\"number\":5991,"
              "\"message\":\"纵向合并\"}],\"counts\":{\"delete-empty-rows\":{\"rows\":3}},"
              "\"messages\":[\"完成\",\"共删除3行.\"],\"seconds\":1.500}\n");
}

// --in-place over a folder: each file keeps its permissions, and a linked file is changed where it is,
// the link staying a link, as Word's own Save does.
TEST(ManyDocuments, InPlaceOverAFolderKeepsPermissionsAndLinks) {
    TempDir dir;
    fs::create_directories(dir.file("in"));
    gwtest::writeDocx(dir.file("in/private.docx"), gwtest::para("合计 1234567.89 元"));
    fs::permissions(dir.file("in/private.docx"), fs::perms::owner_read | fs::perms::owner_write);
    gwtest::writeDocx(dir.file("elsewhere.docx"), gwtest::para("共 98765.4 元"));
    fs::create_symlink(dir.file("elsewhere.docx"), dir.file("in/linked.docx"));

    const pid_t run = start(kBatch, {dir.file("in").string(), "--in-place", "--thousands", "-j", "2"},
                            dir.file("run.out"), dir.file("run.err"));
    ASSERT_EQ(waitFor(run), 0) << fileText(dir.file("run.err"));
    EXPECT_NE(gwtest::readPart(dir.file("in/private.docx"), "word/document.xml").find("1,234,567.89"),
              std::string::npos);
    EXPECT_EQ(fs::status(dir.file("in/private.docx")).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_TRUE(fs::is_symlink(dir.file("in/linked.docx")));
    EXPECT_NE(gwtest::readPart(dir.file("elsewhere.docx"), "word/document.xml").find("98,765.4"), std::string::npos);
    EXPECT_EQ(filesBelow(dir.path()),
              (std::set<std::string>{"elsewhere.docx", "in/linked.docx", "in/private.docx", "run.err", "run.out"}));
}

// The many-document options are checked before anything starts, with a Chinese reason and status 2.
TEST(ManyDocuments, MistakesInTheManyDocumentOptionsAreUsageErrors) {
    TempDir dir;
    fs::create_directories(dir.file("in"));
    const std::string in = dir.file("in").string(), out = dir.file("out").string();
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{in},                                            // nowhere to save
                                               {in, "--out-dir", out, "-j", "0"},               // no workers
                                               {in, "--out-dir", out, "--timeout", "soon"},     // no number of seconds
                                               {in, "--out-dir", out, "--memory-limit", "-5"},  // no size
                                               {in, "--in-place", "--skip-existing"},           // nothing to compare
                                               {in, "--in-place", "--out-dir", out},            // two places
                                               {in, "-0", "--out-dir", out},                    // -0 without a list
                                               {in, "--out-dir", out, "-q", "-v"}}) {
        batch::BatchApp app(batch::defaultCommands(), [] { return automation::ooxml::createWord(); });
        std::ostringstream output, errors;
        EXPECT_EQ(app.run(args, output, errors), batch::kExitUsage) << testing::PrintToString(args);
        EXPECT_NE(errors.str().find("--help"), std::string::npos) << errors.str();
        EXPECT_EQ(errors.str().find("Expected"), std::string::npos) << errors.str();
    }
    EXPECT_FALSE(fs::exists(out));
}

}  // namespace
