// Find and replace over the flat UTF-16 text of a story, independent of the document model.
//
// Positions are UTF-16 indexes into the text. Character 7 (the second half of an end-of-cell mark
// "\r\a") is a barrier that no match crosses or includes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "automation/ooxml/wildcard.h"

namespace automation::ooxml {

struct SearchOptions {
    std::u16string text;
    bool matchCase = false;       // ordinary find texts only; wildcard patterns always match case
    bool matchWholeWord = false;  // ordinary find texts only
    bool matchWildcards = false;
    bool forward = true;
};

// One replacement a replace-all would make: [start, end) of the original text becomes `text`.
struct PlannedReplacement {
    std::size_t start = 0;
    std::size_t end = 0;
    std::u16string text;
};

// A compiled search; build it once and use it for every find of a replace-all.
class TextSearch {
public:
    // Throws errors::invalidPattern() for a pattern Word rejects.
    explicit TextSearch(SearchOptions options);

    const SearchOptions& options() const { return options_; }

    // The first match (or with options.forward false, the one starting last) that starts at or after
    // `from` and ends at or before `to`. An empty find text finds nothing.
    std::optional<Match> findNext(std::u16string_view text, std::size_t from, std::size_t to) const;

    // Every replacement a replace-all over [from, to) makes, left to right, without overlaps; the
    // replacement text is expanded per match. Each search resumes after the previous match, so the
    // inserted text is never searched again. Throws errors::invalidPattern() for a bad ^ code in
    // `replacement` before anything is planned.
    std::vector<PlannedReplacement> planReplaceAll(std::u16string_view text, std::size_t from, std::size_t to,
                                                   const std::u16string& replacement) const;

private:
    SearchOptions options_;
    std::optional<Matcher> matcher_;
};

// One-off search: compiles `options` and finds as TextSearch::findNext does.
std::optional<Match> findNext(std::u16string_view text, std::size_t from, std::size_t to, const SearchOptions& options);

// The text that replaces `match`. With wildcards: \1..\9 are the groups, ^& the whole match and \x the
// character x. Without: ^& is the whole match and a backslash is an ordinary character. Both: ^p
// (paragraph mark, 13), ^t (tab), ^^ (caret), ^l, ^m, ^n, ^s, ^~, ^- and ^nnn (a character code).
// Any other ^ code throws errors::invalidPattern().
std::u16string expandReplacement(const std::u16string& replacement, const Match& match, std::u16string_view text,
                                 bool wildcards);

}  // namespace automation::ooxml
