#include "automation/ooxml/wml.h"

#include <charconv>
#include <cstring>
#include <vector>

namespace automation::ooxml::wml {

namespace {

constexpr std::string_view kWordNs = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";

std::string_view prefixOf(pugi::xml_node node) {
    std::string_view name = node.name();
    auto colon = name.find(':');
    return colon == std::string_view::npos ? std::string_view{} : name.substr(0, colon);
}

// Looks up the namespace a prefix is bound to, walking up the ancestors.
bool prefixIsWord(pugi::xml_node node, std::string_view prefix) {
    if (prefix == "w") return true;
    std::string attr = prefix.empty() ? "xmlns" : "xmlns:" + std::string(prefix);
    for (pugi::xml_node n = node; n; n = n.parent()) {
        if (pugi::xml_attribute a = n.attribute(attr.c_str())) return kWordNs == a.value();
    }
    return false;
}

const std::vector<std::string_view>& sequence(Sequence order) {
    static const std::vector<std::string_view> rPr = {
        "rStyle", "rFonts", "b", "bCs", "i", "iCs", "caps", "smallCaps", "strike", "dstrike", "outline",
        "shadow", "emboss", "imprint", "noProof", "snapToGrid", "vanish", "webHidden", "color", "spacing",
        "w", "kern", "position", "sz", "szCs", "highlight", "u", "effect", "bdr", "shd", "fitText",
        "vertAlign", "rtl", "cs", "em", "lang", "eastAsianLayout", "specVanish", "oMath", "ins", "del",
        "moveFrom", "moveTo", "rPrChange"};
    static const std::vector<std::string_view> pPr = {
        "pStyle", "keepNext", "keepLines", "pageBreakBefore", "framePr", "widowControl", "numPr",
        "suppressLineNumbers", "pBdr", "shd", "tabs", "suppressAutoHyphens", "kinsoku", "wordWrap",
        "overflowPunct", "topLinePunct", "autoSpaceDE", "autoSpaceDN", "bidi", "adjustRightInd",
        "snapToGrid", "spacing", "ind", "contextualSpacing", "mirrorIndents", "suppressOverlap", "jc",
        "textDirection", "textAlignment", "textboxTightWrap", "outlineLvl", "divId", "cnfStyle", "rPr",
        "sectPr", "pPrChange"};
    static const std::vector<std::string_view> tblPr = {
        "tblStyle", "tblpPr", "tblOverlap", "bidiVisual", "tblStyleRowBandSize", "tblStyleColBandSize",
        "tblW", "jc", "tblCellSpacing", "tblInd", "tblBorders", "shd", "tblLayout", "tblCellMar",
        "tblLook", "tblCaption", "tblDescription", "tblPrChange"};
    static const std::vector<std::string_view> tcPr = {
        "cnfStyle", "tcW", "gridSpan", "hMerge", "vMerge", "tcBorders", "shd", "noWrap", "tcMar",
        "textDirection", "tcFitText", "vAlign", "hideMark", "headers", "cellIns", "cellDel", "cellMerge",
        "tcPrChange"};
    static const std::vector<std::string_view> trPr = {
        "cnfStyle", "divId", "gridBefore", "gridAfter", "wBefore", "wAfter", "cantSplit", "trHeight",
        "tblHeader", "tblCellSpacing", "jc", "hidden", "ins", "del", "trPrChange"};
    static const std::vector<std::string_view> borders = {
        "top", "left", "start", "bottom", "right", "end", "insideH", "insideV", "tl2br", "tr2bl",
        "between", "bar"};
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

int rank(const std::vector<std::string_view>& seq, std::string_view name) {
    for (size_t i = 0; i < seq.size(); ++i)
        if (seq[i] == name) return static_cast<int>(i);
    return static_cast<int>(seq.size());
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
    if (node.type() != pugi::node_element) return false;
    return prefixIsWord(node, prefixOf(node));
}

bool is(pugi::xml_node node, std::string_view name) {
    if (node.type() != pugi::node_element) return false;
    const char* raw = node.name();
    // Fast path for the usual "w:" prefix.
    if (raw[0] == 'w' && raw[1] == ':') return name == std::string_view(raw + 2);
    return localName(node) == name && isWordElement(node);
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
    const auto& seq = sequence(order);
    const int mine = rank(seq, name);
    const std::string full = "w:" + std::string(name);
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element) continue;
        if (rank(seq, localName(c)) > mine) return parent.insert_child_before(full.c_str(), c);
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

void setAttr(pugi::xml_node node, const char* name, const std::string& value) {
    pugi::xml_attribute a = node.attribute(name);
    if (!a) a = node.append_attribute(name);
    a.set_value(value.c_str());
}

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

}  // namespace automation::ooxml::wml
