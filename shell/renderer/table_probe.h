// Where the tables of a document stand on its pages. LibreOffice draws a copy of the document in
// which every cell of table N is filled, text included, with a colour of its own; the solid areas of
// each colour on a rendered page are that table's place. Two identical tables get two colours, so
// they are told apart, and nested tables take the colour of the table that holds them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace render {

// Writes the coloured copy of the .docx at source to target; the number of top-level tables in
// the main story (Word's Tables), or nullopt when source cannot be read as a .docx.
std::optional<int> writeProbeCopy(const std::string& source, const std::string& target, std::string& error);

// The fill colour (0xRRGGBB) of table number 1.. (as counted by Word), and the table a colour stands
// for (0 for none). Grey colours are never used: anti-aliased black text is grey.
std::uint32_t probeColour(int table);
int probeTable(std::uint32_t colour);

struct PixelBox {
    int table = 0;
    int left = 0, top = 0, right = 0, bottom = 0;  // pixels, inclusive
};

// The bounding boxes, one per table found, of the solid areas of probe colours in a BGRA picture:
// a pixel counts only when its four neighbours have its colour, so anti-aliased edges are ignored.
std::vector<PixelBox> findProbeBoxes(const unsigned char* bgra, int width, int height);

}  // namespace render
