// An OOXML package (a zip of parts) held in memory, part by part.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <pugixml.hpp>

namespace automation::ooxml {

// Limits that keep a hostile package from exhausting memory.
struct PackageLimits {
    std::uint64_t maxPartSize = 256ull << 20;        // uncompressed bytes of one part
    std::uint64_t maxTotalSize = 1024ull << 20;      // uncompressed bytes of all parts together
    std::uint64_t maxCompressionRatio = 200;         // uncompressed / compressed, for markup parts larger than
    std::uint64_t ratioCheckedAbove = 128ull << 20;  // uncompressed bytes
    // (Word's own markup of empty rows deflates 250:1 and more, and a table of 50,000 empty rows is 11 to
    // 47 MiB of it: the ratio counts only above the size ordinary documents reach, the sizes below.)
    std::uint64_t maxEntries = 20000;
};

// How a file is refused: automation::Error (FileError), "无法打开文件“path”：" and the reason.
[[noreturn]] void failOpen(const std::string& path, const std::string& reason);

class Package {
public:
    // Reads the whole package. Fails as failOpen does, saying in Chinese what is wrong: not a zip, a legacy
    // .doc or an encrypted document, a zip cut short or with a damaged directory, an absurd entry, a part
    // declaring a DOCTYPE, no main document part. What the file is is told from its first bytes and its
    // zip end record before it is read whole.
    static Package open(const std::string& path, const PackageLimits& limits = {});

    Package(Package&&) noexcept;
    Package& operator=(Package&&) noexcept;
    ~Package();

    // Part names as stored in the zip, without a leading '/', in the zip's order.
    std::vector<std::string> partNames() const;
    bool hasPart(const std::string& name) const;
    // The uncompressed bytes of a part; nullopt when there is no such part.
    std::optional<std::string> part(const std::string& name) const;
    // The same, handing over the package's own copy of a part read from the file: the package keeps
    // only the stored data and reads the part from it again when asked.
    std::optional<std::string> takePart(const std::string& name);
    // Replaces (or adds) a part; only replaced parts are written anew on save.
    void setPart(const std::string& name, std::string bytes);
    // The same for a part that write produces piece by piece: it is deflated as it comes, and only the
    // compressed data is kept.
    void writePart(const std::string& name, const std::function<void(pugi::xml_writer&)>& write);
    // Takes a part out of the package; nothing happens when there is no such part.
    void removePart(const std::string& name);
    // Counts the calls above that changed a part: equal counts mean the same parts.
    std::uint64_t edits() const;

    // The main document part, found through the package relationships (officeDocument).
    const std::string& mainPartName() const;
    // The target part of the first relationship of this type from sourcePart, resolved to a part name;
    // nullopt when there is none, when it is external or when its target part is missing. type is the
    // full relationship type URI; sourcePart "" stands for the package itself. Relationships are read
    // once and cached, so a Package is not to be shared between threads.
    std::optional<std::string> relatedPart(const std::string& sourcePart, const std::string& type) const;

    // The part the internal relationship with this Id of sourcePart points at; nullopt when there is no
    // such relationship or part.
    std::optional<std::string> relationshipTarget(const std::string& sourcePart, const std::string& id) const;
    // Removes the relationship with this Id from sourcePart's relationships, and the part it pointed at
    // when no other relationship of the package points there any more (with its content type override).
    void removeRelationship(const std::string& sourcePart, const std::string& id);

    // Writes the package to path: a temporary file in the same folder, renamed over path only when
    // complete. Parts that were not replaced are copied byte for byte. Fails with automation::Error.
    void save(const std::string& path) const;
    // The same with part name holding bytes instead (added when missing); the package is not changed.
    void saveWithPart(const std::string& path, const std::string& name, std::string bytes) const;

private:
    Package();
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

inline constexpr const char* kRelOfficeDocument =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument";
inline constexpr const char* kRelStyles = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles";

}  // namespace automation::ooxml
