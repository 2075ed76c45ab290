#include "shell/document_pages.h"

#include <QDir>
#include <QFile>

#include "shell/page_renderer.h"
#include "shell/page_view.h"
#include "shell/utf8.h"

namespace shell {

DocumentPages::DocumentPages(std::uint64_t id, const QString& folder, QWidget* viewParent)
    : id_(id), folder_(folder), view_(new PageView(viewParent)), renderer_(new PageRenderer(this)) {
    view_->setNotice(QStringLiteral("正在显示…"));
    connect(renderer_, &PageRenderer::pagesReady, view_, &PageView::setPages);
    connect(renderer_, &PageRenderer::pageReady, view_, &PageView::setPageImage);
    connect(renderer_, &PageRenderer::tablesReady, view_, &PageView::setTablePlaces);
    connect(renderer_, &PageRenderer::loadingChanged, view_, &PageView::setUpdating);
    connect(renderer_, &PageRenderer::unavailable, view_, [this](const QString& message) {
        if (view_->pageCount() == 0) view_->setNotice(message);
    });
    connect(view_, &PageView::pageWanted, renderer_, &PageRenderer::requestPage);
    hidden_.start();
}

DocumentPages::~DocumentPages() {
    delete view_;
    delete renderer_;
    // The renderer is gone: none of the copies is read any more.
    for (int number = std::max(1, copies_ - 1); number <= copies_; ++number) {
        QFile::remove(copyPath(number, "whole"));
        QFile::remove(copyPath(number, "beginning"));
    }
}

QString DocumentPages::copyPath(int number, const char* kind) const {
    return QDir(folder_).filePath(QStringLiteral("document-%1-%2-%3.docx").arg(id_).arg(number).arg(qs(kind)));
}

void DocumentPages::draw(automation::HostedDocuments& documents, std::uint64_t version) {
    // New files for every version: the renderer may still be reading the ones before.
    const int number = copies_ + 1;
    const QString whole = copyPath(number, "whole");
    const QString beginning = copyPath(number, "beginning");
    documents.saveCopy(utf8(whole));
    const bool cut = documents.saveBeginningCopy(utf8(beginning), kBeginningParagraphs);
    copies_ = number;
    QFile::remove(copyPath(number - 2, "whole"));
    QFile::remove(copyPath(number - 2, "beginning"));
    drawn_ = version;
    renderer_->show(whole, cut ? beginning : QString());
}

void DocumentPages::setShown(bool shown) {
    if (shown_ == shown) return;
    shown_ = shown;
    if (!shown) hidden_.restart();
}

}  // namespace shell
