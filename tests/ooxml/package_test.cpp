// The package layer: reading .docx files part by part, saving them back safely, and parsing parts.
#include "automation/ooxml/package.h"

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-utils.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <zip.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include "automation/error.h"
#include "automation/ooxml/xml_part.h"
#include "support/docx_builder.h"

namespace {

using automation::Error;
using automation::ooxml::Package;
using automation::ooxml::PackageLimits;
using automation::ooxml::parseXmlPart;
using automation::ooxml::serializeXmlPart;
namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::set<std::string> folderListing(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

std::vector<fs::path> corpusDocuments() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(GRIDWRIGHT_CORPUS_DIR))
        if (entry.path().extension() == ".docx") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// Entry names in zip order and each entry's stored (still compressed) bytes.
std::vector<std::pair<std::string, std::string>> rawEntries(const fs::path& path) {
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (!archive) throw std::runtime_error("cannot open " + path.string());
    std::vector<std::pair<std::string, std::string>> entries;
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t st;
        zip_stat_index(archive, i, 0, &st);
        std::string bytes(st.comp_size, '\0');
        zip_file_t* file = zip_fopen_index(archive, i, ZIP_FL_COMPRESSED);
        const zip_int64_t got = file ? zip_fread(file, bytes.data(), bytes.size()) : -1;
        if (file) zip_fclose(file);
        bytes.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
        entries.emplace_back(st.name, std::move(bytes));
    }
    zip_close(archive);
    return entries;
}

// Every entry of the original stands in its place in the saved package with its stored data untouched,
// but the main part, which was written anew; one entry was added at the end.
void expectStoredAsBeforeButMain(const fs::path& original, const fs::path& saved, const std::string& main,
                                 const std::string& added) {
    const auto before = rawEntries(original);
    const auto after = rawEntries(saved);
    ASSERT_EQ(after.size(), before.size() + 1);
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(after[i].first, before[i].first);
        if (before[i].first != main) {
            EXPECT_EQ(after[i].second, before[i].second) << before[i].first;
        }
    }
    EXPECT_EQ(after.back().first, added);
}

// An OLE compound file holding streams of these names, as Word 97-2003 or an encrypting Word writes it.
std::string compoundFile(const std::vector<std::string>& streams) {
    gsf_init();
    GsfOutput* memory = gsf_output_memory_new();
    GsfOutfile* ole = gsf_outfile_msole_new(memory);
    for (const auto& name : streams) {
        GsfOutput* stream = gsf_outfile_new_child(ole, name.c_str(), FALSE);
        const std::string data(5000, 'x');
        gsf_output_write(stream, data.size(), reinterpret_cast<const guint8*>(data.data()));
        gsf_output_close(stream);
        g_object_unref(stream);
    }
    gsf_output_close(GSF_OUTPUT(ole));
    g_object_unref(ole);
    const auto* bytes = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(memory));
    std::string result(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(gsf_output_size(memory)));
    g_object_unref(memory);
    return result;
}

// Opening must fail with a file error whose text names the reason, and leave the folder as it was.
void expectOpenFails(const fs::path& path, const std::string& reason, const PackageLimits& limits = {}) {
    SCOPED_TRACE(path.filename().string() + ": " + reason);
    const bool existed = fs::exists(path);
    const std::string before = existed && fs::is_regular_file(path) ? readFile(path) : "";
    const auto listing = folderListing(path.parent_path());
    try {
        Package::open(path.string(), limits);
        ADD_FAILURE() << "opened without error";
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), automation::errors::FileError);
        EXPECT_NE(error.message().find(reason), std::string::npos) << error.message();
        EXPECT_NE(error.message().find(path.filename().string()), std::string::npos) << error.message();
    }
    EXPECT_EQ(fs::exists(path), existed);
    if (existed && fs::is_regular_file(path)) {
        EXPECT_EQ(readFile(path), before);
    }
    EXPECT_EQ(folderListing(path.parent_path()), listing);
}

template <typename Call>
std::string errorText(Call call, long number) {
    try {
        call();
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), number);
        return error.message();
    }
    ADD_FAILURE() << "no error";
    return {};
}

const std::string kRelsNs = "http://schemas.openxmlformats.org/package/2006/relationships";
const std::string kMainXml =
    std::string("<?xml version=\"1.0\"?><w:document ") + gwtest::kWordNamespaces + "><w:body/></w:document>";

std::string packageRels(const std::string& type, const std::string& target) {
    return "<Relationships xmlns=\"" + kRelsNs + "\"><Relationship Id=\"rId1\" Type=\"" + type + "\" Target=\"" +
           target + "\"/></Relationships>";
}

// --- round trips -----------------------------------------------------------------------------------

TEST(PackageRoundTrip, EveryCorpusDocumentComesBackByteForByte) {
    gwtest::TempDir dir;
    const auto documents = corpusDocuments();
    ASSERT_GT(documents.size(), 40u);
    for (const auto& original : documents) {
        SCOPED_TRACE(original.filename().string());
        const Package package = Package::open(original.string());
        EXPECT_TRUE(package.hasPart(package.mainPartName()));

        const auto saved = dir.file(original.filename().string());
        package.save(saved.string());
        EXPECT_EQ(gwtest::readAllParts(saved), gwtest::readAllParts(original));
        EXPECT_EQ(readFile(saved), readFile(original));

        std::vector<std::string> zipOrder;
        for (const auto& [name, bytes] : rawEntries(original))
            if (name.back() != '/') zipOrder.push_back(name);
        EXPECT_EQ(package.partNames(), zipOrder);
    }
}

TEST(PackageRoundTrip, OnlyReplacedPartsAreWrittenAnew) {
    gwtest::TempDir dir;
    for (const char* name : {"zh-report-lo.docx", "having-images.docx", "hdr-header-footer.docx"}) {
        SCOPED_TRACE(name);
        const fs::path original = fs::path(GRIDWRIGHT_CORPUS_DIR) / name;
        Package package = Package::open(original.string());
        const std::string main = package.mainPartName();
        std::string xml = *package.part(main);
        xml.insert(xml.rfind("</w:body>"), "<w:p/>");
        package.setPart(main, xml);
        package.setPart("customXml/added.xml", "<added/>");
        // Writing back identical bytes does not count as a change.
        package.setPart("[Content_Types].xml", *package.part("[Content_Types].xml"));

        const auto saved = dir.file(name);
        package.save(saved.string());
        expectStoredAsBeforeButMain(original, saved, main, "customXml/added.xml");
        auto parts = gwtest::readAllParts(saved);
        EXPECT_EQ(parts[main], xml);
        EXPECT_EQ(parts["customXml/added.xml"], "<added/>");
    }
}

// A part deflated as it is written, and a part the package no longer holds uncompressed, behave as
// parts given whole: read back, saved, and left as stored when written back unchanged.
TEST(PackageRoundTrip, PartsWrittenPieceByPieceAndPartsTakenOut) {
    gwtest::TempDir dir;
    const fs::path original = fs::path(GRIDWRIGHT_CORPUS_DIR) / "zh-report-lo.docx";
    auto writeAsItStands = [](const std::string& xml) {
        return [xml](pugi::xml_writer& writer) {
            // In uneven pieces, as a serializer hands them over.
            for (std::size_t at = 0; at < xml.size(); at += 7001)
                writer.write(xml.data() + at, std::min<std::size_t>(7001, xml.size() - at));
        };
    };

    Package unchanged = Package::open(original.string());
    const std::string main = unchanged.mainPartName();
    const std::string xml = *unchanged.takePart(main);
    EXPECT_EQ(unchanged.part(main), xml);  // read again from the stored data
    unchanged.writePart(main, writeAsItStands(xml));
    const auto same = dir.file("same.docx");
    unchanged.save(same.string());
    EXPECT_EQ(readFile(same), readFile(original));

    Package changed = Package::open(original.string());
    std::string edited = *changed.takePart(main);
    edited.insert(edited.rfind("</w:body>"), "<w:p><w:r><w:t>新增的段落</w:t></w:r></w:p>");
    changed.writePart(main, writeAsItStands(edited));
    changed.writePart("customXml/streamed.xml", writeAsItStands("<streamed/>"));
    EXPECT_EQ(changed.part(main), edited);
    const auto saved = dir.file("changed.docx");
    changed.save(saved.string());
    changed.save(saved.string());  // the written data is kept, not used up

    expectStoredAsBeforeButMain(original, saved, main, "customXml/streamed.xml");
    auto parts = gwtest::readAllParts(saved);
    EXPECT_EQ(parts[main], edited);
    EXPECT_EQ(parts["customXml/streamed.xml"], "<streamed/>");
    EXPECT_EQ(Package::open(saved.string()).part(main), edited);

    // Given whole again, the part is held as given.
    changed.setPart(main, xml);
    changed.save(saved.string());
    EXPECT_EQ(gwtest::readAllParts(saved)[main], xml);
}

TEST(PackageRoundTrip, SavesOverTheFileItWasOpenedFrom) {
    gwtest::TempDir dir;
    const auto path = dir.file("doc.docx");
    fs::copy_file(fs::path(GRIDWRIGHT_CORPUS_DIR) / "tbl-having-tables.docx", path);
    const auto partsBefore = gwtest::readAllParts(path);

    Package package = Package::open(path.string());
    package.setPart(package.mainPartName(), kMainXml);
    package.save(path.string());
    package.save(path.string());  // a second save still works from what was read at open

    auto partsAfter = gwtest::readAllParts(path);
    EXPECT_EQ(partsAfter[package.mainPartName()], kMainXml);
    partsAfter[package.mainPartName()] = partsBefore.at(package.mainPartName());
    EXPECT_EQ(partsAfter, partsBefore);
    EXPECT_EQ(Package::open(path.string()).part(package.mainPartName()), kMainXml);
    EXPECT_EQ(folderListing(dir.path()), std::set<std::string>{"doc.docx"});
}

// --- finding parts through relationships -----------------------------------------------------------

TEST(PackageRelationships, MainPartAndTargetsAreResolvedFromRelationships) {
    gwtest::TempDir dir;
    gwtest::DocxSpec layout;
    layout.mainPartName = "content/main.xml";
    layout.styles = "<w:docDefaults/>";
    layout.extraParts = {{"content/footer.xml", "<f/>"},
                         {"media/Image 1.png", "png"},
                         {"other/numbering.xml", "<n/>"},
                         {"content/sub/header.xml", "<h/>"}};
    const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    layout.extraRelationships = {{"rId10", {rel + "footer", "./sub/../footer.xml"}},
                                 {"rId11", {rel + "image", "../media/Image%201.png"}},
                                 {"rId12", {rel + "numbering", "/other/NUMBERING.xml"}},
                                 {"rId13", {rel + "hyperlink", "http://example.com/"}},
                                 {"rId14", {rel + "header", "sub/header.xml"}},
                                 {"rId15", {rel + "settings", "settings.xml"}},
                                 {"rId16", {rel + "glossaryDocument", "../../outside.xml"}}};
    layout.extraParts["content/sub/_rels/header.xml.rels"] = packageRels(rel + "image", "../../media/Image 1.png");
    const auto path = dir.file("d.docx");
    gwtest::writeDocx(path, layout);

    const Package package = Package::open(path.string());
    EXPECT_EQ(package.mainPartName(), "content/main.xml");
    const std::string main = package.mainPartName();
    EXPECT_EQ(package.relatedPart(main, automation::ooxml::kRelStyles), "content/styles.xml");
    EXPECT_EQ(package.relatedPart("/" + main, rel + "footer"), "content/footer.xml");
    EXPECT_EQ(package.relatedPart(main, rel + "image"), "media/Image 1.png");
    EXPECT_EQ(package.relatedPart(main, rel + "numbering"), "other/numbering.xml");
    EXPECT_EQ(package.relatedPart("content/sub/header.xml", rel + "image"), "media/Image 1.png");
    EXPECT_EQ(package.relatedPart(main, rel + "hyperlink"), std::nullopt);         // external
    EXPECT_EQ(package.relatedPart(main, rel + "settings"), std::nullopt);          // part missing
    EXPECT_EQ(package.relatedPart(main, rel + "glossaryDocument"), std::nullopt);  // leaves the package
    EXPECT_EQ(package.relatedPart(main, rel + "comments"), std::nullopt);
    EXPECT_EQ(package.relatedPart("content/footer.xml", rel + "image"), std::nullopt);  // no .rels
    EXPECT_EQ(package.relatedPart("", automation::ooxml::kRelOfficeDocument), main);
}

TEST(PackageRelationships, ReplacedRelationshipsAreReadAgain) {
    gwtest::TempDir dir;
    const auto path = dir.file("d.docx");
    gwtest::writeDocx(path, gwtest::para("x"));
    Package package = Package::open(path.string());
    const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/footer";
    EXPECT_EQ(package.relatedPart(package.mainPartName(), rel), std::nullopt);
    package.setPart("word/footer1.xml", "<f/>");
    package.setPart("/word/_rels/document.xml.rels", packageRels(rel, "footer1.xml"));
    EXPECT_EQ(package.relatedPart(package.mainPartName(), rel), "word/footer1.xml");
    EXPECT_TRUE(package.hasPart("WORD/FOOTER1.XML"));
    EXPECT_FALSE(package.hasPart("word/footer2.xml"));
    EXPECT_EQ(package.part("word/footer2.xml"), std::nullopt);
}

// --- bad input -------------------------------------------------------------------------------------

TEST(PackageOpen, FilesThatAreNotWordPackagesAreRefusedWithTheReason) {
    gwtest::TempDir dir;
    expectOpenFails(dir.file("missing.docx"), "不存在");
    fs::create_directory(dir.file("folder.docx"));
    expectOpenFails(dir.file("folder.docx"), "文件夹");

    writeFile(dir.file("empty.docx"), "");
    expectOpenFails(dir.file("empty.docx"), "空的");

    std::string noise(4096, '\0');
    std::uint32_t seed = 12345;
    for (char& c : noise) c = static_cast<char>((seed = seed * 1664525u + 1013904223u) >> 24);
    writeFile(dir.file("noise.docx"), noise);
    expectOpenFails(dir.file("noise.docx"), "无法识别");

    writeFile(dir.file("old.doc"), compoundFile({"WordDocument", "1Table"}));
    expectOpenFails(dir.file("old.doc"), "旧版 Word 97-2003 文档(.doc)");
    writeFile(dir.file("locked.docx"), compoundFile({"EncryptionInfo", "EncryptedPackage"}));
    expectOpenFails(dir.file("locked.docx"), "加密");
    writeFile(dir.file("sheet.docx"), compoundFile({"Workbook"}));
    expectOpenFails(dir.file("sheet.docx"), "不是 Word 文档");
    writeFile(dir.file("olehead.docx"), std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + noise);
    expectOpenFails(dir.file("olehead.docx"), "97-2003");
}

TEST(PackageOpen, PackagesWithoutAWordMainPartAreRefused) {
    gwtest::TempDir dir;
    const std::string officeDocument = automation::ooxml::kRelOfficeDocument;
    gwtest::writeZip(dir.file("nomain.docx"), {{"word/document.xml", kMainXml}});
    expectOpenFails(dir.file("nomain.docx"), "主体部分");
    gwtest::writeZip(dir.file("dangling.docx"), {{"_rels/.rels", packageRels(officeDocument, "word/document.xml")}});
    expectOpenFails(dir.file("dangling.docx"), "word/document.xml”不存在");
    gwtest::writeZip(dir.file("badrels.docx"), {{"_rels/.rels", "<Relationships><oops></Relationships>"}});
    expectOpenFails(dir.file("badrels.docx"), "_rels/.rels");
    gwtest::writeZip(dir.file("book.docx"),
                     {{"_rels/.rels", packageRels(officeDocument, "xl/workbook.xml")},
                      {"xl/workbook.xml", "<workbook/>"},
                      {"[Content_Types].xml",
                       "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                       "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/"
                       "vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/></Types>"}});
    expectOpenFails(dir.file("book.docx"), "Excel");
}

TEST(PackageOpen, DamagedZipFilesAreRefused) {
    gwtest::TempDir dir;
    const std::string whole = readFile(fs::path(GRIDWRIGHT_CORPUS_DIR) / "having-images.docx");
    for (std::size_t keep : {whole.size() / 2, whole.size() - 10, std::size_t{30}}) {
        writeFile(dir.file("cut.docx"), whole.substr(0, keep));
        expectOpenFails(dir.file("cut.docx"), "下载或复制没有完成");
    }
    // A complete file whose central directory is damaged, or lies where the end record cannot point.
    const auto directory = whole.rfind(std::string("PK\x05\x06", 4));
    ASSERT_NE(directory, std::string::npos);
    std::string scrambled = whole;
    const std::size_t first = static_cast<unsigned char>(whole[directory + 16]) |
                              static_cast<unsigned char>(whole[directory + 17]) << 8 |
                              static_cast<unsigned char>(whole[directory + 18]) << 16;
    scrambled[first + 1] = 'X';
    std::string outside = whole;
    outside[directory + 19] = '\x7F';
    for (const auto& [name, bytes] : {std::pair{"scrambled.docx", scrambled}, std::pair{"outside.docx", outside}}) {
        writeFile(dir.file(name), bytes);
        expectOpenFails(dir.file(name), "zip 文件的目录损坏");
    }

    // A byte changed inside a part's compressed data: inflating or the checksum fails.
    gwtest::TempDir source;
    gwtest::writeDocx(source.file("d.docx"), gwtest::table(20, 5));
    std::string damaged = readFile(source.file("d.docx"));
    const auto local = damaged.find("word/document.xml");
    ASSERT_NE(local, std::string::npos);
    damaged[local + 17 + 40] = static_cast<char>(damaged[local + 17 + 40] ^ 0x55);
    writeFile(dir.file("flipped.docx"), damaged);
    expectOpenFails(dir.file("flipped.docx"), "损坏");
}

TEST(PackageOpen, AbsurdEntriesHitTheLimits) {
    gwtest::TempDir dir;
    const auto path = dir.file("bomb.docx");
    gwtest::DocxSpec layout;
    layout.extraParts["word/zeros.xml"] = std::string(4 * (1 << 20), ' ');
    gwtest::writeDocx(path, layout);

    PackageLimits small;
    small.maxPartSize = 1 << 20;
    expectOpenFails(path, "单个部件大小上限(1 MB)", small);
    PackageLimits ratio;
    ratio.ratioCheckedAbove = 1 << 20;
    expectOpenFails(path, "压缩比超过上限(200:1)", ratio);
    PackageLimits total;
    total.maxTotalSize = 2 << 20;
    total.maxCompressionRatio = 100000;
    expectOpenFails(path, "总大小超过上限(2 MB)", total);
    PackageLimits few;
    few.maxEntries = 3;
    expectOpenFails(path, "条目数(5 个)超过 3 个的上限", few);

    // The same entry with headers that claim 1000 bytes: reading stops at the limits anyway.
    std::string lying = readFile(path);
    const std::string name = "word/zeros.xml";
    for (std::size_t at = lying.find(name); at != std::string::npos; at = lying.find(name, at + 1)) {
        const bool central = lying.compare(at - 46, 4, "PK\1\2") == 0;
        const bool localHeader = lying.compare(at - 30, 4, "PK\3\4") == 0;
        ASSERT_TRUE(central || localHeader);
        const std::size_t field = central ? at - 46 + 24 : at - 30 + 22;
        lying.replace(field, 4, std::string("\xE8\x03\0\0", 4));
    }
    writeFile(dir.file("lying.docx"), lying);
    expectOpenFails(dir.file("lying.docx"), "", small);
    expectOpenFails(dir.file("lying.docx"), "", ratio);
}

// --- saving ----------------------------------------------------------------------------------------

TEST(PackageSave, ReplacesTheTargetOnlyWhenTheNewFileIsComplete) {
    gwtest::TempDir dir;
    const auto source = dir.file("source.docx");
    gwtest::writeDocx(source, gwtest::para("内容"));
    Package package = Package::open(source.string());
    package.setPart(package.mainPartName(), kMainXml);

    // A folder that does not exist: an error, and nothing is created anywhere.
    const auto missing = dir.path() / "missing" / "out.docx";
    const std::string text = errorText([&] { package.save(missing.string()); }, automation::errors::SaveFailed);
    EXPECT_NE(text.find("不存在"), std::string::npos) << text;
    EXPECT_FALSE(fs::exists(dir.path() / "missing"));

    // A folder in the way of the target.
    fs::create_directory(dir.file("taken.docx"));
    errorText([&] { package.save(dir.file("taken.docx").string()); }, automation::errors::SaveFailed);
    EXPECT_TRUE(fs::is_directory(dir.file("taken.docx")));

    // An existing file is replaced.
    const auto target = dir.file("target.docx");
    writeFile(target, "old contents");
    package.save(target.string());
    EXPECT_EQ(gwtest::readPart(target, "word/document.xml"), kMainXml);
    EXPECT_EQ(folderListing(dir.path()), (std::set<std::string>{"source.docx", "taken.docx", "target.docx"}));
}

TEST(PackageSave, AFailedWriteKeepsTheOldFileAndLeavesNoTemporaryFile) {
    gwtest::TempDir dir;
    const auto target = dir.file("target.docx");
    gwtest::writeDocx(target, gwtest::para("旧的内容"));
    const std::string before = readFile(target);
    Package package = Package::open(target.string());
    std::string noise(200000, '\0');
    std::uint32_t seed = 7;
    for (char& c : noise) c = static_cast<char>((seed = seed * 1664525u + 1013904223u) >> 24);
    package.setPart("word/media/big.bin", noise);  // does not compress

    // Let the system refuse every write beyond 4 KiB, as a full disk would.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit limited = old;
    limited.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const std::string text = errorText([&] { package.save(target.string()); }, automation::errors::SaveFailed);
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);

    EXPECT_NE(text.find("原文件未被改动"), std::string::npos) << text;
    EXPECT_EQ(readFile(target), before);
    EXPECT_EQ(folderListing(dir.path()), std::set<std::string>{"target.docx"});
}

// --- XML parts -------------------------------------------------------------------------------------

TEST(XmlPart, HostileOrBrokenMarkupIsRefusedNamingThePart) {
    const long fileError = automation::errors::FileError;
    std::string text = errorText([] { parseXmlPart("<a><b></a>", "word/document.xml"); }, fileError);
    EXPECT_NE(text.find("“word/document.xml”"), std::string::npos) << text;
    EXPECT_NE(text.find("不是有效的 XML"), std::string::npos) << text;
    errorText([] { parseXmlPart("", "word/empty.xml"); }, fileError);

    const std::string laughs =
        "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\"><!ENTITY lol2 \"&lol;&lol;&lol;&lol;\">]>"
        "<lolz>&lol2;</lolz>";
    text = errorText([&] { parseXmlPart(laughs, "word/styles.xml"); }, fileError);
    EXPECT_NE(text.find("“word/styles.xml”包含 DOCTYPE"), std::string::npos) << text;
    // A DOCTYPE after the root element, and one written in UTF-16.
    errorText([] { parseXmlPart("<a/><!DOCTYPE a>", "x.xml"); }, fileError);
    const std::string utf16("\xFF\xFE<\0!\0D\0O\0C\0T\0Y\0P\0E\0 \0a\0>\0<\0a\0/\0>\0", 34);
    errorText([&] { parseXmlPart(utf16, "x.xml"); }, fileError);

    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "<w:p>";
    text = errorText([&] { parseXmlPart(deep, "word/deep.xml"); }, fileError);
    EXPECT_NE(text.find("嵌套超过 256 层"), std::string::npos) << text;

    std::string nested;
    for (int i = 0; i < 10; ++i) nested += "<a x='>'><b/><!-- <c> --><![CDATA[<d>]]>";
    for (int i = 0; i < 10; ++i) nested += "</a>";
    EXPECT_NO_THROW(parseXmlPart(nested, "n.xml", 10));
    EXPECT_THROW(parseXmlPart(nested, "n.xml", 9), Error);
    // Comments and CDATA mentioning a DOCTYPE are text, not a declaration.
    EXPECT_NO_THROW(parseXmlPart("<a><!-- <!DOCTYPE x> --><![CDATA[<!DOCTYPE y>]]></a>", "c.xml"));
}

TEST(XmlPart, WritesLikeWordAndKeepsEveryCharacterOfText) {
    const std::string decl = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";
    const std::string body = std::string("<w:document ") + gwtest::kWordNamespaces +
                             "><w:body><w:p><w:r><w:t xml:space=\"preserve\"> </w:t></w:r><w:r>"
                             "<w:t xml:space=\"preserve\">  两个  空格 </w:t><w:tab/><w:t>a&amp;b&lt;c&gt;"
                             "</w:t></w:r></w:p><w:p w14:paraId=\"1A\" xmlns:w14=\"urn:w14\" w:rsidR=\"00A\"/>"
                             "</w:body></w:document>";
    EXPECT_EQ(serializeXmlPart(*parseXmlPart(decl + body, "word/document.xml")), decl + body);

    // Another declaration, a byte order mark, line ends and indentation between elements.
    const std::string loose =
        "\xEF\xBB\xBF<?xml version='1.0' encoding='utf-8'?>\r\n<r a='1&#10;2'>\r\n  <t> x\r\n y </t>\r\n</r>";
    const std::string written = serializeXmlPart(*parseXmlPart(loose, "loose.xml"));
    EXPECT_EQ(written, decl + "<r a=\"1&#10;2\"><t> x\n y </t></r>");

    const std::string utf16("\xFF\xFE<\0r\0>\0\x2D\x4E<\0/\0r\0>\0", 18);
    EXPECT_EQ(serializeXmlPart(*parseXmlPart(utf16, "u.xml")), decl + "<r>中</r>");
}

TEST(XmlPart, EveryCorpusPartSurvivesParseAndSerialize) {
    for (const auto& path : corpusDocuments()) {
        for (const auto& [name, bytes] : gwtest::readAllParts(path)) {
            if (!name.ends_with(".xml") && !name.ends_with(".rels")) continue;
            SCOPED_TRACE(path.filename().string() + " " + name);
            const std::string once = serializeXmlPart(*parseXmlPart(bytes, name));
            const auto again = parseXmlPart(once, name);
            EXPECT_EQ(serializeXmlPart(*again), once);
            // Text is kept exactly, whitespace included.
            std::string textBefore, textAfter;
            auto collect = [](const pugi::xml_document& document, std::string& out) {
                for (const pugi::xpath_node& node : document.select_nodes("//text()"))
                    out += node.node().value() + std::string("|");
            };
            collect(*parseXmlPart(bytes, name), textBefore);
            collect(*again, textAfter);
            EXPECT_EQ(textAfter, textBefore);
        }
    }
}

}  // namespace
