// Single-table mode and the format run started from the windows.
#include <QTest>

#include <QRadioButton>

#include "shell/picker_window.h"
#include "shell/single_table_window.h"
#include "shell/twips.h"
#include "shell_fixture.h"
#include "utilities/utilities.h"

namespace gwtest {
namespace {

// Whether the run centred the title row of this table.
bool titleCentred(automation::Application& word, int table) {
    return word.ActiveDocument()->Tables()->Item(table)->Cell(1, 1)->Range()->ParagraphFormat()->Alignment() ==
           automation::wdAlignParagraphCenter;
}

int leftBorder(automation::Application& word, int table) {
    return word.ActiveDocument()->Tables()->Item(table)->Borders()->Item(automation::wdBorderLeft)->LineStyle();
}

// Word's insertion point in cell (row, column) of table number table, as a click there leaves it.
void clickInto(automation::Application& word, int table, int row, int column) {
    word.ActiveDocument()->Tables()->Item(table)->Cell(row, column)->Select();
    auto cell = word.ActiveDocument()->Tables()->Item(table)->Cell(row, column)->Range();
    word.ActiveDocument()->Range(cell->Start(), cell->Start())->Select();
}

class SingleTableTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        open(document("两表.docx", para("前言") + borderedTable(3, 2, "A") + para("中间") + borderedTable(3, 2, "B") +
                                       para("结尾")));
        main().watchTick();
        settle();
        // The next run centres the title rows and removes the left and right lines, which shows which
        // table it touched.
        combo("Combo9")->setEditText(QStringLiteral("居中"));
        main().openPicker();
        QTest::mouseClick(main().pickerWindow()->option(QStringLiteral("Option20")), Qt::LeftButton);
        main().pickerWindow()->close();
        settle();
    }
};

TEST_F(SingleTableTest, OkFormatsOnlyTheTableThatHoldsTheSelection) {
    QTest::mouseClick(button("CommandSingleTable"), Qt::LeftButton);
    shell::SingleTableWindow* small = main().singleTableWindow();
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(small->objectName(), "Form1");
    EXPECT_EQ(small->windowTitle(), "选中一个表设置");
    EXPECT_TRUE(small->isVisible());
    EXPECT_FALSE(main().isVisible());
    EXPECT_TRUE(small->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(small->windowFlags() & Qt::WindowMaximizeButtonHint);
    const shell::Twips twips = shell::Twips::ofScreen();
    EXPECT_EQ(small->size(), QSize(twips.x(3264), twips.y(588)));
    EXPECT_EQ(small->okButton()->text(), "确 定");
    EXPECT_EQ(small->okButton()->toolTip(), "先选中一个表格");
    EXPECT_EQ(small->returnButton()->text(), "返 回");
    EXPECT_LT(small->okButton()->x(), small->returnButton()->x());

    // The user clicks into the second table.
    clickInto(word(), 2, 2, 1);
    EXPECT_EQ(word().Selection()->Tables()->Count(), 1);

    QTest::mouseClick(small->okButton(), Qt::LeftButton);
    EXPECT_EQ(messages, QStringList{"完成"});
    EXPECT_FALSE(titleCentred(word(), 1));
    EXPECT_TRUE(titleCentred(word(), 2));
    EXPECT_EQ(leftBorder(word(), 1), automation::wdLineStyleSingle);
    EXPECT_TRUE(main().isVisible());
    EXPECT_TRUE(small->isVisible());

    // Again, after clicking into the first table: one more pass, over that one.
    settle();
    clickInto(word(), 1, 1, 2);
    QTest::mouseClick(small->okButton(), Qt::LeftButton);
    EXPECT_EQ(messages.size(), 2);
    EXPECT_TRUE(titleCentred(word(), 1));

    // Selecting the whole table (a click on the page, or the table panel) makes the run draw the
    // lines of the whole table.
    settle();
    wordWindow()->selectTableNumber(2);
    auto second = word().ActiveDocument()->Tables()->Item(2)->Range();
    EXPECT_EQ(word().Selection()->Start(), second->Start());
    EXPECT_EQ(word().Selection()->End(), second->End());
    QTest::mouseClick(small->okButton(), Qt::LeftButton);
    EXPECT_EQ(messages.size(), 3);
    EXPECT_EQ(leftBorder(word(), 2), automation::wdLineStyleNone);

    // "返 回" hides the small window; the next entry shows the same one.
    QTest::mouseClick(small->returnButton(), Qt::LeftButton);
    EXPECT_FALSE(small->isVisible());
    EXPECT_TRUE(main().isVisible());
    main().enterSingleTableMode();
    EXPECT_EQ(main().singleTableWindow(), small);
    EXPECT_TRUE(small->isVisible());
}

TEST_F(SingleTableTest, StartButtonWhileSmallWindowIsShownAlsoDoesOneTable) {
    main().enterSingleTableMode();
    word().ActiveDocument()->Tables()->Item(1)->Cell(2, 2)->Select();
    QTest::mouseClick(button("Command1"), Qt::LeftButton);
    EXPECT_EQ(messages, QStringList{"完成"});
    EXPECT_TRUE(titleCentred(word(), 1));
    EXPECT_FALSE(titleCentred(word(), 2));
}

TEST_F(SingleTableTest, StartButtonFormatsEveryTable) {
    EXPECT_EQ(button("Command1")->text(), "开   始");
    QTest::mouseClick(button("Command1"), Qt::LeftButton);
    EXPECT_EQ(messages, QStringList{"完成"});
    EXPECT_EQ(leftBorder(word(), 1), automation::wdLineStyleNone);
    EXPECT_EQ(leftBorder(word(), 2), automation::wdLineStyleNone);
    EXPECT_TRUE(titleCentred(word(), 1));
    EXPECT_TRUE(titleCentred(word(), 2));
    EXPECT_TRUE(main().isVisible());
}

// A number that is none, or one Word would refuse, is refused before the command starts, with the
// message the command line gives; the document is not touched.
TEST_F(SingleTableTest, BadNumbersStopTheCommandBeforeAnyChange) {
    struct Case {
        const char* list;
        const char* text;
        const char* button;
        const char* message;
    };
    for (const Case& bad :
         {Case{"Combo8", "abc", "Command1", "“行    高”中的“abc”不是有效的数字。"},
          Case{"Combo8", "-1", "Command1", "“行    高”中的“-1”超出了 Word 能接受的范围（0 至 55.88 厘米）。"},
          Case{"Combo13", "1e9", "Command1", "“指定宽度”中的“1e9”超出了 Word 能接受的范围（0 至 55.88 厘米）。"},
          Case{"Combo15", "-1", "Command10", "“段    前”中的“-1”超出了 Word 能接受的范围（0 至 132 行）。"}}) {
        SCOPED_TRACE(bad.text);
        messages.clear();
        const QString before = combo(bad.list)->currentText();
        combo(bad.list)->setEditText(QString::fromUtf8(bad.text));
        QTest::mouseClick(button(bad.button), Qt::LeftButton);
        EXPECT_EQ(messages, QStringList{QString::fromUtf8(bad.message)});
        EXPECT_TRUE(word().ActiveDocument()->Saved());
        EXPECT_TRUE(main().isVisible());
        combo(bad.list)->setEditText(before);
    }
    EXPECT_NE(leftBorder(word(), 1), automation::wdLineStyleNone);
    EXPECT_FALSE(titleCentred(word(), 1));
}

TEST_F(SingleTableTest, ClosingTheSmallWindowEndsTheProgram) {
    main().enterSingleTableMode();
    main().singleTableWindow()->close();
    settle();
    EXPECT_TRUE(main().hasEnded());
    EXPECT_FALSE(main().isVisible());
    EXPECT_EQ(word().Documents()->Count(), 1);
    ASSERT_NE(wordWindow(), nullptr);
    EXPECT_TRUE(wordWindow()->isVisible());
}

TEST_F(SingleTableTest, EmbeddedSheetButtonShowsTheNoticeAndLeavesADocumentWithoutObjects) {
    const std::string before = word().ActiveDocument()->Content()->Text();
    QTest::mouseClick(button("Command3"), Qt::LeftButton);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QString::fromUtf8(utilities::kEmbeddedSheetsNotice));
    EXPECT_EQ(word().ActiveDocument()->Content()->Text(), before);
    EXPECT_TRUE(word().ActiveDocument()->Saved());
}

}  // namespace
}  // namespace gwtest

namespace gwtest {
namespace {

TEST_F(ShellTest, OtherButtonsRunTheirCommandsOnTheOpenDocument) {
    // A table whose last row is blank and whose last column is empty.
    const std::string cellXml = "<w:tc><w:tcPr><w:tcW w:w=\"1500\" w:type=\"dxa\"/></w:tcPr>";
    std::string rows;
    for (int r = 1; r <= 4; ++r) {
        rows += "<w:tr>";
        for (int c = 1; c <= 3; ++c) {
            const bool blank = r == 4 || c == 3;
            rows += cellXml + para(blank ? "" : std::to_string(r) + "," + std::to_string(c)) + "</w:tc>";
        }
        rows += "</w:tr>";
    }
    const std::string body = para("正文") +
                             "<w:tbl><w:tblPr/><w:tblGrid><w:gridCol w:w=\"1500\"/><w:gridCol w:w=\"1500\"/>"
                             "<w:gridCol w:w=\"1500\"/></w:tblGrid>" +
                             rows + "</w:tbl>" + para("");
    open(document("命令.docx", body));
    main().toggleWidth();

    QTest::mouseClick(button("Command6"), Qt::LeftButton);  // 整理表格: no message
    EXPECT_TRUE(messages.isEmpty());
    automation::TablePtr table = word().ActiveDocument()->Tables()->Item(1);
    EXPECT_EQ(table->Columns()->Count(), 2);
    EXPECT_EQ(table->Rows()->Count(), 3);

    QTest::mouseClick(button("Command9"), Qt::LeftButton);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("完成")));
    EXPECT_TRUE(main().isVisible());

    QTest::mouseClick(button("Command11"), Qt::LeftButton);
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[1], "完成! 共删除0处链接.");

    combo("Combo17")->setEditText(QStringLiteral("小四"));
    QTest::mouseClick(button("Command10"), Qt::LeftButton);
    ASSERT_GE(messages.size(), 3);
    EXPECT_EQ(messages.back(), "完成！");
    EXPECT_FLOAT_EQ(word().ActiveDocument()->Paragraphs()->Item(1)->Range()->Font()->Size(), 12.0f);
}

}  // namespace
}  // namespace gwtest
