// The embedded Word: an automation::Application that works on .docx files directly.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "automation/word.h"

namespace automation::ooxml {

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
};

// A new, separate embedded Word with no document open.
std::shared_ptr<WordApplication> createWord();

}  // namespace automation::ooxml
