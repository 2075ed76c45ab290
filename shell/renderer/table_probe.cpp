#include "table_probe.h"

#include <zip.h>

#include <cstdio>
#include <map>
#include <memory>
#include <pugixml.hpp>

namespace render {

namespace {

constexpr int kLevels = 16;
constexpr int kStep = 16;
constexpr int kBase = 8;

bool grey(int code) { return (code >> 8) == ((code >> 4) & 15) && (code >> 8) == (code & 15); }

// Codes 1..4095 without the grey ones, in order: table 1 gets the first.
const std::vector<int>& codes() {
    static const std::vector<int> list = [] {
        std::vector<int> out;
        for (int code = 1; code < kLevels * kLevels * kLevels; ++code)
            if (!grey(code)) out.push_back(code);
        return out;
    }();
    return list;
}

std::uint32_t colourOfCode(int code) {
    const auto channel = [](int nibble) { return static_cast<std::uint32_t>(kBase + kStep * nibble); };
    return channel(code >> 8) << 16 | channel((code >> 4) & 15) << 8 | channel(code & 15);
}

std::string hex(std::uint32_t colour) {
    char text[8];
    std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(colour));
    return text;
}

bool isW(pugi::xml_node node, const char* local) {
    const char* name = node.name();
    return name[0] == 'w' && name[1] == ':' && std::string_view(name + 2) == local;
}

pugi::xml_node firstChild(pugi::xml_node parent, const char* name) {
    pugi::xml_node child = parent.child(name);
    return child ? child : parent.prepend_child(name);
}

void removeAll(pugi::xml_node parent, const char* name) {
    while (pugi::xml_node child = parent.child(name)) parent.remove_child(child);
}

void setShading(pugi::xml_node properties, const std::string& fill) {
    removeAll(properties, "w:shd");
    pugi::xml_node shd = properties.append_child("w:shd");
    shd.append_attribute("w:val") = "clear";
    shd.append_attribute("w:color") = "auto";
    shd.append_attribute("w:fill") = fill.c_str();
}

// Every cell of the table (nested ones too) filled with fill, every run written in it.
void colourTable(pugi::xml_node table, const std::string& fill) {
    std::vector<pugi::xml_node> stack{table};
    while (!stack.empty()) {
        pugi::xml_node node = stack.back();
        stack.pop_back();
        if (isW(node, "tc")) {
            setShading(firstChild(node, "w:tcPr"), fill);
        } else if (isW(node, "pPr")) {
            removeAll(node, "w:shd");
        } else if (isW(node, "r")) {
            pugi::xml_node rPr = firstChild(node, "w:rPr");
            removeAll(rPr, "w:shd");
            removeAll(rPr, "w:highlight");
            removeAll(rPr, "w:color");
            rPr.append_child("w:color").append_attribute("w:val") = fill.c_str();
        }
        for (pugi::xml_node child = node.last_child(); child; child = child.previous_sibling())
            if (child.type() == pugi::node_element) stack.push_back(child);
    }
}

// The block-level tables of the body in order, looking through content controls as Word does.
void colourTables(pugi::xml_node container, int& count, int depth) {
    for (pugi::xml_node child : container.children()) {
        if (isW(child, "tbl")) {
            ++count;
            colourTable(child, hex(probeColour(count)));
        } else if (isW(child, "sdt") && depth < 32) {
            if (pugi::xml_node content = child.child("w:sdtContent")) colourTables(content, count, depth + 1);
        }
    }
}

std::optional<std::string> readEntry(zip_t* archive, const char* name) {
    zip_stat_t stat;
    if (zip_stat(archive, name, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE)) return std::nullopt;
    std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> file(zip_fopen(archive, name, 0), zip_fclose);
    if (!file) return std::nullopt;
    std::string bytes(stat.size, '\0');
    if (zip_fread(file.get(), bytes.data(), stat.size) != static_cast<zip_int64_t>(stat.size)) return std::nullopt;
    return bytes;
}

// The main document part named by the package relationships.
std::string mainPartName(zip_t* archive) {
    if (auto rels = readEntry(archive, "_rels/.rels")) {
        pugi::xml_document doc;
        if (doc.load_buffer(rels->data(), rels->size())) {
            for (pugi::xml_node rel : doc.document_element().children("Relationship")) {
                if (std::string_view(rel.attribute("Type").value()).ends_with("/officeDocument")) {
                    std::string target = rel.attribute("Target").value();
                    if (!target.empty() && target.front() == '/') target.erase(0, 1);
                    return target;
                }
            }
        }
    }
    return "word/document.xml";
}

struct XmlWriter : pugi::xml_writer {
    std::string out;
    void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), size); }
};

}  // namespace

std::uint32_t probeColour(int table) {
    if (table < 1 || table > static_cast<int>(codes().size())) return 0xFFFFFF;
    return colourOfCode(codes()[table - 1]);
}

int probeTable(std::uint32_t colour) {
    static const std::map<std::uint32_t, int> tables = [] {
        std::map<std::uint32_t, int> out;
        for (std::size_t i = 0; i < codes().size(); ++i) out.emplace(colourOfCode(codes()[i]), static_cast<int>(i) + 1);
        return out;
    }();
    const auto it = tables.find(colour);
    return it == tables.end() ? 0 : it->second;
}

std::optional<int> writeProbeCopy(const std::string& source, const std::string& target, std::string& error) {
    int code = 0;
    std::unique_ptr<zip_t, void (*)(zip_t*)> in(zip_open(source.c_str(), ZIP_RDONLY, &code), zip_discard);
    if (!in) {
        error = "cannot open " + source;
        return std::nullopt;
    }
    const std::string mainName = mainPartName(in.get());
    std::optional<std::string> main = readEntry(in.get(), mainName.c_str());
    pugi::xml_document doc;
    if (!main || !doc.load_buffer(main->data(), main->size(), pugi::parse_default | pugi::parse_ws_pcdata)) {
        error = "no readable main part";
        return std::nullopt;
    }
    int count = 0;
    colourTables(doc.document_element().child("w:body"), count, 0);
    XmlWriter writer;
    doc.save(writer, "", pugi::format_raw);

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
        zip_source_t* data = mainName == name ? zip_source_buffer(out, writer.out.data(), writer.out.size(), 0)
                                              : zip_source_zip(out, in.get(), static_cast<zip_uint64_t>(i), 0, 0, -1);
        if (!data || zip_file_add(out, name, data, ZIP_FL_OVERWRITE) < 0) {
            if (data) zip_source_free(data);
            ok = false;
        }
    }
    // The sources read from `in` and `writer` while the copy is written, so both outlive this close.
    if (!ok || zip_close(out) != 0) {
        zip_discard(out);
        error = "cannot write " + target;
        return std::nullopt;
    }
    return count;
}

std::vector<PixelBox> findProbeBoxes(const unsigned char* bgra, int width, int height) {
    std::map<int, PixelBox> boxes;
    const auto colourAt = [&](int x, int y) {
        const unsigned char* p = bgra + (static_cast<std::size_t>(y) * width + x) * 4;
        return static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[0];
    };
    for (int y = 1; y + 1 < height; ++y) {
        for (int x = 1; x + 1 < width; ++x) {
            const std::uint32_t colour = colourAt(x, y);
            if (colour == 0xFFFFFF || colour == 0) continue;
            const int table = probeTable(colour);
            if (table == 0 || colourAt(x - 1, y) != colour || colourAt(x + 1, y) != colour ||
                colourAt(x, y - 1) != colour || colourAt(x, y + 1) != colour)
                continue;
            auto [it, added] = boxes.try_emplace(table, PixelBox{table, x, y, x, y});
            if (!added) {
                PixelBox& box = it->second;
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
        }
    }
    std::vector<PixelBox> out;
    for (auto& [table, box] : boxes) {
        // The solid area stops one pixel short of the cell edges.
        box.left = std::max(0, box.left - 1);
        box.top = std::max(0, box.top - 1);
        box.right = std::min(width - 1, box.right + 1);
        box.bottom = std::min(height - 1, box.bottom + 1);
        out.push_back(box);
    }
    return out;
}

}  // namespace render
