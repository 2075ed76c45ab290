// Relationships between the parts of a package: reading them, resolving their targets, finding the
// main document part, taking one away.
#include <algorithm>
#include <string_view>

#include "automation/error.h"
#include "automation/ooxml/package_parts.h"
#include "automation/ooxml/unicode.h"
#include "automation/ooxml/xml_part.h"

namespace automation::ooxml {

namespace {

// Strict Open XML names its relationship types under another base; they are read as the usual ones.
constexpr std::string_view kStrictRelationshipBase = "http://purl.oclc.org/ooxml/officeDocument/relationships/";
constexpr std::string_view kRelationshipBase = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

std::string relationshipType(std::string_view type) {
    if (type.substr(0, kStrictRelationshipBase.size()) != kStrictRelationshipBase) return std::string(type);
    return std::string(kRelationshipBase) + std::string(type.substr(kStrictRelationshipBase.size()));
}

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

const std::vector<Relationship>& Package::Impl::relationshipsOf(const std::string& sourcePart) const {
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

std::optional<std::string> Package::Impl::targetOf(const std::string& sourcePart, const std::string& type) const {
    for (const auto& rel : relationshipsOf(sourcePart))
        if (rel.type == type && !rel.external) return resolveTarget(normalName(sourcePart), rel.target);
    return std::nullopt;
}

const Package::Impl::Entry* Package::Impl::resolve(const std::string& resolvedName) const {
    if (resolvedName.empty()) return nullptr;
    if (const Entry* entry = find(resolvedName)) return entry;
    const std::string decoded = percentDecode(resolvedName);
    return decoded == resolvedName ? nullptr : find(decoded);
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

}  // namespace automation::ooxml
