// One command as one step of Word's undo list: Word's custom undo record (Application.UndoRecord,
// Word 2010 and later), so that a single Ctrl+Z in Word takes the whole command back.
#pragma once

#include <memory>
#include <string>

#include "automation/word.h"

namespace automation::com {

class Dispatch;

// Starts a custom undo record named `name` on this Word and ends it when it goes out of scope. A Word
// without UndoRecord (Word 2007, WPS), a Word that refuses the record, or an Application that is not
// Word through COM records nothing, and the command runs as it would without the record.
class CustomUndoRecord {
public:
    CustomUndoRecord(Application& word, const std::string& name);
    ~CustomUndoRecord();
    CustomUndoRecord(const CustomUndoRecord&) = delete;
    CustomUndoRecord& operator=(const CustomUndoRecord&) = delete;

    // Whether Word took the record.
    bool recording() const { return record_ != nullptr; }

private:
    std::unique_ptr<Dispatch> record_;
};

}  // namespace automation::com
