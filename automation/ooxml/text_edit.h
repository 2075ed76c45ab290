// Replacing stretches of the main story's text in the DOM, the way typing over a selection does.
#pragma once

#include <string>
#include <vector>

#include "automation/ooxml/document_model.h"

namespace automation::ooxml {

// [start, end) of the story becomes `text` (UTF-16; ^p and friends already expanded).
struct TextEdit {
    int start = 0;
    int end = 0;
    std::u16string text;
};

// What one sweep did: the edits it carried out, with the story positions as they were before it.
struct EditOutcome {
    std::vector<TextEdit> applied;
    int skipped = 0;

    // Where a position before the sweep lies after it. A position inside a replaced stretch moves to
    // the end of its replacement.
    int mapPosition(int pos) const;
    // How many positions the story grew by (negative when it shrank).
    int delta() const;
};

// Carries out edits that are sorted by start and do not overlap, in one sweep over the story, and
// tells the model once at the end (when anything changed).
//
// - The new text takes the run formatting of the first character it replaces; an insertion (an empty
//   stretch) takes that of the character before it in the same paragraph, else the one after it.
// - Text removed from a run shrinks its w:t; a w:t left empty is removed, and a run left with nothing
//   but its properties is removed (paragraphs and cells are never removed).
// - A stretch that holds paragraph marks joins those paragraphs; the paragraph whose mark survives
//   (the last one) keeps its paragraph properties. Such a stretch is skipped when the paragraphs do not
//   stand side by side in one container.
// - A stretch holding an end-of-cell or end-of-row mark is skipped: cell structure never changes here.
// - Paragraph marks in the new text split the paragraph; tabs, line, page and column breaks and the
//   special hyphens become their own elements; other control characters are dropped.
// - A stretch edge that would cut a surrogate pair is widened to the whole character.
EditOutcome applyTextEdits(DocumentModel& model, std::vector<TextEdit> edits);

}  // namespace automation::ooxml
