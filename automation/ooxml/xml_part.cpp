#include "automation/ooxml/xml_part.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "automation/error.h"
#include "automation/ooxml/unicode.h"

namespace automation::ooxml {
namespace {

// Whitespace-only text is kept when it is the only content of an element, which is exactly the case
// of <w:t xml:space="preserve"> </w:t>; indentation between elements carries no meaning and is dropped.
// Comments and processing instructions are kept so that nothing of the part is lost on the way back.
constexpr unsigned kParseOptions =
    pugi::parse_default | pugi::parse_ws_pcdata_single | pugi::parse_comments | pugi::parse_pi | pugi::parse_doctype;

constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";

[[noreturn]] void fail(const std::string& partName, const std::string& reason) {
    throw Error(errors::FileError, "文档部件“" + partName + "”" + reason);
}

constexpr const char* kDoctypeRefused = "包含 DOCTYPE 声明；为安全起见，不读取带有文档类型声明或实体定义的部件。";

std::string parseStatusText(pugi::xml_parse_status status) {
    switch (status) {
        case pugi::status_out_of_memory: return "内存不足";
        case pugi::status_unrecognized_tag: return "无法识别的标记";
        case pugi::status_bad_pi: return "处理指令有误";
        case pugi::status_bad_comment: return "注释有误";
        case pugi::status_bad_cdata: return "CDATA 段有误";
        case pugi::status_bad_doctype: return "文档类型声明有误";
        case pugi::status_bad_pcdata: return "文本内容有误";
        case pugi::status_bad_start_element: return "开始标记有误";
        case pugi::status_bad_attribute: return "属性有误";
        case pugi::status_bad_end_element: return "结束标记有误";
        case pugi::status_end_element_mismatch: return "开始标记与结束标记不匹配";
        case pugi::status_append_invalid_root: return "根元素有误";
        case pugi::status_no_document_element: return "没有根元素";
        default: return "格式错误";
    }
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Parts may be stored as UTF-16 (rare, but allowed). They are turned into UTF-8 first so that the
// safety scan below sees the markup; unpaired surrogates become U+FFFD.
std::string utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size());
    auto unit = [&](std::size_t i) -> char16_t {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size()) {
            const char16_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            } else {
                c = 0xFFFD;
            }
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        appendUtf8(out, c);
    }
    return out;
}

// The encoding named by the XML declaration at the start of text; empty when there is none.
std::string declaredEncoding(std::string_view text) {
    if (text.substr(0, 5) != "<?xml") return {};
    const std::string_view declaration = text.substr(0, std::min(text.find("?>"), std::size_t{512}));
    const std::size_t name = declaration.find("encoding");
    if (name == std::string_view::npos) return {};
    const std::size_t quote = declaration.find_first_of("\"'", name);
    if (quote == std::string_view::npos) return {};
    const std::size_t close = declaration.find(declaration[quote], quote + 1);
    if (close == std::string_view::npos) return {};
    return std::string(declaration.substr(quote + 1, close - quote - 1));
}

// Length of the valid UTF-8 prefix of text.
std::size_t validUtf8Prefix(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || (length == 2 && c < 0xC2) || i + length > text.size()) return i;
        char32_t code = length == 1 ? c : length == 2 ? (c & 0x1F) : length == 3 ? (c & 0x0F) : (c & 0x07);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return i;
            code = (code << 6) | (next & 0x3F);
        }
        if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
            (code >= 0xD800 && code <= 0xDFFF))
            return i;
        i += length;
    }
    return i;
}

// Converts text from a legacy encoding (GBK, Big5, windows-1252, ...) to UTF-8 through iconv.
std::string convertToUtf8(const std::string& text, const std::string& encoding, const std::string& partName) {
    iconv_t converter = iconv_open("UTF-8", encoding.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1))
        fail(partName, "使用了无法识别的字符编码“" + encoding + "”，无法读取。");
    std::string out(text.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    std::size_t done = 0;
    bool bad = false;
    while (inLeft > 0) {
        char* to = out.data() + done;
        std::size_t outLeft = out.size() - done;
        const std::size_t result = iconv(converter, &in, &inLeft, &to, &outLeft);
        done = out.size() - outLeft;
        if (result != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
        } else {
            bad = true;
            break;
        }
    }
    iconv_close(converter);
    if (bad) fail(partName, "含有不符合其声明的字符编码“" + encoding + "”的字节，文件可能已损坏。");
    out.resize(done);
    return out;
}

// The bytes as UTF-8 text without a byte order mark. Parts in another encoding that their declaration
// names are converted (they are written back as UTF-8 with a matching declaration); bytes that are
// not text of the part's encoding refuse the part rather than be carried into the saved file.
std::string toUtf8(std::string bytes, const std::string& partName) {
    auto starts = [&](std::string_view prefix) { return std::string_view(bytes).substr(0, prefix.size()) == prefix; };
    const std::string_view view(bytes);
    if (starts("\xFF\xFE")) return utf16ToUtf8(view.substr(2), false);
    if (starts("\xFE\xFF")) return utf16ToUtf8(view.substr(2), true);
    if (starts(std::string_view("<\0?\0", 4))) return utf16ToUtf8(view, false);
    if (starts(std::string_view("\0<\0?", 4))) return utf16ToUtf8(view, true);
    std::string text = starts("\xEF\xBB\xBF") ? std::string(view.substr(3)) : std::move(bytes);
    const std::string encoding = lowerAscii(declaredEncoding(text));
    // Bytes without a UTF-16 pattern are read as UTF-8 whatever a "UTF-16" declaration says, as parsers do.
    static constexpr std::string_view kReadAsIs[] = {"utf-8", "utf8", "us-ascii", "ascii", "utf-16", "utf16"};
    if (!encoding.empty() && std::find(std::begin(kReadAsIs), std::end(kReadAsIs), encoding) == std::end(kReadAsIs))
        text = convertToUtf8(text, encoding, partName);
    if (const std::size_t valid = validUtf8Prefix(text); valid != text.size())
        fail(partName, "在位置 " + std::to_string(valid) + " 处含有不是 UTF-8 编码的字节，文件可能已损坏。");
    return text;
}

bool startsWithAt(std::string_view text, std::size_t at, std::string_view prefix) {
    return text.size() - at >= prefix.size() && text.compare(at, prefix.size(), prefix) == 0;
}

bool startsWithNoCaseAt(std::string_view text, std::size_t at, std::string_view prefix) {
    if (text.size() - at < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[at + i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != prefix[i]) return false;
    }
    return true;
}

// One linear pass over the markup before the parser sees it: rejects a DOCTYPE (the only way to
// declare entities) and counts element nesting, so that nothing downstream, however it walks the
// tree, meets a document deeper than maxDepth. Malformed markup is left to the parser to report.
void scanMarkup(std::string_view text, const std::string& partName, int maxDepth) {
    std::size_t i = 0;
    long depth = 0;
    auto skipPast = [&](std::size_t from, std::string_view terminator) {
        const std::size_t end = text.find(terminator, from);
        return end == std::string_view::npos ? text.size() : end + terminator.size();
    };
    while (i < text.size()) {
        const std::size_t lt = text.find('<', i);
        if (lt == std::string_view::npos) break;
        // Nearly every tag is a start or end tag: the others are told apart only after '<' '!' or '<' '?'.
        const char next = lt + 1 < text.size() ? text[lt + 1] : '\0';
        if (next == '!' && startsWithAt(text, lt, "<!--")) {
            i = skipPast(lt + 4, "-->");
        } else if (next == '!' && startsWithAt(text, lt, "<![CDATA[")) {
            i = skipPast(lt + 9, "]]>");
        } else if (next == '?') {
            i = skipPast(lt + 2, "?>");
        } else if (next == '!') {
            if (startsWithNoCaseAt(text, lt + 2, "DOCTYPE")) fail(partName, kDoctypeRefused);
            i = lt + 2;
        } else if (next == '/') {
            if (depth > 0) --depth;
            i = skipPast(lt + 2, ">");
        } else {
            // A start tag: find its end, stepping over quoted attribute values.
            std::size_t j = lt + 1;
            char quote = 0;
            for (; j < text.size(); ++j) {
                const char c = text[j];
                if (quote) {
                    if (c == quote) quote = 0;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '>') {
                    break;
                }
            }
            if (j >= text.size()) break;
            if (text[j - 1] != '/' && ++depth > maxDepth)
                fail(partName,
                     "的元素嵌套超过 " + std::to_string(maxDepth) + " 层；为安全起见拒绝读取，文件可能已损坏。");
            i = j + 1;
        }
    }
}

}  // namespace

std::unique_ptr<pugi::xml_document> parseXmlPart(const std::string& bytes, const std::string& partName, int maxDepth) {
    return parseXmlPart(std::string(bytes), partName, maxDepth);
}

std::unique_ptr<pugi::xml_document> parseXmlPart(std::string&& bytes, const std::string& partName, int maxDepth) {
    std::string text = toUtf8(std::move(bytes), partName);
    scanMarkup(text, partName, maxDepth);

    // The parser works in a buffer of its own that the document keeps; the text goes as soon as it is copied.
    void* buffer = pugi::get_memory_allocation_function()(text.size() + 1);
    if (!buffer) throw Error(errors::FileError, "内存不足，无法读取文档部件“" + partName + "”。");
    std::memcpy(buffer, text.data(), text.size());
    const std::size_t size = text.size();
    std::string().swap(text);
    auto document = std::make_unique<pugi::xml_document>();
    const pugi::xml_parse_result result =
        document->load_buffer_inplace_own(buffer, size, kParseOptions, pugi::encoding_utf8);
    if (!result)
        fail(partName, "不是有效的 XML(" + parseStatusText(result.status) + "，位置 " + std::to_string(result.offset) +
                           ")，文件可能已损坏。");
    for (pugi::xml_node child : document->children())
        if (child.type() == pugi::node_doctype) fail(partName, kDoctypeRefused);
    return document;
}

void rejectDoctype(const std::string& bytes, const std::string& partName) {
    // A declaration starts with "<!", as only comments and CDATA sections do besides; in every encoding
    // but UTF-16 those are ASCII bytes.
    std::string converted;
    std::string_view text(bytes);
    const bool utf16 =
        bytes.size() >= 2 && (bytes[0] == '\0' || bytes[1] == '\0' || (bytes[0] == '\xFF' && bytes[1] == '\xFE') ||
                              (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
    if (utf16) {
        converted = toUtf8(bytes, partName);
        text = converted;
    }
    // '!' is rare in markup, so the candidates are found at memory speed: 2 to 16 ms over a 64 MB part
    // here, where a search for "<!" took about 40 ms.
    auto openingFrom = [&](std::size_t from) {
        for (;;) {
            const void* found =
                from >= text.size() ? nullptr : std::memchr(text.data() + from, '!', text.size() - from);
            if (!found) return std::string_view::npos;
            const auto bang = static_cast<std::size_t>(static_cast<const char*>(found) - text.data());
            if (bang > 0 && text[bang - 1] == '<') return bang - 1;
            from = bang + 1;
        }
    };
    for (std::size_t at = openingFrom(0); at != std::string_view::npos;) {
        std::size_t after = at + 2;
        if (startsWithAt(text, at, "<!--")) {
            after = text.find("-->", at + 4);
        } else if (startsWithAt(text, at, "<![CDATA[")) {
            after = text.find("]]>", at + 9);
        } else if (startsWithNoCaseAt(text, at + 2, "DOCTYPE")) {
            fail(partName, kDoctypeRefused);
        }
        at = after == std::string_view::npos ? after : openingFrom(after);
    }
}

void writeXmlPart(const pugi::xml_document& document, pugi::xml_writer& writer) {
    // The declaration is always written anew (a parsed part keeps none); any other top-level node is kept.
    writer.write(kDeclaration.data(), kDeclaration.size());
    for (pugi::xml_node child : document.children())
        child.print(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
}

std::string serializeXmlPart(const pugi::xml_document& document) {
    std::string out;
    StringWriter writer(out);
    writeXmlPart(document, writer);
    return out;
}

XmlPart::XmlPart(std::string bytes, const std::string& partName)
    : document_(parseXmlPart(std::move(bytes), partName)),
      namespaces_(PartNamespaces::adopt(*document_)),
      pool_(*document_) {}

void XmlPart::write(pugi::xml_writer& writer) {
    pool_.release();
    namespaces_.write(*document_, writer);
}

std::string XmlPart::serialize() {
    pool_.release();
    return namespaces_.serialize(*document_);
}

}  // namespace automation::ooxml
