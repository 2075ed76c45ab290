// Packages as other programs write them: parts in legacy encodings, zip entry names that are not what
// the zip library would make of them, large media, relationship targets with ".." and schemes.
#include <gtest/gtest.h>
#include <iconv.h>

#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "automation/ooxml/package.h"
#include "automation/ooxml/zip_directory.h"
#include "support/libreoffice.h"
#include "support/word_fixture.h"

using namespace gwtest;
using namespace automation;
namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::string convert(const std::string& text, const char* to) {
    iconv_t cd = iconv_open(to, "UTF-8");
    std::string out(text.size() * 4, '\0');
    char* in = const_cast<char*>(text.data());
    char* o = out.data();
    std::size_t inLeft = text.size(), outLeft = out.size();
    iconv(cd, &in, &inLeft, &o, &outLeft);
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

const std::string kTypes =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types xmlns=\"http://schemas.openxmlformats.org/package/2006/"
    "content-types\"><Default Extension=\"rels\" "
    "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/><Override PartName=\"/word/document.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>";

std::string packageRels(const std::string& target) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/"
           "2006/relationships\"><Relationship Id=\"rId1\" Type=\"" +
           std::string(automation::ooxml::kRelOfficeDocument) + "\" Target=\"" + target + "\"/></Relationships>";
}

std::string mainPart(const std::string& text, const std::string& declaration = "UTF-8") {
    return "<?xml version=\"1.0\" encoding=\"" + declaration + "\" standalone=\"yes\"?><w:document " +
           std::string(kWordNamespaces) + "><w:body>" + para(text) + "</w:body></w:document>";
}

std::string openError(const fs::path& path) {
    try {
        automation::ooxml::createWord()->Documents()->Open(path.string());
    } catch (const Error& error) {
        return error.message();
    }
    return "opened";
}

class PackageReading : public WordTest {
protected:
    fs::path writeRaw(const std::vector<RawZipEntry>& entries) {
        const auto path = dir.file("raw" + std::to_string(++files) + ".docx");
        writeFile(path, rawZip(entries));
        return path;
    }
    // Edits the active document and saves it under a new name.
    fs::path editAndSave(const DocumentPtr& doc) {
        doc->Paragraphs()->Item(1)->Format()->SetLeftIndent(12);
        const auto out = dir.file("edited" + std::to_string(++files) + ".docx");
        doc->SaveAs(out.string());
        return out;
    }
};

TEST_F(PackageReading, PartsInALegacyEncodingAreConvertedAndWrittenAsUtf8) {
    const std::string gbk = convert(mainPart("正文，中文"), "GBK");
    ASSERT_EQ(gbk.find("正文"), std::string::npos);
    const auto path = writeRaw({{"[Content_Types].xml", kTypes},
                                {"_rels/.rels", packageRels("word/document.xml")},
                                {"word/document.xml", std::string(gbk).replace(gbk.find("UTF-8"), 5, "GBK")}});
    auto doc = word->Documents()->Open(path.string());
    EXPECT_EQ(doc->Content()->Text(), "正文，中文\r");
    const std::string saved = readPart(editAndSave(doc), "word/document.xml");
    EXPECT_EQ(saved.find("GBK"), std::string::npos);
    EXPECT_NE(saved.find("encoding=\"UTF-8\""), std::string::npos);
    EXPECT_NE(saved.find("正文，中文"), std::string::npos);
}

TEST_F(PackageReading, UnknownEncodingsAndBytesThatAreNotTheDeclaredEncodingAreRefused) {
    auto withMain = [&](const std::string& bytes) {
        return writeRaw({{"[Content_Types].xml", kTypes},
                         {"_rels/.rels", packageRels("word/document.xml")},
                         {"word/document.xml", bytes}});
    };
    std::string message = openError(withMain(mainPart("abc", "x-no-such-encoding")));
    EXPECT_NE(message.find("无法识别的字符编码“x-no-such-encoding”"), std::string::npos) << message;
    EXPECT_NE(message.find("word/document.xml"), std::string::npos) << message;
    message = openError(withMain(convert(mainPart("正文"), "GBK")));  // GBK bytes declared as UTF-8
    EXPECT_NE(message.find("不是 UTF-8 编码的字节"), std::string::npos) << message;
    message = openError(withMain(mainPart("\xA3\xA4\xA5", "ISO-8859-1")));  // every byte is Latin-1
    EXPECT_EQ(message, "opened");
}

TEST_F(PackageReading, EntryNamesAreTheCentralDirectorysAndAreWrittenBackByteForByte) {
    // The zip library would read the first entry as word/document.xml through its Unicode path field;
    // Word reads the central directory's name.
    const std::string gbkName = convert("word/media/图片.png", "GBK");
    const auto path =
        writeRaw({{"[Content_Types].xml", kTypes},
                  {"_rels/.rels", packageRels("word/document.xml")},
                  {"word/decoy.xml", mainPart("诱饵"), false, unicodePathField("word/decoy.xml", "word/document.xml")},
                  {"word/document.xml", mainPart("正文")},
                  {gbkName, "png bytes"},
                  {"word/media/名字.png", "png bytes", true}});
    auto doc = word->Documents()->Open(path.string());
    EXPECT_EQ(doc->Content()->Text(), "正文\r");
    const auto out = editAndSave(doc);
    const auto names = automation::ooxml::centralDirectoryNames(readFile(out));
    ASSERT_TRUE(names);
    std::vector<std::pair<std::string, bool>> written;
    for (const auto& n : *names) written.emplace_back(n.bytes, n.utf8);
    EXPECT_NE(std::find(written.begin(), written.end(), std::make_pair(gbkName, false)), written.end());
    EXPECT_NE(std::find(written.begin(), written.end(), std::make_pair(std::string("word/media/名字.png"), true)),
              written.end());
    EXPECT_NE(std::find(written.begin(), written.end(), std::make_pair(std::string("word/decoy.xml"), false)),
              written.end());
    EXPECT_NE(readPart(out, "word/document.xml").find("正文"), std::string::npos);
}

TEST_F(PackageReading, RepetitiveDocumentsAndWellCompressedMediaOpenButMarkupBombsAreRefused) {
    // Word's markup of 50,000 empty rows deflates far better than 200:1.
    std::string rows;
    const std::string emptyCell = "<w:tc><w:tcPr><w:tcW w:w=\"2765\" w:type=\"dxa\"/></w:tcPr><w:p/></w:tc>";
    for (int r = 0; r < 50000; ++r) rows += "<w:tr>" + emptyCell + emptyCell + emptyCell + "</w:tr>";
    const auto empty = dir.file("empty-rows.docx");
    writeDocx(empty, tbl(rows, "", 3) + para(""));
    EXPECT_EQ(openError(empty), "opened");

    DocxSpec package;
    package.body = para("图片");
    package.extraParts["word/media/image1.bmp"] = std::string(18 << 20, '\xFF');  // a white picture, about 1000:1
    const auto picture = dir.file("picture.docx");
    writeDocx(picture, package);
    EXPECT_EQ(openError(picture), "opened");

    package.extraParts.clear();
    package.extraParts["word/bomb.xml"] = "<a>" + std::string(18 << 20, ' ') + "</a>";
    const auto bomb = dir.file("bomb.docx");
    writeDocx(bomb, package);
    automation::ooxml::PackageLimits limits;
    limits.ratioCheckedAbove = 16 << 20;
    try {
        automation::ooxml::Package::open(bomb.string(), limits);
        ADD_FAILURE() << "a bomb above the size where ratios count opened";
    } catch (const Error& error) {
        EXPECT_NE(error.message().find("压缩比超过上限"), std::string::npos) << error.message();
    }
}

TEST_F(PackageReading, ALargeFileThatIsNoZipIsRefusedFromItsEndsWithoutBeingRead) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "an address space limit does not go with the sanitizer's shadow memory";
#else
    const auto path = dir.file("film.docx");
    { std::ofstream(path, std::ios::binary) << "RIFF\x10\0\0\0AVI LIST"; }
    fs::resize_file(path, 1ull << 30);  // sparse: takes no room on disk
    // Allowed 256 MB of address space beyond what the program holds now, it cannot read the file whole.
    EXPECT_EXIT(
        {
            long pages = 0;
            std::ifstream("/proc/self/statm") >> pages;
            rlimit limit{};
            getrlimit(RLIMIT_AS, &limit);
            limit.rlim_cur = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (256ull << 20);
            setrlimit(RLIMIT_AS, &limit);
            const std::string message = openError(path);
            std::exit(message.find("文件格式无法识别") != std::string::npos &&
                              message.find(path.string()) != std::string::npos
                          ? 0
                          : 1);
        },
        ::testing::ExitedWithCode(0), "");
#endif
}

TEST_F(PackageReading, EveryRefusalNamesTheFileAndEveryPartRefusesADoctype) {
    const std::string doctype = "<?xml version=\"1.0\"?><!DOCTYPE x [<!ENTITY e \"e\">]>";
    const std::string header = doctype + "<w:hdr " + std::string(kWordNamespaces) + ">" + para("页眉") + "</w:hdr>";
    auto withHeader = [&](const std::string& headerPart) {
        DocxSpec package;
        package.body = para("正文") + "<w:sectPr><w:headerReference w:type=\"default\" r:id=\"rIdH\"/></w:sectPr>";
        package.extraParts["word/header1.xml"] = headerPart;
        package.extraRelationships["rIdH"] = {
            "http://schemas.openxmlformats.org/officeDocument/2006/relationships/header", "header1.xml"};
        return package;
    };
    std::vector<std::pair<fs::path, std::string>> refused;
    auto write = [&](const std::string& name, const std::vector<RawZipEntry>& entries, const std::string& reason) {
        writeFile(dir.file(name), rawZip(entries));
        refused.emplace_back(dir.file(name), reason);
    };
    const std::string body =
        "<w:document " + std::string(kWordNamespaces) + "><w:body>" + para("正文") + "</w:body></w:document>";
    write("main-doctype.docx",
          {{"[Content_Types].xml", kTypes},
           {"_rels/.rels", packageRels("word/document.xml")},
           {"word/document.xml", doctype + body}},
          "包含 DOCTYPE");
    write("no-body.docx",
          {{"[Content_Types].xml", kTypes},
           {"_rels/.rels", packageRels("word/document.xml")},
           {"word/document.xml", "<w:document " + std::string(kWordNamespaces) + "/>"}},
          "缺少 w:document/w:body");
    write("broken-main.docx",
          {{"[Content_Types].xml", kTypes},
           {"_rels/.rels", packageRels("word/document.xml")},
           {"word/document.xml", "<w:document><w:body>"}},
          "不是有效的 XML");
    writeDocx(dir.file("header-doctype.docx"), withHeader(header));
    refused.emplace_back(dir.file("header-doctype.docx"), "“word/header1.xml”包含 DOCTYPE");
    DocxSpec styled;
    styled.body = para("正文");
    styled.styles = "<w:docDefaults/>";
    styled.extraParts["word/styles.xml"] = doctype + "<w:styles " + std::string(kWordNamespaces) + "/>";
    writeDocx(dir.file("styles-doctype.docx"), styled);
    refused.emplace_back(dir.file("styles-doctype.docx"), "包含 DOCTYPE");
    for (const auto& [path, reason] : refused) {
        const std::string message = openError(path);
        EXPECT_NE(message.find("无法打开文件“" + path.string() + "”"), std::string::npos) << message;
        EXPECT_NE(message.find(reason), std::string::npos) << message;
    }
    // A comment or CDATA that mentions a DOCTYPE declares none.
    const std::string mention = "<!-- <!DOCTYPE x> --><w:hdr " + std::string(kWordNamespaces) + ">" +
                                para("<![CDATA[<!DOCTYPE y>]]>") + "</w:hdr>";
    writeDocx(dir.file("mention.docx"), withHeader(mention));
    EXPECT_EQ(openError(dir.file("mention.docx")), "opened");
}

TEST_F(PackageReading, AFileAboveTheCapIsRefusedBeforeItIsRead) {
    const auto path = dir.file("huge.docx");
    { std::ofstream(path, std::ios::binary) << "PK"; }
    fs::resize_file(path, 3ull << 30);  // sparse: takes no room on disk
    EXPECT_NE(openError(path).find("文件太大"), std::string::npos);
}

TEST_F(PackageReading, RelationshipTargetsResolveAsUris) {
    auto withTarget = [&](const std::string& target, bool types = true) {
        std::vector<RawZipEntry> entries = {{"_rels/.rels", packageRels(target)},
                                            {"word/document.xml", mainPart("正文")}};
        if (types) entries.push_back({"[Content_Types].xml", kTypes});
        return writeRaw(entries);
    };
    EXPECT_EQ(openError(withTarget("/word/../../word/document.xml")), "opened");
    EXPECT_EQ(openError(withTarget("word/./document.xml")), "opened");
    std::string message = openError(withTarget("http://example.com/word/document.xml"));
    EXPECT_NE(message.find("“http://example.com/word/document.xml”"), std::string::npos) << message;
    EXPECT_EQ(message.find("“”"), std::string::npos) << message;
    message = openError(withTarget("word/missing.xml"));
    EXPECT_NE(message.find("“/word/missing.xml”不存在"), std::string::npos) << message;
    message = openError(withTarget("word/document.xml", false));
    EXPECT_NE(message.find("[Content_Types].xml"), std::string::npos) << message;
}

// Suites whose name ends in "LibreOffice" start LibreOffice (see tests/CMakeLists.txt).
class PackageReadingLibreOffice : public PackageReading {};

TEST_F(PackageReadingLibreOffice, OpensWhatWasSavedFromOddPackages) {
    if (!libreOfficeAvailable()) GTEST_SKIP() << "LibreOffice is not installed";
    const std::string gbk = convert(mainPart("正文"), "GBK");
    const auto path = writeRaw({{"[Content_Types].xml", kTypes},
                                {"_rels/.rels", packageRels("word/document.xml")},
                                {"word/document.xml", std::string(gbk).replace(gbk.find("UTF-8"), 5, "GBK")},
                                {convert("word/media/图片.png", "GBK"), "png bytes"}});
    expectOpensInLibreOffice(editAndSave(word->Documents()->Open(path.string())));
}

}  // namespace
