// Undo and redo of whole commands for the embedded Word's documents: before and after every command
// the document's parts are kept, up to kMaxSteps steps per document. Every state has a number, so
// the history knows when a document is back at what its file holds.
#pragma once

#include <QString>

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "automation/ooxml/application.h"

namespace shell {

class UndoHistory {
public:
    static constexpr std::size_t kMaxSteps = 50;

    explicit UndoHistory(automation::ooxml::WordApplication& word) : word_(word) {}

    // A command named name starts / has ended on the active document. A command that changed
    // nothing leaves no step.
    void begin(const QString& name);
    void end();
    // The active document's file now holds what it shows (after opening or saving).
    void markSaved();

    bool canUndo() const;
    bool canRedo() const;
    // The command an undo or redo would take back or do again; empty when none.
    QString undoName() const;
    QString redoName() const;
    // Takes back / does again the active document's last command. Fails with automation::Error.
    void undo();
    void redo();
    // Forgets the documents that are no longer open.
    void keepOnly(const std::vector<std::uint64_t>& openIds);

private:
    struct State {
        std::shared_ptr<const automation::ooxml::DocumentState> parts;
        std::uint64_t number = 0;
    };
    struct Step {
        QString name;
        State before;
        State after;
    };
    struct Document {
        std::vector<Step> undo;
        std::vector<Step> redo;
        std::uint64_t current = 0;         // the number of the state it is in
        std::uint64_t currentVersion = 0;  // its content version when it got there
        std::uint64_t saved = 0;           // the number of the state its file holds
    };

    // The active document's entry, with its current state numbered (a new number when it changed
    // outside the commands).
    Document* active();
    const Document* activeOrNull() const;
    void moveTo(Document& document, const State& state);

    automation::ooxml::WordApplication& word_;
    std::map<std::uint64_t, Document> documents_;
    std::uint64_t lastNumber_ = 0;
    std::uint64_t pendingId_ = 0;
    State pending_;
    QString pendingName_;
};

}  // namespace shell
