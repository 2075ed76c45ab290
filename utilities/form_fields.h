// Legacy form fields (check boxes, text inputs, drop-down lists) of the main text. Word shows a check
// box without text of its own, so a cell holding one looks empty to Range.Text; and a form field is no
// link: unlinking it would throw away its state (a check box vanishes from the page).
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "automation/word.h"
#include "commands/pass_over.h"

namespace utilities {

// Whether a field code (Field.Code, for example " FORMCHECKBOX ") is that of a form field.
bool isFormField(std::string_view code);

// A stretch of the main text in Word's positions: [start, end).
struct TextStretch {
    int start = 0;
    int end = 0;
};

// Where the document's form fields stand, read once through Document.Fields and moved with every
// deletion made through the two members below, so that later cells are judged where they now stand.
// Each deletion costs O(log² n) in the number of form fields; a document without any pays nothing.
class FormFieldPositions {
public:
    FormFieldPositions(automation::Document& document, commands::PassOver& passOver);
    // Whether a form field stands in the document range [start, end).
    bool within(int start, int end) const;

    // Runs deletion as one pass-over operation; it deletes rows whose text begins at start. The fields
    // after it move up by what Word removed. True when the deletion ran to its end.
    bool deleteRows(int start, const std::function<void()>& deletion);
    // The same for a deletion of cells whose ranges, before it and in document order, are given. When
    // Word removed other text than those ranges (the table went with them), the positions are read anew.
    bool deleteCells(const std::vector<TextStretch>& cells, const std::function<void()>& deletion);

private:
    void read();
    // The main text's length, -1 when Word cannot tell.
    int storyEnd();
    // Word removed [start, end) of the text as it stood: fields there went, those after it move up.
    void removed(int start, int end);
    int positionOf(std::size_t field) const;
    // The first field standing at position or after it.
    std::size_t firstFrom(int position) const;
    void shiftFrom(std::size_t field, int delta);

    automation::Document& document_;
    commands::PassOver& passOver_;
    std::vector<int> read_;   // positions as read, sorted
    std::vector<int> shift_;  // a Fenwick tree of the moves: field i has moved by the sum up to i
    std::vector<bool> gone_;
};

}  // namespace utilities
