// A test fixture that opens documents built in code in a fresh embedded Word.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "automation/ooxml/application.h"
#include "support/docx_builder.h"

namespace gwtest {

class WordTest : public ::testing::Test {
protected:
    // Writes a package with this body (and optional styles) and opens it.
    automation::DocumentPtr open(const std::string& body, const std::string& styles = "");
    automation::DocumentPtr open(const DocxSpec& package);
    // Saves the active document under a new name and returns the saved main part's XML.
    std::string savedMainPart();
    std::string savedPart(const std::string& name);

    std::shared_ptr<automation::ooxml::WordApplication> word = automation::ooxml::createWord();
    TempDir dir;
    int files = 0;
};

// The Word error number a call fails with; 0 when it succeeds.
long errorNumber(const std::function<void()>& call);

// Counts the occurrences of a substring.
int count(const std::string& haystack, const std::string& needle);

// A cell of a table built by hand: text and optional tcPr content.
std::string cell(const std::string& text, const std::string& tcPr = "");
std::string row(const std::string& cells, const std::string& trPr = "");
std::string tbl(const std::string& rows, const std::string& tblPr = "", int gridColumns = 0);

}  // namespace gwtest

#include <pugixml.hpp>

namespace gwtest {

// Parses XML for assertions; XPath names carry their prefixes ("//w:tc").
class Xml {
public:
    explicit Xml(const std::string& text) { doc_.load_string(text.c_str()); }
    pugi::xpath_node_set all(const char* xpath) const { return doc_.select_nodes(xpath); }
    pugi::xml_node one(const char* xpath) const { return doc_.select_node(xpath).node(); }
    // The attribute of the first node matching xpath; empty when absent.
    std::string attr(const char* xpath, const char* name) const { return one(xpath).attribute(name).value(); }
    size_t count(const char* xpath) const { return all(xpath).size(); }

private:
    pugi::xml_document doc_;
};

}  // namespace gwtest
