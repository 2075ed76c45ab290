#include "engine/thousands_separators.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "automation/constants.h"
#include "automation/error.h"

namespace engine {

namespace {

// A number that may need separators: four or more digits, a point and a digit.
constexpr const char* kCandidate = "[0-9]{4,}.[0-9]";
// Its point, when digits and a point or a comma and a digit follow it: a date or version such as
// 2023.12.31, or numbers run together with a comma (12345.678,23456.789).
constexpr const char* kDottedSequence = "([0-9]{4,}).([0-9]@[.,][0-9])";
// The point after four or more digits that stand behind a digit and a point or comma (1.2.3456.7,
// 12,3456.7): a dotted sequence or a number grouped already.
std::string precededByGroup(const std::string& marker) { return "([0-9][.," + marker + "][0-9]{4,})."; }

// A number starts where no digit stands before it. Most start a word; one written right after a
// letter (A12345.6) does not, and is found with the character before it.
enum class Start { Word, AfterLetter };

// Numbers whose integer part has up to 3 * kMaxGroupsAtOnce + 3 digits get every separator in one
// replacement; Word offers nine groups to a pattern, one of them the character before the number.
constexpr int kMaxGroupsAtOnce = 7;
// Longer integer parts are found and grouped one by one.
constexpr int kLongNumberDigits = 3 * kMaxGroupsAtOnce + 4;
std::string longNumber(Start start) {
    return (start == Start::Word ? "<" : "[!0-9]") + std::string("[0-9]{") + std::to_string(kLongNumberDigits) +
           ",}.[0-9]";
}
// A number after a letter that one pattern groups, once the numbers starting a word are grouped.
const std::string kAfterLetter = "[!0-9][0-9]{4," + std::to_string(kLongNumberDigits - 1) + "}.[0-9]";

// The pattern for integer parts of 3 * groups + 1 to 3 * groups + 3 digits and its replacement: the
// character before (after a letter), the leading digits, each group of three after a comma, the point
// and the first fraction digit.
std::pair<std::string, std::string> groupingPattern(int groups, Start start) {
    std::string pattern = start == Start::Word ? "<([0-9]{1,3})" : "([!0-9])([0-9]{1,3})";
    int group = start == Start::Word ? 1 : 2;
    std::string replacement = start == Start::Word ? "\\1" : "\\1\\2";
    for (int g = 1; g <= groups; ++g) {
        pattern += g == groups ? "([0-9]{3}.[0-9])" : "([0-9]{3})";
        replacement += ",\\" + std::to_string(++group);
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
// leading one to three, so the work grows with the number's length, not with its square. The
// selection is put back before the replace-alls, so that it moves with the text as they edit it.
void groupLongNumbers(automation::Application& word, automation::Document& doc) {
    std::vector<Start> starts;
    for (Start start : {Start::Word, Start::AfterLetter})
        if (findOnly(*doc.Range(), longNumber(start))) starts.push_back(start);
    if (starts.empty()) return;
    automation::SelectionPtr selection = word.Selection();
    const int selectionStart = selection->Start();
    const int selectionEnd = selection->End();
    std::vector<std::pair<int, int>> numbers;  // the integer parts
    automation::FindExecuteArgs args;
    args.MatchWildcards = true;
    args.Wrap = automation::wdFindStop;
    for (Start start : starts) {
        doc.Range(0, 0)->Select();
        automation::FindPtr find = selection->Find();
        find->ClearFormatting();
        args.FindText = longNumber(start);
        const int before = start == Start::Word ? 0 : 1;
        while (find->Execute(args)) numbers.emplace_back(selection->Start() + before, selection->End() - 2);
    }
    doc.Range(selectionStart, selectionEnd)->Select();
    // From the last to the first: grouping a number moves only the positions after it.
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    for (auto it = numbers.rbegin(); it != numbers.rend(); ++it) {
        const int digits = it->second - it->first;
        const int leading = digits % 3 == 0 ? 3 : digits % 3;
        replaceAll(*doc.Range(it->first + leading, it->second), "([0-9]{3})", ",\\1");
    }
}

void groupNumbers(automation::Application& word, automation::Document& doc) {
    for (Start start : {Start::Word, Start::AfterLetter}) {
        if (start == Start::AfterLetter && !findOnly(*doc.Range(), kAfterLetter)) break;
        for (int groups = 1; groups <= kMaxGroupsAtOnce; ++groups) {
            const auto [pattern, replacement] = groupingPattern(groups, start);
            replaceAll(*doc.Range(), pattern, replacement);
        }
    }
    groupLongNumbers(word, doc);
}

}  // namespace

void addThousandsSeparators(automation::Application& word) {
    automation::DocumentPtr doc = word.ActiveDocument();
    if (!findOnly(*doc->Range(), kCandidate)) return;

    // The points of dotted sequences and of numbers standing behind a group give way to a marker, so
    // that the patterns below leave them alone; the marker becomes a point again at the end, also when
    // Word fails on the way.
    const std::string marker = unusedMarker(*doc);
    bool marked = false;
    try {
        marked = replaceAll(*doc->Range(), kDottedSequence, "\\1" + marker + "\\2");
        marked = replaceAll(*doc->Range(), precededByGroup(marker), "\\1" + marker) || marked;
        groupNumbers(word, *doc);
    } catch (...) {
        try {
            replaceAll(*doc->Range(), marker, ".");
        } catch (const automation::Error&) {
            // Word's first failure is the one to report.
        }
        throw;
    }
    if (marked) replaceAll(*doc->Range(), marker, ".");
}

}  // namespace engine
