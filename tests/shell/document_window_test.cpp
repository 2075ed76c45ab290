// The embedded Word's document window: what it shows, where a click puts Word's selection, and the
// file commands with their questions.
#include <QAction>
#include <QTest>
#include <QTextDocument>

#include <filesystem>

#include "shell_fixture.h"

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
