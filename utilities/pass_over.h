// Pass-over mode for the utilities: a failing Word operation is abandoned and the command goes on.
#pragma once

#include <utility>

#include "automation/error.h"
#include "automation/word.h"

namespace utilities {

class PassOver {
public:
    // Runs one operation; true when it ran to its end, false when Word failed and it was abandoned.
    template <typename Operation>
    bool run(Operation&& operation) {
        try {
            std::forward<Operation>(operation)();
            return true;
        } catch (const automation::Error&) {
            ++failures_;
            return false;
        }
    }
    int failures() const { return failures_; }

private:
    int failures_ = 0;
};

// Word's active document, or null when there is none.
inline automation::DocumentPtr activeDocument(automation::Application& word) {
    try {
        return word.ActiveDocument();
    } catch (const automation::Error&) {
        return nullptr;
    }
}

}  // namespace utilities
