#include "automation/ooxml/story_index.h"

#include <algorithm>
#include <bit>

#include "automation/ooxml/unicode.h"
#include "automation/ooxml/wml.h"

namespace automation::ooxml {

namespace {

constexpr int kMaxDepth = 512;

}  // namespace

Fenwick::Fenwick(const std::vector<int>& counts) : tree_(counts.size() + 1, 0) {
    for (size_t i = 1; i < tree_.size(); ++i) {
        tree_[i] += counts[i - 1];
        const size_t up = i + (i & (~i + 1));
        if (up < tree_.size()) tree_[up] += tree_[i];
    }
}

void Fenwick::add(int place, int delta) {
    for (size_t i = static_cast<size_t>(place) + 1; i < tree_.size(); i += i & (~i + 1)) tree_[i] += delta;
}

int Fenwick::prefix(int place) const {
    int sum = 0;
    for (size_t i = std::min(static_cast<size_t>(std::max(place, 0)), tree_.empty() ? 0 : tree_.size() - 1); i > 0;
         i -= i & (~i + 1))
        sum += tree_[i];
    return sum;
}

int Fenwick::placeOf(int k) const {
    if (tree_.size() < 2 || k < 0) return -1;
    const size_t n = tree_.size() - 1;
    size_t place = 0;
    int rest = k;
    for (size_t step = std::bit_floor(n); step > 0; step >>= 1) {
        if (place + step <= n && tree_[place + step] <= rest) {
            place += step;
            rest -= tree_[place];
        }
    }
    return place < n ? static_cast<int>(place) : -1;
}

namespace {

// Fibonacci hashing of a node's address: the high bits of the product spread neighbouring nodes.
size_t slotOf(pugi::xml_node_struct* node, size_t slots) {
    const std::uint64_t key = reinterpret_cast<std::uintptr_t>(node) >> 3;
    return static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> (64 - std::countr_zero(slots)));
}

}  // namespace

template <typename T>
size_t NodeTable<T>::append(pugi::xml_node_struct* node, T value) {
    entries_.emplace_back(node, std::move(value));
    return entries_.size() - 1;
}

// At most two entries in three slots, so that probes stay short.
template <typename T>
void NodeTable<T>::index() {
    slots_.assign(std::max<size_t>(1024, std::bit_ceil(entries_.size() + entries_.size() / 2 + 1)), 0);
    const size_t mask = slots_.size() - 1;
    for (size_t e = 0; e < entries_.size(); ++e) {
        size_t i = slotOf(entries_[e].first, slots_.size());
        while (slots_[i] != 0) i = (i + 1) & mask;
        slots_[i] = static_cast<std::uint32_t>(e + 1);
    }
}

template <typename T>
const T* NodeTable<T>::find(pugi::xml_node_struct* node) const {
    if (slots_.empty() || !node) return nullptr;
    const size_t mask = slots_.size() - 1;
    for (size_t i = slotOf(node, slots_.size()); slots_[i] != 0; i = (i + 1) & mask)
        if (entries_[slots_[i] - 1].first == node) return &entries_[slots_[i] - 1].second;
    return nullptr;
}

template class NodeTable<NodeInfo>;
template class NodeTable<int>;

void NodeList::seal() {
    taken_.assign(nodes_.size(), 0);
    presentTree_ = Fenwick(std::vector<int>(nodes_.size(), 1));
    present_ = static_cast<int>(nodes_.size());
}

pugi::xml_node NodeList::at(int k) const {
    if (k < 0 || k >= present_) return {};
    if (present_ == static_cast<int>(nodes_.size())) return nodes_[static_cast<size_t>(k)];
    return nodes_[static_cast<size_t>(presentTree_.placeOf(k))];
}

void NodeList::take(size_t i) {
    if (taken_[i]) return;
    taken_[i] = 1;
    presentTree_.add(static_cast<int>(i), -1);
    --present_;
}

void NodeList::compact() {
    if (present_ == static_cast<int>(nodes_.size())) return;
    size_t kept = 0;
    for (size_t i = 0; i < nodes_.size(); ++i)
        if (!taken_[i]) nodes_[kept++] = nodes_[i];
    nodes_.resize(kept);
    seal();
}

StoryIndex::StoryIndex(pugi::xml_node body, std::size_t sizeHint) {
    // Generous estimates: room that is never written costs address space, not memory.
    text_.reserve(std::max<std::size_t>(4096, sizeHint / 4));
    segments_.reserve(sizeHint / 32);
    nodes_.reserve(sizeHint / 32);
    blockContainer(body, {}, true, 0);
    finishBuild();
}

void StoryIndex::finishBuild() {
    nodes_.index();
    paragraphs_.seal();
    outerTables_.seal();
    allTables_.seal();
    std::vector<int> complete(fields_.size(), 0);
    fieldStarts_ = NodeTable<int>();
    for (size_t i = 0; i < fields_.size(); ++i) {
        fieldStarts_.append(fields_[i].start.internal_object(), static_cast<int>(i));
        if (fields_[i].complete && !fields_[i].dropped) complete[i] = 1;
    }
    fieldStarts_.index();
    completeFields_ = Fenwick(complete);
    gaps_.clear();
    live_ = Fenwick();
    removed_ = 0;
}

void StoryIndex::push(SegmentKind kind, int length, pugi::xml_node node, pugi::xml_node cell, pugi::xml_node run,
                      std::u16string_view chars) {
    if (length <= 0) return;
    segments_.push_back(
        Segment{baseLength(), length, kind, node.internal_object(), cell.internal_object(), run.internal_object()});
    text_.append(chars);
}

size_t StoryIndex::openNode(pugi::xml_node node, pugi::xml_node parent) {
    return nodes_.append(node.internal_object(), NodeInfo{Span{baseLength(), baseLength()}, parent.internal_object()});
}

void StoryIndex::closeNode(size_t opened) { nodes_.value(opened).span.end = baseLength(); }

void StoryIndex::blockContainer(pugi::xml_node container, pugi::xml_node cell, bool direct, int depth) {
    if (depth > kMaxDepth) return;
    for (pugi::xml_node c = container.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element) continue;
        if (wml::is(c, "p")) {
            paragraph(c, cell);
        } else if (wml::is(c, "tbl")) {
            if (direct && !cell) outerTables_.push(c);
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
    paragraphs_.push(p);
    const size_t opened = openNode(p, cell);
    inlineContent(p, p, cell, 0);
    push(SegmentKind::ParaMark, 1, p, cell, {}, u"\r");
    lastDirectParaMark_ = static_cast<int>(segments_.size()) - 1;
    closeNode(opened);
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
    allTables_.push(tbl);
    const size_t opened = openNode(tbl, cell);
    rowsOf(tbl, tbl, cell, depth);
    closeNode(opened);
}

void StoryIndex::rowsOf(pugi::xml_node container, pugi::xml_node tbl, pugi::xml_node cell, int depth) {
    if (depth > kMaxDepth) return;
    for (pugi::xml_node c = container.first_child(); c; c = c.next_sibling()) {
        if (wml::is(c, "tr")) {
            row(c, tbl, cell, depth + 1);
        } else if (wml::is(c, "sdt")) {
            if (pugi::xml_node content = wml::child(c, "sdtContent")) rowsOf(content, tbl, cell, depth + 1);
        } else if (wml::is(c, "customXml")) {
            rowsOf(c, tbl, cell, depth + 1);
        }
    }
}

void StoryIndex::row(pugi::xml_node tr, pugi::xml_node tbl, pugi::xml_node cell, int depth) {
    const size_t opened = openNode(tr, tbl);
    cellsOf(tr, tbl, depth);
    push(SegmentKind::RowMark, 1, tr, cell, {}, std::u16string_view(&kCellMark, 1));
    closeNode(opened);
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
    const size_t opened = openNode(tc, tbl);
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
    closeNode(opened);
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

// A stretch is gone when none of its characters is left; an empty one (the result of an empty field)
// when the character it stands before is.
bool StoryIndex::removedWhole(Span baseSpan) const {
    if (gaps_.empty()) return false;
    if (baseSpan.start >= baseSpan.end)
        return baseSpan.start < baseLength() && live_.prefix(baseSpan.start + 1) == live_.prefix(baseSpan.start);
    return live_.prefix(baseSpan.end) == live_.prefix(baseSpan.start);
}

// Positions inside a removed stretch all stand where it stood.
int StoryIndex::current(int basePos) const { return gaps_.empty() ? basePos : live_.prefix(basePos); }

// The base position of the character still there at pos.
int StoryIndex::base(int pos) const {
    if (gaps_.empty()) return pos;
    return pos >= length() ? baseLength() : live_.placeOf(pos);
}

const NodeInfo* StoryIndex::live(pugi::xml_node_struct* node) const {
    const NodeInfo* info = nodes_.find(node);
    return info && !removedWhole(info->span) ? info : nullptr;
}

void StoryIndex::removeRange(int start, int end) {
    start = std::clamp(start, 0, length());
    end = std::clamp(end, start, length());
    if (start == end) return;
    // One count per character still there, made at the first removal: commands that remove nothing
    // never pay for it.
    if (gaps_.empty()) live_ = Fenwick(std::vector<int>(static_cast<size_t>(baseLength()), 1));
    const int from = base(start);
    const int to = base(end);
    int next = from;
    for (auto gap = gaps_.upper_bound(from);; ++gap) {
        const int stop = gap != gaps_.end() && gap->first < to ? gap->first : to;
        for (int i = next; i < stop; ++i) live_.add(i, -1);
        if (stop == to) break;
        next = gap->second;
    }
    removed_ += end - start;

    // One stretch for everything removed that touches.
    int gapStart = from, gapEnd = to;
    auto it = gaps_.lower_bound(from);
    if (it != gaps_.begin() && std::prev(it)->second >= from) {
        --it;
        gapStart = it->first;
    }
    while (it != gaps_.end() && it->first <= gapEnd) {
        gapEnd = std::max(gapEnd, it->second);
        it = gaps_.erase(it);
    }
    gaps_.emplace(gapStart, gapEnd);

    // Nodes of the lists that went: they start within [from, to) and end in it.
    for (NodeList* list : {&paragraphs_, &outerTables_, &allTables_}) {
        const auto& nodes = list->all();
        auto spanOf = [&](pugi::xml_node n) {
            const NodeInfo* info = nodes_.find(n.internal_object());
            return info ? info->span : Span{};
        };
        auto first =
            std::partition_point(nodes.begin(), nodes.end(), [&](pugi::xml_node n) { return spanOf(n).start < from; });
        for (size_t i = static_cast<size_t>(first - nodes.begin()); i < nodes.size(); ++i) {
            const Span span = spanOf(nodes[i]);
            if (span.start >= to) break;
            if (!list->taken(i) && removedWhole(span)) list->take(i);
        }
    }
}

void StoryIndex::compact() {
    if (gaps_.empty()) return;
    std::u16string text;
    text.reserve(static_cast<size_t>(length()));
    int kept = 0;
    for (const auto& [gapStart, gapEnd] : gaps_) {
        text.append(text_, static_cast<size_t>(kept), static_cast<size_t>(gapStart - kept));
        kept = gapEnd;
    }
    text.append(text_, static_cast<size_t>(kept), std::u16string::npos);

    Segments segments;
    segments.reserve(segments_.size());
    for (Segment seg : segments_) {
        if (removedWhole(Span{seg.start, seg.start + seg.length})) continue;
        seg.start = current(seg.start);
        segments.push_back(seg);
    }

    // Fields whose result went with a removal go too, as do unlinked ones; the others keep their places.
    std::vector<int> renumbered(fields_.size(), -1);
    std::vector<FieldRecord> fields;
    for (size_t i = 0; i < fields_.size(); ++i) {
        FieldRecord& field = fields_[i];
        if (field.dropped || removedWhole(field.result)) continue;
        field.result = Span{current(field.result.start), current(field.result.end)};
        renumbered[i] = static_cast<int>(fields.size());
        fields.push_back(std::move(field));
    }
    for (FieldRecord& field : fields)
        field.parent = field.parent < 0 ? -1 : renumbered[static_cast<size_t>(field.parent)];

    NodeTable<NodeInfo> nodes;
    for (NodeList* list : {&paragraphs_, &outerTables_, &allTables_}) list->compact();
    auto carry = [&](pugi::xml_node_struct* node) {
        if (const NodeInfo* info = live(node))
            nodes.append(node, NodeInfo{Span{current(info->span.start), current(info->span.end)}, info->parent});
    };
    // Every paragraph and table is in a list; every row and cell ends with its mark.
    for (pugi::xml_node p : paragraphs_.all()) carry(p.internal_object());
    for (pugi::xml_node tbl : allTables_.all()) carry(tbl.internal_object());
    for (const Segment& seg : segments)
        if (seg.kind == SegmentKind::RowMark || seg.kind == SegmentKind::CellMark) carry(seg.node);

    text_ = std::move(text);
    segments_ = std::move(segments);
    fields_ = std::move(fields);
    nodes_ = std::move(nodes);
    finishBuild();
}

void StoryIndex::dropField(int index) {
    if (index < 0 || index >= static_cast<int>(fields_.size()) || fields_[static_cast<size_t>(index)].dropped) return;
    // Nested fields follow their field directly in the order of their start.
    auto within = [&](int f) {
        for (; f >= 0; f = fields_[static_cast<size_t>(f)].parent)
            if (f == index) return true;
        return false;
    };
    for (int f = index; f < static_cast<int>(fields_.size()) && within(f); ++f) {
        FieldRecord& field = fields_[static_cast<size_t>(f)];
        if (field.dropped) continue;
        field.dropped = true;
        if (field.complete) completeFields_.add(f, -1);
    }
}

const std::vector<FieldRecord>& StoryIndex::fields() {
    compact();
    return fields_;
}

int StoryIndex::completeFieldCount() {
    compact();
    return completeFields_.prefix(static_cast<int>(fields_.size()));
}

int StoryIndex::completeField(int k) {
    compact();
    return completeFields_.placeOf(k);
}

int StoryIndex::fieldStartingAt(pugi::xml_node start) {
    compact();
    const int* entry = fieldStarts_.find(start.internal_object());
    if (!entry || fields_[static_cast<size_t>(*entry)].dropped) return -1;
    return *entry;
}

const std::u16string& StoryIndex::text() {
    compact();
    return text_;
}

const Segments& StoryIndex::segments() {
    compact();
    return segments_;
}

const std::vector<pugi::xml_node>& StoryIndex::paragraphs() {
    compact();
    return paragraphs_.all();
}

const std::vector<pugi::xml_node>& StoryIndex::outerTables() {
    compact();
    return outerTables_.all();
}

const std::vector<pugi::xml_node>& StoryIndex::allTables() {
    compact();
    return allTables_.all();
}

int StoryIndex::baseSegmentAt(int basePos) const {
    auto it = std::upper_bound(segments_.begin(), segments_.end(), basePos,
                               [](int p, const Segment& s) { return p < s.start; });
    return static_cast<int>(it - segments_.begin()) - 1;
}

int StoryIndex::segmentAt(int pos) {
    if (pos < 0 || pos >= length()) return -1;
    compact();
    return baseSegmentAt(pos);
}

bool StoryIndex::span(pugi::xml_node node, Span& out) const {
    const NodeInfo* info = live(node.internal_object());
    if (!info) return false;
    out = Span{current(info->span.start), current(info->span.end)};
    return true;
}

pugi::xml_node StoryIndex::cellAt(int pos) const {
    if (pos < 0 || pos >= length()) return {};
    const int i = baseSegmentAt(base(pos));
    return i < 0 ? pugi::xml_node() : pugi::xml_node(segments_[static_cast<size_t>(i)].cell);
}

pugi::xml_node StoryIndex::tableOfCell(pugi::xml_node tc) const {
    const NodeInfo* info = live(tc.internal_object());
    return info ? pugi::xml_node(info->parent) : pugi::xml_node();
}

std::u16string StoryIndex::rangeText(int start, int end) const {
    start = std::clamp(start, 0, length());
    end = std::clamp(end, start, length());
    std::u16string out;
    out.reserve(static_cast<size_t>(end - start) + 8);
    auto copy = [&](int from, int to) {
        for (int i = from; i < to; ++i) {
            if (text_[static_cast<size_t>(i)] == kCellMark)
                out += u"\r\a";
            else
                out.push_back(text_[static_cast<size_t>(i)]);
        }
    };
    // Base positions of the characters still there, around the removed stretches between them.
    int from = base(start);
    const int to = base(end);
    for (auto gap = gaps_.upper_bound(from); gap != gaps_.end() && gap->first < to; ++gap) {
        copy(from, gap->first);
        from = gap->second;
    }
    copy(from, to);
    return out;
}

}  // namespace automation::ooxml
