// The embedded Word: an automation::Application that works on .docx files directly.
#pragma once

#include <memory>

#include "automation/excel.h"
#include "automation/hosted_documents.h"
#include "automation/word.h"

namespace automation::ooxml {

// The embedded Word: Word's object model, and what its document window in this program needs of it.
class WordApplication : public automation::Application, public automation::HostedDocuments {
public:
    // Excel as this Word's embedded worksheet objects reach it: OLEFormat.Edit opens them in the Excel
    // this launcher attaches to, and that Excel's Copy fills the clipboard Selection.PasteAndFormat reads.
    virtual std::shared_ptr<excel::Launcher> excel() = 0;
};

// A new, separate embedded Word with no document open.
std::shared_ptr<WordApplication> createWord();

}  // namespace automation::ooxml
