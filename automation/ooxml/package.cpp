#include "automation/ooxml/package.h"

#include <fcntl.h>
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-utils.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>
#include <string_view>
#include <unordered_map>

#include "automation/error.h"
#include "automation/ooxml/unicode.h"
#include "automation/ooxml/xml_part.h"
#include "automation/ooxml/zip_directory.h"

namespace automation::ooxml {
namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t kMiB = 1ull << 20;
// Ratios are only judged above this size: small parts of repeated markup compress extremely well.
constexpr std::uint64_t kRatioThreshold = kMiB;
constexpr std::size_t kChunk = 64 * 1024;
// Parts written anew are deflated at level 3. On a large report's XML that is the fastest of zlib's
// levels (1 and 2 find shorter matches and write more), a third of the time of level 6, for a file
// about a quarter larger: still a twenty-fifth of the XML.
constexpr zip_uint32_t kDeflateLevel = 3;

// Strict Open XML names its relationship types under another base; they are read as the usual ones.
constexpr std::string_view kStrictRelationshipBase = "http://purl.oclc.org/ooxml/officeDocument/relationships/";
constexpr std::string_view kRelationshipBase = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

std::string relationshipType(std::string_view type) {
    if (type.substr(0, kStrictRelationshipBase.size()) != kStrictRelationshipBase) return std::string(type);
    return std::string(kRelationshipBase) + std::string(type.substr(kStrictRelationshipBase.size()));
}

[[noreturn]] void failOpen(const std::string& path, const std::string& reason) {
    throw Error(errors::FileError, "无法打开文件“" + path + "”：" + reason);
}

[[noreturn]] void failSave(const std::string& path, const std::string& reason) {
    throw Error(errors::SaveFailed, "无法保存文件“" + path + "”：" + reason);
}

std::string sizeText(std::uint64_t bytes) {
    if (bytes >= kMiB && bytes % kMiB == 0) return std::to_string(bytes / kMiB) + " MB";
    if (bytes >= 1024 && bytes % 1024 == 0) return std::to_string(bytes / 1024) + " KB";
    return std::to_string(bytes) + " 字节";
}

std::string systemErrorText(int error) {
    switch (error) {
        case EACCES:
        case EPERM: return "没有写入权限";
        case ENOSPC: return "磁盘空间不足";
        case EDQUOT: return "磁盘配额已用完";
        case EROFS: return "磁盘是只读的";
        case EFBIG: return "文件超过了系统允许的大小";
        case EIO: return "磁盘读写出错";
        case ENOENT: return "路径不存在";
        case EISDIR: return "目标是一个文件夹";
        case ENAMETOOLONG: return "文件名太长";
        default: return "系统错误 " + std::to_string(error);
    }
}

std::string zipErrorText(zip_error_t* error) { return "zip 错误 " + std::to_string(zip_error_code_zip(error)); }

std::string percentDecode(const std::string& text) {
    auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hex(text[i + 1]) >= 0 && hex(text[i + 2]) >= 0) {
            out += static_cast<char>(hex(text[i + 1]) * 16 + hex(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Joins a relationship target to the folder of its source part and removes "." and ".." segments by
// the rules of URI references. Absolute targets ("/word/document.xml") start from the package root.
std::string resolveTarget(const std::string& sourcePart, std::string target) {
    if (const auto cut = target.find_first_of("#?"); cut != std::string::npos) target.resize(cut);
    // A target with a scheme ("http:", "file:") names something outside the package.
    if (const auto colon = target.find(':'); colon != std::string::npos && colon < target.find('/')) return {};
    std::string joined;
    if (!target.empty() && target[0] == '/') {
        joined = target.substr(1);
    } else {
        const auto slash = sourcePart.rfind('/');
        joined = (slash == std::string::npos ? std::string() : sourcePart.substr(0, slash + 1)) + target;
    }
    std::vector<std::string> segments;
    std::size_t start = 0;
    while (start <= joined.size()) {
        auto end = joined.find('/', start);
        if (end == std::string::npos) end = joined.size();
        const std::string segment = joined.substr(start, end - start);
        if (segment == "..") {
            // As URI references resolve: ".." at the root stays at the root.
            if (!segments.empty()) segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        start = end + 1;
    }
    std::string name;
    for (const auto& segment : segments) name += (name.empty() ? "" : "/") + segment;
    return name;
}

// The relationships part that belongs to a part ("" or "/" for the package itself).
std::string relationshipsPartOf(const std::string& sourcePart) {
    std::string source = sourcePart;
    while (!source.empty() && source[0] == '/') source.erase(0, 1);
    if (source.empty()) return "_rels/.rels";
    const auto slash = source.rfind('/');
    if (slash == std::string::npos) return "_rels/" + source + ".rels";
    return source.substr(0, slash + 1) + "_rels/" + source.substr(slash + 1) + ".rels";
}

std::string normalName(const std::string& name) {
    std::size_t start = 0;
    while (start < name.size() && name[start] == '/') ++start;
    return name.substr(start);
}

bool isAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool isMarkupPart(const std::string& name) {
    const std::string lower = lowerAscii(name);
    auto endsWith = [&](std::string_view suffix) {
        return lower.size() >= suffix.size() && lower.compare(lower.size() - suffix.size(), suffix.size(), suffix) == 0;
    };
    return endsWith(".xml") || endsWith(".rels") || endsWith(".vml");
}

struct ZipArchive {
    zip_t* archive = nullptr;
    ~ZipArchive() {
        if (archive) zip_discard(archive);
    }
};

struct ZipFile {
    zip_file_t* file = nullptr;
    ~ZipFile() {
        if (file) zip_fclose(file);
    }
};

// Whether the stored (compressed) data of an entry reads to its end as the directory describes it, so
// that a save can copy it unchanged.
bool storedDataReadable(zip_t* archive, zip_uint64_t index, std::string& chunk) {
    ZipFile file{zip_fopen_index(archive, index, ZIP_FL_COMPRESSED)};
    if (!file.file) return false;
    for (;;) {
        const zip_int64_t got = zip_fread(file.file, chunk.data(), chunk.size());
        if (got <= 0) return got == 0;
    }
}

// The uncompressed data of entry index of a zip held in memory. The package was checked entry by entry
// when it was opened, so a failure here means that memory ran out.
std::string readEntry(const std::string& zip, zip_uint64_t index, const std::string& name) {
    auto fail = [&] { throw Error(errors::FileError, "无法读取文档部件“" + name + "”。"); };
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(zip.data(), zip.size(), 0, &error);
    zip_error_fini(&error);
    if (!source) fail();
    ZipArchive archive{zip_open_from_source(source, ZIP_RDONLY, nullptr)};
    if (!archive.archive) {
        zip_source_free(source);
        fail();
    }
    ZipFile file{zip_fopen_index(archive.archive, index, 0)};
    if (!file.file) fail();
    std::string bytes;
    zip_stat_t st;
    if (zip_stat_index(archive.archive, index, 0, &st) == 0 && (st.valid & ZIP_STAT_SIZE))
        bytes.reserve(static_cast<std::size_t>(st.size));
    std::string chunk(kChunk, '\0');
    for (;;) {
        const zip_int64_t got = zip_fread(file.file, chunk.data(), chunk.size());
        if (got < 0) fail();
        if (got == 0) break;
        bytes.append(chunk.data(), static_cast<std::size_t>(got));
    }
    return bytes;
}

void putLittleEndian(std::string& out, std::size_t at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A part deflated as it is written, kept as a zip of that one entry (named "x") so that the zip library
// copies its compressed data into the saved package as it copies the entries of the file.
class DeflatingWriter final : public pugi::xml_writer {
public:
    explicit DeflatingWriter(std::string name) : name_(std::move(name)) {
        out_.assign(kLocalHeader, '\0');
        if (deflateInit2(&stream_, static_cast<int>(kDeflateLevel), Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) !=
            Z_OK)
            throw Error(errors::SaveFailed, "内存不足，无法写入文档部件“" + name_ + "”。");
    }
    ~DeflatingWriter() override { deflateEnd(&stream_); }
    DeflatingWriter(const DeflatingWriter&) = delete;
    DeflatingWriter& operator=(const DeflatingWriter&) = delete;

    void write(const void* data, size_t size) override {
        auto* bytes = static_cast<const Bytef*>(data);
        while (size > 0) {
            // zlib counts in 32 bits; pugixml writes in small pieces anyway.
            const auto piece = static_cast<uInt>(std::min<size_t>(size, 1u << 30));
            crc_ = crc32(crc_, bytes, piece);
            size_ += piece;
            stream_.next_in = const_cast<Bytef*>(bytes);
            stream_.avail_in = piece;
            pump(Z_NO_FLUSH);
            bytes += piece;
            size -= piece;
        }
    }

    // The finished one-entry zip.
    std::string finish() {
        pump(Z_FINISH);
        const std::uint64_t compressed = out_.size() - kLocalHeader;
        if (size_ >= 0xFFFFFFFFu || compressed >= 0xFFFFFFFFu)
            throw Error(errors::SaveFailed, "文档部件“" + name_ + "”超过 4 GB，无法保存。");
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        const auto time = static_cast<std::uint32_t>((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
        const auto date = static_cast<std::uint32_t>(((std::max(local.tm_year, 80) - 80) << 9) |
                                                     ((local.tm_mon + 1) << 5) | local.tm_mday);
        // The fields from "version needed" to the name length, shared by both headers.
        auto common = [&](std::size_t at) {
            putLittleEndian(out_, at, 20, 2);
            putLittleEndian(out_, at + 2, 0, 2);
            putLittleEndian(out_, at + 4, Z_DEFLATED, 2);
            putLittleEndian(out_, at + 6, time, 2);
            putLittleEndian(out_, at + 8, date, 2);
            putLittleEndian(out_, at + 10, static_cast<std::uint32_t>(crc_), 4);
            putLittleEndian(out_, at + 14, static_cast<std::uint32_t>(compressed), 4);
            putLittleEndian(out_, at + 18, static_cast<std::uint32_t>(size_), 4);
            putLittleEndian(out_, at + 22, 1, 2);
        };
        putLittleEndian(out_, 0, 0x04034b50, 4);
        common(4);
        out_[kLocalHeader - 1] = 'x';
        const std::size_t directory = out_.size();
        out_.append(kCentralHeader + kEndRecord, '\0');
        putLittleEndian(out_, directory, 0x02014b50, 4);
        putLittleEndian(out_, directory + 4, 20, 2);
        common(directory + 6);
        out_[directory + kCentralHeader - 1] = 'x';
        const std::size_t end = directory + kCentralHeader;
        putLittleEndian(out_, end, 0x06054b50, 4);
        putLittleEndian(out_, end + 8, 1, 2);
        putLittleEndian(out_, end + 10, 1, 2);
        putLittleEndian(out_, end + 12, kCentralHeader, 4);
        putLittleEndian(out_, end + 16, static_cast<std::uint32_t>(directory), 4);
        return std::move(out_);
    }

    std::uint32_t crc() const { return static_cast<std::uint32_t>(crc_); }
    std::uint64_t size() const { return size_; }

private:
    static constexpr std::size_t kLocalHeader = 30 + 1;
    static constexpr std::size_t kCentralHeader = 46 + 1;
    static constexpr std::size_t kEndRecord = 22;

    void pump(int flush) {
        Bytef buffer[kChunk];
        int status = Z_OK;
        do {
            stream_.next_out = buffer;
            stream_.avail_out = sizeof buffer;
            status = deflate(&stream_, flush);
            if (status == Z_STREAM_ERROR) throw Error(errors::SaveFailed, "无法压缩文档部件“" + name_ + "”。");
            out_.append(reinterpret_cast<const char*>(buffer), sizeof buffer - stream_.avail_out);
        } while (stream_.avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END));
    }

    std::string name_;
    std::string out_;
    z_stream stream_{};
    uLong crc_ = crc32(0, nullptr, 0);
    std::uint64_t size_ = 0;
};

// Tells apart the compound files a user may take for a Word document.
void rejectCompoundFile(const std::string& path, const std::string& bytes) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { gsf_init(); });

    GsfInput* input = gsf_input_memory_new(reinterpret_cast<const guint8*>(bytes.data()),
                                           static_cast<gsf_off_t>(bytes.size()), FALSE);
    GError* error = nullptr;
    GsfInfile* ole = input ? gsf_infile_msole_new(input, &error) : nullptr;
    if (error) g_error_free(error);
    if (input) g_object_unref(input);
    if (!ole)
        failOpen(path,
                 "这是一个 Office 97-2003 格式的复合文档，但内容无法读取(文件可能已损坏)。"
                 "请在 Word 中打开它，另存为 Word 文档(.docx)后再试。");
    auto has = [&](const char* name) {
        GsfInput* child = gsf_infile_child_by_name(ole, name);
        if (!child) return false;
        g_object_unref(child);
        return true;
    };
    const bool encrypted = has("EncryptionInfo") || has("EncryptedPackage");
    const bool legacyWord = has("WordDocument");
    g_object_unref(ole);
    if (encrypted) failOpen(path, "文档已用密码加密，无法读取。请先在 Word 中取消文档的打开密码并保存，再打开它。");
    if (legacyWord)
        failOpen(
            path,
            "这是旧版 Word 97-2003 文档(.doc)，无法直接处理。请先在 Word 中将它另存为 Word 文档(.docx)，再打开它。");
    failOpen(path, "这是一个 Office 97-2003 格式的文件，不是 Word 文档(.docx)。");
}

std::string readWholeFile(const std::string& path, const PackageLimits& limits) {
    std::error_code ec;
    const auto status = fs::status(path, ec);
    if (ec || !fs::exists(status)) {
        if (ec && ec != std::errc::no_such_file_or_directory && ec != std::errc::not_a_directory)
            failOpen(path, "无法读取该文件(可能没有读取权限)。");
        failOpen(path, "文件不存在。");
    }
    if (fs::is_directory(status)) failOpen(path, "这是一个文件夹，不是文件。");

    // Stored (uncompressed) entries make a package about as large as its parts; anything far beyond the
    // total limit cannot be read anyway.
    const std::uint64_t cap =
        limits.maxTotalSize > UINT64_MAX - 64 * kMiB ? UINT64_MAX : limits.maxTotalSize + 64 * kMiB;
    auto tooLarge = [&] { failOpen(path, "文件太大(超过 " + sizeText(cap) + " 的上限)。"); };
    std::uint64_t expected = 0;
    if (fs::is_regular_file(status)) {
        expected = fs::file_size(path, ec);
        if (!ec && expected > cap) tooLarge();
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) failOpen(path, "无法读取该文件(可能没有读取权限，或正被其他程序占用)。");
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(ec ? 0 : expected));
    std::string chunk(kChunk, '\0');
    while (in) {
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        const auto got = static_cast<std::size_t>(in.gcount());
        if (got == 0) break;
        if (bytes.size() + got > cap) tooLarge();
        bytes.append(chunk.data(), got);
    }
    if (in.bad()) failOpen(path, "读取文件时出错。");
    return bytes;
}

struct Relationship {
    std::string id;
    std::string type;
    std::string target;
    bool external = false;
};

}  // namespace

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

    void addToIndex(std::size_t i) {
        byName.emplace(entries[i].name, i);
        byLowerName.emplace(lowerAscii(entries[i].name), i);
    }

    // Part names are compared without regard to ASCII case, as packages require; an exact match wins.
    const Entry* find(const std::string& rawName) const {
        const std::string name = normalName(rawName);
        if (auto it = byName.find(name); it != byName.end())
            return entries[it->second].directory ? nullptr : &entries[it->second];
        if (auto it = byLowerName.find(lowerAscii(name)); it != byLowerName.end())
            return entries[it->second].directory ? nullptr : &entries[it->second];
        return nullptr;
    }

    const std::vector<Relationship>& relationshipsOf(const std::string& sourcePart) const {
        const std::string relsName = relationshipsPartOf(sourcePart);
        if (auto it = relationships.find(relsName); it != relationships.end()) return it->second;
        std::vector<Relationship> list;
        if (const Entry* rels = find(relsName)) {
            const auto document = parseXmlPart(bytesOf(*rels), rels->name);
            for (pugi::xml_node node : document->document_element().children()) {
                if (node.type() != pugi::node_element) continue;
                std::string_view nodeName = node.name();
                if (const auto colon = nodeName.find(':'); colon != std::string_view::npos)
                    nodeName.remove_prefix(colon + 1);
                if (nodeName != "Relationship") continue;
                list.push_back({node.attribute("Id").value(), relationshipType(node.attribute("Type").value()),
                                node.attribute("Target").value(),
                                std::string_view(node.attribute("TargetMode").value()) == "External"});
            }
        }
        return relationships.emplace(relsName, std::move(list)).first->second;
    }

    // The name the first internal relationship of this type points at, whether or not that part exists.
    std::optional<std::string> targetOf(const std::string& sourcePart, const std::string& type) const {
        for (const auto& rel : relationshipsOf(sourcePart))
            if (rel.type == type && !rel.external) return resolveTarget(normalName(sourcePart), rel.target);
        return std::nullopt;
    }

    const Entry* resolve(const std::string& resolvedName) const {
        if (resolvedName.empty()) return nullptr;
        if (const Entry* entry = find(resolvedName)) return entry;
        const std::string decoded = percentDecode(resolvedName);
        return decoded == resolvedName ? nullptr : find(decoded);
    }

    std::string bytesOf(const Entry& entry) const {
        if (entry.held) return entry.bytes;
        if (!entry.zipped.empty()) return readEntry(entry.zipped, 0, entry.name);
        return readEntry(source, entry.index, entry.name);
    }

    // The entry of a part, added when missing.
    Entry& entryFor(const std::string& rawName) {
        const std::string name = normalName(rawName);
        if (name.empty() || name.back() == '/') throw errors::badParameter("部件名“" + rawName + "”无效");
        relationships.erase(name);
        if (const Entry* found = find(name)) {
            auto& entry = entries[static_cast<std::size_t>(found - entries.data())];
            relationships.erase(entry.name);
            return entry;
        }
        Entry entry;
        entry.name = name;
        entry.fromSource = false;
        entry.replaced = true;
        entries.push_back(std::move(entry));
        addToIndex(entries.size() - 1);
        return entries.back();
    }

    void readEntries(zip_t* archive, const PackageLimits& limits);
    void findMainPart();
};

void Package::Impl::readEntries(zip_t* archive, const PackageLimits& limits) {
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    if (count < 0) failOpen(path, "文件已损坏，无法读取其中的目录。");
    if (static_cast<std::uint64_t>(count) > limits.maxEntries)
        failOpen(path, "文件中的条目数(" + std::to_string(count) + " 个)超过 " + std::to_string(limits.maxEntries) +
                           " 个的上限，文件可能已损坏或是恶意构造的。");
    const std::uint64_t fileSize = source.size();
    auto tooLargeInTotal = [&] {
        failOpen(path, "全部部件解压后的总大小超过上限(" + sizeText(limits.maxTotalSize) +
                           ")，文件可能已损坏或是恶意构造的。");
    };
    // Names as the central directory stores them, which is what Word reads; the zip library would
    // prefer Info-ZIP's Unicode path fields and recode names that lack the UTF-8 flag.
    std::optional<std::vector<StoredName>> stored = centralDirectoryNames(source);
    if (stored && stored->size() != static_cast<std::size_t>(count)) stored.reset();

    // The declared sizes are checked before anything is inflated, and the real ones while inflating.
    std::vector<zip_stat_t> stats(static_cast<std::size_t>(count));
    std::uint64_t declaredTotal = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t& st = stats[static_cast<std::size_t>(i)];
        zip_stat_init(&st);
        if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW, &st) < 0 ||
            !(st.valid & ZIP_STAT_NAME) || !st.name)
            failOpen(path, "文件已损坏(zip 目录中的第 " + std::to_string(i + 1) + " 个条目无法读取)。");
        if (st.valid & ZIP_STAT_SIZE) declaredTotal += std::min<std::uint64_t>(st.size, limits.maxTotalSize + 1);
    }
    if (declaredTotal > limits.maxTotalSize) tooLargeInTotal();

    std::uint64_t total = 0;
    std::string chunk(kChunk, '\0');
    entries.reserve(static_cast<std::size_t>(count));
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        const zip_stat_t& st = stats[index];
        Entry entry;
        entry.name = stored ? (*stored)[index].bytes : std::string(st.name);
        entry.utf8 = stored && (*stored)[index].utf8;
        entry.index = index;
        entry.crc = (st.valid & ZIP_STAT_CRC) ? st.crc : 0;
        if (entry.name.empty() || entry.name.find('\0') != std::string::npos || byName.count(entry.name) ||
            byLowerName.count(lowerAscii(entry.name)))
            failOpen(path, "文件已损坏(zip 中有重名或无名的条目“" + entry.name + "”)。");
        entry.directory = entry.name.back() == '/';

        const std::uint64_t declared = (st.valid & ZIP_STAT_SIZE) ? st.size : 0;
        // The compressed data cannot be longer than the file, whatever the header says.
        const std::uint64_t compressed =
            std::min<std::uint64_t>((st.valid & ZIP_STAT_COMP_SIZE) ? st.comp_size : fileSize, fileSize);
        auto tooLarge = [&] {
            failOpen(path, "其中的部件“" + entry.name + "”解压后超过单个部件大小上限(" + sizeText(limits.maxPartSize) +
                               ")，文件可能已损坏或是恶意构造的。");
        };
        auto tooCompressed = [&] {
            failOpen(path, "其中的部件“" + entry.name + "”的压缩比超过上限(" +
                               std::to_string(limits.maxCompressionRatio) + ":1)，文件可能是恶意构造的压缩炸弹。");
        };
        // size > ratio * compressed, without the product overflowing. Markup is what a zip bomb is made of;
        // pictures and other media may compress far better (a white bitmap) and are held by the size caps.
        const bool markup = isMarkupPart(entry.name);
        auto ratioExceeded = [&](std::uint64_t size) {
            return markup && size > kRatioThreshold &&
                   (compressed == 0 || (size - 1) / compressed >= limits.maxCompressionRatio);
        };
        if (declared > limits.maxPartSize) tooLarge();
        if (ratioExceeded(declared)) tooCompressed();
        if (declared > limits.maxTotalSize - std::min(total, limits.maxTotalSize)) tooLargeInTotal();

        if (!entry.directory || declared > 0) {
            ZipFile file{zip_fopen_index(archive, index, 0)};
            if (!file.file) {
                const int code = zip_error_code_zip(zip_get_error(archive));
                if (code == ZIP_ER_NOPASSWD || code == ZIP_ER_WRONGPASSWD || code == ZIP_ER_ENCRNOTSUPP)
                    failOpen(path, "其中的部件“" + entry.name + "”已加密，无法读取。请先在 Word 中取消文档密码。");
                if (code == ZIP_ER_COMPNOTSUPP)
                    failOpen(path, "其中的部件“" + entry.name + "”使用了不支持的压缩方式。");
                failOpen(path, "文件已损坏，部件“" + entry.name + "”无法读取。");
            }
            // Read in bounded steps: the declared size is only a claim.
            entry.bytes.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(declared, limits.maxPartSize)));
            for (;;) {
                const zip_int64_t got = zip_fread(file.file, chunk.data(), chunk.size());
                if (got < 0) failOpen(path, "文件已损坏(部件“" + entry.name + "”的数据不完整或校验失败)。");
                if (got == 0) break;
                const auto size = entry.bytes.size() + static_cast<std::size_t>(got);
                if (size > limits.maxPartSize) tooLarge();
                if (ratioExceeded(size)) tooCompressed();
                if (total + size > limits.maxTotalSize) tooLargeInTotal();
                entry.bytes.append(chunk.data(), static_cast<std::size_t>(got));
            }
            total += entry.bytes.size();
            entry.size = entry.bytes.size();
            // A compressed size beyond the file (the inflater stopped at the data's real end) cannot be
            // copied on save: the part is written anew from what was read.
            if (!storedDataReadable(archive, index, chunk)) entry.replaced = true;
        }
        entries.push_back(std::move(entry));
        addToIndex(entries.size() - 1);
    }
}

void Package::Impl::findMainPart() {
    auto packageTarget = [&](const char* type) {
        try {
            return targetOf("", type);
        } catch (const Error& error) {
            failOpen(path, error.message());
        }
    };
    const std::optional<std::string> target = packageTarget(kRelOfficeDocument);
    if (!target)
        failOpen(path, "找不到文档的主体部分(包关系中没有指向文档正文的关系)，这不是一个完整的 Word 文档(.docx)。");
    if (target->empty()) {
        std::string written;
        for (const auto& rel : relationshipsOf(""))
            if (rel.type == kRelOfficeDocument && !rel.external) {
                written = rel.target;
                break;
            }
        failOpen(path, "文档的主体部分指向文件以外的“" + written + "”，这不是一个完整的 Word 文档(.docx)。");
    }
    const Entry* main = resolve(*target);
    if (!main) failOpen(path, "文档的主体部分“/" + *target + "”不存在，文件可能已损坏。");
    mainPart = main->name;

    // Word refuses a package that does not say what its parts are.
    const Entry* types = find("[Content_Types].xml");
    if (!types) failOpen(path, "文件中缺少内容类型部件 [Content_Types].xml，不是完整的 Word 文档(.docx)。");
    // An Excel workbook or PowerPoint presentation is a package of the same kind; say so plainly.
    {
        std::unique_ptr<pugi::xml_document> document;
        try {
            document = parseXmlPart(bytesOf(*types), types->name);
        } catch (const Error& error) {
            failOpen(path, error.message());
        }
        const std::string wanted = "/" + lowerAscii(mainPart);
        for (pugi::xml_node node : document->document_element().children()) {
            if (lowerAscii(node.attribute("PartName").value()) != wanted) continue;
            const std::string type = node.attribute("ContentType").value();
            if (type.find("spreadsheetml") != std::string::npos || type.find("ms-excel") != std::string::npos)
                failOpen(path, "这是 Excel 工作簿，不是 Word 文档。");
            if (type.find("presentationml") != std::string::npos || type.find("ms-powerpoint") != std::string::npos)
                failOpen(path, "这是 PowerPoint 演示文稿，不是 Word 文档。");
        }
    }
}

Package::Package() : impl_(std::make_unique<Impl>()) {}
Package::Package(Package&&) noexcept = default;
Package& Package::operator=(Package&&) noexcept = default;
Package::~Package() = default;

Package Package::open(const std::string& path, const PackageLimits& limits) {
    Package package;
    Impl& impl = *package.impl_;
    impl.path = path;
    impl.source = readWholeFile(path, limits);
    const std::string& bytes = impl.source;

    if (bytes.empty()) failOpen(path, "文件是空的(0 字节)，不是 Word 文档。");
    if (bytes.size() >= 8 && bytes.compare(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") == 0)
        rejectCompoundFile(path, bytes);

    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    if (!source) failOpen(path, "内存不足。");
    ZipArchive archive{zip_open_from_source(source, ZIP_RDONLY, &error)};
    if (!archive.archive) {
        zip_source_free(source);
        const int code = zip_error_code_zip(&error);
        zip_error_fini(&error);
        const bool looksLikeZip = bytes.compare(0, 2, "PK") == 0;
        if (code == ZIP_ER_NOZIP && !looksLikeZip) failOpen(path, "这不是 Word 文档(.docx)，文件格式无法识别。");
        failOpen(path, "文件已损坏(zip 数据不完整，可能是下载或复制没有完成)。");
    }
    zip_error_fini(&error);

    impl.readEntries(archive.archive, limits);
    impl.findMainPart();
    return package;
}

std::vector<std::string> Package::partNames() const {
    std::vector<std::string> names;
    names.reserve(impl_->entries.size());
    for (const auto& entry : impl_->entries)
        if (!entry.directory) names.push_back(entry.name);
    return names;
}

bool Package::hasPart(const std::string& name) const { return impl_->find(name) != nullptr; }

std::optional<std::string> Package::part(const std::string& name) const {
    if (const auto* entry = impl_->find(name)) return impl_->bytesOf(*entry);
    return std::nullopt;
}

std::optional<std::string> Package::takePart(const std::string& name) {
    const auto* found = impl_->find(name);
    if (!found) return std::nullopt;
    auto& entry = impl_->entries[static_cast<std::size_t>(found - impl_->entries.data())];
    if (!entry.held || entry.replaced || !entry.fromSource) return impl_->bytesOf(entry);
    entry.held = false;
    return std::move(entry.bytes);
}

void Package::setPart(const std::string& rawName, std::string bytes) {
    Impl::Entry& entry = impl_->entryFor(rawName);
    // Writing back what was read leaves the part as it was stored.
    if (!entry.replaced && entry.fromSource && entry.size == bytes.size() && impl_->bytesOf(entry) == bytes) return;
    entry.bytes = std::move(bytes);
    entry.zipped.clear();
    entry.held = true;
    entry.replaced = true;
    ++impl_->edits;
}

void Package::writePart(const std::string& rawName, const std::function<void(pugi::xml_writer&)>& write) {
    Impl::Entry& entry = impl_->entryFor(rawName);
    DeflatingWriter writer(entry.name);
    write(writer);
    std::string zipped = writer.finish();
    // Writing back what was read leaves the part as it was stored.
    if (!entry.replaced && entry.fromSource && entry.size == writer.size() && entry.crc == writer.crc() &&
        impl_->bytesOf(entry) == readEntry(zipped, 0, entry.name))
        return;
    entry.bytes = std::string();
    entry.zipped = std::move(zipped);
    entry.held = false;
    entry.replaced = true;
    ++impl_->edits;
}

void Package::removePart(const std::string& rawName) {
    Impl& impl = *impl_;
    const Impl::Entry* found = impl.find(rawName);
    if (!found) return;
    impl.relationships.erase(found->name);
    impl.entries.erase(impl.entries.begin() + (found - impl.entries.data()));
    impl.byName.clear();
    impl.byLowerName.clear();
    for (std::size_t i = 0; i < impl.entries.size(); ++i) impl.addToIndex(i);
    impl.partsRemoved = true;
    ++impl.edits;
}

std::uint64_t Package::edits() const { return impl_->edits; }

const std::string& Package::mainPartName() const { return impl_->mainPart; }

namespace {

// The part whose relationships a relationships part holds ("" for the package's own).
std::string sourceOfRelationships(const std::string& relsName) {
    const auto at = relsName.rfind("_rels/");
    if (at == std::string::npos || relsName.size() < at + 6 + 5) return {};
    return relsName.substr(0, at) + relsName.substr(at + 6, relsName.size() - at - 6 - 5);
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

std::optional<std::string> Package::relationshipTarget(const std::string& sourcePart, const std::string& id) const {
    for (const auto& rel : impl_->relationshipsOf(sourcePart)) {
        if (rel.id != id) continue;
        if (rel.external) return std::nullopt;
        const Impl::Entry* entry = impl_->resolve(resolveTarget(normalName(sourcePart), rel.target));
        return entry ? std::optional<std::string>(entry->name) : std::nullopt;
    }
    return std::nullopt;
}

void Package::removeRelationship(const std::string& sourcePart, const std::string& id) {
    const std::string relsName = relationshipsPartOf(sourcePart);
    const std::optional<std::string> target = relationshipTarget(sourcePart, id);
    const std::optional<std::string> bytes = part(relsName);
    if (!bytes) return;
    auto rels = parseXmlPart(*bytes, relsName);
    bool removed = false;
    for (pugi::xml_node node = rels->document_element().first_child(); node && !removed; node = node.next_sibling())
        if (std::string_view(node.attribute("Id").value()) == id) {
            rels->document_element().remove_child(node);
            removed = true;
        }
    if (!removed) return;
    setPart(relsName, serializeXmlPart(*rels));
    if (!target) return;

    // The part stays while any relationship of the package still points at it.
    const std::string wanted = lowerAscii(*target);
    for (const std::string& name : partNames()) {
        if (!endsWith(name, ".rels")) continue;
        const std::string source = sourceOfRelationships(name);
        for (const auto& rel : impl_->relationshipsOf(source))
            if (!rel.external && lowerAscii(normalName(resolveTarget(normalName(source), rel.target))) == wanted)
                return;
    }
    removePart(*target);
    if (const std::optional<std::string> types = part("[Content_Types].xml")) {
        auto document = parseXmlPart(*types, "[Content_Types].xml");
        pugi::xml_node root = document->document_element();
        for (pugi::xml_node node = root.first_child(); node;) {
            pugi::xml_node next = node.next_sibling();
            if (lowerAscii(normalName(node.attribute("PartName").value())) == wanted) root.remove_child(node);
            node = next;
        }
        setPart("[Content_Types].xml", serializeXmlPart(*document));
    }
}

std::optional<std::string> Package::relatedPart(const std::string& sourcePart, const std::string& type) const {
    const auto target = impl_->targetOf(sourcePart, type);
    if (!target) return std::nullopt;
    const Impl::Entry* entry = impl_->resolve(*target);
    if (!entry) return std::nullopt;
    return entry->name;
}

namespace {

// Builds the new package in memory. Without changes it is the file as read at open. Otherwise a new
// zip is written in the original order: entries that were not replaced are copied with their stored
// (compressed) data and compression method untouched; replaced and added parts are compressed anew.
template <typename Entries>
std::string buildPackage(const std::string& path, const std::string& source, const Entries& entries,
                         bool partsRemoved) {
    if (!partsRemoved && std::none_of(entries.begin(), entries.end(), [](const auto& entry) { return entry.replaced; }))
        return source;

    zip_error_t error;
    zip_error_init(&error);
    struct Archives {
        zip_t* from = nullptr;
        std::vector<zip_t*> written;  // the one-entry zips of parts given to writePart
        zip_t* to = nullptr;
        zip_source_t* output = nullptr;
        ~Archives() {
            if (to) zip_discard(to);
            for (zip_t* zip : written) zip_discard(zip);
            if (from) zip_discard(from);
            if (output) zip_source_free(output);
        }
    } archives;
    auto failWith = [&](const std::string& what, zip_error_t* cause) {
        failSave(path, what + "(" + zipErrorText(cause) + ")。");
    };

    zip_source_t* input = zip_source_buffer_create(source.data(), source.size(), 0, &error);
    if (!input) failWith("无法生成文件内容", &error);
    archives.from = zip_open_from_source(input, ZIP_RDONLY, &error);
    if (!archives.from) {
        zip_source_free(input);
        failWith("无法生成文件内容", &error);
    }
    archives.output = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (!archives.output) failWith("无法生成文件内容", &error);
    zip_source_keep(archives.output);
    archives.to = zip_open_from_source(archives.output, ZIP_TRUNCATE, &error);
    if (!archives.to) failWith("无法生成文件内容", &error);
    zip_t* to = archives.to;

    std::vector<std::pair<std::size_t, std::string>> renamed;  // (entry position, stand-in name)
    for (const auto& entry : entries) {
        const std::string what = "无法写入部件“" + entry.name + "”";
        // Parts deflated as they were written are copied like the entries of the file.
        zip_t* from = archives.from;
        zip_uint64_t fromIndex = entry.index;
        if (entry.replaced && !entry.held) {
            zip_source_t* zipped = zip_source_buffer_create(entry.zipped.data(), entry.zipped.size(), 0, &error);
            if (!zipped) failWith(what, &error);
            from = zip_open_from_source(zipped, ZIP_RDONLY, &error);
            if (!from) {
                zip_source_free(zipped);
                failWith(what, &error);
            }
            archives.written.push_back(from);
            fromIndex = 0;
        }
        // A folder entry holds no data: it is written anew and stored, whatever compression the file
        // claims for it (a method the zip library cannot write would otherwise fail the save).
        const bool folder = entry.directory && entry.size == 0 && !entry.replaced;
        const bool copied = !folder && (!entry.replaced || !entry.held);
        zip_source_t* data = copied ? zip_source_zip(to, from, fromIndex, ZIP_FL_COMPRESSED, 0, -1)
                                    : zip_source_buffer(to, entry.bytes.data(), entry.bytes.size(), 0);
        if (!data) failWith(what, zip_get_error(to));
        // Names go back byte for byte with the UTF-8 flag they had, which the zip library cannot write
        // for names that are not ASCII: those are added under an ASCII stand-in of the same length and
        // put in place in the finished archive.
        std::string name = entry.name;
        if (entry.fromSource && !isAscii(name)) {
            std::string standIn = "~" + std::to_string(renamed.size() + 1) + "~";
            if (standIn.size() <= name.size()) {
                standIn.resize(name.size(), '_');
                renamed.emplace_back(static_cast<std::size_t>(&entry - entries.data()), standIn);
                name = standIn;
            }
        }
        const zip_int64_t added = zip_file_add(to, name.c_str(), data, ZIP_FL_ENC_GUESS);
        if (added < 0) {
            zip_source_free(data);
            failWith(what, zip_get_error(to));
        }
        const auto index = static_cast<zip_uint64_t>(added);
        zip_int32_t method = folder ? ZIP_CM_STORE : ZIP_CM_DEFLATE;
        if (copied) {
            zip_stat_t st;
            if (zip_stat_index(from, fromIndex, 0, &st) == 0 && (st.valid & ZIP_STAT_COMP_METHOD))
                method = static_cast<zip_int32_t>(st.comp_method);
        }
        if (!entry.replaced) {
            zip_uint8_t system = 0;
            zip_uint32_t attributes = 0;
            if (zip_file_get_external_attributes(archives.from, entry.index, 0, &system, &attributes) == 0)
                zip_file_set_external_attributes(to, index, 0, system, attributes);
        }
        // Copied entries keep their stored data.
        const zip_uint32_t level = copied ? 0 : kDeflateLevel;
        if (zip_set_file_compression(to, index, method, level) < 0) failWith(what, zip_get_error(to));
    }
    int commentLength = 0;
    if (const char* comment = zip_get_archive_comment(archives.from, &commentLength, ZIP_FL_ENC_RAW);
        comment && commentLength > 0)
        zip_set_archive_comment(to, comment, static_cast<zip_uint16_t>(commentLength));

    if (zip_close(to) < 0) failWith("无法生成文件内容", zip_get_error(to));
    archives.to = nullptr;

    std::string out;
    zip_source_t* output = archives.output;
    if (zip_source_open(output) < 0) failWith("无法生成文件内容", zip_source_error(output));
    std::string chunk(kChunk, '\0');
    for (;;) {
        const zip_int64_t got = zip_source_read(output, chunk.data(), chunk.size());
        if (got < 0) {
            zip_source_close(output);
            failWith("无法生成文件内容", zip_source_error(output));
        }
        if (got == 0) break;
        out.append(chunk.data(), static_cast<std::size_t>(got));
    }
    zip_source_close(output);

    if (!renamed.empty()) {
        const auto written = centralDirectoryNames(out);
        for (const auto& [position, standIn] : renamed) {
            const auto& entry = entries[position];
            if (!written || position >= written->size() || (*written)[position].bytes != standIn ||
                !renameEntry(out, (*written)[position], entry.name, entry.utf8))
                failSave(path, "无法按原样写入部件名“" + entry.name + "”。");
        }
    }
    return out;
}

bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// Writes a temporary file beside the target and renames it over the target once it is complete and
// on disk; on any failure the temporary file is removed and the target stays as it was.
void replaceFile(const std::string& shownPath, const std::string& bytes) {
    fs::path target(shownPath);
    std::error_code ec;
    if (fs::is_symlink(target, ec)) {
        const auto resolved = fs::weakly_canonical(target, ec);
        if (!ec) target = resolved;
    }
    fs::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    if (target.filename().empty()) failSave(shownPath, "文件名为空。");
    if (!fs::is_directory(folder, ec)) failSave(shownPath, "文件夹“" + folder.string() + "”不存在。");
    if (fs::is_directory(target, ec)) failSave(shownPath, "同名的文件夹已经存在。");

    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;

    std::random_device random;
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "%08x", random());
        temporary = (folder / ("." + target.filename().string() + "." + suffix + ".tmp")).string();
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            failSave(shownPath, "无法在文件夹“" + folder.string() + "”中创建文件(" + systemErrorText(errno) + ")。");
    }
    if (fd < 0) failSave(shownPath, "无法在文件夹“" + folder.string() + "”中创建临时文件。");

    auto abandon = [&](int error, const std::string& what) {
        if (fd >= 0) ::close(fd);
        ::unlink(temporary.c_str());
        failSave(shownPath, what + "(" + systemErrorText(error) + ")，原文件未被改动。");
    };
    if (!writeAll(fd, bytes)) abandon(errno, "写入文件时出错");
    if (exists) (void)::fchmod(fd, existing.st_mode & 07777);
    if (::fsync(fd) != 0) abandon(errno, "写入文件时出错");
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0) abandon(errno, "写入文件时出错");
    if (::rename(temporary.c_str(), target.c_str()) != 0) abandon(errno, "无法替换原文件");

    // Make the rename itself durable; a failure here no longer endangers either version.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir);
        ::close(dir);
    }
}

}  // namespace

void Package::save(const std::string& path) const {
    const std::string bytes = buildPackage(path, impl_->source, impl_->entries, impl_->partsRemoved);
    replaceFile(path, bytes);
}

}  // namespace automation::ooxml
