// The Qt main window's "开   始" makes the calls listed in tests/data/format_run_calls.txt: the same list
// the Windows program's "开   始" is held to against the scripted Word (tests/winshell), so both front
// ends drive Word alike for the same settings.
#include <QTest>

#include <fstream>

#include "automation/ooxml/application.h"
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
    auto real = automation::ooxml::createWord();
    real->Documents()->Open(path.string());
    {
        shell::Program program(shell::WordBackend{faultyWord(real, plan), nullptr, nullptr});
        plan->clearCalls();
        QTest::mouseClick(program.mainWindow()->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
        EXPECT_EQ(messages, QStringList{QStringLiteral("完成")});
        EXPECT_EQ(plan->calls(), listedCalls());
    }
    shell::prompts() = shell::systemPrompts();
}

}  // namespace
}  // namespace gwtest
