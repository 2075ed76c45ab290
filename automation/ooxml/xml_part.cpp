#include "automation/ooxml/xml_part.h"

#include <cstring>
#include <string_view>

#include "automation/error.h"

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

// The bytes as UTF-8 text without a byte order mark.
std::string toUtf8(const std::string& bytes) {
    auto starts = [&](std::string_view prefix) { return std::string_view(bytes).substr(0, prefix.size()) == prefix; };
    const std::string_view view(bytes);
    if (starts("\xEF\xBB\xBF")) return std::string(view.substr(3));
    if (starts("\xFF\xFE")) return utf16ToUtf8(view.substr(2), false);
    if (starts("\xFE\xFF")) return utf16ToUtf8(view.substr(2), true);
    if (starts(std::string_view("<\0?\0", 4))) return utf16ToUtf8(view, false);
    if (starts(std::string_view("\0<\0?", 4))) return utf16ToUtf8(view, true);
    return bytes;
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
        if (startsWithAt(text, lt, "<!--")) {
            i = skipPast(lt + 4, "-->");
        } else if (startsWithAt(text, lt, "<![CDATA[")) {
            i = skipPast(lt + 9, "]]>");
        } else if (startsWithAt(text, lt, "<?")) {
            i = skipPast(lt + 2, "?>");
        } else if (startsWithAt(text, lt, "<!")) {
            if (startsWithNoCaseAt(text, lt + 2, "DOCTYPE"))
                fail(partName, "包含 DOCTYPE 声明；为安全起见，不读取带有文档类型声明或实体定义的部件。");
            i = lt + 2;
        } else if (startsWithAt(text, lt, "</")) {
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
                fail(partName, "的元素嵌套超过 " + std::to_string(maxDepth) + " 层；为安全起见拒绝读取，文件可能已损坏。");
            i = j + 1;
        }
    }
}

class StringWriter : public pugi::xml_writer {
public:
    explicit StringWriter(std::string& out) : out_(out) {}
    void write(const void* data, size_t size) override { out_.append(static_cast<const char*>(data), size); }

private:
    std::string& out_;
};

}  // namespace

std::unique_ptr<pugi::xml_document> parseXmlPart(const std::string& bytes, const std::string& partName,
                                                 int maxDepth) {
    const std::string text = toUtf8(bytes);
    scanMarkup(text, partName, maxDepth);

    auto document = std::make_unique<pugi::xml_document>();
    const pugi::xml_parse_result result =
        document->load_buffer(text.data(), text.size(), kParseOptions, pugi::encoding_utf8);
    if (!result)
        fail(partName, "不是有效的 XML(" + parseStatusText(result.status) + "，位置 " + std::to_string(result.offset) +
                           ")，文件可能已损坏。");
    for (pugi::xml_node child : document->children())
        if (child.type() == pugi::node_doctype)
            fail(partName, "包含 DOCTYPE 声明；为安全起见，不读取带有文档类型声明或实体定义的部件。");
    return document;
}

std::string serializeXmlPart(const pugi::xml_document& document) {
    std::string out(kDeclaration);
    StringWriter writer(out);
    // The declaration is always written anew (as above); any other top-level node is kept.
    for (pugi::xml_node child : document.children()) {
        if (child.type() == pugi::node_declaration || child.type() == pugi::node_doctype) continue;
        child.print(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    }
    return out;
}

}  // namespace automation::ooxml
