#include "automation/ooxml/text_edit.h"

#include <algorithm>
#include <unordered_set>

#include "automation/ooxml/unicode.h"
#include "automation/ooxml/wml.h"

namespace automation::ooxml {

int EditOutcome::mapPosition(int pos) const {
    int shift = 0;
    for (const TextEdit& e : applied) {
        const int newLength = static_cast<int>(e.text.size());
        if (e.end <= pos && e.start < pos) {
            shift += newLength - (e.end - e.start);
        } else if (e.start < pos) {
            return e.start + shift + newLength;  // inside a replaced stretch
        } else {
            break;
        }
    }
    return pos + shift;
}

int EditOutcome::delta() const {
    int d = 0;
    for (const TextEdit& e : applied) d += static_cast<int>(e.text.size()) - (e.end - e.start);
    return d;
}

namespace {

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Control characters that stand for an element of their own in a run (13 splits the paragraph).
bool isElementCharacter(char16_t c) {
    return c == u'\t' || c == 11 || c == 12 || c == 13 || c == 14 || c == 30 || c == 31;
}

// The new text without characters that have no place in a document.
std::u16string sanitized(const std::u16string& text) {
    std::u16string out;
    out.reserve(text.size());
    for (char16_t c : text)
        if ((c >= 0x20 && c != 0xFFFE && c != 0xFFFF) || isElementCharacter(c)) out += c;
    return out;
}

void setText(pugi::xml_node t, std::u16string_view text) {
    t.text().set(toUtf8(text).c_str());
    // Without xml:space="preserve" spaces at either end of a w:t are lost when the file is read.
    const bool edgeSpace = !text.empty() && (text.front() == u' ' || text.back() == u' ');
    if (edgeSpace && !t.attribute("xml:space")) t.append_attribute("xml:space") = "preserve";
}

// Elements between two body paragraphs that hold no text and may stay where they are when they join.
bool isMarker(pugi::xml_node n) {
    static const char* const names[] = {"bookmarkStart", "bookmarkEnd",       "proofErr",       "permStart",
                                        "permEnd",       "commentRangeStart", "commentRangeEnd"};
    for (const char* name : names)
        if (wml::is(n, name)) return true;
    return false;
}

// The paragraph that follows p in the same container, with only markers between them.
pugi::xml_node nextParagraphSibling(pugi::xml_node p) {
    for (pugi::xml_node n = p.next_sibling(); n; n = n.next_sibling()) {
        if (n.type() != pugi::node_element) continue;
        if (wml::is(n, "p")) return n;
        if (!isMarker(n)) return {};
    }
    return {};
}

// Property elements (w:rPr, w:pPr, w:sdtPr, ...) are copied, not moved, when an element is split.
bool isProperties(pugi::xml_node n) {
    std::string_view name = wml::localName(n);
    return n.type() == pugi::node_element && name.size() > 2 && name.substr(name.size() - 2) == "Pr";
}

// Revision marks are not copied along with the formatting of a paragraph mark.
void stripRevisions(pugi::xml_node rPr) {
    for (const char* name : {"ins", "del", "moveFrom", "moveTo", "rPrChange"}) wml::remove(rPr, name);
}

class Sweep {
public:
    Sweep(DocumentModel& model, size_t edits)
        : index_(model.index()), text_(index_.text()), segments_(index_.segments()) {
        seen_.reserve(edits * 3);
    }

    bool apply(TextEdit& edit);
    void finish();

private:
    // The new content of one w:t, built left to right from kept and inserted pieces.
    struct Builder {
        pugi::xml_node t;
        std::u16string_view original;
        std::u16string out;
        size_t cursor = 0;
        bool changed = false;

        void keepTo(size_t offset) {
            if (offset <= cursor) return;
            out.append(original.substr(cursor, offset - cursor));
            cursor = offset;
        }
        void skipTo(size_t offset) {
            if (offset <= cursor) return;
            cursor = offset;
            changed = true;
        }
        void insert(std::u16string_view s) {
            out.append(s);
            changed = true;
        }
    };

    Builder& builderFor(const Segment& seg);
    void flush();
    bool insertOnly(int pos, const std::u16string& text);
    void writeText(pugi::xml_node t, std::u16string_view text);
    pugi::xml_node newTextNear(pugi::xml_node element, pugi::xml_node run, bool before);
    void newRunAtEnd(pugi::xml_node p, std::u16string_view text);
    void touchText(pugi::xml_node t) {
        if (seen_.insert(t.internal_object()).second) texts_.push_back(t);
    }
    void touchRun(pugi::xml_node r) {
        if (r && seen_.insert(r.internal_object()).second) runs_.push_back(r);
    }
    void join(pugi::xml_node p);
    void splitBefore(pugi::xml_node cut);

    StoryIndex& index_;
    const std::u16string& text_;
    const Segments& segments_;
    int lastEnd_ = 0;
    Builder current_;
    // Work left for the end of the sweep, when no segment of the index is looked at any more.
    std::vector<pugi::xml_node> joins_;     // paragraphs whose mark goes, in document order
    std::vector<pugi::xml_node> removals_;  // tabs, breaks, objects replaced away
    std::vector<pugi::xml_node> cuts_;      // split the paragraph before each of these
    std::vector<pugi::xml_node> texts_;     // w:t written: removed when left empty
    std::vector<pugi::xml_node> runs_;      // runs touched: removed when left without content
    std::unordered_set<pugi::xml_node_struct*> seen_;
};

Sweep::Builder& Sweep::builderFor(const Segment& seg) {
    if (current_.t.internal_object() != seg.node) {
        flush();
        current_.t = pugi::xml_node(seg.node);
        current_.original =
            std::u16string_view(text_).substr(static_cast<size_t>(seg.start), static_cast<size_t>(seg.length));
    }
    return current_;
}

void Sweep::flush() {
    if (current_.t && current_.changed) {
        current_.keepTo(current_.original.size());
        writeText(current_.t, current_.out);
    }
    current_ = Builder{};
}

void Sweep::writeText(pugi::xml_node t, std::u16string_view text) {
    touchText(t);
    pugi::xml_node parent = t.parent();
    pugi::xml_node target = t;
    size_t pieceStart = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !isElementCharacter(text[i])) continue;
        setText(target, text.substr(pieceStart, i - pieceStart));
        pieceStart = i + 1;
        if (i == text.size()) break;
        pugi::xml_node after = target;
        const char16_t c = text[i];
        if (c != 13) {
            const char* name = c == u'\t' ? "w:tab" : c == 30 ? "w:noBreakHyphen" : c == 31 ? "w:softHyphen" : "w:br";
            after = parent.insert_child_after(name, target);
            if (c == 12) after.append_attribute("w:type") = "page";
            if (c == 14) after.append_attribute("w:type") = "column";
        }
        target = parent.insert_child_after("w:t", after);
        touchText(target);
        if (c == 13) cuts_.push_back(target);
    }
}

// A new, empty w:t beside a tab, break or object of a run, so that it shares the run's formatting.
pugi::xml_node Sweep::newTextNear(pugi::xml_node element, pugi::xml_node run, bool before) {
    if (!run) run = element.parent();
    while (element.parent() && element.parent() != run) element = element.parent();
    pugi::xml_node parent = element.parent();
    touchRun(run);
    return before ? parent.insert_child_before("w:t", element) : parent.insert_child_after("w:t", element);
}

// Text that replaces a paragraph mark takes the mark's own formatting.
void Sweep::newRunAtEnd(pugi::xml_node p, std::u16string_view text) {
    pugi::xml_node r = p.append_child("w:r");
    if (pugi::xml_node markRPr = wml::child(wml::child(p, "pPr"), "rPr")) stripRevisions(r.append_copy(markRPr));
    touchRun(r);
    writeText(r.append_child("w:t"), text);
}

bool Sweep::insertOnly(int pos, const std::u16string& text) {
    const int length = index_.length();
    if (pos > 0 && pos <= length) {
        const Segment& prev = segments_[static_cast<size_t>(index_.segmentAt(pos - 1))];
        if (prev.kind == SegmentKind::Text) {
            Builder& b = builderFor(prev);
            b.keepTo(static_cast<size_t>(pos - prev.start));
            b.insert(text);
            return true;
        }
        if (prev.kind == SegmentKind::Char) {
            writeText(newTextNear(pugi::xml_node(prev.node), pugi::xml_node(prev.run), false), text);
            return true;
        }
    }
    if (pos >= length) return false;
    const Segment& next = segments_[static_cast<size_t>(index_.segmentAt(pos))];
    switch (next.kind) {
        case SegmentKind::Text: {
            Builder& b = builderFor(next);
            b.keepTo(0);
            b.insert(text);
            return true;
        }
        case SegmentKind::Char:
            writeText(newTextNear(pugi::xml_node(next.node), pugi::xml_node(next.run), true), text);
            return true;
        case SegmentKind::ParaMark: newRunAtEnd(pugi::xml_node(next.node), text); return true;
        case SegmentKind::CellMark: {
            // An empty cell: the text goes into the cell's last paragraph.
            pugi::xml_node last;
            for (pugi::xml_node c = pugi::xml_node(next.node).first_child(); c; c = c.next_sibling())
                if (wml::is(c, "p")) last = c;
            if (!last) return false;
            newRunAtEnd(last, text);
            return true;
        }
        case SegmentKind::RowMark: return false;
    }
    return false;
}

bool Sweep::apply(TextEdit& edit) {
    const int length = index_.length();
    int s = std::clamp(edit.start, 0, length);
    int e = std::clamp(edit.end, 0, length);
    if (e < s) return false;
    // Never cut a character outside the basic plane in half.
    if (s > 0 && s < length && isLowSurrogate(text_[s]) && isHighSurrogate(text_[s - 1])) --s;
    if (e > 0 && e < length && isHighSurrogate(text_[e - 1]) && isLowSurrogate(text_[e])) ++e;
    if (s < lastEnd_) return false;
    std::u16string text = sanitized(edit.text);

    if (s == e) {
        if (text.empty() || !insertOnly(s, text)) return false;
        lastEnd_ = e;
        edit = TextEdit{s, e, std::move(text)};
        return true;
    }

    const int first = index_.segmentAt(s);
    const int last = index_.segmentAt(e - 1);
    if (first < 0 || last < 0) return false;
    for (int i = first; i <= last; ++i) {
        const Segment& seg = segments_[static_cast<size_t>(i)];
        if (seg.kind == SegmentKind::CellMark || seg.kind == SegmentKind::RowMark) return false;
        if (seg.kind == SegmentKind::ParaMark) {
            // Joining needs the next paragraph right beside this one; a section break is never joined away.
            pugi::xml_node p(seg.node);
            if (!nextParagraphSibling(p) || wml::child(wml::child(p, "pPr"), "sectPr")) return false;
        }
    }

    const Segment& f = segments_[static_cast<size_t>(first)];
    if (!text.empty()) {
        if (f.kind == SegmentKind::Text) {
            Builder& b = builderFor(f);
            b.keepTo(static_cast<size_t>(s - f.start));
            b.insert(text);
        } else if (f.kind == SegmentKind::Char) {
            writeText(newTextNear(pugi::xml_node(f.node), pugi::xml_node(f.run), true), text);
        } else {
            newRunAtEnd(pugi::xml_node(f.node), text);
        }
    }
    for (int i = first; i <= last; ++i) {
        const Segment& seg = segments_[static_cast<size_t>(i)];
        const size_t from = static_cast<size_t>(std::max(s, seg.start) - seg.start);
        const size_t to = static_cast<size_t>(std::min(e, seg.start + seg.length) - seg.start);
        switch (seg.kind) {
            case SegmentKind::Text: {
                Builder& b = builderFor(seg);
                b.keepTo(from);
                b.skipTo(to);
                touchRun(pugi::xml_node(seg.run));
                break;
            }
            case SegmentKind::Char:
                removals_.push_back(pugi::xml_node(seg.node));
                touchRun(pugi::xml_node(seg.run));
                break;
            case SegmentKind::ParaMark: joins_.push_back(pugi::xml_node(seg.node)); break;
            default: break;
        }
    }
    lastEnd_ = e;
    edit = TextEdit{s, e, std::move(text)};
    return true;
}

// The mark of p goes: p's content moves to the front of the paragraph after it, whose mark (and with
// it the paragraph properties) survives.
void Sweep::join(pugi::xml_node p) {
    pugi::xml_node next = nextParagraphSibling(p);
    if (!next) return;
    pugi::xml_node anchor = next.first_child();
    while (anchor && wml::is(anchor, "pPr")) anchor = anchor.next_sibling();
    for (pugi::xml_node c = p.first_child(); c;) {
        pugi::xml_node following = c.next_sibling();
        if (!wml::is(c, "pPr")) {
            if (anchor)
                next.insert_move_before(c, anchor);
            else
                next.append_move(c);
        }
        c = following;
    }
    p.parent().remove_child(p);
}

// Splits the paragraph holding `cut` so that everything before it becomes a paragraph of its own
// (with a copy of the paragraph properties, less any section break), placed before the original.
void Sweep::splitBefore(pugi::xml_node cut) {
    pugi::xml_node c = cut;
    pugi::xml_node a = c.parent();
    auto moveLeading = [](pugi::xml_node from, pugi::xml_node stop, pugi::xml_node to) {
        for (pugi::xml_node n = from.first_child(); n && n != stop;) {
            pugi::xml_node following = n.next_sibling();
            if (isProperties(n))
                to.append_copy(n);
            else
                to.append_move(n);
            n = following;
        }
    };
    while (a && !wml::is(a, "p")) {
        pugi::xml_node copy = a.parent().insert_child_before(a.name(), a);
        for (pugi::xml_attribute attr : a.attributes()) copy.append_attribute(attr.name()) = attr.value();
        moveLeading(a, c, copy);
        if (wml::is(a, "r")) touchRun(copy);
        c = a;
        a = a.parent();
    }
    if (!a) return;
    pugi::xml_node before = a.parent().insert_child_before(a.name(), a);
    moveLeading(a, c, before);
    wml::remove(wml::child(before, "pPr"), "sectPr");
}

void Sweep::finish() {
    flush();
    // Later marks first: each paragraph's content then moves only once along a chain of joins.
    for (auto it = joins_.rbegin(); it != joins_.rend(); ++it) join(*it);
    for (pugi::xml_node n : removals_)
        if (n.parent()) n.parent().remove_child(n);
    for (pugi::xml_node cut : cuts_) splitBefore(cut);
    for (pugi::xml_node t : texts_)
        if (t.parent() && *t.text().get() == '\0') t.parent().remove_child(t);
    for (pugi::xml_node r : runs_) {
        if (!r.parent()) continue;
        bool content = false;
        for (pugi::xml_node c = r.first_child(); c && !content; c = c.next_sibling())
            content = c.type() == pugi::node_element && !wml::is(c, "rPr");
        if (!content) r.parent().remove_child(r);
    }
}

}  // namespace

EditOutcome applyTextEdits(DocumentModel& model, std::vector<TextEdit> edits) {
    EditOutcome outcome;
    if (edits.empty()) return outcome;
    std::stable_sort(edits.begin(), edits.end(),
                     [](const TextEdit& a, const TextEdit& b) { return a.start < b.start; });
    Sweep sweep(model, edits.size());
    outcome.applied.reserve(edits.size());
    for (TextEdit& edit : edits) {
        if (sweep.apply(edit))
            outcome.applied.push_back(std::move(edit));
        else
            ++outcome.skipped;
    }
    sweep.finish();
    if (!outcome.applied.empty()) model.textChanged();
    return outcome;
}

}  // namespace automation::ooxml
