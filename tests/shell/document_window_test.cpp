// The embedded Word's document window without its pages: the table panel, undo and redo, several
// documents, and the file commands with their questions.
#include <QAction>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabBar>
#include <QTest>

#include <QScrollBar>
#include <QWheelEvent>

#include <filesystem>
#include <fstream>

#include "settings/controls.h"
#include "settings/settings_file.h"
#include "shell/page_view.h"
#include "shell/panel_settings.h"
#include "shell/picker_window.h"
#include "shell/recent_files.h"
#include "shell/single_table_window.h"
#include "shell_fixture.h"
#include "support/fault_word.h"
#include "support/sheet_docs.h"
#include "support/word_fixture.h"

namespace gwtest {
namespace {

class DocumentWindowTest : public ShellTest {
protected:
    QAction* action(const char* name) { return wordWindow()->findChild<QAction*>(QString::fromLatin1(name)); }
    QStringList panelLines() {
        wordWindow()->refresh();
        QStringList lines;
        const QAbstractItemModel& list = *wordWindow()->tableList();
        for (int i = 0; i < list.rowCount(); ++i) lines << list.index(i, 0).data().toString();
        return lines;
    }
    QString status() { return wordWindow()->stateText(); }
    // The document's parts as a copy written now holds them.
    std::map<std::string, std::string> parts() {
        const auto path = dir.file("copy-" + std::to_string(++copies) + ".docx");
        program->documents()->saveCopy(path.string());
        return readAllParts(path);
    }
    // One command as the main window runs it: a font size for the first table's first cell.
    void sizeCommand(float size) {
        wordWindow()->commandStarted(QStringLiteral("字号"));
        word().ActiveDocument()->Tables()->Item(1)->Cell(1, 1)->Range()->Font()->SetSize(size);
        wordWindow()->commandEnded();
    }
    float firstCellSize() { return word().ActiveDocument()->Tables()->Item(1)->Cell(1, 1)->Range()->Font()->Size(); }
    int copies = 0;
};

TEST_F(DocumentWindowTest, TablePanelListsEveryTableAndSelectsOnClick) {
    EXPECT_TRUE(wordWindow()->pageView()->notice().contains(QStringLiteral("没有打开的文档")));
    EXPECT_FALSE(action("actionSave")->isEnabled());
    open(document("表格.docx",
                  para("标题") + borderedTable(2, 3, "T") + para("中间") + table(3, 2, "", "N") + para("")));
    EXPECT_EQ(panelLines(), (QStringList{"1  2×3  T1,1 | T1,2 | T1,3", "2  3×2  N1,1 | N1,2  无线条"}));
    EXPECT_TRUE(wordWindow()->windowTitle().startsWith(QStringLiteral("表格.docx")));
    EXPECT_TRUE(action("actionSave")->isEnabled());

    QListView* panel = wordWindow()->tablePanel();
    QTest::mouseClick(panel->viewport(), Qt::LeftButton, {}, panel->visualRect(panel->model()->index(1, 0)).center());
    auto second = word().ActiveDocument()->Tables()->Item(2)->Range();
    EXPECT_EQ(word().Selection()->Start(), second->Start());
    EXPECT_EQ(word().Selection()->End(), second->End());
    settle();
    EXPECT_EQ(wordWindow()->pageView()->selectedTable(), 2);
    EXPECT_TRUE(status().contains(QStringLiteral("已选定整个表格")));

    // A change through Word shows in the panel after the window system's next turn.
    word().ActiveDocument()->Tables()->Item(1)->Rows()->Item(1)->Delete();
    settle();
    EXPECT_EQ(panelLines().first(), "1  1×3  T2,1 | T2,2 | T2,3");
}

TEST_F(DocumentWindowTest, UndoAndRedoTakeWholeCommandsBackToTheSavedState) {
    open(document("撤销.docx", borderedTable(2, 2, "U") + para("")));
    settle();
    const auto original = parts();
    EXPECT_FALSE(action("actionUndo")->isEnabled());

    // A real format run is one step named after it, taken back part for part, byte for byte.
    combo("Combo9")->setEditText(QStringLiteral("居中"));
    main().startFormatRun();
    settle();
    const auto formatted = parts();
    ASSERT_NE(formatted, original);
    EXPECT_EQ(action("actionUndo")->text(), "撤销 排版");
    // Qt's modified mark in the title and the tab, and the note in the status bar, outlast a menu
    // opened and closed again.
    QMenu* fileMenu = wordWindow()->menuBar()->actions().first()->menu();
    fileMenu->popup(QPoint(10, 10));
    QTest::keyClick(fileMenu, Qt::Key_Down);
    fileMenu->hide();
    settle();
    EXPECT_TRUE(wordWindow()->isWindowModified());
    EXPECT_TRUE(wordWindow()->windowTitle().startsWith(QStringLiteral("撤销.docx[*]")));
    EXPECT_EQ(wordWindow()->tabs()->tabText(0), "撤销.docx *");
    EXPECT_TRUE(status().contains(QStringLiteral("有未保存的更改")));
    action("actionUndo")->trigger();
    EXPECT_EQ(parts(), original);
    EXPECT_TRUE(word().ActiveDocument()->Saved());  // back at what the file holds
    EXPECT_FALSE(wordWindow()->isWindowModified());
    EXPECT_EQ(wordWindow()->tabs()->tabText(0), "撤销.docx");
    EXPECT_FALSE(status().contains(QStringLiteral("有未保存的更改")));
    EXPECT_EQ(action("actionRedo")->text(), "重做 排版");
    action("actionRedo")->trigger();
    EXPECT_EQ(parts(), formatted);
    EXPECT_FALSE(word().ActiveDocument()->Saved());

    // More than twenty steps, all the way back; a command that changes nothing leaves none.
    for (int i = 1; i <= 24; ++i) sizeCommand(10.0f + i);
    sizeCommand(34.0f);
    for (int i = 24; i >= 1; --i) {
        ASSERT_FLOAT_EQ(firstCellSize(), 10.0f + i);
        action("actionUndo")->trigger();
    }
    EXPECT_EQ(parts(), formatted);
    action("actionUndo")->trigger();
    EXPECT_EQ(parts(), original);
    EXPECT_FALSE(action("actionUndo")->isEnabled());

    // Saving marks the state the file holds; a new command after an undo drops the redo steps.
    action("actionRedo")->trigger();
    action("actionRedo")->trigger();
    action("actionSave")->trigger();
    EXPECT_FALSE(status().contains(QStringLiteral("有未保存的更改")));
    action("actionUndo")->trigger();
    EXPECT_FALSE(word().ActiveDocument()->Saved());
    sizeCommand(40.0f);
    EXPECT_FALSE(action("actionRedo")->isEnabled());
    action("actionUndo")->trigger();
    action("actionRedo")->trigger();
    EXPECT_FLOAT_EQ(firstCellSize(), 40.0f);
}

TEST_F(DocumentWindowTest, UndoOfEachCommandGivesThePackageBackPartForPart) {
    if (sampleWorkbooks().empty()) GTEST_SKIP() << "/usr/bin/python3 with xlwt is needed to write the workbooks";
    // No styles part, an embedded worksheet with its picture, and two tables.
    SheetDocument built;
    built.text("  正文  ").object(fileBytes(sampleWorkbooks() / "numbers.xls")).table(borderedTable(3, 3, "T"));
    built.table(table(2, 2, "", "E"));
    DocxSpec package = built.docx();
    ASSERT_TRUE(package.styles.empty());
    const auto path = dir.file("每个命令.docx");
    writeDocx(path, package);
    open(QString::fromStdString(path.string()));
    settle();
    const auto original = parts();
    ASSERT_EQ(original.count("word/styles.xml"), 0u);

    const std::vector<std::pair<const char*, std::function<void()>>> commands = {
        {"排版", [&] { main().startFormatRun(); }},          {"正文排版", [&] { main().formatBodyText(); }},
        {"整理表格", [&] { main().tidyTables(); }},          {"删除空行", [&] { main().removeEmptyRows(); }},
        {"取消链接", [&] { main().removeExternalLinks(); }}, {"转换内嵌表格", [&] { main().convertEmbeddedSheets(); }},
    };
    for (const auto& [name, run] : commands) {
        run();
        settle();
        if (parts() == original) continue;  // nothing to take back
        ASSERT_EQ(action("actionUndo")->text(), QStringLiteral("撤销 ") + QString::fromUtf8(name));
        action("actionUndo")->trigger();
        const auto back = parts();
        for (const auto& [part, bytes] : original)
            EXPECT_EQ(back.count(part) ? back.at(part) : "(missing)", bytes) << name << " " << part;
        for (const auto& [part, bytes] : back) EXPECT_EQ(original.count(part), 1u) << name << " left " << part;
    }
}

TEST_F(DocumentWindowTest, TablesWhereWordRefusedAStepAreMarkedUntilTheNextCommand) {
    // The main window works through a Word that refuses the second and fifth row height it is asked for.
    auto plan = std::make_shared<FaultPlan>();
    program.reset();
    backend::HostedWord backend = backend::startHostedWord();
    backend.word = faultyWord(backend.word, plan);
    program = std::make_unique<shell::Program>(backend);
    plan->failOn("Rows.SetHeight", 2);
    plan->failOn("Rows.SetHeight", 5);
    const std::string body =
        borderedTable(3, 3, "A") + para("") + borderedTable(3, 3, "B") + para("") + borderedTable(3, 3, "C") + para("");
    open(document("拒绝.docx", body));
    combo("Combo8")->setEditText(QStringLiteral("0.50"));
    const auto marked = [&] {
        QList<int> tables;
        const QStringList lines = panelLines();
        for (int i = 0; i < lines.size(); ++i)
            if (lines.at(i).startsWith(QStringLiteral("%1  3×3  行高未设置  ").arg(i + 1))) tables << i + 1;
        return tables;
    };

    main().startFormatRun();
    settle();
    EXPECT_EQ(messages, QStringList{"完成"});
    EXPECT_EQ(marked(), QList<int>{2});
    const QAbstractItemModel& list = *wordWindow()->tableList();
    EXPECT_TRUE(list.index(1, 0).data(Qt::ToolTipRole).toString().contains(QStringLiteral("纵向合并")));
    EXPECT_TRUE(list.index(0, 0).data(Qt::ToolTipRole).toString().isEmpty());

    // Undo and redo take the marks away: they describe a run, not the state shown.
    action("actionUndo")->trigger();
    EXPECT_EQ(marked(), QList<int>());
    action("actionRedo")->trigger();
    EXPECT_EQ(marked(), QList<int>());

    // They belong to the document the run worked on, and the next command clears them.
    main().startFormatRun();
    settle();
    EXPECT_EQ(marked(), QList<int>{2});
    ASSERT_TRUE(wordWindow()->openPath(document("另一个.docx", body)));
    settle();
    EXPECT_EQ(marked(), QList<int>());
    wordWindow()->tabs()->setCurrentIndex(0);
    settle();
    EXPECT_EQ(marked(), QList<int>{2});
    main().removeEmptyRows();
    settle();
    EXPECT_EQ(marked(), QList<int>());
    EXPECT_TRUE(wordWindow()->tableList()->notes().empty());
}

TEST_F(DocumentWindowTest, EveryOpenDocumentHasItsTabAndTheMainWindowWorksOnTheActiveOne) {
    const QString first = document("甲.docx", borderedTable(2, 2, "A") + para(""));
    const QString second = document("乙.docx", borderedTable(3, 3, "B") + para(""));
    open(first);
    ASSERT_TRUE(wordWindow()->openPath(second));
    settle();
    QTabBar* tabs = wordWindow()->tabs();
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), "甲.docx");
    EXPECT_EQ(tabs->tabText(1), "乙.docx");
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_TRUE(wordWindow()->windowTitle().startsWith(QStringLiteral("乙.docx")));

    tabs->setCurrentIndex(0);
    settle();
    EXPECT_TRUE(word().ActiveDocument()->FullName().ends_with("甲.docx"));
    EXPECT_EQ(panelLines().first(), "1  2×2  A1,1 | A1,2");
    // Undo belongs to the document it was done on.
    sizeCommand(20.0f);
    tabs->setCurrentIndex(1);
    settle();
    EXPECT_FALSE(action("actionUndo")->isEnabled());
    tabs->setCurrentIndex(0);
    settle();
    EXPECT_TRUE(action("actionUndo")->isEnabled());

    // Closing the changed one asks about it alone; the other stays open.
    saveAnswer = shell::SaveAnswer::Discard;
    action("actionClose")->trigger();
    settle();
    EXPECT_EQ(saveQuestions, QStringList{"甲.docx"});
    EXPECT_EQ(tabs->count(), 1);
    EXPECT_TRUE(word().ActiveDocument()->FullName().ends_with("乙.docx"));
}

TEST_F(DocumentWindowTest, RecentFilesKeepTheLastEightOpenedTheNewestFirst) {
    QSettings().remove(QString::fromLatin1(shell::recent::kSettingsKey));
    const auto recentMenu = [&] {
        QMenu* menu = wordWindow()->findChild<QMenu*>();
        for (QMenu* m : wordWindow()->findChildren<QMenu*>())
            if (m->title().startsWith(QStringLiteral("最近打开的文件"))) menu = m;
        emit menu->aboutToShow();
        return menu;
    };
    EXPECT_FALSE(recentMenu()->actions().at(0)->isEnabled());  // （无）

    QStringList paths;
    for (int i = 1; i <= 10; ++i) {
        paths.prepend(document("最近" + std::to_string(i) + ".docx", para("第" + std::to_string(i) + "个")));
        ASSERT_TRUE(wordWindow()->openPath(paths.first()));
        settle();
    }
    // Kept where the next start of the program finds it.
    EXPECT_EQ(QSettings().value(QString::fromLatin1(shell::recent::kSettingsKey)).toStringList(), paths.mid(0, 8));
    QMenu* menu = recentMenu();
    ASSERT_EQ(menu->actions().size(), 8);
    EXPECT_EQ(menu->actions().at(0)->text(), "最近10.docx");
    EXPECT_EQ(menu->actions().at(7)->text(), "最近3.docx");

    const auto entry = [&](const char* name) -> QAction* {
        for (QAction* a : recentMenu()->actions())
            if (a->text() == QString::fromUtf8(name)) return a;
        return nullptr;
    };

    // Saving under a new name puts that name first; opening one again moves it to the top.
    fileToSaveAs = QString::fromStdString(dir.file("新名.docx").string());
    action("actionSaveAs")->trigger();
    EXPECT_EQ(shell::recent::files().first(), fileToSaveAs);
    for (int i = word().Documents()->Count(); i >= 1; --i)
        word().Documents()->Item(i)->Close(automation::wdDoNotSaveChanges);
    settle();
    ASSERT_NE(entry("最近4.docx"), nullptr);
    entry("最近4.docx")->trigger();
    settle();
    EXPECT_TRUE(word().ActiveDocument()->FullName().ends_with("最近4.docx"));
    EXPECT_EQ(shell::recent::files().first(), paths.at(6));
    EXPECT_EQ(shell::recent::files().size(), 8);

    // A file deleted since is reported and leaves the list; nothing else changes.
    std::filesystem::remove(paths.at(1).toStdString());
    ASSERT_NE(entry("最近9.docx"), nullptr);
    entry("最近9.docx")->trigger();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.first().startsWith(QStringLiteral("找不到文件"))) << messages.first().toStdString();
    EXPECT_EQ(word().Documents()->Count(), 1);
    EXPECT_FALSE(shell::recent::files().contains(paths.at(1)));
    EXPECT_EQ(shell::recent::files().size(), 7);
}

TEST_F(DocumentWindowTest, ZoomFitsTheWidthShowsActualSizeAndFollowsCtrlWheel) {
    shell::PageView& view = *wordWindow()->pageView();
    wordWindow()->resize(900, 700);
    wordWindow()->show();
    settle();
    QSignalSpy wanted(&view, &shell::PageView::pageWanted);
    const QRect a4(0, 0, 11906, 16838);  // twips
    view.setPages({a4, a4.translated(0, 17000)});
    settle();
    // Fit width: the page fills the view's width less its margins, whatever the view's width.
    ASSERT_TRUE(view.fitsWidth());
    const auto pageWidthPixels = [&] { return view.viewportPoint(a4.topRight()).x() - view.viewportPoint({}).x(); };
    EXPECT_NEAR(pageWidthPixels(), view.viewport()->width() - 24, 2);
    ASSERT_FALSE(wanted.isEmpty());
    EXPECT_NEAR(wanted.last().at(1).toInt(), view.viewport()->width() - 24, 2);
    wordWindow()->resize(1100, 700);
    settle();
    EXPECT_NEAR(pageWidthPixels(), view.viewport()->width() - 24, 2);

    // 100 %: 96 pixels an inch, shown in the status bar.
    const auto zoomShown = [&] {
        for (QLabel* label : wordWindow()->statusBar()->findChildren<QLabel*>())
            if (label->text().endsWith('%')) return label->text();
        return QString();
    };
    action("actionActualSize")->trigger();
    settle();
    EXPECT_EQ(view.zoomPercent(), 100);
    EXPECT_NEAR(pageWidthPixels(), 11906 / 15, 1);
    EXPECT_EQ(zoomShown(), "100%");

    // Ctrl+wheel: a notch is 10 %; small touchpad steps add up to a notch; the plain wheel scrolls.
    const auto wheel = [&](int delta, Qt::KeyboardModifiers modifiers) {
        const QPointF at = view.viewport()->rect().center();
        QWheelEvent event(at, view.viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(view.viewport(), &event);
    };
    wheel(120, Qt::ControlModifier);
    EXPECT_EQ(view.zoomPercent(), 110);
    EXPECT_NEAR(pageWidthPixels(), 11906 * 1.1 / 15, 1);
    for (int i = 0; i < 4; ++i) wheel(-60, Qt::ControlModifier);
    EXPECT_EQ(view.zoomPercent(), 90);
    wheel(-40, Qt::ControlModifier);
    EXPECT_EQ(view.zoomPercent(), 90);
    settle();
    EXPECT_EQ(zoomShown(), "90%");
    const int scrolled = view.verticalScrollBar()->value();
    wheel(-120, Qt::NoModifier);
    EXPECT_EQ(view.zoomPercent(), 90);
    EXPECT_GT(view.verticalScrollBar()->value(), scrolled);
    for (int i = 0; i < 40; ++i) wheel(-120, Qt::ControlModifier);
    EXPECT_EQ(view.zoomPercent(), 20);  // the smallest

    action("actionFitWidth")->trigger();
    EXPECT_TRUE(view.fitsWidth());
    EXPECT_NEAR(pageWidthPixels(), view.viewport()->width() - 24, 2);
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

    // 是: saved, then closed. The last document closed leaves the window empty and the program going;
    // the panel comes back from 窗口 › 排版面板 even after it was ended.
    saveAnswer = shell::SaveAnswer::Save;
    action("actionClose")->trigger();
    settle();
    ASSERT_NE(wordWindow(), nullptr);
    EXPECT_TRUE(wordWindow()->isVisible());
    EXPECT_EQ(word().Documents()->Count(), 0);
    EXPECT_TRUE(wordWindow()->pageView()->notice().contains(QStringLiteral("没有打开的文档")));
    main().endProgram();
    main().watchTick();
    EXPECT_FALSE(program->isFinished());
    emit wordWindow()->panelRequested();
    EXPECT_TRUE(main().isVisible());
    EXPECT_FALSE(main().hasEnded());
    auto again = automation::ooxml::createWord();
    again->Documents()->Open(path.toStdString());
    EXPECT_FLOAT_EQ(again->ActiveDocument()->Tables()->Item(1)->Cell(1, 1)->Range()->Font()->Size(), 20.0f);

    // Closing the window quits this Word; then the watch ends Gridwright.
    wordWindow()->close();
    settle();
    EXPECT_EQ(wordWindow(), nullptr);
    EXPECT_THROW(word().Documents()->Count(), automation::Error);
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
    EXPECT_TRUE(wordWindow()->windowTitle().startsWith(QStringLiteral("另存.docx")));
    EXPECT_FALSE(status().contains(QStringLiteral("有未保存的更改")));
}

TEST_F(DocumentWindowTest, PanelSettingsGoToAFileComeBackEqualAndCanStartTheNextRun) {
    const settings::FieldTexts defaults = main().fieldTexts();
    const auto setPanel = [&](const settings::FieldTexts& texts) {
        std::vector<settings::SettingAssignment> assignments;
        for (const settings::ControlSpec& described : settings::panelControls())
            if (!described.field.empty())
                assignments.push_back({std::string(described.field),
                                       texts[static_cast<std::size_t>(settings::fieldIndex(described.key))]});
        main().applyAssignments(assignments);
    };
    combo("Combo8")->setEditText(QStringLiteral("0.60"));
    combo("Combo9")->setEditText(QStringLiteral("居中"));
    check("Check3")->setChecked(true);
    main().openPicker();
    main().pickerWindow()->option(QStringLiteral("Option20"))->click();  // no left and right lines
    const settings::FieldTexts chosen = main().fieldTexts();
    ASSERT_NE(chosen, defaults);

    fileToSaveAs = QString::fromStdString(dir.file("我的设置").string());  // the extension is added
    action("actionSaveSettings")->trigger();
    EXPECT_EQ(main().windowTitle(), "Gridwright - 我的设置.txt");
    setPanel(defaults);
    fileToOpen = fileToSaveAs + QStringLiteral(".txt");
    action("actionLoadSettings")->trigger();
    EXPECT_EQ(main().fieldTexts(), chosen);

    // A file with a wrong line: the command line's message, and the panel as it was.
    const auto bad = dir.file("坏设置.txt");
    std::ofstream(bad) << "RowHeightCm=0.50\nNoSuchField=1\n";
    setPanel(defaults);
    fileToOpen = QString::fromStdString(bad.string());
    action("actionLoadSettings")->trigger();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.first().startsWith(QStringLiteral("设置文件 "))) << messages.first().toStdString();
    EXPECT_TRUE(messages.first().contains(QStringLiteral("第2行：未知的设置项“NoSuchField”")));
    EXPECT_EQ(main().fieldTexts(), defaults);

    // Asked for, the settings last used start the next run of the program; otherwise the defaults do.
    action("actionStartWithLastSettings")->setChecked(true);
    setPanel(chosen);
    main().removeEmptyRows();  // any command keeps the settings it started with
    program.reset();
    program = std::make_unique<shell::Program>(backend::startHostedWord());
    EXPECT_EQ(main().fieldTexts(), chosen);
    EXPECT_TRUE(action("actionStartWithLastSettings")->isChecked());
    action("actionStartWithLastSettings")->setChecked(false);
    program.reset();
    program = std::make_unique<shell::Program>(backend::startHostedWord());
    EXPECT_EQ(main().fieldTexts(), defaults);
}

TEST_F(DocumentWindowTest, TheTableListAndTheStatusBarSayWhatACommandDidNotDo) {
    open(QStringLiteral(GRIDWRIGHT_SOURCE_DIR "/examples/sample-report.docx"));
    settle();
    main().startFormatRun();
    settle();
    // The first table's title (two rows, cells merged down) is not found: the list says which steps
    // that leaves out, Word's reason in the tooltip; the probe that found the other tables' areas is
    // no refusal.
    const QStringList lines = panelLines();
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines.at(0).contains(QStringLiteral("未识别出标题行：标题行对齐和跨页标题行未设置")))
        << lines.at(0).toStdString();
    EXPECT_FALSE(wordWindow()->tableList()->index(0, 0).data(Qt::ToolTipRole).toString().isEmpty());
    EXPECT_EQ(wordWindow()->tableList()->notes().count(2), 0u);

    // Commands that change nothing say so.
    main().tidyTables();
    settle();
    EXPECT_EQ(wordWindow()->statusBar()->currentMessage(), "“整理表格”没有改动文档。");
    word().ActiveDocument()->Range(0, 0)->Select();
    main().enterSingleTableMode();
    main().singleTableWindow()->okButton()->click();
    settle();
    EXPECT_TRUE(wordWindow()->statusBar()->currentMessage().contains(QStringLiteral("插入点不在表格中")));
}

}  // namespace
}  // namespace gwtest
