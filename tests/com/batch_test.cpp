// gridwright-batch on Windows: the user's Word through COM opens the input, the commands run, SaveAs
// keeps the input's format, and the Word the tool started quits on every way out.
#include "com_test_fixture.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "backend/word_start.h"
#include "batch/batch_app.h"

using namespace comtest;

namespace {

class BatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        server.install();
        std::ofstream(input) << "not read by the tool: Word opens it";
    }
    void TearDown() override {
        std::filesystem::remove(input);
        EXPECT_EQ(server.liveObjects(), 0);
    }

    int run(const std::vector<std::string>& args) {
        std::vector<batch::WordChoice> words;
        for (backend::WordKind kind : backend::availableKinds())
            words.push_back({backend::nameOf(kind), [kind] { return backend::startWord(kind); }});
        batch::BatchApp app(batch::defaultCommands(), std::move(words));
        return app.run(args, out, err);
    }

    // The calls whose member is one of these, in order.
    std::vector<std::string> callsOf(const std::vector<std::string>& prefixes) const {
        std::vector<std::string> picked;
        for (const std::string& call : server.calls())
            for (const std::string& prefix : prefixes)
                if (call.rfind(prefix, 0) == 0) picked.push_back(call);
        return picked;
    }

    const std::filesystem::path input = std::filesystem::path(u8"输入.doc");
    WordDouble server;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(BatchTest, OpensRunsSavesInTheInputsFormatAndQuits) {
    server.returnInt("Document.SaveFormat", 0);  // wdFormatDocument
    ASSERT_EQ(run({"输入.doc", "-o", "输出.doc", "--format"}), batch::kExitOk) << err.str();
    const auto calls = callsOf({"Documents.Open", "Document.SaveAs", "Document.Close", "Application.Quit"});
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_NE(calls[0].find("\\输入.doc, BOOL 0, missing, BOOL 0)"), std::string::npos) << calls[0];
    EXPECT_NE(calls[1].find(":\\"), std::string::npos) << calls[1];
    EXPECT_NE(calls[1].find("\\输出.doc, I4 0)"), std::string::npos) << calls[1];
    EXPECT_EQ(calls[2], "Document.Close METHOD(I4 0)");
    EXPECT_EQ(calls[3], "Application.Quit METHOD(I4 0)");
    EXPECT_NE(out.str().find("已保存"), std::string::npos);
}

TEST_F(BatchTest, AFailureStillQuitsWordAndSavesNothing) {
    server.on("Documents.Open", raises(5174));
    EXPECT_EQ(run({"输入.doc", "-o", "输出.doc", "--format"}), batch::kExitFailed);
    EXPECT_TRUE(callsOf({"Document.SaveAs"}).empty());
    EXPECT_EQ(callsOf({"Application.Quit"}), std::vector<std::string>{"Application.Quit METHOD(I4 0)"});
    EXPECT_NE(err.str().find("错误 5174"), std::string::npos) << err.str();
}

TEST_F(BatchTest, WithoutWordTheToolSaysSo) {
    server.uninstall();
    EXPECT_EQ(run({"输入.doc", "-o", "输出.doc"}), batch::kExitFailed);
    EXPECT_NE(err.str().find("无法启动 Word"), std::string::npos) << err.str();
}

}  // namespace
