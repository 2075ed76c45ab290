#include "automation/ooxml/wml.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

namespace automation::ooxml::wml {

namespace {

const std::vector<std::string_view>& sequence(Sequence order) {
    static const std::vector<std::string_view> rPr = {"rStyle",
                                                      "rFonts",
                                                      "b",
                                                      "bCs",
                                                      "i",
                                                      "iCs",
                                                      "caps",
                                                      "smallCaps",
                                                      "strike",
                                                      "dstrike",
                                                      "outline",
                                                      "shadow",
                                                      "emboss",
                                                      "imprint",
                                                      "noProof",
                                                      "snapToGrid",
                                                      "vanish",
                                                      "webHidden",
                                                      "color",
                                                      "spacing",
                                                      "w",
                                                      "kern",
                                                      "position",
                                                      "sz",
                                                      "szCs",
                                                      "highlight",
                                                      "u",
                                                      "effect",
                                                      "bdr",
                                                      "shd",
                                                      "fitText",
                                                      "vertAlign",
                                                      "rtl",
                                                      "cs",
                                                      "em",
                                                      "lang",
                                                      "eastAsianLayout",
                                                      "specVanish",
                                                      "oMath",
                                                      "ins",
                                                      "del",
                                                      "moveFrom",
                                                      "moveTo",
                                                      "rPrChange"};
    static const std::vector<std::string_view> pPr = {"pStyle",
                                                      "keepNext",
                                                      "keepLines",
                                                      "pageBreakBefore",
                                                      "framePr",
                                                      "widowControl",
                                                      "numPr",
                                                      "suppressLineNumbers",
                                                      "pBdr",
                                                      "shd",
                                                      "tabs",
                                                      "suppressAutoHyphens",
                                                      "kinsoku",
                                                      "wordWrap",
                                                      "overflowPunct",
                                                      "topLinePunct",
                                                      "autoSpaceDE",
                                                      "autoSpaceDN",
                                                      "bidi",
                                                      "adjustRightInd",
                                                      "snapToGrid",
                                                      "spacing",
                                                      "ind",
                                                      "contextualSpacing",
                                                      "mirrorIndents",
                                                      "suppressOverlap",
                                                      "jc",
                                                      "textDirection",
                                                      "textAlignment",
                                                      "textboxTightWrap",
                                                      "outlineLvl",
                                                      "divId",
                                                      "cnfStyle",
                                                      "rPr",
                                                      "sectPr",
                                                      "pPrChange"};
    static const std::vector<std::string_view> tblPr = {
        "tblStyle",  "tblpPr",     "tblOverlap",     "bidiVisual", "tblStyleRowBandSize", "tblStyleColBandSize",
        "tblW",      "jc",         "tblCellSpacing", "tblInd",     "tblBorders",          "shd",
        "tblLayout", "tblCellMar", "tblLook",        "tblCaption", "tblDescription",      "tblPrChange"};
    static const std::vector<std::string_view> tcPr = {
        "cnfStyle", "tcW",     "gridSpan", "hMerge",        "vMerge",    "tcBorders",
        "shd",      "noWrap",  "tcMar",    "textDirection", "tcFitText", "vAlign",
        "hideMark", "headers", "cellIns",  "cellDel",       "cellMerge", "tcPrChange"};
    static const std::vector<std::string_view> trPr = {
        "cnfStyle",  "divId",          "gridBefore", "gridAfter", "wBefore", "wAfter", "cantSplit", "trHeight",
        "tblHeader", "tblCellSpacing", "jc",         "hidden",    "ins",     "del",    "trPrChange"};
    static const std::vector<std::string_view> borders = {"top",     "left",    "start", "bottom", "right",   "end",
                                                          "insideH", "insideV", "tl2br", "tr2bl",  "between", "bar"};
    static const std::vector<std::string_view> tcMar = {"top", "left", "start", "bottom", "right", "end"};
    static const std::vector<std::string_view> none = {};
    switch (order) {
        case Sequence::RPr: return rPr;
        case Sequence::PPr: return pPr;
        case Sequence::TblPr: return tblPr;
        case Sequence::TcPr: return tcPr;
        case Sequence::TrPr: return trPr;
        case Sequence::Borders: return borders;
        case Sequence::TcMar: return tcMar;
        case Sequence::Spacing: return none;
    }
    return none;
}

// A name's place in the sequence (the first, if it stands there twice); past the end for a name not
// in it. Looked up by hash: ensure() ranks every sibling it passes.
int rank(Sequence order, std::string_view name) {
    constexpr std::size_t kOrders = static_cast<std::size_t>(Sequence::Spacing) + 1;
    static const auto ranks = [] {
        std::array<std::unordered_map<std::string_view, int>, kOrders> made;
        for (std::size_t o = 0; o < kOrders; ++o) {
            const auto& seq = sequence(static_cast<Sequence>(o));
            for (std::size_t i = 0; i < seq.size(); ++i) made[o].emplace(seq[i], static_cast<int>(i));
        }
        return made;
    }();
    const auto& byName = ranks[static_cast<std::size_t>(order)];
    const auto it = byName.find(name);
    return it != byName.end() ? it->second : static_cast<int>(sequence(order).size());
}

pugi::xml_node ensureFirst(pugi::xml_node parent, std::string_view name) {
    if (pugi::xml_node existing = child(parent, name)) return existing;
    const std::string full = "w:" + std::string(name);
    return parent.prepend_child(full.c_str());
}

}  // namespace

std::string_view localName(pugi::xml_node node) {
    std::string_view name = node.name();
    auto colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

bool isWordElement(pugi::xml_node node) {
    const char* raw = node.name();
    return node.type() == pugi::node_element && raw[0] == 'w' && raw[1] == ':';
}

bool is(pugi::xml_node node, std::string_view name) {
    // Compared in place: this runs for every node of most walks. A shorter name stops at its end. Text
    // has an empty name, so the node's type is asked only when the name matches.
    const char* raw = node.name();
    if (raw[0] != 'w' || raw[1] != ':') return false;
    raw += 2;
    for (char c : name)
        if (*raw++ != c) return false;
    return *raw == '\0' && node.type() == pugi::node_element;
}

pugi::xml_node child(pugi::xml_node parent, std::string_view name) {
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling())
        if (is(c, name)) return c;
    return {};
}

std::string val(pugi::xml_node node, const char* attribute) {
    if (!node) return {};
    if (pugi::xml_attribute a = node.attribute(attribute)) return a.value();
    return {};
}

bool onOff(pugi::xml_node node) {
    if (!node) return false;
    pugi::xml_attribute a = node.attribute("w:val");
    if (!a) return true;
    std::string_view v = a.value();
    return !(v == "0" || v == "false" || v == "off");
}

pugi::xml_node ensure(pugi::xml_node parent, std::string_view name, Sequence order) {
    if (pugi::xml_node existing = child(parent, name)) return existing;
    const int mine = rank(order, name);
    const std::string full = "w:" + std::string(name);
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element) continue;
        if (rank(order, localName(c)) > mine) return parent.insert_child_before(full.c_str(), c);
    }
    return parent.append_child(full.c_str());
}

void remove(pugi::xml_node parent, std::string_view name) {
    for (pugi::xml_node c = parent.first_child(); c;) {
        pugi::xml_node next = c.next_sibling();
        if (is(c, name)) parent.remove_child(c);
        c = next;
    }
}

pugi::xml_node ensurePPr(pugi::xml_node p) { return ensureFirst(p, "pPr"); }
pugi::xml_node ensureRPr(pugi::xml_node r) { return ensureFirst(r, "rPr"); }
pugi::xml_node ensureTblPr(pugi::xml_node tbl) { return ensureFirst(tbl, "tblPr"); }
pugi::xml_node ensureTcPr(pugi::xml_node tc) { return ensureFirst(tc, "tcPr"); }

pugi::xml_node ensureTrPr(pugi::xml_node tr) {
    if (pugi::xml_node existing = child(tr, "trPr")) return existing;
    if (pugi::xml_node prEx = child(tr, "tblPrEx")) return tr.insert_child_after("w:trPr", prEx);
    return tr.prepend_child("w:trPr");
}

pugi::xml_node ensureMarkRPr(pugi::xml_node p) { return ensure(ensurePPr(p), "rPr", Sequence::PPr); }

bool isMarkupCompatibility(pugi::xml_node node, std::string_view local) {
    std::string_view name = node.name();
    return name.size() > 3 && name.substr(0, 3) == "mc:" && name.substr(3) == local;
}

pugi::xml_node chosenBranch(pugi::xml_node alternate) {
    for (pugi::xml_node c = alternate.first_child(); c; c = c.next_sibling())
        if (isMarkupCompatibility(c, "Choice")) return c;
    for (pugi::xml_node c = alternate.first_child(); c; c = c.next_sibling())
        if (isMarkupCompatibility(c, "Fallback")) return c;
    return {};
}

std::vector<pugi::xml_node> descendants(pugi::xml_node node, std::string_view name,
                                        std::initializer_list<std::string_view> skip) {
    std::vector<pugi::xml_node> out;
    pugi::xml_node n = node.first_child();
    while (n) {
        bool descend = false;
        if (n.type() == pugi::node_element) {
            if (is(n, name)) {
                out.push_back(n);
            } else {
                descend = n.first_child();
                for (std::string_view s : skip)
                    if (is(n, s)) descend = false;
            }
        }
        if (descend) {
            n = n.first_child();
            continue;
        }
        // Iterative walk: climb until a next sibling exists, never above node.
        while (n && !n.next_sibling() && n != node) n = n.parent();
        if (!n || n == node) break;
        n = n.next_sibling();
    }
    return out;
}

namespace {

// The prototypes of the documents that share attributes, by name and value ("w:val" '\1' "center").
struct SharedDocument {
    pugi::xml_document* document;
    struct KeyHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view key) const { return std::hash<std::string_view>()(key); }
    };
    std::unordered_map<std::string, pugi::xml_attribute, KeyHash, std::equal_to<>> prototypes;
};
constexpr std::size_t kMaxPrototypes = 1024;
constexpr std::size_t kMaxSharedValue = 24;

std::mutex sharingMutex;
// Counts the ends of sharing, so that a remembered prototype is known to be still there.
std::atomic<std::uint64_t> sharingEnds{0};

// The prototypes found last on this thread: a pass over a selection adds the same one or two
// attributes to every paragraph, so most lookups are one of these again.
struct RecentPrototype {
    const pugi::xml_node_struct* root = nullptr;
    std::uint64_t ends = 0;
    std::string key;
    pugi::xml_attribute prototype;
};
struct RecentPrototypes {
    std::array<RecentPrototype, 8> entries;
    std::size_t next = 0;       // the one to replace next
    std::size_t lastFound = 0;  // the one found last
};
thread_local RecentPrototypes recentPrototypes;
std::vector<std::unique_ptr<SharedDocument>> sharedDocuments;

bool plainText(std::string_view text, bool name) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [name](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
               (name ? c == ':' || c == '_' : c == '#' || c == '%');
    });
}

// A prototype of the attribute in node's document, made on first use; empty when the document does
// not share or the attribute is not one to share.
pugi::xml_attribute prototype(pugi::xml_node node, std::string_view name, std::string_view value) {
    if (value.size() > kMaxSharedValue) return {};
    char buffer[96];
    if (name.size() + 1 + value.size() > sizeof buffer) return {};
    std::memcpy(buffer, name.data(), name.size());
    buffer[name.size()] = '\1';
    std::memcpy(buffer + name.size() + 1, value.data(), value.size());
    const std::string_view key(buffer, name.size() + 1 + value.size());
    const pugi::xml_node_struct* root = node.root().internal_object();
    const std::uint64_t ends = sharingEnds.load(std::memory_order_acquire);
    RecentPrototypes& recent = recentPrototypes;
    // From the one found last on: a pass sets the same attribute on paragraph after paragraph.
    for (std::size_t k = 0; k < recent.entries.size(); ++k) {
        const std::size_t i = (recent.lastFound + k) % recent.entries.size();
        const RecentPrototype& r = recent.entries[i];
        if (r.root == root && r.ends == ends && r.key == key && r.prototype) {
            recent.lastFound = i;
            return r.prototype;
        }
    }
    // Only plain names and values are shared (a remembered one was plain).
    if (!plainText(name, true) || (!value.empty() && !plainText(value, false))) return {};

    std::lock_guard<std::mutex> lock(sharingMutex);
    auto shared = std::find_if(sharedDocuments.begin(), sharedDocuments.end(),
                               [&](const auto& d) { return d->document->internal_object() == root; });
    if (shared == sharedDocuments.end()) return {};
    auto& prototypes = (*shared)->prototypes;
    auto remembered = [&](pugi::xml_attribute proto) {
        recent.lastFound = recent.next;
        RecentPrototype& last = recent.entries[recent.next];
        recent.next = (recent.next + 1) % recent.entries.size();
        last.root = root;
        last.ends = ends;
        last.key.assign(key);
        last.prototype = proto;
        return proto;
    };
    if (auto it = prototypes.find(key); it != prototypes.end()) return remembered(it->second);
    if (prototypes.size() >= kMaxPrototypes) return {};
    // Parsed into a buffer the document keeps: copies of the attribute point into it.
    pugi::xml_document& document = *(*shared)->document;
    const std::string declaration = "<?xml " + std::string(name) + "=\"" + std::string(value) + "\"?>";
    const pugi::xml_parse_result parsed =
        document.append_buffer(declaration.data(), declaration.size(), pugi::parse_declaration, pugi::encoding_utf8);
    pugi::xml_node added = document.last_child();
    pugi::xml_attribute proto = added.first_attribute();
    if ((parsed.status != pugi::status_ok && parsed.status != pugi::status_no_document_element) ||
        added.type() != pugi::node_declaration || !proto || name != proto.name() || value != proto.value())
        return {};
    prototypes.emplace(std::string(key), proto);
    return remembered(proto);
}

}  // namespace

void setAttr(pugi::xml_node node, const char* name, const std::string& value) {
    pugi::xml_attribute a = node.attribute(name);
    if (a) {
        if (value != a.value()) a.set_value(value.c_str());
        return;  // a value rewritten as it stands would only take memory
    }
    if (pugi::xml_attribute proto = prototype(node, name, value)) {
        node.append_copy(proto);
        return;
    }
    node.append_attribute(name).set_value(value.c_str());
}

AttributeSharing::AttributeSharing(pugi::xml_document& document) : document_(&document) {
    std::lock_guard<std::mutex> lock(sharingMutex);
    sharedDocuments.push_back(std::make_unique<SharedDocument>(SharedDocument{&document, {}}));
}

AttributeSharing::~AttributeSharing() {
    if (!document_) return;
    std::lock_guard<std::mutex> lock(sharingMutex);
    sharingEnds.fetch_add(1, std::memory_order_release);
    std::erase_if(sharedDocuments, [&](const auto& d) { return d->document == document_; });
}

AttributeSharing::AttributeSharing(AttributeSharing&& other) noexcept
    : document_(std::exchange(other.document_, nullptr)) {}

AttributeSharing& AttributeSharing::operator=(AttributeSharing&& other) noexcept {
    if (this != &other) {
        AttributeSharing gone(std::move(*this));
        document_ = std::exchange(other.document_, nullptr);
    }
    return *this;
}

namespace {

// The number a value holds, scaled from a unit suffix to perPoint units of the attribute's own (a plain
// number is returned as it stands).
std::optional<double> measure(std::string_view text, double perPoint) {
    const char* s = text.data();
    const char* end = s + text.size();
    while (s < end && *s == ' ') ++s;
    if (s < end && *s == '+') ++s;
    double value = 0;
    auto [ptr, ec] = std::from_chars(s, end, value);
    if (ec != std::errc() || !std::isfinite(value)) return std::nullopt;
    const std::string_view unit(ptr, static_cast<std::size_t>(end - ptr));
    if (unit.empty()) return value;
    double pointsPerUnit = 0;
    if (unit == "pt")
        pointsPerUnit = 1;
    else if (unit == "in")
        pointsPerUnit = 72;
    else if (unit == "cm")
        pointsPerUnit = 72 / 2.54;
    else if (unit == "mm")
        pointsPerUnit = 72 / 25.4;
    else if (unit == "pc" || unit == "pi")
        pointsPerUnit = 12;
    else
        return std::nullopt;
    return value * pointsPerUnit * perPoint;
}

std::optional<double> measure(pugi::xml_node node, const char* attribute, double perPoint) {
    if (!node) return std::nullopt;
    pugi::xml_attribute a = node.attribute(attribute);
    if (!a) return std::nullopt;
    return measure(std::string_view(a.value()), perPoint);
}

long rounded(std::optional<double> value, long fallback) {
    if (!value || *value > 1e15 || *value < -1e15) return fallback;
    return std::lround(*value);
}

}  // namespace

long intAttr(pugi::xml_node node, const char* attribute, long fallback) {
    if (!node) return fallback;
    pugi::xml_attribute a = node.attribute(attribute);
    if (!a) return fallback;
    const char* s = a.value();
    const char* end = s + std::strlen(s);
    long value = 0;
    auto [ptr, ec] = std::from_chars(s, end, value);
    if (ec != std::errc()) return fallback;
    (void)ptr;
    return value;
}

long twipsAttr(pugi::xml_node node, const char* attribute, long fallback) {
    return rounded(measure(node, attribute, 20.0), fallback);
}

float pointsOf(std::string_view twipsText, float fallback) {
    const auto value = measure(twipsText, 20.0);
    return value ? points(rounded(value, 0)) : fallback;
}

float halfPointsOf(std::string_view text, float fallback) {
    const auto value = measure(text, 2.0);
    return value ? static_cast<float>(rounded(value, 0)) / 2.0f : fallback;
}

float hundredthsOf(std::string_view text, float fallback) {
    const auto value = measure(text, 1.0);
    return value ? static_cast<float>(*value / 100.0) : fallback;
}

float pointsAttr(pugi::xml_node node, const char* attribute, float fallback) {
    return node && node.attribute(attribute) ? pointsOf(node.attribute(attribute).value(), fallback) : fallback;
}

float halfPointsAttr(pugi::xml_node node, const char* attribute, float fallback) {
    return node && node.attribute(attribute) ? halfPointsOf(node.attribute(attribute).value(), fallback) : fallback;
}

long eighthsAttr(pugi::xml_node node, const char* attribute, long fallback) {
    return rounded(measure(node, attribute, 8.0), fallback);
}

float hundredthsAttr(pugi::xml_node node, const char* attribute, float fallback) {
    return node && node.attribute(attribute) ? hundredthsOf(node.attribute(attribute).value(), fallback) : fallback;
}

std::optional<float> percentAttr(pugi::xml_node node, const char* attribute) {
    const std::string text = val(node, attribute);
    if (!text.empty() && text.back() == '%') {
        double value = 0;
        auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size() - 1, value);
        if (ec != std::errc() || ptr != text.data() + text.size() - 1) return std::nullopt;
        return static_cast<float>(value);
    }
    const auto fiftieths = measure(node, attribute, 1.0);
    if (!fiftieths) return std::nullopt;
    return static_cast<float>(*fiftieths / 50.0);
}

void setTwips(pugi::xml_node node, const char* attribute, long value) {
    setAttr(node, attribute, std::to_string(value));
}

void setPoints(pugi::xml_node node, const char* attribute, float value) { setTwips(node, attribute, twips(value)); }

void setHalfPoints(pugi::xml_node node, const char* attribute, float value) {
    setAttr(node, attribute, std::to_string(std::lround(static_cast<double>(value) * 2.0)));
}

void setPercent(pugi::xml_node node, const char* attribute, float percent) {
    setAttr(node, attribute, std::to_string(std::lround(static_cast<double>(percent) * 50.0)));
}

void setOnOff(pugi::xml_node node, bool value) { setAttr(node, "w:val", value ? "1" : "0"); }

}  // namespace automation::ooxml::wml
