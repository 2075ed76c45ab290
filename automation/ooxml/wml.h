// Small helpers over WordprocessingML DOM nodes: names, attributes, children kept in schema order.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <pugixml.hpp>

namespace automation::ooxml::wml {

// True when node is the WordprocessingML element with this local name ("p", "tbl", ...). Parts are read
// through PartNamespaces, so WordprocessingML is always "w:" in memory, whatever the document binds.
bool is(pugi::xml_node node, std::string_view localName);
std::string_view localName(pugi::xml_node node);
bool isWordElement(pugi::xml_node node);

// The first child w:<localName>, or an empty node.
pugi::xml_node child(pugi::xml_node parent, std::string_view localName);

// w:val (or another w: attribute) of a node; empty when absent.
std::string val(pugi::xml_node node, const char* attribute = "w:val");
// An on/off property (w:b, w:tblHeader, ...): present without w:val or with a true value.
bool onOff(pugi::xml_node node);

// The elements and attributes the embedded Word adds to one part share their names, and attributes their
// short values, with prototypes instead of each holding copies: the format run of the 1,000-table
// report adds 1.5 million attributes and 0.6 million elements of a few dozen names and values
// (w:spacing, w:before="0", w:val="single"). Its peak is 222 MiB with the pool and 270 MiB without.
//
// pugixml lets a copy share a string only with a node of the same document whose text lies in a buffer
// it parsed. So the prototypes are parsed into the document, into one element after the root element,
// which no walk over the content meets; release() takes it out again, and the part's owner (XmlPart)
// releases its pool before the part is written, so no writer ever sees it. It stays in between: taken
// out after every change instead, the run parsed 36,000 attribute prototypes rather than a few dozen,
// and as pugixml keeps the memory of removed nodes until the document ends, that cost 6 MiB more at
// the peak. The text of a released prototype stays in the document as well.
class StringPool {
public:
    explicit StringPool(pugi::xml_document& document) : document_(document) {}
    StringPool(const StringPool&) = delete;
    StringPool& operator=(const StringPool&) = delete;
    ~StringPool() { release(); }

    // A prototype w:<localName> element, or of the attribute name="value", made on first use; empty when
    // the text is long or not plain (it would need escaping), or the pool is full.
    pugi::xml_node wordElement(std::string_view localName);
    pugi::xml_attribute attribute(std::string_view name, std::string_view value);
    // Takes every prototype out of the document; nodes copied from them keep their text.
    void release();

private:
    struct KeyHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view key) const { return std::hash<std::string_view>()(key); }
    };
    template <typename T>
    using ByKey = std::unordered_map<std::string, T, KeyHash, std::equal_to<>>;
    template <typename T>
    struct Named {
        std::string key;
        T prototype;
    };
    // The element the markup of one empty element parses to, in the holder; empty when it does not.
    pugi::xml_node parsed(const std::string& markup);

    pugi::xml_document& document_;
    pugi::xml_node holder_;  // the element after the root that holds the prototypes
    // Elements by local name, tried from the one found last on: a change adds the same one or two elements
    // to node after node, and a part has few element names.
    std::vector<Named<pugi::xml_node>> elements_;
    std::size_t lastElement_ = 0;
    ByKey<pugi::xml_attribute> attributes_;  // by name and value ("w:val" '\1' "center")
    // The attributes found last, tried first: a change sets the same few attributes on node after node.
    std::array<Named<pugi::xml_attribute>, 8> recent_;
    std::size_t lastFound_ = 0;
    std::size_t nextRecent_ = 0;
};

// Child element order of the property containers the embedded Word writes into. Word refuses files
// whose property children stand out of the schema's sequence, so new children are inserted in place.
// Spacing stays the last: wml.cpp keeps a table of ranks per sequence, sized by it.
enum class Sequence { RPr, PPr, TblPr, TcPr, TrPr, Borders, TcMar, Spacing };

// Finds w:<localName> under parent, creating it (from pool) at its schema position when missing.
pugi::xml_node ensure(StringPool& pool, pugi::xml_node parent, std::string_view localName, Sequence order);
// Removes every w:<localName> child.
void remove(pugi::xml_node parent, std::string_view localName);

// The property container that must be the first child (w:pPr of w:p, w:rPr of w:r, w:tblPr of
// w:tbl, w:tcPr of w:tc, w:trPr of w:tr after a w:tblPrEx), created when missing.
pugi::xml_node ensurePPr(StringPool& pool, pugi::xml_node p);
pugi::xml_node ensureRPr(StringPool& pool, pugi::xml_node r);
pugi::xml_node ensureTblPr(StringPool& pool, pugi::xml_node tbl);
pugi::xml_node ensureTcPr(StringPool& pool, pugi::xml_node tc);
pugi::xml_node ensureTrPr(StringPool& pool, pugi::xml_node tr);
// The w:rPr of a paragraph mark (inside w:pPr).
pugi::xml_node ensureMarkRPr(StringPool& pool, pugi::xml_node p);

// Markup compatibility: whether node is mc:<localName>, and the branch of an mc:AlternateContent the
// embedded Word reads (its first mc:Choice, else its mc:Fallback).
bool isMarkupCompatibility(pugi::xml_node node, std::string_view localName);
pugi::xml_node chosenBranch(pugi::xml_node alternate);

// The w:<localName> descendants of node in document order, not looking into the subtrees of the
// elements named in skip (for example text boxes, which are other stories).
std::vector<pugi::xml_node> descendants(pugi::xml_node node, std::string_view localName,
                                        std::initializer_list<std::string_view> skip);

// Sets a w: attribute, adding it (from pool) when missing. A value rewritten as it stands is left alone.
void setAttr(StringPool& pool, pugi::xml_node node, const char* name, std::string_view value);

// Points and twips (twentieths of a point), rounded as Word stores them.
inline long twips(float points) { return std::lround(static_cast<double>(points) * 20.0); }
inline float points(long twips) { return static_cast<float>(twips) / 20.0f; }

// Typed attribute values; fallback when the attribute is absent or unreadable. Lengths are plain numbers
// of the attribute's own unit or, as Strict files and newer writers have them, measures with a unit
// ("2.5cm", "12pt", "1in", "10mm", "1pc").
// The same readings of an attribute's text (as the style lookups return it).
float pointsOf(std::string_view twipsText, float fallback);
float halfPointsOf(std::string_view text, float fallback);
float hundredthsOf(std::string_view text, float fallback);
long intAttr(pugi::xml_node node, const char* attribute, long fallback);           // counts and spans
long twipsAttr(pugi::xml_node node, const char* attribute, long fallback);         // twentieths of a point
float pointsAttr(pugi::xml_node node, const char* attribute, float fallback);      // twips, as points
float halfPointsAttr(pugi::xml_node node, const char* attribute, float fallback);  // font sizes, as points
long eighthsAttr(pugi::xml_node node, const char* attribute, long fallback);       // border widths
// Hundredths of a character or a line (w:leftChars, w:beforeLines), as characters or lines.
float hundredthsAttr(pugi::xml_node node, const char* attribute, float fallback);
// A percentage: fiftieths of a percent ("5000") or a number with "%" ("100%"), as percent.
std::optional<float> percentAttr(pugi::xml_node node, const char* attribute);

void setTwips(StringPool& pool, pugi::xml_node node, const char* attribute, long twips);
void setPoints(StringPool& pool, pugi::xml_node node, const char* attribute, float points);
void setHalfPoints(StringPool& pool, pugi::xml_node node, const char* attribute, float points);
void setPercent(StringPool& pool, pugi::xml_node node, const char* attribute, float percent);
// An on/off property's w:val.
void setOnOff(StringPool& pool, pugi::xml_node node, bool value);

}  // namespace automation::ooxml::wml
