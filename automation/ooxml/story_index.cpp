#include "automation/ooxml/story_index.h"

#include <algorithm>
#include <unordered_set>

#include "automation/ooxml/unicode.h"
#include "automation/ooxml/wml.h"

namespace automation::ooxml {

namespace {

constexpr int kMaxDepth = 512;

}  // namespace

StoryIndex::StoryIndex(pugi::xml_node body) {
    text_.reserve(4096);
    blockContainer(body, {}, true, 0);
}

void StoryIndex::push(SegmentKind kind, int length, pugi::xml_node node, pugi::xml_node cell, pugi::xml_node run,
                      std::u16string_view chars) {
    if (length <= 0) return;
    segments_.push_back(Segment{static_cast<int>(text_.size()), length, kind, node.internal_object(),
                                cell.internal_object(), run.internal_object()});
    text_.append(chars);
}

void StoryIndex::blockContainer(pugi::xml_node container, pugi::xml_node cell, bool direct, int depth) {
    if (depth > kMaxDepth) return;
    for (pugi::xml_node c = container.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element) continue;
        if (wml::is(c, "p")) {
            paragraph(c, cell);
        } else if (wml::is(c, "tbl")) {
            if (direct && !cell) outerTables_.push_back(c);
            table(c, cell, depth + 1);
            lastDirectParaMark_ = -1;
        } else if (wml::is(c, "sdt")) {
            if (pugi::xml_node content = wml::child(c, "sdtContent")) blockContainer(content, cell, direct, depth + 1);
        } else if (wml::is(c, "customXml") || wml::is(c, "ins") || wml::is(c, "moveTo")) {
            blockContainer(c, cell, direct, depth + 1);
        } else if (wml::isMarkupCompatibility(c, "AlternateContent")) {
            if (pugi::xml_node branch = wml::chosenBranch(c)) blockContainer(branch, cell, direct, depth + 1);
        }
    }
}

void StoryIndex::paragraph(pugi::xml_node p, pugi::xml_node cell) {
    const int start = length();
    paragraphs_.push_back(p);
    if (cell) parentOf_[p.internal_object()] = cell.internal_object();
    inlineContent(p, p, cell, 0);
    push(SegmentKind::ParaMark, 1, p, cell, {}, u"\r");
    lastDirectParaMark_ = static_cast<int>(segments_.size()) - 1;
    spans_[p.internal_object()] = Span{start, length()};
}

void StoryIndex::inlineContent(pugi::xml_node parent, pugi::xml_node p, pugi::xml_node cell, int depth) {
    if (depth > kMaxDepth) return;
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element) continue;
        std::string_view name = wml::localName(c);
        if (!wml::isWordElement(c)) {
            if (wml::isMarkupCompatibility(c, "AlternateContent"))
                if (pugi::xml_node branch = wml::chosenBranch(c)) inlineContent(branch, p, cell, depth + 1);
            continue;
        }
        if (name == "r") {
            runContent(c, c, cell, depth + 1);
        } else if (name == "fldSimple") {
            const int self = openField(true, c);
            fields_[self].code = c.attribute("w:instr").value();
            const int from = length();
            inlineContent(c, p, cell, depth + 1);
            // Complex fields still open inside it are broken; they end with it.
            while (!openFields_.empty() && openFields_.back() != self) openFields_.pop_back();
            if (!openFields_.empty()) openFields_.pop_back();
            fields_[self].complete = true;
            fields_[self].result = Span{from, length()};
        } else if (name == "hyperlink" || name == "smartTag" || name == "customXml" || name == "ins" ||
                   name == "moveTo" || name == "bdo" || name == "dir") {
            inlineContent(c, p, cell, depth + 1);
        } else if (name == "sdt") {
            if (pugi::xml_node content = wml::child(c, "sdtContent")) inlineContent(content, p, cell, depth + 1);
        }
        // pPr, del, moveFrom, bookmarks, proofing marks, comment ranges: no characters.
    }
}

void StoryIndex::runContent(pugi::xml_node parent, pugi::xml_node run, pugi::xml_node cell, int depth) {
    if (depth > kMaxDepth) return;
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element) continue;
        if (!wml::isWordElement(c)) {
            if (wml::isMarkupCompatibility(c, "AlternateContent"))
                if (pugi::xml_node branch = wml::chosenBranch(c)) runContent(branch, run, cell, depth + 1);
            continue;
        }
        std::string_view name = wml::localName(c);
        if (name == "instrText") {
            const int f = innermostComplexField();
            if (f >= 0 && !fields_[f].separate) fields_[f].code += c.text().get();
            continue;
        }
        if (name == "fldChar") {
            const std::string type = wml::val(c, "w:fldCharType");
            fieldMarker(c, type);
            if (type == "begin") {
                fieldInResult_.push_back(false);
                ++fieldCodeDepth_;
            } else if (type == "separate") {
                if (!fieldInResult_.empty() && !fieldInResult_.back()) {
                    fieldInResult_.back() = true;
                    --fieldCodeDepth_;
                }
            } else if (type == "end") {
                if (!fieldInResult_.empty()) {
                    if (!fieldInResult_.back()) --fieldCodeDepth_;
                    fieldInResult_.pop_back();
                }
            }
            continue;
        }
        if (fieldCodeDepth_ > 0) continue;
        if (name == "t") {
            std::u16string chars = toUtf16(c.text().get());
            push(SegmentKind::Text, static_cast<int>(chars.size()), c, cell, run, chars);
        } else if (name == "tab" || name == "ptab") {
            push(SegmentKind::Char, 1, c, cell, run, u"\t");
        } else if (name == "br") {
            const std::string type = wml::val(c, "w:type");
            push(SegmentKind::Char, 1, c, cell, run, type == "page" ? u"\f" : type == "column" ? u"\x0e" : u"\v");
        } else if (name == "cr") {
            push(SegmentKind::Char, 1, c, cell, run, u"\v");
        } else if (name == "noBreakHyphen") {
            push(SegmentKind::Char, 1, c, cell, run, u"\x1e");
        } else if (name == "softHyphen") {
            push(SegmentKind::Char, 1, c, cell, run, u"\x1f");
        } else if (name == "sym") {
            push(SegmentKind::Char, 1, c, cell, run, u"(");
        } else if (name == "footnoteReference" || name == "endnoteReference") {
            push(SegmentKind::Char, 1, c, cell, run, u"\x02");
        } else if (name == "commentReference") {
            push(SegmentKind::Char, 1, c, cell, run, u"\x05");
        } else if (name == "drawing") {
            // Inline pictures take one position; floating ones are anchored without a character.
            bool inlineShape = false;
            for (pugi::xml_node d = c.first_child(); d; d = d.next_sibling())
                if (std::string_view(d.name()) == "wp:inline") inlineShape = true;
            if (inlineShape) push(SegmentKind::Char, 1, c, cell, run, u"\x01");
        } else if (name == "pict" || name == "object") {
            push(SegmentKind::Char, 1, c, cell, run, u"\x01");
        }
    }
}

void StoryIndex::table(pugi::xml_node tbl, pugi::xml_node cell, int depth) {
    const int start = length();
    allTables_.push_back(tbl);
    if (cell) parentOf_[tbl.internal_object()] = cell.internal_object();
    rowsOf(tbl, tbl, cell, depth);
    spans_[tbl.internal_object()] = Span{start, length()};
}

void StoryIndex::rowsOf(pugi::xml_node container, pugi::xml_node tbl, pugi::xml_node cell, int depth) {
    if (depth > kMaxDepth) return;
    for (pugi::xml_node c = container.first_child(); c; c = c.next_sibling()) {
        if (wml::is(c, "tr")) {
            row(c, cell, depth + 1);
            parentOf_[c.internal_object()] = tbl.internal_object();
        } else if (wml::is(c, "sdt")) {
            if (pugi::xml_node content = wml::child(c, "sdtContent")) rowsOf(content, tbl, cell, depth + 1);
        } else if (wml::is(c, "customXml")) {
            rowsOf(c, tbl, cell, depth + 1);
        }
    }
}

void StoryIndex::row(pugi::xml_node tr, pugi::xml_node cell, int depth) {
    const int start = length();
    pugi::xml_node tbl = tr.parent();
    while (tbl && !wml::is(tbl, "tbl")) tbl = tbl.parent();
    cellsOf(tr, tbl, depth);
    push(SegmentKind::RowMark, 1, tr, cell, {}, std::u16string_view(&kCellMark, 1));
    spans_[tr.internal_object()] = Span{start, length()};
}

void StoryIndex::cellsOf(pugi::xml_node container, pugi::xml_node tbl, int depth) {
    if (depth > kMaxDepth) return;
    for (pugi::xml_node c = container.first_child(); c; c = c.next_sibling()) {
        if (wml::is(c, "tc")) {
            tableCell(c, tbl, depth + 1);
        } else if (wml::is(c, "sdt")) {
            if (pugi::xml_node content = wml::child(c, "sdtContent")) cellsOf(content, tbl, depth + 1);
        } else if (wml::is(c, "customXml")) {
            cellsOf(c, tbl, depth + 1);
        }
    }
}

void StoryIndex::tableCell(pugi::xml_node tc, pugi::xml_node tbl, int depth) {
    const int start = length();
    parentOf_[tc.internal_object()] = tbl.internal_object();
    lastDirectParaMark_ = -1;
    blockContainer(tc, tc, true, depth + 1);
    if (lastDirectParaMark_ >= 0 && lastDirectParaMark_ == static_cast<int>(segments_.size()) - 1) {
        // The cell's last paragraph mark is the end-of-cell mark.
        Segment& mark = segments_[lastDirectParaMark_];
        mark.kind = SegmentKind::CellMark;
        mark.node = tc.internal_object();
        text_.back() = kCellMark;
    } else {
        push(SegmentKind::CellMark, 1, tc, tc, {}, std::u16string_view(&kCellMark, 1));
    }
    lastDirectParaMark_ = -1;
    spans_[tc.internal_object()] = Span{start, length()};
}

int StoryIndex::openField(bool simple, pugi::xml_node start) {
    FieldRecord field;
    field.simple = simple;
    field.start = start;
    if (!openFields_.empty()) {
        const FieldRecord& outer = fields_[static_cast<size_t>(openFields_.back())];
        field.parent = openFields_.back();
        field.inResult = outer.simple || static_cast<bool>(outer.separate);
    }
    fields_.push_back(std::move(field));
    const int self = static_cast<int>(fields_.size()) - 1;
    openFields_.push_back(self);
    return self;
}

int StoryIndex::innermostComplexField() const {
    if (openFields_.empty()) return -1;
    const int f = openFields_.back();
    return fields_[static_cast<size_t>(f)].simple ? -1 : f;
}

// A marker stands at the position of the character that follows it.
void StoryIndex::fieldMarker(pugi::xml_node fldChar, const std::string& type) {
    if (type == "begin") {
        const int self = openField(false, fldChar);
        fields_[self].result = Span{length(), length()};
        return;
    }
    const int f = innermostComplexField();
    if (f < 0) return;
    FieldRecord& field = fields_[static_cast<size_t>(f)];
    if (type == "separate") {
        if (!field.separate) {
            field.separate = fldChar;
            field.result = Span{length(), length()};
        }
    } else if (type == "end") {
        field.end = fldChar;
        field.complete = true;
        if (field.separate)
            field.result.end = length();
        else
            field.result = Span{length(), length()};
        openFields_.pop_back();
    }
}

void StoryIndex::removeRange(int start, int end) {
    start = std::clamp(start, 0, length());
    end = std::clamp(end, start, length());
    const int removed = end - start;
    if (removed == 0) return;
    text_.erase(static_cast<size_t>(start), static_cast<size_t>(removed));

    auto first = std::lower_bound(segments_.begin(), segments_.end(), start,
                                  [](const Segment& seg, int pos) { return seg.start < pos; });
    auto last =
        std::lower_bound(first, segments_.end(), end, [](const Segment& seg, int pos) { return seg.start < pos; });
    first = segments_.erase(first, last);
    for (auto it = first; it != segments_.end(); ++it) it->start -= removed;

    // Nodes wholly inside the range were removed with it; the ones around it shrink.
    std::unordered_set<pugi::xml_node_struct*> gone;
    for (auto it = spans_.begin(); it != spans_.end();) {
        Span& span = it->second;
        if (start <= span.start && span.end <= end) {
            gone.insert(it->first);
            it = spans_.erase(it);
            continue;
        }
        if (span.start >= end) span.start -= removed;
        if (span.end >= end) span.end -= removed;
        ++it;
    }
    auto dropGone = [&](std::vector<pugi::xml_node>& nodes) {
        nodes.erase(std::remove_if(nodes.begin(), nodes.end(),
                                   [&](pugi::xml_node n) { return gone.count(n.internal_object()) != 0; }),
                    nodes.end());
    };
    dropGone(paragraphs_);
    dropGone(outerTables_);
    dropGone(allTables_);
    for (pugi::xml_node_struct* node : gone) parentOf_.erase(node);

    // Fields whose result lay inside the range went with it; the others keep their places.
    std::vector<int> renumbered(fields_.size(), -1);
    std::vector<FieldRecord> kept;
    for (size_t i = 0; i < fields_.size(); ++i) {
        FieldRecord& field = fields_[i];
        if (start <= field.result.start && field.result.end <= end && field.result.start < end) continue;
        if (field.result.start >= end) field.result.start -= removed;
        if (field.result.end >= end) field.result.end -= removed;
        renumbered[i] = static_cast<int>(kept.size());
        kept.push_back(std::move(field));
    }
    for (FieldRecord& field : kept)
        field.parent = field.parent < 0 ? -1 : renumbered[static_cast<size_t>(field.parent)];
    fields_ = std::move(kept);
}

void StoryIndex::dropField(int index) {
    if (index < 0 || index >= static_cast<int>(fields_.size())) return;
    // Nested fields follow their field directly in the order of their start.
    auto within = [&](int f) {
        for (; f >= 0; f = fields_[static_cast<size_t>(f)].parent)
            if (f == index) return true;
        return false;
    };
    int last = index + 1;
    while (last < static_cast<int>(fields_.size()) && within(last)) ++last;
    const int dropped = last - index;
    fields_.erase(fields_.begin() + index, fields_.begin() + last);
    for (size_t i = static_cast<size_t>(index); i < fields_.size(); ++i)
        if (fields_[i].parent >= last) fields_[i].parent -= dropped;
}

int StoryIndex::segmentAt(int pos) const {
    if (pos < 0 || pos >= length()) return -1;
    auto it =
        std::upper_bound(segments_.begin(), segments_.end(), pos, [](int p, const Segment& s) { return p < s.start; });
    return static_cast<int>(it - segments_.begin()) - 1;
}

bool StoryIndex::span(pugi::xml_node node, Span& out) const {
    auto it = spans_.find(node.internal_object());
    if (it == spans_.end()) return false;
    out = it->second;
    return true;
}

pugi::xml_node StoryIndex::cellAt(int pos) const {
    const int i = segmentAt(pos);
    if (i < 0) return {};
    return pugi::xml_node(segments_[i].cell);
}

pugi::xml_node StoryIndex::tableOfCell(pugi::xml_node tc) const {
    auto it = parentOf_.find(tc.internal_object());
    return it == parentOf_.end() ? pugi::xml_node() : pugi::xml_node(it->second);
}

pugi::xml_node StoryIndex::cellOfTable(pugi::xml_node tbl) const { return tableOfCell(tbl); }

pugi::xml_node StoryIndex::cellOfParagraph(pugi::xml_node p) const { return tableOfCell(p); }

std::u16string StoryIndex::rangeText(int start, int end) const {
    start = std::clamp(start, 0, length());
    end = std::clamp(end, start, length());
    std::u16string out;
    out.reserve(static_cast<size_t>(end - start) + 8);
    for (int i = start; i < end; ++i) {
        if (text_[i] == kCellMark) {
            out += u"\r\a";
        } else {
            out.push_back(text_[i]);
        }
    }
    return out;
}

}  // namespace automation::ooxml
