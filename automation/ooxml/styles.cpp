#include "automation/ooxml/styles.h"

#include "automation/ooxml/wml.h"

namespace automation::ooxml {

namespace {

constexpr int kMaxChain = 32;

std::optional<std::string> attributeOf(pugi::xml_node container, std::string_view element, const char* attribute) {
    pugi::xml_node e = wml::child(container, element);
    if (!e) return std::nullopt;
    pugi::xml_attribute a = e.attribute(attribute);
    if (!a) return std::nullopt;
    return std::string(a.value());
}

}  // namespace

Styles::Styles(pugi::xml_node root) : root_(root) {
    for (pugi::xml_node s = root.first_child(); s; s = s.next_sibling()) {
        if (!wml::is(s, "style")) continue;
        const std::string type = wml::val(s, "w:type");
        const std::string id = wml::val(s, "w:styleId");
        byKey_.emplace(type + "\n" + id, s);
        const std::string isDefault = wml::val(s, "w:default");
        if (isDefault == "1" || isDefault == "true" || isDefault == "on") defaults_.emplace(type, s);
    }
}

pugi::xml_node Styles::style(std::string_view type, const std::string& id) const {
    auto it = byKey_.find(std::string(type) + "\n" + id);
    return it == byKey_.end() ? pugi::xml_node() : it->second;
}

pugi::xml_node Styles::defaultStyle(std::string_view type) const {
    auto it = defaults_.find(std::string(type));
    return it == defaults_.end() ? pugi::xml_node() : it->second;
}

pugi::xml_node Styles::basedOn(pugi::xml_node s) const {
    pugi::xml_node b = wml::child(s, "basedOn");
    if (!b) return {};
    return style(wml::val(s, "w:type"), wml::val(b));
}

std::optional<std::string> Styles::paragraphProperty(pugi::xml_node p, std::string_view element,
                                                     const char* attribute) const {
    pugi::xml_node pPr = wml::child(p, "pPr");
    if (auto v = attributeOf(pPr, element, attribute)) return v;
    pugi::xml_node s;
    if (pugi::xml_node ps = wml::child(pPr, "pStyle")) s = style("paragraph", wml::val(ps));
    if (!s) s = defaultStyle("paragraph");
    for (int i = 0; s && i < kMaxChain; ++i, s = basedOn(s))
        if (auto v = attributeOf(wml::child(s, "pPr"), element, attribute)) return v;
    pugi::xml_node defaults = wml::child(wml::child(wml::child(root_, "docDefaults"), "pPrDefault"), "pPr");
    return attributeOf(defaults, element, attribute);
}

pugi::xml_node Styles::paragraphElement(pugi::xml_node p, std::string_view element) const {
    pugi::xml_node pPr = wml::child(p, "pPr");
    if (pugi::xml_node e = wml::child(pPr, element)) return e;
    pugi::xml_node s;
    if (pugi::xml_node ps = wml::child(pPr, "pStyle")) s = style("paragraph", wml::val(ps));
    if (!s) s = defaultStyle("paragraph");
    for (int i = 0; s && i < kMaxChain; ++i, s = basedOn(s))
        if (pugi::xml_node e = wml::child(wml::child(s, "pPr"), element)) return e;
    pugi::xml_node defaults = wml::child(wml::child(wml::child(root_, "docDefaults"), "pPrDefault"), "pPr");
    return wml::child(defaults, element);
}

std::optional<std::string> Styles::runProperty(pugi::xml_node run, pugi::xml_node p, std::string_view element,
                                               const char* attribute) const {
    pugi::xml_node rPr = run ? wml::child(run, "rPr") : wml::child(wml::child(p, "pPr"), "rPr");
    if (auto v = attributeOf(rPr, element, attribute)) return v;
    pugi::xml_node cs;
    if (pugi::xml_node rs = wml::child(rPr, "rStyle")) cs = style("character", wml::val(rs));
    for (int i = 0; cs && i < kMaxChain; ++i, cs = basedOn(cs))
        if (auto v = attributeOf(wml::child(cs, "rPr"), element, attribute)) return v;
    pugi::xml_node s;
    if (pugi::xml_node ps = wml::child(wml::child(p, "pPr"), "pStyle")) s = style("paragraph", wml::val(ps));
    if (!s) s = defaultStyle("paragraph");
    for (int i = 0; s && i < kMaxChain; ++i, s = basedOn(s))
        if (auto v = attributeOf(wml::child(s, "rPr"), element, attribute)) return v;
    pugi::xml_node defaults = wml::child(wml::child(wml::child(root_, "docDefaults"), "rPrDefault"), "rPr");
    return attributeOf(defaults, element, attribute);
}

pugi::xml_node Styles::tableStyleBorder(pugi::xml_node tbl, std::string_view edge) const {
    pugi::xml_node s;
    if (pugi::xml_node ts = wml::child(wml::child(tbl, "tblPr"), "tblStyle")) s = style("table", wml::val(ts));
    if (!s) s = defaultStyle("table");
    const std::string_view alias = edge == "left" ? "start" : edge == "right" ? "end" : std::string_view{};
    for (int i = 0; s && i < kMaxChain; ++i, s = basedOn(s)) {
        pugi::xml_node borders = wml::child(wml::child(s, "tblPr"), "tblBorders");
        if (pugi::xml_node e = wml::child(borders, edge)) return e;
        if (!alias.empty())
            if (pugi::xml_node e = wml::child(borders, alias)) return e;
    }
    return {};
}

}  // namespace automation::ooxml
