// Entry names as a zip's central directory stores them: the bytes Word reads, and whether the entry
// is flagged as UTF-8.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace automation::ooxml {

struct StoredName {
    std::string bytes;
    bool utf8 = false;                     // general purpose flag bit 11
    std::uint64_t header = 0;              // offset of the entry's central directory header
    std::uint64_t localHeader = kUnknown;  // offset of its local header, when the directory gives it plainly
    static constexpr std::uint64_t kUnknown = ~std::uint64_t{0};
};

// Where the central directory of a zip stands, as its end record says (the zip64 end record's word
// when the plain record points to it).
struct DirectoryPlace {
    std::uint64_t offset = 0;  // of the first central directory header
    std::uint64_t size = 0;    // bytes of the central directory
    std::uint64_t entries = 0;
    std::uint64_t endRecord = 0;  // offset of the plain end record
};

// Gives up to size bytes of the zip from offset on (fewer at its end).
using ZipReader = std::function<std::string(std::uint64_t offset, std::size_t size)>;

// Finds the end record among the last bytes of a zip of zipSize bytes, reading no more than those
// (about 64 KiB) and a zip64 end record: the last record whose comment runs exactly to the end of the
// file. nullopt when there is none: the file is no zip, or its end is missing.
std::optional<DirectoryPlace> findDirectory(std::uint64_t zipSize, const ZipReader& read);

// The names of the central directory in its order, or nullopt when it cannot be walked (the caller then
// keeps the zip library's reading). Extra fields such as Info-ZIP's Unicode path are not looked at:
// Word and LibreOffice go by the central directory's name.
std::optional<std::vector<StoredName>> centralDirectoryNames(std::string_view zip);

// Gives the entry at `entry` (as centralDirectoryNames found it in zip) the name bytes and UTF-8 flag,
// in its central directory header and its local header. The new name must be as long as the old one;
// false when the entry cannot be rewritten in place.
bool renameEntry(std::string& zip, const StoredName& entry, const std::string& name, bool utf8);

}  // namespace automation::ooxml
