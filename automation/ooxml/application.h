// The embedded Word: an automation::Application that works on .docx files directly.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "automation/excel.h"
#include "automation/word.h"

namespace automation::ooxml {

// A whole document as it stood at one moment, for taking a command back; opaque to its holder.
class DocumentState {
public:
    virtual ~DocumentState() = default;
    // The document it belongs to (see WordApplication::documentId).
    virtual std::uint64_t documentId() const = 0;
    // Whether both hold the same content of the same document.
    virtual bool sameAs(const DocumentState& other) const = 0;
};

// Asked by Dialogs.Item(wdDialogFileOpen).Show for the file to open; nullopt means cancelled.
using FileChooser = std::function<std::optional<std::string>()>;

class WordApplication : public automation::Application {
public:
    // The host (a window, the command line, a test) installs the chooser the Open dialog asks.
    virtual void setFileChooser(FileChooser chooser) = 0;
    // Called after every change of any open document (the document window refreshes on it).
    virtual void setChangeListener(std::function<void()> listener) = 0;
    // False once Quit has been called.
    virtual bool running() const = 0;

    // A number that names an open document for as long as this Word runs (never reused).
    virtual std::uint64_t documentId(automation::Document& document) = 0;
    // Counts the changes of the active document's content and formatting (not of its selection).
    virtual std::uint64_t contentVersion() = 0;
    // Makes the open document with this number the active one; false when it is not open.
    virtual bool activateDocument(std::uint64_t id) = 0;
    // The active document as it stands, written to path as a complete .docx (for drawing its pages);
    // the document keeps its name and its saved state. Fails with automation::Error.
    virtual void saveCopy(const std::string& path) = 0;
    // The active document's content as it stands now.
    virtual std::shared_ptr<const DocumentState> captureState() = 0;
    // Puts the document the state came from back as it was then, part for part, with its selection
    // at the start; saved says whether that content is what its file holds. Fails with
    // automation::Error when that document is no longer open.
    virtual void restoreState(const DocumentState& state, bool saved) = 0;
    // Excel as this Word's embedded worksheet objects reach it: OLEFormat.Edit opens them in the Excel
    // this launcher attaches to, and that Excel's Copy fills the clipboard Selection.PasteAndFormat reads.
    virtual std::shared_ptr<excel::Launcher> excel() = 0;
};

// A new, separate embedded Word with no document open.
std::shared_ptr<WordApplication> createWord();

}  // namespace automation::ooxml
