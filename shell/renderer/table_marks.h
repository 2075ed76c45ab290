// Where the tables of a document stand on its pages, found in the very pages shown. The copy that
// LibreOffice loads has every cell of table N filled with a colour of its own so close to the cell's
// own (at most 4 of 255 off in each channel) that no eye tells them apart: white cells become one of
// 60 near-whites, shaded cells a near-twin of their shading. Greys are left out: anti-aliased black
// text on white is grey. Drawn small, the solid areas of those colours on a page are the tables'
// places; the 60 codes repeat every 60 tables, and the order of the tables down the pages tells the
// repeats apart (see locateTables in the window's side of the renderer).
//
// Tables whose style shades their cells keep their look: only the cells they shade themselves are
// marked, so a table shaded wholly by its style has no place.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace render {

inline constexpr int kMarkCodes = 60;

// The colours of the marks: for every base colour of the document, its kMarkCodes near-twins.
class MarkColours {
public:
    // The near-twin of base (0xRRGGBB) that stands for code (0 .. kMarkCodes-1).
    static std::uint32_t marked(std::uint32_t base, int code);

    // Makes the twins of base readable; a colour that two bases share for different codes reads as none.
    void addBase(std::uint32_t base);
    // The code a pixel of this colour stands for; -1 for none.
    int codeOf(std::uint32_t colour) const;

private:
    std::unordered_map<std::uint32_t, int> codes_;
    std::vector<std::uint32_t> bases_;
};

struct MarkedCopy {
    int tables = 0;  // top-level tables of the main story, as Word counts them
    MarkColours colours;
};

// Writes the marked copy of the .docx at source to target (its other parts copied as they are).
// nullopt, with error set, when source cannot be read as a .docx or target cannot be written.
std::optional<MarkedCopy> writeMarkedCopy(const std::string& source, const std::string& target, std::string& error);

struct CodeBox {
    int code = 0;
    int left = 0, top = 0, right = 0, bottom = 0;  // pixels, inclusive
};

// The bounding box of the solid areas of each code in a BGRA picture, top to bottom: a pixel counts
// only when its four neighbours have its colour, so anti-aliased edges and text are ignored, and a
// code needs a few such pixels to count at all.
std::vector<CodeBox> findCodeBoxes(const unsigned char* bgra, int width, int height, const MarkColours& colours);

}  // namespace render
