#include "automation/ooxml/text_search.h"

#include <algorithm>
#include <utility>

#include "automation/error.h"

namespace automation::ooxml {

TextSearch::TextSearch(SearchOptions options) : options_(std::move(options)) {
    if (options_.text.empty()) return;
    matcher_ = options_.matchWildcards ? Matcher::wildcard(options_.text)
                                       : Matcher::literal(options_.text, options_.matchCase, options_.matchWholeWord);
}

std::optional<Match> TextSearch::findNext(std::u16string_view text, std::size_t from, std::size_t to) const {
    if (!matcher_) return std::nullopt;
    return matcher_->find(text, from, to, options_.forward);
}

std::vector<PlannedReplacement> TextSearch::planReplaceAll(std::u16string_view text, std::size_t from, std::size_t to,
                                                           const std::u16string& replacement) const {
    // A bad ^ code fails here, before any match is looked for.
    expandReplacement(replacement, Match{}, text, options_.matchWildcards);
    std::vector<PlannedReplacement> plan;
    if (!matcher_) return plan;
    to = std::min(to, text.size());
    std::size_t pos = from;
    while (pos <= to) {
        auto match = matcher_->find(text, pos, to, true);
        if (!match) break;
        plan.push_back(
            {match->start, match->end, expandReplacement(replacement, *match, text, options_.matchWildcards)});
        // An empty match must not be found again at the same place.
        pos = match->end > match->start ? match->end : match->end + 1;
    }
    return plan;
}

std::optional<Match> findNext(std::u16string_view text, std::size_t from, std::size_t to,
                              const SearchOptions& options) {
    return TextSearch(options).findNext(text, from, to);
}

namespace {

// The ^ code at r[i] (a caret) for the replacement; appends its text and returns the index after it.
std::size_t expandCaret(const std::u16string& r, std::size_t i, const Match& match, std::u16string_view text,
                        std::u16string& out) {
    if (const auto character = caretCharacter(r, i)) {
        out += *character;
        return i;
    }
    if (r[i] != u'&') throw errors::invalidPattern();
    out += match.group(text, 0);
    return i + 1;
}

}  // namespace

std::u16string expandReplacement(const std::u16string& replacement, const Match& match, std::u16string_view text,
                                 bool wildcards) {
    std::u16string out;
    for (std::size_t i = 0; i < replacement.size();) {
        char16_t c = replacement[i];
        if (c == u'^') {
            i = expandCaret(replacement, i, match, text, out);
        } else if (c == u'\\' && wildcards && i + 1 < replacement.size()) {
            char16_t next = replacement[i + 1];
            if (next >= u'1' && next <= u'9')
                out += match.group(text, next - u'0');
            else
                out += next;
            i += 2;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

}  // namespace automation::ooxml
