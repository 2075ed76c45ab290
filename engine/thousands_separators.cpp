#include "engine/thousands_separators.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "automation/constants.h"
#include "automation/error.h"

namespace engine {

namespace {

// A number that may need separators: four or more digits starting a word, a point and a digit.
constexpr const char* kCandidate = "<[0-9]{4,}.[0-9]";
// Its point, when digits, a point and a digit follow it (a date or version such as 2023.12.31).
constexpr const char* kDottedSequence = "([0-9]{4,}).([0-9]@.[0-9])";
// The point after four or more digits that stand behind a digit and a point or comma (1.2.3456.7,
// 12,3456.7): a dotted sequence or a number grouped already.
std::string precededByGroup(const std::string& marker) { return "([0-9][.," + marker + "][0-9]{4,})."; }

// Numbers whose integer part has up to 3 * kMaxGroupsAtOnce + 3 digits get every separator in one
// replacement; Word offers nine groups to a pattern.
constexpr int kMaxGroupsAtOnce = 8;
// Longer integer parts are found and grouped one by one.
constexpr const char* kLongNumber = "<[0-9]{28,}.[0-9]";

// The pattern for integer parts of 3 * groups + 1 to 3 * groups + 3 digits and its replacement: the
// leading digits, each group of three after a comma, the point and the first fraction digit.
std::pair<std::string, std::string> groupingPattern(int groups) {
    std::string pattern = "<([0-9]{1,3})";
    std::string replacement = "\\1";
    for (int g = 1; g <= groups; ++g) {
        pattern += g == groups ? "([0-9]{3}.[0-9])" : "([0-9]{3})";
        replacement += ",\\" + std::to_string(g + 1);
    }
    return {pattern, replacement};
}

// A character of the private use area as UTF-8 (code points U+E000 to U+EFFF).
std::string privateCharacter(int offset) {
    const int cp = 0xE000 + offset;
    return {static_cast<char>(0xE0 | (cp >> 12)), static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
            static_cast<char>(0x80 | (cp & 0x3F))};
}

bool findOnly(automation::Range& range, const std::string& pattern) {
    automation::FindPtr find = range.Find();
    find->ClearFormatting();
    automation::FindExecuteArgs args;
    args.FindText = pattern;
    args.MatchWildcards = true;
    return find->Execute(args);
}

// Replace-all of a wildcard pattern over a range; true when anything was replaced.
bool replaceAll(automation::Range& range, const std::string& pattern, const std::string& replacement) {
    automation::FindPtr find = range.Find();
    find->ClearFormatting();
    find->Replacement()->ClearFormatting();
    automation::FindExecuteArgs args;
    args.FindText = pattern;
    args.MatchWildcards = true;
    args.ReplaceWith = replacement;
    args.Replace = automation::wdReplaceAll;
    return find->Execute(args);
}

// A character the main text does not hold, to stand for the points of numbers left alone while the
// others are grouped.
std::string unusedMarker(automation::Document& doc) {
    for (int offset = 0; offset < 64; ++offset) {
        std::string marker = privateCharacter(offset);
        if (!findOnly(*doc.Range(), marker)) return marker;
    }
    throw automation::Error(automation::errors::NotAvailable, "添加千分位符号时找不到可用的临时标记字符");
}

// Integer parts too long for one pattern: each is grouped by a replace-all over its digits after the
// leading one to three, so the work grows with the number's length, not with its square.
void groupLongNumbers(automation::Application& word, automation::Document& doc) {
    if (!findOnly(*doc.Range(), kLongNumber)) return;
    automation::SelectionPtr selection = word.Selection();
    const int selectionStart = selection->Start();
    const int selectionEnd = selection->End();
    doc.Range(0, 0)->Select();
    std::vector<std::pair<int, int>> numbers;  // the integer parts, in document order
    automation::FindPtr find = selection->Find();
    find->ClearFormatting();
    automation::FindExecuteArgs args;
    args.FindText = kLongNumber;
    args.MatchWildcards = true;
    args.Wrap = automation::wdFindStop;
    while (find->Execute(args)) numbers.emplace_back(selection->Start(), selection->End() - 2);
    // From the last to the first: grouping a number moves only the positions after it.
    for (auto it = numbers.rbegin(); it != numbers.rend(); ++it) {
        const int digits = it->second - it->first;
        const int leading = digits % 3 == 0 ? 3 : digits % 3;
        replaceAll(*doc.Range(it->first + leading, it->second), "([0-9]{3})", ",\\1");
    }
    doc.Range(selectionStart, selectionEnd)->Select();
}

}  // namespace

void addThousandsSeparators(automation::Application& word) {
    automation::DocumentPtr doc = word.ActiveDocument();
    if (!findOnly(*doc->Range(), kCandidate)) return;

    // The points of dotted sequences and of numbers standing behind a group give way to a marker, so
    // that the patterns below leave them alone; the marker becomes a point again at the end.
    const std::string marker = unusedMarker(*doc);
    bool marked = replaceAll(*doc->Range(), kDottedSequence, "\\1" + marker + "\\2");
    marked = replaceAll(*doc->Range(), precededByGroup(marker), "\\1" + marker) || marked;
    try {
        for (int groups = 1; groups <= kMaxGroupsAtOnce; ++groups) {
            const auto [pattern, replacement] = groupingPattern(groups);
            replaceAll(*doc->Range(), pattern, replacement);
        }
        groupLongNumbers(word, *doc);
    } catch (...) {
        if (marked) replaceAll(*doc->Range(), marker, ".");
        throw;
    }
    if (marked) replaceAll(*doc->Range(), marker, ".");
}

}  // namespace engine
