// Parsing and writing the XML parts the embedded Word works on.
#pragma once

#include <memory>
#include <string>

#include <pugixml.hpp>

namespace automation::ooxml {

// Parses one part. Fails with automation::Error (Chinese message naming the part) on malformed XML,
// on any DOCTYPE (entities are never resolved), and on nesting deeper than maxDepth elements.
std::unique_ptr<pugi::xml_document> parseXmlPart(const std::string& bytes, const std::string& partName,
                                                 int maxDepth = 256);

// Serialises a part as Word writes it: the XML declaration, no added indentation.
std::string serializeXmlPart(const pugi::xml_document& document);

}  // namespace automation::ooxml
