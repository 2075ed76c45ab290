// Failures of Word reach the commands as automation::Error with Word's numbers; values cross the COM
// boundary intact; every object handed out is released exactly once.
#include "com_test_fixture.h"

#include "automation/com/com_error.h"
#include "automation/com/message_filter.h"

using namespace comtest;
using namespace automation;

namespace {

class ErrorsTest : public ComTest {};

TEST_F(ErrorsTest, WordsRefusalKeepsItsNumberAndText) {
    server.on("Rows.Item", raises(5991));
    RowsPtr rows = word->ActiveDocument()->Tables()->Item(1)->Rows();
    try {
        rows->Item(1);
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), errors::VerticallyMerged);
        EXPECT_EQ(error.message(), "无法访问此集合中单独的行，因为表格有纵向合并的单元格。");
    }
    for (long number : {5941L, 5992L, 4248L, 4605L, 4608L, 5560L, 5825L}) {
        server.on("Table.Cell", raises(number));
        EXPECT_EQ(errorNumber([&] { word->ActiveDocument()->Tables()->Item(1)->Cell(9, 9); }), number);
    }
}

TEST_F(ErrorsTest, AServerThatWentAwayIs462) {
    for (HRESULT gone : {RPC_E_DISCONNECTED, RPC_E_SERVER_DIED, RPC_E_SERVER_DIED_DNE, CO_E_OBJNOTCONNECTED,
                         HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE), HRESULT_FROM_WIN32(RPC_S_CALL_FAILED)}) {
        server.on("Documents.Count", fails(gone));
        EXPECT_EQ(errorNumber([&] { word->Documents()->Count(); }), errors::ServerGone) << std::hex << gone;
    }
}

TEST_F(ErrorsTest, OtherFailuresCarryTheirNumberAndASystemText) {
    server.on("Document.Save", fails(E_ACCESSDENIED));
    try {
        word->ActiveDocument()->Save();
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), static_cast<long>(E_ACCESSDENIED));
        EXPECT_NE(error.message().find("0x80070005"), std::string::npos) << error.message();
    }
    server.on("Document.Close", fails(DISP_E_TYPEMISMATCH));
    EXPECT_EQ(errorNumber([&] { word->ActiveDocument()->Close(); }), 13);
}

TEST_F(ErrorsTest, ABusyWordIsAskedAgainUntilItAnswers) {
    server.on("Application.Visible", busy(2));
    server.clearCalls();
    EXPECT_NO_THROW(word->SetVisible(true));
    EXPECT_EQ(server.calls(), std::vector<std::string>{"Application.Visible PUT(BOOL -1)"});
}

TEST(BusyRetry, RetriesEveryStepForFiveSecondsThenGivesUp) {
    using namespace automation::com;
    EXPECT_EQ(busyRetryDelay(0), kBusyRetryStepMs);
    EXPECT_EQ(busyRetryDelay(kBusyRetryLimitMs - 1), kBusyRetryStepMs);
    EXPECT_EQ(busyRetryDelay(kBusyRetryLimitMs), static_cast<DWORD>(-1));

    MessageFilter* filter = new MessageFilter;
    EXPECT_EQ(filter->RetryRejectedCall(nullptr, 200, SERVERCALL_RETRYLATER), kBusyRetryStepMs);
    EXPECT_EQ(filter->RetryRejectedCall(nullptr, 6000, SERVERCALL_RETRYLATER), static_cast<DWORD>(-1));
    EXPECT_EQ(filter->RetryRejectedCall(nullptr, 0, SERVERCALL_REJECTED), static_cast<DWORD>(-1));
    EXPECT_EQ(filter->Release(), 0u);
}

TEST_F(ErrorsTest, TextAndNumbersCrossTheBoundaryIntact) {
    server.returnString("Range.Text", "表格 1：收入（万元）😀");
    EXPECT_EQ(word->ActiveDocument()->Content()->Text(), "表格 1：收入（万元）😀");
    server.returnString("Font.Name", "");
    EXPECT_EQ(word->Selection()->Font()->Name(), "");

    server.on("Font.Size", answers([](VARIANT* v) {
                  v->vt = VT_R4;
                  v->fltVal = 10.5f;
              }));
    EXPECT_FLOAT_EQ(word->Selection()->Font()->Size(), 10.5f);
    server.returnInt("Border.LineStyle", wdUndefined);
    EXPECT_EQ(word->Selection()->Borders()->Item(wdBorderTop)->LineStyle(), wdUndefined);

    // Word answers flags as Boolean (-1) or as Long (-1, 0, wdUndefined).
    server.on("Application.Visible", answers([](VARIANT* v) {
                  v->vt = VT_BOOL;
                  v->boolVal = VARIANT_TRUE;
              }));
    EXPECT_TRUE(word->Visible());
    server.returnInt("ParagraphFormat.SpaceBeforeAuto", 0);
    EXPECT_FALSE(word->Selection()->ParagraphFormat()->SpaceBeforeAuto());
    server.returnInt("ParagraphFormat.WordWrap", -1);
    EXPECT_TRUE(word->Selection()->ParagraphFormat()->WordWrap());

    // A value Word cannot give as the type asked for is a type mismatch, not a made-up number.
    server.returnString("Rows.Count", "很多");
    EXPECT_EQ(errorNumber([&] { word->Selection()->Rows()->Count(); }), 13);
}

TEST_F(ErrorsTest, MemberIdsAreLookedUpOncePerObjectType) {
    TablesPtr tables = word->ActiveDocument()->Tables();
    tables->Count();
    const int before = server.nameLookups();
    word->Selection()->Tables()->Count();
    tables->Count();
    EXPECT_EQ(server.nameLookups(), before);
}

TEST_F(ErrorsTest, EveryObjectIsReleasedExactlyOnce) {
    {
        DocumentPtr document = word->ActiveDocument();
        TablePtr table = document->Tables()->Item(1);
        TablePtr copy = table;
        table->Cell(1, 1)->Range()->Font()->SetSize(9.0f);
        table->Rows()->Item(1)->Cells()->Item(1);
        EXPECT_GT(server.liveObjects(), 1);
    }
    EXPECT_EQ(server.liveObjects(), 1);  // the Application the test holds
    server.on("Table.Cell", raises(5941));
    EXPECT_EQ(errorNumber([&] { word->ActiveDocument()->Tables()->Item(1)->Cell(1, 1); }), 5941);
    EXPECT_EQ(server.liveObjects(), 1);  // a failed call leaks nothing
}

TEST(StartWord, WithoutWordSaysSoInChinese) {
    WordDouble server;
    server.install();
    server.uninstall();
    try {
        automation::com::createWord();
        FAIL() << "Word started";
    } catch (const Error& error) {
        EXPECT_EQ(error.message().rfind("无法启动 Word", 0), 0u) << error.message();
    }
}

}  // namespace
