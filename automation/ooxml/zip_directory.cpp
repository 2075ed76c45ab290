#include "automation/ooxml/zip_directory.h"

#include <cstdint>
#include <tuple>

namespace automation::ooxml {

namespace {

constexpr std::uint32_t kEndOfDirectory = 0x06054b50;
constexpr std::uint32_t kZip64Locator = 0x07064b50;
constexpr std::uint32_t kZip64EndOfDirectory = 0x06064b50;
constexpr std::uint32_t kDirectoryHeader = 0x02014b50;
constexpr std::size_t kEndOfDirectorySize = 22;
constexpr std::size_t kZip64LocatorSize = 20;
constexpr std::size_t kZip64EndOfDirectorySize = 56;
constexpr std::size_t kDirectoryHeaderSize = 46;
constexpr std::uint32_t kLocalHeader = 0x04034b50;
constexpr std::size_t kLocalHeaderSize = 30;
constexpr std::uint64_t kUtf8Flag = 0x0800;

std::uint64_t little(std::string_view bytes, std::size_t at, int width) {
    std::uint64_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

bool fits(std::string_view bytes, std::uint64_t at, std::uint64_t size) {
    return at <= bytes.size() && size <= bytes.size() - at;
}

void putLittle(std::string& bytes, std::size_t at, std::uint64_t value, int width) {
    for (int i = 0; i < width; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

std::optional<DirectoryPlace> findDirectory(std::uint64_t zipSize, const ZipReader& read) {
    if (zipSize < kEndOfDirectorySize) return std::nullopt;
    const std::uint64_t reach = kEndOfDirectorySize + 0xFFFF + kZip64LocatorSize;
    const std::uint64_t from = zipSize > reach ? zipSize - reach : 0;
    const std::string tail = read(from, static_cast<std::size_t>(zipSize - from));
    if (tail.size() != zipSize - from) return std::nullopt;
    const std::string_view bytes(tail);
    // The end record is the last one whose comment runs exactly to the end of the file.
    std::size_t end = std::string_view::npos;
    const std::size_t lowest =
        bytes.size() > reach - kZip64LocatorSize ? bytes.size() - (reach - kZip64LocatorSize) : 0;
    for (std::size_t at = bytes.size() - kEndOfDirectorySize + 1; at-- > lowest;) {
        if (little(bytes, at, 4) == kEndOfDirectory &&
            at + kEndOfDirectorySize + little(bytes, at + 20, 2) == bytes.size()) {
            end = at;
            break;
        }
    }
    if (end == std::string_view::npos) return std::nullopt;
    DirectoryPlace place;
    place.endRecord = from + end;
    place.entries = little(bytes, end + 10, 2);
    place.size = little(bytes, end + 12, 4);
    place.offset = little(bytes, end + 16, 4);
    if ((place.entries == 0xFFFF || place.size == 0xFFFFFFFF || place.offset == 0xFFFFFFFF) &&
        end >= kZip64LocatorSize && little(bytes, end - kZip64LocatorSize, 4) == kZip64Locator) {
        const std::uint64_t record = little(bytes, end - kZip64LocatorSize + 8, 8);
        const std::string zip64 = record < zipSize ? read(record, kZip64EndOfDirectorySize) : std::string();
        if (zip64.size() != kZip64EndOfDirectorySize || little(zip64, 0, 4) != kZip64EndOfDirectory)
            return std::nullopt;
        place.entries = little(zip64, 32, 8);
        place.size = little(zip64, 40, 8);
        place.offset = little(zip64, 48, 8);
    }
    return place;
}

std::optional<std::vector<StoredName>> centralDirectoryNames(std::string_view zip) {
    const std::optional<DirectoryPlace> place = findDirectory(zip.size(), [&](std::uint64_t at, std::size_t size) {
        return at >= zip.size() ? std::string() : std::string(zip.substr(static_cast<std::size_t>(at), size));
    });
    if (!place) return std::nullopt;
    const std::uint64_t count = place->entries;
    const std::uint64_t offset = place->offset;
    if (count > zip.size() / kDirectoryHeaderSize) return std::nullopt;
    std::vector<StoredName> names;
    names.reserve(static_cast<std::size_t>(count));
    std::uint64_t at = offset;
    for (std::uint64_t i = 0; i < count; ++i) {
        if (!fits(zip, at, kDirectoryHeaderSize) || little(zip, at, 4) != kDirectoryHeader) return std::nullopt;
        const std::uint64_t nameLength = little(zip, at + 28, 2);
        const std::uint64_t extraLength = little(zip, at + 30, 2);
        const std::uint64_t commentLength = little(zip, at + 32, 2);
        if (!fits(zip, at + kDirectoryHeaderSize, nameLength)) return std::nullopt;
        StoredName name;
        name.bytes = std::string(
            zip.substr(static_cast<std::size_t>(at + kDirectoryHeaderSize), static_cast<std::size_t>(nameLength)));
        name.utf8 = (little(zip, at + 8, 2) & kUtf8Flag) != 0;
        name.header = at;
        if (const std::uint64_t local = little(zip, at + 42, 4); local != 0xFFFFFFFF) name.localHeader = local;
        names.push_back(std::move(name));
        at += kDirectoryHeaderSize + nameLength + extraLength + commentLength;
    }
    return names;
}

bool renameEntry(std::string& zip, const StoredName& entry, const std::string& name, bool utf8) {
    const std::uint64_t local = entry.localHeader;
    if (name.size() != entry.bytes.size() || local == StoredName::kUnknown) return false;
    if (!fits(zip, entry.header, kDirectoryHeaderSize + name.size()) ||
        !fits(zip, local, kLocalHeaderSize + name.size()))
        return false;
    if (little(zip, local, 4) != kLocalHeader || little(zip, local + 26, 2) != name.size()) return false;
    for (const auto& [headerAt, flagsAt, nameAt] :
         {std::tuple{entry.header, entry.header + 8, entry.header + kDirectoryHeaderSize},
          std::tuple{local, local + 6, local + kLocalHeaderSize}}) {
        (void)headerAt;
        const std::uint64_t flags = little(zip, static_cast<std::size_t>(flagsAt), 2);
        putLittle(zip, static_cast<std::size_t>(flagsAt), utf8 ? flags | kUtf8Flag : flags & ~kUtf8Flag, 2);
        zip.replace(static_cast<std::size_t>(nameAt), name.size(), name);
    }
    return true;
}

}  // namespace automation::ooxml
