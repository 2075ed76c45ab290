// Word's find patterns compiled into a small matcher of our own.
//
// Two pattern languages are understood:
//  - the wildcard syntax (Find.MatchWildcards = True): ? * [abc] [a-z] [!a-z] {n} {n,} {n,m} @ < > ( ) \x
//    and the ^ codes; matching is always case-sensitive;
//  - the ordinary find text: literal characters plus ^p ^t ^^ ^? ^# ^$ ^nnn and friends, matched with or
//    without case and optionally as a whole word.
//
// The matcher simulates all alternatives in step (one pass over the text, no backtracking), so a search
// costs time proportional to text length times pattern size and never recurses on the text. Word's
// preferences are kept: the leftmost match wins, * takes the shortest string that lets the rest match,
// counts and @ take as many as they can. Character 7 (the end-of-cell mark in the flattened story text)
// is a barrier: no match ever contains it.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace automation::ooxml {

// A part of the searched text, as UTF-16 indexes [start, end).
struct MatchSpan {
    static constexpr std::size_t npos = std::u16string_view::npos;
    std::size_t start = npos;
    std::size_t end = npos;
    bool matched() const { return start != npos; }
};

struct Match {
    std::size_t start = 0;
    std::size_t end = 0;
    // groups[0] is the whole match, groups[1..9] the parenthesised groups of a wildcard pattern; a group
    // that took no part in the match is left unmatched.
    std::array<MatchSpan, 10> groups;

    std::size_t length() const { return end - start; }
    // The text of group n (empty when it took no part or n is out of range).
    std::u16string_view group(std::u16string_view text, int n) const;
};

class Matcher {
public:
    // A wildcard pattern; throws errors::invalidPattern() when Word would reject it.
    static Matcher wildcard(const std::u16string& pattern);
    // An ordinary find text. Unknown ^ codes throw errors::invalidPattern().
    static Matcher literal(const std::u16string& text, bool matchCase, bool matchWholeWord);

    // The first match (forward) or the match starting last (backward) that starts at or after `from` and
    // ends at or before `to`; among the matches starting at one place the preferred one is taken.
    // Characters outside [from, to) still count as the neighbours a word check looks at. `to` is clamped
    // to the text's size. Throws an automation::Error when the search grows beyond its work budget.
    std::optional<Match> find(std::u16string_view text, std::size_t from, std::size_t to, bool forward = true) const;

    // True when the pattern can match an empty string (for example "<" on its own).
    bool matchesEmpty() const;

    struct Program;

private:
    explicit Matcher(std::shared_ptr<const Program> program) : program_(std::move(program)) {}
    std::shared_ptr<const Program> program_;
};

// Letters and digits of any script; what <, > and the whole-word check treat as part of a word.
bool isWordCharacter(char16_t c);
// CJK ideographs and kana: each one stands as a word of its own next to its neighbours.
bool isIdeographic(char16_t c);
// The lower-case form used by case-insensitive matching (ASCII, Latin-1 and full-width Latin).
char16_t foldCase(char16_t c);

// The character a ^ code stands for (^p ^t ^^ ^l ^m ^n ^s ^~ ^- and ^nnn); text[i] is the caret.
// Advances i past the code and returns its character. For codes that stand for something else
// (^& ^? ^# ^$) it returns none with i at the code's letter. A bad code fails with 5560.
std::optional<char16_t> caretCharacter(const std::u16string& text, std::size_t& i);

}  // namespace automation::ooxml
