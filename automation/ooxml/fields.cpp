// Fields of the main story: simple fields (w:fldSimple) and complex fields (w:fldChar begin, separate,
// end with w:instrText between begin and separate), nested ones included, in document order of their
// start. Unlink replaces a field with its current result.
#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "automation/error.h"
#include "automation/ooxml/objects.h"
#include "automation/ooxml/wml.h"

namespace automation::ooxml {

namespace {

constexpr int kMaxDepth = 512;

enum class FieldKind { Simple, Complex };

struct FieldInfo {
    FieldKind kind = FieldKind::Complex;
    pugi::xml_node start;     // the w:fldSimple, or the begin w:fldChar
    pugi::xml_node separate;  // complex: the separate w:fldChar, or empty
    pugi::xml_node end;       // complex: the end w:fldChar; empty while the field is not closed
    std::string code;
    int parent = -1;          // the enclosing field
    bool inResult = false;    // within the enclosing field's result rather than its code
    bool complete = false;
    Span result{0, 0};        // filled when positions are asked for
};


// One pass over the main story in the order the story index reads it. With an index it also gives
// every field's result positions: a marker stands at the position of the character that follows it.
class FieldScanner {
public:
    FieldScanner(pugi::xml_node body, const StoryIndex* index) : index_(index) {
        if (index_)
            for (const Segment& s : index_->segments())
                if (s.kind == SegmentKind::Text || s.kind == SegmentKind::Char)
                    segmentEnd_[s.node] = s.start + s.length;
        block(body, 0);
    }

    std::vector<FieldInfo> fields;

private:
    void block(pugi::xml_node container, int depth) {
        if (depth > kMaxDepth) return;
        for (pugi::xml_node c = container.first_child(); c; c = c.next_sibling()) {
            if (c.type() != pugi::node_element) continue;
            if (wml::is(c, "p")) {
                inlineContent(c, depth + 1);
                structureEnd(c);
            } else if (wml::is(c, "tbl")) {
                for (pugi::xml_node tr : rowsOf(c)) {
                    for (pugi::xml_node tc : cellsOf(tr)) {
                        block(tc, depth + 2);
                        structureEnd(tc);
                    }
                    structureEnd(tr);
                }
                structureEnd(c);
            } else if (wml::is(c, "sdt")) {
                if (pugi::xml_node content = wml::child(c, "sdtContent")) block(content, depth + 1);
            } else if (wml::is(c, "customXml") || wml::is(c, "ins") || wml::is(c, "moveTo")) {
                block(c, depth + 1);
            } else if (wml::isMarkupCompatibility(c, "AlternateContent")) {
                if (pugi::xml_node branch = wml::chosenBranch(c)) block(branch, depth + 1);
            }
        }
    }

    static std::vector<pugi::xml_node> rowsOf(pugi::xml_node tbl) { return TableGrid::rowNodes(tbl); }
    static std::vector<pugi::xml_node> cellsOf(pugi::xml_node tr) { return TableGrid::cellNodes(tr); }

    void inlineContent(pugi::xml_node parent, int depth) {
        if (depth > kMaxDepth) return;
        for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
            if (c.type() != pugi::node_element) continue;
            if (!wml::isWordElement(c)) {
                if (wml::isMarkupCompatibility(c, "AlternateContent"))
                    if (pugi::xml_node branch = wml::chosenBranch(c)) inlineContent(branch, depth + 1);
                continue;
            }
            std::string_view name = wml::localName(c);
            if (name == "r") {
                runContent(c, depth + 1);
            } else if (name == "fldSimple") {
                const int self = open(FieldKind::Simple, c);
                fields[self].code = c.attribute("w:instr").value();
                const int from = pos_;
                inlineContent(c, depth + 1);
                // Complex fields still open inside it are broken; they end with it.
                while (!open_.empty() && open_.back() != self) open_.pop_back();
                if (!open_.empty()) open_.pop_back();
                fields[self].complete = true;
                fields[self].result = Span{from, pos_};
            } else if (name == "hyperlink" || name == "smartTag" || name == "customXml" || name == "ins" ||
                       name == "moveTo" || name == "bdo" || name == "dir") {
                inlineContent(c, depth + 1);
            } else if (name == "sdt") {
                if (pugi::xml_node content = wml::child(c, "sdtContent")) inlineContent(content, depth + 1);
            }
        }
    }

    void runContent(pugi::xml_node parent, int depth) {
        if (depth > kMaxDepth) return;
        for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
            if (c.type() != pugi::node_element) continue;
            if (!wml::isWordElement(c)) {
                if (wml::isMarkupCompatibility(c, "AlternateContent"))
                    if (pugi::xml_node branch = wml::chosenBranch(c)) runContent(branch, depth + 1);
                continue;
            }
            std::string_view name = wml::localName(c);
            if (name == "fldChar") {
                marker(c, wml::val(c, "w:fldCharType"));
            } else if (name == "instrText") {
                const int f = innermostComplex();
                if (f >= 0 && !fields[f].separate) fields[f].code += c.text().get();
            } else if (index_) {
                auto it = segmentEnd_.find(c.internal_object());
                if (it != segmentEnd_.end()) pos_ = it->second;
            }
        }
    }

    void marker(pugi::xml_node fldChar, const std::string& type) {
        if (type == "begin") {
            const int self = open(FieldKind::Complex, fldChar);
            fields[self].result = Span{pos_, pos_};
        } else if (type == "separate") {
            const int f = innermostComplex();
            if (f >= 0 && !fields[f].separate) {
                fields[f].separate = fldChar;
                fields[f].result = Span{pos_, pos_};
            }
        } else if (type == "end") {
            const int f = innermostComplex();
            if (f < 0) return;
            fields[f].end = fldChar;
            fields[f].complete = true;
            if (fields[f].separate) fields[f].result.end = pos_;
            else fields[f].result = Span{pos_, pos_};
            open_.pop_back();
        }
    }

    // The open complex field a marker belongs to: the top of the stack, when it is a complex field.
    int innermostComplex() const {
        if (open_.empty()) return -1;
        const int f = open_.back();
        return fields[static_cast<size_t>(f)].kind == FieldKind::Complex ? f : -1;
    }

    int open(FieldKind kind, pugi::xml_node start) {
        FieldInfo info;
        info.kind = kind;
        info.start = start;
        if (!open_.empty()) {
            const FieldInfo& outer = fields[static_cast<size_t>(open_.back())];
            info.parent = open_.back();
            info.inResult = outer.kind == FieldKind::Simple || static_cast<bool>(outer.separate);
        }
        fields.push_back(std::move(info));
        const int self = static_cast<int>(fields.size()) - 1;
        open_.push_back(self);
        return self;
    }

    void structureEnd(pugi::xml_node node) {
        Span s;
        if (index_ && index_->span(node, s)) pos_ = s.end;
    }

    const StoryIndex* index_;
    std::unordered_map<pugi::xml_node_struct*, int> segmentEnd_;
    std::vector<int> open_;
    int pos_ = 0;
};

// The complete fields in document order of their start.
std::vector<FieldInfo> completeFields(std::vector<FieldInfo> all) {
    std::vector<FieldInfo> out;
    for (FieldInfo& f : all)
        if (f.complete) out.push_back(std::move(f));
    return out;
}

// The next node in document order after n's subtree.
pugi::xml_node nextAfter(pugi::xml_node n) {
    while (n && !n.next_sibling()) n = n.parent();
    return n ? n.next_sibling() : pugi::xml_node();
}

bool isMarkerElement(pugi::xml_node n) {
    return wml::is(n, "bookmarkStart") || wml::is(n, "bookmarkEnd") || wml::is(n, "commentRangeStart") ||
           wml::is(n, "commentRangeEnd") || wml::is(n, "permStart") || wml::is(n, "permEnd") ||
           wml::is(n, "proofErr");
}

bool isStructure(pugi::xml_node n) {
    return wml::is(n, "tbl") || wml::is(n, "tr") || wml::is(n, "tc") || wml::is(n, "sectPr") ||
           wml::is(n, "body");
}

// Calls visit for every node that lies wholly between a and b in document order (a before b).
// visit returns true to look into the node's children, false to pass over its subtree; it may remove
// the node it is given when it returns false.
template <typename Visit>
void forEachBetween(pugi::xml_node a, pugi::xml_node b, Visit visit) {
    std::unordered_set<pugi::xml_node_struct*> ancestorsOfB;
    for (pugi::xml_node n = b.parent(); n; n = n.parent()) ancestorsOfB.insert(n.internal_object());
    pugi::xml_node n = nextAfter(a);
    while (n && n != b) {
        if (ancestorsOfB.count(n.internal_object())) {
            n = n.first_child() ? n.first_child() : nextAfter(n);
            continue;
        }
        pugi::xml_node after = nextAfter(n);
        const bool descend = visit(n);
        n = descend && n.first_child() ? n.first_child() : after;
    }
}

// Calls visit for every node below root in document order, with the same contract as forEachBetween.
template <typename Visit>
void forEachInside(pugi::xml_node root, Visit visit) {
    pugi::xml_node n = root.first_child();
    while (n) {
        pugi::xml_node after = n;
        while (after && after != root && !after.next_sibling()) after = after.parent();
        after = (after && after != root) ? after.next_sibling() : pugi::xml_node();
        const bool descend = visit(n);
        n = descend && n.first_child() ? n.first_child() : after;
    }
}

// Removes what lies between a and b: whole runs and paragraphs, run content, inline wrappers; bookmarks
// and similar markers stay. Fails before changing anything when the stretch crosses table structure.
void removeBetween(pugi::xml_node a, pugi::xml_node b) {
    forEachBetween(a, b, [](pugi::xml_node n) {
        if (isStructure(n)) throw errors::notAvailable("域代码跨越表格结构，无法取消链接");
        return n.type() == pugi::node_element && !wml::is(n, "r") && !wml::is(n, "p");
    });
    std::vector<pugi::xml_node> doomed;
    forEachBetween(a, b, [&](pugi::xml_node n) {
        if (n.type() != pugi::node_element) return false;
        if (isMarkerElement(n) || wml::is(n, "rPr") || wml::is(n, "pPr")) return false;
        // Runs, run content, paragraphs and inline wrappers that lie wholly inside go as a whole.
        doomed.push_back(n);
        return false;
    });
    for (pugi::xml_node n : doomed) n.parent().remove_child(n);
}

bool hasContent(pugi::xml_node run) {
    for (pugi::xml_node c = run.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && !wml::is(c, "rPr")) return true;
    return false;
}

// Removes a field marker, and its run when nothing else is left in it.
void removeMarker(pugi::xml_node marker) {
    if (!marker) return;
    pugi::xml_node run = marker.parent();
    run.remove_child(marker);
    if (wml::is(run, "r") && !hasContent(run)) run.parent().remove_child(run);
}

// Puts a wrapper's children in its place.
void unwrap(pugi::xml_node wrapper) {
    pugi::xml_node parent = wrapper.parent();
    for (pugi::xml_node c = wrapper.first_child(); c;) {
        pugi::xml_node next = c.next_sibling();
        if (wml::is(c, "fldData")) wrapper.remove_child(c);
        else parent.insert_move_before(c, wrapper);
        c = next;
    }
    parent.remove_child(wrapper);
}

// Turns one field into its result (nested fields of the result are handled by the caller first).
void unlinkOne(const FieldInfo& f) {
    if (f.kind == FieldKind::Simple) {
        unwrap(f.start);
        return;
    }
    removeBetween(f.start, f.separate ? f.separate : f.end);
    removeMarker(f.start);
    removeMarker(f.separate);
    removeMarker(f.end);
}

void unlink(std::vector<FieldInfo>& all, size_t target) {
    // Nested fields that stand in the result (and only in results on the way out) become plain text
    // too; those in a field code go with the code. Last first, so no field loses its markers early.
    // Descendants follow a field directly in document order of their start.
    std::vector<size_t> nested;
    for (size_t i = target + 1; i < all.size(); ++i) {
        bool descendant = false;
        bool throughResults = all[i].complete;
        for (int j = static_cast<int>(i); j >= 0 && !descendant;) {
            const FieldInfo& f = all[static_cast<size_t>(j)];
            if (f.parent < 0) break;
            if (!f.inResult || !all[static_cast<size_t>(f.parent)].complete) throughResults = false;
            descendant = static_cast<size_t>(f.parent) == target;
            j = f.parent;
        }
        if (!descendant) break;
        if (throughResults) nested.push_back(i);
    }
    const FieldInfo& outer = all[target];
    if (outer.kind == FieldKind::Complex) {
        // Refuse before any change when the code crosses table structure.
        forEachBetween(outer.start, outer.separate ? outer.separate : outer.end, [](pugi::xml_node n) {
            if (isStructure(n)) throw errors::notAvailable("域代码跨越表格结构，无法取消链接");
            return n.type() == pugi::node_element && !wml::is(n, "r") && !wml::is(n, "p");
        });
    }
    for (auto it = nested.rbegin(); it != nested.rend(); ++it) unlinkOne(all[*it]);
    // Hyperlinks of the result are fields to Word as well: they become plain text with it.
    std::vector<pugi::xml_node> links;
    auto collect = [&](pugi::xml_node n) {
        if (wml::is(n, "hyperlink")) links.push_back(n);
        return n.type() == pugi::node_element;
    };
    if (outer.kind == FieldKind::Simple) {
        forEachInside(outer.start, collect);
    } else if (outer.separate) {
        forEachBetween(outer.separate, outer.end, collect);
    }
    for (pugi::xml_node link : links) unwrap(link);
    unlinkOne(outer);
}

std::vector<FieldInfo> scan(DocumentModel& model, bool positions) {
    return FieldScanner(model.body(), positions ? &model.index() : nullptr).fields;
}

class FieldImpl final : public Field {
public:
    FieldImpl(ModelPtr model, pugi::xml_node start) : model_(std::move(model)), start_(start) {}

    std::string Code() override {
        auto all = scan(*check(), false);
        return all[find(all)].code;
    }
    RangePtr Result() override {
        auto all = scan(*check(), true);
        const FieldInfo& f = all[find(all)];
        return makeRange(model_, f.result.start, f.result.end);
    }
    void Unlink() override {
        auto all = scan(*check(), false);
        const size_t i = find(all);
        unlink(all, i);
        model_->textChanged();
    }

private:
    DocumentModel* check() {
        model_->check();
        return model_.get();
    }
    size_t find(const std::vector<FieldInfo>& all) const {
        for (size_t i = 0; i < all.size(); ++i)
            if (all[i].complete && all[i].start == start_) return i;
        throw errors::objectDeleted();
    }

    ModelPtr model_;
    pugi::xml_node start_;
};

class FieldsImpl final : public Fields {
public:
    explicit FieldsImpl(ModelPtr model) : model_(std::move(model)) {}

    int Count() override { return static_cast<int>(list().size()); }
    FieldPtr Item(int index) override {
        const auto& fields = list();
        if (index < 1 || index > static_cast<int>(fields.size())) throw errors::noSuchMember();
        return std::make_shared<FieldImpl>(model_, fields[static_cast<size_t>(index - 1)].start);
    }

private:
    // Taken once and kept while the text stays as it was.
    const std::vector<FieldInfo>& list() {
        model_->check();
        if (!cached_ || version_ != model_->textVersion()) {
            fields_ = completeFields(scan(*model_, false));
            version_ = model_->textVersion();
            cached_ = true;
        }
        return fields_;
    }

    ModelPtr model_;
    bool cached_ = false;
    std::uint64_t version_ = 0;
    std::vector<FieldInfo> fields_;
};

}  // namespace

FieldsPtr makeFields(const ModelPtr& model) {
    model->check();
    return std::make_shared<FieldsImpl>(model);
}

}  // namespace automation::ooxml
