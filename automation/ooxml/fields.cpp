// Fields of the main story: simple fields (w:fldSimple) and complex fields (w:fldChar begin, separate,
// end with w:instrText between begin and separate), nested ones included, in document order of their
// start. Unlink replaces a field with its current result.
#include <algorithm>
#include <unordered_set>

#include "automation/error.h"
#include "automation/ooxml/objects.h"
#include "automation/ooxml/wml.h"

namespace automation::ooxml {

namespace {

// The next node in document order after n's subtree.
pugi::xml_node nextAfter(pugi::xml_node n) {
    while (n && !n.next_sibling()) n = n.parent();
    return n ? n.next_sibling() : pugi::xml_node();
}

bool isMarkerElement(pugi::xml_node n) {
    return wml::is(n, "bookmarkStart") || wml::is(n, "bookmarkEnd") || wml::is(n, "commentRangeStart") ||
           wml::is(n, "commentRangeEnd") || wml::is(n, "permStart") || wml::is(n, "permEnd") || wml::is(n, "proofErr");
}

bool isStructure(pugi::xml_node n) {
    return wml::is(n, "tbl") || wml::is(n, "tr") || wml::is(n, "tc") || wml::is(n, "sectPr") || wml::is(n, "body");
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
// True when paragraphs went too (a field code that spans paragraphs).
bool removeBetween(pugi::xml_node a, pugi::xml_node b) {
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
    bool paragraphs = false;
    for (pugi::xml_node n : doomed) {
        paragraphs = paragraphs || wml::is(n, "p");
        n.parent().remove_child(n);
    }
    return paragraphs;
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
        if (wml::is(c, "fldData"))
            wrapper.remove_child(c);
        else
            parent.insert_move_before(c, wrapper);
        c = next;
    }
    parent.remove_child(wrapper);
}

// Turns one field into its result (nested fields of the result are handled by the caller first).
// True when paragraph marks went with its code.
bool unlinkOne(const FieldRecord& f) {
    if (f.simple) {
        unwrap(f.start);
        return false;
    }
    const bool paragraphs = removeBetween(f.start, f.separate ? f.separate : f.end);
    removeMarker(f.start);
    removeMarker(f.separate);
    removeMarker(f.end);
    return paragraphs;
}

// Field codes hold no characters, so unlinking leaves every position as it was unless a code spanned
// paragraphs; the result says whether one did.
bool unlink(const std::vector<FieldRecord>& all, size_t target) {
    // Nested fields that stand in the result (and only in results on the way out) become plain text
    // too; those in a field code go with the code. Last first, so no field loses its markers early.
    // Descendants follow a field directly in document order of their start.
    std::vector<size_t> nested;
    for (size_t i = target + 1; i < all.size(); ++i) {
        bool descendant = false;
        bool throughResults = all[i].complete;
        for (int j = static_cast<int>(i); j >= 0 && !descendant;) {
            const FieldRecord& f = all[static_cast<size_t>(j)];
            if (f.parent < 0) break;
            if (!f.inResult || !all[static_cast<size_t>(f.parent)].complete) throughResults = false;
            descendant = static_cast<size_t>(f.parent) == target;
            j = f.parent;
        }
        if (!descendant) break;
        if (throughResults && !all[i].dropped) nested.push_back(i);
    }
    const FieldRecord& outer = all[target];
    if (!outer.simple) {
        // Refuse before any change when the code crosses table structure.
        forEachBetween(outer.start, outer.separate ? outer.separate : outer.end, [](pugi::xml_node n) {
            if (isStructure(n)) throw errors::notAvailable("域代码跨越表格结构，无法取消链接");
            return n.type() == pugi::node_element && !wml::is(n, "r") && !wml::is(n, "p");
        });
    }
    bool paragraphs = false;
    for (auto it = nested.rbegin(); it != nested.rend(); ++it) paragraphs = unlinkOne(all[*it]) || paragraphs;
    // Hyperlinks of the result are fields to Word as well: they become plain text with it.
    std::vector<pugi::xml_node> links;
    auto collect = [&](pugi::xml_node n) {
        if (wml::is(n, "hyperlink")) links.push_back(n);
        return n.type() == pugi::node_element;
    };
    if (outer.simple) {
        forEachInside(outer.start, collect);
    } else if (outer.separate) {
        forEachBetween(outer.separate, outer.end, collect);
    }
    for (pugi::xml_node link : links) unwrap(link);
    return unlinkOne(outer) || paragraphs;
}

class FieldImpl final : public Field {
public:
    FieldImpl(ModelPtr model, pugi::xml_node start) : model_(std::move(model)), start_(start) {}

    std::string Code() override { return record(find()).code; }
    RangePtr Result() override {
        const FieldRecord& f = record(find());
        return makeRange(model_, f.result.start, f.result.end);
    }
    void Unlink() override {
        const int i = find();
        if (unlink(model_->index().fields(), static_cast<size_t>(i))) {
            model_->textChanged();
        } else {
            model_->fieldUnlinked(i);
        }
    }

private:
    // The field's number in the position index's list; fails with "object deleted" once it is gone.
    int find() {
        model_->check();
        StoryIndex& index = model_->index();
        const int i = index.fieldStartingAt(start_);
        if (i < 0 || !index.fields()[static_cast<size_t>(i)].complete) throw errors::objectDeleted();
        return i;
    }
    const FieldRecord& record(int i) { return model_->index().fields()[static_cast<size_t>(i)]; }

    ModelPtr model_;
    pugi::xml_node start_;
};

class FieldsImpl final : public Fields {
public:
    explicit FieldsImpl(ModelPtr model) : model_(std::move(model)) {}

    int Count() override {
        model_->check();
        return model_->index().completeFieldCount();
    }
    FieldPtr Item(int index) override {
        model_->check();
        StoryIndex& story = model_->index();
        const int i = story.completeField(index - 1);
        if (i < 0) throw errors::noSuchMember();
        return std::make_shared<FieldImpl>(model_, story.fields()[static_cast<size_t>(i)].start);
    }

private:
    ModelPtr model_;
};

}  // namespace

FieldsPtr makeFields(const ModelPtr& model) {
    model->check();
    return std::make_shared<FieldsImpl>(model);
}

}  // namespace automation::ooxml
