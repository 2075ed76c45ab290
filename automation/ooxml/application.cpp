// The embedded Word's application, its documents and the Open dialog.
#include "automation/ooxml/application.h"

#include <algorithm>
#include <filesystem>

#include "automation/error.h"
#include "automation/ooxml/objects.h"

namespace automation::ooxml {

namespace {

std::string canonical(const std::string& path) {
    std::error_code ec;
    auto p = std::filesystem::weakly_canonical(std::filesystem::absolute(path, ec), ec);
    return ec ? path : p.string();
}

class DocumentImpl final : public Document {
public:
    explicit DocumentImpl(ModelPtr model) : model_(std::move(model)) {}
    const ModelPtr& model() const { return model_; }

    std::string FullName() override {
        model_->check();
        return model_->path();
    }
    RangePtr Range(std::optional<int> start, std::optional<int> end) override {
        model_->check();
        const int length = model_->index().length();
        const int s = start.value_or(0);
        const int e = end.value_or(length);
        if (s < 0 || e < 0 || s > length || e > length) throw errors::valueOutOfRange();
        return makeRange(model_, s, e);
    }
    RangePtr Content() override { return Range(std::nullopt, std::nullopt); }
    TablesPtr Tables() override {
        model_->check();
        return makeDocumentTables(model_);
    }
    ParagraphsPtr Paragraphs() override {
        model_->check();
        return makeParagraphs(model_, textArea(0, model_->index().length()));
    }
    FieldsPtr Fields() override {
        model_->check();
        return makeFields(model_);
    }
    InlineShapesPtr InlineShapes() override {
        model_->check();
        return makeInlineShapes(model_);
    }
    bool Saved() override {
        model_->check();
        return model_->saved();
    }
    void Save() override {
        model_->check();
        model_->save(std::nullopt);
    }
    void SaveAs(const std::string& path) override {
        model_->check();
        if (path.empty()) throw errors::badParameter("文件名为空");
        model_->save(path);
    }
    void UndoClear() override {
        // The embedded Word keeps no undo list; clearing it always succeeds.
        model_->check();
    }
    void Close(std::optional<int> saveChanges) override {
        model_->check();
        if (saveChanges && *saveChanges == wdSaveChanges && !model_->saved()) model_->save(std::nullopt);
        std::shared_ptr<WordState> owner = model_->word();
        WordState& word = *owner;
        auto& docs = word.documents;
        docs.erase(std::remove(docs.begin(), docs.end(), model_), docs.end());
        model_->markClosed();
        if (word.active == model_) word.active = docs.empty() ? nullptr : docs.back();
        word.notifyChange();
    }

private:
    ModelPtr model_;
};

class DocumentsImpl final : public Documents {
public:
    explicit DocumentsImpl(std::shared_ptr<WordState> word) : word_(std::move(word)) {}

    int Count() override {
        word_->check();
        return static_cast<int>(word_->documents.size());
    }
    DocumentPtr Item(int index) override {
        word_->check();
        if (index < 1 || index > static_cast<int>(word_->documents.size())) throw errors::noSuchMember();
        return std::make_shared<DocumentImpl>(word_->documents[static_cast<size_t>(index - 1)]);
    }
    DocumentPtr Open(const std::string& path) override {
        word_->check();
        const std::string full = canonical(path);
        for (const auto& doc : word_->documents)
            if (canonical(doc->path()) == full) {
                word_->active = doc;
                word_->notifyChange();
                return std::make_shared<DocumentImpl>(doc);
            }
        std::shared_ptr<DocumentModel> model;
        Package package = Package::open(path);
        try {
            model = std::make_shared<DocumentModel>(full, std::move(package), word_);
        } catch (const Error& error) {
            failOpen(path, error.message());  // the parts name themselves; the file is named here
        }
        word_->documents.push_back(model);
        word_->active = model;
        word_->notifyChange();
        return std::make_shared<DocumentImpl>(model);
    }

private:
    std::shared_ptr<WordState> word_;
};

class DialogImpl final : public Dialog {
public:
    explicit DialogImpl(std::shared_ptr<WordState> word) : word_(std::move(word)) {}

    int Show() override {
        word_->check();
        if (!word_->chooser) return 0;
        std::optional<std::string> path = word_->chooser();
        if (!path) return 0;
        DocumentsImpl(word_).Open(*path);
        return -1;
    }

private:
    std::shared_ptr<WordState> word_;
};

class DialogsImpl final : public Dialogs {
public:
    explicit DialogsImpl(std::shared_ptr<WordState> word) : word_(std::move(word)) {}

    DialogPtr Item(int which) override {
        word_->check();
        if (which != wdDialogFileOpen) throw errors::badParameter("嵌入式 Word 只提供“打开”对话框");
        return std::make_shared<DialogImpl>(word_);
    }

private:
    std::shared_ptr<WordState> word_;
};

class SnapshotImpl final : public DocumentSnapshot {
public:
    SnapshotImpl(std::uint64_t id, PartsSnapshot parts) : id_(id), parts_(std::move(parts)) {}
    std::uint64_t documentId() const override { return id_; }
    const PartsSnapshot& parts() const { return parts_; }
    bool sameAs(const DocumentSnapshot& other) const override {
        const auto* state = dynamic_cast<const SnapshotImpl*>(&other);
        return state && state->id_ == id_ && state->parts_.main == parts_.main && state->parts_.styles == parts_.styles;
    }

private:
    std::uint64_t id_;
    PartsSnapshot parts_;
};

class WordApplicationImpl final : public WordApplication {
public:
    WordApplicationImpl() : word_(std::make_shared<WordState>()) {}

    bool Visible() override {
        word_->check();
        return word_->visible;
    }
    void SetVisible(bool visible) override {
        word_->check();
        word_->visible = visible;
        word_->notifyChange();
    }
    void Activate() override {
        word_->check();
        word_->visible = true;
        word_->notifyChange();
    }
    DocumentsPtr Documents() override {
        word_->check();
        return std::make_shared<DocumentsImpl>(word_);
    }
    DocumentPtr ActiveDocument() override { return std::make_shared<DocumentImpl>(active()); }
    SelectionPtr Selection() override { return makeSelection(active()); }
    DialogsPtr Dialogs() override {
        word_->check();
        return std::make_shared<DialogsImpl>(word_);
    }
    int DisplayAlerts() override {
        word_->check();
        return word_->displayAlerts;
    }
    void SetDisplayAlerts(int level) override {
        word_->check();
        word_->displayAlerts = level;
    }
    void Quit() override {
        word_->check();
        for (const auto& doc : word_->documents) doc->markClosed();
        word_->documents.clear();
        word_->active.reset();
        word_->running = false;
        word_->notifyChange();
    }
    void setFileChooser(FileChooser chooser) override { word_->chooser = std::move(chooser); }
    void setChangeListener(std::function<void()> listener) override { word_->changeListener = std::move(listener); }
    bool running() const override { return word_->running; }
    std::shared_ptr<excel::Launcher> excel() override { return makeLauncher(word_->desktop); }

    std::vector<std::uint64_t> documentIds() const override {
        std::vector<std::uint64_t> ids;
        if (!word_->running) return ids;
        for (const ModelPtr& model : word_->documents) ids.push_back(model->id());
        return ids;
    }
    std::uint64_t activeDocumentId() const override {
        return word_->running && word_->active ? word_->active->id() : 0;
    }
    std::uint64_t contentVersion() override { return active()->contentVersion(); }
    bool activateDocument(std::uint64_t id) override {
        word_->check();
        for (const ModelPtr& model : word_->documents) {
            if (model->id() != id) continue;
            if (word_->active != model) {
                word_->active = model;
                word_->notifyChange();
            }
            return true;
        }
        return false;
    }
    void saveCopy(const std::string& path) override { active()->saveCopy(path); }
    bool saveBeginningCopy(const std::string& path, int maxParagraphs) override {
        return active()->saveBeginning(path, maxParagraphs);
    }
    std::shared_ptr<const DocumentSnapshot> captureState() override {
        ModelPtr model = active();
        return std::make_shared<SnapshotImpl>(model->id(), model->snapshot());
    }
    void restoreState(const DocumentSnapshot& state, bool saved) override {
        word_->check();
        const auto& parts = dynamic_cast<const SnapshotImpl&>(state);
        for (const ModelPtr& model : word_->documents) {
            if (model->id() == parts.documentId()) return model->restore(parts.parts(), saved);
        }
        throw errors::notAvailable("该文档已关闭");
    }

private:
    ModelPtr active() {
        word_->check();
        if (!word_->active) throw errors::noDocumentOpen();
        return word_->active;
    }

    std::shared_ptr<WordState> word_;
};

}  // namespace

std::shared_ptr<WordApplication> createWord() { return std::make_shared<WordApplicationImpl>(); }

}  // namespace automation::ooxml
