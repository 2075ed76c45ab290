#include "automation/ooxml/wml.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <unordered_map>
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

// A new element w:<name> under parent, first when neither before nor after is given, and sharing its
// name with a prototype of pool where it can.
pugi::xml_node added(StringPool& pool, pugi::xml_node parent, std::string_view name, pugi::xml_node before = {},
                     pugi::xml_node after = {}) {
    if (pugi::xml_node proto = pool.wordElement(name)) {
        if (before) return parent.insert_copy_before(proto, before);
        if (after) return parent.insert_copy_after(proto, after);
        return parent.prepend_copy(proto);
    }
    const std::string full = "w:" + std::string(name);
    if (before) return parent.insert_child_before(full.c_str(), before);
    if (after) return parent.insert_child_after(full.c_str(), after);
    return parent.prepend_child(full.c_str());
}

pugi::xml_node ensureFirst(StringPool& pool, pugi::xml_node parent, std::string_view name) {
    if (pugi::xml_node existing = child(parent, name)) return existing;
    return added(pool, parent, name);
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

pugi::xml_node ensure(StringPool& pool, pugi::xml_node parent, std::string_view name, Sequence order) {
    if (pugi::xml_node existing = child(parent, name)) return existing;
    const int mine = rank(order, name);
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element) continue;
        if (rank(order, localName(c)) > mine) return added(pool, parent, name, c);
    }
    return parent.last_child() ? added(pool, parent, name, {}, parent.last_child()) : added(pool, parent, name);
}

void remove(pugi::xml_node parent, std::string_view name) {
    for (pugi::xml_node c = parent.first_child(); c;) {
        pugi::xml_node next = c.next_sibling();
        if (is(c, name)) parent.remove_child(c);
        c = next;
    }
}

pugi::xml_node ensurePPr(StringPool& pool, pugi::xml_node p) { return ensureFirst(pool, p, "pPr"); }
pugi::xml_node ensureRPr(StringPool& pool, pugi::xml_node r) { return ensureFirst(pool, r, "rPr"); }
pugi::xml_node ensureTblPr(StringPool& pool, pugi::xml_node tbl) { return ensureFirst(pool, tbl, "tblPr"); }
pugi::xml_node ensureTcPr(StringPool& pool, pugi::xml_node tc) { return ensureFirst(pool, tc, "tcPr"); }

pugi::xml_node ensureTrPr(StringPool& pool, pugi::xml_node tr) {
    if (pugi::xml_node existing = child(tr, "trPr")) return existing;
    if (pugi::xml_node prEx = child(tr, "tblPrEx")) return added(pool, tr, "trPr", {}, prEx);
    return added(pool, tr, "trPr");
}

pugi::xml_node ensureMarkRPr(StringPool& pool, pugi::xml_node p) {
    return ensure(pool, ensurePPr(pool, p), "rPr", Sequence::PPr);
}

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

constexpr std::size_t kMaxPrototypes = 1024;
constexpr std::size_t kMaxElementNames = 64;
constexpr std::size_t kMaxSharedValue = 24;

// Names and values written without escaping, so that a declaration holds them as they stand.
bool plainText(std::string_view text, bool name) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [name](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
               (name ? c == ':' || c == '_' : c == '#' || c == '%');
    });
}

}  // namespace

pugi::xml_node StringPool::wordElement(std::string_view localName) {
    for (std::size_t k = 0; k < elements_.size(); ++k) {
        const std::size_t i = (lastElement_ + k) % elements_.size();
        if (elements_[i].key == localName) {
            lastElement_ = i;
            return elements_[i].prototype;
        }
    }
    if (elements_.size() >= kMaxElementNames || !plainText(localName, true)) return {};
    const pugi::xml_node made = parsed("<w:" + std::string(localName) + "/>");
    if (!made || localName != wml::localName(made)) return {};
    lastElement_ = elements_.size();
    elements_.push_back({std::string(localName), made});
    return made;
}

pugi::xml_attribute StringPool::attribute(std::string_view name, std::string_view value) {
    char buffer[96];
    if (value.size() > kMaxSharedValue || name.size() + 1 + value.size() > sizeof buffer) return {};
    std::memcpy(buffer, name.data(), name.size());
    buffer[name.size()] = '\1';
    std::memcpy(buffer + name.size() + 1, value.data(), value.size());
    const std::string_view key(buffer, name.size() + 1 + value.size());
    for (std::size_t k = 0; k < recent_.size(); ++k) {
        const std::size_t i = (lastFound_ + k) % recent_.size();
        if (recent_[i].prototype && recent_[i].key == key) {
            lastFound_ = i;
            return recent_[i].prototype;
        }
    }
    // Only plain names and values are shared (a remembered one was plain).
    if (!plainText(name, true) || (!value.empty() && !plainText(value, false))) return {};
    pugi::xml_attribute found;
    if (const auto known = attributes_.find(key); known != attributes_.end()) {
        found = known->second;
    } else {
        found = parsed("<a " + std::string(name) + "=\"" + std::string(value) + "\"/>").first_attribute();
        if (!found || name != found.name() || value != found.value()) return {};
        attributes_.emplace(std::string(key), found);
    }
    lastFound_ = nextRecent_;
    nextRecent_ = (nextRecent_ + 1) % recent_.size();
    recent_[lastFound_].key.assign(key);
    recent_[lastFound_].prototype = found;
    return found;
}

pugi::xml_node StringPool::parsed(const std::string& markup) {
    if (elements_.size() + attributes_.size() >= kMaxPrototypes) return {};
    if (!holder_) holder_ = document_.append_child(pugi::node_element);
    // Parsed into a buffer the document keeps: copies of the prototype point into it.
    const pugi::xml_node before = holder_.last_child();
    const pugi::xml_parse_result result =
        holder_.append_buffer(markup.data(), markup.size(), pugi::parse_minimal, pugi::encoding_utf8);
    const pugi::xml_node made = holder_.last_child();
    if (made == before) return {};
    if (!result || made.type() != pugi::node_element || made.first_child()) {
        holder_.remove_child(made);
        return {};
    }
    return made;
}

void StringPool::release() {
    if (holder_) document_.remove_child(holder_);
    holder_ = {};
    elements_.clear();
    lastElement_ = 0;
    attributes_.clear();
    recent_ = {};
    lastFound_ = 0;
    nextRecent_ = 0;
}

void setAttr(StringPool& pool, pugi::xml_node node, const char* name, std::string_view value) {
    pugi::xml_attribute a = node.attribute(name);
    if (a) {
        if (value != a.value()) a.set_value(value.data(), value.size());
        return;  // a value rewritten as it stands would only take memory
    }
    if (pugi::xml_attribute proto = pool.attribute(name, value)) {
        node.append_copy(proto);
        return;
    }
    node.append_attribute(name).set_value(value.data(), value.size());
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

void setTwips(StringPool& pool, pugi::xml_node node, const char* attribute, long value) {
    setAttr(pool, node, attribute, std::to_string(value));
}

void setPoints(StringPool& pool, pugi::xml_node node, const char* attribute, float value) {
    setTwips(pool, node, attribute, twips(value));
}

void setHalfPoints(StringPool& pool, pugi::xml_node node, const char* attribute, float value) {
    setAttr(pool, node, attribute, std::to_string(std::lround(static_cast<double>(value) * 2.0)));
}

void setPercent(StringPool& pool, pugi::xml_node node, const char* attribute, float percent) {
    setAttr(pool, node, attribute, std::to_string(std::lround(static_cast<double>(percent) * 50.0)));
}

void setOnOff(StringPool& pool, pugi::xml_node node, bool value) { setAttr(pool, node, "w:val", value ? "1" : "0"); }

}  // namespace automation::ooxml::wml
