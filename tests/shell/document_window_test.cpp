// The embedded Word's document window: what it shows, where a click puts Word's selection, and the
// file commands with their questions.
#include <QAction>
#include <QTest>
#include <QTextDocument>
#include <QTextTable>

#include <filesystem>

#include "shell_fixture.h"
#include "support/word_fixture.h"

namespace gwtest {
namespace {

class DocumentWindowTest : public ShellTest {
protected:
    QAction* action(const char* name) { return wordWindow()->findChild<QAction*>(QString::fromLatin1(name)); }
    QString shownText() {
        wordWindow()->refresh();
        return wordWindow()->view()->toPlainText();
    }
};

TEST_F(DocumentWindowTest, ShowsTheActiveDocumentAndFollowsChanges) {
    EXPECT_TRUE(shownText().contains(QStringLiteral("没有打开的文档")));
    EXPECT_FALSE(action("actionSave")->isEnabled());
    open(document("显示.docx", para("标题", "<w:jc w:val=\"center\"/>") + borderedTable(2, 3, "T") + para("结尾")));
    const QString text = shownText();
    EXPECT_TRUE(text.contains(QStringLiteral("标题")));
    EXPECT_TRUE(text.contains(QStringLiteral("T2,3")));
    EXPECT_TRUE(text.contains(QStringLiteral("结尾")));
    EXPECT_LT(text.indexOf(QStringLiteral("标题")), text.indexOf(QStringLiteral("T1,1")));
    EXPECT_LT(text.indexOf(QStringLiteral("T2,3")), text.indexOf(QStringLiteral("结尾")));
    EXPECT_TRUE(wordWindow()->windowTitle().startsWith(QStringLiteral("显示.docx")));
    EXPECT_TRUE(action("actionSave")->isEnabled());

    // A change made through Word shows after the window system's next turn.
    word().ActiveDocument()->Tables()->Item(1)->Cell(1, 1)->Range()->Font()->SetName("黑体");
    settle();
    EXPECT_TRUE(wordWindow()->view()->toHtml().contains(QStringLiteral("黑体")));
}

TEST_F(DocumentWindowTest, MergedCellsSpanTheirColumnsAndRows) {
    // 项目 and 比例 are merged down over two rows, 金额 across two columns.
    const std::string down = "<w:vMerge w:val=\"restart\"/>";
    const std::string below = "<w:vMerge/>";
    open(document("合并.docx", tbl(row(cell("项目", down) + cell("金额", "<w:gridSpan w:val=\"2\"/>") + cell("比例", down)) +
                                       row(cell("", below) + cell("2025年") + cell("2024年") + cell("", below)) +
                                       row(cell("收入") + cell("1") + cell("2") + cell("3")),
                                   "", 4) + para("")));
    wordWindow()->refresh();
    QTextTable* shown = nullptr;
    for (QTextBlock b = wordWindow()->view()->document()->begin(); b.isValid() && !shown; b = b.next())
        shown = QTextCursor(b).currentTable();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->columns(), 4);
    EXPECT_EQ(shown->rows(), 3);
    EXPECT_EQ(shown->cellAt(0, 0).rowSpan(), 2);
    EXPECT_EQ(shown->cellAt(0, 1).columnSpan(), 2);
    auto textOf = [&](int r, int c) {
        QTextTableCell cell = shown->cellAt(r, c);
        QTextCursor cursor = cell.firstCursorPosition();
        cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
        return cursor.selectedText();
    };
    EXPECT_EQ(textOf(1, 1), "2025年");
    EXPECT_EQ(textOf(1, 2), "2024年");
    EXPECT_EQ(shown->cellAt(1, 3).rowSpan(), 2);  // still the merged 比例
}

TEST_F(DocumentWindowTest, ClickPutsWordsSelectionIntoTheCell) {
    open(document("点击.docx", para("前") + borderedTable(3, 3, "C") + para("后")));
    wordWindow()->refresh();
    shell::DocumentView* view = wordWindow()->view();
    const QTextCursor found = view->document()->find(QStringLiteral("C3,2"));
    ASSERT_FALSE(found.isNull());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->cursorRect(found).center());
    automation::SelectionPtr selection = word().Selection();
    ASSERT_EQ(selection->Tables()->Count(), 1);
    automation::RangePtr cell = word().ActiveDocument()->Tables()->Item(1)->Cell(3, 2)->Range();
    EXPECT_GE(selection->Start(), cell->Start());
    EXPECT_LT(selection->Start(), cell->End());

    const QTextCursor outside = view->document()->find(QStringLiteral("后"));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->cursorRect(outside).center());
    EXPECT_EQ(word().Selection()->Tables()->Count(), 0);
}

TEST_F(DocumentWindowTest, ClosingWithUnsavedChangesAsksAndLosesNothing) {
    const QString path = document("保存.docx", borderedTable(2, 2, "S") + para(""));
    open(path);
    word().ActiveDocument()->Tables()->Item(1)->Cell(1, 1)->Range()->Font()->SetSize(20);
    ASSERT_FALSE(word().ActiveDocument()->Saved());
    settle();

    // 取消: everything stays.
    saveAnswer = shell::SaveAnswer::Cancel;
    wordWindow()->close();
    settle();
    EXPECT_EQ(saveQuestions, QStringList{"保存.docx"});
    ASSERT_NE(wordWindow(), nullptr);
    EXPECT_TRUE(wordWindow()->isVisible());
    EXPECT_EQ(word().Documents()->Count(), 1);

    // 是: saved, then closed; the last document closed quits this Word.
    saveAnswer = shell::SaveAnswer::Save;
    action("actionClose")->trigger();
    settle();
    EXPECT_EQ(wordWindow(), nullptr);
    EXPECT_THROW(word().Documents()->Count(), automation::Error);
    auto again = automation::ooxml::createWord();
    again->Documents()->Open(path.toStdString());
    EXPECT_FLOAT_EQ(again->ActiveDocument()->Tables()->Item(1)->Cell(1, 1)->Range()->Font()->Size(), 20.0f);
    // And the watch ends Gridwright.
    main().watchTick();
    EXPECT_TRUE(program->isFinished());
}

TEST_F(DocumentWindowTest, DiscardLeavesTheFileAsItWas) {
    const QString path = document("放弃.docx", para("原文"));
    const std::string before = readPart(path.toStdString(), "word/document.xml");
    open(path);
    word().ActiveDocument()->Content()->Font()->SetSize(30);
    saveAnswer = shell::SaveAnswer::Discard;
    wordWindow()->close();
    settle();
    EXPECT_EQ(saveQuestions.size(), 1);
    EXPECT_EQ(wordWindow(), nullptr);
    EXPECT_EQ(readPart(path.toStdString(), "word/document.xml"), before);
}

TEST_F(DocumentWindowTest, SaveAsWritesANewFileAndOpenKeepsTheDocumentOnABadFile) {
    open(document("原.docx", para("内容")));
    word().ActiveDocument()->Content()->Font()->SetSize(16);
    settle();  // the window enables its file commands once it shows the document
    fileToSaveAs = QString::fromStdString(dir.file("另存").string());  // the extension is added
    action("actionSaveAs")->trigger();
    EXPECT_EQ(messages, QStringList());
    EXPECT_TRUE(std::filesystem::exists(dir.file("另存.docx")));
    EXPECT_TRUE(word().ActiveDocument()->Saved());

    const auto bad = dir.file("坏.docx");
    writeZip(bad, {{"x.txt", "x"}});
    fileToOpen = QString::fromStdString(bad.string());
    action("actionOpen")->trigger();
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(word().Documents()->Count(), 1);
    EXPECT_TRUE(shownText().contains(QStringLiteral("内容")));
}

}  // namespace
}  // namespace gwtest
