// Style lookups of the styles part: what a paragraph, run or table inherits from its styles.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include <pugixml.hpp>

namespace automation::ooxml {

class Styles {
public:
    Styles() = default;
    // root is the w:styles element, or empty when the document has no styles part.
    explicit Styles(pugi::xml_node root);

    // The w:style of this type ("paragraph", "character", "table") and id, or empty.
    pugi::xml_node style(std::string_view type, const std::string& id) const;
    // The type's default style (w:default="1"), or empty.
    pugi::xml_node defaultStyle(std::string_view type) const;
    // The style a style is based on, or empty (cycles end the chain).
    pugi::xml_node basedOn(pugi::xml_node style) const;

    // Effective paragraph property: the attribute of pPr/<element> from the paragraph itself, then
    // its style chain (or the default paragraph style), then the document defaults.
    std::optional<std::string> paragraphProperty(pugi::xml_node p, std::string_view element,
                                                 const char* attribute) const;
    // The element itself, found the same way (for on/off properties and borders).
    pugi::xml_node paragraphElement(pugi::xml_node p, std::string_view element) const;

    // Effective run property: the run, its character style chain, the paragraph's style chain, then
    // the document defaults. p is the paragraph holding the run; run may be empty for the mark.
    std::optional<std::string> runProperty(pugi::xml_node run, pugi::xml_node p, std::string_view element,
                                           const char* attribute) const;

    // The tblBorders edge (top, left, bottom, right, insideH, insideV) a table's style chain gives.
    pugi::xml_node tableStyleBorder(pugi::xml_node tbl, std::string_view edge) const;

private:
    pugi::xml_node root_;
    std::unordered_map<std::string, pugi::xml_node> byKey_;  // "type\nid"
    std::unordered_map<std::string, pugi::xml_node> defaults_;
};

}  // namespace automation::ooxml
