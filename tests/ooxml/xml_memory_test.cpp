// Parsed parts live in memory of the embedded Word's own: it must be handed out and taken back whole.
#include "automation/ooxml/xml_memory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "automation/ooxml/xml_part.h"

namespace {

using automation::ooxml::LargeArrayAllocator;
using automation::ooxml::parseXmlPart;
using automation::ooxml::serializeXmlPart;
using automation::ooxml::xmlMemoryUse;

// A part of n paragraphs, about 60 bytes each.
std::string part(int paragraphs) {
    std::string xml = "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>";
    for (int i = 0; i < paragraphs; ++i) xml += "<w:p><w:r><w:t>" + std::to_string(i) + "</w:t></w:r></w:p>";
    return xml + "</w:body></w:document>";
}

TEST(XmlMemory, PagesAndLargeBuffersGoBackWhenDocumentsEnd) {
    const std::string large = part(120000);  // over 4 MB of text: its buffer is mapped on its own
    ASSERT_GT(large.size(), std::size_t{4} << 20);
    const auto before = xmlMemoryUse();
    {
        auto big = parseXmlPart(large, "big.xml");
        auto small = parseXmlPart(part(10), "small.xml");
        const auto during = xmlMemoryUse();
        EXPECT_GT(during.pagesInUse, before.pagesInUse + 100);
        EXPECT_EQ(during.largeBuffers, before.largeBuffers + 1);
        // Nodes added later come from the same memory and read back as written.
        pugi::xml_node body = big->document_element().first_child();
        const std::string added = "<w:p w:rsidR=\"00AB12CD\"/>";
        for (int i = 0; i < 20000; ++i) body.append_child("w:p").append_attribute("w:rsidR").set_value("00AB12CD");
        const std::string written = serializeXmlPart(*big);
        EXPECT_EQ(written.size(), written.find("<w:document") + large.size() + 20000 * added.size());
        const std::string end = "</w:body></w:document>";
        EXPECT_EQ(written.substr(written.size() - added.size() - end.size()), added + end);
        EXPECT_EQ(serializeXmlPart(*small), serializeXmlPart(*parseXmlPart(part(10), "again.xml")));
    }
    const auto after = xmlMemoryUse();
    EXPECT_EQ(after.pagesInUse, before.pagesInUse);
    EXPECT_EQ(after.largeBuffers, before.largeBuffers);
    EXPECT_LE(after.blocks, std::max<std::size_t>(before.blocks, 1));
}

// Arrays move between operator new and mappings of their own as they grow past 2 MiB and shrink back.
TEST(XmlMemory, LargeArraysKeepTheirContentsAcrossBothKindsOfMemory) {
    std::vector<std::uint64_t, LargeArrayAllocator<std::uint64_t>> values;
    for (std::uint64_t i = 0; i < 1000000; ++i) values.push_back(i * 7);  // 8 MB, grown step by step
    auto copy = values;
    copy.resize(1000);
    copy.shrink_to_fit();  // back below 2 MiB
    for (std::uint64_t i : {0, 1, 262143, 262144, 999999}) EXPECT_EQ(values[i], i * 7);
    for (std::uint64_t i : {0, 999}) EXPECT_EQ(copy[i], i * 7);
    values.clear();
    values.shrink_to_fit();
    EXPECT_EQ(values.capacity(), 0u);
}

}  // namespace
