// gridwright-batch on real .docx files through the embedded Word.
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "automation/error.h"
#include "automation/ooxml/application.h"
#include "batch/batch_app.h"
#include "support/docx_builder.h"
#include "support/libreoffice.h"

namespace {

namespace fs = std::filesystem;
using gwtest::TempDir;

const fs::path kSample = fs::path(GRIDWRIGHT_SOURCE_DIR) / "examples" / "sample-report.docx";
const fs::path kCorpus = fs::path(GRIDWRIGHT_CORPUS_DIR);

struct Result {
    int status;
    std::string out;
    std::string err;
};

Result runBatch(const std::vector<std::string>& args, batch::CommandRegistry commands = batch::defaultCommands()) {
    batch::BatchApp app(std::move(commands), [] { return automation::ooxml::createWord(); });
    std::ostringstream out, err;
    const int status = app.run(args, out, err);
    return {status, out.str(), err.str()};
}

std::string fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeBytes(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// An XML part as markup, without its declaration or formatting, so that equal content compares equal.
std::string canonicalXml(const std::string& bytes) {
    pugi::xml_document doc;
    if (!doc.load_buffer(bytes.data(), bytes.size())) return bytes;
    std::ostringstream text;
    doc.save(text, "", pugi::format_raw | pugi::format_no_declaration);
    return text.str();
}

bool isXmlPart(const std::string& name) { return name.ends_with(".xml") || name.ends_with(".rels"); }

// Some text that holds in every message of the tool: it is Chinese (any CJK character).
bool hasChinese(const std::string& text) {
    // The UTF-8 lead bytes 0xE4..0xE9 start the common CJK block U+4E00..U+9FFF.
    for (unsigned char c : text)
        if (c >= 0xE4 && c <= 0xE9) return true;
    return false;
}

TEST(BatchFiles, RefusesToOverwriteItsInput) {
    TempDir dir;
    const fs::path input = dir.file("报告.docx");
    fs::copy_file(kSample, input);
    const std::string before = fileBytes(input);
    fs::create_directory(dir.file("sub"));

    const std::vector<std::string> sameFile = {
        input.string(),
        (dir.path() / "sub" / ".." / "报告.docx").string(),
    };
    for (const auto& output : sameFile) {
        const Result result = runBatch({input.string(), "-o", output});
        EXPECT_EQ(result.status, batch::kExitUsage) << output;
        EXPECT_NE(result.err.find("--in-place"), std::string::npos) << result.err;
        EXPECT_TRUE(hasChinese(result.err)) << result.err;
    }
    // A hard link is the same file under another name.
    fs::create_hard_link(input, dir.file("link.docx"));
    EXPECT_EQ(runBatch({dir.file("link.docx").string(), "-o", input.string()}).status, batch::kExitUsage);

    // Without -o and without --in-place there is nowhere to save.
    const Result noOutput = runBatch({input.string()});
    EXPECT_EQ(noOutput.status, batch::kExitUsage);
    EXPECT_TRUE(hasChinese(noOutput.err)) << noOutput.err;

    EXPECT_EQ(fileBytes(input), before);
}

TEST(BatchFiles, InPlaceSavesIntoTheInput) {
    TempDir dir;
    const fs::path input = dir.file("in.docx");
    fs::copy_file(kSample, input);
    const auto before = gwtest::readAllParts(input);

    Result result = runBatch({input.string(), "--in-place"});
    ASSERT_EQ(result.status, batch::kExitOk) << result.err;
    EXPECT_TRUE(hasChinese(result.out)) << result.out;
    EXPECT_EQ(gwtest::readAllParts(input).size(), before.size());
    EXPECT_EQ(canonicalXml(gwtest::readPart(input, "word/document.xml")), canonicalXml(before.at("word/document.xml")));

    // -o may repeat the input with --in-place, but not name another file.
    EXPECT_EQ(runBatch({input.string(), "--in-place", "-o", input.string()}).status, batch::kExitOk);
    result = runBatch({input.string(), "--in-place", "-o", dir.file("other.docx").string()});
    EXPECT_EQ(result.status, batch::kExitUsage);
    EXPECT_FALSE(fs::exists(dir.file("other.docx")));
}

TEST(BatchFiles, OverwritesAnOutputThatIsNotTheInput) {
    TempDir dir;
    const fs::path output = dir.file("out.docx");
    writeBytes(output, "old contents");
    const Result result = runBatch({kSample.string(), "-o", output.string()});
    ASSERT_EQ(result.status, batch::kExitOk) << result.err;
    EXPECT_NO_THROW(gwtest::readPart(output, "word/document.xml"));
}

TEST(BatchFiles, BadInputFailsInChineseAndWritesNothing) {
    TempDir dir;
    writeBytes(dir.file("text.docx"), "这不是一个 Word 文档");
    gwtest::writeZip(dir.file("empty-zip.docx"), {{"readme.txt", "no parts"}});
    fs::create_directory(dir.file("folder.docx"));

    const std::vector<fs::path> inputs = {
        dir.file("missing.docx"),
        dir.file("text.docx"),
        dir.file("empty-zip.docx"),
        dir.file("folder.docx"),
    };
    for (const auto& input : inputs) {
        const fs::path output = dir.file("result.docx");
        const Result result = runBatch({input.string(), "-o", output.string()});
        EXPECT_EQ(result.status, batch::kExitFailed) << input;
        EXPECT_TRUE(hasChinese(result.err)) << input << ": " << result.err;
        // The message names the file once, not once from Word and again from the command line.
        const std::string name = input.filename().string();
        const auto first = result.err.find(name);
        EXPECT_NE(first, std::string::npos) << result.err;
        EXPECT_EQ(result.err.find(name, first + name.size()), std::string::npos) << result.err;
        EXPECT_FALSE(fs::exists(output)) << input;
    }
    EXPECT_EQ(fileBytes(dir.file("text.docx")), "这不是一个 Word 文档");

    const Result noFolder = runBatch({kSample.string(), "-o", dir.file("no/such/folder/x.docx").string()});
    EXPECT_EQ(noFolder.status, batch::kExitFailed);
    EXPECT_TRUE(hasChinese(noFolder.err)) << noFolder.err;
}

TEST(BatchCommandLine, HelpAndMistakesAreInChinese) {
    Result help = runBatch({"--help"});
    EXPECT_EQ(help.status, batch::kExitOk);
    EXPECT_NE(help.out.find("用法"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("--in-place"), std::string::npos) << help.out;
    EXPECT_EQ(help.out.find("Usage"), std::string::npos) << help.out;
    EXPECT_EQ(help.out.find("Print this help"), std::string::npos) << help.out;

    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {}, {"--no-such-option"}, {kSample.string(), "-o"}, {"a.docx", "b.docx", "-o", "c.docx"}}) {
        const Result result = runBatch(args);
        EXPECT_EQ(result.status, batch::kExitUsage);
        EXPECT_TRUE(hasChinese(result.err)) << result.err;
        EXPECT_EQ(result.err.find("Expected"), std::string::npos) << result.err;
        EXPECT_EQ(result.err.find("not expected"), std::string::npos) << result.err;
    }
}

// Commands that note when they ran, to see the order and the values the tool hands them.
batch::CommandRegistry recordingCommands(std::vector<std::string>& log) {
    batch::CommandRegistry registry;
    registry.add({"first", "记录", "", [&log](batch::CommandContext& c, const std::string&) {
                      log.push_back("first:" + std::to_string(c.document->Tables()->Count()));
                  }});
    registry.add({"second", "记录", "值",
                  [&log](batch::CommandContext&, const std::string& value) { log.push_back("second=" + value); }});
    registry.add({"fail", "失败", "", [](batch::CommandContext&, const std::string&) {
                      throw automation::Error(automation::errors::NotAvailable, "此命令无法执行。");
                  }});
    return registry;
}

TEST(BatchCommandLine, RunsCommandsInTheOrderGiven) {
    TempDir dir;
    std::vector<std::string> log;
    const Result result = runBatch(
        {"--second", "a", kSample.string(), "--first", "--second=b", "-o", dir.file("o.docx").string(), "--first"},
        recordingCommands(log));
    ASSERT_EQ(result.status, batch::kExitOk) << result.err;
    EXPECT_EQ(log, (std::vector<std::string>{"second=a", "first:4", "second=b", "first:4"}));

    const Result help = runBatch({"--help"}, recordingCommands(log));
    EXPECT_NE(help.out.find("--second"), std::string::npos) << help.out;
}

TEST(BatchCommandLine, AFailingCommandSavesNothing) {
    TempDir dir;
    const fs::path input = dir.file("in.docx");
    fs::copy_file(kSample, input);
    const std::string before = fileBytes(input);
    std::vector<std::string> log;

    Result result = runBatch({input.string(), "--first", "--fail", "--first", "-o", dir.file("o.docx").string()},
                             recordingCommands(log));
    EXPECT_EQ(result.status, batch::kExitFailed);
    EXPECT_NE(result.err.find("此命令无法执行。"), std::string::npos) << result.err;
    EXPECT_EQ(log.size(), 1u);
    EXPECT_FALSE(fs::exists(dir.file("o.docx")));

    result = runBatch({input.string(), "--fail", "--in-place"}, recordingCommands(log));
    EXPECT_EQ(result.status, batch::kExitFailed);
    EXPECT_EQ(fileBytes(input), before);
}

// A plain open and save keeps every part of the package.
class BatchRoundTrip : public testing::TestWithParam<fs::path> {};

TEST_P(BatchRoundTrip, KeepsEveryPart) {
    const fs::path input = GetParam();
    if (!fs::exists(input)) GTEST_SKIP() << input << " is not here";
    TempDir dir;
    const fs::path output = dir.file("out.docx");
    const Result result = runBatch({input.string(), "-o", output.string()});
    ASSERT_EQ(result.status, batch::kExitOk) << result.err;

    const auto before = gwtest::readAllParts(input);
    const auto after = gwtest::readAllParts(output);
    for (const auto& [name, bytes] : before) {
        const auto saved = after.find(name);
        ASSERT_NE(saved, after.end()) << name << " was lost";
        if (name == "docProps/core.xml") continue;  // may carry the time of saving
        if (isXmlPart(name))
            EXPECT_EQ(canonicalXml(saved->second), canonicalXml(bytes)) << name;
        else
            EXPECT_EQ(saved->second, bytes) << name;
    }
    for (const auto& [name, bytes] : after) EXPECT_TRUE(before.contains(name)) << name << " was added";
}

INSTANTIATE_TEST_SUITE_P(Documents, BatchRoundTrip,
                         testing::Values(kSample, kCorpus / "tbl-having-tables.docx", kCorpus / "having-images.docx",
                                         kCorpus / "zh-report-lo.docx"));

TEST(BatchLibreOffice, SampleOpensAfterOpenAndSave) {
    if (!gwtest::libreOfficeAvailable()) GTEST_SKIP() << "LibreOffice is not installed";
    TempDir dir;
    const fs::path output = dir.file("sample-report-out.docx");
    const Result result = runBatch({kSample.string(), "-o", output.string()});
    ASSERT_EQ(result.status, batch::kExitOk) << result.err;
    gwtest::expectOpensInLibreOffice(output);
}

}  // namespace
