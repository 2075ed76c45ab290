// The fixture of the engine tests: a document built in code, opened in the embedded Word, formatted by
// a run with the panel's settings, and the saved document XML read back.
#pragma once

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <memory>
#include <string>

#include "engine/format_run.h"
#include "settings/format_settings.h"
#include "settings/settings_file.h"
#include "support/recording_host.h"
#include "support/word_fixture.h"

namespace gwtest {

class FormatTest : public WordTest {
protected:
    // Sets a panel field as the command line would ("RowHeightCm", "0.50"); fails the test on a bad one.
    void set(const std::string& field, const std::string& text) {
        const auto problem = settings::setField(formatSettings, field, text, {});
        ASSERT_FALSE(problem) << *problem;
    }

    // Runs the format over the active document of app (the embedded Word unless a wrapper is given).
    engine::FormatOutcome format(automation::Application* app = nullptr) {
        engine::FormatRun run(app ? *app : *word, host);
        const engine::FormatOutcome outcome = run.run(formatSettings, scope);
        passedOver = run.passedOver();
        return outcome;
    }

    // Saves the document and parses its main part.
    pugi::xml_document& saved() {
        xml = std::make_unique<pugi::xml_document>();
        const std::string text = savedMainPart();
        EXPECT_TRUE(xml->load_string(text.c_str())) << "saved document.xml does not parse";
        return *xml;
    }

    settings::FormatSettings formatSettings = settings::defaultFormatSettings({});
    engine::Scope scope = engine::Scope::WholeDocument;
    RecordingHost host;
    std::vector<commands::PassedOver> passedOver;
    std::unique_ptr<pugi::xml_document> xml;
};

// tblPr content: all six edges drawn with a thin single line.
inline const std::string kFramed =
    "<w:tblBorders><w:top w:val=\"single\" w:sz=\"4\"/><w:left w:val=\"single\" w:sz=\"4\"/>"
    "<w:bottom w:val=\"single\" w:sz=\"4\"/><w:right w:val=\"single\" w:sz=\"4\"/>"
    "<w:insideH w:val=\"single\" w:sz=\"4\"/><w:insideV w:val=\"single\" w:sz=\"4\"/></w:tblBorders>";

// A table of rows x cols cells holding "r,c", with all lines drawn.
inline std::string framed(int rows, int cols) { return table(rows, cols, kFramed); }

// The n-th outermost table of a saved body (1 based).
inline pugi::xml_node nthTable(const pugi::xml_document& doc, int n) {
    int i = 0;
    for (pugi::xml_node t : doc.child("w:document").child("w:body").children("w:tbl"))
        if (++i == n) return t;
    return {};
}

// The tc of row r, c-th cell element of that row (1 based, as the XML holds them).
inline pugi::xml_node tcAt(pugi::xml_node tbl, int r, int c) {
    int ri = 0;
    for (pugi::xml_node tr : tbl.children("w:tr")) {
        if (++ri != r) continue;
        int ci = 0;
        for (pugi::xml_node tc : tr.children("w:tc"))
            if (++ci == c) return tc;
    }
    return {};
}

// The w:val of pPr/<name> of the first paragraph of a cell; empty when absent.
inline std::string cellParagraphValue(pugi::xml_node tc, const char* name, const char* attribute = "w:val") {
    return tc.child("w:p").child("w:pPr").child(name).attribute(attribute).value();
}

// Each cell's paragraph alignment, row by row: "c" centred, "r" right, "-" none; rows split by "|".
inline std::string alignmentMap(pugi::xml_node tbl) {
    std::string map;
    for (pugi::xml_node tr : tbl.children("w:tr")) {
        if (!map.empty()) map += "|";
        for (pugi::xml_node tc : tr.children("w:tc")) {
            const std::string jc = cellParagraphValue(tc, "w:jc");
            map += jc == "center" ? "c" : jc == "right" ? "r" : jc.empty() ? "-" : "?";
        }
    }
    return map;
}

// Which rows carry the repeat-as-title flag: "1" or "0" per row.
inline std::string headingMap(pugi::xml_node tbl) {
    std::string map;
    for (pugi::xml_node tr : tbl.children("w:tr")) {
        pugi::xml_node flag = tr.child("w:trPr").child("w:tblHeader");
        const std::string val = flag.attribute("w:val").value();
        map += flag && val != "0" && val != "false" ? "1" : "0";
    }
    return map;
}

// A table border of the saved table, as "val/sz" ("single/8"); "" when absent.
inline std::string tableBorder(pugi::xml_node tbl, const char* edge) {
    pugi::xml_node e = tbl.child("w:tblPr").child("w:tblBorders").child((std::string("w:") + edge).c_str());
    if (!e) return "";
    return std::string(e.attribute("w:val").value()) + "/" + e.attribute("w:sz").value();
}

// Whether the run touched the table at all: it centres every cell vertically when it formats one.
inline bool formatted(pugi::xml_node tbl) {
    return std::string(tcAt(tbl, 1, 1).child("w:tcPr").child("w:vAlign").attribute("w:val").value()) == "center";
}

inline std::string cellText(pugi::xml_node tc) {
    std::string text;
    for (pugi::xpath_node t : tc.select_nodes(".//w:t")) text += t.node().text().get();
    return text;
}

}  // namespace gwtest
