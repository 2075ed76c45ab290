#include "automation/ooxml/document_model.h"

#include <atomic>

#include "automation/error.h"
#include "automation/ooxml/wml.h"
#include "automation/ooxml/xml_part.h"

namespace automation::ooxml {

void WordState::check() const {
    if (!running) throw errors::serverGone();
}

namespace {

std::uint64_t nextDocumentId() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

}  // namespace

DocumentModel::DocumentModel(std::string path, Package package, std::shared_ptr<WordState> word)
    : path_(std::move(path)), id_(nextDocumentId()), package_(std::move(package)), word_(std::move(word)) {
    const std::string& mainName = package_.mainPartName();
    std::optional<std::string> mainBytes = package_.part(mainName);
    if (!mainBytes) throw Error(errors::FileError, "文件中找不到文档的正文部分（" + mainName + "）。");
    main_ = parseXmlPart(*mainBytes, mainName);
    body_ = wml::child(main_->document_element(), "body");
    if (!wml::is(main_->document_element(), "document") || !body_)
        throw Error(errors::FileError, "“" + mainName + "”不是 Word 文档的正文部分（缺少 w:document/w:body）。");
    if (auto stylesName = package_.relatedPart(mainName, kRelStyles)) {
        if (auto bytes = package_.part(*stylesName)) {
            stylesPart_ = *stylesName;
            parseStyles(*bytes);
        }
    }
}

std::shared_ptr<WordState> DocumentModel::word() const {
    std::shared_ptr<WordState> word = word_.lock();
    if (!word) throw errors::serverGone();
    return word;
}

void DocumentModel::check() const {
    word()->check();
    if (closed_) throw errors::notAvailable("该文档已关闭");
}

const StoryIndex& DocumentModel::index() {
    if (!index_) index_ = std::make_unique<StoryIndex>(body_);
    return *index_;
}

void DocumentModel::textChanged() {
    index_.reset();
    textEdited();
}

void DocumentModel::textRemoved(int start, int end) {
    if (index_) index_->removeRange(start, end);
    textEdited();
}

TableGrid DocumentModel::grid(pugi::xml_node tbl) {
    auto it = grids_.find(tbl.internal_object());
    if (it == grids_.end()) it = grids_.emplace(tbl.internal_object(), TableGrid(tbl)).first;
    return it->second;
}

void DocumentModel::fieldUnlinked(int index) {
    if (index_) index_->dropField(index);
    textEdited();
}

void DocumentModel::textEdited() {
    grids_.clear();
    ++textVersion_;
    ++contentVersion_;
    dirty_ = true;
    mainChanged_ = true;
    if (auto word = word_.lock()) word->notifyChange();
}

void DocumentModel::formatChanged(bool stylesToo) {
    ++contentVersion_;
    dirty_ = true;
    mainChanged_ = true;
    if (stylesToo) stylesChanged_ = true;
    if (auto word = word_.lock()) word->notifyChange();
}

void DocumentModel::parseStyles(const std::string& bytes) {
    stylesDoc_ = parseXmlPart(bytes, stylesPart_);
    styles_ = Styles(stylesDoc_->document_element());
}

// The package holds the parts as they stand after this.
void DocumentModel::storeChangedParts() {
    if (mainChanged_) package_.setPart(package_.mainPartName(), serializeXmlPart(*main_));
    if (stylesChanged_ && stylesDoc_) package_.setPart(stylesPart_, serializeXmlPart(*stylesDoc_));
    mainChanged_ = false;
    stylesChanged_ = false;
}

void DocumentModel::save(const std::optional<std::string>& path) {
    const std::string target = path.value_or(path_);
    storeChangedParts();
    package_.save(target);
    dirty_ = false;
    path_ = target;
}

void DocumentModel::saveCopy(const std::string& path) {
    storeChangedParts();
    package_.save(path);
}

PartsSnapshot DocumentModel::snapshot() const {
    PartsSnapshot parts;
    // Unchanged parts are taken as the package holds them, so that they come back byte for byte.
    parts.main = mainChanged_ ? serializeXmlPart(*main_) : package_.part(package_.mainPartName()).value_or("");
    if (stylesDoc_)
        parts.styles = stylesChanged_ ? serializeXmlPart(*stylesDoc_) : package_.part(stylesPart_).value_or("");
    return parts;
}

void DocumentModel::restore(const PartsSnapshot& parts, bool saved) {
    const std::string& mainName = package_.mainPartName();
    std::unique_ptr<pugi::xml_document> main = parseXmlPart(parts.main, mainName);
    package_.setPart(mainName, parts.main);
    main_ = std::move(main);
    body_ = wml::child(main_->document_element(), "body");
    if (parts.styles && !stylesPart_.empty()) {
        package_.setPart(stylesPart_, *parts.styles);
        parseStyles(*parts.styles);
    }
    mainChanged_ = false;
    stylesChanged_ = false;
    index_.reset();
    grids_.clear();
    ++textVersion_;
    ++contentVersion_;
    selection_ = SelectionState{};
    dirty_ = !saved;
    if (auto word = word_.lock()) word->notifyChange();
}

long DocumentModel::textWidthTwips(pugi::xml_node nearNode) {
    // The section a node belongs to is ended by the next paragraph-level w:sectPr, or the body's.
    pugi::xml_node sectPr;
    pugi::xml_node top = nearNode;
    while (top && top.parent() != body_) top = top.parent();
    for (pugi::xml_node n = top; n && !sectPr; n = n.next_sibling()) {
        if (wml::is(n, "p")) sectPr = wml::child(wml::child(n, "pPr"), "sectPr");
        else if (wml::is(n, "sectPr")) sectPr = n;
    }
    if (!sectPr) sectPr = wml::child(body_, "sectPr");
    const long width = wml::intAttr(wml::child(sectPr, "pgSz"), "w:w", 11906);
    pugi::xml_node mar = wml::child(sectPr, "pgMar");
    const long left = wml::intAttr(mar, "w:left", 1800);
    const long right = wml::intAttr(mar, "w:right", 1800);
    const long text = width - left - right;
    return text > 144 ? text : 144;
}

}  // namespace automation::ooxml
