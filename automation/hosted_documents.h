// What a Word whose documents are shown in a window of this program (the embedded Word) offers that
// window beyond Word's object model: the open documents by number, a copy of the active one to draw,
// snapshots to take a command back, and a call after every change.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace automation {

// A whole document as it stood at one moment; opaque to its holder.
class DocumentSnapshot {
public:
    virtual ~DocumentSnapshot() = default;
    // The document it belongs to (see HostedDocuments::documentIds).
    virtual std::uint64_t documentId() const = 0;
    // Whether both hold the same content of the same document.
    virtual bool sameAs(const DocumentSnapshot& other) const = 0;
};

// Asked by Dialogs.Item(wdDialogFileOpen).Show for the file to open; nullopt means cancelled.
using FileChooser = std::function<std::optional<std::string>()>;

class HostedDocuments {
public:
    virtual ~HostedDocuments() = default;

    // The window installs the chooser the Open dialog asks.
    virtual void setFileChooser(FileChooser chooser) = 0;
    // Called after every change of any open document, of the active document and of visibility.
    virtual void setChangeListener(std::function<void()> listener) = 0;
    // False once Quit has been called.
    virtual bool running() const = 0;

    // The open documents in the order of Word's Documents collection, each by a number that names it
    // for as long as this Word runs (never reused); empty after Quit.
    virtual std::vector<std::uint64_t> documentIds() const = 0;
    // The active document's number; 0 when none is open.
    virtual std::uint64_t activeDocumentId() const = 0;
    // Makes the open document with this number the active one; false when it is not open.
    virtual bool activateDocument(std::uint64_t id) = 0;
    // Counts the changes of the active document's content and formatting (not of its selection).
    // Fails with automation::Error when no document is open.
    virtual std::uint64_t contentVersion() = 0;

    // The active document as it stands, written to path as a complete .docx; the document keeps its
    // name and its saved state. Fails with automation::Error.
    virtual void saveCopy(const std::string& path) = 0;
    // The same, cut after the first pages' worth of body: the first paragraphs and tables of the body
    // that hold about maxParagraphs paragraphs (those in tables count), with the page setup of the
    // section they end in and the styles kept, for a quick first picture of a long document. False,
    // and nothing written, when the whole body holds no more. Fails with automation::Error.
    virtual bool saveBeginningCopy(const std::string& path, int maxParagraphs) = 0;

    // The active document's content as it stands now. Fails with automation::Error.
    virtual std::shared_ptr<const DocumentSnapshot> captureState() = 0;
    // Puts the document the snapshot came from back as it was then, part for part, with its selection
    // at the start; saved says whether that content is what its file holds. Fails with
    // automation::Error when that document is no longer open.
    virtual void restoreState(const DocumentSnapshot& snapshot, bool saved) = 0;
};

}  // namespace automation
