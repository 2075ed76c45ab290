// What a Package holds, shared by the files that read, write and relate its parts. Internal to
// the package: nothing outside automation/ooxml/package*.cpp includes it.
#pragma once

#include <zip.h>

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "automation/ooxml/package.h"

namespace automation::ooxml {

inline constexpr std::uint64_t kMiB = 1ull << 20;
inline constexpr std::size_t kChunk = 64 * 1024;

std::string sizeText(std::uint64_t bytes);
// A part name without its leading '/'.
std::string normalName(const std::string& name);

// The uncompressed data of entry index of a zip held in memory. The package was checked entry by entry
// when it was opened, so a failure here means that memory ran out.
std::string readEntry(const std::string& zip, zip_uint64_t index, const std::string& name);

struct Relationship {
    std::string id;
    std::string type;
    std::string target;
    bool external = false;
};

struct Package::Impl {
    struct Entry {
        std::string name;
        std::string bytes;       // the part, while held
        std::string zipped;      // a part given to writePart: a zip of that one entry
        zip_uint64_t index = 0;  // position in the source archive, for entries read from it
        std::uint32_t crc = 0;   // of the data in the source archive
        std::uint64_t size = 0;  // uncompressed, in the source archive
        bool held = true;        // bytes hold the part; otherwise it is read from zipped or the source
        bool fromSource = true;
        bool replaced = false;
        bool directory = false;
        bool utf8 = false;  // the name is flagged as UTF-8 in the zip
    };

    std::string path;
    std::string source;  // the whole file as read at open
    std::vector<Entry> entries;
    std::unordered_map<std::string, std::size_t> byName;
    std::unordered_map<std::string, std::size_t> byLowerName;
    std::string mainPart;
    bool partsRemoved = false;
    std::uint64_t edits = 0;
    // Parsed relationships by relationships part name; dropped when that part is replaced.
    mutable std::unordered_map<std::string, std::vector<Relationship>> relationships;

    void addToIndex(std::size_t i);
    // Part names are compared without regard to ASCII case, as packages require; an exact match wins.
    const Entry* find(const std::string& rawName) const;
    std::string bytesOf(const Entry& entry) const;
    // The entry of a part, added when missing.
    Entry& entryFor(const std::string& rawName);

    // Reading (package_reading.cpp): the file into source, then every entry under the limits.
    void readFile(const PackageLimits& limits);
    void readEntries(zip_t* archive, const PackageLimits& limits);

    // Relationships (package_relationships.cpp).
    const std::vector<Relationship>& relationshipsOf(const std::string& sourcePart) const;
    // The name the first internal relationship of this type points at, whether or not that part exists.
    std::optional<std::string> targetOf(const std::string& sourcePart, const std::string& type) const;
    const Entry* resolve(const std::string& resolvedName) const;
    void findMainPart();
};

}  // namespace automation::ooxml
