// Elements and attributes the embedded Word adds share their names and values within a part: the part
// must still read, change and write exactly as if every node held its own copies, and hold nothing else
// once written.
#include "automation/ooxml/wml.h"

#include <gtest/gtest.h>

#include <string>

#include "automation/ooxml/xml_part.h"

namespace {

using automation::ooxml::XmlPart;
namespace wml = automation::ooxml::wml;

constexpr const char* kW = "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"";

TEST(StringPool, PartReadsAndWritesAsIfEveryNodeHeldItsOwnCopies) {
    XmlPart part(std::string("<w:document ") + kW + "><w:body><w:p/><w:p/><w:p/><w:p w:x=\"7\"/></w:body></w:document>",
                 "part.xml");
    wml::StringPool& pool = part.pool();
    pugi::xml_node body = part.root().first_child();
    // New elements and attributes, shared or not (a value that needs escaping, an empty one), on every
    // paragraph; the pool released halfway, as when the part is written.
    for (pugi::xml_node p : body.children()) {
        wml::setAttr(pool, p, "w:x", "0");
        wml::setAttr(pool, p, "w:odd", "a&b<\"c\"");
        wml::setAttr(pool, p, "w:empty", "");
        wml::setAttr(pool, wml::ensure(pool, wml::ensurePPr(pool, p), "jc", wml::Sequence::PPr), "w:val", "center");
        if (p == body.first_child().next_sibling()) pool.release();
    }
    // Names and values changed afterwards, in place or longer, and one removed, leave the other copies alone.
    pugi::xml_node first = body.first_child();
    wml::setAttr(pool, first, "w:x", "12345678901234567890123456789");
    first.first_child().first_child().set_name("w:b");
    wml::setAttr(pool, first.next_sibling(), "w:x", "1");
    first.next_sibling().next_sibling().remove_attribute("w:empty");
    wml::setAttr(pool, body.last_child(), "w:x", "0");

    EXPECT_STREQ(first.next_sibling().next_sibling().attribute("w:x").value(), "0");
    EXPECT_STREQ(first.next_sibling().first_child().first_child().name(), "w:jc");
    auto p = [](const std::string& x, const char* empty, const char* jc) {
        return "<w:p w:x=\"" + x + "\" w:odd=\"a&amp;b&lt;&quot;c&quot;\"" + empty + "><w:pPr><" + jc +
               " w:val=\"center\"/></w:pPr></w:p>";
    };
    const std::string expected =
        std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n") + "<w:document " + kW +
        "><w:body>" + p("12345678901234567890123456789", " w:empty=\"\"", "w:b") + p("1", " w:empty=\"\"", "w:jc") +
        p("0", "", "w:jc") + p("0", " w:empty=\"\"", "w:jc") + "</w:body></w:document>";
    EXPECT_EQ(part.serialize(), expected);
    // Written, the part holds its content only, and so again after the pool shared anew.
    const pugi::xml_node top = part.root().parent();
    EXPECT_EQ(top.first_child(), top.last_child());
    wml::setAttr(pool, wml::ensure(pool, body.last_child(), "r", wml::Sequence::PPr), "w:y", "2");
    EXPECT_EQ(part.serialize(),
              expected.substr(0, expected.size() - 28) + "<w:r w:y=\"2\"/></w:p></w:body></w:document>");
    EXPECT_EQ(top.first_child(), top.last_child());
}

}  // namespace
