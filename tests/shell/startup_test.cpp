// Start-up, the welcome window, opening the document, the document watch and the end of the program.
#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "shell/welcome_window.h"
#include "shell_fixture.h"
#include "support/fault_word.h"

namespace gwtest {

std::string borderedTable(int rows, int cols, const std::string& prefix) {
    const std::string border = "w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"000000\"";
    const std::string borders = "<w:tblBorders><w:top " + border + "/><w:left " + border + "/><w:bottom " + border +
                                "/><w:right " + border + "/><w:insideH " + border + "/><w:insideV " + border +
                                "/></w:tblBorders>";
    return table(rows, cols, borders, prefix);
}

namespace {

TEST_F(ShellTest, WelcomeWindowShowsItsInstructions) {
    shell::WelcomeWindow* welcome = main().welcomeWindow();
    ASSERT_NE(welcome, nullptr);
    EXPECT_EQ(welcome->objectName(), "Form5");
    EXPECT_EQ(welcome->windowTitle(), "你好，欢迎使用本程序！");
    EXPECT_TRUE(welcome->isVisible());
    EXPECT_FALSE(welcome->isModal());
    const QStringList expected = {
        "程序使用方法：\r\n  ",
        "     1、点击本窗体下方的“打开要排版的word文件”按钮，然后在出现的打开文件对话框中找到你想对其",
        "进行排版设置的word文件，再点击对话框右下方的打开按钮，打开该文件，之后排版工具界面会自动显示。",
        "    2、必须用1中的方法使用本工具打开word文件，直接在文件夹中双击打开或用其他方法打开时，本程",
        "序无法对其设置。    ",
    };
    int previousBottom = -1;
    for (int i = 0; i < expected.size(); ++i) {
        auto* label = welcome->findChild<QLabel*>(QStringLiteral("Label%1").arg(i + 1));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), expected[i]);
        EXPECT_GT(label->y(), previousBottom);  // one under the other
        previousBottom = label->y();
    }
    EXPECT_EQ(welcome->openButton()->text(), "打开要排版的word文件");
    EXPECT_EQ(welcome->exitButton()->text(), "退出程序");
    EXPECT_LT(welcome->openButton()->x(), welcome->exitButton()->x());
    EXPECT_EQ(welcome->openButton()->y(), welcome->exitButton()->y());
    EXPECT_GT(welcome->openButton()->y(), previousBottom);
    // Word was made visible at start, so its window is there.
    EXPECT_TRUE(word().Visible());
    ASSERT_NE(wordWindow(), nullptr);
    EXPECT_TRUE(wordWindow()->isVisible());
}

TEST_F(ShellTest, OpenButtonHidesWelcomeAndOpensThroughWordsDialog) {
    shell::WelcomeWindow* welcome = main().welcomeWindow();
    // Cancelled: nothing happens, the welcome window stays hidden.
    QTest::mouseClick(welcome->openButton(), Qt::LeftButton);
    EXPECT_EQ(openDialogs, 1);
    EXPECT_FALSE(welcome->isVisible());
    EXPECT_EQ(word().Documents()->Count(), 0);
    EXPECT_TRUE(messages.isEmpty());

    // A file that is no Word document: Word's message, and nothing is open.
    const auto bad = dir.file("坏文件.docx");
    writeZip(bad, {{"hello.txt", "not a document"}});
    fileToOpen = QString::fromStdString(bad.string());
    main().openDocument();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_FALSE(messages[0].isEmpty());
    EXPECT_EQ(word().Documents()->Count(), 0);

    fileToOpen = document("报告.docx", para("正文") + borderedTable(2, 2, "A") + para("尾"));
    main().openDocument();
    EXPECT_EQ(word().Documents()->Count(), 1);
    main().hide();
    main().watchTick();
    EXPECT_TRUE(main().isVisible());

    // A bad file opened later keeps the document that is open.
    fileToOpen = QString::fromStdString(bad.string());
    main().openDocument();
    EXPECT_EQ(messages.size(), 2);
    EXPECT_EQ(word().Documents()->Count(), 1);
}

TEST_F(ShellTest, WatchBringsMainWindowForwardOnceForTheFirstDocument) {
    main().hide();
    main().watchTick();  // no document yet
    EXPECT_FALSE(main().isVisible());

    open(document("一.docx", borderedTable(2, 2, "A") + para("") + borderedTable(2, 2, "B") + para("")));
    main().watchTick();
    EXPECT_TRUE(main().isVisible());

    // A second document does not bring the window forward.
    main().hide();
    open(document("二.docx", para("没有表格")));
    main().watchTick();
    EXPECT_FALSE(main().isVisible());
    EXPECT_FALSE(main().hasEnded());
}

TEST_F(ShellTest, ClosingWelcomeKeepsTheProgramRunning) {
    main().welcomeWindow()->close();
    settle();
    EXPECT_FALSE(main().hasEnded());
    EXPECT_TRUE(documentWatch()->isActive());
    main().hide();
    open(document("后开.docx", para("正文")));
    main().watchTick();
    EXPECT_TRUE(main().isVisible());
}

TEST_F(ShellTest, WordQuittingEndsTheProgramWithinOneTick) {
    QSignalSpy finished(program.get(), &shell::Program::finished);
    open(document("文档.docx", para("正文")));
    word().Quit();
    settle();
    EXPECT_EQ(wordWindow(), nullptr);  // the Word's window went with it
    EXPECT_FALSE(main().hasEnded());
    main().watchTick();
    EXPECT_TRUE(main().hasEnded());
    EXPECT_FALSE(main().isVisible());
    EXPECT_FALSE(documentWatch()->isActive());
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(finished.count(), 1);
}

TEST_F(ShellTest, ExitButtonEndsTheProgramButWordAndItsDocumentStay) {
    QSignalSpy finished(program.get(), &shell::Program::finished);
    open(document("留下.docx", para("正文")));
    QTest::mouseClick(main().welcomeWindow()->exitButton(), Qt::LeftButton);
    settle();
    EXPECT_TRUE(main().hasEnded());
    EXPECT_FALSE(main().isVisible());
    EXPECT_FALSE(main().welcomeWindow()->isVisible());
    EXPECT_EQ(word().Documents()->Count(), 1);
    ASSERT_NE(wordWindow(), nullptr);
    EXPECT_TRUE(wordWindow()->isVisible());
    EXPECT_EQ(finished.count(), 0);

    // The process ends once the user closes the Word's window as well.
    wordWindow()->close();
    settle();
    EXPECT_EQ(finished.count(), 1);
}

TEST_F(ShellTest, ClosingMainWindowEndsTheProgram) {
    main().openPicker();
    main().showAbout();
    main().close();
    settle();
    EXPECT_TRUE(main().hasEnded());
    EXPECT_EQ(main().pickerWindow(), nullptr);
    EXPECT_EQ(main().aboutWindow(), nullptr);
    EXPECT_FALSE(main().welcomeWindow()->isVisible());
    // A late tick does nothing.
    main().watchTick();
    EXPECT_TRUE(word().Visible());
}

TEST_F(ShellTest, EveryWindowLiesOnTheScreenWithTheWelcomeWindowInFront) {
    settle();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const auto onScreen = [&] {
        int visible = 0;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (!window->isVisible()) continue;
            ++visible;
            EXPECT_TRUE(screen.contains(window->frameGeometry()))
                << window->objectName().toStdString() << " " << window->frameGeometry().x() << ","
                << window->frameGeometry().y() << " " << window->frameGeometry().width() << "x"
                << window->frameGeometry().height() << " on " << screen.width() << "x" << screen.height();
        }
        return visible;
    };
    ASSERT_TRUE(wordWindow()->isVisible());
    shell::WelcomeWindow* welcome = main().welcomeWindow();
    ASSERT_TRUE(welcome->isVisible());
    EXPECT_EQ(onScreen(), 3);
    // Nothing of the program covers the welcome window's buttons.
    EXPECT_FALSE(welcome->frameGeometry().intersects(main().frameGeometry()));

    main().openPicker();
    main().showAbout();
    settle();
    EXPECT_EQ(onScreen(), 5);
    main().enterSingleTableMode();
    settle();
    onScreen();

    // Started with a file, the program has no use for the welcome window.
    program.reset();
    program = std::make_unique<shell::Program>(backend::startHostedWord());
    program->openAtStart({document("开始.docx", para("正文"))});
    EXPECT_FALSE(main().welcomeWindow()->isVisible());
    EXPECT_EQ(word().Documents()->Count(), 1);
}

TEST(ShellStartup, WordThatCannotBeActivatedGivesTheMessageAndNoWelcome) {
    QStringList messages;
    shell::prompts().message = [&](QWidget*, const QString& text) { messages << text; };
    auto plan = std::make_shared<FaultPlan>();
    plan->failOn("Application.Activate", 1, automation::errors::ServerGone, "远程服务器不存在或不可用");
    backend::HostedWord real = backend::startHostedWord();
    {
        shell::Program program(backend::HostedWord{faultyWord(real.word, plan), real.documents, nullptr});
        ASSERT_EQ(messages.size(), 1);
        EXPECT_EQ(messages[0], "与本程序一同启动的word主程序被关闭，本程序将退出。");
        EXPECT_EQ(program.mainWindow()->welcomeWindow(), nullptr);
        // The panel is still filled, and the watch decides: this Word still answers.
        EXPECT_EQ(program.mainWindow()->formatSettings(), settings::defaultFormatSettings(shell::panelNumberLocale()));
        program.mainWindow()->watchTick();
        EXPECT_FALSE(program.mainWindow()->hasEnded());
        real.word->Quit();
        program.mainWindow()->watchTick();
        QCoreApplication::processEvents();  // the document window goes with its Word
        EXPECT_TRUE(program.mainWindow()->hasEnded());
        EXPECT_TRUE(program.isFinished());
    }
    shell::prompts() = shell::systemPrompts();
}

}  // namespace
}  // namespace gwtest
