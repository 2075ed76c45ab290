// Small helpers over WordprocessingML DOM nodes: names, attributes, children kept in schema order.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

namespace automation::ooxml::wml {

// True when node is the w: element with this local name ("p", "tbl", ...). Documents practically always
// use the "w" prefix for WordprocessingML; other prefixes bound to the same namespace are accepted too.
bool is(pugi::xml_node node, std::string_view localName);
std::string_view localName(pugi::xml_node node);
bool isWordElement(pugi::xml_node node);

// The first child w:<localName>, or an empty node.
pugi::xml_node child(pugi::xml_node parent, std::string_view localName);

// w:val (or another w: attribute) of a node; empty when absent.
std::string val(pugi::xml_node node, const char* attribute = "w:val");
// An on/off property (w:b, w:tblHeader, ...): present without w:val or with a true value.
bool onOff(pugi::xml_node node);

// Child element order of the property containers the embedded Word writes into. Word refuses files
// whose property children stand out of the schema's sequence, so new children are inserted in place.
enum class Sequence { RPr, PPr, TblPr, TcPr, TrPr, Borders, TcMar, Spacing };

// Finds w:<localName> under parent, creating it at its schema position when missing.
pugi::xml_node ensure(pugi::xml_node parent, std::string_view localName, Sequence order);
// Removes every w:<localName> child.
void remove(pugi::xml_node parent, std::string_view localName);

// The property container that must be the first child (w:pPr of w:p, w:rPr of w:r, w:tblPr of
// w:tbl, w:tcPr of w:tc, w:trPr of w:tr after a w:tblPrEx), created when missing.
pugi::xml_node ensurePPr(pugi::xml_node p);
pugi::xml_node ensureRPr(pugi::xml_node r);
pugi::xml_node ensureTblPr(pugi::xml_node tbl);
pugi::xml_node ensureTcPr(pugi::xml_node tc);
pugi::xml_node ensureTrPr(pugi::xml_node tr);
// The w:rPr of a paragraph mark (inside w:pPr).
pugi::xml_node ensureMarkRPr(pugi::xml_node p);

// Markup compatibility: whether node is mc:<localName>, and the branch of an mc:AlternateContent the
// embedded Word reads (its first mc:Choice, else its mc:Fallback).
bool isMarkupCompatibility(pugi::xml_node node, std::string_view localName);
pugi::xml_node chosenBranch(pugi::xml_node alternate);

// The w:<localName> descendants of node in document order, not looking into the subtrees of the
// elements named in skip (for example text boxes, which are other stories).
std::vector<pugi::xml_node> descendants(pugi::xml_node node, std::string_view localName,
                                        std::initializer_list<std::string_view> skip);

// Sets a w: attribute, adding it when missing.
void setAttr(pugi::xml_node node, const char* name, const std::string& value);

// Twips and other integer attributes; fallback when absent or not a number.
long intAttr(pugi::xml_node node, const char* attribute, long fallback);

}  // namespace automation::ooxml::wml
