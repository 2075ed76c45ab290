// "开   始" of "文档内嵌excel表格": embedded Excel 97-2003 worksheets become Word tables, ten attempts a run.
#include <gtest/gtest.h>

#include "automation/ooxml/application.h"
#include "support/fault_word.h"
#include "support/recording_host.h"
#include "support/sheet_docs.h"
#include "support/word_fixture.h"
#include "utilities/utilities.h"

using namespace gwtest;

namespace {

// Excel that refuses to be reached from the nth attach on (Excel closed under the command).
class VanishingExcel : public automation::excel::Launcher {
public:
    VanishingExcel(std::shared_ptr<automation::excel::Launcher> real, int failFrom)
        : real_(std::move(real)), failFrom_(failFrom) {}
    automation::excel::ApplicationPtr attachRunning() override {
        if (++calls_ >= failFrom_) throw automation::errors::cannotCreateObject();
        return real_->attachRunning();
    }
    automation::excel::ApplicationPtr createNew() override { return real_->createNew(); }

private:
    std::shared_ptr<automation::excel::Launcher> real_;
    int failFrom_;
    int calls_ = 0;
};

class EmbeddedSheets : public WordTest {
protected:
    void SetUp() override {
        if (sampleWorkbooks().empty()) GTEST_SKIP() << "/usr/bin/python3 with xlwt is needed to write the workbooks";
        sheet = fileBytes(sampleWorkbooks() / "two_sheets.xls");
        numbers = fileBytes(sampleWorkbooks() / "numbers.xls");
    }
    utilities::SheetConversionResult convert() { return utilities::convertEmbeddedSheets(*word, *word->excel(), host); }
    std::string workbook(const std::string& name) { return fileBytes(sampleWorkbooks() / name); }
    static std::vector<utilities::SheetProblem> problems(const utilities::SheetConversionResult& result) {
        std::vector<utilities::SheetProblem> list;
        for (const auto& o : result.objects) list.push_back(o.problem);
        return list;
    }
    int shapes() { return word->ActiveDocument()->InlineShapes()->Count(); }
    int tables() { return word->ActiveDocument()->Tables()->Count(); }
    std::string firstCell(int table) {
        return word->ActiveDocument()->Tables()->Item(table)->Cell(1, 1)->Range()->Text();
    }

    RecordingHost host;
    std::string sheet;
    std::string numbers;
};

TEST_F(EmbeddedSheets, WithoutInlineShapesOnlyTheNoticeShowsAndWordBecomesVisible) {
    open(SheetDocument().text("正文").docx());
    const auto result = convert();
    EXPECT_EQ(host.messages, std::vector<std::string>{utilities::kEmbeddedSheetsNotice});
    EXPECT_EQ(result.count, 0);
    EXPECT_TRUE(word->Visible());
    EXPECT_TRUE(word->ActiveDocument()->Saved());
}

TEST_F(EmbeddedSheets, WithoutADocumentTheNoDocumentMessageFollowsTheNotice) {
    const auto result = convert();
    EXPECT_TRUE(result.noDocument);
    EXPECT_EQ(host.messages,
              (std::vector<std::string>{utilities::kEmbeddedSheetsNotice, utilities::kNoDocumentMessage}));
    EXPECT_FALSE(word->Visible());
}

TEST_F(EmbeddedSheets, ThreeLeadingSheetsBecomeTablesInOrderInOneRun) {
    open(SheetDocument().object(numbers).text("中间").object(sheet).object(numbers).docx());
    EXPECT_EQ(convert().count, 3);
    EXPECT_EQ(shapes(), 0);
    ASSERT_EQ(tables(), 3);
    EXPECT_EQ(firstCell(1), "项目\r\a");
    EXPECT_EQ(firstCell(2), "第一张表\r\a");
    EXPECT_EQ(firstCell(3), "项目\r\a");
    EXPECT_TRUE(word->Visible());
}

TEST_F(EmbeddedSheets, TwelveSheetsNeedTwoRuns) {
    SheetDocument doc;
    for (int i = 0; i < 12; ++i) doc.object(sheet);
    open(doc.docx());
    EXPECT_EQ(convert().count, 10);
    EXPECT_EQ(shapes(), 2);
    EXPECT_EQ(tables(), 10);
    EXPECT_EQ(convert().count, 2);
    EXPECT_EQ(shapes(), 0);
    EXPECT_EQ(tables(), 12);
    // The notice on each run, and the closing count.
    EXPECT_EQ(host.messages, (std::vector<std::string>{utilities::kEmbeddedSheetsNotice,
                                                       "已转换 10 个。\n还有 2 个嵌入的 Excel 工作表留待下次运行。",
                                                       utilities::kEmbeddedSheetsNotice, "已转换 2 个。"}));
}

TEST_F(EmbeddedSheets, PicturesAndOtherObjectsAreSteppedPastAndLeftAsTheyAre) {
    open(SheetDocument()
             .picture()
             .object(sheet, "Excel.Sheet.12")
             .object(sheet)
             .object(sheet, "Word.Document.8")
             .object(sheet)
             .docx());
    EXPECT_EQ(convert().count, 2);
    auto inlineShapes = word->ActiveDocument()->InlineShapes();
    ASSERT_EQ(inlineShapes->Count(), 3);
    EXPECT_EQ(inlineShapes->Item(1)->Type(), automation::wdInlineShapePicture);
    EXPECT_EQ(inlineShapes->Item(2)->OLEFormat()->ProgID(), "Excel.Sheet.12");
    EXPECT_EQ(inlineShapes->Item(3)->OLEFormat()->ProgID(), "Word.Document.8");
    EXPECT_EQ(tables(), 2);
}

// Floating worksheets and text boxes (positioned absolutely or relatively) are Word's Shapes, not its
// InlineShapes: the run neither converts them nor spends attempts on them.
TEST_F(EmbeddedSheets, FloatingWorksheetsAndTextBoxesAreLeftAlone) {
    open(SheetDocument()
             .floatingObject(numbers)
             .floatingTextBox("文本框甲")
             .floatingTextBox("文本框乙", "relative")
             .floatingObject(numbers, "relative")
             .object(sheet)
             .docx());
    EXPECT_EQ(shapes(), 1);
    const auto result = convert();
    EXPECT_EQ(result.count, 1);
    EXPECT_EQ(result.objects.size(), 1u);
    ASSERT_EQ(tables(), 1);
    EXPECT_EQ(firstCell(1), "第一张表\r\a");
    Xml xml(savedMainPart());
    EXPECT_EQ(xml.count("//w:object"), 2u);
    EXPECT_EQ(xml.count("//w:txbxContent"), 2u);
}

TEST_F(EmbeddedSheets, EveryShapeLookedAtCountsAsAnAttempt) {
    SheetDocument doc;
    doc.picture();
    for (int i = 0; i < 10; ++i) doc.object(sheet);
    open(doc.docx());
    EXPECT_EQ(convert().count, 9);
    EXPECT_EQ(shapes(), 2);  // the picture and the tenth sheet
}

TEST_F(EmbeddedSheets, AFailedConversionLeavesTheObjectAndPastesNothing) {
    std::string broken = numbers;
    broken.resize(broken.size() / 3);
    open(SheetDocument().object(broken).object(sheet).object(numbers).docx());
    // The first object cannot be read; the third meets an Excel that has gone after the second.
    VanishingExcel excel(word->excel(), 2);
    const auto result = utilities::convertEmbeddedSheets(*word, excel, host);
    EXPECT_EQ(result.count, 1);
    EXPECT_EQ(result.passedOver, 2);
    EXPECT_EQ(shapes(), 2);
    ASSERT_EQ(tables(), 1);
    EXPECT_EQ(firstCell(1), "第一张表\r\a");  // the second sheet's range was not pasted again
    using utilities::SheetProblem;
    EXPECT_EQ(problems(result), (std::vector{SheetProblem::Damaged, SheetProblem::None, SheetProblem::Failed}));
    EXPECT_EQ(result.objects[2].reason, "连接 Excel失败：ActiveX 部件不能创建对象。");
    ASSERT_EQ(result.objects[2].failedSteps.size(), 1u);
    EXPECT_EQ(result.objects[2].failedSteps[0].operation, "GetObject");
}

// Every embedded object left in the document is told with its reason in the closing count, the
// reasons told apart; pictures are no embedded objects and go unmentioned.
TEST_F(EmbeddedSheets, EveryObjectLeftIsToldWithItsReason) {
    std::string broken = numbers;
    broken.resize(broken.size() / 3);
    open(SheetDocument()
             .object(workbook("encrypted.xls"))
             .object(workbook("excel95.xls"))
             .picture()
             .object(broken)
             .object(workbook("huge.xls"))
             .object(sheet, "Excel.Sheet.12")
             .object(numbers)
             .docx());
    const auto result = convert();
    using utilities::SheetProblem;
    EXPECT_EQ(problems(result), (std::vector{SheetProblem::Encrypted, SheetProblem::OldVersion, SheetProblem::Damaged,
                                             SheetProblem::TooLarge, SheetProblem::NotWorksheet, SheetProblem::None}));
    EXPECT_EQ(result.count, 1);
    EXPECT_EQ(shapes(), 6);
    ASSERT_EQ(host.messages.size(), 2u);
    const std::string& summary = host.messages[1];
    EXPECT_EQ(summary.substr(0, summary.find('\n')), "已转换 1 个，未能转换 5 个：");
    for (const char* line : {"\n第 1 个嵌入对象：工作簿已加密，需要密码才能打开\n",
                             "\n第 2 个嵌入对象：工作簿是 Excel 5.0/95 格式（较早的 Excel 版本），无法读取\n",
                             "\n第 3 个嵌入对象：工作簿已损坏（", "\n第 4 个嵌入对象：要复制的区域有 65536 行 21 列，",
                             "\n第 5 个嵌入对象：不是 Excel 97-2003 工作表（Excel.Sheet.12）"})
        EXPECT_NE(summary.find(line), std::string::npos) << line;
    const std::string report = utilities::sheetConversionReport(result);
    for (const char* line : {"第 1 个嵌入对象（Excel.Sheet.8）：未转换，工作簿已加密", "  OLEFormat.Edit（错误 1004：",
                             "第 6 个嵌入对象（Excel.Sheet.8）：已转换\n"})
        EXPECT_NE(report.find(line), std::string::npos) << line;
}

// Real Word pastes at its selection, wherever opening the object left it: a paste that leaves the
// object in place is no conversion, and the run does not paste it again.
TEST_F(EmbeddedSheets, APasteThatLeavesTheObjectIsNoConversion) {
    open(SheetDocument().object(numbers).picture().docx());
    auto plan = std::make_shared<FaultPlan>();
    plan->after("OLEFormat.Edit", [&] { word->ActiveDocument()->InlineShapes()->Item(2)->Range()->Select(); });
    auto faulty = faultyWord(word, plan);
    const auto result = utilities::convertEmbeddedSheets(*faulty, *word->excel(), host);
    EXPECT_EQ(result.count, 0);
    ASSERT_EQ(result.objects.size(), 1u);
    EXPECT_EQ(result.objects[0].problem, utilities::SheetProblem::NotReplaced);
    EXPECT_EQ(plan->callCount("Selection.PasteAndFormat"), 1);
    ASSERT_EQ(shapes(), 1);  // the worksheet; the picture under the selection gave way to the table
    EXPECT_EQ(word->ActiveDocument()->InlineShapes()->Item(1)->OLEFormat()->ProgID(), "Excel.Sheet.8");
    EXPECT_EQ(host.messages.back(), "已转换 0 个，未能转换 1 个：\n第 1 个嵌入对象：" + result.objects[0].reason);
}

TEST_F(EmbeddedSheets, AFailingWordStepIsPassedOver) {
    open(SheetDocument().object(sheet).object(numbers).docx());
    auto plan = std::make_shared<FaultPlan>();
    plan->failOn("Selection.PasteAndFormat", 1, automation::errors::CommandFailed, "命令失败。");
    plan->failOn("Application.SetVisible", 1, 462, "远程服务器不存在或不可用。");
    auto faulty = faultyWord(word, plan);
    const auto result = utilities::convertEmbeddedSheets(*faulty, *word->excel(), host);
    EXPECT_EQ(result.count, 1);
    EXPECT_EQ(result.passedOver, 2);
    EXPECT_EQ(shapes(), 1);
    EXPECT_EQ(firstCell(1), "项目\r\a");
    EXPECT_EQ(plan->callsOf({"OLEFormat.Edit", "Selection.PasteAndFormat", "Application.SetVisible"}),
              (std::vector<std::string>{"OLEFormat.Edit", "Selection.PasteAndFormat", "OLEFormat.Edit",
                                        "Selection.PasteAndFormat", "Application.SetVisible"}));
}

}  // namespace
