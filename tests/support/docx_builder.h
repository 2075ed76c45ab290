// Builds small .docx files in code for the tests, and reads parts back from saved files.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace gwtest {

// Namespace declarations every built document part carries.
extern const char* const kWordNamespaces;

struct DocxSpec {
    std::string body;    // the content of w:body (paragraphs, tables, sectPr)
    std::string styles;  // the content of w:styles; empty: no styles part
    // Further parts by name (for example "word/header1.xml"), written as given.
    std::map<std::string, std::string> extraParts;
    // Further relationships of the main part: id -> (type, target).
    std::map<std::string, std::pair<std::string, std::string>> extraRelationships;
    // Further content types by file extension ("bin" -> "application/vnd...oleObject").
    std::map<std::string, std::string> defaultContentTypes;
    std::string mainPartName = "word/document.xml";
};

// Writes a complete package to path.
void writeDocx(const std::filesystem::path& path, const DocxSpec& package);

// Shorthand: a package with just this body.
void writeDocx(const std::filesystem::path& path, const std::string& body);

// The bytes of one part of a package on disk; throws std::runtime_error when it is missing.
std::string readPart(const std::filesystem::path& docx, const std::string& partName);

// Every part of a package on disk, by name.
std::map<std::string, std::string> readAllParts(const std::filesystem::path& docx);

// Writes a zip with exactly these entries (for malformed packages).
void writeZip(const std::filesystem::path& path, const std::map<std::string, std::string>& entries);

// One entry of a zip written byte by byte: the name exactly as stored, the UTF-8 flag, an extra field.
struct RawZipEntry {
    RawZipEntry(std::string name, std::string data, bool utf8Flag = false, std::string extra = {})
        : name(std::move(name)), data(std::move(data)), utf8Flag(utf8Flag), extra(std::move(extra)) {}
    std::string name;
    std::string data;
    bool utf8Flag;
    std::string extra;
};
// A zip of stored (uncompressed) entries exactly as given, for names and fields no zip library writes.
std::string rawZip(const std::vector<RawZipEntry>& entries);
// An Info-ZIP Unicode path extra field that gives storedName the name unicodeName.
std::string unicodePathField(const std::string& storedName, const std::string& unicodeName);

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path file(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Small builders for body XML.
std::string para(const std::string& text, const std::string& pPr = "", const std::string& rPr = "");
// A table of rows x cols cells, each holding "r,c" text unless cellText is given; tblPr inserted as is.
std::string table(int rows, int cols, const std::string& tblPr = "", const std::string& cellPrefix = "");

}  // namespace gwtest
