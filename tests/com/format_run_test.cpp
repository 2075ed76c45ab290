// The engine's format run through Word over COM makes exactly the calls it makes on the embedded Word
// (tests/data/format_run_calls.txt, which the engine's own tests hold against the embedded Word).
#include "com_test_fixture.h"

#include <sstream>

#include "engine/format_run.h"
#include "format_run_calls.h"
#include "settings/format_settings.h"
#include "support/recording_host.h"

using namespace comtest;

namespace {

std::vector<std::string> expectedCalls() {
    std::istringstream list(kFormatRunCalls);
    std::vector<std::string> calls;
    for (std::string line; std::getline(list, line);)
        if (!line.empty() && line.front() != '#') calls.push_back(line);
    return calls;
}

// "Rows.Height PUT(R4 12)" is the interface's Rows.SetHeight; gets and methods keep their names.
std::vector<std::string> interfaceNames(const std::vector<std::string>& members) {
    std::vector<std::string> names;
    for (const std::string& member : members) {
        const auto space = member.find(' ');
        std::string name = member.substr(0, space);
        if (member.compare(space + 1, std::string::npos, "PUT") == 0) name.insert(name.find('.') + 1, "Set");
        names.push_back(name);
    }
    return names;
}

class FormatRunTest : public ComTest {};

TEST_F(FormatRunTest, SmallTableMakesTheSameCallsAsOnTheEmbeddedWord) {
    // Word's answers for one 3 x 3 table with all lines drawn.
    server.returnInt("Tables.Count", 1);
    server.returnInt("Border.LineStyle", automation::wdLineStyleSingle);
    server.returnInt("Rows.Count", 3);
    server.returnInt("Columns.Count", 3);

    gwtest::RecordingHost host;
    engine::FormatRun run(*word, host);
    const auto formatSettings = settings::defaultFormatSettings(settings::NumberLocale{});
    ASSERT_EQ(run.run(formatSettings, engine::Scope::WholeDocument), engine::FormatOutcome::Done);
    EXPECT_TRUE(run.passedOver().empty());
    EXPECT_EQ(host.events, (std::vector<std::string>{"hide", "message:完成", "show"}));

    const std::vector<std::string> expected = expectedCalls();
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(interfaceNames(server.members()), expected);
}

}  // namespace
