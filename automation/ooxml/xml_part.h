// Parsing and writing the XML parts the embedded Word works on.
#pragma once

#include <memory>
#include <string>

#include <pugixml.hpp>

#include "automation/ooxml/namespaces.h"
#include "automation/ooxml/wml.h"

namespace automation::ooxml {

// Parses one part. Fails with automation::Error (Chinese message naming the part) on malformed XML,
// on any DOCTYPE (entities are never resolved), and on nesting deeper than maxDepth elements.
std::unique_ptr<pugi::xml_document> parseXmlPart(const std::string& bytes, const std::string& partName,
                                                 int maxDepth = 256);
// The same, consuming the bytes (a large part is then not held twice while it is parsed).
std::unique_ptr<pugi::xml_document> parseXmlPart(std::string&& bytes, const std::string& partName, int maxDepth = 256);

// Fails as parseXmlPart does when the part declares a DOCTYPE, without parsing it: the parts that are
// kept as they were are held to the same rule as the parsed ones. Linear in the part, which is not copied
// unless it is written in UTF-16.
void rejectDoctype(const std::string& bytes, const std::string& partName);

// Writes a part as Word writes it: the XML declaration, no added indentation.
void writeXmlPart(const pugi::xml_document& document, pugi::xml_writer& writer);
std::string serializeXmlPart(const pugi::xml_document& document);

// A part the embedded Word reads and changes: its document, the namespaces it was written with (in memory
// every name has its usual prefix, see PartNamespaces) and the pool the elements and attributes added to it
// share their text from. It is written only through write() and serialize().
class XmlPart {
public:
    // Parses bytes as parseXmlPart does, failing as it does.
    XmlPart(std::string bytes, const std::string& partName);
    XmlPart(const XmlPart&) = delete;
    XmlPart& operator=(const XmlPart&) = delete;

    pugi::xml_node root() const { return document_->document_element(); }
    wml::StringPool& pool() { return pool_; }
    const PartNamespaces& namespaces() const { return namespaces_; }

    // The part as bytes with the document's own prefixes, after the pool is released.
    void write(pugi::xml_writer& writer);
    std::string serialize();

private:
    std::unique_ptr<pugi::xml_document> document_;
    PartNamespaces namespaces_;
    wml::StringPool pool_;  // declared last: it ends before the document
};

// Collects what a pugixml writer is given in a string.
class StringWriter final : public pugi::xml_writer {
public:
    explicit StringWriter(std::string& out) : out_(out) {}
    void write(const void* data, size_t size) override { out_.append(static_cast<const char*>(data), size); }

private:
    std::string& out_;
};

}  // namespace automation::ooxml
