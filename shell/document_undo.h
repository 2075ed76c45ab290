// Undo and redo of whole commands: every open document has its QUndoStack in one QUndoGroup, whose
// active stack is the active document's. A step keeps the document as it was before and after its
// command; a command that changed nothing leaves no step.
#pragma once

#include <QObject>
#include <QString>
#include <QUndoGroup>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "automation/hosted_documents.h"

class QUndoStack;

namespace shell {

class DocumentUndo : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxSteps = 50;

    // report shows what Word said when a step could not be taken back or done again.
    DocumentUndo(automation::HostedDocuments& documents, std::function<void(const QString&)> report,
                 QObject* parent = nullptr);

    // Undo and redo act on the active stack; the actions come from here.
    QUndoGroup* group() { return &group_; }

    // Follows Word: a stack for every open document, the active document's active, none while a command
    // runs (its steps cannot be taken while it changes the document).
    void follow(const std::vector<std::uint64_t>& openIds, std::uint64_t activeId);
    // A command named name starts / has ended on the active document; end says whether it left a
    // step (changed the document).
    void begin(const QString& name);
    bool end();
    // Whether the active document's file holds what it shows: the stack's clean state follows (a
    // document changed outside the commands has no clean state left).
    void noteSaved(bool saved);
    QUndoStack* stackOf(std::uint64_t id) const;

signals:
    // An undo or a redo has put a document back in another state.
    void moved();

private:
    QUndoStack* stackFor(std::uint64_t id);

    automation::HostedDocuments& documents_;
    std::function<void(const QString&)> report_;
    QUndoGroup group_;
    std::map<std::uint64_t, QUndoStack*> stacks_;
    std::uint64_t activeId_ = 0;
    bool running_ = false;
    std::uint64_t pendingId_ = 0;
    std::shared_ptr<const automation::DocumentSnapshot> before_;
    std::uint64_t beforeVersion_ = 0;
    QString pendingName_;
};

}  // namespace shell
