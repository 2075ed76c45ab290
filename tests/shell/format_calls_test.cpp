// The Qt main window's "开   始" makes the calls listed in tests/data/format_run_calls.txt: the same list
// the Windows program's "开   始" is held to against the scripted Word (tests/winshell), so both front
// ends drive Word alike for the same settings.
#include <QTest>

#include <fstream>

#include "backend/word_start.h"
#include "shell_fixture.h"
#include "support/fault_word.h"

namespace gwtest {
namespace {

std::vector<std::string> listedCalls() {
    std::ifstream file(GRIDWRIGHT_SOURCE_DIR "/tests/data/format_run_calls.txt");
    std::vector<std::string> calls;
    for (std::string line; std::getline(file, line);)
        if (!line.empty() && line.front() != '#') calls.push_back(line);
    return calls;
}

TEST(ShellFormatCalls, StartMakesTheListedCallsOnAFramedTable) {
    QStringList messages;
    shell::prompts().message = [&](QWidget*, const QString& text) { messages << text; };
    TempDir dir;
    const auto path = dir.file("表.docx");
    writeDocx(path, para("前") + borderedTable(3, 3, "") + para("后"));
    auto plan = std::make_shared<FaultPlan>();
    backend::HostedWord hosted = backend::startHostedWord();
    hosted.word->Documents()->Open(path.string());
    hosted.word = faultyWord(hosted.word, plan);
    {
        shell::Program program(std::move(hosted));
        // The run's own calls: the document window's (its undo step, its refresh) come before and after.
        std::vector<std::string> runCalls;
        QObject::connect(program.mainWindow(), &shell::MainWindow::commandStarted, [&] { plan->clearCalls(); });
        QObject::connect(program.mainWindow(), &shell::MainWindow::formatRunReported,
                         [&] { runCalls = plan->calls(); });
        QTest::mouseClick(program.mainWindow()->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
        EXPECT_EQ(messages, QStringList{QStringLiteral("完成")});
        EXPECT_EQ(runCalls, listedCalls());
    }
    shell::prompts() = shell::systemPrompts();
}

}  // namespace
}  // namespace gwtest
