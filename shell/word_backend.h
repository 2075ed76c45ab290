// The one place where the program decides which Word it works with.
#pragma once

#include <QPointer>
#include <QWidget>

#include <memory>

#include "automation/excel.h"
#include "automation/word.h"

namespace shell {

struct WordBackend {
    // The Word Application the program holds as its WordSession.
    std::shared_ptr<automation::Application> application;
    // The Word's own window when the program has to provide it (the embedded Word); null when Word
    // brings its own.
    QPointer<QWidget> window;
    // The Excel that Word's embedded worksheets open in (Excel's GetObject for this Word).
    std::shared_ptr<automation::excel::Launcher> excel;
};

// Starts a new, separate Word with no document open (its window, if any, appears once Word is made
// visible). Throws automation::Error when no Word can be started.
WordBackend startWord();

// The embedded Word with its document window.
WordBackend startEmbeddedWord();

}  // namespace shell
