// Reading a package: the file, told apart from what users take for Word documents, and its zip entries
// inflated under the limits.
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-utils.h>
#include <zip.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <string_view>

#include "automation/error.h"
#include "automation/ooxml/package_parts.h"
#include "automation/ooxml/unicode.h"
#include "automation/ooxml/xml_part.h"
#include "automation/ooxml/zip_directory.h"

namespace automation::ooxml {
namespace fs = std::filesystem;

namespace {

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

constexpr std::string_view kCompoundFileSignature = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

// Tells apart the compound files a user may take for a Word document, reading only the parts of the
// file that its directory names.
void rejectCompoundFile(const std::string& path, GsfInput* input) {
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

void initialiseGsf() {
    static std::once_flag initialised;
    std::call_once(initialised, [] { gsf_init(); });
}

// The file to open: checked to exist and to be no folder, its size held to the cap. A regular file is
// read piece by piece where asked; anything else (a pipe) is read whole at once, as only that can be.
class InputFile {
public:
    InputFile(const std::string& path, const PackageLimits& limits) : path_(path) {
        std::error_code ec;
        const auto status = fs::status(path, ec);
        if (ec || !fs::exists(status)) {
            if (ec && ec != std::errc::no_such_file_or_directory && ec != std::errc::not_a_directory)
                failOpen(path, "无法读取该文件(可能没有读取权限)。");
            failOpen(path, "文件不存在。");
        }
        if (fs::is_directory(status)) failOpen(path, "这是一个文件夹，不是文件。");
        // Stored (uncompressed) entries make a package about as large as its parts; anything far beyond
        // the total limit cannot be read anyway.
        cap_ = limits.maxTotalSize > UINT64_MAX - 64 * kMiB ? UINT64_MAX : limits.maxTotalSize + 64 * kMiB;
        in_.open(path, std::ios::binary);
        if (!in_) failOpen(path, "无法读取该文件(可能没有读取权限，或正被其他程序占用)。");
        if (fs::is_regular_file(status)) {
            size_ = fs::file_size(path, ec);
            regular_ = !ec;
            if (regular_ && size_ > cap_) tooLarge();
        }
        if (!regular_) {
            whole_ = readWhole();
            size_ = whole_->size();
        }
    }

    std::uint64_t size() const { return size_; }

    // Up to size bytes from offset on.
    std::string readAt(std::uint64_t offset, std::size_t size) {
        if (whole_) return offset >= whole_->size() ? std::string() : whole_->substr(offset, size);
        std::string bytes(static_cast<std::size_t>(std::min<std::uint64_t>(size, size_ - std::min(offset, size_))),
                          '\0');
        in_.clear();
        in_.seekg(static_cast<std::streamoff>(offset));
        in_.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (in_.bad()) failOpen(path_, "读取文件时出错。");
        bytes.resize(static_cast<std::size_t>(in_.gcount()));
        return bytes;
    }

    // The compound file reader over the file: from the disk, or from the bytes read.
    GsfInput* compoundInput() {
        initialiseGsf();
        if (whole_)
            return gsf_input_memory_new(reinterpret_cast<const guint8*>(whole_->data()),
                                        static_cast<gsf_off_t>(whole_->size()), FALSE);
        GError* error = nullptr;
        GsfInput* input = gsf_input_stdio_new(path_.c_str(), &error);
        if (error) g_error_free(error);
        return input;
    }

    std::string readWhole() {
        if (whole_) return std::move(*whole_);
        std::string bytes;
        bytes.reserve(static_cast<std::size_t>(size_));
        in_.clear();
        in_.seekg(0);
        std::string chunk(kChunk, '\0');
        while (in_) {
            in_.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
            const auto got = static_cast<std::size_t>(in_.gcount());
            if (got == 0) break;
            if (bytes.size() + got > cap_) tooLarge();
            bytes.append(chunk.data(), got);
        }
        if (in_.bad()) failOpen(path_, "读取文件时出错。");
        return bytes;
    }

private:
    [[noreturn]] void tooLarge() { failOpen(path_, "文件太大(超过 " + sizeText(cap_) + " 的上限)。"); }

    std::string path_;
    std::ifstream in_;
    std::uint64_t cap_ = 0;
    std::uint64_t size_ = 0;
    bool regular_ = false;
    std::optional<std::string> whole_;
};

constexpr const char* kDamagedDirectory = "文件已损坏(zip 文件的目录损坏，无法读取其中的部件)。";

// Recognises the file from its two ends, before it is read whole: a compound file from its first
// bytes, a zip from its end record and the directory that record points to.
void recognise(const std::string& path, InputFile& file) {
    if (file.size() == 0) failOpen(path, "文件是空的(0 字节)，不是 Word 文档。");
    const std::string head = file.readAt(0, kCompoundFileSignature.size());
    if (head == kCompoundFileSignature) rejectCompoundFile(path, file.compoundInput());
    const std::optional<DirectoryPlace> place =
        findDirectory(file.size(), [&](std::uint64_t at, std::size_t size) { return file.readAt(at, size); });
    if (!place) {
        // A zip begins with a local header; one without its end was cut short.
        if (head.compare(0, 2, "PK") == 0) failOpen(path, "文件已损坏(zip 数据不完整，可能是下载或复制没有完成)。");
        failOpen(path, "这不是 Word 文档(.docx)，文件格式无法识别。");
    }
    if (place->entries == 0) return;  // refused later: no main part
    if (place->offset > place->endRecord || place->size > place->endRecord - place->offset ||
        file.readAt(place->offset, 4) != "PK\x01\x02")
        failOpen(path, kDamagedDirectory);
}

}  // namespace

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

void Package::Impl::readFile(const PackageLimits& limits) {
    InputFile file(path, limits);
    recognise(path, file);
    source = file.readWhole();
    const std::string& bytes = source;

    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* zipSource = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    if (!zipSource) failOpen(path, "内存不足。");
    ZipArchive archive{zip_open_from_source(zipSource, ZIP_RDONLY, &error)};
    if (!archive.archive) {
        zip_source_free(zipSource);
        const int code = zip_error_code_zip(&error);
        zip_error_fini(&error);
        if (code == ZIP_ER_MEMORY) failOpen(path, "内存不足。");
        failOpen(path, kDamagedDirectory);
    }
    zip_error_fini(&error);

    readEntries(archive.archive, limits);
}

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
            return markup && size > limits.ratioCheckedAbove &&
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
        if (markup) {
            try {
                rejectDoctype(entry.bytes, entry.name);
            } catch (const Error& error) {
                failOpen(path, error.message());
            }
        }
        entries.push_back(std::move(entry));
        addToIndex(entries.size() - 1);
    }
}

}  // namespace automation::ooxml
