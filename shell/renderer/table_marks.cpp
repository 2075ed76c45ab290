#include "table_marks.h"

#include <zip.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <memory>
#include <pugixml.hpp>
#include <set>
#include <string_view>

namespace render {

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr int kMaxDepth = 32;
constexpr int kMinSolidPixels = 6;

// The offsets (1 to 4) from the base in red, green and blue that stand for each code: every
// combination that is not the same in all three channels.
const std::vector<std::array<int, 3>>& codeOffsets() {
    static const std::vector<std::array<int, 3>> offsets = [] {
        std::vector<std::array<int, 3>> out;
        for (int r = 1; r <= 4; ++r)
            for (int g = 1; g <= 4; ++g)
                for (int b = 1; b <= 4; ++b)
                    if (r != g || g != b) out.push_back({r, g, b});
        return out;
    }();
    return offsets;
}

bool isW(pugi::xml_node node, const char* local) {
    const char* name = node.name();
    return name[0] == 'w' && name[1] == ':' && std::string_view(name + 2) == local;
}

std::optional<std::uint32_t> hexColour(std::string_view text) {
    if (text.size() != 6) return std::nullopt;
    std::uint32_t value = 0;
    for (char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) return std::nullopt;
        value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    return value;
}

std::string hex(std::uint32_t colour) {
    static const char* const digits = "0123456789ABCDEF";
    std::string text(6, '0');
    for (int i = 5; i >= 0; --i, colour >>= 4) text[static_cast<std::size_t>(i)] = digits[colour & 15];
    return text;
}

// What a w:shd paints: nullopt for nothing (no fill, "nil", "auto"), 0xFFFFFFFF for a pattern that is
// no single colour.
constexpr std::uint32_t kPattern = 0xFFFFFFFF;
std::optional<std::uint32_t> shadingColour(pugi::xml_node shd) {
    const std::string_view val = shd.attribute("w:val").value();
    if (val == "nil") return std::nullopt;
    if (val == "solid") return hexColour(shd.attribute("w:color").value()).value_or(0);
    if (!val.empty() && val != "clear") return kPattern;
    return hexColour(shd.attribute("w:fill").value());
}

void setFill(pugi::xml_node tcPr, std::uint32_t colour) {
    pugi::xml_node shd = tcPr.child("w:shd");
    if (!shd) {
        // w:shd stands after the cell's width, merges, borders, in the order the schema gives.
        pugi::xml_node after;
        for (const char* name : {"w:tcW", "w:gridSpan", "w:hMerge", "w:vMerge", "w:tcBorders"})
            if (pugi::xml_node found = tcPr.child(name)) after = found;
        shd = after ? tcPr.insert_child_after("w:shd", after) : tcPr.prepend_child("w:shd");
    }
    shd.remove_attributes();
    shd.append_attribute("w:val") = "clear";
    shd.append_attribute("w:color") = "auto";
    shd.append_attribute("w:fill") = hex(colour).c_str();
}

std::optional<std::string> readEntry(zip_t* archive, const std::string& name) {
    zip_stat_t stat;
    if (zip_stat(archive, name.c_str(), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE)) return std::nullopt;
    std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> file(zip_fopen(archive, name.c_str(), 0), zip_fclose);
    if (!file) return std::nullopt;
    std::string bytes(stat.size, '\0');
    if (zip_fread(file.get(), bytes.data(), stat.size) != static_cast<zip_int64_t>(stat.size)) return std::nullopt;
    return bytes;
}

// The target of the first relationship of this type in a relationships part, as a part name.
std::optional<std::string> relatedPart(zip_t* archive, const std::string& relsName, const std::string& folder,
                                       std::string_view typeEnd) {
    const std::optional<std::string> rels = readEntry(archive, relsName);
    pugi::xml_document doc;
    if (!rels || !doc.load_buffer(rels->data(), rels->size())) return std::nullopt;
    for (pugi::xml_node rel : doc.document_element().children("Relationship")) {
        if (!std::string_view(rel.attribute("Type").value()).ends_with(typeEnd)) continue;
        std::string target = rel.attribute("Target").value();
        if (target.empty()) return std::nullopt;
        return target.front() == '/' ? target.substr(1) : folder + target;
    }
    return std::nullopt;
}

// The table styles that shade cells (themselves or through the styles they are based on), and
// whether the default table style is one of them.
struct ShadingStyles {
    std::set<std::string> shaded;
    bool defaultShaded = false;

    bool shades(pugi::xml_node tbl) const {
        const pugi::xml_node style = tbl.child("w:tblPr").child("w:tblStyle");
        return style ? shaded.contains(style.attribute("w:val").value()) : defaultShaded;
    }
};

ShadingStyles shadingStyles(const std::optional<std::string>& stylesPart) {
    ShadingStyles result;
    pugi::xml_document doc;
    if (!stylesPart || !doc.load_buffer(stylesPart->data(), stylesPart->size())) return result;
    std::map<std::string, std::pair<std::string, bool>> styles;  // id -> (based on, shades itself)
    std::string defaultStyle;
    for (pugi::xml_node style : doc.document_element().children("w:style")) {
        if (std::string_view(style.attribute("w:type").value()) != "table") continue;
        bool shades = false;
        for (pugi::xpath_node shd : style.select_nodes(".//w:shd")) {
            const std::optional<std::uint32_t> colour = shadingColour(shd.node());
            shades = shades || (colour && *colour != kWhite);
        }
        const std::string id = style.attribute("w:styleId").value();
        styles[id] = {style.child("w:basedOn").attribute("w:val").value(), shades};
        if (style.attribute("w:default").as_bool()) defaultStyle = id;
    }
    for (const auto& [id, entry] : styles) {
        std::string at = id;
        for (int depth = 0; depth < kMaxDepth && !at.empty(); ++depth) {
            const auto it = styles.find(at);
            if (it == styles.end()) break;
            if (it->second.second) {
                result.shaded.insert(id);
                break;
            }
            at = it->second.first;
        }
    }
    result.defaultShaded = result.shaded.contains(defaultStyle);
    return result;
}

// The cells of one table, nested tables' cells included, each marked with code unless its table's
// style shades it and the cell has no shading of its own.
void markTable(pugi::xml_node tbl, int code, std::uint32_t pageColour, const ShadingStyles& styles,
               MarkColours& colours, int depth) {
    const bool styled = styles.shades(tbl);
    std::uint32_t base = pageColour;
    if (const pugi::xml_node shd = tbl.child("w:tblPr").child("w:shd")) {
        const std::optional<std::uint32_t> colour = shadingColour(shd);
        if (colour && *colour != kPattern) base = *colour;
    }
    for (pugi::xml_node tr : tbl.children()) {
        if (!isW(tr, "tr")) continue;
        for (pugi::xml_node tc : tr.children()) {
            if (!isW(tc, "tc")) continue;
            pugi::xml_node tcPr = tc.child("w:tcPr");
            const std::optional<std::uint32_t> own = tcPr ? shadingColour(tcPr.child("w:shd")) : std::nullopt;
            if (own != kPattern && (own || !styled)) {
                const std::uint32_t cellBase = own.value_or(base);
                colours.addBase(cellBase);
                if (!tcPr) tcPr = tc.prepend_child("w:tcPr");
                setFill(tcPr, MarkColours::marked(cellBase, code));
            }
            if (depth < kMaxDepth) {
                for (pugi::xml_node inner : tc.children())
                    if (isW(inner, "tbl")) markTable(inner, code, pageColour, styles, colours, depth + 1);
            }
        }
    }
}

// The block-level tables of the body in order, looking through content controls as Word does.
void markTables(pugi::xml_node container, int& count, std::uint32_t pageColour, const ShadingStyles& styles,
                MarkColours& colours, int depth) {
    for (pugi::xml_node child : container.children()) {
        if (isW(child, "tbl")) {
            markTable(child, count % kMarkCodes, pageColour, styles, colours, 0);
            ++count;
        } else if (isW(child, "sdt") && depth < kMaxDepth) {
            if (pugi::xml_node content = child.child("w:sdtContent"))
                markTables(content, count, pageColour, styles, colours, depth + 1);
        }
    }
}

struct XmlWriter : pugi::xml_writer {
    std::string out;
    void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), size); }
};

}  // namespace

std::uint32_t MarkColours::marked(std::uint32_t base, int code) {
    const std::array<int, 3>& offsets = codeOffsets()[static_cast<std::size_t>(code)];
    std::uint32_t out = 0;
    for (int channel = 0; channel < 3; ++channel) {
        const int shift = 16 - 8 * channel;
        const int value = static_cast<int>(base >> shift & 0xFF);
        const int offset = offsets[static_cast<std::size_t>(channel)];
        out |= static_cast<std::uint32_t>(value >= 128 ? value - offset : value + offset) << shift;
    }
    return out;
}

void MarkColours::addBase(std::uint32_t base) {
    if (std::find(bases_.begin(), bases_.end(), base) != bases_.end()) return;
    bases_.push_back(base);
    for (int code = 0; code < kMarkCodes; ++code) {
        const auto [it, added] = codes_.try_emplace(marked(base, code), code);
        if (!added && it->second != code) it->second = -1;
    }
}

int MarkColours::codeOf(std::uint32_t colour) const {
    const auto it = codes_.find(colour);
    return it == codes_.end() ? -1 : it->second;
}

std::optional<MarkedCopy> writeMarkedCopy(const std::string& source, const std::string& target, std::string& error) {
    int code = 0;
    std::unique_ptr<zip_t, void (*)(zip_t*)> in(zip_open(source.c_str(), ZIP_RDONLY, &code), zip_discard);
    if (!in) {
        error = "cannot open " + source;
        return std::nullopt;
    }
    std::string mainName = relatedPart(in.get(), "_rels/.rels", "", "/officeDocument").value_or("word/document.xml");
    const std::size_t slash = mainName.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : mainName.substr(0, slash + 1);
    const std::string relsName = folder + "_rels/" + mainName.substr(folder.size()) + ".rels";
    const std::optional<std::string> stylesName = relatedPart(in.get(), relsName, folder, "/styles");
    const ShadingStyles styles = shadingStyles(stylesName ? readEntry(in.get(), *stylesName) : std::nullopt);

    std::optional<std::string> main = readEntry(in.get(), mainName);
    pugi::xml_document doc;
    if (!main || !doc.load_buffer(main->data(), main->size(), pugi::parse_default | pugi::parse_ws_pcdata)) {
        error = "no readable main part";
        return std::nullopt;
    }
    main.reset();
    MarkedCopy marked;
    const pugi::xml_node root = doc.document_element();
    const std::uint32_t page = hexColour(root.child("w:background").attribute("w:color").value()).value_or(kWhite);
    markTables(root.child("w:body"), marked.tables, page, styles, marked.colours, 0);
    XmlWriter writer;
    doc.save(writer, "", pugi::format_raw);
    doc.reset();

    std::remove(target.c_str());
    zip_t* out = zip_open(target.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!out) {
        error = "cannot create " + target;
        return std::nullopt;
    }
    bool ok = true;
    const zip_int64_t entries = zip_get_num_entries(in.get(), 0);
    for (zip_int64_t i = 0; i < entries && ok; ++i) {
        const char* name = zip_get_name(in.get(), static_cast<zip_uint64_t>(i), 0);
        if (!name) continue;
        const bool isMain = mainName == name;
        zip_source_t* data = isMain ? zip_source_buffer(out, writer.out.data(), writer.out.size(), 0)
                                    : zip_source_zip(out, in.get(), static_cast<zip_uint64_t>(i), 0, 0, -1);
        const zip_int64_t added = data ? zip_file_add(out, name, data, ZIP_FL_OVERWRITE) : -1;
        if (added < 0) {
            if (data) zip_source_free(data);
            ok = false;
        } else if (isMain) {
            // The copy is read once, straight away: storing is quicker than deflating.
            zip_set_file_compression(out, static_cast<zip_uint64_t>(added), ZIP_CM_STORE, 0);
        }
    }
    // The sources read from `in` and `writer` while the copy is written, so both outlive this close.
    if (!ok || zip_close(out) != 0) {
        zip_discard(out);
        error = "cannot write " + target;
        return std::nullopt;
    }
    return marked;
}

std::vector<CodeBox> findCodeBoxes(const unsigned char* bgra, int width, int height, const MarkColours& colours) {
    std::map<int, std::pair<CodeBox, int>> boxes;  // code -> (box, solid pixels)
    const auto colourAt = [&](int x, int y) {
        const unsigned char* p = bgra + (static_cast<std::size_t>(y) * width + x) * 4;
        return static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[0];
    };
    for (int y = 1; y + 1 < height; ++y) {
        std::uint32_t last = kWhite;
        int lastCode = -1;
        for (int x = 1; x + 1 < width; ++x) {
            const std::uint32_t colour = colourAt(x, y);
            if (colour == kWhite) continue;
            const int code = colour == last ? lastCode : colours.codeOf(colour);
            last = colour;
            lastCode = code;
            if (code < 0 || colourAt(x - 1, y) != colour || colourAt(x + 1, y) != colour ||
                colourAt(x, y - 1) != colour || colourAt(x, y + 1) != colour)
                continue;
            auto [it, added] = boxes.try_emplace(code, std::make_pair(CodeBox{code, x, y, x, y}, 0));
            ++it->second.second;
            if (!added) {
                CodeBox& box = it->second.first;
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.bottom = std::max(box.bottom, y);
            }
        }
    }
    std::vector<CodeBox> out;
    for (auto& [code, found] : boxes) {
        auto& [box, pixels] = found;
        if (pixels < kMinSolidPixels) continue;
        // The solid area stops one pixel short of the cell edges.
        box.left = std::max(0, box.left - 1);
        box.top = std::max(0, box.top - 1);
        box.right = std::min(width - 1, box.right + 1);
        box.bottom = std::min(height - 1, box.bottom + 1);
        out.push_back(box);
    }
    std::sort(out.begin(), out.end(), [](const CodeBox& a, const CodeBox& b) { return a.top < b.top; });
    return out;
}

}  // namespace render
