#include "automation/com/undo_record.h"

#include "automation/com/dispatch.h"
#include "automation/com/word_application.h"

namespace automation::com {

namespace {

ObjectType& applicationType() {
    static ObjectType instance("Application");
    return instance;
}

ObjectType& undoRecordType() {
    static ObjectType instance("UndoRecord");
    return instance;
}

}  // namespace

CustomUndoRecord::CustomUndoRecord(Application& word, const std::string& name) {
    IDispatch* application = dispatchOf(word);
    if (application == nullptr) return;
    application->AddRef();
    Dispatch app(application, applicationType());
    try {
        Result result;
        app.get("UndoRecord", result);
        auto record = std::make_unique<Dispatch>(result.takeDispatch(), undoRecordType());
        record->call("StartCustomRecord", {name});
        record_ = std::move(record);
    } catch (const Error&) {
        // No UndoRecord in this Word (438), or Word would not start one: the command goes on without.
    }
}

CustomUndoRecord::~CustomUndoRecord() {
    if (record_ == nullptr) return;
    try {
        record_->call("EndCustomRecord");
    } catch (const Error&) {
        // Word has gone or ended the record itself: there is nothing left to close.
    }
}

}  // namespace automation::com
