// The windows with Word: start-up, the Open dialog, the document watch, the format run and the other
// commands as one undo record each, single-table mode, WPS Writer and the companion workbook.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "format_run_calls.h"
#include "settings/shell_texts.h"
#include "winshell/single_table_window.h"
#include "winshell/welcome_window.h"
#include "winshell_fixture.h"

using namespace wintest;

namespace {

using Calls = std::vector<std::string>;

// What a 3 x 3 table with all its lines drawn answers.
void oneFramedTable(comtest::WordDouble& server) {
    server.returnInt("Tables.Count", 1);
    server.returnInt("Border.LineStyle", automation::wdLineStyleSingle);
    server.returnInt("Rows.Count", 3);
    server.returnInt("Columns.Count", 3);
}

// "Rows.Height PUT(R4 12)" as the interface's Rows.SetHeight; gets and methods keep their names.
Calls interfaceNames(const Calls& calls) {
    Calls names;
    for (const std::string& call : calls) {
        const auto space = call.find(' ');
        std::string name = call.substr(0, space);
        if (call.compare(space + 1, 3, "PUT") == 0) name.insert(name.find('.') + 1, "Set");
        names.push_back(name);
    }
    return names;
}

Calls listedFormatRunCalls() {
    std::istringstream list(kFormatRunCalls);
    Calls calls;
    for (std::string line; std::getline(list, line);)
        if (!line.empty() && line.front() != '#') calls.push_back(line);
    return calls;
}

class WordTest : public WinshellTest {};

TEST_F(WordTest, StartUpShowsWordAndTheWelcomeWindowWhichOpensThroughWordsDialog) {
    EXPECT_EQ((Calls(server.calls().begin(), server.calls().begin() + 2)),
              (Calls{"Application.Visible PUT(BOOL -1)", "Application.Activate METHOD()"}));
    winshell::WelcomeWindow* welcome = main->welcomeWindow();
    ASSERT_NE(welcome, nullptr);
    EXPECT_TRUE(welcome->visible());
    EXPECT_TRUE(main->visible());
    EXPECT_EQ(winshell::windowText(welcome->hwnd()), settings::kWelcomeCaption);
    ASSERT_EQ(welcome->lines().size(), settings::kWelcomeInstructions.size() + 1);
    for (size_t i = 0; i < settings::kWelcomeInstructions.size(); ++i)
        EXPECT_EQ(winshell::windowText(welcome->lines()[i]), settings::kWelcomeInstructions[i]);
    EXPECT_EQ(winshell::windowText(welcome->lines().back()), winshell::drivenProgramLine("Word.Application"));

    // Its close box only closes it; its open button hides it and shows Word's own Open dialog.
    SendMessageW(welcome->hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(welcome->visible());
    EXPECT_FALSE(main->hasEnded());
    server.clearCalls();
    click(welcome->openButton());
    EXPECT_EQ(server.calls(),
              (Calls{"Application.Dialogs GET()", "Dialogs.Item METHOD(I4 80)", "Dialog.Show METHOD()"}));
    EXPECT_TRUE(messages.empty());

    click(welcome->exitButton());
    EXPECT_TRUE(main->hasEnded());
    EXPECT_FALSE(main->visible());
    EXPECT_EQ(count("Application.Quit"), 0);  // Word stays
}

TEST_F(WordTest, AWordThatCannotBeBroughtForwardGivesOneMessageAndNoWelcome) {
    main.reset();
    server.on("Application.Activate", comtest::raises(462));
    start();
    EXPECT_EQ(messages, Calls{std::string(settings::kWordLostMessage)});
    EXPECT_EQ(main->welcomeWindow(), nullptr);
    EXPECT_EQ(main->formatSettings(), settings::defaultFormatSettings(settings::NumberLocale{}));
    EXPECT_FALSE(main->hasEnded());
}

TEST_F(WordTest, DocumentWatchBringsTheWindowForwardOnceAndEndsWhenWordGoes) {
    tick(winshell::kDocumentWatchTimer);  // no document yet
    EXPECT_FALSE(main->documentSeen());

    ShowWindow(main->hwnd(), SW_HIDE);
    server.returnInt("Documents.Count", 1);
    server.returnInt("Tables.Count", 4);
    tick(winshell::kDocumentWatchTimer);
    EXPECT_TRUE(main->visible());

    // A second document does not bring the window forward.
    ShowWindow(main->hwnd(), SW_HIDE);
    server.returnInt("Documents.Count", 2);
    tick(winshell::kDocumentWatchTimer);
    EXPECT_FALSE(main->visible());

    // A Word busy with a dialog of its own turns the call down: it is still there.
    server.on("Documents.Count", comtest::fails(RPC_E_CALL_REJECTED));
    tick(winshell::kDocumentWatchTimer);
    EXPECT_FALSE(main->hasEnded());

    // Word gone: the next tick ends the program, silently.
    server.on("Application.Documents", comtest::fails(RPC_E_DISCONNECTED));
    tick(winshell::kDocumentWatchTimer);
    EXPECT_TRUE(main->hasEnded());
    EXPECT_FALSE(main->welcomeWindow()->visible());
    EXPECT_TRUE(messages.empty());
}

TEST_F(WordTest, StartMakesTheQtWindowsCallsInsideOneUndoRecord) {
    oneFramedTable(server);
    // A number Word cannot take is reported with its label before Word is called at all.
    server.clearCalls();
    winshell::setWindowText(main->control(settings::Field::RowHeightCm), "abc");
    click(control("Command1"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("“abc”"), std::string::npos) << messages[0];
    EXPECT_TRUE(server.calls().empty());
    winshell::setWindowText(main->control(settings::Field::RowHeightCm), std::string(settings::kUnchanged));
    messages.clear();

    server.clearCalls();
    click(control("Command1"));
    EXPECT_EQ(messages, Calls{"完成"});
    EXPECT_TRUE(main->visible());
    EXPECT_EQ(server.calls().front(), "Application.UndoRecord GET()");
    EXPECT_EQ(server.calls()[1], "UndoRecord.StartCustomRecord METHOD(BSTR 排版)");
    EXPECT_EQ(server.calls().back(), "UndoRecord.EndCustomRecord METHOD()");
    // tests/data/format_run_calls.txt is what the engine makes on the embedded Word and what the Qt
    // window's "开   始" makes (tests/shell holds that side).
    EXPECT_EQ(interfaceNames(callsBetween("UndoRecord.StartCustomRecord", "UndoRecord.EndCustomRecord")),
              listedFormatRunCalls());
}

TEST_F(WordTest, EveryCommandIsOneUndoRecordAndRunsWithoutOneWhereWordHasNone) {
    const std::vector<std::pair<const char*, std::string>> buttons = {
        {"Command1", "排版"},     {"Command3", "转换内嵌表格"}, {"Command6", "整理表格"},
        {"Command9", "删除空行"}, {"Command11", "取消链接"},    {"Command10", "正文排版"}};
    oneFramedTable(server);
    server.returnInt("Documents.Count", 1);
    server.returnInt("Paragraphs.Count", 2);
    std::vector<Calls> recorded;
    for (const auto& [button, name] : buttons) {
        server.clearCalls();
        click(control(button));
        ASSERT_GE(server.calls().size(), 3u) << button;
        EXPECT_EQ(server.calls()[1], "UndoRecord.StartCustomRecord METHOD(BSTR " + name + ")");
        EXPECT_EQ(server.calls().back(), "UndoRecord.EndCustomRecord METHOD()") << button;
        recorded.push_back(callsBetween("UndoRecord.StartCustomRecord", "UndoRecord.EndCustomRecord"));
        EXPECT_FALSE(recorded.back().empty()) << button;
    }

    // Word 2007 and WPS have no UndoRecord: every command makes the same calls as it did inside one.
    server.lacks("Application.UndoRecord");
    for (size_t i = 0; i < buttons.size(); ++i) {
        server.clearCalls();
        click(control(buttons[i].first));
        Calls calls;
        for (const std::string& call : server.calls())
            if (call.rfind("Application.UndoRecord", 0) != 0) calls.push_back(call);
        EXPECT_EQ(calls, recorded[i]) << buttons[i].first;
    }
}

TEST_F(WordTest, SingleTableWindowIsTopmostAndItsOkMakesOnePassOverTheSelection) {
    oneFramedTable(server);
    HWND entry = control("CommandSingleTable");
    EXPECT_EQ(main->tooltipOf(entry), "点击进入按以上设置对一个表进行操作界面");
    click(entry);
    winshell::SingleTableWindow* single = main->singleTableWindow();
    ASSERT_NE(single, nullptr);
    EXPECT_FALSE(main->visible());
    EXPECT_TRUE(single->visible());
    EXPECT_TRUE(GetWindowLongW(single->hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(winshell::windowText(single->hwnd()), settings::kSingleTableCaption);
    EXPECT_EQ(single->tooltipOf(single->okButton()), settings::kSingleTableOkTooltip);
    RECT client{};
    GetClientRect(single->hwnd(), &client);
    EXPECT_EQ(client.right, main->dpi().px(settings::kSingleTableClientWidthTwips));
    EXPECT_EQ(client.bottom, main->dpi().px(settings::kSingleTableClientHeightTwips));

    for (int pass = 1; pass <= 2; ++pass) {
        server.clearCalls();
        messages.clear();
        click(single->okButton());
        EXPECT_EQ(messages, Calls{"完成"});
        EXPECT_EQ(server.calls()[1], "UndoRecord.StartCustomRecord METHOD(BSTR 排版所选表格)");
        // One pass over the table that holds the selection: its six edges once, no table counted or selected.
        EXPECT_EQ(count("Border.LineStyle PUT"), 6);
        EXPECT_EQ(count("Tables.Count"), 0);
        EXPECT_EQ(count("Table.Select"), 0);
        EXPECT_TRUE(main->visible());
        EXPECT_TRUE(single->visible());
    }

    click(single->returnButton());
    EXPECT_FALSE(single->visible());
    EXPECT_TRUE(main->visible());
    click(entry);
    EXPECT_TRUE(GetWindowLongW(single->hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    SendMessageW(single->hwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(main->hasEnded());
}

TEST_F(WordTest, WpsWriterIsDrivenWhenOnlyItsServerIsThere) {
    main.reset();
    server.install({"KWPS.Application"});
    start();
    // The first Word was SetUp's; this time Word's own ProgID was not there.
    EXPECT_EQ(server.creations(), (Calls{"Word.Application", "KWPS.Application"}));
    ASSERT_NE(main->welcomeWindow(), nullptr);
    EXPECT_EQ(winshell::windowText(main->welcomeWindow()->lines().back()),
              winshell::drivenProgramLine("KWPS.Application"));
    EXPECT_NE(winshell::drivenProgramLine("KWPS.Application").find("WPS 文字"), std::string::npos);
    main.reset();

    // No server at all: one message names every ProgID tried.
    server.install({});
    try {
        automation::com::createDesktopWord();
        ADD_FAILURE() << "a Word was created";
    } catch (const automation::Error& error) {
        for (const char* progId : automation::com::kDesktopWordProgIds)
            EXPECT_NE(error.message().find(progId), std::string::npos) << error.message();
    }
    server.install();
    start();
}

TEST_F(WordTest, CompanionWorkbookOpensInANewVisibleExcelOrSaysWhereItLooked) {
    const auto& controls = settings::panelControls();
    const auto separators = std::find_if(controls.begin(), controls.end(), [](const settings::ControlSpec& c) {
        return c.labelAction == settings::LabelAction::OpenCompanionWorkbook;
    });
    HWND label = main->panelWindows().labels[static_cast<size_t>(separators - controls.begin())];
    const std::string path = winshell::utf8(winshell::programFolder()) + "\\2Brindle2012dll.xls";

    server.clearCalls();
    press(label);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("查找的位置：" + path), std::string::npos) << messages[0];
    EXPECT_EQ(count("Excel."), 0);

    std::ofstream(std::filesystem::path(winshell::wide(path))) << "workbook";
    messages.clear();
    press(label);
    DeleteFileW(winshell::wide(path).c_str());
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(server.calls(),
              (Calls{"Excel.Application.Workbooks GET()", "Excel.Workbooks.Open METHOD(BSTR " + path + ")",
                     "Excel.Application.Visible PUT(BOOL -1)"}));
    EXPECT_EQ(SendMessageW(control("Check4"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

}  // namespace
