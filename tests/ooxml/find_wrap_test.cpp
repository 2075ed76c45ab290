// Find.Wrap on a selection: a replace-all from a non-empty selection stays inside it.
#include <gtest/gtest.h>

#include "support/word_fixture.h"

using namespace gwtest;

namespace {

class FindWrap : public WordTest {};

TEST_F(FindWrap, SelectionReplaceAllWithWrapStopStaysInTheSelection) {
    auto doc = open(para("a b") + para("c d") + para("e f"));
    doc->Range(4, 8)->Select();
    auto find = word->Selection()->Find();
    find->SetText(" ");
    find->Replacement()->SetText("");
    find->SetWrap(automation::wdFindStop);
    automation::FindExecuteArgs args;
    args.Replace = automation::wdReplaceAll;
    find->Execute(args);
    EXPECT_EQ(doc->Content()->Text(), "a b\rcd\re f\r");
}

}  // namespace
