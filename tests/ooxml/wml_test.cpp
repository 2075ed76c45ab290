// Attributes the embedded Word adds share their name and value within a document: the document must
// still read, change and write exactly as if every attribute held its own copies.
#include "automation/ooxml/wml.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "automation/ooxml/xml_part.h"

namespace {

using automation::ooxml::parseXmlPart;
using automation::ooxml::serializeXmlPart;
namespace wml = automation::ooxml::wml;

constexpr const char* kPart =
    "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>"
    "<w:p/><w:p/><w:p/><w:p w:x=\"7\"/></w:body></w:document>";

// The same edits on a document: new attributes, one value changed afterwards, one removed, values that
// need escaping, a value rewritten as it stands.
void edit(pugi::xml_document& document) {
    pugi::xml_node body = document.document_element().first_child();
    for (pugi::xml_node p : body.children()) {
        wml::setAttr(p, "w:x", "0");
        wml::setAttr(p, "w:rsidR", "00AB12CD");
        wml::setAttr(p, "w:odd", "a&b<\"c\"");
        wml::setAttr(p, "w:empty", "");
    }
    pugi::xml_node first = body.first_child();
    wml::setAttr(first, "w:x", "12345678901234567890");
    first.next_sibling().remove_attribute("w:rsidR");
    wml::setAttr(body.last_child(), "w:x", "0");
}

TEST(AttributeSharing, DocumentsReadAndWriteAsWithOwnCopies) {
    auto plain = parseXmlPart(std::string(kPart), "plain.xml");
    edit(*plain);
    const std::string expected = serializeXmlPart(*plain);
    ASSERT_NE(expected.find("w:odd=\"a&amp;b&lt;&quot;c&quot;\""), std::string::npos);

    auto shared = parseXmlPart(std::string(kPart), "shared.xml");
    auto other = parseXmlPart(std::string(kPart), "other.xml");
    {
        wml::AttributeSharing sharing(*shared);
        wml::AttributeSharing otherSharing(*other);
        edit(*shared);
        wml::setAttr(other->document_element(), "w:x", "1");
        // What the document holds for sharing is never written out.
        EXPECT_EQ(serializeXmlPart(*shared), expected);
        pugi::xml_node first = shared->document_element().first_child().first_child();
        EXPECT_STREQ(first.attribute("w:x").value(), "12345678901234567890");
        EXPECT_STREQ(first.next_sibling().attribute("w:x").value(), "0");
        EXPECT_FALSE(first.next_sibling().attribute("w:rsidR"));
        EXPECT_STREQ(other->document_element().attribute("w:x").value(), "1");
        EXPECT_EQ(other->document_element().first_child().first_child().first_attribute(), pugi::xml_attribute());

        // A move hands the sharing on; the moved-from one ends nothing.
        wml::AttributeSharing moved(std::move(otherSharing));
        wml::AttributeSharing empty;
        empty = std::move(moved);
        wml::setAttr(other->document_element(), "w:y", "2");
    }
    // Once sharing has ended the document keeps working, and new attributes hold their own copies.
    wml::setAttr(shared->document_element(), "w:z", "3");
    shared->document_element().remove_attribute("w:z");
    EXPECT_EQ(serializeXmlPart(*shared), expected);
    EXPECT_STREQ(other->document_element().attribute("w:y").value(), "2");
}

}  // namespace
