#include "shell/undo_history.h"

#include <algorithm>

namespace shell {

UndoHistory::Document* UndoHistory::active() {
    const std::uint64_t id = word_.documentId(*word_.ActiveDocument());
    const std::uint64_t version = word_.contentVersion();
    auto [it, added] = documents_.try_emplace(id);
    Document& document = it->second;
    if (added || document.currentVersion != version) {
        document.current = ++lastNumber_;
        document.currentVersion = version;
        if (added) document.saved = word_.ActiveDocument()->Saved() ? document.current : 0;
    }
    return &document;
}

const UndoHistory::Document* UndoHistory::activeOrNull() const {
    try {
        const auto it = documents_.find(word_.documentId(*word_.ActiveDocument()));
        return it == documents_.end() ? nullptr : &it->second;
    } catch (const automation::Error&) {
        return nullptr;
    }
}

void UndoHistory::begin(const QString& name) {
    pendingId_ = 0;
    try {
        Document* document = active();
        pending_ = {word_.captureState(), document->current};
        pendingId_ = pending_.parts->documentId();
        pendingName_ = name;
    } catch (const automation::Error&) {
        // No document open: the command has nothing to take back.
    }
}

void UndoHistory::end() {
    if (pendingId_ == 0) return;
    const std::uint64_t id = pendingId_;
    pendingId_ = 0;
    try {
        // The command may have closed the document or switched to another one.
        if (word_.documentId(*word_.ActiveDocument()) != id) return;
        Document* document = active();
        if (document->current == pending_.number) return;  // nothing changed
        State after{word_.captureState(), document->current};
        if (after.parts->sameAs(*pending_.parts)) {
            document->current = pending_.number;  // changed back to what it was
            return;
        }
        Step step{pendingName_, pending_, std::move(after)};
        document->undo.push_back(std::move(step));
        if (document->undo.size() > kMaxSteps) document->undo.erase(document->undo.begin());
        document->redo.clear();
    } catch (const automation::Error&) {}
    pending_ = {};
}

void UndoHistory::markSaved() {
    try {
        active()->saved = active()->current;
    } catch (const automation::Error&) {}
}

bool UndoHistory::canUndo() const {
    const Document* document = activeOrNull();
    return document && !document->undo.empty();
}

bool UndoHistory::canRedo() const {
    const Document* document = activeOrNull();
    return document && !document->redo.empty();
}

QString UndoHistory::undoName() const { return canUndo() ? activeOrNull()->undo.back().name : QString(); }

QString UndoHistory::redoName() const { return canRedo() ? activeOrNull()->redo.back().name : QString(); }

void UndoHistory::moveTo(Document& document, const State& state) {
    word_.restoreState(*state.parts, state.number == document.saved);
    document.current = state.number;
    document.currentVersion = word_.contentVersion();
}

void UndoHistory::undo() {
    Document* document = active();
    if (document->undo.empty()) return;
    Step step = std::move(document->undo.back());
    document->undo.pop_back();
    // A change made since the command (outside any command) is kept as the state redo returns to.
    if (document->current != step.after.number) step.after = {word_.captureState(), document->current};
    moveTo(*document, step.before);
    document->redo.push_back(std::move(step));
}

void UndoHistory::redo() {
    Document* document = active();
    if (document->redo.empty()) return;
    Step step = std::move(document->redo.back());
    document->redo.pop_back();
    moveTo(*document, step.after);
    document->undo.push_back(std::move(step));
}

void UndoHistory::keepOnly(const std::vector<std::uint64_t>& openIds) {
    std::erase_if(documents_, [&](const auto& entry) {
        return std::find(openIds.begin(), openIds.end(), entry.first) == openIds.end();
    });
}

}  // namespace shell
