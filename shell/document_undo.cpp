#include "shell/document_undo.h"

#include <QUndoCommand>
#include <QUndoStack>

#include <exception>

#include "automation/error.h"
#include "shell/word_calls.h"

namespace shell {

namespace {

// One command: the document before and after it. Its first redo is the command itself, done already.
class SnapshotStep : public QUndoCommand {
public:
    SnapshotStep(const QString& name, DocumentUndo& owner, automation::HostedDocuments& documents, QUndoStack& stack,
                 std::shared_ptr<const automation::DocumentSnapshot> before,
                 std::shared_ptr<const automation::DocumentSnapshot> after, std::uint64_t afterVersion,
                 const std::function<void(const QString&)>& report)
        : QUndoCommand(name),
          owner_(owner),
          documents_(documents),
          stack_(stack),
          before_(std::move(before)),
          after_(std::move(after)),
          afterVersion_(afterVersion),
          report_(report) {}

    // QUndoStack calls these before it moves its index: the state restored is the saved one when the
    // index it moves to is the clean index.
    void undo() override {
        callWord(report_, [&] {
            // A change made since the command (outside any command) is kept as the state redo returns to.
            if (activeIsMine() && documents_.contentVersion() != afterVersion_) after_ = documents_.captureState();
            restore(*before_, stack_.cleanIndex() == stack_.index() - 1);
        });
    }
    void redo() override {
        if (firstRedo_) {
            firstRedo_ = false;
            return;
        }
        callWord(report_, [&] {
            restore(*after_, stack_.cleanIndex() == stack_.index() + 1);
            afterVersion_ = documents_.contentVersion();
        });
    }

private:
    bool activeIsMine() const { return documents_.activeDocumentId() == before_->documentId(); }

    void restore(const automation::DocumentSnapshot& state, bool saved) {
        if (!activeIsMine()) throw automation::errors::notAvailable("该文档不是当前文档");
        documents_.restoreState(state, saved);
        emit owner_.moved();
    }

    DocumentUndo& owner_;
    automation::HostedDocuments& documents_;
    QUndoStack& stack_;
    std::shared_ptr<const automation::DocumentSnapshot> before_;
    std::shared_ptr<const automation::DocumentSnapshot> after_;
    std::uint64_t afterVersion_;
    const std::function<void(const QString&)>& report_;
    bool firstRedo_ = true;
};

}  // namespace

DocumentUndo::DocumentUndo(automation::HostedDocuments& documents, std::function<void(const QString&)> report,
                           QObject* parent)
    : QObject(parent), documents_(documents), report_(std::move(report)) {}

QUndoStack* DocumentUndo::stackOf(std::uint64_t id) const {
    const auto it = stacks_.find(id);
    return it == stacks_.end() ? nullptr : it->second;
}

QUndoStack* DocumentUndo::stackFor(std::uint64_t id) {
    if (QUndoStack* stack = stackOf(id)) return stack;
    auto* stack = new QUndoStack(&group_);
    stack->setUndoLimit(kMaxSteps);
    stacks_.emplace(id, stack);
    return stack;
}

void DocumentUndo::follow(const std::vector<std::uint64_t>& openIds, std::uint64_t activeId) {
    for (auto it = stacks_.begin(); it != stacks_.end();) {
        if (std::find(openIds.begin(), openIds.end(), it->first) != openIds.end()) {
            ++it;
            continue;
        }
        delete it->second;
        it = stacks_.erase(it);
    }
    for (std::uint64_t id : openIds) stackFor(id);
    activeId_ = activeId;
    if (!running_) group_.setActiveStack(stackOf(activeId));
}

void DocumentUndo::begin(const QString& name) {
    running_ = true;
    group_.setActiveStack(nullptr);
    pendingId_ = 0;
    before_.reset();
    callWord(report_, [&] {
        const std::uint64_t id = documents_.activeDocumentId();
        if (id == 0) return;  // no document: the command has nothing to take back
        stackFor(id);
        before_ = documents_.captureState();
        beforeVersion_ = documents_.contentVersion();
        pendingId_ = id;
        pendingName_ = name;
    });
}

bool DocumentUndo::end() {
    running_ = false;
    const std::uint64_t id = pendingId_;
    pendingId_ = 0;
    bool stepped = false;
    callWord(report_, [&] {
        // The command may have closed the document or switched to another one.
        QUndoStack* stack = stackOf(id);
        if (!stack || documents_.activeDocumentId() != id || documents_.contentVersion() == beforeVersion_) return;
        std::shared_ptr<const automation::DocumentSnapshot> after = documents_.captureState();
        if (after->sameAs(*before_)) return;  // changed back to what it was
        stack->push(new SnapshotStep(pendingName_, *this, documents_, *stack, before_, std::move(after),
                                     documents_.contentVersion(), report_));
        stepped = true;
    });
    before_.reset();
    group_.setActiveStack(stackOf(activeId_));
    return stepped;
}

void DocumentUndo::noteSaved(bool saved) {
    QUndoStack* stack = stackOf(activeId_);
    if (running_ || !stack) return;
    if (saved)
        stack->setClean();
    else if (stack->isClean())
        stack->resetClean();  // changed outside the commands: no step leads back to the file
}

}  // namespace shell
