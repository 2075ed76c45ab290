#include "automation/ooxml/namespaces.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <optional>

#include "automation/ooxml/xml_part.h"

namespace automation::ooxml {

namespace {

struct Known {
    std::string_view prefix;
    std::string_view transitional;
    std::string_view strict;  // Strict Open XML's URI; the same where the ISO standard kept it
};

constexpr std::size_t kKnownCount = static_cast<std::size_t>(Namespace::Count);

constexpr std::array<Known, kKnownCount> kKnown = {{
    {"w", "http://schemas.openxmlformats.org/wordprocessingml/2006/main",
     "http://purl.oclc.org/ooxml/wordprocessingml/main"},
    {"r", "http://schemas.openxmlformats.org/officeDocument/2006/relationships",
     "http://purl.oclc.org/ooxml/officeDocument/relationships"},
    {"mc", "http://schemas.openxmlformats.org/markup-compatibility/2006",
     "http://schemas.openxmlformats.org/markup-compatibility/2006"},
    {"wp", "http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing",
     "http://purl.oclc.org/ooxml/drawingml/wordprocessingDrawing"},
    {"a", "http://schemas.openxmlformats.org/drawingml/2006/main", "http://purl.oclc.org/ooxml/drawingml/main"},
    {"pic", "http://schemas.openxmlformats.org/drawingml/2006/picture", "http://purl.oclc.org/ooxml/drawingml/picture"},
    {"m", "http://schemas.openxmlformats.org/officeDocument/2006/math",
     "http://purl.oclc.org/ooxml/officeDocument/math"},
    {"v", "urn:schemas-microsoft-com:vml", "urn:schemas-microsoft-com:vml"},
    {"o", "urn:schemas-microsoft-com:office:office", "urn:schemas-microsoft-com:office:office"},
    {"w14", "http://schemas.microsoft.com/office/word/2010/wordml",
     "http://schemas.microsoft.com/office/word/2010/wordml"},
    {"wps", "http://schemas.microsoft.com/office/word/2010/wordprocessingShape",
     "http://schemas.microsoft.com/office/word/2010/wordprocessingShape"},
}};

constexpr std::size_t kNone = kKnownCount;

std::size_t knownByUri(std::string_view uri) {
    for (std::size_t k = 0; k < kKnownCount; ++k)
        if (kKnown[k].transitional == uri || kKnown[k].strict == uri) return k;
    return kNone;
}

std::size_t knownByPrefix(std::string_view prefix) {
    for (std::size_t k = 0; k < kKnownCount; ++k)
        if (kKnown[k].prefix == prefix) return k;
    return kNone;
}

std::string_view prefixOf(std::string_view name) {
    const auto colon = name.find(':');
    return colon == std::string_view::npos ? std::string_view{} : name.substr(0, colon);
}

// Whether name is prefix, a colon and more, read no further than that: most names of a part have the
// prefix of the name before, and this spares measuring them.
bool hasPrefix(const char* name, std::string_view prefix) {
    return !prefix.empty() && std::strncmp(name, prefix.data(), prefix.size()) == 0 && name[prefix.size()] == ':';
}

bool isDeclaration(const char* name) {
    return std::strncmp(name, "xmlns", 5) == 0 && (name[5] == '\0' || name[5] == ':');
}

std::string_view localOf(std::string_view name) {
    const auto colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

std::string qualified(std::string_view prefix, std::string_view local) {
    std::string name;
    name.reserve(prefix.size() + local.size() + 1);
    if (!prefix.empty()) name.append(prefix).push_back(':');
    name.append(local);
    return name;
}

bool isOneOf(std::string_view name, std::initializer_list<std::string_view> names) {
    for (std::string_view n : names)
        if (n == name) return true;
    return false;
}

// The on/off values the embedded Word writes.
bool isOnOff(std::string_view element, std::string_view attribute) {
    if (attribute == "w:beforeAutospacing" || attribute == "w:afterAutospacing") return element == "w:spacing";
    return attribute == "w:val" &&
           isOneOf(element, {"w:b", "w:bCs", "w:i", "w:iCs", "w:wordWrap", "w:tblHeader", "w:cantSplit", "w:hidden",
                             "w:noWrap", "w:vanish", "w:keepNext", "w:keepLines", "w:snapToGrid"});
}

pugi::xml_node firstElement(pugi::xml_node node) {
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element) return c;
    return {};
}

pugi::xml_node nextElement(pugi::xml_node node) {
    for (pugi::xml_node c = node.next_sibling(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element) return c;
    return {};
}

// Calls visit(element) for every element under and including root, in document order, and leave(element)
// once its subtree is done. Iterative, so deep parts cannot exhaust the stack.
template <typename Visit, typename Leave>
void walkElements(pugi::xml_node root, Visit visit, Leave leave) {
    pugi::xml_node node = root;
    while (node) {
        visit(node);
        if (pugi::xml_node child = firstElement(node)) {
            node = child;
            continue;
        }
        for (;;) {
            leave(node);
            if (node == root) return;
            if (pugi::xml_node next = nextElement(node)) {
                node = next;
                break;
            }
            node = node.parent();
        }
    }
}

void renameAttribute(pugi::xml_node node, const char* from, const char* to) {
    pugi::xml_attribute a = node.attribute(from);
    if (!a) return;
    node.remove_attribute(to);
    a.set_name(to);
}

// Strict Open XML spells some values differently from what the embedded Word writes: sides are start
// and end, on/off is true/false, percentages carry "%". Applied to each element before writing.
void writeStrictForms(pugi::xml_node node) {
    const std::string_view name = node.name();
    if ((name == "w:left" || name == "w:right") &&
        isOneOf(node.parent().name(), {"w:tblBorders", "w:tcBorders", "w:tblCellMar", "w:tcMar"})) {
        node.set_name(name == "w:left" ? "w:start" : "w:end");
    } else if (name == "w:ind") {
        renameAttribute(node, "w:left", "w:start");
        renameAttribute(node, "w:right", "w:end");
        renameAttribute(node, "w:leftChars", "w:startChars");
        renameAttribute(node, "w:rightChars", "w:endChars");
    } else if (name == "w:jc") {
        pugi::xml_attribute v = node.attribute("w:val");
        if (std::string_view(v.value()) == "left") v.set_value("start");
        if (std::string_view(v.value()) == "right") v.set_value("end");
    } else if (isOneOf(name, {"w:tblW", "w:tcW", "w:tblInd", "w:wBefore", "w:wAfter", "w:tblCellSpacing"})) {
        pugi::xml_attribute w = node.attribute("w:w");
        const std::string_view value = w.value();
        if (std::string_view(node.attribute("w:type").value()) == "pct" && !value.empty() && value.back() != '%') {
            const double percent = w.as_double() / 50.0;
            char text[32];
            std::snprintf(text, sizeof text, "%g%%", percent);
            w.set_value(text);
        }
    }
    for (pugi::xml_attribute a : node.attributes()) {
        const std::string_view value = a.value();
        const std::string_view attribute = a.name();
        if (value == "on" || (value == "1" && isOnOff(name, attribute)))
            a.set_value("true");
        else if (value == "off" || (value == "0" && isOnOff(name, attribute)))
            a.set_value("false");
    }
}

// What adopt() found for one known namespace.
struct Found {
    std::string uri;
    bool element = false;
    std::string elementPrefix;
    std::string attributePrefix;
};

}  // namespace

std::string PartNamespaces::rootPrefix(pugi::xml_node root, std::string wanted, const std::string& uri) {
    const std::string base = wanted;
    for (int n = 1;; ++n) {
        const std::string declaration = "xmlns:" + wanted;
        pugi::xml_attribute a = root.attribute(declaration.c_str());
        if (!a) {
            root.append_attribute(declaration.c_str()) = uri.c_str();
            return wanted;
        }
        if (uri == a.value()) return wanted;
        wanted = base + std::to_string(n);
    }
}

bool PartNamespaces::everyNameKept(pugi::xml_node root) const {
    if (!foreign_.empty()) return false;
    for (std::size_t k = 0; k < kKnownCount; ++k) {
        const Binding& b = bindings_[k];
        if (b.seen && (b.elementPrefix != kKnown[k].prefix || b.attributePrefix != kKnown[k].prefix)) return false;
    }
    // After reading, a name with a usual prefix is in that namespace, which was therefore seen; the
    // only names written here anew are WordprocessingML's.
    constexpr std::size_t kW = static_cast<std::size_t>(Namespace::W);
    const Binding& w = bindings_[kW];
    if (w.seen) return true;
    const pugi::xml_attribute declared = root.attribute("xmlns:w");
    return declared && kKnown[kW].transitional == declared.value();
}

PartNamespaces PartNamespaces::adopt(pugi::xml_document& document) {
    PartNamespaces result;
    pugi::xml_node root = document.document_element();
    if (!root) return result;

    std::array<Found, kKnownCount> found;
    std::vector<std::pair<std::string, std::string>> scope;  // (prefix, URI) bindings in scope, innermost last
    std::vector<std::size_t> marks;                          // scope size when each open element was entered
    struct Resolution {
        std::string prefix;
        bool attribute = false;
        bool rename = false;
        std::string to;
    };
    std::vector<Resolution> memo;  // valid while the bindings in scope stay the same
    // Where in memo the name before was resolved, for elements and attributes apart.
    std::array<std::optional<std::size_t>, 2> lastResolved;

    auto lookup = [&](std::string_view prefix) -> const std::string* {
        for (auto it = scope.rbegin(); it != scope.rend(); ++it)
            if (it->first == prefix) return &it->second;
        return nullptr;
    };
    auto resolve = [&](std::string_view prefix, bool attribute) -> const Resolution& {
        for (const Resolution& r : memo)
            if (r.prefix == prefix && r.attribute == attribute) return r;
        Resolution r{std::string(prefix), attribute, false, {}};
        const std::string* uri = lookup(prefix);
        const std::size_t k = uri ? knownByUri(*uri) : kNone;
        if (k != kNone) {
            Found& f = found[k];
            if (f.uri.empty()) f.uri = *uri;
            if (!attribute && !f.element) {
                f.element = true;
                f.elementPrefix = r.prefix;
            }
            if (attribute && f.attributePrefix.empty()) f.attributePrefix = r.prefix;
            r.rename = prefix != kKnown[k].prefix;
            r.to = kKnown[k].prefix;
        } else if (!prefix.empty() && knownByPrefix(prefix) != kNone) {
            // Another namespace under a usual prefix: it gets a name no document uses while in memory.
            const std::string original(prefix);
            r.rename = true;
            r.to = original + "." + std::to_string(result.foreign_.size());
            result.foreign_.emplace_back(r.to, original);
        }
        memo.push_back(std::move(r));
        return memo.back();
    };
    auto clearMemo = [&] {
        memo.clear();
        lastResolved = {};
    };
    // The name's resolution; a name with the prefix of the one before, for its kind, has that one's.
    auto resolveName = [&](const char* name, bool attribute) -> const Resolution* {
        std::optional<std::size_t>& last = lastResolved[attribute ? 1 : 0];
        if (last && hasPrefix(name, memo[*last].prefix)) return &memo[*last];
        const std::string_view prefix = prefixOf(name);
        if (attribute && (prefix.empty() || prefix == "xml" || isDeclaration(name))) return nullptr;
        const Resolution& r = resolve(prefix, attribute);
        last = static_cast<std::size_t>(&r - memo.data());
        return &r;
    };

    walkElements(
        root,
        [&](pugi::xml_node node) {
            marks.push_back(scope.size());
            // Attributes walked one to the next: a range over them costs more than most elements' work.
            const pugi::xml_attribute first = node.first_attribute();
            for (pugi::xml_attribute a = first; a; a = a.next_attribute()) {
                const char* name = a.name();
                if (!isDeclaration(name)) continue;
                scope.emplace_back(name[5] == ':' ? std::string(name + 6) : std::string(), a.value());
            }
            if (scope.size() != marks.back()) clearMemo();
            const char* name = node.name();
            if (const Resolution* r = resolveName(name, false); r->rename)
                node.set_name(qualified(r->to, localOf(name)).c_str());
            for (pugi::xml_attribute a = first; a; a = a.next_attribute()) {
                const char* attributeName = a.name();
                if (const Resolution* r = resolveName(attributeName, true); r && r->rename)
                    a.set_name(qualified(r->to, localOf(attributeName)).c_str());
            }
        },
        [&](pugi::xml_node) {
            if (scope.size() != marks.back()) {
                scope.resize(marks.back());
                clearMemo();
            }
            marks.pop_back();
        });

    // Every prefix kept for writing is bound on the root element, so that elements added anywhere
    // later are in scope of their namespace.
    for (std::size_t k = 0; k < kKnownCount; ++k) {
        const Found& f = found[k];
        if (f.uri.empty()) continue;
        Binding& b = result.bindings_[k];
        b.seen = true;
        b.uri = f.uri;
        const std::string usual(kKnown[k].prefix);
        const std::string fallback = f.attributePrefix.empty() ? usual : f.attributePrefix;
        if (f.element && f.elementPrefix.empty() && f.uri == root.attribute("xmlns").value())
            b.elementPrefix.clear();
        else
            b.elementPrefix =
                rootPrefix(root, f.element && !f.elementPrefix.empty() ? f.elementPrefix : fallback, f.uri);
        b.attributePrefix = !f.attributePrefix.empty() ? rootPrefix(root, f.attributePrefix, f.uri)
                            : !b.elementPrefix.empty() ? b.elementPrefix
                                                       : rootPrefix(root, usual, f.uri);
    }
    result.strict_ = found[0].uri == kKnown[0].strict;
    return result;
}

bool PartNamespaces::writtenAsItStands(const pugi::xml_document& document) const {
    pugi::xml_node root = document.document_element();
    if (strict_) return false;
    if (!root) return true;
    if (everyNameKept(root)) return true;
    auto kept = [&](std::string_view name, bool attribute) {
        const std::string_view prefix = prefixOf(name);
        if (prefix.empty()) return true;
        if (const std::size_t k = knownByPrefix(prefix); k != kNone) {
            const Binding& b = bindings_[k];
            if (b.seen) return (attribute ? b.attributePrefix : b.elementPrefix) == prefix;
            // A namespace the part did not use before needs nothing new when the root binds it already.
            const std::string declaration = "xmlns:" + std::string(prefix);
            pugi::xml_attribute a = root.attribute(declaration.c_str());
            return a && kKnown[k].transitional == a.value();
        }
        for (const auto& entry : foreign_)
            if (entry.first == prefix) return false;
        return true;
    };
    // Nearly every element or attribute name of a part has the prefix of the one before it: the answer
    // for that prefix is kept, for elements and attributes apart.
    struct Last {
        std::string_view prefix;
        bool kept = false;
        bool known = false;
    };
    std::array<Last, 2> last;
    auto keptName = [&](const char* name, bool attribute) {
        Last& l = last[attribute ? 1 : 0];
        if (l.known && hasPrefix(name, l.prefix)) return l.kept;
        const std::string_view prefix = prefixOf(name);
        if (!l.known || prefix != l.prefix) l = Last{prefix, kept(name, attribute), true};
        return l.kept;
    };
    bool same = true;
    walkElements(
        root,
        [&](pugi::xml_node node) {
            if (!same) return;
            same = keptName(node.name(), false);
            for (pugi::xml_attribute a = node.first_attribute(); a && same; a = a.next_attribute()) {
                const char* attributeName = a.name();
                if (isDeclaration(attributeName) || std::strncmp(attributeName, "xml:", 4) == 0) continue;
                same = keptName(attributeName, true);
            }
        },
        [](pugi::xml_node) {});
    return same;
}

std::string PartNamespaces::serialize(const pugi::xml_document& document) {
    std::string out;
    StringWriter writer(out);
    write(document, writer);
    return out;
}

void PartNamespaces::write(const pugi::xml_document& document, pugi::xml_writer& writer) {
    // Most parts keep the usual prefixes throughout: they are written as they stand, without a copy.
    if (writtenAsItStands(document)) return writeXmlPart(document, writer);
    pugi::xml_document copy;
    copy.reset(document);
    pugi::xml_node root = copy.document_element();
    if (!root) return writeXmlPart(copy, writer);

    // A namespace the part never used before gets its usual prefix, declared on the copy's root.
    auto bindings = bindings_;
    auto bindingOf = [&](std::size_t k) -> const Binding& {
        Binding& b = bindings[k];
        if (!b.seen) {
            b.seen = true;
            b.uri = std::string(strict_ ? kKnown[k].strict : kKnown[k].transitional);
            b.elementPrefix = rootPrefix(root, std::string(kKnown[k].prefix), b.uri);
            b.attributePrefix = b.elementPrefix;
        }
        return b;
    };
    auto written = [&](std::string_view name, bool attribute) -> std::string {
        const std::string_view prefix = prefixOf(name);
        if (prefix.empty()) return {};
        if (const std::size_t k = knownByPrefix(prefix); k != kNone) {
            const Binding& b = bindingOf(k);
            const std::string& to = attribute ? b.attributePrefix : b.elementPrefix;
            return to == prefix ? std::string() : qualified(to, localOf(name));
        }
        for (const auto& [inMemory, original] : foreign_)
            if (inMemory == prefix) return qualified(original, localOf(name));
        return {};
    };
    if (strict_) walkElements(root, writeStrictForms, [](pugi::xml_node) {});
    walkElements(
        root,
        [&](pugi::xml_node node) {
            if (std::string name = written(node.name(), false); !name.empty()) node.set_name(name.c_str());
            for (pugi::xml_attribute a : node.attributes()) {
                const std::string_view attributeName = a.name();
                if (isDeclaration(a.name()) || attributeName.substr(0, 4) == "xml:") continue;
                if (std::string name = written(attributeName, true); !name.empty()) a.set_name(name.c_str());
            }
        },
        [](pugi::xml_node) {});
    writeXmlPart(copy, writer);
}

}  // namespace automation::ooxml
