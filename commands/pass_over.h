// Pass-over mode: while it is on, a Word operation that fails is abandoned and the command goes on
// with its next operation; while it is off, the failure propagates and ends the command.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "automation/error.h"

namespace commands {

// One operation abandoned while pass-over was on.
struct PassedOver {
    int table = 0;          // the table pass it belonged to (1 based; 0 outside a table loop)
    std::string operation;  // the Word members it called, e.g. "Selection.Rows.Height"
    long number = 0;        // Word's error number
    std::string message;    // Word's error text
};

class PassOver {
public:
    explicit PassOver(bool on = false) : on_(on) {}

    bool on() const { return on_; }
    void setOn(bool on) { on_ = on; }

    // The table pass that the operations now belong to (for the record of passed-over operations).
    void setTable(int table) { table_ = table; }

    // Runs one operation. Returns true when it ran to its end; false when it failed and was passed
    // over. With pass-over off a failure is rethrown.
    template <typename Operation>
    bool run(const char* name, Operation&& operation) {
        if (!on_) {
            std::forward<Operation>(operation)();
            return true;
        }
        try {
            std::forward<Operation>(operation)();
            return true;
        } catch (const automation::Error& error) {
            passedOver_.push_back({table_, name, error.number(), error.message()});
            return false;
        }
    }

    // The same for an operation that needs no name in the record.
    template <typename Operation>
    bool run(Operation&& operation) {
        return run("", std::forward<Operation>(operation));
    }

    const std::vector<PassedOver>& passedOver() const { return passedOver_; }
    int failures() const { return static_cast<int>(passedOver_.size()); }

private:
    bool on_ = false;
    int table_ = 0;
    std::vector<PassedOver> passedOver_;
};

}  // namespace commands
