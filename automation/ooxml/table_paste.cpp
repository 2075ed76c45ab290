// Pasting a copied worksheet range in place of the selected inline object: a Word table with the
// range's rows, merged areas, displayed texts, fonts, alignment, column widths and cell borders, as
// Word's default paste of an Excel range keeps the source's formatting. A range without borders
// becomes a table without borders.
#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

#include "automation/error.h"
#include "automation/ooxml/objects.h"
#include "automation/ooxml/wml.h"

namespace automation::ooxml {

namespace {

const char* alignmentValue(int alignment) {
    switch (alignment) {
        case wdAlignParagraphCenter: return "center";
        case wdAlignParagraphRight: return "right";
        case wdAlignParagraphJustify: return "both";
        case wdAlignParagraphDistribute: return "distribute";
        default: return "left";
    }
}

// The run properties of a cell's font, on a w:rPr.
void writeFont(pugi::xml_node rPr, const xls::FontInfo& font) {
    pugi::xml_node fonts = rPr.append_child("w:rFonts");
    for (const char* slot : {"w:ascii", "w:eastAsia", "w:hAnsi"}) fonts.append_attribute(slot) = font.name.c_str();
    if (font.bold) rPr.append_child("w:b");
    if (font.italic) rPr.append_child("w:i");
    const std::string halfPoints = std::to_string(std::lround(font.size * 2));
    rPr.append_child("w:sz").append_attribute("w:val") = halfPoints.c_str();
    rPr.append_child("w:szCs").append_attribute("w:val") = halfPoints.c_str();
}

// A cell's text as runs: line breaks inside the cell become w:br; characters XML cannot hold are dropped.
void writeText(pugi::xml_node p, const ClipboardCell& cell) {
    if (cell.text.empty()) return;
    pugi::xml_node r = p.append_child("w:r");
    writeFont(r.append_child("w:rPr"), cell.font);
    std::string line;
    auto flush = [&] {
        if (line.empty()) return;
        pugi::xml_node t = r.append_child("w:t");
        t.append_attribute("xml:space") = "preserve";
        t.text().set(line.c_str());
        line.clear();
    };
    for (char c : cell.text) {
        if (c == '\n') {
            flush();
            r.append_child("w:br");
        } else if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') {
            line += c;
        }
    }
    flush();
}

// Word's line for one of Excel's border styles: its kind and width in eighths of a point, as Excel's
// own HTML of a range gives them (thin 0.5 pt, medium 1 pt, thick 1.5 pt).
struct WordLine {
    const char* val;
    int eighths;
};
WordLine wordLine(int excelStyle) {
    switch (excelStyle) {
        case 2: return {"single", 8};       // medium
        case 3: return {"dashed", 4};       // dashed
        case 4: return {"dotted", 4};       // dotted
        case 5: return {"single", 12};      // thick
        case 6: return {"double", 4};       // double
        case 7: return {"single", 2};       // hair
        case 8: return {"dashed", 8};       // medium dashed
        case 9: return {"dotDash", 4};      // dash-dot
        case 10: return {"dotDash", 8};     // medium dash-dot
        case 11: return {"dotDotDash", 4};  // dash-dot-dot
        case 12: return {"dotDotDash", 8};  // medium dash-dot-dot
        case 13: return {"dotDash", 8};     // slanted dash-dot
        default: return {"single", 4};      // thin
    }
}

// The cell's own borders (w:tcBorders): each side from the worksheet cell on that side of the Word cell.
void writeCellBorders(pugi::xml_node tcPr, const std::array<const ClipboardBorder*, 4>& sides) {
    static constexpr std::array<const char*, 4> names = {"w:left", "w:right", "w:top", "w:bottom"};  // by xls::Side
    pugi::xml_node borders;
    for (std::size_t side : {xls::Top, xls::Left, xls::Bottom, xls::Right}) {
        const ClipboardBorder& line = *sides[side];
        if (line.style == 0) continue;
        if (!borders) borders = tcPr.append_child("w:tcBorders");
        const WordLine word = wordLine(line.style);
        pugi::xml_node b = borders.append_child(names[side]);
        b.append_attribute("w:val") = word.val;
        b.append_attribute("w:sz") = std::to_string(word.eighths).c_str();
        b.append_attribute("w:space") = "0";
        char colour[16] = "auto";
        if (line.rgb >= 0) std::snprintf(colour, sizeof colour, "%06X", static_cast<unsigned>(line.rgb) & 0xFFFFFFu);
        b.append_attribute("w:color") = colour;
    }
}

// A column of the table: the worksheet column's width plus Word's cell margins (0.19 cm either side),
// so that a text Excel fits on one line fits in the cell too.
constexpr double kCellMargins = 2 * 5.4;
double columnWidth(const ClipboardRange& clip, int column) {
    return clip.columnWidths[static_cast<std::size_t>(column)] + kCellMargins;
}

// One w:tc at row/column: its width over the grid columns it spans, merge marks, borders, and a
// paragraph (empty for a cell that continues a vertical merge).
void writeCell(pugi::xml_node tr, const ClipboardRange& clip, int row, int column, int span, const char* vMerge,
               const ClipboardCell* cell) {
    pugi::xml_node tc = tr.append_child("w:tc");
    pugi::xml_node tcPr = tc.append_child("w:tcPr");
    double width = 0;
    for (int c = column; c < column + span; ++c) width += columnWidth(clip, c);
    pugi::xml_node tcW = tcPr.append_child("w:tcW");
    tcW.append_attribute("w:w") = std::to_string(wml::twips(static_cast<float>(width))).c_str();
    tcW.append_attribute("w:type") = "dxa";
    if (span > 1) tcPr.append_child("w:gridSpan").append_attribute("w:val") = std::to_string(span).c_str();
    if (vMerge) {
        pugi::xml_node merge = tcPr.append_child("w:vMerge");
        if (*vMerge) merge.append_attribute("w:val") = vMerge;
    }
    if (clip.bordered) {
        const ClipboardCell& first = clip.at(row, column);
        const ClipboardCell& last = clip.at(row, column + span - 1);
        writeCellBorders(tcPr, {&first.borders[xls::Left], &last.borders[xls::Right], &first.borders[xls::Top],
                                &first.borders[xls::Bottom]});
    }
    pugi::xml_node p = tc.append_child("w:p");
    if (!cell) return;
    pugi::xml_node pPr = p.append_child("w:pPr");
    pPr.append_child("w:jc").append_attribute("w:val") = alignmentValue(cell->alignment);
    writeFont(pPr.append_child("w:rPr"), cell->font);
    writeText(p, *cell);
}

// Builds the table before `before` in its container.
pugi::xml_node buildTable(pugi::xml_node before, const ClipboardRange& clip) {
    pugi::xml_node tbl = before.parent().insert_child_before("w:tbl", before);
    pugi::xml_node tblPr = tbl.append_child("w:tblPr");
    pugi::xml_node tblW = tblPr.append_child("w:tblW");
    tblW.append_attribute("w:w") = "0";
    tblW.append_attribute("w:type") = "auto";
    pugi::xml_node grid = tbl.append_child("w:tblGrid");
    for (int c = 0; c < clip.columns; ++c)
        grid.append_child("w:gridCol").append_attribute("w:w") =
            std::to_string(wml::twips(static_cast<float>(columnWidth(clip, c)))).c_str();

    // Per grid column, the vertical merge running down from an earlier row: its width and rows left.
    struct Running {
        int span = 0;
        int rowsLeft = 0;
    };
    std::vector<Running> running(static_cast<std::size_t>(clip.columns));
    for (int row = 0; row < clip.rows; ++row) {
        pugi::xml_node tr = tbl.append_child("w:tr");
        for (int column = 0; column < clip.columns;) {
            Running& down = running[static_cast<std::size_t>(column)];
            const ClipboardCell& cell = clip.at(row, column);
            if (cell.covered && down.rowsLeft > 0) {
                --down.rowsLeft;
                writeCell(tr, clip, row, column, down.span, "", nullptr);
                column += down.span;
            } else if (cell.covered) {
                // Covered without a merge above: keep the grid whole with an empty cell.
                writeCell(tr, clip, row, column, 1, nullptr, nullptr);
                ++column;
            } else {
                const int span = std::max(1, std::min(cell.columnSpan, clip.columns - column));
                if (cell.rowSpan > 1) down = Running{span, cell.rowSpan - 1};
                writeCell(tr, clip, row, column, span, cell.rowSpan > 1 ? "restart" : nullptr, &cell);
                column += span;
            }
        }
    }
    return tbl;
}

// Whether a paragraph or run holds anything beside its properties (propertiesName).
bool hasContent(pugi::xml_node node, std::string_view propertiesName) {
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && !wml::is(c, propertiesName)) return true;
    return false;
}

// Every relationship Id the subtree refers to (r:id, r:embed, ...).
void collectRelationshipIds(pugi::xml_node node, std::vector<std::string>& ids) {
    for (pugi::xml_attribute a : node.attributes()) {
        const std::string_view name = a.name();
        if (name.substr(0, 2) == "r:") ids.emplace_back(a.value());
    }
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element) collectRelationshipIds(c, ids);
}

bool refersTo(pugi::xml_node node, const std::string& id) {
    for (pugi::xml_attribute a : node.attributes())
        if (std::string_view(a.name()).substr(0, 2) == "r:" && id == a.value()) return true;
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && refersTo(c, id)) return true;
    return false;
}

}  // namespace

void pasteClipboardRange(DocumentModel& model) {
    const std::shared_ptr<Desktop> desktop = model.word()->desktop;
    if (!desktop->clipboard) throw errors::commandFailed("剪贴板上没有可以粘贴的内容");
    const ClipboardRange& clip = *desktop->clipboard;
    if (clip.rows <= 0 || clip.columns <= 0) throw errors::commandFailed("剪贴板上没有可以粘贴的内容");

    // The selection must hold exactly one inline object.
    const Area sel = model.selection();
    StoryIndex& index = model.index();
    const int at = sel.kind == Area::Kind::Text && sel.end == sel.start + 1 && sel.start < index.length()
                       ? index.segmentAt(sel.start)
                       : -1;
    const Segment* segment = at >= 0 ? &index.segments()[static_cast<std::size_t>(at)] : nullptr;
    if (!segment || segment->kind != SegmentKind::Char ||
        index.text()[static_cast<std::size_t>(sel.start)] != u'\x01' || !segment->run)
        throw errors::commandFailed("嵌入式 Word 只能用粘贴的表格替换选定的对象");
    pugi::xml_node object(segment->node);
    pugi::xml_node run(segment->run);
    pugi::xml_node p = run.parent();
    while (p && !wml::is(p, "p")) p = p.parent();
    if (!p) throw errors::commandFailed("嵌入式 Word 只能用粘贴的表格替换选定的对象");

    // What stood before the object in its paragraph stays in a paragraph of its own before the table.
    pugi::xml_node top = run;
    while (top.parent() != p) top = top.parent();
    if (top.previous_sibling() && (top.previous_sibling() != wml::child(p, "pPr"))) {
        pugi::xml_node head = p.parent().insert_child_before("w:p", p);
        if (pugi::xml_node pPr = wml::child(p, "pPr")) {
            pugi::xml_node copy = head.append_copy(pPr);
            wml::remove(copy, "sectPr");
        }
        for (pugi::xml_node c = p.first_child(); c && c != top;) {
            pugi::xml_node next = c.next_sibling();
            if (!wml::is(c, "pPr")) head.append_move(c);
            c = next;
        }
        if (!hasContent(head, "pPr")) p.parent().remove_child(head);
    }
    buildTable(p, clip);

    std::vector<std::string> ids;
    collectRelationshipIds(object, ids);
    run.remove_child(object);
    if (!hasContent(run, "rPr") && run.parent()) run.parent().remove_child(run);
    model.textChanged();

    // The object's data and preview leave the package when nothing else refers to them.
    Package& package = model.package();
    for (const std::string& id : ids)
        if (!id.empty() && !refersTo(model.documentElement(), id))
            package.removeRelationship(package.mainPartName(), id);

    // Word leaves the insertion point after what it pasted.
    Span after;
    if (model.index().span(p, after)) selectArea(model, textArea(after.start, after.start));
}

}  // namespace automation::ooxml
