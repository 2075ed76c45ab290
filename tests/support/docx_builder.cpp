#include "support/docx_builder.h"

#include <cstdint>
#include <string_view>

#include <zip.h>

#include <atomic>
#include <random>
#include <stdexcept>

namespace gwtest {

const char* const kWordNamespaces =
    "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
    "xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\" "
    "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
    "xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\" "
    "xmlns:wps=\"http://schemas.microsoft.com/office/word/2010/wordprocessingShape\" "
    "xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\" "
    "xmlns:v=\"urn:schemas-microsoft-com:vml\" xmlns:o=\"urn:schemas-microsoft-com:office:office\"";

void writeZip(const std::filesystem::path& path, const std::map<std::string, std::string>& entries) {
    int error = 0;
    zip_t* archive = zip_open(path.string().c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive) throw std::runtime_error("cannot create " + path.string());
    for (const auto& [name, bytes] : entries) {
        zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
        if (!source || zip_file_add(archive, name.c_str(), source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(source);
            zip_discard(archive);
            throw std::runtime_error("cannot add " + name);
        }
    }
    if (zip_close(archive) < 0) {
        zip_discard(archive);
        throw std::runtime_error("cannot write " + path.string());
    }
}

namespace {

std::uint32_t crc32(std::string_view bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : bytes) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void put(std::string& out, std::uint64_t value, int width) {
    for (int i = 0; i < width; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

std::string unicodePathField(const std::string& storedName, const std::string& unicodeName) {
    std::string field;
    put(field, 0x7075, 2);
    put(field, 5 + unicodeName.size(), 2);
    put(field, 1, 1);
    put(field, crc32(storedName), 4);
    return field + unicodeName;
}

std::string rawZip(const std::vector<RawZipEntry>& entries) {
    std::string out;
    std::string directory;
    for (const auto& entry : entries) {
        const std::size_t offset = out.size();
        const std::uint32_t crc = crc32(entry.data);
        const int flags = entry.utf8Flag ? 0x0800 : 0;
        std::string common;  // version needed .. extra length, shared by both headers
        put(common, 20, 2);
        put(common, flags, 2);
        put(common, 0, 2);     // stored
        put(common, 0, 2);     // time
        put(common, 0x21, 2);  // date: 1980-01-01
        put(common, crc, 4);
        put(common, entry.data.size(), 4);
        put(common, entry.data.size(), 4);
        put(common, entry.name.size(), 2);
        put(common, entry.extra.size(), 2);
        put(out, 0x04034b50, 4);
        out += common + entry.name + entry.extra + entry.data;
        put(directory, 0x02014b50, 4);
        put(directory, 20, 2);  // version made by
        directory += common;
        put(directory, 0, 2);  // comment length
        put(directory, 0, 2);  // disk
        put(directory, 0, 2);  // internal attributes
        put(directory, 0, 4);  // external attributes
        put(directory, offset, 4);
        directory += entry.name + entry.extra;
    }
    const std::size_t directoryOffset = out.size();
    out += directory;
    put(out, 0x06054b50, 4);
    put(out, 0, 4);
    put(out, entries.size(), 2);
    put(out, entries.size(), 2);
    put(out, directory.size(), 4);
    put(out, directoryOffset, 4);
    put(out, 0, 2);
    return out;
}

void writeDocx(const std::filesystem::path& path, const DocxSpec& package) {
    std::map<std::string, std::string> parts;
    const std::string xmlDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
    std::string types =
        xmlDecl +
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>";
    for (const auto& [extension, type] : package.defaultContentTypes)
        types += "<Default Extension=\"" + extension + "\" ContentType=\"" + type + "\"/>";
    types += "<Override PartName=\"/" + package.mainPartName +
             "\" ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>";
    if (!package.styles.empty())
        types +=
            "<Override PartName=\"/word/styles.xml\" "
            "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml\"/>";
    types += "</Types>";
    parts["[Content_Types].xml"] = types;
    parts["_rels/.rels"] =
        xmlDecl +
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
        "officeDocument\" Target=\"" +
        package.mainPartName + "\"/></Relationships>";
    parts[package.mainPartName] =
        xmlDecl + "<w:document " + kWordNamespaces + "><w:body>" + package.body + "</w:body></w:document>";

    const auto slash = package.mainPartName.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : package.mainPartName.substr(0, slash + 1);
    const std::string file = slash == std::string::npos ? package.mainPartName : package.mainPartName.substr(slash + 1);
    std::string rels =
        xmlDecl + "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    if (!package.styles.empty()) {
        rels +=
            "<Relationship Id=\"rIdStyles\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
            "relationships/styles\" Target=\"styles.xml\"/>";
        parts[folder + "styles.xml"] = xmlDecl + "<w:styles " + kWordNamespaces + ">" + package.styles + "</w:styles>";
    }
    for (const auto& [id, rel] : package.extraRelationships)
        rels += "<Relationship Id=\"" + id + "\" Type=\"" + rel.first + "\" Target=\"" + rel.second + "\"/>";
    rels += "</Relationships>";
    parts[folder + "_rels/" + file + ".rels"] = rels;
    for (const auto& [name, bytes] : package.extraParts) parts[name] = bytes;
    writeZip(path, parts);
}

void writeDocx(const std::filesystem::path& path, const std::string& body) {
    DocxSpec package;
    package.body = body;
    writeDocx(path, package);
}

std::map<std::string, std::string> readAllParts(const std::filesystem::path& docx) {
    int error = 0;
    zip_t* archive = zip_open(docx.string().c_str(), ZIP_RDONLY, &error);
    if (!archive) throw std::runtime_error("cannot open " + docx.string());
    std::map<std::string, std::string> parts;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        if (zip_stat_index(archive, i, 0, &st) < 0) continue;
        zip_file_t* f = zip_fopen_index(archive, i, 0);
        if (!f) continue;
        std::string bytes(st.size, '\0');
        const zip_int64_t got = zip_fread(f, bytes.data(), st.size);
        zip_fclose(f);
        if (got >= 0) bytes.resize(static_cast<size_t>(got));
        parts[st.name] = std::move(bytes);
    }
    zip_close(archive);
    return parts;
}

std::string readPart(const std::filesystem::path& docx, const std::string& partName) {
    auto parts = readAllParts(docx);
    auto it = parts.find(partName);
    if (it == parts.end()) throw std::runtime_error("no part " + partName + " in " + docx.string());
    return it->second;
}

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("gridwright-test-" + std::to_string(rd()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string para(const std::string& text, const std::string& pPr, const std::string& rPr) {
    std::string xml = "<w:p>";
    if (!pPr.empty()) xml += "<w:pPr>" + pPr + "</w:pPr>";
    if (!text.empty()) {
        xml += "<w:r>";
        if (!rPr.empty()) xml += "<w:rPr>" + rPr + "</w:rPr>";
        xml += "<w:t xml:space=\"preserve\">" + text + "</w:t></w:r>";
    }
    return xml + "</w:p>";
}

std::string table(int rows, int cols, const std::string& tblPr, const std::string& cellPrefix) {
    std::string xml = "<w:tbl><w:tblPr>" + tblPr + "</w:tblPr><w:tblGrid>";
    for (int c = 0; c < cols; ++c) xml += "<w:gridCol w:w=\"1500\"/>";
    xml += "</w:tblGrid>";
    for (int r = 1; r <= rows; ++r) {
        xml += "<w:tr>";
        for (int c = 1; c <= cols; ++c)
            xml += "<w:tc><w:tcPr><w:tcW w:w=\"1500\" w:type=\"dxa\"/></w:tcPr>" +
                   para(cellPrefix + std::to_string(r) + "," + std::to_string(c)) + "</w:tc>";
        xml += "</w:tr>";
    }
    return xml + "</w:tbl>";
}

}  // namespace gwtest
