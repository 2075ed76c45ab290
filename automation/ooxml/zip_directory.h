// Entry names as a zip's central directory stores them: the bytes Word reads, and whether the entry
// is flagged as UTF-8.
#pragma once

#include <cstdint>
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

// The names of the central directory in its order, or nullopt when it cannot be walked (the caller then
// keeps the zip library's reading). Extra fields such as Info-ZIP's Unicode path are not looked at:
// Word and LibreOffice go by the central directory's name.
std::optional<std::vector<StoredName>> centralDirectoryNames(std::string_view zip);

// Gives the entry at `entry` (as centralDirectoryNames found it in zip) the name bytes and UTF-8 flag,
// in its central directory header and its local header. The new name must be as long as the old one;
// false when the entry cannot be rewritten in place.
bool renameEntry(std::string& zip, const StoredName& entry, const std::string& name, bool utf8);

}  // namespace automation::ooxml
