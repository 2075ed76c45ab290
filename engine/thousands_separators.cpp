#include "engine/thousands_separators.h"

#include "automation/constants.h"
#include "automation/error.h"

namespace engine {

namespace {

// One digit, three digits, a full stop or a comma; the comma goes after the first digit.
constexpr const char* kNumberPattern = "([0-9])([0-9]{3})([.,])";
constexpr const char* kWithSeparator = "\\1,\\2\\3";

}  // namespace

void addThousandsSeparators(automation::Application& word) { addThousandsSeparators(word, kMaxThousandsRounds); }

void addThousandsSeparators(automation::Application& word, int maxRounds) {
    // One find object over the document's main text, for the whole step: what one execution sets (the
    // find text, wildcards, the cleared formatting) carries over to the next, whose arguments are omitted.
    automation::FindPtr find = word.ActiveDocument()->Range()->Find();
    find->ClearFormatting();
    find->Replacement()->ClearFormatting();
    find->SetMatchWildcards(true);
    // A number of seven or more digits needs a further round for each further group of three.
    for (int round = 0;; ++round) {
        automation::FindExecuteArgs findArgs;
        findArgs.FindText = kNumberPattern;
        if (!find->Execute(findArgs)) break;
        if (round >= maxRounds)
            throw automation::Error(automation::errors::NotAvailable, "添加千分位符号时查找替换没有结束");
        automation::FindExecuteArgs replaceArgs;
        replaceArgs.ReplaceWith = kWithSeparator;
        replaceArgs.Replace = automation::wdReplaceAll;
        find->Execute(replaceArgs);
    }
}

}  // namespace engine
