// The calls a format run makes on a small framed table, in order. Word through COM must see the same
// sequence (tests/com checks that side against the same list), so the list lives in tests/data.
#include "engine_fixture.h"

#include <fstream>
#include <sstream>

#include "support/fault_word.h"

using namespace gwtest;

namespace {

std::vector<std::string> expectedCalls() {
    std::ifstream file(GRIDWRIGHT_SOURCE_DIR "/tests/data/format_run_calls.txt");
    std::vector<std::string> calls;
    for (std::string line; std::getline(file, line);)
        if (!line.empty() && line.front() != '#') calls.push_back(line);
    return calls;
}

class FormatRunCallsTest : public FormatTest {};

TEST_F(FormatRunCallsTest, SmallFramedTableMakesTheListedCallsInOrder) {
    open(para("前") + framed(3, 3) + para("后"));
    auto plan = std::make_shared<FaultPlan>();
    auto recorded = faultyWord(word, plan);
    ASSERT_EQ(format(recorded.get()), engine::FormatOutcome::Done);
    EXPECT_TRUE(passedOver.empty());
    const std::vector<std::string> expected = expectedCalls();
    ASSERT_FALSE(expected.empty()) << "tests/data/format_run_calls.txt is missing";
    EXPECT_EQ(plan->calls(), expected) << [&] {
        std::ostringstream all;
        for (const std::string& call : plan->calls()) all << call << "\n";
        return "recorded:\n" + all.str();
    }();
}

}  // namespace
