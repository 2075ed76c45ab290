// Attributes the embedded Word adds share their name and value within a part: the part must still read,
// change and write exactly as if every attribute held its own copies, and hold nothing else once written.
#include "automation/ooxml/wml.h"

#include <gtest/gtest.h>

#include <string>

#include "automation/ooxml/xml_part.h"

namespace {

using automation::ooxml::XmlPart;
namespace wml = automation::ooxml::wml;

constexpr const char* kW = "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"";

TEST(AttributePool, PartReadsAndWritesAsIfEveryAttributeHeldItsOwnCopies) {
    XmlPart part(std::string("<w:document ") + kW + "><w:body><w:p/><w:p/><w:p/><w:p w:x=\"7\"/></w:body></w:document>",
                 "part.xml");
    wml::AttributePool& pool = part.attributes();
    pugi::xml_node body = part.root().first_child();
    // New attributes, shared or not (a value that needs escaping, an empty one, a long one), on every
    // paragraph; the pool released halfway, as when the part is written.
    for (pugi::xml_node p : body.children()) {
        wml::setAttr(pool, p, "w:x", "0");
        wml::setAttr(pool, p, "w:rsidR", "00AB12CD");
        wml::setAttr(pool, p, "w:odd", "a&b<\"c\"");
        wml::setAttr(pool, p, "w:empty", "");
        if (p == body.first_child().next_sibling()) pool.release();
    }
    // Values changed afterwards, in place or longer, and one removed, leave the other copies alone.
    pugi::xml_node first = body.first_child();
    wml::setAttr(pool, first, "w:x", "12345678901234567890123456789");
    wml::setAttr(pool, first.next_sibling(), "w:x", "1");
    first.next_sibling().next_sibling().remove_attribute("w:rsidR");
    wml::setAttr(pool, body.last_child(), "w:x", "0");

    EXPECT_STREQ(first.attribute("w:x").value(), "12345678901234567890123456789");
    EXPECT_STREQ(first.next_sibling().next_sibling().attribute("w:x").value(), "0");
    const std::string rest = " w:odd=\"a&amp;b&lt;&quot;c&quot;\" w:empty=\"\"/>";
    EXPECT_EQ(part.serialize(),
              std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<w:document ") + kW +
                  "><w:body><w:p w:x=\"12345678901234567890123456789\" w:rsidR=\"00AB12CD\"" + rest +
                  "<w:p w:x=\"1\" w:rsidR=\"00AB12CD\"" + rest + "<w:p w:x=\"0\"" + rest +
                  "<w:p w:x=\"0\" w:rsidR=\"00AB12CD\"" + rest + "</w:body></w:document>");
    // Written, the part holds its content only, and so again after the pool shared anew.
    const pugi::xml_node top = part.root().parent();
    EXPECT_EQ(top.first_child(), top.last_child());
    wml::setAttr(pool, body.last_child(), "w:y", "2");
    EXPECT_NE(part.serialize().find(rest.substr(0, rest.size() - 2) + " w:y=\"2\"/></w:body>"), std::string::npos);
    EXPECT_EQ(top.first_child(), top.last_child());
}

}  // namespace
