#include "automation/ooxml/document_model.h"

#include "automation/error.h"
#include "automation/ooxml/wml.h"
#include "automation/ooxml/xml_part.h"

namespace automation::ooxml {

void WordState::check() const {
    if (!running) throw errors::serverGone();
}

DocumentModel::DocumentModel(std::string path, Package package, std::shared_ptr<WordState> word)
    : path_(std::move(path)), package_(std::move(package)), word_(std::move(word)) {
    const std::string& mainName = package_.mainPartName();
    std::optional<std::string> mainBytes = package_.part(mainName);
    if (!mainBytes) throw Error(errors::FileError, "文件中找不到文档的正文部分（" + mainName + "）。");
    main_ = parseXmlPart(*mainBytes, mainName);
    mainNamespaces_ = PartNamespaces::adopt(*main_);
    body_ = wml::child(main_->document_element(), "body");
    if (!wml::is(main_->document_element(), "document") || !body_)
        throw Error(errors::FileError, "“" + mainName + "”不是 Word 文档的正文部分（缺少 w:document/w:body）。");
    if (auto stylesName = package_.relatedPart(mainName, kRelStyles)) {
        if (auto bytes = package_.part(*stylesName)) {
            stylesDoc_ = parseXmlPart(*bytes, *stylesName);
            stylesNamespaces_ = PartNamespaces::adopt(*stylesDoc_);
            stylesPart_ = *stylesName;
            styles_ = Styles(stylesDoc_->document_element());
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
    dirty_ = true;
    mainChanged_ = true;
    if (auto word = word_.lock()) word->notifyChange();
}

void DocumentModel::formatChanged(bool stylesToo) {
    dirty_ = true;
    mainChanged_ = true;
    if (stylesToo) stylesChanged_ = true;
    if (auto word = word_.lock()) word->notifyChange();
}

void DocumentModel::save(const std::optional<std::string>& path) {
    const std::string target = path.value_or(path_);
    if (mainChanged_) package_.setPart(package_.mainPartName(), mainNamespaces_.serialize(*main_));
    if (stylesChanged_ && stylesDoc_) package_.setPart(stylesPart_, stylesNamespaces_.serialize(*stylesDoc_));
    package_.save(target);
    mainChanged_ = false;
    stylesChanged_ = false;
    dirty_ = false;
    path_ = target;
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
    const long width = wml::twipsAttr(wml::child(sectPr, "pgSz"), "w:w", 11906);
    pugi::xml_node mar = wml::child(sectPr, "pgMar");
    const long left = wml::twipsAttr(mar, "w:left", 1800);
    const long right = wml::twipsAttr(mar, "w:right", 1800);
    const long text = width - left - right;
    return text > 144 ? text : 144;
}

}  // namespace automation::ooxml
