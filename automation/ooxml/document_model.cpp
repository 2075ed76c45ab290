#include "automation/ooxml/document_model.h"

#include <algorithm>
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
    // The parsed parts are the truth from here on: the package keeps only their stored data.
    std::optional<std::string> mainBytes = package_.takePart(mainName);
    if (!mainBytes) throw Error(errors::FileError, "文件中找不到文档的正文部分（" + mainName + "）。");
    mainPartSize_ = mainBytes->size();
    setMain(std::make_unique<XmlPart>(std::move(*mainBytes), mainName));
    if (!wml::is(main_->root(), "document") || !body_)
        throw Error(errors::FileError, "“" + mainName + "”不是 Word 文档的正文部分（缺少 w:document/w:body）。");
    if (auto stylesName = package_.relatedPart(mainName, kRelStyles)) {
        if (auto bytes = package_.takePart(*stylesName)) {
            stylesName_ = *stylesName;
            parseStyles(std::move(*bytes));
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

StoryIndex& DocumentModel::index() {
    if (!index_) index_ = std::make_unique<StoryIndex>(body_, mainPartSize_);
    return *index_;
}

void DocumentModel::textChanged() {
    index_.reset();
    textEdited();
}

void DocumentModel::textRemoved(const std::vector<Span>& stretches) {
    // The last first, so the positions of the others still hold.
    if (index_)
        for (auto it = stretches.rbegin(); it != stretches.rend(); ++it) index_->removeRange(it->start, it->end);
    textEdited();
}

const TableGrid& DocumentModel::grid(pugi::xml_node tbl) {
    auto it = grids_.find(tbl.internal_object());
    if (it == grids_.end()) it = grids_.emplace(tbl.internal_object(), TableGrid(tbl)).first;
    return it->second;
}

std::optional<bool> DocumentModel::onlyTableBorders(pugi::xml_node tbl) const {
    auto it = onlyTableBorders_.find(tbl.internal_object());
    if (it == onlyTableBorders_.end() || it->second.first != contentVersion_) return std::nullopt;
    return it->second.second;
}

void DocumentModel::noteOnlyTableBorders(pugi::xml_node tbl, bool only) {
    onlyTableBorders_[tbl.internal_object()] = {contentVersion_, only};
}

void DocumentModel::fieldUnlinked(int index) {
    if (index_) index_->dropField(index);
    textEdited();
}

void DocumentModel::rowsRemoved(pugi::xml_node tbl, int r1, int r2, Span text) {
    if (index_) index_->removeRange(text.start, text.end);
    if (auto it = grids_.find(tbl.internal_object()); it != grids_.end() && !it->second.removeRows(r1, r2))
        grids_.erase(it);
    textMoved();
}

void DocumentModel::textEdited() {
    grids_.clear();
    textMoved();
}

void DocumentModel::textMoved() {
    onlyTableBorders_.clear();
    sections_.clear();
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

void DocumentModel::setMain(std::unique_ptr<XmlPart> main) {
    main_ = std::move(main);
    body_ = wml::child(main_->root(), "body");
}

void DocumentModel::parseStyles(std::string bytes) {
    stylesPart_ = std::make_unique<XmlPart>(std::move(bytes), stylesName_);
    styles_ = Styles(stylesPart_->root());
}

// The package holds the parts as they stand after this.
void DocumentModel::storeChangedParts() {
    // The position index is rebuilt on demand; without it the serialized part has room in memory.
    index_.reset();
    // Serialized straight into the compressor: the part's text is never held whole.
    if (mainChanged_)
        package_.writePart(package_.mainPartName(), [&](pugi::xml_writer& writer) { main_->write(writer); });
    mainChanged_ = false;
    storeChangedStyles();
}

void DocumentModel::storeChangedStyles() {
    if (stylesChanged_ && stylesPart_)
        package_.writePart(stylesName_, [&](pugi::xml_writer& writer) { stylesPart_->write(writer); });
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

bool DocumentModel::saveBeginning(const std::string& path, int maxParagraphs) {
    // Paragraphs are what the layout works through: a block's count is its own and those in its cells.
    struct Counter : pugi::xml_tree_walker {
        int paragraphs = 0;
        bool for_each(pugi::xml_node& node) override {
            if (wml::is(node, "p")) ++paragraphs;
            return true;
        }
    } counter;
    pugi::xml_node last;
    pugi::xml_node n = body_.first_child();
    for (; n && counter.paragraphs < maxParagraphs; n = n.next_sibling()) {
        if (n.type() != pugi::node_element || wml::is(n, "sectPr")) continue;
        if (wml::is(n, "p")) ++counter.paragraphs;
        n.traverse(counter);
        last = n;
    }
    while (n && (n.type() != pugi::node_element || wml::is(n, "sectPr"))) n = n.next_sibling();
    if (!n || !last) return false;
    // A new part of the same root (its namespace declarations, the page background before the body)
    // holding copies of the first blocks: the document itself is not touched.
    pugi::xml_document cut;
    const pugi::xml_node root = documentElement();
    pugi::xml_node copyRoot = cut.append_child(root.name());
    for (pugi::xml_attribute attribute : root.attributes()) copyRoot.append_copy(attribute);
    for (pugi::xml_node n = root.first_child(); n && n != body_; n = n.next_sibling()) copyRoot.append_copy(n);
    pugi::xml_node copyBody = copyRoot.append_child(body_.name());
    for (pugi::xml_node n = body_.first_child(); n; n = n.next_sibling()) {
        if (n.type() == pugi::node_element && !wml::is(n, "sectPr")) copyBody.append_copy(n);
        if (n == last) break;
    }
    pugi::xml_node section = sectionOf(last);
    if (!section) section = wml::child(body_, "sectPr");
    if (section && section.parent() != last.child("w:pPr")) copyBody.append_copy(section);
    storeChangedStyles();
    // Written with the main part's own prefixes, through a copy of them: the cut is a document of its own.
    PartNamespaces namespaces = main_->namespaces();
    package_.saveWithPart(path, package_.mainPartName(), namespaces.serialize(cut));
    return true;
}

PartsSnapshot DocumentModel::snapshot() {
    PartsSnapshot parts;
    // Unchanged parts are taken as the package holds them, so that they come back byte for byte; changed
    // ones are written with the document's own prefixes, as a save would write them.
    parts.main = mainChanged_ ? main_->serialize() : package_.part(package_.mainPartName()).value_or("");
    if (stylesPart_) parts.styles = stylesChanged_ ? stylesPart_->serialize() : package_.part(stylesName_).value_or("");
    // Commands seldom touch the other parts: while the package has not changed they are not read again.
    if (otherPartsEdits_ != package_.edits()) {
        std::map<std::string, std::shared_ptr<const std::string>> others;
        for (const std::string& name : package_.partNames()) {
            if (name == package_.mainPartName() || name == stylesName_) continue;
            std::optional<std::string> bytes = package_.part(name);
            if (!bytes) continue;
            const auto known = otherParts_.find(name);
            others[name] = known != otherParts_.end() && *known->second == *bytes
                               ? known->second
                               : std::make_shared<const std::string>(std::move(*bytes));
        }
        otherParts_ = std::move(others);
        otherPartsEdits_ = package_.edits();
    }
    parts.others = otherParts_;
    return parts;
}

void DocumentModel::restore(const PartsSnapshot& parts, bool saved) {
    const std::string& mainName = package_.mainPartName();
    auto main = std::make_unique<XmlPart>(parts.main, mainName);
    package_.setPart(mainName, parts.main);
    setMain(std::move(main));
    if (parts.styles && !stylesName_.empty()) {
        package_.setPart(stylesName_, *parts.styles);
        parseStyles(*parts.styles);
    } else if (!parts.styles && stylesPart_) {
        // Styles made after the snapshot, in a document that had none: they go with their part.
        package_.removePart(stylesName_);
        stylesPart_.reset();
        styles_ = Styles();
        stylesName_.clear();
    }
    // The other parts as they were: those added since go, those removed or changed since come back.
    for (const std::string& name : package_.partNames()) {
        if (name != mainName && name != stylesName_ && !parts.others.contains(name)) package_.removePart(name);
    }
    for (const auto& [name, bytes] : parts.others) {
        if (package_.part(name) != *bytes) package_.setPart(name, *bytes);
    }
    otherParts_ = parts.others;
    otherPartsEdits_ = package_.edits();
    mainChanged_ = false;
    stylesChanged_ = false;
    index_.reset();
    grids_.clear();
    onlyTableBorders_.clear();
    sections_.clear();
    ++textVersion_;
    ++contentVersion_;
    selection_ = Area{};
    dirty_ = !saved;
    if (auto word = word_.lock()) word->notifyChange();
}

long DocumentModel::textWidthTwips(pugi::xml_node nearNode) {
    pugi::xml_node top = nearNode;
    while (top && top.parent() != body_) top = top.parent();
    pugi::xml_node sectPr = sectionOf(top);
    // Wider or negative page widths and side margins in the markup are taken as the nearest Word allows.
    const long width = std::clamp(wml::twipsAttr(wml::child(sectPr, "pgSz"), "w:w", 11906), 0L, kWidestTwips);
    pugi::xml_node mar = wml::child(sectPr, "pgMar");
    const long left = std::clamp(wml::twipsAttr(mar, "w:left", 1800), 0L, kWidestTwips);
    const long right = std::clamp(wml::twipsAttr(mar, "w:right", 1800), 0L, kWidestTwips);
    const long text = width - left - right;
    return text > 144 ? text : 144;
}

pugi::xml_node DocumentModel::sectionOf(pugi::xml_node top) {
    // The section a body element belongs to is ended by the next paragraph-level w:sectPr, or the
    // body's. One walk from the end of the body notes it for every element, and the body's own under
    // the body, until the structure changes.
    if (sections_.empty()) {
        pugi::xml_node current;
        for (pugi::xml_node n = body_.last_child(); n; n = n.previous_sibling()) {
            if (wml::is(n, "p")) {
                if (pugi::xml_node own = wml::child(wml::child(n, "pPr"), "sectPr")) current = own;
            } else if (wml::is(n, "sectPr")) {
                current = n;
            }
            sections_.emplace(n.internal_object(), current.internal_object());
        }
        sections_[body_.internal_object()] = wml::child(body_, "sectPr").internal_object();
    }
    auto it = sections_.find(top.internal_object());
    if (it == sections_.end() || !it->second) it = sections_.find(body_.internal_object());
    return pugi::xml_node(it->second);
}

}  // namespace automation::ooxml
