// Find and Replacement: Word's find and replace over the main story, within a range or the selection.
//
// A find keeps the scope it was made for: a range's stretch of text, or the selection as it was (a
// stretch of text or a block of cells). A find-only execution continues from where the previous one
// ended; a replace-all covers the whole scope and starts the next find from the scope's start again.
// A non-empty selection is never left, whatever Wrap says. An empty scope (an insertion point or a
// collapsed range) searches from there to the end of the story, going round to its start with
// wdFindContinue.
//
// Each find object starts from Word's defaults (no wildcards, no case or whole-word matching, forward,
// wdFindStop) and keeps what is set on it. There is no formatting to find in the embedded Word, so
// Format and ClearFormatting have nothing to act on. MatchSoundsLike, MatchAllWordForms and the match
// options for Arabic and Hebrew text (kashida, diacritics, alef hamza, bidi control characters) are
// stored but change nothing for Chinese and Latin text, which is what these documents hold.
#include <algorithm>

#include "automation/error.h"
#include "automation/ooxml/objects.h"
#include "automation/ooxml/text_edit.h"
#include "automation/ooxml/text_search.h"
#include "automation/ooxml/unicode.h"

namespace automation::ooxml {

namespace {

class ReplacementImpl final : public Replacement {
public:
    explicit ReplacementImpl(ModelPtr model) : model_(std::move(model)) {}

    void ClearFormatting() override { model_->check(); }
    std::string Text() override {
        model_->check();
        return text_;
    }
    void SetText(const std::string& text) override {
        model_->check();
        text_ = text;
    }

private:
    ModelPtr model_;
    std::string text_;
};

class FindImpl final : public Find {
public:
    FindImpl(ModelPtr model, const Area& scope, bool fromSelection)
        : model_(std::move(model)),
          scope_(scope),
          open_(scope.kind == Area::Kind::Text && scope.start == scope.end),
          fromSelection_(fromSelection),
          replacement_(std::make_shared<ReplacementImpl>(model_)) {}

    void ClearFormatting() override { model_->check(); }
    std::string Text() override { return get(text_); }
    void SetText(const std::string& text) override { set(text_, text); }
    ReplacementPtr Replacement() override {
        model_->check();
        return replacement_;
    }
    bool Format() override { return get(format_); }
    void SetFormat(bool value) override { set(format_, value); }
    bool MatchCase() override { return get(matchCase_); }
    void SetMatchCase(bool value) override { set(matchCase_, value); }
    bool MatchWholeWord() override { return get(matchWholeWord_); }
    void SetMatchWholeWord(bool value) override { set(matchWholeWord_, value); }
    bool MatchWildcards() override { return get(matchWildcards_); }
    void SetMatchWildcards(bool value) override { set(matchWildcards_, value); }
    int Wrap() override { return get(wrap_); }
    void SetWrap(int value) override {
        if (value < wdFindStop || value > wdFindAsk) throw errors::valueOutOfRange();
        set(wrap_, value);
    }
    bool Forward() override { return get(forward_); }
    void SetForward(bool value) override { set(forward_, value); }

    bool Execute(const FindExecuteArgs& args) override;

private:
    template <typename T>
    T get(const T& field) {
        model_->check();
        return field;
    }
    template <typename T, typename V>
    void set(T& field, const V& value) {
        model_->check();
        field = value;
    }

    int storyLength() { return model_->index().length(); }
    // Where the next search starts: the scope's start (its end when searching backward) at first.
    int currentPosition();
    // The stretches of the story the scope covers, in story order; each is searched on its own.
    std::vector<Span> scopeSpans();
    std::optional<Match> findFrom(const TextSearch& search, const std::vector<Span>& spans, int position);
    std::optional<Match> findOnce(const TextSearch& search);
    bool replaceOne(const TextSearch& search);
    bool replaceAll(const TextSearch& search);
    void afterEdit(const EditOutcome& outcome);

    ModelPtr model_;
    Area scope_;
    bool open_;  // an empty scope: search from its place to the story's end
    bool fromSelection_;
    std::optional<int> position_;
    std::shared_ptr<ReplacementImpl> replacement_;
    std::optional<TextSearch> compiled_;  // the last pattern compiled, kept while the options stay
    std::string text_;
    bool format_ = false;
    bool matchCase_ = false;
    bool matchWholeWord_ = false;
    bool matchWildcards_ = false;
    bool matchSoundsLike_ = false;
    bool matchAllWordForms_ = false;
    bool forward_ = true;
    int wrap_ = wdFindStop;
    bool matchKashida_ = false;
    bool matchDiacritics_ = false;
    bool matchAlefHamza_ = false;
    bool matchControl_ = false;
};

int FindImpl::currentPosition() {
    const int length = storyLength();
    if (!position_) {
        if (open_) return std::clamp(scope_.start, 0, length);
        std::vector<Span> spans = scopeSpans();
        if (spans.empty()) return 0;
        return forward_ ? spans.front().start : spans.back().end;
    }
    return std::clamp(*position_, 0, length);
}

std::vector<Span> FindImpl::scopeSpans() {
    const StoryIndex& index = model_->index();
    const int length = index.length();
    std::vector<Span> spans;
    if (scope_.kind == Area::Kind::Block) {
        requireLive(*model_, scope_.table);
        // Only the block's own cells: cells of other columns that lie between them in the story are
        // not part of the selection.
        const TableGrid& grid = model_->grid(scope_.table);
        for (const GridCell* c : grid.block(scope_.row1, scope_.row2, scope_.grid1, scope_.grid2)) {
            Span s;
            if (index.span(c->tc, s)) spans.push_back(Span{s.start, std::max(s.start, s.end - 1)});
        }
        return spans;
    }
    if (open_) return {Span{0, length}};
    const int start = std::clamp(scope_.start, 0, length);
    spans.push_back(Span{start, std::clamp(scope_.end, start, length)});
    return spans;
}

// The first match (or with Forward off, the last one) of the scope at or after (before) position.
std::optional<Match> FindImpl::findFrom(const TextSearch& search, const std::vector<Span>& spans, int position) {
    const std::u16string& text = model_->index().text();
    if (forward_) {
        for (const Span& s : spans) {
            const int from = std::max(s.start, position);
            if (from >= s.end) continue;
            if (auto m = search.findNext(text, static_cast<size_t>(from), static_cast<size_t>(s.end))) return m;
        }
    } else {
        for (auto it = spans.rbegin(); it != spans.rend(); ++it) {
            const int to = std::min(it->end, position);
            if (to <= it->start) continue;
            if (auto m = search.findNext(text, static_cast<size_t>(it->start), static_cast<size_t>(to))) return m;
        }
    }
    return std::nullopt;
}

std::optional<Match> FindImpl::findOnce(const TextSearch& search) {
    const std::vector<Span> spans = scopeSpans();
    if (spans.empty()) return std::nullopt;
    std::optional<Match> match = findFrom(search, spans, currentPosition());
    // Going round once; a non-empty selection is never left.
    const bool selectionBound = fromSelection_ && !open_;
    if (!match && wrap_ == wdFindContinue && !selectionBound)
        match = findFrom(search, spans, forward_ ? spans.front().start : spans.back().end);
    if (!match) return std::nullopt;
    const int start = static_cast<int>(match->start);
    const int end = static_cast<int>(match->end);
    if (forward_)
        position_ = end > start ? end : end + 1;  // an empty match must not be found again
    else
        position_ = end > start ? start : start - 1;
    if (fromSelection_) selectArea(*model_, textArea(start, end));
    return match;
}

bool FindImpl::replaceOne(const TextSearch& search) {
    const std::u16string replacement = toUtf16(replacement_->Text());
    // A bad ^ code in the replacement fails before anything is looked for or changed.
    expandReplacement(replacement, Match{}, std::u16string_view{}, matchWildcards_);
    std::optional<Match> match = findOnce(search);
    if (!match) return false;
    const std::u16string& text = model_->index().text();
    TextEdit edit{static_cast<int>(match->start), static_cast<int>(match->end),
                  expandReplacement(replacement, *match, text, matchWildcards_)};
    EditOutcome outcome = applyTextEdits(*model_, {edit});
    if (!outcome.applied.empty()) {
        const TextEdit& done = outcome.applied.front();
        position_ = forward_ ? done.start + static_cast<int>(done.text.size()) : done.start;
        afterEdit(outcome);
        if (fromSelection_) selectArea(*model_, textArea(done.start, done.start + static_cast<int>(done.text.size())));
    }
    return true;
}

bool FindImpl::replaceAll(const TextSearch& search) {
    const std::u16string replacement = toUtf16(replacement_->Text());
    std::vector<Span> spans = scopeSpans();
    // From an insertion point: to the story's end, or round the whole story with wdFindContinue.
    const int from = currentPosition();
    if (open_ && wrap_ != wdFindContinue) spans.front().start = std::min(from, spans.front().end);
    const std::u16string& text = model_->index().text();
    std::vector<TextEdit> edits;
    for (const Span& s : spans) {
        auto plan = search.planReplaceAll(text, static_cast<size_t>(s.start), static_cast<size_t>(s.end), replacement);
        for (PlannedReplacement& r : plan)
            edits.push_back(TextEdit{static_cast<int>(r.start), static_cast<int>(r.end), std::move(r.text)});
    }
    if (edits.empty()) {
        // planReplaceAll checked the replacement's ^ codes even with nothing to replace.
        return false;
    }
    EditOutcome outcome = applyTextEdits(*model_, std::move(edits));
    afterEdit(outcome);
    if (open_)
        position_ = outcome.mapPosition(from);
    else
        position_.reset();  // the next find starts at the scope's start again
    return true;
}

// Positions that follow the edited text move with it: the scope's end, the selection.
void FindImpl::afterEdit(const EditOutcome& outcome) {
    if (outcome.applied.empty()) return;
    if (scope_.kind == Area::Kind::Text && !open_) scope_.end = outcome.mapPosition(scope_.end);
    Area& selection = model_->selection();
    if (selection.kind == Area::Kind::Text) {
        selection.start = outcome.mapPosition(selection.start);
        selection.end = outcome.mapPosition(selection.end);
    } else if (model_->isLive(selection.table)) {
        Span s = areaSpan(*model_, selection);
        selection.start = s.start;
        selection.end = s.end;
    }
}

bool FindImpl::Execute(const FindExecuteArgs& args) {
    model_->check();
    // A given argument sets the property; an omitted one keeps it.
    if (args.FindText) text_ = *args.FindText;
    if (args.MatchCase) matchCase_ = *args.MatchCase;
    if (args.MatchWholeWord) matchWholeWord_ = *args.MatchWholeWord;
    if (args.MatchWildcards) matchWildcards_ = *args.MatchWildcards;
    if (args.MatchSoundsLike) matchSoundsLike_ = *args.MatchSoundsLike;
    if (args.MatchAllWordForms) matchAllWordForms_ = *args.MatchAllWordForms;
    if (args.Forward) forward_ = *args.Forward;
    if (args.Wrap) SetWrap(*args.Wrap);
    if (args.Format) format_ = *args.Format;
    if (args.ReplaceWith) replacement_->SetText(*args.ReplaceWith);
    if (args.MatchKashida) matchKashida_ = *args.MatchKashida;
    if (args.MatchDiacritics) matchDiacritics_ = *args.MatchDiacritics;
    if (args.MatchAlefHamza) matchAlefHamza_ = *args.MatchAlefHamza;
    if (args.MatchControl) matchControl_ = *args.MatchControl;
    const int replace = args.Replace.value_or(wdReplaceNone);
    if (replace < wdReplaceNone || replace > wdReplaceAll) throw errors::badParameter("Replace");

    SearchOptions options;
    options.text = toUtf16(text_);
    options.matchCase = matchCase_;
    options.matchWholeWord = matchWholeWord_;
    options.matchWildcards = matchWildcards_;
    options.forward = forward_;
    // An invalid pattern fails here, before the document is looked at or changed. A loop of executions
    // with the same options compiles the pattern once.
    const bool same = compiled_ && compiled_->options().text == options.text &&
                      compiled_->options().matchCase == options.matchCase &&
                      compiled_->options().matchWholeWord == options.matchWholeWord &&
                      compiled_->options().matchWildcards == options.matchWildcards &&
                      compiled_->options().forward == options.forward;
    if (!same) {
        compiled_.reset();
        compiled_.emplace(std::move(options));
    }
    const TextSearch& search = *compiled_;
    switch (replace) {
        case wdReplaceOne: return replaceOne(search);
        case wdReplaceAll: return replaceAll(search);
        default: return findOnce(search).has_value();
    }
}

}  // namespace

FindPtr makeFind(const ModelPtr& model, const Area& scope, bool fromSelection) {
    model->check();
    if (scope.kind == Area::Kind::Block) requireLive(*model, scope.table);
    return std::make_shared<FindImpl>(model, scope, fromSelection);
}

}  // namespace automation::ooxml
